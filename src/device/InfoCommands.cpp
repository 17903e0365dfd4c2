// Information queries and auxiliary documents: device state (3EH, 4AH, 5AH, 63H,
// 71H, 4CH), counters (61H, 44H, 67H, 41H, 6EH), register reads (58H, 6BH R, 55H,
// 53H, 2BH I/IB), comment receipt and barcode (26H, 2AH, 27H, 54H), invoice data
// and duplicate (39H, 6DH) and the recovery that closes whatever receipt is open.

#include <cmath>
#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "BaseDeviceUnit.h"
#include "CommandSupport.h"
#include "ConstUnit.h"
#include "DateTimeUtil.h"
#include "GeneralSettingsAnswer.h"
#include "RegionalSettings.h"

namespace {

constexpr std::uint8_t kGetDateTime = 0x3E;
constexpr std::uint8_t kGetStatus = 0x4A;
constexpr std::uint8_t kDiagnosticInfo = 0x5A;
constexpr std::uint8_t kGetEik = 0x63;
constexpr std::uint8_t kLastDocNumber = 0x71;
constexpr std::uint8_t kFiscalStatus = 0x4C;
constexpr std::uint8_t kVatValues = 0x61;
constexpr std::uint8_t kFreeFmRecords = 0x44;
constexpr std::uint8_t kLastReceiptInfo = 0x67;
constexpr std::uint8_t kTotalAmounts = 0x41;
constexpr std::uint8_t kPayTypeTotals = 0x6E;
constexpr std::uint8_t kDepartmentSum = 0x58;
constexpr std::uint8_t kPlu = 0x6B;
constexpr std::uint8_t kPayTypeName = 0x55;
constexpr std::uint8_t kGeneralSettings = 0x53;
constexpr std::uint8_t kHeaderLine = 0x2B;
constexpr std::uint8_t kOpenComment = 0x26;
constexpr std::uint8_t kCommentText = 0x2A;
constexpr std::uint8_t kCloseComment = 0x27;
constexpr std::uint8_t kBarcode = 0x54;
constexpr std::uint8_t kInvoiceClient = 0x39;
constexpr std::uint8_t kDuplicate = 0x6D;

// Texts of the identity and EIK records hold at most this many characters.
constexpr std::size_t kShortStringMax = 255;
// EIK that the recovery sends when an invoice must be finished without its data.
constexpr const char* kRecoveryEik = "111111110";

// Takes the fields of an answer from the front.
class TFieldReader {
 public:
  explicit TFieldReader(std::string text) : rest_(std::move(text)) {}
  std::string Comma() {
    std::string field;
    TBaseDevice::TakeCommaField(rest_, field);
    return field;
  }
  std::string Space() {
    std::string field;
    TBaseDevice::TakeSpaceField(rest_, field);
    return field;
  }
  bool AtEnd() const { return rest_.empty(); }
  const std::string& Rest() const { return rest_; }

