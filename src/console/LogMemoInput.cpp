// Selecting and copying in the log pane, with the mouse and the keyboard.
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "LogMemo.h"

std::pair<TLogPos, TLogPos> TLogMemo::Selection() const {
  return Anchor_ < Caret_ ? std::pair{Anchor_, Caret_} : std::pair{Caret_, Anchor_};
}

void TLogMemo::Select(const TLogPos& from, const TLogPos& to) {
  const auto clamp = [this](TLogPos p) {
    if (Lines_.Empty()) return TLogPos{};
    p.Line = std::min(p.Line, Lines_.Count() - 1);
    p.Col = std::min(p.Col, Lines_.Length(p.Line));
    return p;
  };
  Anchor_ = clamp(from);
  Caret_ = clamp(to);
  viewport()->update();
}

void TLogMemo::selectAll() {
  if (Lines_.Empty()) return;
  Select({}, {Lines_.Count() - 1, Lines_.Length(Lines_.Count() - 1)});
}

// Columns [from, to) of a line that are selected.
std::pair<std::size_t, std::size_t> TLogMemo::SelectedCols(std::size_t line,
                                                           std::size_t length) const {
  const auto [from, to] = Selection();
  if (from == to || line < from.Line || line > to.Line) return {0, 0};
  return {line == from.Line ? from.Col : 0, line == to.Line ? to.Col : length};
}

QString TLogMemo::SelectedText() const {
  const auto [from, to] = Selection();
  return TextBetween(from, to);
}

QString TLogMemo::TextBetween(const TLogPos& from, const TLogPos& to) const {
  if (Lines_.Empty() || !(from < to)) return {};
  QString out;
  for (std::size_t line = from.Line; line <= std::min(to.Line, Lines_.Count() - 1); ++line) {
    const QString text = Lines_.Text(line);
    const auto length = static_cast<std::size_t>(text.size());
    const std::size_t a = line == from.Line ? std::min(from.Col, length) : 0;
    const std::size_t b = line == to.Line ? std::min(to.Col, length) : length;
    if (line != from.Line) out += QLatin1Char('\n');
    out += text.mid(static_cast<qsizetype>(a), static_cast<qsizetype>(b - std::min(a, b)));
  }
  return out;
}

void TLogMemo::copy() {
  if (HasSelection()) QApplication::clipboard()->setText(SelectedText());
}

// X11 pastes a mouse selection with the middle button.
void TLogMemo::PublishSelection() const {
  QClipboard* clipboard = QApplication::clipboard();
  if (HasSelection() && clipboard->supportsSelection()) {
    clipboard->setText(SelectedText(), QClipboard::Selection);
  }
}

TLogPos TLogMemo::PosAt(const QPoint& point) const {
  if (Lines_.Empty()) return {};
  const int y = point.y() - kMargin;
  const qint64 row = static_cast<qint64>(verticalScrollBar()->value()) +
                     (y < 0 ? -1 : static_cast<qint64>(y / RowHeight_));
  if (row < 0) return {};
  if (static_cast<std::size_t>(row) >= Lines_.RowCount()) {
    return {Lines_.Count() - 1, Lines_.Length(Lines_.Count() - 1)};
  }
  const auto at = Lines_.LocateRow(static_cast<std::size_t>(row));
  const auto cols = static_cast<qint64>(Lines_.Columns());
  const qint64 cell = std::clamp<qint64>(std::llround((point.x() - kMargin) / CellWidth_), 0, cols);
  const std::size_t col = at.Row * Lines_.Columns() + static_cast<std::size_t>(cell);
  return {at.Line, std::min(col, Lines_.Length(at.Line))};
}

void TLogMemo::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
  const TLogPos at = PosAt(event->position().toPoint());
  if (!(event->modifiers() & Qt::ShiftModifier)) Anchor_ = at;
  Caret_ = at;
  Dragging_ = true;
  viewport()->update();
}

void TLogMemo::mouseMoveEvent(QMouseEvent* event) {
  if (!Dragging_) return QAbstractScrollArea::mouseMoveEvent(event);
  const QPoint point = event->position().toPoint();
  // Dragging past an edge scrolls the log that way.
  QScrollBar* bar = verticalScrollBar();
  if (point.y() < 0) bar->setValue(bar->value() - 1);
  if (point.y() > viewport()->height()) bar->setValue(bar->value() + 1);
  Caret_ = PosAt(point);
  viewport()->update();
}

void TLogMemo::mouseReleaseEvent(QMouseEvent* event) {
  if (!Dragging_) return QAbstractScrollArea::mouseReleaseEvent(event);
  Dragging_ = false;
  PublishSelection();
}

// The word under the pointer: a run of characters between blanks.
void TLogMemo::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || Lines_.Empty()) return;
  const TLogPos at = PosAt(event->position().toPoint());
  const QString text = Lines_.Text(at.Line);
  std::size_t from = at.Col, to = at.Col;
  const auto blank = [&](std::size_t i) { return text[static_cast<qsizetype>(i)].isSpace(); };
  while (from > 0 && !blank(from - 1)) --from;
  while (to < static_cast<std::size_t>(text.size()) && !blank(to)) ++to;
  Select({at.Line, from}, {at.Line, to});
  PublishSelection();
}

void TLogMemo::keyPressEvent(QKeyEvent* event) {
  QScrollBar* bar = verticalScrollBar();
  if (event == QKeySequence::Copy) {
    copy();
  } else if (event == QKeySequence::SelectAll) {
    selectAll();
  } else if (event == QKeySequence::MoveToStartOfDocument) {
    bar->setValue(0);
  } else if (event == QKeySequence::MoveToEndOfDocument) {
    bar->setValue(bar->maximum());
  } else {
    return QAbstractScrollArea::keyPressEvent(event);
  }
  event->accept();
}
