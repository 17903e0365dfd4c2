#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "LogLines.h"

// Finds a text in the log's line store. A match lies within one line, never
// across a line feed. A Latin-1 line is searched in the bytes the store keeps,
// without a string made of it, so a long day's log is searched at once.
class TLogSearch {
 public:
  TLogSearch(const QString& needle, Qt::CaseSensitivity cs);

  bool Empty() const { return Needle_.isEmpty(); }
  std::size_t Length() const { return static_cast<std::size_t>(Needle_.size()); }

  // The nearest match after `from` (forward) or before it (backward), going
  // round the end of the log once. `inclusive` takes a match at `from` itself.
  std::optional<TLogPos> Next(const TLogLines& lines, TLogPos from, bool forward,
                              bool inclusive = false) const;

  struct TCount {
    std::size_t Total = 0;
    std::size_t Before = 0;  // matches that start before the place asked about
  };
  // Every match, overlapping ones too, so that stepping visits each one counted.
  TCount Count(const TLogLines& lines, TLogPos at) const;

  // Where the first match in a line starts at or after `from`; -1 if nowhere.
  qsizetype FindIn(const TLogLines& lines, std::size_t line, std::size_t from) const;

 private:
  qsizetype FindInBytes(std::string_view bytes, std::size_t from) const;
  qsizetype LastIn(const TLogLines& lines, std::size_t line, std::size_t before) const;
  std::optional<TLogPos> Forward(const TLogLines& lines, TLogPos from) const;
  std::optional<TLogPos> Backward(const TLogLines& lines, TLogPos before) const;

  QString Needle_;
  Qt::CaseSensitivity Cs_;
  std::u16string Pattern_;                // as the bytes of a Latin-1 line compare
  std::array<char16_t, 256> Key_{};       // a byte as it compares
  std::array<std::size_t, 256> Shift_{};  // how far a mismatch at the last byte moves
  bool InLatin1_ = false;                 // a Latin-1 line can hold the text
};
