#pragma once

#include "TabPanel.h"

namespace Ui {
class PluTab;
}

// The "Register PLU in ECR/FP" tab: a PLU programmed, read back or deleted.
class TPluTab : public TTabPanel {
  Q_OBJECT

 public:
  explicit TPluTab(TMainForm& main, QWidget* parent = nullptr);
  ~TPluTab() override;

  Ui::PluTab* const ui;

 public slots:
  void btnGetPluClick();
  void btnSetPluClick();
  void btnDeletePluClick();
};
