#include "ReceiptOpenPage.h"

#include <QFocusEvent>
#include <QMessageBox>

#include "ConsoleSettings.h"
#include "DeviceText.h"
#include "ReceiptInput.h"
#include "uMain.h"
#include "ui_ReceiptOpenPage.h"

const QString TReceiptOpenPage::DefaultUniqueSellNo = QStringLiteral("QZ0000001-0001-0000001");

namespace {

// The sale number the device's serial number starts.
QString FirstSellNoOf(const TDiagnosticInfo& info) {
  return DevText(info.SerialNumber) + QStringLiteral("-0001-0000001");
}

// Only the ASCII letters: the sale number allows no others.
std::string AsciiUpper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::int32_t Int32Or(const QString& text, std::int32_t fallback) {
  std::int32_t value = 0;
  return TryParseInt32(text.toStdString(), value) ? value : fallback;
}

std::int64_t Int64Or(const QString& text, std::int64_t fallback) {
  std::int64_t value = 0;
  return TryParseInt64(text.toStdString(), value) ? value : fallback;
}

}  // namespace

TReceiptOpenPage::TReceiptOpenPage(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::ReceiptOpenPage) {
  ui->setupUi(this);
  connect(ui->btnOpenRec90, &QPushButton::clicked, this, &TReceiptOpenPage::btnOpenRec90Click);
  connect(ui->btnCloseRecipt, &QPushButton::clicked, this, &TReceiptOpenPage::btnCloseReciptClick);
  connect(ui->btnVoidRec, &QPushButton::clicked, this, &TReceiptOpenPage::btnVoidRecClick);
  connect(ui->chUseValidUNP, &QCheckBox::clicked, this, &TReceiptOpenPage::chUseValidUNPClick);
  connect(ui->Button4, &QPushButton::clicked, this, &TReceiptOpenPage::Button4Click);
  connect(ui->btnTestFiscRec, &QPushButton::clicked, this, &TReceiptOpenPage::btnTestFiscRecClick);
  ui->eUNP->installEventFilter(this);

  ShowSellNoError = [this](const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"),
                    QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')), QMessageBox::Ok,
                    this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
  };
}

TReceiptOpenPage::~TReceiptOpenPage() { delete ui; }

void TReceiptOpenPage::ApplySettings(const TConsoleSettings& settings) {
  ui->rxSpCurrOper->setValue(settings.OperatorNo);
  ui->edtAddOpPass->setText(settings.OperatorPassword);
  ui->rxPOSNo->setValue(settings.POSNo);
  ui->eOpName->setText(settings.OperatorName);
  ui->eFMIN->setText(settings.FMIN);
  ui->eUNP->setText(settings.LastUNP);
}

void TReceiptOpenPage::CollectSettings(TConsoleSettings& settings) const {
  settings.OperatorNo = ui->rxSpCurrOper->value();
  settings.OperatorPassword = TrimmedText(ui->edtAddOpPass->text());
  settings.POSNo = ui->rxPOSNo->value();
  settings.OperatorName = ui->eOpName->text();
  settings.FMIN = ui->eFMIN->text();
  settings.LastUNP = ui->eUNP->text();
}

// Leaving the sale number is checked once the edit has handled its own focus
// change, so that the message box does not interrupt it.
bool TReceiptOpenPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui->eUNP && event->type() == QEvent::FocusOut) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      QMetaObject::invokeMethod(this, &TReceiptOpenPage::eUNPExit, Qt::QueuedConnection);
    }
  }
  return TTabPanel::eventFilter(watched, event);
}

void TReceiptOpenPage::eUNPExit() {
  if (ui->chUseValidUNP->isChecked()) CheckUniqueSellNo();
}

void TReceiptOpenPage::CheckUniqueSellNo() {
  const QString sellNo = TrimmedText(ui->eUNP->text());
  if (TBaseDevice::IsUniqueSellNoValid(sellNo.toStdString())) return;
  ShowSellNoError(QStringLiteral("Error: \r\"%1\" is invalid sell num. ").arg(sellNo));
  ui->eUNP->setText(DefaultUniqueSellNo);
  ui->eUNP->setFocus();
}

