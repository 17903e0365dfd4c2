// Fiscal receipt commands: open, close and void (90H, 38H, 3CH), sales (31H, 34H,
// 3AH), discount on the last sale, subtotal, payment and fiscal text (91H, 33H,
// 35H, 36H).

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "BaseDeviceUnit.h"
#include "CommandSupport.h"
#include "ConstUnit.h"
#include "DateTimeUtil.h"
#include "RegionalSettings.h"

namespace {

constexpr std::uint8_t kOpenFiscalReceipt = 0x90;
constexpr std::uint8_t kCloseFiscalReceipt = 0x38;
constexpr std::uint8_t kVoidFiscalReceipt = 0x3C;
constexpr std::uint8_t kPayment = 0x35;

// Runs one command operation: `build` fills the request (its input checks may
// raise before anything is sent), `check` examines the status and the answer.
// Every exception is recorded with the status buffer; none escapes.
template <typename Build, typename Check>
bool RunCommand(TBaseDevice& dev, std::uint8_t code, Build&& build, Check&& check) {
  TDataBuffer data;
  TDataBuffer status;
  try {
    build(data);
    if (!dev.SendCommand(code, data, status)) return false;
    check(data, status);
    return true;
  } catch (const std::exception& e) {
    dev.HandleCommandError(e, status, "");
    return false;
  }
}

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

bool IsPaymentLetter(char c) {
  constexpr std::string_view kLetters = "CDIJKLMNPQR";
  return kLetters.find(c) != std::string_view::npos;
}

}  // namespace

bool TBaseDevice::CloseFiscalReceipt(std::int32_t& AllReceipt, std::int32_t& FiscReceipt) {
  AllReceipt = 0;
  FiscReceipt = 0;
  return RunCommand(
      *this, kCloseFiscalReceipt, [](TDataBuffer&) {},
      [&](const TDataBuffer& data, const TDataBuffer& status) {
        RunBitChecks(status, {BitSet(2, 0, Err::NoPaper), BitSet(0, 4, Err::PrinterMalfunction),
                              BitSet(2, 5, Err::CommentReceiptOpen)});
        CheckStatusEx(status);
        ParseReceiptCounters(BytesToText(data), AllReceipt, FiscReceipt);
      });
}

bool TBaseDevice::VoidFiscalReceipt() {
  return RunCommand(
      *this, kVoidFiscalReceipt, [](TDataBuffer&) {},
      [](const TDataBuffer&, const TDataBuffer& status) {
        RunBitChecks(status, {BitSet(2, 0, Err::NoPaper), BitSet(0, 4, Err::PrinterMalfunction)});
        CheckStatusEx(status);
      });
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
  auto check = [&](const TDataBuffer& data, const TDataBuffer& status) {
    RunBitChecks(status, {BitSet(2, 0, Err::NoPaper), BitSet(0, 4, Err::PrinterMalfunction),
                          BitSet(2, 5, Err::CommentReceiptOpen)});
    CheckStatusEx(status);
    std::string answer = BytesToText(data);
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
  return RunCommand(*this, kPayment, build, check);
}
