#include "LogFind.h"

#include <QStringView>
#include <algorithm>

TLogSearch::TLogSearch(const QString& needle, Qt::CaseSensitivity cs) : Needle_(needle), Cs_(cs) {
  const bool fold = cs == Qt::CaseInsensitive;
  for (std::size_t b = 0; b < Key_.size(); ++b) {
    const QChar c(static_cast<char16_t>(b));
    Key_[b] = fold ? c.toCaseFolded().unicode() : c.unicode();
  }
  for (const QChar c : needle) Pattern_.push_back(fold ? c.toCaseFolded().unicode() : c.unicode());
  InLatin1_ = !Pattern_.empty() && std::all_of(Pattern_.begin(), Pattern_.end(), [&](char16_t u) {
    return std::find(Key_.begin(), Key_.end(), u) != Key_.end();
  });
  // Horspool's table: the last byte of the window decides the step.
  const std::size_t m = Pattern_.size();
  Shift_.fill(std::max<std::size_t>(m, 1));
  for (std::size_t i = 0; i + 1 < m; ++i) {
    for (std::size_t b = 0; b < Key_.size(); ++b) {
      if (Key_[b] == Pattern_[i]) Shift_[b] = m - 1 - i;
    }
  }
}

qsizetype TLogSearch::FindInBytes(std::string_view bytes, std::size_t from) const {
  const std::size_t m = Pattern_.size();
  const auto key = [&](std::size_t i) { return Key_[static_cast<unsigned char>(bytes[i])]; };
  for (std::size_t i = from; i + m <= bytes.size();) {
    std::size_t j = m - 1;
    while (key(i + j) == Pattern_[j]) {
      if (j == 0) return static_cast<qsizetype>(i);
      --j;
    }
    i += Shift_[static_cast<unsigned char>(bytes[i + m - 1])];
  }
  return -1;
}

qsizetype TLogSearch::FindIn(const TLogLines& lines, std::size_t line, std::size_t from) const {
  if (Needle_.isEmpty() || line >= lines.Count()) return -1;
  if (const auto bytes = lines.Latin1Bytes(line)) {
    return InLatin1_ ? FindInBytes(*bytes, from) : -1;
  }
  const QString text = lines.Text(line);
  if (from > static_cast<std::size_t>(text.size())) return -1;
  return QStringView(text).indexOf(Needle_, static_cast<qsizetype>(from), Cs_);
}

qsizetype TLogSearch::LastIn(const TLogLines& lines, std::size_t line, std::size_t before) const {
  qsizetype last = -1;
  for (qsizetype at = FindIn(lines, line, 0); at >= 0 && static_cast<std::size_t>(at) < before;
       at = FindIn(lines, line, static_cast<std::size_t>(at) + 1)) {
    last = at;
  }
  return last;
}

// The first match at or after `from`, then round from the top.
std::optional<TLogPos> TLogSearch::Forward(const TLogLines& lines, TLogPos from) const {
  const std::size_t n = lines.Count();
  for (std::size_t k = 0; k <= n; ++k) {
    const std::size_t line = (from.Line + k) % n;
    const qsizetype at = FindIn(lines, line, k == 0 ? from.Col : 0);
    if (at >= 0) return TLogPos{line, static_cast<std::size_t>(at)};
  }
  return std::nullopt;
}

// The last match that starts before `before`, then round from the bottom.
std::optional<TLogPos> TLogSearch::Backward(const TLogLines& lines, TLogPos before) const {
  const std::size_t n = lines.Count();
  for (std::size_t k = 0; k <= n; ++k) {
    const std::size_t line = (before.Line + n - k % n) % n;
    const qsizetype at = LastIn(lines, line, k == 0 ? before.Col : lines.Length(line) + 1);
    if (at >= 0) return TLogPos{line, static_cast<std::size_t>(at)};
  }
  return std::nullopt;
}

std::optional<TLogPos> TLogSearch::Next(const TLogLines& lines, TLogPos from, bool forward,
                                        bool inclusive) const {
  if (Needle_.isEmpty() || lines.Empty()) return std::nullopt;
  from.Line = std::min(from.Line, lines.Count() - 1);
  if (forward) return Forward(lines, {from.Line, from.Col + (inclusive ? 0 : 1)});
  return Backward(lines, {from.Line, from.Col + (inclusive ? 1 : 0)});
}

TLogSearch::TCount TLogSearch::Count(const TLogLines& lines, TLogPos at) const {
  TCount count;
  for (std::size_t line = 0; line < lines.Count(); ++line) {
    for (qsizetype col = FindIn(lines, line, 0); col >= 0;
         col = FindIn(lines, line, static_cast<std::size_t>(col) + 1)) {
      ++count.Total;
      if (TLogPos{line, static_cast<std::size_t>(col)} < at) ++count.Before;
    }
  }
  return count;
}