 private:
  std::string rest_;
};

void RequireCommaFields(const std::string& answer, int count) {
  if (CountCommaFields(answer) < count) throw ECmdException(Err::BadAnswer, "");
}

std::string TaxTag(int group) { return "[Tax" + IntToStr(group) + "]"; }

// Two characters from `pos` (0-based) as an integer, 201 with `tag` otherwise.
int TwoDigits(const std::string& answer, std::size_t pos, const char* tag) {
  return ToInt32Or201(answer.substr(pos, 2), tag);
}

// DD?MM?YY?HH?MM?SS; the separator characters are not looked at.
TDateTime ParseDeviceDateTime(const std::string& answer) {
  if (answer.size() < 17) throw ECmdException(Err::BadAnswer, "[GetFPR_DateTime]");
  TDateTimeParts parts;
  parts.Day = TwoDigits(answer, 0, "[DAY]");
  parts.Month = TwoDigits(answer, 3, "[MONTH]");
  parts.Year = TwoDigits(answer, 6, "[YEAR]") + 2000;
  parts.Hour = TwoDigits(answer, 9, "[HOUR]");
  parts.Minute = TwoDigits(answer, 12, "[MIN]");
  parts.Second = TwoDigits(answer, 15, "[SEC]");
  TDateTime value = 0;
  if (!TryEncodeDateTime(parts, value)) throw ECmdException(Err::InvalidInput, "[DATE]");
  return value;
}

// name,revision date time,checksum,switches,serial,fiscal
void ParseDiagnosticInfo(const std::string& answer, TDiagnosticInfo& info) {
  RequireCommaFields(answer, 5);
  TFieldReader reader(answer);
  auto cut = [](const std::string& field) { return LeftStr(field, kShortStringMax); };
  info.PrinterName = cut(reader.Comma());
  info.ProgramRevision = cut(reader.Space());
  info.VersionDate = cut(reader.Space());
  info.VersionTime = cut(reader.Comma());
  info.Checksum = cut(reader.Comma());
  info.Switches = cut(reader.Comma());
  info.SerialNumber = cut(reader.Comma());
  info.FiscalNumber = cut(reader.Comma());
}

// Open,ItemsCount,Amount[,Tender]; amounts in hundredths.
void ParseFiscalStatus(const std::string& answer, const TRegionalSettings& rs, bool& open,
                       std::int32_t& itemsCount, double& amount, double& tender) {
  RequireCommaFields(answer, 3);
  TFieldReader reader(answer);
  open = ToInt32Or201(reader.Comma(), "[Open]") == 1;
  itemsCount = ToInt32Or201(reader.Comma(), "[ItemsCount]");
  amount = ToFloatOr201(reader.Comma(), "[Amount]", rs) / 100;
  if (!reader.AtEnd()) tender = ToFloatOr201(reader.Comma(), "[Tender]", rs) / 100;
}

// CanVoid, eight group amounts in hundredths, IsInvoice, NextInvNo.
void ParseLastReceiptInfo(const std::string& answer, const TRegionalSettings& rs, bool& canVoid,
                          TTaxValues& amounts, bool& isInvoice, std::int64_t& nextInvNo) {
  RequireCommaFields(answer, 11);
  TFieldReader reader(answer);
  canVoid = reader.Comma() == "1";
  for (int i = 1; i <= amounts.Count(); ++i) {
    amounts[i] = ToFloatOr201(reader.Comma(), TaxTag(i), rs) / 100;
  }
  isInvoice = reader.Comma() == "1";
  nextInvNo = ToInt64Or201(reader.Comma(), "[NextInvNo]");
}

// `count` amounts in hundredths, then closure and receipt number; unreadable
// fields count as 0. The payment types above `count` are 0.
void ParsePayTypeTotals(const std::string& answer, const TRegionalSettings& rs, int count,
                        TPayTypeTotals& totals) {
  TFieldReader reader(answer);
  for (int i = 1; i <= totals.PayTotals.Count(); ++i) {
    totals.PayTotals[i] = i <= count ? ToFloatDef(reader.Comma(), 0, rs) / 100 : 0;
  }
  totals.Closure = ToInt32Def(reader.Comma(), 0);
  totals.ReceiptNo = ToInt32Def(reader.Comma(), 0);
}

// After the exit code "P": group letter, counters and sums, then the two texts
// split at the first TAB.
void ParseDepartmentSum(const std::string& fields, const TRegionalSettings& rs,
                        TDepartmentSum& sum) {
  TFieldReader reader(fields);
  const std::string group = reader.Comma();
  if (!group.empty()) sum.TaxGroup = group[0];
  sum.CountSales = ToInt64Def(reader.Comma(), 0);
  sum.RecSum = ToFloatDef(reader.Comma(), 0, rs);
  sum.TotalSales = ToInt64Def(reader.Comma(), 0);
  sum.TotalSum = ToFloatDef(reader.Comma(), 0, rs);
  const std::string& texts = reader.Rest();
  const std::size_t tab = texts.find(static_cast<char>(Ctl::TAB));
  sum.Text1 = texts.substr(0, tab);
  if (tab != std::string::npos) sum.Text2 = TrimControl(texts.substr(tab + 1));
}

// After the exit code "P": number, group letter, counters, then the name (which
// may hold commas).
void ParsePluData(const std::string& fields, const TRegionalSettings& rs, TPluData& plu) {
  TFieldReader reader(fields);
  plu.PluNo = ToInt32Or201(reader.Comma(), "[PluNo]");
  const std::string group = reader.Comma();
  if (!group.empty()) plu.VatGroup = group[0];
  plu.GroupNom = ToInt32Or201(reader.Comma(), "[GroupNom]");
  plu.UnitPrice = ToFloatOr201(reader.Comma(), "[UnitPrice]", rs);
  plu.TotalSum = ToFloatOr201(reader.Comma(), "[TotalSum]", rs);
  plu.Sold = ToFloatOr201(reader.Comma(), "[Sold]", rs);
  plu.AvailQtty = ToFloatOr201(reader.Comma(), "[AvailQtty]", rs);
  plu.PluName = reader.Rest();
}

// Nearest integer, halves to the even neighbour (10.5 -> 10, 11.5 -> 12).
std::int32_t RoundHalfEven(double x) {
  double whole = std::floor(x);
  const double fraction = x - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0)) whole += 1;
  return static_cast<std::int32_t>(whole);
}

