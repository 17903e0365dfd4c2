#include "ReceiptSubtotalPage.h"

#include "DeviceText.h"
#include "ReceiptInput.h"
#include "uMain.h"
#include "ui_ReceiptSubtotalPage.h"

TReceiptSubtotalPage::TReceiptSubtotalPage(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::ReceiptSubtotalPage) {
  ui->setupUi(this);
  connect(ui->btnSendSubtotal, &QPushButton::clicked, this,
          &TReceiptSubtotalPage::btnSendSubtotalClick);
}

TReceiptSubtotalPage::~TReceiptSubtotalPage() { delete ui; }

// The payment type list of this page is not sent with the subtotal.
void TReceiptSubtotalPage::btnSendSubtotalClick() {
  Main.RunCommand(QStringLiteral("Subtotal (33H)"), [this] {
    const TRegionalSettings& rs = Device().Regional;
    const double perc =
        ReadTypedNumber(ui->edtStllBonus->text(), rs, "Invalid value for bonus/discount.");
    const bool print = ui->c_SubTtl_Print->isChecked();
    const bool display = ui->c_Sttl_ShowDisplay->isChecked();
    const bool isAbsolute = ui->c_SttlAbsolute->isChecked();
    double subTotal = 0;
    TTaxValues vatGrp;
    Main.RequireDevice(Device().Subtotal(print, isAbsolute, display, subTotal, vatGrp, perc));
    return SubtotalSumsText("SubTotal=", subTotal, "VatGRP[", vatGrp, rs);
  });
}
