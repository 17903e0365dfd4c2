#include "InvoiceDataPage.h"

#include "DeviceText.h"
#include "uMain.h"
#include "ui_InvoiceDataPage.h"

namespace {

std::string Field(const QLineEdit& edit, const QString& what) {
  return ToDeviceText(TrimmedText(edit.text()), what);
}

}  // namespace

TInvoiceDataPage::TInvoiceDataPage(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::InvoiceDataPage) {
  ui->setupUi(this);
  connect(ui->btnSendInvData, &QPushButton::clicked, this, &TInvoiceDataPage::btnSendInvDataClick);
}

TInvoiceDataPage::~TInvoiceDataPage() { delete ui; }

// The MOL is collected with the rest but the command has no field for it.
void TInvoiceDataPage::btnSendInvDataClick() {
  const auto action = [&] {
    TInvoiceClientData data;
    data.ClientName = Field(*ui->edtClient, QStringLiteral("Client"));
    data.TaxNo = Field(*ui->edtVATNo, QStringLiteral("TaxNo"));
    data.EIK = Field(*ui->edtEIKNo, QStringLiteral("EIK No"));
    data.Address = Field(*ui->edtAddress, QStringLiteral("Address"));
    data.MOL = Field(*ui->edtMolName, QStringLiteral("MOL"));
    data.Receiver = Field(*ui->edtReciever, QStringLiteral("Receiver"));
    if (data.EIK.empty()) throw EInputError("EIK is mandatory.");
    Main.RequireDevice(Device().SendInvoiceClientData(data));
    return "Add customer info: " + data.EIK;
  };
  Main.RunCommand(QStringLiteral("Add customer info(39H)"), action);
}
