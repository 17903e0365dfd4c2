#include "ReceiptSubtotalPage.h"

#include "uMain.h"
#include "ui_ReceiptSubtotalPage.h"

TReceiptSubtotalPage::TReceiptSubtotalPage(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::ReceiptSubtotalPage) {
  ui->setupUi(this);
}

TReceiptSubtotalPage::~TReceiptSubtotalPage() { delete ui; }
