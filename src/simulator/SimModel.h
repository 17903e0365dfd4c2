#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "SimState.h"

// The fiscal device model: command code and request data in, answer data and
// six status bytes out. No I/O and no locking: TSimDevice serialises access.
//
// Request data arrives with the frame-level escaping already undone. The host's
// command operations escape control bytes once more inside their texts, so the
// model undoes that second level too before it reads any field (a literal 0x10
// in a text therefore travels as 0x10 0x50 on the command level). Texts read
// back never carry control bytes other than TAB and LF: those go out as blanks.
//
// Refusals: a command the device does not know sets [0/1]; data it cannot read
// sets [0/0]; a command that the current state does not allow sets [1/1]; an
// amount that would overflow a register sets [1/0]. In each case nothing
// changes and the answer data is "E:" with a short reason. The receipt bits
// [2/3] (fiscal receipt open) and [2/5] (comment receipt open) always follow
// the state.

namespace sim {

using TStatus = std::array<std::uint8_t, 6>;

struct TModelAnswer {
  std::string Data;
  TStatus Status{};
  int WorkMs = 0;         // how long the device is busy with the command
  bool Executed = false;  // false for unknown commands and refusals
};

class TFiscalModel {
 public:
  using TClock = std::function<std::int64_t()>;

  TFiscalModel();

  // `forced` holds status bits that fault injection sets: with no paper, an
  // open cover or a printer fault nothing is printed, and with a fiscal memory
  // fault nothing is written to it; such commands are then not executed.
  TModelAnswer Execute(std::uint8_t cmd, const std::string& data, const TStatus& forced = {});
  // The status bytes the state alone gives.
  TStatus StateStatus() const;

  TSimState& State() { return S_; }
  const TSimState& State() const { return S_; }

  // Device wall clock source, seconds (see SimClock.h); defaults to the local clock.
  void SetClock(TClock clock) { Clock_ = std::move(clock); }
  std::int64_t Now() const;
  // How long reports keep the device busy.
  void SetReportWorkMs(int ms) { ReportWorkMs_ = ms; }

  // The most recent printed lines (not part of the saved state).
  const std::deque<std::string>& Paper() const { return Paper_; }

  static bool IsKnownCommand(std::uint8_t cmd);

 private:
  using THandler = std::string (TFiscalModel::*)(const std::string&);
  static THandler HandlerOf(std::uint8_t cmd);
  bool Blocked(std::uint8_t cmd, const std::string& data, const TStatus& forced) const;

  // Information (SimModelInfo.cpp).
  std::string GetDateTime(const std::string& d);
  std::string SetDateTime(const std::string& d);
  std::string GetStatus(const std::string& d);
  std::string GetDiagnostic(const std::string& d);
  std::string GetEik(const std::string& d);
  std::string GetLastDoc(const std::string& d);
  std::string GetFiscalStatus(const std::string& d);
  std::string GetVatRates(const std::string& d);
  std::string GetFreeFm(const std::string& d);
  std::string GetLastReceipt(const std::string& d);
  std::string GetTotals(const std::string& d);
  std::string GetPayTotals(const std::string& d);

  // Registers and settings (SimModelRegisters.cpp).
  std::string Department(const std::string& d);
  std::string SetDepartmentCmd(const std::string& d);
  std::string Plu(const std::string& d);
  std::string ProgramPlu(const std::string& d);
  std::string DeletePlu(const std::string& d);
  std::string ReadPlu(const std::string& d);
  std::string PayName(const std::string& d);
  std::string GeneralSettings(const std::string& d);
  std::string SettingsText() const;
  std::string PrintOptions(const std::string& d);
  std::string SetOperatorCmd(const std::string& d);
  std::string InvoiceRange(const std::string& d);
  std::string CashInOut(const std::string& d);

  // Documents (SimModelDocs.cpp).
  std::string OpenComment(const std::string& d);
  std::string CommentText(const std::string& d);
  std::string CloseComment(const std::string& d);
  std::string Barcode(const std::string& d);
  std::string Duplicate(const std::string& d);
  std::string DailyReport(const std::string& d);
  std::string FmReportByBlock(const std::string& d);
  std::string FmReportByDate(const std::string& d);
  void ResetDay(bool plus);

  // Fiscal receipt (SimModelReceipt.cpp, SimModelSales.cpp).
  std::string OpenFiscal(const std::string& d);
  std::string CloseFiscal(const std::string& d);
  std::string VoidFiscal(const std::string& d);
  std::string Sale(const std::string& d);
  std::string PluSale(const std::string& d);
  std::string DiscountLast(const std::string& d);
  std::string Subtotal(const std::string& d);
  std::string Payment(const std::string& d);
  std::string FiscalText(const std::string& d);
  std::string ClientData(const std::string& d);
  struct TSaleMods {
    std::int64_t Qty = 1000;  // thousandths
    std::int64_t Perc = 0;    // hundredths of a percent
    std::int64_t Abs = 0;     // hundredths
  };
  static TSaleMods ParseMods(const std::string& rest, bool allowAbs);
  void AddSaleLine(TSimLine line, std::int64_t price, const TSaleMods& mods,
                   const std::string& text);
  void BookReceipt();

  // Counters and registers stop at their limits (SimState.h): the command
  // is refused as an overflow instead.
  static void Count(std::int64_t& counter);
  static void AddTo(std::int64_t& reg, std::int64_t value, const char* what);
  // A receipt holds at most kMaxReceiptLines lines.
  void AddLine(const TSimLine& line);

  // Guards raising a refusal.
  void RequireNoReceipt() const;
  void RequireFiscal() const;
  void RequireNoPayment() const;
  void Print(const std::string& line);
  void PrintHeader();

  TSimState S_;
  TClock Clock_;
  int ReportWorkMs_ = 0;
  int WorkMs_ = 0;  // set by a handler that keeps the device busy
  std::uint8_t Cmd_ = 0;
  std::deque<std::string> Paper_;
  std::size_t Printed_ = 0;  // lines printed by the current command
};

// Raised by a handler to refuse a command; the model rolls the state back.
struct TRefusal {
  enum class EKind { Syntax, Denied, Overflow };
  EKind Kind;
  std::string Text;
};
[[noreturn]] void Syntax(const std::string& why);
[[noreturn]] void Denied(const std::string& why);
[[noreturn]] void Overflow(const std::string& why);

}  // namespace sim
