// Fiscal receipt commands: open, close and void (90H, 38H, 3CH), sales (31H, 34H,
// 3AH), discount on the last sale, subtotal, payment and fiscal text (91H, 33H,
// 35H, 36H).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "BaseDeviceUnit.h"
#include "CommandSupport.h"
#include "ConstUnit.h"
#include "DateTimeUtil.h"
#include "RegionalSettings.h"

namespace {

constexpr std::uint8_t kOpenFiscalReceipt = 0x90;
constexpr std::uint8_t kCloseFiscalReceipt = 0x38;
constexpr std::uint8_t kVoidFiscalReceipt = 0x3C;
constexpr std::uint8_t kRegisterSale = 0x31;
constexpr std::uint8_t kRegisterSaleAndDisplay = 0x34;
constexpr std::uint8_t kSellRegisteredPlu = 0x3A;
constexpr std::uint8_t kDiscountLastPlu = 0x91;
constexpr std::uint8_t kSubtotal = 0x33;
constexpr std::uint8_t kPayment = 0x35;
constexpr std::uint8_t kPrintFiscalText = 0x36;

void AppendChar(char c, TDataBuffer& buf) {
  TBaseDevice::AppendEscaped(static_cast<std::uint8_t>(c), buf);
}

// Open and close answer with the count of all receipts and of fiscal receipts.
void ParseReceiptCounters(const std::string& answer, std::int32_t& AllReceipt,
                          std::int32_t& FiscReceipt) {
  if (CountCommaFields(answer) < 2) throw ECmdException(Err::BadAnswer, "");
  std::string rest = answer;
  std::string field;
  TBaseDevice::TakeCommaField(rest, field);
  AllReceipt = ToInt32Or201(field, "[AllReceipt]");
  TBaseDevice::TakeCommaField(rest, field);
  FiscReceipt = ToInt32Or201(field, "[FiscReceipt]");
}

// Removes every "E:" and every 0xA2 from the device's answer; what is left is shown
// after "# ".
void AppendDeviceWords(std::string& errorText, std::string answer) {
  for (std::size_t at = answer.find("E:"); at != std::string::npos; at = answer.find("E:", at)) {
    answer.erase(at, 2);
  }
  std::erase(answer, '\xA2');
  if (!answer.empty()) errorText += "# " + answer;
}

// The refund part of the open request: ",S," FMIN "," reason "," receipt number and,
// for a receipt of another device, the date and the invoice number when given.
void AppendStornoPart(const TFiskParam& p, const TRegionalSettings& rs, TDataBuffer& data) {
  TBaseDevice::AppendEscapedText(",S,", data);
  TBaseDevice::AppendEscapedText(p.StornoFMIN, data);
  AppendChar(',', data);
  const char reason = p.StornoReason;
  if (reason != 'O' && reason != 'R' && reason != 'T') {
    const std::string shown = reason == 0 ? std::string() : std::string(1, reason);
    throw ECmdException(Err::InvalidInput, "Invalid reason \"" + shown + "\"");
  }
  AppendChar(reason, data);
  if (p.StornoReceiptNo <= 0) {
    throw ECmdException(Err::InvalidInput,
                        "Invalid reciept num  \"" + IntToStr(p.StornoReceiptNo) + "\"");
  }
  AppendChar(',', data);
  TBaseDevice::AppendEscapedText(IntToStr(p.StornoReceiptNo), data);
  // A receipt of this same device is found by its number alone.
  if (p.StornoFMIN == p.DeviceFMIN) return;
  if (reason == 'O') {
    throw ECmdException(Err::InvalidInput,
                        std::string("Reason \"") + reason + "\" is invalid for this device.");
  }
  if (p.StornoDateTime > 0) {
    AppendChar(',', data);
    TBaseDevice::AppendEscapedText(FormatDateTimeIso(p.StornoDateTime, rs), data);
  }
  if (p.StornoInvoiceNo > 0) {
    AppendChar(',', data);
    TBaseDevice::AppendEscapedText(IntToStr(p.StornoInvoiceNo), data);
  }
}

void BuildOpenRequest(const TFiskParam& p, const TRegionalSettings& rs, TDataBuffer& data) {
  TBaseDevice::AppendEscapedText(p.OperatorName, data);
  AppendChar(',', data);
  if (TrimControl(p.UniqueSellNo).empty()) {
    throw ECmdException(Err::InvalidInput, "[UniqueSellNo]");
  }
  TBaseDevice::AppendEscapedText(p.UniqueSellNo, data);
  if (p.IsInvoice) {
    TBaseDevice::AppendEscapedText(",I", data);
  } else if (p.IsStorno) {
    AppendStornoPart(p, rs, data);
  }
}

// Item text of the 31H sales: [Text1] [LF Text2] TAB.
void AppendItemText(const std::string& Text1, const std::string& Text2, TDataBuffer& data) {
  if (!Text1.empty()) TBaseDevice::AppendEscapedText(Text1, data);
  if (!Text2.empty()) {
    TBaseDevice::AppendEscaped(Ctl::LF, data);
    TBaseDevice::AppendEscapedText(Text2, data);
  }
  TBaseDevice::AppendEscaped(Ctl::TAB, data);
}

// DepartNo TAB, as the department sales write it.
void AppendDepartment(std::int64_t DepartNo, TDataBuffer& data) {
  TBaseDevice::AppendEscapedText(IntToStr(DepartNo), data);
  TBaseDevice::AppendEscaped(Ctl::TAB, data);
}

// The optional tail of every sale: "*" quantity when it is not 1, then the
// separator and the discount or surcharge when it is not 0.
void AppendQttyPerc(double Qtty, double Perc, char percSeparator, const TRegionalSettings& rs,
                    TDataBuffer& data) {
  if (Qtty != 1) {
    AppendChar('*', data);
    TBaseDevice::AppendEscapedText(Format3(Qtty, rs), data);
  }
  if (Perc != 0) {
    AppendChar(percSeparator, data);
    TBaseDevice::AppendEscapedText(Format2(Perc, rs), data);
  }
}

// 34H and 3AH tell an amount from a percentage by the separator.
char PercSeparator(bool IsAbsolute) { return IsAbsolute ? ';' : ','; }

void CheckVatGroup(char VatGrp) {
  if (!IsVatGroupLetter(VatGrp)) throw ECmdException(Err::InvalidInput, "[VatGrp]");
}

// Status of the sales other than the free 31H sale.
void CheckSaleStatus(const TDataBuffer& status, const std::string& /*answer*/) {
  RunBitChecks(status, {BitSet(2, 0, Err::NoPaper), BitSet(2, 5, Err::CommentReceiptOpen),
                        BitClear(2, 3, Err::NoFiscalReceipt), BitSet(2, 2, Err::EndOfJournal),
                        BitSet(0, 4, Err::PrinterMalfunction)});
  TBaseDevice::CheckStatusEx(status);
}

// Subtotal answer: the subtotal and up to eight VAT group sums, in hundredths.
void ParseSubtotalAnswer(std::string answer, const TRegionalSettings& rs, double& SubTotal,
                         TTaxValues& VatGRP) {
  // The device sends nine values, but eight are enough.
  if (CountCommaFields(answer) < 8) throw ECmdException(Err::BadAnswer, "");
  std::string field;
  TBaseDevice::TakeCommaField(answer, field);
  SubTotal = ToFloatOr201(field, "[SubTotal]", rs) / 100;
  for (int n = 1; n <= VatGRP.Count(); ++n) {
    if (answer.empty()) continue;
    TBaseDevice::TakeCommaField(answer, field);
    VatGRP[n] = ToFloatOr201(field, "[VatGRP" + IntToStr(n) + "]", rs) / 100;
  }
}

bool IsPaymentLetter(char c) {
  constexpr std::string_view kLetters = "CDIJKLMNPQR";
  return kLetters.find(c) != std::string_view::npos;
}

}  // namespace