// The bits that every comment-receipt and barcode command tests first.
void CheckPaperAndPrinter(const TDataBuffer& status) {
  RunBitChecks(status, {BitSet(2, 0, Err::NoPaper), BitSet(0, 4, Err::PrinterMalfunction)});
  TBaseDevice::CheckStatusEx(status);
}

// The receipt counter of 26H and 27H: the first comma field.
std::int32_t ParseAllReceipt(const std::string& answer) {
  RequireCommaFields(answer, 1);
  TFieldReader reader(answer);
  return ToInt32Or201(reader.Comma(), "[AllReceipt]");
}

// EIK TAB (empty) TAB receiver TAB client TAB tax number [TAB address lines].
void BuildInvoiceClientRequest(const TInvoiceClientData& d, TDataBuffer& data) {
  // The record's fields hold at most 255 characters; only those count as the EIK.
  if (TrimControl(LeftStr(d.EIK, kShortStringMax)).empty()) {
    throw ECmdException(Err::InvalidInput, "EIK");
  }
  auto text = [&](const std::string& s, std::size_t n) {
    TBaseDevice::AppendEscapedText(LeftStr(s, n), data);
  };
  auto sep = [&](std::uint8_t b) { TBaseDevice::AppendEscaped(b, data); };
  text(d.EIK, 14);
  sep(Ctl::TAB);
  sep(Ctl::TAB);
  text(d.Receiver, 26);
  sep(Ctl::TAB);
  text(d.ClientName, 26);
  sep(Ctl::TAB);
  text(d.TaxNo, 14);
  if (!d.AddressLine1.empty()) {
    sep(Ctl::TAB);
    text(d.AddressLine1, 26);
    if (!d.Address.empty()) {
      sep(Ctl::LF);
      text(d.Address, 26);
    }
  } else if (!d.Address.empty()) {
    sep(Ctl::TAB);
    text(d.Address, 26);
  }
}

bool FiscalReceiptOpen(const TDataBuffer& status) {
  return TBaseDevice::TestStatusBit(status, 2, 3);
}
bool CommentReceiptOpen(const TDataBuffer& status) {
  return TBaseDevice::TestStatusBit(status, 2, 5);
}

// Ends the recovery of an open fiscal receipt; LastErrorText already tells why.
class ERecoveryAbort : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace

char PayTypeLetter(std::int64_t payType) {
  constexpr std::string_view kLetters = "PNCDIJKL";
  if (payType < 1 || payType > static_cast<std::int64_t>(kLetters.size())) return 'P';
  return kLetters[static_cast<std::size_t>(payType - 1)];
}

// --- Device state queries

bool TBaseDevice::GetFPR_DateTime(TDateTime& DateTime) {
  DateTime = 0;
  return RunCommand(*this, kGetDateTime, TStatusInError::With, NoRequestData,
                    [&](const TDataBuffer& status, const std::string& answer) {
                      CheckStatus(status);
                      DateTime = ParseDeviceDateTime(answer);
                    });
}

bool TBaseDevice::GetPrinterStatus(TDataBuffer& Status) {
  Status.clear();
  return RunCommand(
      *this, kGetStatus, TStatusInError::With, [] { return "W"; },
      [&](const TDataBuffer& status, const std::string& answer) {
        CheckStatus(status);
        if (answer.size() == StatusByteCount) {
          Status.assign(answer.begin(), answer.end());
        } else {
          Status = status;
        }
      });
}

bool TBaseDevice::GetDiagnosticInfo(bool Option, TDiagnosticInfo& Info) {
  return RunCommand(
      *this, kDiagnosticInfo, TStatusInError::With, [&] { return Option ? "1" : "0"; },
      [&](const TDataBuffer& status, const std::string& answer) {
        CheckStatus(status);
        ParseDiagnosticInfo(answer, Info);
      });
}

