#include "ReceiptClosePage.h"

#include "uMain.h"
#include "ui_ReceiptClosePage.h"

TReceiptClosePage::TReceiptClosePage(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::ReceiptClosePage) {
  ui->setupUi(this);
}

TReceiptClosePage::~TReceiptClosePage() { delete ui; }
