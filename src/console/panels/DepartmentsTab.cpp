#include "DepartmentsTab.h"

#include "uMain.h"
#include "ui_DepartmentsTab.h"

TDepartmentsTab::TDepartmentsTab(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::DepartmentsTab) {
  ui->setupUi(this);
}

TDepartmentsTab::~TDepartmentsTab() { delete ui; }
