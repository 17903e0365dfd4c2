#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "BaseDeviceUnit.h"

// One known status flag: bit n of byte k, described by the message of `Code`.
// The ranks place the flag in the condition lists (0 = not listed); [0/0] has
// rank 1 in both and replaces whatever came before it.
struct TStatusBitInfo {
  int Byte;
  int Bit;
  std::int32_t Code;
  int ConditionRank;      // StatusConditionText
  int ReadConditionRank;  // ReadStatusConditions
};

// Every known flag in the order in which the full listing shows them (37 rows).
const std::vector<TStatusBitInfo>& StatusBitTable();

// The message of a code (CP1251), empty for an unknown code.
const std::string& ErrorMessage(std::int32_t code);

// Message, one blank, detail.
std::string ErrorText(std::int32_t code, const std::string& detail);

// One line per known flag, "message [True]" / "message [False]", joined by CR LF.
std::string StatusBitsText(const TDataBuffer& status);

// Messages of the set error and warning flags except `skippedCode`, comma-joined.
std::string StatusConditionText(const TDataBuffer& status, std::int32_t skippedCode);

// Same list as ReadStatusConditions uses; `lastCode` is the code of the last set flag
// (unchanged when none is set).
std::string StatusConditionTextAll(const TDataBuffer& status, std::int32_t& lastCode);
