#include "PluTab.h"

#include "uMain.h"
#include "ui_PluTab.h"

TPluTab::TPluTab(TMainForm& main, QWidget* parent) : TTabPanel(main, parent), ui(new Ui::PluTab) {
  ui->setupUi(this);
}

TPluTab::~TPluTab() { delete ui; }
