#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TLogMemo;

// The bar above the log that finds a text in it: the match is selected and
// scrolled into view, and the bar tells which of how many matches it is.
class TLogFindBar : public QWidget {
  Q_OBJECT
 public:
  explicit TLogFindBar(TLogMemo* memo, QWidget* parent = nullptr);

  // Shows the bar with its text selected, ready for typing.
  void Open();
  // Hides the bar; the log keeps the match selected and takes the focus.
  void Close();
  // The next or the previous match, round the end of the log.
  void FindNext();
  void FindPrevious();

  QLabel* lblFindText = nullptr;
  QLineEdit* edFindText = nullptr;
  QPushButton* btnFindNext = nullptr;
  QPushButton* btnFindPrevious = nullptr;
  QCheckBox* chFindMatchCase = nullptr;
  QLabel* lblFindCount = nullptr;
  QPushButton* btnFindClose = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Find(bool forward, bool inclusive);

  TLogMemo* Memo_;
};
