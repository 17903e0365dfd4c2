#include "OptionalDateEdit.h"

#include <QCalendarWidget>
#include <QKeyEvent>

namespace {

// Day 0 of the device library's day count.
const QDate kEmptyDate(1899, 12, 30);

}  // namespace

TOptionalDateEdit::TOptionalDateEdit(QWidget* parent) : QDateEdit(parent) {
  setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
  setMinimumDate(kEmptyDate);
  // A blank, not an empty text: an empty special text would show the date.
  setSpecialValueText(QStringLiteral(" "));
  setCalendarPopup(true);
  calendarWidget()->installEventFilter(this);
  setToolTip(QStringLiteral("Delete empties the date."));
  Clear();
}

bool TOptionalDateEdit::IsEmpty() const { return date() <= kEmptyDate; }

void TOptionalDateEdit::Clear() { setDate(kEmptyDate); }

TDateTime TOptionalDateEdit::Value() const {
  TDateTime value = 0;
  if (IsEmpty()) return 0;
  const QDate d = date();
  return TryEncodeDate(d.year(), d.month(), d.day(), value) ? value : 0;
}

void TOptionalDateEdit::stepBy(int steps) {
  if (IsEmpty()) {
    setDate(QDate::currentDate());
    return;
  }
  QDateEdit::stepBy(steps);
}

void TOptionalDateEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
    Clear();
    event->accept();
    return;
  }
  // The blank holds no sections to type into: start from today's date, the
  // day selected, so that typed digits fill it in.
  if (IsEmpty() && !event->text().isEmpty() && event->text().at(0).isDigit()) {
    setDate(QDate::currentDate());
    setSelectedSection(QDateTimeEdit::DaySection);
  }
  QDateEdit::keyPressEvent(event);
}

// From empty the calendar would open in December 1899.
bool TOptionalDateEdit::eventFilter(QObject* watched, QEvent* event) {
  if (watched == calendarWidget() && event->type() == QEvent::Show && IsEmpty()) {
    const QDate today = QDate::currentDate();
    calendarWidget()->setCurrentPage(today.year(), today.month());
  }
  return QDateEdit::eventFilter(watched, event);
}
