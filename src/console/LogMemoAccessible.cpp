// What assistive technology learns of the log pane: a read-only text named
// "Log" whose value is its newest result block, announced when a block arrives.
// The pane draws its rows itself, so nothing else would tell a screen reader.
#include <QAccessible>
#include <QAccessibleWidget>

#include "LogMemo.h"

namespace {

// A block holds about a hundred lines; a screen reader needs no more than that.
constexpr std::size_t kMostAnnouncedLines = 200;

class TLogMemoAccessible : public QAccessibleWidget {
 public:
  explicit TLogMemoAccessible(TLogMemo* memo) : QAccessibleWidget(memo, QAccessible::StaticText) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return static_cast<TLogMemo*>(widget())->LastBlockText();
    return QAccessibleWidget::text(t);
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    s.multiLine = true;
    return s;
  }
};

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

void TLogMemo::AnnounceLastBlock() {
  if (!QAccessible::isActive()) return;
  QAccessibleValueChangeEvent event(this, LastBlockText());
  QAccessible::updateAccessibility(&event);
}
