#include "HeaderLinesTab.h"

#include "uMain.h"
#include "ui_HeaderLinesTab.h"

THeaderLinesTab::THeaderLinesTab(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::HeaderLinesTab) {
  ui->setupUi(this);
}

THeaderLinesTab::~THeaderLinesTab() { delete ui; }
