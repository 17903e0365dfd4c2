#pragma once

#include <QList>
#include <functional>

#include "TabPanel.h"

class QLineEdit;

namespace Ui {
class HeaderLinesTab;
}

// The "Header/footer lines" tab: the receipt's six header and two footer lines.
class THeaderLinesTab : public TTabPanel {
  Q_OBJECT

 public:
  explicit THeaderLinesTab(TMainForm& main, QWidget* parent = nullptr);
  ~THeaderLinesTab() override;

  Ui::HeaderLinesTab* const ui;

  // One line on a link that is already open, each with its own log entry;
  // true when the line was read or set.
  bool ReadHeaderLineToEdit(int Line, QLineEdit* Edit);
  bool SetHeaderLineFromEdit(int Line, QLineEdit* Edit);

 public slots:
  void btnSetHeaderClick();
  void btnSetFooterLinesClick();
  void btnLoadHederClick();
  void btnLoadFootetLinesClick();

 private:
  using TLineStep = bool (THeaderLinesTab::*)(int, QLineEdit*);
  using TLinesCheck = bool (THeaderLinesTab::*)(int, const QList<QLineEdit*>&);
  QList<QLineEdit*> HeaderEdits() const;
  QList<QLineEdit*> FooterEdits() const;
  void SetLines(int firstLine, const QList<QLineEdit*>& edits);
  void RunLines(int firstLine, const QList<QLineEdit*>& edits, TLineStep step,
                const QString& firstTitle, TLinesCheck check = nullptr);
  bool AllLinesFit(int firstLine, const QList<QLineEdit*>& edits);
  bool OpenLink(const QString& title);
  void CloseLink();
};