bool TBaseDevice::GetEIK(std::string& EIK, int MaxLen) {
  EIK.clear();
  return RunCommand(*this, kGetEik, TStatusInError::With, NoRequestData,
                    [&](const TDataBuffer& status, const std::string& answer) {
                      CheckStatus(status);
                      const std::size_t maxLen = MaxLen > 0 ? static_cast<std::size_t>(MaxLen) : 0;
                      EIK = LeftStr(LeftStr(answer, kShortStringMax), maxLen);
                      if (EIK.empty()) throw ECmdException(Err::BadAnswer, "[EIK]");
                    });
}

bool TBaseDevice::GetLastDocNumber(std::int32_t& Number) {
  Number = 0;
  return RunCommand(*this, kLastDocNumber, TStatusInError::With, NoRequestData,
                    [&](const TDataBuffer& status, const std::string& answer) {
                      CheckStatus(status);
                      Number = ToInt32Or201(answer, "");
                    });
}

bool TBaseDevice::GetFiscalStatus(bool& Open, std::int32_t& ItemsCount, double& Amount,
                                  double& Tender) {
  Tender = 0;
  return RunCommand(
      *this, kFiscalStatus, TStatusInError::With, [] { return "T"; },
      [&](const TDataBuffer& status, const std::string& answer) {
        CheckStatusEx(status);
        ParseFiscalStatus(answer, Regional, Open, ItemsCount, Amount, Tender);
      });
}

// --- Fiscal memory and receipt counters

bool TBaseDevice::GetVATValues(TTaxValues& Values) {
  return RunCommand(*this, kVatValues, TStatusInError::With, NoRequestData,
                    [&](const TDataBuffer& status, const std::string& answer) {
                      CheckStatusEx(status);
                      RequireCommaFields(answer, Values.Count());
                      TFieldReader reader(answer);
                      for (int i = 1; i <= Values.Count(); ++i) {
                        Values[i] = ToFloatOr201(reader.Comma(), TaxTag(i), Regional);
                      }
                    });
}

bool TBaseDevice::GetFreeFMRecords(std::int32_t& Count) {
  return RunCommand(*this, kFreeFmRecords, TStatusInError::Without, NoRequestData,
                    [&](const TDataBuffer& status, const std::string& answer) {
                      CheckStatusEx(status);
                      RequireCommaFields(answer, 1);
                      Count = ToInt32Or201(TFieldReader(answer).Comma(), "[cLogical]");
                    });
}

bool TBaseDevice::GetLastReceiptInfo(bool& CanVoid, TTaxValues& Amounts, bool& IsInvoice,
                                     std::int64_t& NextInvNo) {
  return RunCommand(*this, kLastReceiptInfo, TStatusInError::With, NoRequestData,
                    [&](const TDataBuffer& status, const std::string& answer) {
                      CheckStatusEx(status);
                      ParseLastReceiptInfo(answer, Regional, CanVoid, Amounts, IsInvoice,
                                           NextInvNo);
                    });
}

bool TBaseDevice::GetReceiptTotals(bool& CanVoid, double& Total, bool& IsInvoice) {
  Total = 0;
  TTaxValues amounts;
  std::int64_t nextInvNo = 0;
  if (!GetLastReceiptInfo(CanVoid, amounts, IsInvoice, nextInvNo)) return false;
  for (int i = 1; i <= amounts.Count(); ++i) Total += amounts[i];
  return true;
}

bool TBaseDevice::GetTotalAmounts(bool Turnover, TTaxValues& Amounts) {
  return RunCommand(
      *this, kTotalAmounts, TStatusInError::With, [&] { return Turnover ? "0" : "1"; },
      [&](const TDataBuffer& status, const std::string& answer) {
        CheckStatusEx(status);
        TFieldReader reader(answer);
        for (int i = 1; i <= Amounts.Count(); ++i) {
          Amounts[i] = ToFloatDef(reader.Comma(), 0, Regional) / 100;
        }
      });
}

bool TBaseDevice::GetPayTypeTotals(TPayTypeTotals& Totals) {
  return RunCommand(
      *this, kPayTypeTotals, TStatusInError::Without, [] { return "11"; },
      [&](const TDataBuffer& status, const std::string& answer) {
        CheckStatusEx(status);
        ParsePayTypeTotals(answer, Regional, 11, Totals);
      });
}

bool TBaseDevice::GetPayTypeTotals8(TPayTypeTotals& Totals) {
  return RunCommand(
      *this, kPayTypeTotals, TStatusInError::Without, [] { return "11"; },
      [&](const TDataBuffer& status, const std::string& answer) {
        CheckStatusEx(status);
        ParsePayTypeTotals(answer, Regional, 8, Totals);
      });
}

