#pragma once

#include "TabPanel.h"

namespace Ui {
class DepartmentsTab;
}

// The "Departments" tab.
class TDepartmentsTab : public TTabPanel {
  Q_OBJECT

 public:
  explicit TDepartmentsTab(TMainForm& main, QWidget* parent = nullptr);
  ~TDepartmentsTab() override;

  Ui::DepartmentsTab* const ui;
};
