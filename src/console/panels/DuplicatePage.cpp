#include "DuplicatePage.h"

#include "uMain.h"
#include "ui_DuplicatePage.h"

TDuplicatePage::TDuplicatePage(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::DuplicatePage) {
  ui->setupUi(this);
}

TDuplicatePage::~TDuplicatePage() { delete ui; }