// --- Register reads

bool TBaseDevice::GetDepartmentSum(std::int32_t Number, TDepartmentSum& Sum) {
  Sum.TaxGroup = static_cast<char>(VatGroupFirst);
  Sum.CountSales = 0;
  Sum.RecSum = 0;
  Sum.TotalSales = 0;
  Sum.TotalSum = 0;
  Sum.Text1.clear();
  Sum.Text2.clear();
  return RunCommand(
      *this, kDepartmentSum, TStatusInError::With, [&] { return IntToStr(Number); },
      [&](const TDataBuffer& status, const std::string& answer) {
        CheckStatusEx(status);
        if (answer.empty()) throw ECmdException(Err::BadAnswer, "[ExitCode]");
        Sum.ExitCode = answer[0];
        if (Sum.ExitCode == 'P') ParseDepartmentSum(answer.substr(1), Regional, Sum);
      });
}

bool TBaseDevice::GetPluData(std::int32_t Number, TPluData& Plu) {
  // Quantity is not part of the answer and is left as the caller set it.
  Plu.PluNo = -1;
  Plu.PluName.clear();
  Plu.VatGroup = 0;
  Plu.GroupNom = 1;
  Plu.UnitPrice = 0;
  Plu.TotalSum = 0;
  Plu.Sold = 0;
  Plu.AvailQtty = 0;
  return RunCommand(
      *this, kPlu, TStatusInError::Without, [&] { return "R" + IntToStr(Number); },
      [&](const TDataBuffer& status, const std::string& answer) {
        CheckStatusEx(status);
        if (answer.empty()) throw ECmdException(Err::InvalidInput, "[No data recieved]");
        if (answer[0] == 'P') ParsePluData(answer.substr(1), Regional, Plu);
      });
}

bool TBaseDevice::GetPayTypeName(std::int32_t PayType, std::string& Name) {
  Name.clear();
  return RunCommand(
      *this, kPayTypeName, TStatusInError::Without,
      [&] { return std::string(1, PayTypeLetter(PayType)); },
      [&](const TDataBuffer& status, const std::string& answer) {
        CheckStatusEx(status);
        if (!answer.empty()) Name = answer;
      });
}

bool TBaseDevice::GetGeneralPRNSettings(TGeneralPRNSettings& Settings) {
  return RunCommand(*this, kGeneralSettings, TStatusInError::With, NoRequestData,
                    [&](const TDataBuffer& status, const std::string& answer) {
                      CheckStatus(status);
                      ParseGeneralPRNSettingsAnswer(answer, Settings, Regional);
                    });
}

bool TBaseDevice::GetHeaderLine(std::int32_t Line, std::string& Text) {
  return RunCommand(
      *this, kHeaderLine, TStatusInError::With, [&] { return "I" + IntToStr(Line); },
      [&](const TDataBuffer& status, const std::string& answer) {
        CheckStatus(status);
        Text = answer;
      });
}

bool TBaseDevice::GetBarcodeHeight(std::int32_t& HeightMm) {
  return RunCommand(
      *this, kHeaderLine, TStatusInError::Without, [] { return "IB"; },
      [&](const TDataBuffer& status, const std::string& answer) {
        CheckStatusEx(status);
        const std::int32_t dots = ToInt32Or201(answer, "[Barcode height]");
        // Eight dots per millimetre.
        HeightMm = RoundHalfEven(dots * 0.125);
      });
}

// --- Comment receipt and barcode

bool TBaseDevice::OpenCommentReceipt(std::int32_t& AllReceipt) {
  return RunCommand(*this, kOpenComment, TStatusInError::With, NoRequestData,
                    [&](const TDataBuffer& status, const std::string& answer) {
                      RunBitChecks(
                          status,
                          {BitSet(2, 0, Err::NoPaper), BitSet(0, 4, Err::PrinterMalfunction),
                           BitClear(2, 5, Err::NoCommentReceipt),
                           BitSet(2, 3, Err::FiscalReceiptOpen), BitSet(0, 2, Err::ClockNotSet)});
                      CheckStatusEx(status);
                      if (answer.empty()) throw ECmdException(Err::CommentReceiptOpen, "[2/5]");
                      AllReceipt = ParseAllReceipt(answer);
                    });
}

