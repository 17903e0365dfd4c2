#include "TapText.h"

#include "Cp1251.h"
#include "FrameCodec.h"

namespace {

std::string Fixed(std::int64_t value, std::int64_t unit, int decimals) {
  const bool negative = value < 0;
  const std::uint64_t v =
      negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  std::string frac = std::to_string(v % static_cast<std::uint64_t>(unit));
  frac.insert(0, static_cast<std::size_t>(decimals) - frac.size(), '0');
  return (negative ? "-" : "") + std::to_string(v / static_cast<std::uint64_t>(unit)) + "." + frac;
}

}  // namespace

std::string TapSeconds(std::int64_t us) { return Fixed(us, 1000000, 6); }

std::string TapMillis(std::int64_t us) { return Fixed(us, 1000, 3); }

std::string TapPrintable(std::string_view cp1251) {
  std::string out;
  out.reserve(cp1251.size());
  for (char c : cp1251) {
    const auto b = static_cast<std::uint8_t>(c);
    if (b < 0x20 || b == 0x7F || b == 0x98) {
      out += "\\x" + Hex2(b);
    } else if (c == '\\') {
      out += "\\\\";
    } else if (b < 0x80) {
      out += c;
    } else {
      out += Cp1251ToUtf8(std::string_view(&c, 1));
    }
  }
  return out;
}
