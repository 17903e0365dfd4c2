#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Fields of the state file and the reasons a value is refused. A reader
// returns "" when the value was taken, otherwise the reason.

namespace sim {

using TFields = std::vector<std::string>;

// Bytes below 0x20, 0x7F and '%', '|', '=' as %XX.
std::string EncodeField(const std::string& s);
bool DecodeField(const std::string& s, std::string& out);

std::string BadValue(const std::string& key);
std::string OutOfRange(const std::string& what, std::int64_t lo, std::int64_t hi);

// A whole number from `lo` to `hi`; `what` names it in the reason.
std::string ReadNumber(const std::string& field, std::int64_t lo, std::int64_t hi,
                       const std::string& key, const std::string& what, std::int64_t& out);
// An encoded text of at most `maxBytes` bytes once decoded.
std::string ReadText(const std::string& field, std::size_t maxBytes, const std::string& key,
                     const std::string& what, std::string& out);

}  // namespace sim