bool TBaseDevice::PrintCommentText(const std::string& Text) {
  return RunCommand(
      *this, kCommentText, TStatusInError::With, [&] { return Text; },
      [](const TDataBuffer& status, const std::string&) { CheckPaperAndPrinter(status); });
}

bool TBaseDevice::CloseCommentReceipt(std::int32_t& AllReceipt) {
  return RunCommand(*this, kCloseComment, TStatusInError::With, NoRequestData,
                    [&](const TDataBuffer& status, const std::string& answer) {
                      CheckPaperAndPrinter(status);
                      AllReceipt = ParseAllReceipt(answer);
                    });
}

bool TBaseDevice::PrintBarcode(std::int32_t BarcodeType, const std::string& Data, bool ShowText) {
  auto build = [&](TDataBuffer& data) {
    if (BarcodeType < 1 || BarcodeType > 6) {
      throw ECmdException(Err::InvalidInput, "[BarcodeType]");
    }
    AppendEscapedText(IntToStr(BarcodeType), data);
    AppendEscapedText(ShowText ? "," : ";", data);
    AppendEscapedText(Data, data);
  };
  return RunCommand(
      *this, kBarcode, TStatusInError::With, build,
      [](const TDataBuffer& status, const std::string&) { CheckPaperAndPrinter(status); });
}

// --- Invoice client data, duplicate and the recovery

bool TBaseDevice::SendInvoiceClientData(TInvoiceClientData Data) {
  return RunCommand(
      *this, kInvoiceClient, TStatusInError::With,
      [&](TDataBuffer& data) { BuildInvoiceClientRequest(Data, data); },
      [](const TDataBuffer& status, const std::string&) {
        RunBitChecks(status, {BitSet(2, 0, Err::NoPaper), BitClear(2, 3, Err::NoFiscalReceipt),
                              BitSet(2, 5, Err::CommentReceiptOpen)});
        CheckStatusEx(status);
      });
}

bool TBaseDevice::DuplicateReceipt() {
  return RunCommand(
      *this, kDuplicate, TStatusInError::With, [] { return "1"; },
      [](const TDataBuffer& status, const std::string&) {
        RunBitChecks(status, {BitSet(2, 0, Err::NoPaper), BitSet(2, 3, Err::FiscalReceiptOpen),
                              BitSet(2, 5, Err::CommentReceiptOpen)});
        CheckStatusEx(status);
      });
}

bool TBaseDevice::CancelAllReceipts() {
  TDataBuffer status;
  if (!GetPrinterStatus(status)) return false;
  std::int32_t allReceipt = 0;
  std::int32_t fiscReceipt = 0;
  if (FiscalReceiptOpen(status)) {
    // The void may fail on a receipt that is already paid; the status tells.
    VoidFiscalReceipt();
    if (!GetPrinterStatus(status)) return true;
    if (!FiscalReceiptOpen(status)) return true;
    if (CloseFiscalReceipt(allReceipt, fiscReceipt)) return true;
    return CloseOpenFiscalReceipt();
  }
  if (CommentReceiptOpen(status)) return CloseCommentReceipt(allReceipt);
  return true;
}

bool TBaseDevice::CloseOpenFiscalReceipt() {
  std::int32_t allReceipt = 0;
  std::int32_t fiscReceipt = 0;
  try {
    bool open = false;
    std::int32_t itemsCount = 0;
    double amount = 0;
    double tender = 0;
    if (!GetFiscalStatus(open, itemsCount, amount, tender)) throw ERecoveryAbort(LastErrorText);
    if (!open) return true;
    const double rest = amount - tender;
    if (std::fabs(rest) <= 0.005) return CloseFiscalReceipt(allReceipt, fiscReceipt);
    bool canVoid = false;
    double total = 0;
    bool isInvoice = false;
    if (!GetReceiptTotals(canVoid, total, isInvoice)) throw ERecoveryAbort(LastErrorText);
    if (canVoid && VoidFiscalReceipt()) return true;
    // Pay what is left and, for an invoice, supply client data so that the close passes.
    char paidCode = 0;
    double change = 0;
    Payment("", "", 'P', rest, paidCode, change);
    if (isInvoice) {
      TInvoiceClientData client;
      client.EIK = kRecoveryEik;
      SendInvoiceClientData(client);
    }
    if (!CloseFiscalReceipt(allReceipt, fiscReceipt)) throw ERecoveryAbort("");
    return true;
  } catch (const std::exception&) {
    LastErrorText = "[FPR_CancelAllRecFailed]" + LastErrorText;
    return false;
  }
}
