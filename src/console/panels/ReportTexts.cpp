#include "ReportTexts.h"

#include "DeviceText.h"

namespace {

const char kCR = '\r';

}  // namespace

TBlockRange ReadBlockRange(const std::string& startText, const std::string& endText) {
  TBlockRange r;
  if (!TryParseInt32(startText, r.Start)) throw EInputError("Invalid start number.");
  if (!TryParseInt32(endText, r.End)) throw EInputError("Invalid final number.");
  if (r.End < r.Start) throw EInputError("Values are invalid.");
  return r;
}

void CheckDateRange(TDateTime start, TDateTime end) {
  if (end < start) throw EInputError("Date values are invalid.");
  if (start == 0) throw EInputError("Date values are invalid.[Start date]");
  if (end == 0) throw EInputError("Date values are invalid.[End date]");
}

std::string BlockRangeText(bool isShort, const TBlockRange& range) {
  const char* middle = isShort ? ",  End block: " : ", End block:";
  return "Start block: " + IntToStr(range.Start) + middle + IntToStr(range.End);
}

std::string DateRangeText(TDateTime start, TDateTime end) {
  return FormatDateDots(start) + "-" + FormatDateDots(end);
}

std::string DailyReportText(std::int64_t closure, double total, const TTaxValues& sums,
                            const char* totalLabel, const TRegionalSettings& rs) {
  std::string text = "Closure: " + IntToStrPadded(closure, 10) + kCR;
  text += std::string(totalLabel) + ": " + Format2(total, rs) + kCR;
  for (int n = 1; n <= 8; ++n) {
    text += "SumVat[" + IntToStr(n) + "]: " + Format2(sums[n], rs) + kCR;
  }
  return text;
}

std::string TotalAmountsText(bool turnover, const TTaxValues& amounts,
                             const TRegionalSettings& rs) {
  const std::string what = turnover ? "Total turnover" : "Accumulated VAT";
  std::string text =
      (turnover ? "Get Total turnover" : "Get Accumulated VAT") + std::string(1, kCR);
  for (int i = 1; i <= 8; ++i) {
    text += what + " for VAT grp[" + IntToStr(i) + "]=" + Format2(amounts[i], rs) + kCR;
  }
  return text;
}

std::string PayTypeTotalsText(const TPayTypeTotals& totals, const TRegionalSettings& rs) {
  std::string text;
  for (int i = 1; i <= 11; ++i) {
    text += "Totals for pay type[" + IntToStr(i) + "]= " + Format2(totals.PayTotals[i], rs) + kCR;
  }
  text += "Closure= " + IntToStrPadded(totals.Closure, 10) + kCR;
  text += "Receipt= " + IntToStr(totals.ReceiptNo) + kCR;
  return text;
}
