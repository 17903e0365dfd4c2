// What assistive technology learns of the log pane: a read-only text named
// "Log" that can be read and walked like any text box, whose value is its newest
// result block, and whose new blocks are announced as inserted text. The pane
// draws its rows itself, so nothing else would tell a screen reader. All of it
// reads the pane's line store: there is no second copy of the log.
#include <QAccessible>
#include <QAccessibleWidget>
#include <climits>

#include "LogMemo.h"
#include "LogTextAttributes.h"

namespace {

// A block holds about a hundred lines; a screen reader needs no more than that.
constexpr std::size_t kMostAnnouncedLines = 200;

// A few lines of the log as a text of their own, so that Qt's own rules for
// characters, words and sentences apply to them. None of those crosses a line
// feed, so the line at an offset and its neighbours are all it takes.
class TTextWindow : public QAccessibleTextInterface {
 public:
  TTextWindow(const TLogLines& lines, std::size_t offset) {
    const TLogPos at = lines.PosOf(offset);
    const std::size_t first = at.Line > 0 ? at.Line - 1 : 0;
    const std::size_t last = std::min(at.Line + 1, lines.Count() - 1);
    Start = lines.StartOf(first);
    for (std::size_t line = first; line <= last; ++line) {
      if (line != first) Text += QLatin1Char('\n');
      Text += lines.Text(line);
    }
    if (last + 1 < lines.Count()) Text += QLatin1Char('\n');
  }

  std::size_t Start = 0;
  QString Text;

  QString text(int start, int end) const override { return Text.mid(start, end - start); }
  int characterCount() const override { return static_cast<int>(Text.size()); }
  void selection(int, int* s, int* e) const override { *s = *e = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QRect characterRect(int) const override { return {}; }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int, int*, int*) const override { return {}; }
};

int ToInt(std::size_t n) { return static_cast<int>(std::min<std::size_t>(n, INT_MAX)); }

class TLogMemoAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit TLogMemoAccessible(TLogMemo* memo)
      : QAccessibleWidget(memo, QAccessible::EditableText) {}

  TLogMemo* Memo() const { return static_cast<TLogMemo*>(widget()); }
  const TLogLines& Lines() const { return Memo()->Store(); }

  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
  }

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return Memo()->LastBlockText();
    return QAccessibleWidget::text(t);
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    s.multiLine = true;
    s.selectableText = true;
    s.editable = false;
    return s;
  }

  // ---- The text

  int characterCount() const override { return ToInt(Lines().TextLength()); }

  QString text(int start, int end) const override {
    const std::size_t count = Lines().TextLength();
    const auto from = static_cast<std::size_t>(std::clamp(start, 0, ToInt(count)));
    const auto to = static_cast<std::size_t>(std::clamp(end, 0, ToInt(count)));
    if (from >= to) return {};
    return Memo()->TextBetween(Lines().PosOf(from), Lines().PosOf(to));
  }

  QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* start,
                       int* end) const override {
    return Around(0, offset, type, start, end);
  }
  QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* start,
                           int* end) const override {
    return Around(-1, offset, type, start, end);
  }
  QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* start,
                          int* end) const override {
    return Around(1, offset, type, start, end);
  }

  // ---- Caret and selection: one selection, as the pane has

  int cursorPosition() const override { return ToInt(Lines().OffsetOf(Memo()->Caret())); }
  void setCursorPosition(int position) override {
    const TLogPos at = Lines().PosOf(static_cast<std::size_t>(std::max(position, 0)));
    Memo()->Select(at, at);
    Memo()->ScrollTo(at);
  }
  int selectionCount() const override { return Memo()->HasSelection() ? 1 : 0; }
  void selection(int index, int* start, int* end) const override {
    *start = *end = 0;
    if (index != 0 || !Memo()->HasSelection()) return;
    const auto [from, to] = Memo()->Selection();
    *start = ToInt(Lines().OffsetOf(from));
    *end = ToInt(Lines().OffsetOf(to));
  }
  void addSelection(int start, int end) override { setSelection(0, start, end); }
  void removeSelection(int index) override {
    if (index == 0) Memo()->Select(Memo()->Caret(), Memo()->Caret());
  }
  void setSelection(int index, int start, int end) override {
    if (index != 0) return;
    const auto pos = [this](int o) {
      return Lines().PosOf(static_cast<std::size_t>(std::max(o, 0)));
    };
    Memo()->Select(pos(start), pos(end));
  }

  // ---- Where the characters are

  QRect characterRect(int offset) const override {
    if (offset < 0 || offset >= characterCount()) return {};
    const QRect cell = Memo()->CellRect(Lines().PosOf(static_cast<std::size_t>(offset)));
    return QRect(Memo()->viewport()->mapToGlobal(cell.topLeft()), cell.size());
  }
  int offsetAtPoint(const QPoint& point) const override {
    const QPoint local = Memo()->viewport()->mapFromGlobal(point);
    if (!Memo()->viewport()->rect().contains(local)) return -1;
    return ToInt(Lines().OffsetOf(Memo()->PosAt(local)));
  }
  void scrollToSubstring(int start, int end) override {
    const auto pos = [this](int o) {
      return Lines().PosOf(static_cast<std::size_t>(std::max(o, 0)));
    };
    Memo()->ScrollTo(pos(end));
    Memo()->ScrollTo(pos(start));
  }

  // Every line is one run of one style, its line feed included.
  QString attributes(int offset, int* start, int* end) const override {
    const int count = characterCount();
    if (offset == -2) offset = cursorPosition();
    if (offset == -1 || offset == count) offset = count - 1;
    if (offset < 0 || offset > count) {
      *start = *end = -1;
      return {};
    }
    const std::size_t line = Lines().PosOf(static_cast<std::size_t>(offset)).Line;
    *start = ToInt(Lines().StartOf(line));
    *end = line + 1 < Lines().Count() ? ToInt(Lines().StartOf(line + 1)) : count;
    return LogTextAttributes(Memo()->LogFont(), Lines().Style(line),
                             Memo()->ColourOf(Lines().Colour(line)));
  }

 private:
  // The item at (0), before (-1) or after (1) an offset.
  QString Around(int which, int offset, QAccessible::TextBoundaryType type, int* start,
                 int* end) const;
  QString AroundLine(int which, std::size_t offset, int* start, int* end) const;
};

