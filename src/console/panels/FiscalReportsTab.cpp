#include "FiscalReportsTab.h"

#include "uMain.h"
#include "ui_FiscalReportsTab.h"

TFiscalReportsTab::TFiscalReportsTab(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::FiscalReportsTab) {
  ui->setupUi(this);
}

TFiscalReportsTab::~TFiscalReportsTab() { delete ui; }
