#include "ReceiptPaymentPage.h"

#include "DeviceText.h"
#include "ReceiptInput.h"
#include "uMain.h"
#include "ui_ReceiptPaymentPage.h"

TReceiptPaymentPage::TReceiptPaymentPage(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::ReceiptPaymentPage) {
  ui->setupUi(this);
  connect(ui->btnSendPayment35H, &QPushButton::clicked, this,
          &TReceiptPaymentPage::btnSendPayment35HClick);
}

TReceiptPaymentPage::~TReceiptPaymentPage() { delete ui; }

void TReceiptPaymentPage::btnSendPayment35HClick() {
  Main.RunCommand(QStringLiteral("Send payment (35H)"), [this] {
    const TRegionalSettings& rs = Device().Regional;
    const double amount =
        ReadTypedNumber(ui->c6SendPaymentAmountEdit->text(), rs, "Invalid value for Amount.");
    const char paidMode =
        FirstDeviceChar(ui->c6SendPaymentTypeCombo->currentText(), QStringLiteral("Payment Type"));
    const std::string text1 = ToDeviceText(ui->edtPayLine1->text(), QStringLiteral("Text 1"));
    const std::string text2 = ToDeviceText(ui->edtPayLine2->text(), QStringLiteral("Text 2"));
    char paidCode = 0;
    double amount2 = 0;
    Main.RequireDevice(Device().Payment(text1, text2, paidMode, amount, paidCode, amount2));
    return PaymentResultText(amount2, paidCode, rs);
  });
}
