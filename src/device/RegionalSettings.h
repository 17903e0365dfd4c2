#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Separators of the operating system's regional settings. Never taken from the C
// locale at conversion time: the GUI toolkit changes it.
struct TRegionalSettings {
  char DecimalSeparator = '.';
  char TimeSeparator = ':';

  // Read once from the user's locale (LC_NUMERIC / LC_TIME of the environment).
  static TRegionalSettings System();
  bool operator==(const TRegionalSettings&) const = default;
};

// "0.00"-style pattern: at least one integer digit, exactly `decimals` decimals,
// "-" for negative values, no thousands separator; halves round away from zero
// on the shortest decimal form of the value.
std::string FormatFixed(double value, int decimals, const TRegionalSettings& rs);
inline std::string Format2(double v, const TRegionalSettings& rs) { return FormatFixed(v, 2, rs); }
inline std::string Format3(double v, const TRegionalSettings& rs) { return FormatFixed(v, 3, rs); }

// Strict parsing. Integers: optional leading blanks, optional sign, decimal digits,
// nothing after. Decimals: optional blanks around, optional sign, digits with at
// most one regional decimal separator, optional exponent.
bool TryParseInt32(std::string_view text, std::int32_t& out);
bool TryParseInt64(std::string_view text, std::int64_t& out);
bool TryParseFloat(std::string_view text, double& out, const TRegionalSettings& rs);
// Hexadecimal digits only (no prefix), at most 8 of them.
bool TryParseHex(std::string_view text, std::uint32_t& out);

// Decimal text of an integer.
std::string IntToStr(std::int64_t value);
// Zero-padded to at least `width` digits ("%10.10d"); "-" before negatives.
std::string IntToStrPadded(std::int64_t value, int width);