bool TBaseDevice::IsUniqueSellNoValid(std::string_view text) {
  for (char c : text) {
    const bool ok =
        c == '-' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (!ok) return false;
  }
  if (text.size() < 19) return false;
  const std::size_t first = text.find('-');
  if (first == std::string_view::npos) return false;
  const std::size_t second = text.find('-', first + 1);
  if (second == std::string_view::npos) return false;
  std::int64_t counter = 0;
  if (!TryParseInt64(text.substr(second + 1), counter)) return false;
  return counter >= 1 && counter <= 99999999;
}

bool TBaseDevice::OpenFiscalReceipt(TFiskParam Param, std::int32_t& AllReceipt,
                                    std::int32_t& FiscReceipt) {
  AllReceipt = 0;
  FiscReceipt = 0;
  // Set once the device answered: whatever fails after that is a refusal, and the
  // device's own words explain it.
  std::optional<std::string> deviceWords;
  const bool opened = RunCommand(
      *this, kOpenFiscalReceipt, TStatusInError::With,
      [&](TDataBuffer& data) { BuildOpenRequest(Param, Regional, data); },
      [&](const TDataBuffer& status, const std::string& answer) {
        deviceWords = answer;
        RunBitChecks(status,
                     {BitSet(2, 0, Err::NoPaper), BitSet(0, 4, Err::PrinterMalfunction),
                      BitSet(2, 5, Err::CommentReceiptOpen), BitClear(2, 3, Err::NoFiscalReceipt),
                      BitSet(4, 0, Err::FiscalMemoryError), BitSet(4, 4, Err::FiscalMemoryFull),
                      BitSet(5, 2, Err::LastFmEntryFailed), BitSet(5, 0, Err::FiscalMemoryLocked),
                      BitSet(0, 2, Err::ClockNotSet), BitSet(1, 6, Err::TaxTerminal),
                      BitSet(2, 2, Err::EndOfJournal)});
        CheckStatusEx(status);
        if (answer.empty()) throw ECmdException(Err::FiscalReceiptOpen, BitLabel(2, 3));
        ParseReceiptCounters(answer, AllReceipt, FiscReceipt);
      });
  if (!opened && deviceWords) AppendDeviceWords(LastErrorText, *deviceWords);
  return opened;
}

