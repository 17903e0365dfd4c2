#include "SimNumbers.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>

namespace sim {

namespace {

constexpr std::int64_t kLimit = 999'999'999'999'999LL;  // keeps every product in range

std::int64_t Pow10(int n) {
  std::int64_t p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

}  // namespace

std::string Trim(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && static_cast<std::uint8_t>(text[b]) <= 0x20) ++b;
  while (e > b && static_cast<std::uint8_t>(text[e - 1]) <= 0x20) --e;
  return std::string(text.substr(b, e - b));
}

std::optional<std::int64_t> ParseInt(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return std::nullopt;
  std::int64_t v = 0;
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || p != text.data() + text.size()) return std::nullopt;
  return v;
}

std::optional<std::int64_t> ParseScaled(std::string_view raw, int decimals) {
  std::string t = Trim(raw);
  std::string_view s(t);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  std::size_t dot = s.find('.');
  std::string_view whole = s.substr(0, dot);
  std::string_view frac = dot == std::string_view::npos ? std::string_view() : s.substr(dot + 1);
  if (whole.empty() && frac.empty()) return std::nullopt;
  if (whole.size() > 15 || frac.size() > 9) return std::nullopt;
  for (char c : whole)
    if (c < '0' || c > '9') return std::nullopt;
  for (char c : frac)
    if (c < '0' || c > '9') return std::nullopt;
  std::int64_t value = 0;
  for (char c : whole) value = value * 10 + (c - '0');
  for (int i = 0; i < decimals; ++i) {
    value = value * 10 + (static_cast<std::size_t>(i) < frac.size() ? frac[i] - '0' : 0);
  }
  if (frac.size() > static_cast<std::size_t>(decimals) && frac[decimals] >= '5') ++value;
  if (value > kLimit) return std::nullopt;
  return negative ? -value : value;
}

std::string IntText(std::int64_t value) {
  char buf[24];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, p);
}

std::string FormatScaled(std::int64_t value, int decimals) {
  if (decimals <= 0) return IntText(value);
  std::uint64_t mag = value < 0 ? 0 - static_cast<std::uint64_t>(value) : value;
  auto p = static_cast<std::uint64_t>(Pow10(decimals));
  std::string frac = std::to_string(mag % p);
  frac.insert(0, static_cast<std::size_t>(decimals) - frac.size(), '0');
  return (value < 0 ? "-" : "") + std::to_string(mag / p) + "." + frac;
}

std::int64_t MulDivRound(std::int64_t value, std::int64_t num, std::int64_t den) {
  __int128 prod = static_cast<__int128>(value) * num;
  __int128 half = den / 2;
  __int128 q = prod >= 0 ? (prod + half) / den : (prod - half) / den;
  return static_cast<std::int64_t>(std::clamp<__int128>(q, INT64_MIN, INT64_MAX));
}

std::vector<std::string> Split(std::string_view text, char sep) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (true) {
    std::size_t pos = text.find(sep, start);
    out.emplace_back(text.substr(start, pos - start));
    if (pos == std::string_view::npos) break;
    start = pos + 1;
  }
  return out;
}

int VatGroupOf(char c) {
  auto b = static_cast<std::uint8_t>(c);
  return b >= 0xC0 && b <= 0xC7 ? b - 0xC0 + 1 : 0;
}

char VatLetter(int group) { return static_cast<char>(0xC0 + group - 1); }

}  // namespace sim
