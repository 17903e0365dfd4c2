#include "ReceiptCommentsPage.h"

#include "uMain.h"
#include "ui_ReceiptCommentsPage.h"

TReceiptCommentsPage::TReceiptCommentsPage(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::ReceiptCommentsPage) {
  ui->setupUi(this);
}

TReceiptCommentsPage::~TReceiptCommentsPage() { delete ui; }
