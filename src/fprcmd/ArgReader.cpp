#include "ArgReader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "Cp1251.h"
#include "DateTimeUtil.h"

namespace {

struct TIntRange {
  std::int64_t Min;
  std::int64_t Max;
};

TIntRange RangeOf(TValueKind kind) {
  switch (kind) {
    case TValueKind::Int32:
      return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
    case TValueKind::UInt8:
      return {0, 0xFF};
    case TValueKind::UInt16:
      return {0, 0xFFFF};
    case TValueKind::UInt32:
      return {0, 0xFFFFFFFFLL};
    default:
      return {std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()};
  }
}

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

bool ParseInteger(TValueKind kind, std::string_view text, TValue& value, std::string& error) {
  const char* first = text.data();
  const char* last = text.data() + text.size();
  std::int64_t v = 0;
  std::from_chars_result res{};
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    std::uint64_t u = 0;
    res = std::from_chars(first + 2, last, u, 16);
    if (res.ec == std::errc() && u > static_cast<std::uint64_t>(RangeOf(kind).Max)) {
      res.ec = std::errc::result_out_of_range;
    }
    v = static_cast<std::int64_t>(u);
  } else {
    if (first != last && *first == '+') ++first;
    res = std::from_chars(first, last, v);
  }
  const TIntRange range = RangeOf(kind);
  const bool whole = res.ptr == last && first != last;
  if (res.ec == std::errc::result_out_of_range && whole) {
    error = Quoted(text) + " is out of range " + std::to_string(range.Min) + ".." +
            std::to_string(range.Max);
    return false;
  }
  if (res.ec != std::errc() || !whole) {
    error = Quoted(text) + " is not a whole number";
    return false;
  }
  if (v < range.Min || v > range.Max) {
    error = Quoted(text) + " is out of range " + std::to_string(range.Min) + ".." +
            std::to_string(range.Max);
    return false;
  }
  value = TValue::Integer(kind, v);
  return true;
}

bool ParseDouble(std::string_view text, TValue& value, std::string& error) {
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first;
  double v = 0;
  const auto res = std::from_chars(first, last, v, std::chars_format::general);
  const bool whole = res.ptr == last && first != last;
  if (res.ec == std::errc::result_out_of_range && whole) {
    error = Quoted(text) + " is out of the range of a double";
    return false;
  }
  if (res.ec != std::errc() || !whole || !std::isfinite(v)) {
    error = Quoted(text) + " is not a number (decimals with '.')";
    return false;
  }
  value = TValue::Number(v);
  return true;
}

bool ParseBool(std::string_view text, TValue& value, std::string& error) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  if (lower == "1" || lower == "true") {
    value = TValue::Flag(true);
  } else if (lower == "0" || lower == "false") {
    value = TValue::Flag(false);
  } else {
    error = Quoted(text) + " is not a boolean (0, 1, true or false)";
    return false;
  }
  return true;
}

bool ParseText(TValueKind kind, std::string_view text, TValue& value, std::string& error) {
  std::string cp1251;
  std::size_t bad = 0;
  if (!Utf8ToCp1251(text, cp1251, &bad)) {
    error = "the character at byte " + std::to_string(bad) + " of " + Quoted(text) +
            " has no CP1251 code (or the text is not UTF-8)";
    return false;
  }
  if (kind == TValueKind::Text) {
    value = TValue::Text(cp1251);
    return true;
  }
  if (cp1251.size() != 1) {
    error = Quoted(text) + " is not one letter";
    return false;
  }
  value = TValue::Letter(cp1251[0]);
  return true;
}

// Exactly `count` digits at `pos`.
bool Digits(std::string_view text, std::size_t pos, std::size_t count, int& out) {
  if (pos + count > text.size()) return false;
  out = 0;
  for (std::size_t i = pos; i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    out = out * 10 + (text[i] - '0');
  }
  return true;
}

