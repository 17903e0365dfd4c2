#include "PluTab.h"

#include "DeviceText.h"
#include "RegionalSettings.h"
#include "RegisterTexts.h"
#include "VatGroupChoice.h"
#include "uMain.h"
#include "ui_PluTab.h"

namespace {

const char* const kOk = "OK";

}  // namespace

TPluTab::TPluTab(TMainForm& main, QWidget* parent) : TTabPanel(main, parent), ui(new Ui::PluTab) {
  ui->setupUi(this);
  connect(ui->btnGetPlu, &QPushButton::clicked, this, &TPluTab::btnGetPluClick);
  connect(ui->btnSetPlu, &QPushButton::clicked, this, &TPluTab::btnSetPluClick);
  connect(ui->btnDeletePlu, &QPushButton::clicked, this, &TPluTab::btnDeletePluClick);
}

TPluTab::~TPluTab() { delete ui; }

void TPluTab::btnGetPluClick() {
  // Emptied first, so that a failed read never leaves the previous PLU in view.
  ui->mmPlu->clear();
  const std::int32_t number = ui->rxGetPluNo->value();
  Main.RunCommand(QStringLiteral("Get plu[6BH]."), [&] {
    TPluData plu;
    Main.RequireDevice(Device().GetPluData(number, plu));
    for (const std::string& line : PluDataLines(plu, Device().Regional)) {
      ui->mmPlu->appendPlainText(DevText(line));
    }
    return std::string(kOk);
  });
}

// The link is opened before the inputs are read: an input error closes it again
// with nothing sent.
void TPluTab::btnSetPluClick() {
  const auto action = [&] {
    const TRegionalSettings& rs = Device().Regional;
    TPluData plu;
    plu.Quantity = ReadTypedNumber(ui->edtProgPluQtty->text(), rs, "Invalid plu qtty.");
    plu.UnitPrice = ReadTypedNumber(ui->edtProgPluUnitPrc->text(), rs, "Invalid plu UnitPrice.");
    // The name goes as typed: blanks count towards its 36 characters.
    plu.PluName = ToDeviceText(ui->edtProgPluName->text(), ui->lblProgPluName->text());
    plu.VatGroup = SelectedVatGroup(*ui->cbProgPluTaxGrp);
    plu.PluNo = ui->rxProgPluNo->value();
    plu.GroupNom = 1;
    Main.RequireDevice(Device().SetPlu(plu));
    return std::string(kOk);
  };
  Main.RunCommand(QStringLiteral("Set plu[6BH]."), action);
}

// A refusal without a text of its own is logged as an error, never as OK.
void TPluTab::btnDeletePluClick() {
  const std::int32_t number = ui->rxGetPluNo->value();
  Main.RunCommand(QStringLiteral("Delete registred plu[6BH]."), [&] {
    Main.RequireDevice(Device().DeletePlu(number));
    return std::string(kOk);
  });
}
