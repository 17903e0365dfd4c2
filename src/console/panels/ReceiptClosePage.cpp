#include "ReceiptClosePage.h"

#include "ReceiptOpenPage.h"
#include "uMain.h"
#include "ui_ReceiptClosePage.h"

TReceiptClosePage::TReceiptClosePage(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::ReceiptClosePage) {
  ui->setupUi(this);
  connect(ui->Button6, &QPushButton::clicked, this, &TReceiptClosePage::btnCloseReciptClick);
}

TReceiptClosePage::~TReceiptClosePage() { delete ui; }

// The same close as on the "Open receipt" page.
void TReceiptClosePage::btnCloseReciptClick() { Main.ReceiptOpen->DoCloseFiscalReceipt(); }
