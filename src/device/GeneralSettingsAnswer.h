#pragma once

#include <string>

#include "InfoRecords.h"
#include "RegionalSettings.h"

// Validates and reads the answer of 53H (the same layout after reading and after
// setting): multiplier, decimals, currency, enable mask, eight rates.
// Raises ECmdException 200 for fewer than 10 non-empty comma fields and 201 with the
// field tag for a number that does not convert. Fields read before a failure stay
// in `out`; the enable flags are taken from the mask only once every rate converted.
void ParseGeneralPRNSettingsAnswer(const std::string& text, TGeneralPRNSettings& out,
                                   const TRegionalSettings& rs);
