#include "ReceiptTab.h"

#include "uMain.h"
#include "ui_ReceiptTab.h"

TReceiptTab::TReceiptTab(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::ReceiptTab) {
  ui->setupUi(this);
}

TReceiptTab::~TReceiptTab() { delete ui; }
