// Reports and device programming: daily and fiscal-memory reports, clock, header
// lines, barcode height, operators, departments, PLUs, payment names, invoice
// ranges, general settings and cash in/out.

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>

#include "BaseDeviceUnit.h"
#include "CommandSupport.h"
#include "ConstUnit.h"
#include "GeneralSettingsAnswer.h"

namespace {

// Reports print on paper: a missing roll is told before any other status error.
void CheckPaperThenStatusEx(const TDataBuffer& status) {
  RunBitChecks(status, {BitSet(2, 0, Err::NoPaper)});
  TBaseDevice::CheckStatusEx(status);
}

std::string TakeField(std::string& rest) {
  std::string field;
  TBaseDevice::TakeCommaField(rest, field);
  return field;
}

void RequireFields(const std::string& answer, int count) {
  if (CountCommaFields(answer) < count) throw ECmdException(Err::BadAnswer, "");
}

// The device answers sums in hundredths.
void ParseDailyReport(std::string answer, const TRegionalSettings& rs, std::int64_t& Closure,
                      double& SumTOTAL, TTaxValues& SumVatGroups) {
  RequireFields(answer, 10);
  Closure = ToInt64Or201(TakeField(answer), "[Closure]");
  SumTOTAL = ToFloatOr201(TakeField(answer), "[SumTOTAL]", rs) / 100;
  for (int n = 1; n <= SumVatGroups.Count(); ++n) {
    const std::string tag = "[SumVatGroups[" + IntToStr(n) + "]]";
    SumVatGroups[n] = ToFloatOr201(TakeField(answer), tag, rs) / 100;
  }
}

constexpr std::int64_t MaxInvoiceNo = 99999999999LL;
constexpr std::size_t MaxLineChars = 36;
constexpr int DotsPerMm = 8;
constexpr int MaxBarcodeDots = 240;

std::string GeneralSettingsRequest(const TGeneralPRNSettings& s, const TRegionalSettings& rs) {
  std::string text =
      IntToStr(s.Multiplier) + "," + IntToStr(s.Decimals) + "," + s.CurrencyName + ",";
  for (int i = 1; i <= s.TaxEnabled.Count(); ++i) text += s.TaxEnabled[i] ? '1' : '0';
  for (int i = 1; i <= s.TaxVals.Count(); ++i) text += "," + Format2(s.TaxVals[i], rs);
  return text;
}

// Sums of the 46H answer are in currency units; "F" in the first field is a refusal.
void CheckCashAnswer(std::string answer, double amount, const TRegionalSettings& rs) {
  RequireFields(answer, 4);
  const std::string exitCode = TakeField(answer);
  const double cashSum = ToFloatOr201(TakeField(answer), "[CashSum]", rs);
  ToFloatOr201(TakeField(answer), "[ServIn]", rs);
  ToFloatOr201(TakeField(answer), "[ServOut]", rs);
  const bool refused = exitCode == "F";
  if (refused && amount < 0 && std::fabs(amount) > cashSum) {
    throw ECmdException(Err::LackOfFunds, Format2(cashSum, rs));
  }
  if (refused) throw ECmdException(Err::Denied, "");
}

}  // namespace

// --- Daily reports (45H, 75H, 76H)

bool TBaseDevice::PrintDailyReportCode(std::uint8_t code, bool ZeroFlag, std::int64_t& Closure,
                                       double& SumTOTAL, TTaxValues& SumVatGroups) {
  return RunCommand(
      *this, code, TStatusInError::Without, [&] { return std::string(ZeroFlag ? "0" : "2"); },
      [&](const TDataBuffer& status, const std::string& answer) {
        CheckPaperThenStatusEx(status);
        ParseDailyReport(answer, Regional, Closure, SumTOTAL, SumVatGroups);
      });
}

bool TBaseDevice::PrintDailyReport(bool ZeroFlag, std::int64_t& Closure, double& SumTOTAL,
                                   TTaxValues& SumVatGroups) {
  return PrintDailyReportCode(0x45, ZeroFlag, Closure, SumTOTAL, SumVatGroups);
}

bool TBaseDevice::PrintDailyReportByDepartments(bool ZeroFlag, std::int64_t& Closure,
                                                double& SumTOTAL, TTaxValues& SumVatGroups) {
  return PrintDailyReportCode(0x75, ZeroFlag, Closure, SumTOTAL, SumVatGroups);
}

