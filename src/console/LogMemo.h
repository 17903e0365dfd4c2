#pragma once

#include <QFont>
#include <QStringList>
#include <QTextEdit>
#include <vector>

#include "ResultBlock.h"

// The log pane: read-only, written only line by line through text cursors, so a
// device text is never taken for markup.
class TLogMemo : public QTextEdit {
  Q_OBJECT
 public:
  explicit TLogMemo(QWidget* parent = nullptr);

  // Courier New where the system has it, else the system's fixed-width font.
  static QFont DefaultLogFont(int pointSize);
  QColor ColourOf(ELogColour colour) const;

  // The font new lines are written in (its size is the log font size).
  const QFont& LogFont() const { return LogFont_; }
  void SetLogFontSize(int pointSize);

  void AppendLine(const TLogLine& line);
  void ClearLog();

  // Text of every line.
  QStringList Lines() const;
  // Every line with the style and colour of its first character.
  std::vector<TLogLine> Content() const;
  // Point size of the first character of a line (of the line itself when empty).
  double LinePointSize(int line) const;

  // Changes the size of all text already written (not the log font).
  void ResizeAllText(int delta);
  void SetAllTextSize(int pointSize);

  // Caret to the end, shown.
  void MoveCaretToEnd();

 private:
  template <typename F>
  void ForEachSize(F&& newSize);

  QFont LogFont_;
  bool HasLines_ = false;
};
