#include "ReceiptPaymentPage.h"

#include "uMain.h"
#include "ui_ReceiptPaymentPage.h"

TReceiptPaymentPage::TReceiptPaymentPage(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::ReceiptPaymentPage) {
  ui->setupUi(this);
}

TReceiptPaymentPage::~TReceiptPaymentPage() { delete ui; }
