#include "LogMemo.h"

#include <QAccessible>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>
#include <cmath>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

TLogMemo::TLogMemo(QWidget* parent) : QAbstractScrollArea(parent), LogFont_(DefaultLogFont(11)) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  viewport()->setCursor(Qt::IBeamCursor);
  verticalScrollBar()->setSingleStep(1);
  UpdateMetrics();
  InstallAccessibility();
}

QFont TLogMemo::DefaultLogFont(int pointSize) {
  QFont font(QStringLiteral("Courier New"), pointSize);
  font.setStyleHint(QFont::TypeWriter);
  if (!QFontInfo(font).fixedPitch()) {
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(pointSize);
  }
  return font;
}

QColor TLogMemo::ColourOf(ELogColour colour) const {
  switch (colour) {
    case ELogColour::Red:
      return QColor(0xFF, 0x00, 0x00);
    case ELogColour::Green:
      return QColor(0x00, 0x80, 0x00);
    case ELogColour::Blue:
      return QColor(0x00, 0x00, 0xFF);
    case ELogColour::Maroon:
      return QColor(0x80, 0x00, 0x00);
    case ELogColour::Grey:
      return QColor(0x80, 0x80, 0x80);
    case ELogColour::WindowText:
      break;
  }
  return palette().color(QPalette::Text);
}

void TLogMemo::SetLogFontSize(int pointSize) {
  LogFont_.setPointSize(std::max(pointSize, 1));
  UpdateMetrics();
  Rewrap();
  viewport()->update();
}

// Cells of the fixed-pitch font: every character takes one, in every style.
void TLogMemo::UpdateMetrics() {
  for (unsigned style = 0; style < StyleFonts_.size(); ++style) {
    QFont f = LogFont_;
    f.setBold(style & lsBold);
    f.setItalic(style & lsItalic);
    f.setUnderline(style & lsUnderline);
    StyleFonts_[style] = f;
  }
  const QFontMetricsF m(LogFont_, viewport());
  CellWidth_ = std::max<qreal>(1, m.horizontalAdvance(QLatin1Char('M')));
  RowHeight_ = std::max(1, static_cast<int>(std::ceil(m.lineSpacing())));
  Ascent_ = static_cast<int>(std::ceil(m.ascent()));
}

int TLogMemo::VisibleRows() const {
  return std::max(1, (viewport()->height() - 2 * kMargin) / RowHeight_);
}

bool TLogMemo::AtEnd() const {
  return verticalScrollBar()->value() >= verticalScrollBar()->maximum();
}

void TLogMemo::UpdateScrollBar(bool toEnd) {
  QScrollBar* bar = verticalScrollBar();
  const auto rows = static_cast<qint64>(Lines_.RowCount());
  const qint64 top = std::max<qint64>(0, rows - VisibleRows());
  bar->setPageStep(VisibleRows());
  bar->setRange(0, static_cast<int>(std::min<qint64>(top, INT_MAX)));
  if (toEnd) bar->setValue(bar->maximum());
}

// New width or font: the lines wrap anew and the first line in view stays there.
void TLogMemo::Rewrap() {
  const bool atEnd = AtEnd();
  const auto top = Lines_.LocateRow(static_cast<std::size_t>(verticalScrollBar()->value()));
  const std::size_t firstCol = top.Row * Lines_.Columns();
  const auto usable = std::max(1, viewport()->width() - 2 * kMargin);
  Lines_.SetColumns(static_cast<std::size_t>(std::max(1.0, std::floor(usable / CellWidth_))));
  UpdateScrollBar(atEnd);
  if (!atEnd) {
    const std::size_t row = Lines_.FirstRowOf(top.Line) + firstCol / Lines_.Columns();
    verticalScrollBar()->setValue(static_cast<int>(std::min<std::size_t>(row, INT_MAX)));
  }
}

void TLogMemo::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  Rewrap();
}

void TLogMemo::AppendLine(const TLogLine& line) {
  Lines_.Append(line);
  AfterAppend();
  AnnounceInserted(Lines_.Count() - 1);
}

void TLogMemo::AppendLines(const std::vector<TLogLine>& lines) {
  const std::size_t first = Lines_.Count();
  for (const TLogLine& line : lines) Lines_.Append(line);
  AfterAppend();
  AnnounceInserted(first);
  AnnounceLastBlock();
}

// The view follows the log unless the operator is selecting in it.
void TLogMemo::AfterAppend() {
  UpdateScrollBar(!HasSelection());
  viewport()->update();
}

