#include "SimStateFields.h"

#include "SimNumbers.h"

namespace sim {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "'plu' price" for a field of a list line, "'closure'" for a scalar.
std::string Subject(const std::string& key, const std::string& what) {
  return "'" + key + "'" + (what.empty() ? "" : " " + what);
}

}  // namespace

std::string EncodeField(const std::string& s) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : s) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F || c == '%' || c == '|' || c == '=') {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 15];
    } else {
      out += c;
    }
  }
  return out;
}

bool DecodeField(const std::string& s, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '%') {
      out += s[i];
      continue;
    }
    if (i + 2 >= s.size()) return false;
    const int hi = HexDigit(s[i + 1]);
    const int lo = HexDigit(s[i + 2]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return true;
}

std::string BadValue(const std::string& key) { return "bad value for '" + key + "'"; }

std::string OutOfRange(const std::string& what, std::int64_t lo, std::int64_t hi) {
  return what + " out of range (" + IntText(lo) + " to " + IntText(hi) + ")";
}

std::string ReadNumber(const std::string& field, std::int64_t lo, std::int64_t hi,
                       const std::string& key, const std::string& what, std::int64_t& out) {
  const auto n = ParseInt(field);
  if (!n) return BadValue(key);
  if (*n < lo || *n > hi) return OutOfRange(Subject(key, what), lo, hi);
  out = *n;
  return {};
}

std::string ReadText(const std::string& field, std::size_t maxBytes, const std::string& key,
                     const std::string& what, std::string& out) {
  if (!DecodeField(field, out)) return BadValue(key);
  if (out.size() > maxBytes) {
    return Subject(key, what) + " too long (at most " +
           IntText(static_cast<std::int64_t>(maxBytes)) + " bytes)";
  }
  return {};
}

}  // namespace sim
