#pragma once

#include <QDate>
#include <QLineEdit>

// A date box that may be left empty: dd.mm.yyyy typed into a mask. Empty, or
// holding no calendar date, it reads as no date.
class TDateBox : public QLineEdit {
  Q_OBJECT

 public:
  explicit TDateBox(QWidget* parent = nullptr);

  // No digit typed.
  bool IsEmpty() const;
  // Invalid when empty or not a calendar date.
  QDate Date() const;
  // An invalid date empties the box.
  void SetDate(const QDate& date);
};
