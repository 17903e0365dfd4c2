#pragma once

#include "TabPanel.h"

namespace Ui {
class DepartmentsTab;
}

// The "Departments" tab: a department's totals read back, and a department set.
class TDepartmentsTab : public TTabPanel {
  Q_OBJECT

 public:
  explicit TDepartmentsTab(TMainForm& main, QWidget* parent = nullptr);
  ~TDepartmentsTab() override;

  Ui::DepartmentsTab* const ui;

 public slots:
  void btnGetDepartClick();
  void btnSetDepartmentClick();
};