bool TBaseDevice::CloseFiscalReceipt(std::int32_t& AllReceipt, std::int32_t& FiscReceipt) {
  AllReceipt = 0;
  FiscReceipt = 0;
  return RunCommand(
      *this, kCloseFiscalReceipt, TStatusInError::With, NoRequestData,
      [&](const TDataBuffer& status, const std::string& answer) {
        RunBitChecks(status, {BitSet(2, 0, Err::NoPaper), BitSet(0, 4, Err::PrinterMalfunction),
                              BitSet(2, 5, Err::CommentReceiptOpen)});
        CheckStatusEx(status);
        ParseReceiptCounters(answer, AllReceipt, FiscReceipt);
      });
}

bool TBaseDevice::VoidFiscalReceipt() {
  return RunCommand(
      *this, kVoidFiscalReceipt, TStatusInError::With, NoRequestData,
      [](const TDataBuffer& status, const std::string&) {
        RunBitChecks(status, {BitSet(2, 0, Err::NoPaper), BitSet(0, 4, Err::PrinterMalfunction)});
        CheckStatusEx(status);
      });
}

bool TBaseDevice::RegisterSale(const std::string& Text1, const std::string& Text2, char VatGrp,
                               double Price, double Qtty, double Perc) {
  auto build = [&](TDataBuffer& data) {
    CheckVatGroup(VatGrp);
    AppendItemText(Text1, Text2, data);
    AppendChar(VatGrp, data);
    AppendEscapedText(Format2(Price, Regional), data);
    AppendQttyPerc(Qtty, Perc, ',', Regional, data);
  };
  auto check = [](const TDataBuffer& status, const std::string&) {
    RunBitChecks(status, {BitSet(2, 0, Err::NoPaper), BitSet(0, 4, Err::PrinterMalfunction),
                          BitSet(2, 5, Err::CommentReceiptOpen),
                          BitClear(2, 3, Err::NoFiscalReceipt), BitSet(2, 2, Err::EndOfJournal)});
    CheckStatusEx(status);
  };
  return RunCommand(*this, kRegisterSale, TStatusInError::With, build, check);
}

