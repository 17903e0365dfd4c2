#pragma once

#include <string>
#include <vector>

#include "InfoRecords.h"
#include "RegionalSettings.h"

// Texts of the department and PLU reads, CP1251, numbers with the device's
// regional separators.

// "Tax group: " and the group letter.
std::string TaxGroupCaption(char taxGroup);

// The department read as the log shows it: eight parts, each ended by CR.
std::string DepartmentSumText(const TDepartmentSum& sum, const TRegionalSettings& rs);

// The PLU read as its memo shows it, one entry per line.
std::vector<std::string> PluDataLines(const TPluData& plu, const TRegionalSettings& rs);
