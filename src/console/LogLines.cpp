#include "LogLines.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsLatin1(const QString& text) {
  return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x100; });
}

}  // namespace

TLogLines::TLogLines() = default;
TLogLines::~TLogLines() = default;

void TLogLines::Append(const TLogLine& line) {
  const std::size_t start = Count_ == 0 ? 0 : Chars_ + 1;  // after the line feed
  if (Count_ % kChunkLines == 0) {
    // The full chunk gives back what its text grew beyond.
    if (!Chunks_.empty()) Chunks_.back()->Bytes.shrink_to_fit();
    Chunks_.push_back(std::make_unique<TChunk>());
    Chunks_.back()->Records.reserve(kChunkLines);
    Chunks_.back()->Offsets.reserve(kChunkLines);
    Chunks_.back()->Start = start;
  }
  TChunk& chunk = *Chunks_.back();
  const QString& text = line.Text;
  const bool wide = !IsLatin1(text);
  const std::size_t at = chunk.Bytes.size();
  const auto length = static_cast<std::size_t>(text.size());
  if (wide) {
    chunk.Bytes.resize(at + length * sizeof(char16_t));
    std::memcpy(chunk.Bytes.data() + at, text.utf16(), length * sizeof(char16_t));
  } else {
    chunk.Bytes.resize(at + length);
    for (std::size_t i = 0; i < length; ++i) {
      chunk.Bytes[at + i] = static_cast<char>(text[static_cast<qsizetype>(i)].unicode());
    }
  }
  TRecord r{};
  r.End = chunk.Bytes.size();
  r.Style = line.Style & 7u;
  r.Colour = static_cast<std::uint64_t>(line.Colour);
  r.Wide = wide;
  chunk.Records.push_back(r);
  chunk.Offsets.push_back(static_cast<std::uint32_t>(start - chunk.Start));
  Chars_ = start + length;
  ++Count_;
  const std::size_t rows = RowsForLength(length);
  chunk.Rows += rows;
  Rows_ += rows;
}

void TLogLines::Clear() {
  Chunks_.clear();
  Chunks_.shrink_to_fit();
  Count_ = 0;
  Rows_ = 0;
  Chars_ = 0;
}

const TLogLines::TRecord& TLogLines::Record(std::size_t line) const {
  return ChunkOf(line).Records[line % kChunkLines];
}

std::size_t TLogLines::Begin(std::size_t line) const {
  return line % kChunkLines == 0 ? 0 : ChunkOf(line).Records[line % kChunkLines - 1].End;
}

QString TLogLines::Text(std::size_t line) const {
  if (line >= Count_) return {};
  const char* bytes = ChunkOf(line).Bytes.data() + Begin(line);
  const std::size_t length = Length(line);
  if (!Record(line).Wide) return QString::fromLatin1(bytes, static_cast<qsizetype>(length));
  QString text(static_cast<qsizetype>(length), Qt::Uninitialized);
  std::memcpy(text.data(), bytes, length * sizeof(char16_t));  // may be unaligned here
  return text;
}

std::size_t TLogLines::Length(std::size_t line) const {
  if (line >= Count_) return 0;
  const TRecord& r = Record(line);
  const std::size_t bytes = r.End - Begin(line);
  return r.Wide ? bytes / sizeof(char16_t) : bytes;
}

unsigned TLogLines::Style(std::size_t line) const {
  return line < Count_ ? static_cast<unsigned>(Record(line).Style) : lsPlain;
}

ELogColour TLogLines::Colour(std::size_t line) const {
  return line < Count_ ? static_cast<ELogColour>(Record(line).Colour) : ELogColour::WindowText;
}

TLogLine TLogLines::At(std::size_t line) const { return {Text(line), Style(line), Colour(line)}; }

std::size_t TLogLines::RowsForLength(std::size_t length) const {
  return length == 0 ? 1 : (length + Columns_ - 1) / Columns_;
}

void TLogLines::SetColumns(std::size_t columns) {
  columns = std::max<std::size_t>(columns, 1);
  if (columns == Columns_) return;
  Columns_ = columns;
  Rows_ = 0;
  for (std::size_t c = 0; c < Chunks_.size(); ++c) {
    TChunk& chunk = *Chunks_[c];
    chunk.Rows = 0;
    for (std::size_t i = 0; i < chunk.Records.size(); ++i) {
      chunk.Rows += RowsForLength(Length(c * kChunkLines + i));
    }
    Rows_ += chunk.Rows;
  }
}

std::size_t TLogLines::RowsOf(std::size_t line) const {
  return line < Count_ ? RowsForLength(Length(line)) : 0;
}

std::size_t TLogLines::FirstRowOf(std::size_t line) const {
  line = std::min(line, Count_);
  std::size_t row = 0;
  const std::size_t chunk = line / kChunkLines;
  for (std::size_t c = 0; c < chunk && c < Chunks_.size(); ++c) row += Chunks_[c]->Rows;
  for (std::size_t l = chunk * kChunkLines; l < line; ++l) row += RowsOf(l);
  return row;
}

TLogLines::TRowPos TLogLines::LocateRow(std::size_t row) const {
  if (Count_ == 0) return {};
  row = std::min(row, Rows_ - 1);
  std::size_t c = 0;
  while (row >= Chunks_[c]->Rows) row -= Chunks_[c++]->Rows;
  for (std::size_t line = c * kChunkLines;; ++line) {
    const std::size_t rows = RowsOf(line);
    if (row < rows) return {line, row};
    row -= rows;
  }
}

std::size_t TLogLines::StartOf(std::size_t line) const {
  if (line >= Count_) return Chars_;
  const TChunk& chunk = ChunkOf(line);
  return chunk.Start + chunk.Offsets[line % kChunkLines];
}

// The chunk by its start, then the line within it: both halvings, no walk.
TLogPos TLogLines::PosOf(std::size_t offset) const {
  if (Count_ == 0) return {};
  offset = std::min(offset, Chars_);
  const auto chunk = std::upper_bound(Chunks_.begin() + 1, Chunks_.end(), offset,
                                      [](std::size_t o, const auto& c) { return o < c->Start; }) -
                     1;
  const std::vector<std::uint32_t>& offsets = (*chunk)->Offsets;
  const auto relative = offset - (*chunk)->Start;
  const auto in = std::upper_bound(offsets.begin(), offsets.end(), relative) - offsets.begin() - 1;
  const std::size_t line = static_cast<std::size_t>(chunk - Chunks_.begin()) * kChunkLines +
                           static_cast<std::size_t>(in);
  return {line, std::min(relative - offsets[static_cast<std::size_t>(in)], Length(line))};
}

std::size_t TLogLines::OffsetOf(const TLogPos& pos) const {
  if (pos.Line >= Count_) return Chars_;
  return StartOf(pos.Line) + std::min(pos.Col, Length(pos.Line));
}

std::optional<std::string_view> TLogLines::Latin1Bytes(std::size_t line) const {
  if (line >= Count_ || Record(line).Wide) return std::nullopt;
  return std::string_view(ChunkOf(line).Bytes.data() + Begin(line), Length(line));
}
