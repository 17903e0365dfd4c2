#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Number and field helpers of the device model. The device reads decimals with a
// full stop and keeps money in hundredths, quantities in thousandths and rates in
// hundredths of a percent, so no floating point is involved anywhere.

namespace sim {

// "[-|+]digits[.digits]" scaled by 10^decimals, rounding half away from zero
// when more decimals are given. Blanks around the number are allowed.
std::optional<std::int64_t> ParseScaled(std::string_view text, int decimals);
// Plain decimal integer with an optional sign; nothing else.
std::optional<std::int64_t> ParseInt(std::string_view text);

// Scaled value as decimal text: FormatScaled(1234, 2) == "12.34", (-5, 3) == "-0.005".
std::string FormatScaled(std::int64_t value, int decimals);
std::string IntText(std::int64_t value);

// value * num / den rounded half away from zero, held within the int64 range.
std::int64_t MulDivRound(std::int64_t value, std::int64_t num, std::int64_t den);

// Pieces between `sep`, empty ones kept ("A,,B" gives A, "", B).
std::vector<std::string> Split(std::string_view text, char sep);

// Removes bytes 0x00..0x20 at both ends.
std::string Trim(std::string_view text);

// VAT group letters are the CP1251 bytes 0xC0..0xC7; 0 when `c` is none of them.
int VatGroupOf(char c);
char VatLetter(int group);

}  // namespace sim
