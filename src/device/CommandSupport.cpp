#include "CommandSupport.h"

#include "ConstUnit.h"

std::string BitLabel(int k, int n) { return "[" + std::to_string(k) + "/" + std::to_string(n) + "]"; }

void RunBitChecks(const TDataBuffer& status, std::initializer_list<TBitCheck> checks) {
  for (const auto& c : checks) {
    // A short status is left to CheckStatus, which reports its length.
    if (static_cast<std::size_t>(c.Byte) >= status.size()) continue;
    if (TBaseDevice::TestStatusBit(status, c.Byte, c.Bit) == c.FailWhenSet)
      throw ECmdException(c.Code, BitLabel(c.Byte, c.Bit));
  }
}

int CountCommaFields(std::string_view text) {
  int count = 0;
  bool inField = false;
  for (char c : text) {
    if (c == ',') {
      inField = false;
    } else if (!inField) {
      inField = true;
      ++count;
    }
  }
  return count;
}

std::string TrimControl(std::string_view text) {
  auto isCtl = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
  std::size_t b = 0, e = text.size();
  while (b < e && isCtl(text[b])) ++b;
  while (e > b && isCtl(text[e - 1])) --e;
  return std::string(text.substr(b, e - b));
}

std::string LeftStr(std::string_view text, std::size_t n) {
  return std::string(text.substr(0, std::min(n, text.size())));
}

std::int32_t ToInt32Or201(const std::string& field, const std::string& tag) {
  std::int32_t v = 0;
  if (!TryParseInt32(field, v)) throw ECmdException(Err::InvalidInput, tag);
  return v;
}

std::int64_t ToInt64Or201(const std::string& field, const std::string& tag) {
  std::int64_t v = 0;
  if (!TryParseInt64(field, v)) throw ECmdException(Err::InvalidInput, tag);
  return v;
}

double ToFloatOr201(const std::string& field, const std::string& tag,
                    const TRegionalSettings& rs) {
  double v = 0;
  if (!TryParseFloat(field, v, rs)) throw ECmdException(Err::InvalidInput, tag);
  return v;
}

std::int32_t ToInt32Def(const std::string& field, std::int32_t def) {
  std::int32_t v = 0;
  return TryParseInt32(field, v) ? v : def;
}

std::int64_t ToInt64Def(const std::string& field, std::int64_t def) {
  std::int64_t v = 0;
  return TryParseInt64(field, v) ? v : def;
}

double ToFloatDef(const std::string& field, double def, const TRegionalSettings& rs) {
  double v = 0;
  return TryParseFloat(field, v, rs) ? v : def;
}

bool IsVatGroupLetter(char c) {
  const auto b = static_cast<std::uint8_t>(c);
  return b >= VatGroupFirst && b <= VatGroupLast;
}
