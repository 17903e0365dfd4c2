#pragma once

#include <string>

#include "SimState.h"

// The state file: plain text, one "key=value" per line, first line
// "fprsim-state 2", last line "end" (a file cut short is thus told from a
// whole one). Lists repeat their key once per item and separate the item's
// fields with '|'. Texts are CP1251 bytes; bytes below 0x20, 0x7F and the
// characters '%', '|' and '=' are written as %XX. Lines starting with '#' are
// comments. Money is in hundredths, quantities in thousandths, rates in
// hundredths of a percent, times in device-clock seconds. Every value must lie
// within the model's limits (SimState.h).

namespace sim {

std::string SerializeState(const TSimState& s);
// On failure `error` names the line and `out` is left unchanged. Files of
// version 1, written before the closing line existed, are read without it;
// `warning` then says that such a file may have been cut short.
bool ParseState(const std::string& text, TSimState& out, std::string* error,
                std::string* warning = nullptr);

// Writes PATH.tmp, flushes it to disk and renames it over PATH; on failure no
// PATH.tmp is left behind and PATH is as it was.
bool SaveStateFile(const TSimState& s, const std::string& path, std::string* error);
bool LoadStateFile(const std::string& path, TSimState& out, std::string* error,
                   std::string* warning = nullptr);
// Whether `path` can name a state file: its folder exists and it is no folder.
bool CheckStatePath(const std::string& path, std::string* error);

}  // namespace sim
