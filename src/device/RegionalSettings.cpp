#include "RegionalSettings.h"

#include <langinfo.h>
#include <locale.h>

#include <charconv>
#include <cmath>
#include <cstring>

namespace {
char TimeSeparatorOf(const char* timeFormat) {
  for (const char* p = timeFormat; p && *p; ++p) {
    if (*p == '%') {
      if (p[1] == 'T' || p[1] == 'R') return ':';
      if (p[1]) ++p;
      continue;
    }
    return *p;
  }
  return ':';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Rounds a plain decimal text ("-12.345") to `decimals` places, halves away from zero.
std::string RoundDecimalText(const std::string& text, int decimals) {
  const bool negative = !text.empty() && text[0] == '-';
  std::string digits = negative ? text.substr(1) : text;
  const std::size_t dot = digits.find('.');
  std::string intPart = dot == std::string::npos ? digits : digits.substr(0, dot);
  std::string frac = dot == std::string::npos ? std::string() : digits.substr(dot + 1);
  if (intPart.empty()) intPart = "0";
  frac.resize(static_cast<std::size_t>(decimals) + 1, '0');
  const bool roundUp = frac.back() >= '5';
  frac.pop_back();
  std::string all = intPart + frac;
  if (roundUp) {
    int i = static_cast<int>(all.size()) - 1;
    for (; i >= 0 && all[i] == '9'; --i) all[i] = '0';
    if (i < 0)
      all.insert(all.begin(), '1');
    else
      ++all[i];
  }
  const std::size_t intLen = all.size() - static_cast<std::size_t>(decimals);
  std::string out = all.substr(0, intLen);
  if (decimals > 0) out += "." + all.substr(intLen);
  const bool zero = out.find_first_not_of("0.") == std::string::npos;
  return (negative && !zero ? "-" : "") + out;
}
}  // namespace

TRegionalSettings TRegionalSettings::System() {
  TRegionalSettings rs;
  locale_t loc = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return rs;
  const char* radix = nl_langinfo_l(RADIXCHAR, loc);
  if (radix && std::strlen(radix) == 1) rs.DecimalSeparator = radix[0];
  rs.TimeSeparator = TimeSeparatorOf(nl_langinfo_l(T_FMT, loc));
  freelocale(loc);
  return rs;
}

std::string FormatFixed(double value, int decimals, const TRegionalSettings& rs) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  char buf[400];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
  std::string out = RoundDecimalText(std::string(buf, res.ptr), decimals);
  if (const std::size_t dot = out.find('.'); dot != std::string::npos)
    out[dot] = rs.DecimalSeparator;
  return out;
}

template <typename T>
static bool ParseInt(std::string_view text, T& out) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size() || !IsDigit(text[i])) return false;
  // Parse the magnitude with the sign so that the minimum value fits.
  std::string s = (negative ? "-" : "") + std::string(text.substr(i));
  T v{};
  const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
  if (res.ec != std::errc() || res.ptr != s.data() + s.size()) return false;
  out = v;
  return true;
}

bool TryParseInt32(std::string_view text, std::int32_t& out) { return ParseInt(text, out); }
bool TryParseInt64(std::string_view text, std::int64_t& out) { return ParseInt(text, out); }

bool TryParseFloat(std::string_view text, double& out, const TRegionalSettings& rs) {
  std::size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  std::string s;
  std::size_t i = b;
  if (i < e && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') s += '-';
    ++i;
  }
  int mantissaDigits = 0;
  bool seenSep = false;
  for (; i < e; ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      s += c;
      ++mantissaDigits;
    } else if (c == rs.DecimalSeparator && !seenSep) {
      s += '.';
      seenSep = true;
    } else {
      break;
    }
  }
  if (mantissaDigits == 0) return false;
  if (i < e && (text[i] == 'e' || text[i] == 'E')) {
    s += 'e';
    ++i;
    if (i < e && (text[i] == '+' || text[i] == '-')) s += text[i++];
    if (i >= e || !IsDigit(text[i])) return false;
    while (i < e && IsDigit(text[i])) s += text[i++];
  }
  if (i != e) return false;
  double v = 0;
  const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
  if (res.ec != std::errc() || res.ptr != s.data() + s.size()) return false;
  out = v;
  return true;
}

bool TryParseHex(std::string_view text, std::uint32_t& out) {
  if (text.empty() || text.size() > 8) return false;
  std::uint32_t v = 0;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), v, 16);
  if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return false;
  out = v;
  return true;
}

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

std::string IntToStrPadded(std::int64_t value, int width) {
  std::string digits = std::to_string(value < 0 ? -static_cast<std::uint64_t>(value)
                                                : static_cast<std::uint64_t>(value));
  if (static_cast<int>(digits.size()) < width)
    digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
  return (value < 0 ? "-" : "") + digits;
}
