#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ResultBlock.h"

// Where a character of the log is: its line and its UTF-16 index in that line.
struct TLogPos {
  std::size_t Line = 0;
  std::size_t Col = 0;
  auto operator<=>(const TLogPos&) const = default;
};

// The lines of the log, kept compact for a day of commands: a line of Latin-1
// characters takes one byte per character, any other line two (UTF-16), and
// every line eight bytes more. Lines live in chunks of a fixed count, so the log
// grows without ever copying what it holds.
//
// It knows where each line starts in the text of the whole log (lines joined by
// line feeds), so an offset into that text finds its line without a walk over
// the lines before it; and how the lines wrap: every row holds `Columns()` characters of a
// line (the pane's font has fixed pitch), and an empty line is one row.
class TLogLines {
 public:
  static constexpr std::size_t kChunkLines = 1024;

  TLogLines();
  ~TLogLines();

  void Append(const TLogLine& line);
  void Clear();

  std::size_t Count() const { return Count_; }
  bool Empty() const { return Count_ == 0; }
  QString Text(std::size_t line) const;
  std::size_t Length(std::size_t line) const;  // in UTF-16 units
  unsigned Style(std::size_t line) const;
  ELogColour Colour(std::size_t line) const;
  TLogLine At(std::size_t line) const;

  // The whole log as one text, lines joined by line feeds: its length, where a
  // line starts in it, and the line and column of an offset (clamped to the end;
  // the line feed after a line is the column past its last character).
  std::size_t TextLength() const { return Chars_; }
  std::size_t StartOf(std::size_t line) const;
  TLogPos PosOf(std::size_t offset) const;
  std::size_t OffsetOf(const TLogPos& pos) const;

  // A Latin-1 line as it is kept, one byte per character; none for a wide line.
  std::optional<std::string_view> Latin1Bytes(std::size_t line) const;

  // Wrapping width in characters (at least 1).
  void SetColumns(std::size_t columns);
  std::size_t Columns() const { return Columns_; }
  std::size_t RowCount() const { return Rows_; }
  std::size_t RowsOf(std::size_t line) const;
  std::size_t FirstRowOf(std::size_t line) const;
  // The line that holds `row` (clamped to the last row) and the row within it.
  struct TRowPos {
    std::size_t Line = 0;
    std::size_t Row = 0;
  };
  TRowPos LocateRow(std::size_t row) const;

 private:
  struct TRecord {
    std::uint64_t End : 48;  // offset just after the line's text in its chunk
    std::uint64_t Style : 3;
    std::uint64_t Colour : 3;
    std::uint64_t Wide : 1;  // UTF-16, else Latin-1
  };
  struct TChunk {
    std::string Bytes;
    std::vector<TRecord> Records;
    std::size_t Rows = 0;   // at Columns_
    std::size_t Start = 0;  // offset of its first line in the whole text
    // Offset of each line from Start; a chunk's text stays far below 4 GiB.
    std::vector<std::uint32_t> Offsets;
  };

  const TRecord& Record(std::size_t line) const;
  const TChunk& ChunkOf(std::size_t line) const { return *Chunks_[line / kChunkLines]; }
  std::size_t Begin(std::size_t line) const;
  std::size_t RowsForLength(std::size_t length) const;

  std::vector<std::unique_ptr<TChunk>> Chunks_;
  std::size_t Count_ = 0;
  std::size_t Columns_ = 80;
  std::size_t Rows_ = 0;
  std::size_t Chars_ = 0;
};
