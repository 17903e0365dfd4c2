#include "ReceiptSalesPage.h"

#include "DeviceText.h"
#include "ReceiptInput.h"
#include "VatGroupChoice.h"
#include "uMain.h"
#include "ui_ReceiptSalesPage.h"

namespace {

const char* const kInvalidPrice = "Invalid price.";
const char* const kInvalidQtty = "Invalid Qtty.";
const char* const kInvalidPerc = "Invalid bonus/discount.";

// Price, quantity and bonus/discount of a sale group, read in this order.
struct TSaleNumbers {
  double Price = 0;
  double Qtty = 0;
  double Perc = 0;
};

TSaleNumbers ReadSaleNumbers(const QLineEdit& price, const QLineEdit& qtty, const QLineEdit& perc,
                             const TRegionalSettings& rs) {
  TSaleNumbers n;
  n.Price = ReadTypedNumber(price.text(), rs, kInvalidPrice);
  n.Qtty = ReadTypedNumber(qtty.text(), rs, kInvalidQtty);
  n.Perc = ReadTypedNumber(perc.text(), rs, kInvalidPerc);
  return n;
}

// Item texts go to the device trimmed.
std::string ItemText(const QLineEdit& edit, const QString& what) {
  return ToDeviceText(TrimmedText(edit.text()), what);
}

}  // namespace

TReceiptSalesPage::TReceiptSalesPage(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::ReceiptSalesPage) {
  ui->setupUi(this);
  connect(ui->btnSendPLU, &QPushButton::clicked, this, &TReceiptSalesPage::btnSendPLUClick);
  connect(ui->btnSendPLUAndDispl, &QPushButton::clicked, this,
          &TReceiptSalesPage::btnSendPLUAndDisplClick);
  connect(ui->btnSellDepartment, &QPushButton::clicked, this,
          &TReceiptSalesPage::btnSellDepartmentClick);
  connect(ui->btnSellDepAndDispl, &QPushButton::clicked, this,
          &TReceiptSalesPage::btnSellDepAndDisplClick);
  connect(ui->btnSellRegPlu, &QPushButton::clicked, this, &TReceiptSalesPage::btnSellRegPluClick);
  connect(ui->btnDiscLastPlu, &QPushButton::clicked, this, &TReceiptSalesPage::btnDiscLastPluClick);
}

TReceiptSalesPage::~TReceiptSalesPage() { delete ui; }

void TReceiptSalesPage::btnSendPLUClick() {
  Main.RunCommand(QStringLiteral("Register sell(31H)."), [this] {
    const TSaleNumbers n = ReadSaleNumbers(*ui->c6SellPluPriceEdit, *ui->c6SellPluQuantEdit,
                                           *ui->edPrec, Device().Regional);
    const std::string text1 = ItemText(*ui->c6SellPluNameEdit, QStringLiteral("Text1"));
    const std::string text2 = ItemText(*ui->edtPLUText2, QStringLiteral("Text2"));
    const char vatGrp = SelectedVatGroup(*ui->c6SellPluTaxGrpCombo);
    Main.RequireDevice(Device().RegisterSale(text1, text2, vatGrp, n.Price, n.Qtty, n.Perc));
    return std::string();
  });
}

void TReceiptSalesPage::btnSendPLUAndDisplClick() {
  Main.RunCommand(QStringLiteral("Register sell(34H)."), [this] {
    const TSaleNumbers n = ReadSaleNumbers(*ui->c6SellPluPriceEdit, *ui->c6SellPluQuantEdit,
                                           *ui->edPrec, Device().Regional);
    const char vatGrp = SelectedVatGroup(*ui->c6SellPluTaxGrpCombo);
    const std::string text1 = ItemText(*ui->c6SellPluNameEdit, QStringLiteral("Text1"));
    Main.RequireDevice(
        Device().RegisterSaleAndDisplay(text1, vatGrp, n.Price, n.Qtty, n.Perc, false));
    return std::string();
  });
}

void TReceiptSalesPage::btnSellDepartmentClick() {
  Main.RunCommand(QStringLiteral("Send department(31H)."), [this] {
    const TSaleNumbers n = ReadSaleNumbers(*ui->edtSellDepPrc, *ui->edtSellDepQuant,
                                           *ui->edtSellDepDisc, Device().Regional);
    const std::string text1 = ItemText(*ui->edtSellDepText, QStringLiteral("Text 1"));
    const std::string text2 = ItemText(*ui->edtDeprtmentText2, QStringLiteral("Text 2"));
    const auto departNo = static_cast<std::uint8_t>(ui->rxsSellDepNo->value());
    Main.RequireDevice(
        Device().RegisterDepartmentSale(text1, text2, departNo, n.Price, n.Qtty, n.Perc));
    return std::string();
  });
}

void TReceiptSalesPage::btnSellDepAndDisplClick() {
  Main.RunCommand(QStringLiteral("Send department and display(34)."), [this] {
    const TSaleNumbers n = ReadSaleNumbers(*ui->edtSellDepPrc, *ui->edtSellDepQuant,
                                           *ui->edtSellDepDisc, Device().Regional);
    const std::string text1 = ItemText(*ui->edtSellDepText, QStringLiteral("Text 1"));
    const auto departNo = static_cast<std::uint8_t>(ui->rxsSellDepNo->value());
    Main.RequireDevice(
        Device().RegisterDepartmentSaleAndDisplay(text1, departNo, n.Price, n.Qtty, n.Perc, false));
    return std::string();
  });
}

void TReceiptSalesPage::btnSellRegPluClick() {
  Main.RunCommand(QStringLiteral("Sell registred plu[3AH]."), [this] {
    const TRegionalSettings& rs = Device().Regional;
    const double qtty = ReadTypedNumber(ui->edtSelPluQtty->text(), rs, "Invalid plu qtty.");
    const double perc = ReadTypedNumber(ui->edtSellPluDepBonus->text(), rs, "Invalid plu Prc.");
    const std::int32_t departNo = ui->rxSelPluDep->value();
    const bool isAbsolute = ui->chkSellPluDepAbs->isChecked();
    const bool display = ui->chkSellPluDepDisplay->isChecked();
    const std::int32_t pluNo = ui->rxSelPluNo->value();
    Main.RequireDevice(
        Device().SellRegisteredPlu(display, pluNo, departNo, qtty, perc, isAbsolute));
    return std::string("OK");
  });
}

void TReceiptSalesPage::btnDiscLastPluClick() {
  Main.RunCommand(QStringLiteral("Discount over last plu (91H)."), [this] {
    const double value =
        ReadTypedNumber(ui->edtDiscLastPlu->text(), Device().Regional, "Invalid discount value.");
    Main.RequireDevice(Device().DiscountLastPlu(ui->chkAbsDiscount->isChecked(), value));
    return std::string();
  });
}
