#pragma once

#include <cstdint>
#include <string>

#include "DateTimeUtil.h"
#include "InfoRecords.h"
#include "RegionalSettings.h"

// Result texts of the "Fiscal reports" tab (CP1251, every line ending in CR)
// and the checks of its range inputs.

// A block range typed into the two boxes; raises EInputError naming the box
// at fault, or the order, so that nothing is sent.
struct TBlockRange {
  std::int32_t Start = 0;
  std::int32_t End = 0;
};
TBlockRange ReadBlockRange(const std::string& startText, const std::string& endText);
// Raises EInputError for a range the report cannot take (0 is an empty box).
void CheckDateRange(TDateTime start, TDateTime end);

std::string BlockRangeText(bool isShort, const TBlockRange& range);
// "dd.mm.yyyy-dd.mm.yyyy"
std::string DateRangeText(TDateTime start, TDateTime end);

// `totalLabel` is "SumTOTAL" or "FM_TOTAL".
std::string DailyReportText(std::int64_t closure, double total, const TTaxValues& sums,
                            const char* totalLabel, const TRegionalSettings& rs);
std::string TotalAmountsText(bool turnover, const TTaxValues& amounts, const TRegionalSettings& rs);
std::string PayTypeTotalsText(const TPayTypeTotals& totals, const TRegionalSettings& rs);