bool TBaseDevice::PrintDailyReportByDepartmentsAndPlu(bool ZeroFlag, std::int64_t& Closure,
                                                      double& SumTOTAL, TTaxValues& SumVatGroups) {
  return PrintDailyReportCode(0x76, ZeroFlag, Closure, SumTOTAL, SumVatGroups);
}

// --- Fiscal-memory reports (49H/5FH, 5EH/4FH)

bool TBaseDevice::PrintFMReportByBlock(bool Short, std::uint32_t StartNo, std::uint32_t EndNo) {
  const std::uint8_t code = Short ? 0x5F : 0x49;
  return RunCommand(
      *this, code, TStatusInError::Without,
      [&] {
        if (EndNo != 0 && EndNo < StartNo) std::swap(StartNo, EndNo);
        // The device reads the numbers as signed 32-bit values.
        std::string text = IntToStr(static_cast<std::int32_t>(StartNo));
        if (EndNo != 0) text += "," + IntToStr(static_cast<std::int32_t>(EndNo));
        return text;
      },
      [](const TDataBuffer& status, const std::string&) { CheckPaperThenStatusEx(status); });
}

bool TBaseDevice::PrintFMReportByDate(bool Short, TDateTime StartDate, TDateTime EndDate) {
  const std::uint8_t code = Short ? 0x4F : 0x5E;
  return RunCommand(
      *this, code, TStatusInError::Without,
      [&] {
        // Unlike the block report, a reversed date range is refused, not swapped.
        if (EndDate != 0 && EndDate < StartDate) throw ECmdException(Err::InvalidInput, "");
        std::string text = FormatDateCompact(StartDate);
        if (EndDate != 0) text += "," + FormatDateCompact(EndDate);
        return text;
      },
      [](const TDataBuffer& status, const std::string&) { CheckPaperThenStatusEx(status); });
}

// --- Clock, header lines, barcode height, operators (3DH, 2BH, 66H)

namespace {

// The settings commands look at nothing but the status.
void StatusExOnly(const TDataBuffer& status, const std::string&) {
  TBaseDevice::CheckStatusEx(status);
}

}  // namespace

bool TBaseDevice::SetDateTime(TDateTime DateTime) {
  return RunCommand(
      *this, 0x3D, TStatusInError::Without, [&] { return FormatDateTimeShort(DateTime, Regional); },
      StatusExOnly);
}

bool TBaseDevice::SetHeaderLine(std::uint16_t LineNo, const std::string& Text) {
  return RunCommand(
      *this, 0x2B, TStatusInError::Without,
      [&] { return IntToStr(LineNo) + LeftStr(Text, MaxLineChars); }, StatusExOnly);
}

bool TBaseDevice::SetBarcodeHeight(std::uint16_t HeightMm) {
  return RunCommand(
      *this, 0x2B, TStatusInError::Without,
      [&] {
        const std::int32_t dots = HeightMm * DotsPerMm;
        if (dots < 0 || dots > MaxBarcodeDots) {
          throw ECmdException(Err::InvalidInput,
                              "[Height]" + IntToStr(HeightMm) + "mm/" + IntToStr(dots) + "px");
        }
        return "B" + IntToStr(dots);
      },
      StatusExOnly);
}

bool TBaseDevice::SetOperator(std::uint16_t OperNo, const std::string& Password,
                              const std::string& OperName) {
  return RunCommand(
      *this, 0x66, TStatusInError::Without,
      [&] {
        const std::string name = TrimControl(OperName);
        if (name.empty()) throw ECmdException(Err::InvalidInput, "[OpName]");
        return IntToStr(OperNo) + "," + Password + "," + name;
      },
      StatusExOnly);
}

// --- Departments and PLUs (57H, 6BH P, 6BH D)

bool TBaseDevice::SetDepartment(TDepartmentInfo Info) {
  return RunCommand(
      *this, 0x57, TStatusInError::Without,
      [&] {
        std::string text = IntToStr(Info.DepNo) + "," + Info.VatGroup + "," + Info.DepText1;
        if (!Info.DepText2.empty()) text += static_cast<char>(Ctl::LF) + Info.DepText2;
        return text;
      },
      StatusExOnly);
}