bool TBaseDevice::RegisterDepartmentSale(const std::string& Text1, const std::string& Text2,
                                         std::uint8_t DepartNo, double Price, double Qtty,
                                         double Perc) {
  auto build = [&](TDataBuffer& data) {
    if (Qtty == 0) throw ECmdException(Err::InvalidInput, "[Qtty]");
    if (DepartNo == 0) throw ECmdException(Err::InvalidInput, "[DepartNo]");
    if (Perc < -99 || Perc > 99) throw ECmdException(Err::InvalidInput, "[Perc]");
    AppendItemText(Text1, Text2, data);
    AppendDepartment(DepartNo, data);
    AppendEscapedText(Format2(Price, Regional), data);
    AppendQttyPerc(Qtty, Perc, ',', Regional, data);
  };
  return RunCommand(*this, kRegisterSale, TStatusInError::With, build, CheckSaleStatus);
}

bool TBaseDevice::RegisterSaleAndDisplay(const std::string& Text1, char VatGrp, double Price,
                                         double Qtty, double Perc, bool IsAbsolute) {
  auto build = [&](TDataBuffer& data) {
    CheckVatGroup(VatGrp);
    AppendItemText(Text1, "", data);
    AppendChar(VatGrp, data);
    AppendEscapedText(Format2(Price, Regional), data);
    AppendQttyPerc(Qtty, Perc, PercSeparator(IsAbsolute), Regional, data);
  };
  return RunCommand(*this, kRegisterSaleAndDisplay, TStatusInError::With, build, CheckSaleStatus);
}

bool TBaseDevice::RegisterDepartmentSaleAndDisplay(const std::string& Text1, std::uint8_t DepartNo,
                                                   double Price, double Qtty, double Perc,
                                                   bool IsAbsolute) {
  // No input checks: the device decides on a department 0.
  auto build = [&](TDataBuffer& data) {
    AppendItemText(Text1, "", data);
    AppendDepartment(DepartNo, data);
    AppendEscapedText(Format2(Price, Regional), data);
    AppendQttyPerc(Qtty, Perc, PercSeparator(IsAbsolute), Regional, data);
  };
  return RunCommand(*this, kRegisterSaleAndDisplay, TStatusInError::With, build, CheckSaleStatus);
}

bool TBaseDevice::SellRegisteredPlu(bool Display, std::int32_t PluNo, std::int32_t DepartNo,
                                    double Qtty, double Perc, bool IsAbsolute) {
  auto build = [&](TDataBuffer& data) {
    // Only a percentage is limited; an amount is the device's business.
    if (!IsAbsolute && (Perc < -99.99 || Perc > 99.99)) {
      throw ECmdException(Err::InvalidInput, "[Perc]");
    }
    if (Display) AppendChar('D', data);
    AppendEscapedText(IntToStr(PluNo), data);
    if (DepartNo > 0) {
      AppendEscaped(Ctl::TAB, data);
      AppendDepartment(DepartNo, data);
    }
    AppendQttyPerc(Qtty, Perc, PercSeparator(IsAbsolute), Regional, data);
  };
  return RunCommand(*this, kSellRegisteredPlu, TStatusInError::With, build, CheckSaleStatus);
}