void TLogMemo::ClearLog() {
  if (Announcing()) AnnounceCleared(toPlainText());
  Lines_.Clear();
  Anchor_ = Caret_ = {};
  UpdateScrollBar(true);
  viewport()->update();
#if defined(__GLIBC__)
  // A long log leaves the heap large; give the pages back to the system.
  malloc_trim(0);
#endif
}

void TLogMemo::MoveCaretToEnd() {
  Anchor_ = Caret_ = {};
  UpdateScrollBar(true);
  viewport()->update();
}

QStringList TLogMemo::Lines() const {
  QStringList lines;
  lines.reserve(static_cast<qsizetype>(Lines_.Count()));
  for (std::size_t i = 0; i < Lines_.Count(); ++i) lines << Lines_.Text(i);
  return lines;
}

std::vector<TLogLine> TLogMemo::Content() const {
  std::vector<TLogLine> out;
  out.reserve(Lines_.Count());
  for (std::size_t i = 0; i < Lines_.Count(); ++i) out.push_back(Lines_.At(i));
  return out;
}

double TLogMemo::LinePointSize(int line) const {
  return line >= 0 && static_cast<std::size_t>(line) < Lines_.Count() ? LogFont_.pointSizeF() : 0.0;
}

QString TLogMemo::toPlainText() const { return Lines().join(QLatin1Char('\n')); }

void TLogMemo::paintEvent(QPaintEvent* event) {
  QPainter p(viewport());
  if (Lines_.Empty()) return;
  const int bottom = event->rect().bottom();
  auto pos = Lines_.LocateRow(static_cast<std::size_t>(verticalScrollBar()->value()));
  int y = kMargin;
  while (pos.Line < Lines_.Count() && y <= bottom) {
    const QString text = Lines_.Text(pos.Line);
    for (std::size_t rows = Lines_.RowsOf(pos.Line); pos.Row < rows && y <= bottom; ++pos.Row) {
      if (y + RowHeight_ >= event->rect().top()) PaintRow(p, pos.Line, text, pos.Row, y);
      y += RowHeight_;
    }
    ++pos.Line;
    pos.Row = 0;
  }
}

// One row of a line: the part before the selection, the selected part, the rest.
void TLogMemo::PaintRow(QPainter& p, std::size_t line, const QString& text, std::size_t row,
                        int y) const {
  const std::size_t cols = Lines_.Columns();
  const std::size_t from = row * cols;
  const std::size_t to = std::min<std::size_t>(from + cols, static_cast<std::size_t>(text.size()));
  auto [selFrom, selTo] = SelectedCols(line, static_cast<std::size_t>(text.size()));
  selFrom = std::clamp(selFrom, from, to);
  selTo = std::clamp(selTo, selFrom, to);
  p.setFont(StyleFonts_[Lines_.Style(line) & 7u]);
  const QColor colour = ColourOf(Lines_.Colour(line));
  const auto part = [&](std::size_t a, std::size_t b, bool selected) {
    if (a >= b) return;
    const qreal x = kMargin + static_cast<qreal>(a - from) * CellWidth_;
    if (selected) {
      p.fillRect(QRectF(x, y, static_cast<qreal>(b - a) * CellWidth_, RowHeight_),
                 palette().brush(QPalette::Highlight));
    }
    p.setPen(selected ? palette().color(QPalette::HighlightedText) : colour);
    // A tab would jump to a tab stop; here it keeps its one cell like any character.
    QString shown = text.mid(static_cast<qsizetype>(a), static_cast<qsizetype>(b - a));
    shown.replace(QLatin1Char('\t'), QLatin1Char(' '));
    p.drawText(QPointF(x, y + Ascent_), shown);
  };
  part(from, selFrom, false);
  part(selFrom, selTo, true);
  part(selTo, to, false);
}

QRect TLogMemo::CellRect(const TLogPos& pos) const {
  const std::size_t cols = Lines_.Columns();
  const auto row = static_cast<qint64>(Lines_.FirstRowOf(pos.Line) + pos.Col / cols) -
                   verticalScrollBar()->value();
  const qreal x = kMargin + static_cast<qreal>(pos.Col % cols) * CellWidth_;
  return QRect(static_cast<int>(x), kMargin + static_cast<int>(row) * RowHeight_,
               static_cast<int>(std::ceil(CellWidth_)), RowHeight_);
}

void TLogMemo::ScrollTo(const TLogPos& pos) {
  if (Lines_.Empty()) return;
  QScrollBar* bar = verticalScrollBar();
  const auto row = static_cast<qint64>(Lines_.FirstRowOf(pos.Line) + pos.Col / Lines_.Columns());
  if (row < bar->value()) bar->setValue(static_cast<int>(row));
  if (row >= bar->value() + VisibleRows()) bar->setValue(static_cast<int>(row - VisibleRows() + 1));
}
