#include "OtherTab.h"

#include "uMain.h"
#include "ui_OtherTab.h"

TOtherTab::TOtherTab(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::OtherTab) {
  ui->setupUi(this);
}

TOtherTab::~TOtherTab() { delete ui; }
