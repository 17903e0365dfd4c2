#include "LogFindBar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include "LogFind.h"
#include "LogMemo.h"

namespace {

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

}  // namespace

TLogFindBar::TLogFindBar(TLogMemo* memo, QWidget* parent) : QWidget(parent), Memo_(memo) {
  setObjectName(QStringLiteral("FindBar"));
  lblFindText = Named(new QLabel(QStringLiteral("Find:"), this), "lblFindText");
  edFindText = Named(new QLineEdit(this), "edFindText");
  lblFindText->setBuddy(edFindText);
  btnFindNext = Named(new QPushButton(QStringLiteral("Next"), this), "btnFindNext");
  btnFindPrevious = Named(new QPushButton(QStringLiteral("Previous"), this), "btnFindPrevious");
  chFindMatchCase = Named(new QCheckBox(QStringLiteral("Match case"), this), "chFindMatchCase");
  lblFindCount = Named(new QLabel(this), "lblFindCount");
  btnFindClose = Named(new QPushButton(QStringLiteral("Close"), this), "btnFindClose");
  for (QPushButton* b : {btnFindNext, btnFindPrevious, btnFindClose}) b->setAutoDefault(false);

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 2, 0, 2);
  row->addWidget(lblFindText);
  row->addWidget(edFindText, 1);
  row->addWidget(btnFindNext);
  row->addWidget(btnFindPrevious);
  row->addWidget(chFindMatchCase);
  row->addWidget(lblFindCount);
  row->addStretch();
  row->addWidget(btnFindClose);

  connect(btnFindNext, &QPushButton::clicked, this, &TLogFindBar::FindNext);
  connect(btnFindPrevious, &QPushButton::clicked, this, &TLogFindBar::FindPrevious);
  connect(btnFindClose, &QPushButton::clicked, this, &TLogFindBar::Close);
  // Typing finds from the match in view, so it grows as the text does.
  connect(edFindText, &QLineEdit::textEdited, this, [this] { Find(true, true); });
  connect(chFindMatchCase, &QCheckBox::toggled, this, [this] { Find(true, true); });
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &TLogFindBar::Close);
  escape->setContext(Qt::WidgetWithChildrenShortcut);
  edFindText->installEventFilter(this);
  hide();
}

void TLogFindBar::Open() {
  show();
  edFindText->setFocus(Qt::ShortcutFocusReason);
  edFindText->selectAll();
}

void TLogFindBar::Close() {
  hide();
  Memo_->setFocus(Qt::OtherFocusReason);
}

// With nothing to find yet, F3 asks for the text.
void TLogFindBar::FindNext() {
  if (edFindText->text().isEmpty()) return Open();
  Find(true, false);
}

void TLogFindBar::FindPrevious() {
  if (edFindText->text().isEmpty()) return Open();
  Find(false, false);
}

// Enter finds the next match, Shift+Enter the previous one.
bool TLogFindBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edFindText && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      Find(!(key->modifiers() & Qt::ShiftModifier), false);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// From the current match, or from the caret when nothing is selected.
void TLogFindBar::Find(bool forward, bool inclusive) {
  const TLogSearch search(edFindText->text(),
                          chFindMatchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive);
  const TLogLines& lines = Memo_->Store();
  if (search.Empty()) {
    lblFindCount->clear();
    return;
  }
  const TLogPos from = Memo_->HasSelection() ? Memo_->Selection().first : Memo_->Caret();
  const std::optional<TLogPos> at = search.Next(lines, from, forward, inclusive);
  if (!at) {
    lblFindCount->setText(QStringLiteral("No matches"));
    return;
  }
  const TLogPos end{at->Line, at->Col + search.Length()};
  Memo_->Select(*at, end);
  Memo_->ScrollTo({end.Line, end.Col - 1});
  Memo_->ScrollTo(*at);
  const TLogSearch::TCount count = search.Count(lines, *at);
  lblFindCount->setText(QStringLiteral("%1 of %2").arg(count.Before + 1).arg(count.Total));
}
