#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "SimNumbers.h"

// Small text builders shared by the model's command handlers.

namespace sim {

inline std::string Two(int v) {
  std::string s = IntText(v);
  return s.size() < 2 ? "0" + s : s;
}

// Whole numbers of hundredths, as answers carry amounts.
template <typename TRange>
std::string JoinInts(const TRange& values) {
  std::string out;
  for (auto v : values) {
    if (!out.empty()) out.push_back(',');
    out += IntText(v);
  }
  return out;
}

inline std::string Money(std::int64_t hundredths) { return FormatScaled(hundredths, 2); }
inline std::string Qty(std::int64_t thousandths) { return FormatScaled(thousandths, 3); }

inline bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

inline std::string Left(std::string_view s, std::size_t n) { return std::string(s.substr(0, n)); }

}  // namespace sim
