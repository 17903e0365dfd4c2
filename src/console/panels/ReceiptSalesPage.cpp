#include "ReceiptSalesPage.h"

#include "uMain.h"
#include "ui_ReceiptSalesPage.h"

TReceiptSalesPage::TReceiptSalesPage(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::ReceiptSalesPage) {
  ui->setupUi(this);
}

TReceiptSalesPage::~TReceiptSalesPage() { delete ui; }