bool TBaseDevice::DiscountLastPlu(bool IsAbsolute, double Value) {
  auto build = [&](TDataBuffer& data) {
    AppendChar(IsAbsolute ? 'A' : 'P', data);
    AppendChar(',', data);
    AppendEscapedText(Format2(Value, Regional), data);
  };
  auto check = [](const TDataBuffer& status, const std::string&) {
    RunBitChecks(status, {BitSet(2, 0, Err::NoPaper), BitClear(2, 3, Err::NoFiscalReceipt),
                          BitSet(2, 5, Err::CommentReceiptOpen)});
    CheckStatusEx(status);
  };
  return RunCommand(*this, kDiscountLastPlu, TStatusInError::With, build, check);
}

bool TBaseDevice::Subtotal(bool Print, bool IsAbsolute, bool Display, double& SubTotal,
                           TTaxValues& VatGRP, double Perc) {
  SubTotal = 0;
  VatGRP = TTaxValues{};
  auto build = [&](TDataBuffer& data) {
    AppendChar(Print ? '1' : '0', data);
    AppendChar(Display ? '1' : '0', data);
    if (Perc != 0) {
      AppendChar(PercSeparator(IsAbsolute), data);
      AppendEscapedText(Format2(Perc, Regional), data);
    }
  };
  auto check = [&](const TDataBuffer& status, const std::string& answer) {
    RunBitChecks(status,
                 {BitSet(2, 0, Err::NoPaper), BitSet(0, 4, Err::PrinterMalfunction),
                  BitSet(2, 5, Err::CommentReceiptOpen), BitClear(2, 3, Err::NoFiscalReceipt)});
    CheckStatusEx(status);
    // Without the display flag the device's answer carries nothing of use.
    if (Display) ParseSubtotalAnswer(answer, Regional, SubTotal, VatGRP);
  };
  return RunCommand(*this, kSubtotal, TStatusInError::With, build, check);
}

bool TBaseDevice::Payment(const std::string& Text1, const std::string& Text2, char PaidMode,
                          double Amount, char& PaidCode, double& Amount2) {
  Amount2 = 0;
  PaidCode = 0;
  auto build = [&](TDataBuffer& data) {
    if (!Text1.empty()) AppendEscapedText(Text1, data);
    if (!Text2.empty()) {
      AppendEscaped(Ctl::LF, data);
      AppendEscapedText(Text2, data);
    }
    AppendEscaped(Ctl::TAB, data);
    if (!IsPaymentLetter(PaidMode)) throw ECmdException(Err::InvalidInput, "[PaidMode]");
    AppendChar(PaidMode, data);
    if (Amount >= 0) AppendChar('+', data);
    AppendEscapedText(Format2(Amount, Regional), data);
  };
  auto check = [&](const TDataBuffer& status, std::string answer) {
    RunBitChecks(status, {BitSet(2, 0, Err::NoPaper), BitSet(0, 4, Err::PrinterMalfunction),
                          BitSet(2, 5, Err::CommentReceiptOpen)});
    CheckStatusEx(status);
    if (answer.empty()) throw ECmdException(Err::BadAnswer, "");
    // The result letter and the separator after it.
    PaidCode = answer[0];
    answer.erase(0, 2);
    if (PaidCode == 'E' || PaidCode == 'F' || PaidCode == 'I') {
      throw ECmdException(Err::PaymentError, std::string("[") + PaidCode + "]");
    }
    if (answer.empty()) return;
    std::string field;
    TakeCommaField(answer, field);
    Amount2 = ToFloatOr201(field, "[Amount2]", Regional) / 100;
  };
  return RunCommand(*this, kPayment, TStatusInError::With, build, check);
}

bool TBaseDevice::PrintFiscalText(const std::string& Text) {
  auto build = [&](TDataBuffer& data) { AppendEscapedText(Text, data); };
  auto check = [](const TDataBuffer& status, const std::string&) {
    RunBitChecks(status,
                 {BitSet(2, 0, Err::NoPaper), BitSet(0, 4, Err::PrinterMalfunction),
                  BitSet(2, 5, Err::CommentReceiptOpen), BitClear(2, 3, Err::NoFiscalReceipt)});
    CheckStatusEx(status);
  };
  return RunCommand(*this, kPrintFiscalText, TStatusInError::With, build, check);
}
