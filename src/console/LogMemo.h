#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QStringList>
#include <array>
#include <vector>

#include "LogLines.h"
#include "ResultBlock.h"

// The log pane: read-only, line by line, each line in one style and colour, all
// in one size of a fixed-pitch font. Lines are kept compactly and only the rows
// in view are drawn, so a long day of commands costs neither time nor memory
// beyond its text. Texts are drawn as they are, never taken for markup. Long
// lines wrap at the pane's edge; there is no horizontal scrolling.
class QAccessibleEvent;

class TLogMemo : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit TLogMemo(QWidget* parent = nullptr);

  // Courier New where the system has it, else the system's fixed-width font.
  static QFont DefaultLogFont(int pointSize);
  QColor ColourOf(ELogColour colour) const;

  // The font of all text, written and to come.
  const QFont& LogFont() const { return LogFont_; }
  // Every line, old and new, in this size (at least 1 point).
  void SetLogFontSize(int pointSize);

  void AppendLine(const TLogLine& line);
  // A whole result block at once: one update of the view.
  void AppendLines(const std::vector<TLogLine>& lines);
  void ClearLog();

  const TLogLines& Store() const { return Lines_; }
  // Text of every line.
  QStringList Lines() const;
  // Every line with its style and colour.
  std::vector<TLogLine> Content() const;
  // Point size of a line; 0 when there is no such line.
  double LinePointSize(int line) const;

  bool isReadOnly() const { return true; }
  // Lines joined by line feeds.
  QString toPlainText() const;
  bool HasSelection() const { return Anchor_ != Caret_; }
  QString SelectedText() const;
  // The selection as (from, to), from <= to.
  std::pair<TLogPos, TLogPos> Selection() const;
  void Select(const TLogPos& from, const TLogPos& to);
  TLogPos Caret() const { return Caret_; }
  // Text from one place to another, lines joined by line feeds.
  QString TextBetween(const TLogPos& from, const TLogPos& to) const;
  // The cell of a character in viewport coordinates, in view or not.
  QRect CellRect(const TLogPos& pos) const;
  // Scrolls as little as it takes to show the row of a character.
  void ScrollTo(const TLogPos& pos);

  // Sees every event the pane gives assistive technology, whether or not one
  // listens on the bus (tests).
  static inline void (*AnnounceHook)(QAccessibleEvent*) = nullptr;

  // The newest result block: the lines after the closing line of the one before.
  QString LastBlockText() const;

  // Drops the selection and shows the last line.
  void MoveCaretToEnd();
  // The character under a point of the viewport.
  TLogPos PosAt(const QPoint& point) const;

 public slots:
  void copy();
  void selectAll();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  static constexpr int kMargin = 4;  // around the text, as an edit box has it

  void InstallAccessibility();
  void AnnounceLastBlock();
  void AnnounceInserted(std::size_t firstLine);
  void AnnounceCleared(const QString& removed);
  static bool Announcing();
  static void Announce(QAccessibleEvent* event);
  void UpdateMetrics();
  void Rewrap();
  void UpdateScrollBar(bool toEnd);
  void AfterAppend();
  int VisibleRows() const;
  bool AtEnd() const;
  void PaintRow(QPainter& p, std::size_t line, const QString& text, std::size_t row, int y) const;
  std::pair<std::size_t, std::size_t> SelectedCols(std::size_t line, std::size_t length) const;
  void PublishSelection() const;

  TLogLines Lines_;
  QFont LogFont_;
  std::array<QFont, 8> StyleFonts_;  // by TLogStyle bits
  qreal CellWidth_ = 8;
  int RowHeight_ = 16;
  int Ascent_ = 12;
  TLogPos Anchor_;
  TLogPos Caret_;
  bool Dragging_ = false;
};