QString TLogMemoAccessible::Around(int which, int offset, QAccessible::TextBoundaryType type,
                                   int* start, int* end) const {
  *start = *end = -1;
  const int count = characterCount();
  if (offset == -1) offset = count;
  if (Lines().Empty() || offset < 0 || offset > count) return {};
  if (type == QAccessible::NoBoundary) {
    if (which != 0) return {};
    *start = 0;
    *end = count;
    return text(0, count);
  }
  if (type == QAccessible::LineBoundary || type == QAccessible::ParagraphBoundary) {
    return AroundLine(which, static_cast<std::size_t>(offset), start, end);
  }
  TTextWindow window(Lines(), static_cast<std::size_t>(offset));
  const int local = offset - static_cast<int>(window.Start);
  QString found = which < 0   ? window.textBeforeOffset(local, type, start, end)
                  : which > 0 ? window.textAfterOffset(local, type, start, end)
                              : window.textAtOffset(local, type, start, end);
  if (*start >= 0) *start += static_cast<int>(window.Start);
  if (*end >= 0) *end += static_cast<int>(window.Start);
  return found;
}

// A line with the line feed that ends it, as Qt's text boxes give it.
QString TLogMemoAccessible::AroundLine(int which, std::size_t offset, int* start, int* end) const {
  const auto at = static_cast<qint64>(Lines().PosOf(offset).Line) + which;
  if (at < 0 || at >= static_cast<qint64>(Lines().Count())) return {};
  const auto line = static_cast<std::size_t>(at);
  *start = ToInt(Lines().StartOf(line));
  *end = line + 1 < Lines().Count() ? ToInt(Lines().StartOf(line + 1)) : characterCount();
  return text(*start, *end);
}

QAccessibleInterface* LogMemoFactory(const QString& className, QObject* object) {
  if (className != QLatin1String("TLogMemo") || !object || !object->isWidgetType()) {
    return nullptr;
  }
  return new TLogMemoAccessible(static_cast<TLogMemo*>(object));
}

}  // namespace

void TLogMemo::InstallAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(&LogMemoFactory);
    return true;
  }();
  (void)installed;
  setAccessibleName(QStringLiteral("Log"));
}

// From the line after the previous closing line of hyphens to the end.
QString TLogMemo::LastBlockText() const {
  std::size_t end = Lines_.Count();
  if (end > 0 && Lines_.Text(end - 1) == kHyphenLine) --end;
  std::size_t start = end;
  while (start > 0 && end - start < kMostAnnouncedLines && Lines_.Text(start - 1) != kHyphenLine) {
    --start;
  }
  QStringList lines;
  for (std::size_t i = start; i < end; ++i) lines << Lines_.Text(i);
  return lines.join(QLatin1Char('\n'));
}

// The lines from `firstLine` on, as text inserted at the end: one event for them all.
void TLogMemo::AnnounceInserted(std::size_t firstLine) {
  if (!Announcing() || firstLine >= Lines_.Count()) return;
  const std::size_t at = firstLine == 0 ? 0 : Lines_.StartOf(firstLine) - 1;
  // From the end of the line before: the line feed that now ends it comes first.
  const QString text = TextBetween(Lines_.PosOf(at), Lines_.PosOf(Lines_.TextLength()));
  QAccessibleTextInsertEvent event(this, ToInt(at), text);
  Announce(&event);
}

void TLogMemo::AnnounceLastBlock() {
  if (!Announcing()) return;
  QAccessibleValueChangeEvent event(this, LastBlockText());
  Announce(&event);
}

// What a screen reader held of the log is gone.
void TLogMemo::AnnounceCleared(const QString& removed) {
  if (!Announcing() || removed.isEmpty()) return;
  QAccessibleTextRemoveEvent event(this, 0, removed);
  Announce(&event);
}

bool TLogMemo::Announcing() { return QAccessible::isActive() || AnnounceHook; }

void TLogMemo::Announce(QAccessibleEvent* event) {
  if (AnnounceHook) AnnounceHook(event);
  QAccessible::updateAccessibility(event);
}
