#include "InvoiceRangeTab.h"

#include "uMain.h"
#include "ui_InvoiceRangeTab.h"

TInvoiceRangeTab::TInvoiceRangeTab(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::InvoiceRangeTab) {
  ui->setupUi(this);
}

TInvoiceRangeTab::~TInvoiceRangeTab() { delete ui; }
