#pragma once

#include <string>

#include "SimState.h"

// The state file: plain text, one "key=value" per line, first line
// "fprsim-state 1". Lists repeat their key once per item and separate the
// item's fields with '|'. Texts are CP1251 bytes; bytes below 0x20, 0x7F and
// the characters '%', '|' and '=' are written as %XX. Lines starting with '#'
// are comments. Money is in hundredths, quantities in thousandths, rates in
// hundredths of a percent, times in device-clock seconds.

namespace sim {

std::string SerializeState(const TSimState& s);
// On failure `error` names the line and `out` is left unchanged.
bool ParseState(const std::string& text, TSimState& out, std::string* error);

bool SaveStateFile(const TSimState& s, const std::string& path, std::string* error);
bool LoadStateFile(const std::string& path, TSimState& out, std::string* error);

}  // namespace sim
