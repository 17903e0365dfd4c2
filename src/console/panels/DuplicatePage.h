#pragma once

#include "TabPanel.h"

namespace Ui {
class DuplicatePage;
}

// The "Duplicate last receipt" page of the fiscal receipt.
class TDuplicatePage : public TTabPanel {
  Q_OBJECT

 public:
  explicit TDuplicatePage(TMainForm& main, QWidget* parent = nullptr);
  ~TDuplicatePage() override;

  Ui::DuplicatePage* const ui;

 public slots:
  void btnDublicateRecClick();
};
