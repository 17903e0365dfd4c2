#pragma once

#include <QDateEdit>

#include "DateTimeUtil.h"

// A date box that may be left empty. Empty is its lowest date, 30.12.1899, the
// day count 0, shown as a blank; Delete empties it again. Stepping or opening
// the calendar from empty starts at today.
class TOptionalDateEdit : public QDateEdit {
  Q_OBJECT

 public:
  explicit TOptionalDateEdit(QWidget* parent = nullptr);

  bool IsEmpty() const;
  void Clear();
  // The date as a day count; 0 when empty.
  TDateTime Value() const;

  void stepBy(int steps) override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};