bool TBaseDevice::SetPlu(TPluData Data) {
  return RunCommand(
      *this, 0x6B, TStatusInError::Without,
      [&] {
        if (!IsVatGroupLetter(Data.VatGroup)) throw ECmdException(Err::InvalidInput, "[VatGrp]");
        return std::string("P") + Data.VatGroup + IntToStr(Data.PluNo) + "," +
               IntToStr(Data.GroupNom) + "," + Format2(Data.UnitPrice, Regional) + ",A" +
               Format3(Data.Quantity, Regional) + "," + LeftStr(Data.PluName, MaxLineChars);
      },
      [](const TDataBuffer& status, const std::string& answer) {
        CheckStatusEx(status);
        if (answer != "P") throw ECmdException(Err::InvalidInput, "[can't program plu]");
      });
}

bool TBaseDevice::DeletePlu(std::int32_t PluNo) {
  // A refusal ("F") is a plain false: no error of our own is recorded.
  return RunCommand(
      *this, 0x6B, TStatusInError::With,
      [&] { return "D" + (PluNo > 0 ? IntToStr(PluNo) : std::string("A")); },
      [](const TDataBuffer& status, const std::string& answer) {
        CheckStatusEx(status);
        return answer == "P";
      });
}

// --- Payment names, invoice range, general settings, cash in/out (55H, 42H, 53H, 46H)

bool TBaseDevice::SetPayName(std::uint32_t PayType, const std::string& PayName) {
  // A refusal is a plain false: no error of our own is recorded.
  return RunCommand(
      *this, 0x55, TStatusInError::Without,
      [&] { return std::string(1, PayTypeLetter(PayType)) + "," + TrimControl(PayName); },
      [](const TDataBuffer& status, const std::string& answer) {
        CheckStatusEx(status);
        return !answer.empty() && answer[0] == 'P';
      });
}

bool TBaseDevice::GetInvoiceRange(bool CreditNote, std::int64_t& InvStart, std::int64_t& InvEnd,
                                  std::int64_t& InvCurrent) {
  InvStart = 0;
  InvEnd = 0;
  InvCurrent = 0;
  return RunCommand(
      *this, 0x42, TStatusInError::Without, [&] { return std::string(CreditNote ? "S" : ""); },
      [&](const TDataBuffer& status, std::string answer) {
        CheckStatus(status);
        RequireFields(answer, 3);
        InvStart = ToInt64Or201(TakeField(answer), "[InvStart]");
        InvEnd = ToInt64Or201(TakeField(answer), "[InvEnd]");
        InvCurrent = ToInt64Or201(TakeField(answer), "[InInvCurrentvEnd]");
      });
}

bool TBaseDevice::SetInvoiceRange(bool CreditNote, std::int64_t& InvStart, std::int64_t& InvEnd) {
  return RunCommand(
      *this, 0x42, TStatusInError::Without,
      [&] {
        if (InvStart > MaxInvoiceNo) throw ECmdException(Err::InvalidInput, "[InvStart]");
        if (InvEnd > MaxInvoiceNo) throw ECmdException(Err::InvalidInput, "[InvEnd]");
        if (InvStart > InvEnd) throw ECmdException(Err::InvalidInput, "[InvEnd]");
        return std::string(CreditNote ? "S," : "") + IntToStr(InvStart) + "," + IntToStr(InvEnd);
      },
      [&](const TDataBuffer& status, std::string answer) {
        CheckStatusEx(status);
        // The device answers the range it took; an unreadable number keeps ours.
        if (!answer.empty()) {
          InvStart = ToInt64Def(TakeField(answer), InvStart);
          InvEnd = ToInt64Def(TakeField(answer), InvEnd);
        }
      });
}

bool TBaseDevice::SetGeneralPRNSettings(TGeneralPRNSettings Settings) {
  return RunCommand(
      *this, 0x53, TStatusInError::With, [&] { return GeneralSettingsRequest(Settings, Regional); },
      [&](const TDataBuffer& status, const std::string& answer) {
        CheckStatusEx(status);
        TGeneralPRNSettings echoed;
        ParseGeneralPRNSettingsAnswer(answer, echoed, Regional);
      });
}

bool TBaseDevice::ImportExportAmount(double Amount) {
  return RunCommand(
      *this, 0x46, TStatusInError::Without, [&] { return Format2(Amount, Regional); },
      [&](const TDataBuffer& status, const std::string& answer) {
        CheckStatusEx(status);
        RunBitChecks(status, {BitSet(2, 5, Err::CommentReceiptOpen),
                              BitSet(2, 3, Err::FiscalReceiptOpen), BitSet(2, 0, Err::NoPaper)});
        CheckCashAnswer(answer, Amount, Regional);
      });
}