// Only a sale number the operator typed is replaced by the device's first one.
// No log entry; the link stays as the identity read left it.
void TReceiptOpenPage::chUseValidUNPClick() {
  if (!ui->eUNP->isModified() || !ui->chUseValidUNP->isChecked()) return;
  try {
    Main.EnsureConnected();
    TDiagnosticInfo info;
    Main.RequireDevice(Device().GetDiagnosticInfo(false, info));
    ui->eUNP->setText(FirstSellNoOf(info));
  } catch (const std::exception&) {
    ui->eUNP->setText(QString());
  }
  // A device serves one host at a time: an idle link left open would lock
  // out every other one.
  if (Device().IsConnected()) Device().Disconnect();
}

void TReceiptOpenPage::Button4Click() {
  Main.RunCommand(QStringLiteral("Get printer diagnostic info(5AH)."), [this] {
    TDiagnosticInfo info;
    Main.RequireDevice(Device().GetDiagnosticInfo(false, info));
    ui->eUNP->setText(FirstSellNoOf(info));
    return std::string();
  });
}

void TReceiptOpenPage::btnOpenRec90Click() { DoOpenFiscalReceipt(); }

void TReceiptOpenPage::btnCloseReciptClick() { DoCloseFiscalReceipt(); }

void TReceiptOpenPage::btnVoidRecClick() {
  Main.RunCommand(QStringLiteral("VOID reciept(3C)."), [this] {
    Main.RequireDevice(Device().VoidFiscalReceipt());
    return std::string();
  });
}

bool TReceiptOpenPage::DoOpenFiscalReceipt() {
  const auto checkSellNo = [this] {
    if (!ui->chUseValidUNP->isChecked()) return;
    const QString sellNo = TrimmedText(ui->eUNP->text());
    if (!TBaseDevice::IsUniqueSellNoValid(sellNo.toStdString())) {
      throw EInputError("Invalid sell nom: \"" + TextForLog(sellNo) + "\"");
    }
  };
  const auto open = [this] {
    const TFiskParam param = FiskParamFromPage();
    std::int32_t allReceipt = 0;
    std::int32_t fiscReceipt = 0;
    Main.RequireDevice(Device().OpenFiscalReceipt(param, allReceipt, fiscReceipt));
    return ReceiptCountersText(allReceipt, fiscReceipt);
  };
  return Main.RunCommand(QStringLiteral("Open fiscal reciept(90H)."), open, checkSellNo);
}

bool TReceiptOpenPage::DoCloseFiscalReceipt() {
  return Main.RunCommand(QStringLiteral("Close fiscal reciept(38H)."), [this] {
    std::int32_t allReceipt = 0;
    std::int32_t fiscReceipt = 0;
    Main.RequireDevice(Device().CloseFiscalReceipt(allReceipt, fiscReceipt));
    return ReceiptCountersText(allReceipt, fiscReceipt);
  });
}

// Numbers that are not numbers become -1, which the device operation refuses
// where it needs them.
TFiskParam TReceiptOpenPage::FiskParamFromPage() const {
  TFiskParam p;
  p.IsStorno = ui->chkStorno->isChecked();
  p.IsInvoice = ui->chkInvoice->isChecked();
  p.OperatorNo = ui->rxSpCurrOper->value();
  p.OperatorName = ToDeviceText(TrimmedText(ui->eOpName->text()), QStringLiteral("Oper.name"));
  p.OperatorPassword =
      ToDeviceText(TrimmedText(ui->edtAddOpPass->text()), QStringLiteral("Password"));
  p.UniqueSellNo =
      AsciiUpper(ToDeviceText(TrimmedText(ui->eUNP->text()), QStringLiteral("Unique sell No")));
  p.StornoInvoiceNo = Int64Or(ui->eInvNo->text(), -1);
  p.StornoReason =
      FirstDeviceChar(TrimmedText(ui->cmbStornoReason->currentText()), QStringLiteral("Reason No"));
  p.StornoFMIN = ToDeviceText(TrimmedText(ui->eFMIN->text()), QStringLiteral("FMIN No"));
  p.StornoDateTime = RefundDateTime();
  p.StornoReceiptNo = Int32Or(ui->eRecieptNo->text(), -1);
  p.DeviceFMIN = Main.DeviceFMNo;
  return p;
}

// No date or no time of day adds nothing.
TDateTime TReceiptOpenPage::RefundDateTime() const {
  TDateTime time = 0;
  if (!ReadMaskedTime(ui->eInvTime->displayText(), time)) time = 0;
  return ui->eInvDate->Value() + time;
}
