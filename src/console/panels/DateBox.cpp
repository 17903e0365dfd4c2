#include "DateBox.h"

#include <QStringList>

namespace {

const QString kMask = QStringLiteral("99.99.9999;_");

// A part with blanks of the mask left in it is read without them.
bool ReadPart(const QString& part, int& value) {
  bool ok = false;
  value = part.trimmed().toInt(&ok);
  return ok;
}

}  // namespace

TDateBox::TDateBox(QWidget* parent) : QLineEdit(parent) {
  setInputMask(kMask);
  setText(QString());
}

bool TDateBox::IsEmpty() const {
  for (const QChar c : text()) {
    if (c.isDigit()) return false;
  }
  return true;
}

QDate TDateBox::Date() const {
  const QStringList parts = text().split(QLatin1Char('.'));
  int day = 0, month = 0, year = 0;
  if (parts.size() != 3 || !ReadPart(parts[0], day) || !ReadPart(parts[1], month) ||
      parts[2].trimmed().size() != 4 || !ReadPart(parts[2], year)) {
    return {};
  }
  return QDate(year, month, day);
}

void TDateBox::SetDate(const QDate& date) {
  setText(date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")) : QString());
}
