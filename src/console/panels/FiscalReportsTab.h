#pragma once

#include "TabPanel.h"

namespace Ui {
class FiscalReportsTab;
}

// The "Fiscal reports" tab: totals, daily and fiscal-memory reports.
class TFiscalReportsTab : public TTabPanel {
  Q_OBJECT

 public:
  explicit TFiscalReportsTab(TMainForm& main, QWidget* parent = nullptr);
  ~TFiscalReportsTab() override;

  Ui::FiscalReportsTab* const ui;
};
