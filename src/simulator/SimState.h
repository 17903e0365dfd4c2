#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Everything the simulated fiscal device remembers. Money is in hundredths,
// quantities in thousandths, VAT rates in hundredths of a percent. Arrays of
// VAT groups and payment types are 0-based here (group 1 is index 0).

namespace sim {

inline constexpr int kGroups = 8;
inline constexpr int kPayTypes = 11;
inline constexpr int kHeaderLines = 8;  // 0..5 header, 6..7 footer
inline constexpr int kMaxDepartment = 99;
inline constexpr int kMaxPlu = 3000;
inline constexpr int kMaxOperator = 16;
inline constexpr int kLineWidth = 36;
inline constexpr int kMaxBarcodeDots = 240;
inline constexpr std::int64_t kMaxInvoiceNo = 99'999'999'999LL;

// Limits the model keeps, and against which a loaded state is checked, so that
// no command can overflow afterwards.
// One sale, payment or receipt total: 99,999,999.99.
inline constexpr std::int64_t kMaxAmount = 9'999'999'999LL;
// Registers of money (hundredths) and quantities (thousandths); the largest
// number the device reads.
inline constexpr std::int64_t kMaxRegister = 999'999'999'999'999LL;
// Document, receipt and closure counters; the host reads them as 32-bit.
inline constexpr std::int64_t kMaxCounter = 999'999'999;
// Percentages and VAT rates in hundredths: 99.99 %.
inline constexpr std::int64_t kMaxPerc = 9999;
inline constexpr int kMaxMultiplier = 1000;
inline constexpr int kMaxDecimals = 3;
inline constexpr std::size_t kMaxCurrency = 10;
inline constexpr std::size_t kMaxPayName = 16;
inline constexpr std::size_t kMaxPassword = 8;
inline constexpr std::size_t kMaxOperatorName = 24;
// Identity texts other than the printer name (which is one line).
inline constexpr std::size_t kMaxIdText = 16;
// Texts kept as a request brought them (operator, sale number): a request
// holds fewer bytes than this.
inline constexpr std::size_t kMaxRequestText = 255;
// Clock offset in seconds: 9500 years either way, more than setting any date
// from the year 100 to 9999 needs, and times of the device clock.
inline constexpr std::int64_t kMaxClockOffset = 300'000'000'000LL;
inline constexpr std::int64_t kMaxDeviceTime = 400'000'000'000LL;
inline constexpr int kMaxFmCapacity = 100'000;
// Lines of one receipt (sales and subtotal adjustments); each line's amount
// stays within twice kMaxAmount.
inline constexpr std::size_t kMaxReceiptLines = 10'000;

// Payment types in the order of their totals (6EH): 1..8 as the host numbers
// them for 55H, then M, Q and R.
inline constexpr char kPayLetters[] = "PNCDIJKLMQR";
// 0-based index of a payment letter, -1 when it is none.
int PayIndexOf(char letter);
// Only cash (P) gives change; the other types may not exceed what is due.
inline constexpr int kCashIndex = 0;

using TGroupSums = std::array<std::int64_t, kGroups>;

struct TSimDepartment {
  int Group = 1;
  std::string Text1, Text2;
  std::int64_t DayCount = 0;  // sales since the last Z report
  std::int64_t DayTotal = 0;
};

struct TSimPlu {
  int Group = 1;
  int Dept = 1;  // "group number" of the PLU
  std::int64_t Price = 0;
  std::int64_t Avail = 0;  // thousandths
  std::int64_t Sold = 0;   // thousandths, since the PLU was programmed
  std::int64_t Total = 0;  // turnover since the PLU was programmed
  std::string Name;
};

struct TSimOperator {
  std::string Password, Name;
};

struct TSimInvoiceRange {
  std::int64_t Start = 0, End = 0, Current = 0;
};

// One line of the open fiscal receipt: a sale or an adjustment made by a
// subtotal discount (Dept 0, Plu 0, Adjustment true).
struct TSimLine {
  int Group = 1;
  int Dept = 0;
  int Plu = 0;
  std::int64_t Qty = 1000;
  std::int64_t Amount = 0;  // after its own discount
  bool Adjustment = false;
  bool Discounted = false;  // by 91H, which allows one discount per sale
};

struct TSimReceipt {
  enum class EKind { None, Fiscal, Comment };
  EKind Kind = EKind::None;
  bool Invoice = false;
  bool Storno = false;
  bool ClientData = false;
  std::string Operator, SaleNo;
  std::int64_t DocNo = 0;  // invoice or credit-note number, 0 for none
  std::vector<TSimLine> Lines;
  std::array<std::int64_t, kPayTypes> Paid{};

  int SaleCount() const;
  std::int64_t Total() const;
  std::int64_t PaidTotal() const;
  TGroupSums GroupSums() const;
};

// What 67H reports once the receipt is closed.
struct TSimLastReceipt {
  TGroupSums Groups{};
  bool Invoice = false;
  bool Exists = false;
  bool Duplicated = false;
};

// One record of the fiscal memory: written by every Z report.
struct TSimFmRecord {
  std::int64_t Closure = 0;
  std::int64_t Time = 0;  // device clock seconds
  std::int64_t Total = 0;
};

struct TSimState {
  // Identity (5AH, 63H).
  std::string PrinterName = "VELMORA FP-SIM";
  std::string Revision = "1.00";
  std::string VersionDate = "15Jan24";
  std::string VersionTime = "1200";
  std::string FwChecksum = "5A3C";
  std::string Switches = "00000000";
  std::string SerialNumber = "QZ999834";
  std::string FiscalNumber = "12345678";
  std::string Eik = "123456789";

  std::int64_t ClockOffset = 0;  // seconds added to the wall clock

  // General settings (53H, 61H).
  int Multiplier = 1;
  int Decimals = 2;
  std::string Currency = "EUR";
  std::array<bool, kGroups> TaxEnabled{true, true, true, true, true, true, true, true};
  TGroupSums TaxRates{2000, 2000, 900, 0, 0, 0, 0, 0};

  std::array<std::string, kHeaderLines> Lines{};
  int BarcodeDots = 80;
  std::map<int, TSimOperator> Operators;
  std::array<std::string, kPayTypes> PayNames{"CASH",   "CARD",    "CHEQUE", "VOUCHER",
                                              "COUPON", "TYPE 6",  "TYPE 7", "TYPE 8",
                                              "TYPE 9", "TYPE 10", "TYPE 11"};
  TSimInvoiceRange Invoices{1, 99999, 1};
  TSimInvoiceRange CreditNotes{1, 99999, 1};

  // Counters.
  std::int64_t DocNumber = 0;       // every document printed
  std::int64_t AllReceipts = 0;     // fiscal and comment receipts
  std::int64_t FiscalReceipts = 0;  // fiscal receipts
  std::int64_t Closure = 1;         // number the next Z report carries

  // Registers of the day, reset by a Z report.
  TGroupSums DaySales{};
  TGroupSums DayRefunds{};
  std::array<std::int64_t, kPayTypes> DayPayments{};
  std::int64_t CashIn = 0, CashOut = 0, Cash = 0;

  int FmCapacity = 1800;
  std::vector<TSimFmRecord> Fm;
  std::map<int, TSimDepartment> Departments;
  std::map<int, TSimPlu> Plus;
  TSimReceipt Receipt;
  TSimLastReceipt Last;

  TSimState();
  int FreeFmRecords() const;
  bool FiscalOpen() const { return Receipt.Kind == TSimReceipt::EKind::Fiscal; }
  bool CommentOpen() const { return Receipt.Kind == TSimReceipt::EKind::Comment; }
};

}  // namespace sim
