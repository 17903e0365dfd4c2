#pragma once

#include "TabPanel.h"

namespace Ui {
class OtherTab;
}

// The "Other" tab: clock, cash, operators, payment names, general settings, barcode height.
class TOtherTab : public TTabPanel {
  Q_OBJECT

 public:
  explicit TOtherTab(TMainForm& main, QWidget* parent = nullptr);
  ~TOtherTab() override;

  Ui::OtherTab* const ui;
};