bool ParseDate(std::string_view text, TValue& value, std::string& error) {
  if (text == "0") {
    value = TValue::DateTime(0);
    return true;
  }
  TDateTimeParts p;
  bool ok = (text.size() == 10 || text.size() == 19) && Digits(text, 0, 4, p.Year) &&
            text[4] == '-' && Digits(text, 5, 2, p.Month) && text[7] == '-' &&
            Digits(text, 8, 2, p.Day);
  if (ok && text.size() == 19) {
    ok = text[10] == 'T' && Digits(text, 11, 2, p.Hour) && text[13] == ':' &&
         Digits(text, 14, 2, p.Minute) && text[16] == ':' && Digits(text, 17, 2, p.Second);
  }
  TDateTime v = 0;
  if (!ok || !TryEncodeDateTime(p, v)) {
    error = Quoted(text) + " is not a date YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS (or 0 for none)";
    return false;
  }
  value = TValue::DateTime(v);
  return true;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return out;
}

std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

bool ParseArgValue(TValueKind kind, std::string_view text, TValue& value, std::string& error) {
  switch (kind) {
    case TValueKind::Double:
      return ParseDouble(text, value, error);
    case TValueKind::Bool:
      return ParseBool(text, value, error);
    case TValueKind::Letter:
    case TValueKind::Text:
      return ParseText(kind, text, value, error);
    case TValueKind::Date:
      return ParseDate(text, value, error);
    case TValueKind::Bytes:
      error = "bytes are never an argument";
      return false;
    default:
      return ParseInteger(kind, text, value, error);
  }
}

std::string ClosestName(std::string_view name, const std::vector<std::string>& candidates) {
  const std::string wanted = Lower(name);
  std::string best;
  std::size_t bestDistance = 3;
  for (const std::string& c : candidates) {
    const std::size_t d = EditDistance(wanted, Lower(c));
    if (d < bestDistance) {
      bestDistance = d;
      best = c;
    }
  }
  return best;
}

bool ReadArguments(const std::vector<TValueDecl>& decls, const std::vector<std::string>& words,
                   TNamedValues& values, std::vector<std::string>& errors) {
  const std::size_t errorsBefore = errors.size();
  std::vector<std::string> names;
  for (const TValueDecl& s : decls) names.push_back(s.Name);
  std::vector<std::optional<TValue>> given(decls.size());
  std::vector<bool> named(decls.size(), false);  // also when its value was wrong
  for (const std::string& word : words) {
    const std::size_t eq = word.find('=');
    if (eq == std::string::npos || eq == 0) {
      errors.push_back(Quoted(word) + " is not NAME=VALUE");
      continue;
    }
    const std::string name = word.substr(0, eq);
    const auto at = std::find(names.begin(), names.end(), name);
    if (at == names.end()) {
      const std::string hint = ClosestName(name, names);
      errors.push_back("unknown argument " + Quoted(name) +
                       (hint.empty() ? std::string() : " (did you mean " + hint + "?)"));
      continue;
    }
    const std::size_t i = static_cast<std::size_t>(at - names.begin());
    if (named[i]) {
      errors.push_back("argument " + name + " is given twice");
      continue;
    }
    named[i] = true;
    TValue value;
    std::string error;
    if (!ParseArgValue(decls[i].Kind, std::string_view(word).substr(eq + 1), value, error)) {
      errors.push_back("argument " + name + " (" + std::string(KindName(decls[i].Kind)) +
                       "): " + error);
      continue;
    }
    given[i] = value;
  }
  values.clear();
  for (std::size_t i = 0; i < decls.size(); ++i) {
    if (given[i]) {
      values.emplace_back(decls[i].Name, *given[i]);
    } else if (!decls[i].Optional && !named[i]) {
      errors.push_back("missing argument " + decls[i].Name + " (" +
                       std::string(KindName(decls[i].Kind)) + ")");
    }
  }
  return errors.size() == errorsBefore;
}
