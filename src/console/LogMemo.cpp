#include "LogMemo.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <utility>

TLogMemo::TLogMemo(QWidget* parent) : QTextEdit(parent), LogFont_(DefaultLogFont(11)) {
  setReadOnly(true);
  setAcceptRichText(false);
  setUndoRedoEnabled(false);
  setLineWrapMode(QTextEdit::NoWrap);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFont(LogFont_);
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
  if (pointSize < 1) pointSize = 1;
  LogFont_.setPointSize(pointSize);
  setFont(LogFont_);
}

void TLogMemo::AppendLine(const TLogLine& line) {
  QTextCharFormat f;
  f.setFontFamilies({LogFont_.family()});
  f.setFontPointSize(LogFont_.pointSizeF());
  f.setFontWeight((line.Style & lsBold) ? QFont::Bold : QFont::Normal);
  f.setFontItalic(line.Style & lsItalic);
  f.setFontUnderline(line.Style & lsUnderline);
  f.setForeground(ColourOf(line.Colour));

  QTextCursor c(document());
  c.movePosition(QTextCursor::End);
  if (HasLines_) {
    c.insertBlock(QTextBlockFormat(), f);
  } else {
    c.setBlockCharFormat(f);
  }
  c.insertText(line.Text, f);
  HasLines_ = true;
  if (!textCursor().hasSelection()) MoveCaretToEnd();
}

void TLogMemo::ClearLog() {
  clear();
  HasLines_ = false;
}

QStringList TLogMemo::Lines() const {
  QStringList lines;
  if (!HasLines_) return lines;
  for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) lines << b.text();
  return lines;
}

namespace {

QTextCharFormat FirstFormat(const QTextBlock& b) {
  const QTextBlock::iterator it = b.begin();
  return it.atEnd() ? b.charFormat() : it.fragment().charFormat();
}

}  // namespace

std::vector<TLogLine> TLogMemo::Content() const {
  std::vector<TLogLine> out;
  if (!HasLines_) return out;
  for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
    const QTextCharFormat f = FirstFormat(b);
    TLogLine line{b.text(), lsPlain, ELogColour::WindowText};
    if (f.fontWeight() >= QFont::Bold) line.Style |= lsBold;
    if (f.fontItalic()) line.Style |= lsItalic;
    if (f.fontUnderline()) line.Style |= lsUnderline;
    for (ELogColour c : {ELogColour::Red, ELogColour::Green, ELogColour::Blue, ELogColour::Maroon,
                         ELogColour::Grey}) {
      if (f.foreground().color() == ColourOf(c)) line.Colour = c;
    }
    out.push_back(line);
  }
  return out;
}

double TLogMemo::LinePointSize(int line) const {
  const QTextBlock b = document()->findBlockByNumber(line);
  return b.isValid() ? FirstFormat(b).fontPointSize() : 0.0;
}

template <typename F>
void TLogMemo::ForEachSize(F&& newSize) {
  // Ranges first: merging formats may join fragments under a live iterator.
  struct TRange {
    int From, To;
    double Size;
  };
  std::vector<TRange> ranges;
  std::vector<std::pair<int, double>> blocks;
  for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
    blocks.emplace_back(b.position(), b.charFormat().fontPointSize());
    for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment fr = it.fragment();
      ranges.push_back(
          {fr.position(), fr.position() + fr.length(), fr.charFormat().fontPointSize()});
    }
  }
  QTextCursor c(document());
  c.beginEditBlock();
  for (const auto& [pos, size] : blocks) {
    c.setPosition(pos);
    QTextCharFormat f;
    f.setFontPointSize(newSize(size));
    c.mergeBlockCharFormat(f);
  }
  for (const TRange& r : ranges) {
    c.setPosition(r.From);
    c.setPosition(r.To, QTextCursor::KeepAnchor);
    QTextCharFormat f;
    f.setFontPointSize(newSize(r.Size));
    c.mergeCharFormat(f);
  }
  c.endEditBlock();
}

void TLogMemo::ResizeAllText(int delta) {
  ForEachSize([delta](double size) { return size + delta < 1 ? 1.0 : size + delta; });
}

void TLogMemo::SetAllTextSize(int pointSize) {
  ForEachSize([pointSize](double) { return static_cast<double>(pointSize); });
}

void TLogMemo::MoveCaretToEnd() {
  QTextCursor c = textCursor();
  c.movePosition(QTextCursor::End);
  setTextCursor(c);
  ensureCursorVisible();
}
