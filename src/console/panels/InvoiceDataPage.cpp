#include "InvoiceDataPage.h"

#include "uMain.h"
#include "ui_InvoiceDataPage.h"

TInvoiceDataPage::TInvoiceDataPage(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::InvoiceDataPage) {
  ui->setupUi(this);
}

TInvoiceDataPage::~TInvoiceDataPage() { delete ui; }
