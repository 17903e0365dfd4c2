#include "InformationTab.h"

#include "uMain.h"
#include "ui_InformationTab.h"

TInformationTab::TInformationTab(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::InformationTab) {
  ui->setupUi(this);
}

TInformationTab::~TInformationTab() { delete ui; }
