#include "ReceiptCommentsPage.h"

#include "BarcodeGroup.h"
#include "DeviceText.h"
#include "uMain.h"
#include "ui_ReceiptCommentsPage.h"

TReceiptCommentsPage::TReceiptCommentsPage(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::ReceiptCommentsPage) {
  ui->setupUi(this);
  FillBarcodeTypes(*ui->cbBarcode);
  connect(ui->btnFiscAddText, &QPushButton::clicked, this,
          &TReceiptCommentsPage::btnFiscAddTextClick);
  connect(ui->btnSendFiscBarcode, &QPushButton::clicked, this,
          &TReceiptCommentsPage::btnSendFiscBarcodeClick);
}

TReceiptCommentsPage::~TReceiptCommentsPage() { delete ui; }

// The text goes as typed, blanks at either end included.
void TReceiptCommentsPage::btnFiscAddTextClick() {
  Main.RunCommand(QStringLiteral("Add comment text(36H)"), [this] {
    const std::string text = ToDeviceText(ui->c6CommentEdit->text(), QStringLiteral("Comment"));
    Main.RequireDevice(Device().PrintFiscalText(text));
    return std::string();
  });
}

void TReceiptCommentsPage::btnSendFiscBarcodeClick() {
  SendBarcodeFromGroup(Main, *ui->edtFiscBarcode, *ui->cbBarcode, *ui->cbShowTxt);
}
