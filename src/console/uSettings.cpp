#include "uSettings.h"

#include <QMessageBox>

#include "RegionalSettings.h"
#include "SerialPorts.h"
#include "ui_uSettings.h"

TfrmSettings::TfrmSettings(QWidget* parent) : QDialog(parent), ui(new Ui::TfrmSettings) {
  ui->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  ui->cmbBaudRate->setCurrentIndex(-1);
  FillPortList(ui->cmbPortPath, ListSerialDevices());
  ui->cmbPortPath->setCurrentIndex(0);
  // The two boxes share one place, and the dialog one size, whichever shows.
  for (QWidget* box :
       {static_cast<QWidget*>(ui->gBoxRS232), static_cast<QWidget*>(ui->gbTCPSettings)}) {
    QSizePolicy policy = box->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    box->setSizePolicy(policy);
  }
  ui->gbTCPSettings->hide();
  connect(ui->rbRS232, &QRadioButton::clicked, this, &TfrmSettings::rbRS232Click);
  connect(ui->rbTCP, &QRadioButton::clicked, this, &TfrmSettings::rbTCPClick);
  connect(ui->btnOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  ShowError = [this](const QString& text) {
    QMessageBox::critical(this, windowTitle(), text, QMessageBox::Ok);
  };
}

TfrmSettings::~TfrmSettings() = default;

void TfrmSettings::rbRS232Click() {
  ui->gbTCPSettings->hide();
  ui->gBoxRS232->show();
}

void TfrmSettings::rbTCPClick() {
  ui->gBoxRS232->hide();
  ui->gbTCPSettings->show();
}

void TfrmSettings::SetValues(const TConnectionSettings& v) {
  ui->ComSpin->setValue(v.PortNo);
  ui->cmbBaudRate->setCurrentIndex(ui->cmbBaudRate->findText(v.BaudNo, Qt::MatchExactly));
  ui->cmbPortPath->setEditText(v.PortPath);
  if (v.UseTCP) {
    ui->rbTCP->setChecked(true);
    rbTCPClick();
  } else {
    ui->rbRS232->setChecked(true);
    rbRS232Click();
  }
  ui->eIPAddress->setText(v.IPAddress);
  ui->eTCPPort->setText(v.TCPPort);
}

TConnectionSettings TfrmSettings::Values() const {
  TConnectionSettings v;
  v.PortNo = ui->ComSpin->value();
  v.BaudNo = ui->cmbBaudRate->currentText().trimmed();
  v.UseTCP = !ui->gbTCPSettings->isHidden();
  std::int32_t port = 0;
  if (!TryParseInt32(ui->eTCPPort->text().trimmed().toStdString(), port)) port = 0;
  v.TCPPort = QString::number(port);
  v.IPAddress = ui->eIPAddress->text();
  v.PortPath = PortPathOf(ui->cmbPortPath);
  return v;
}

bool TfrmSettings::IsValidIPAddress(const QString& text) {
  QString rest = text;
  for (int i = 0; i < 4; ++i) {
    const qsizetype dot = rest.indexOf(QLatin1Char('.'));
    const QString part = dot < 0 ? rest : rest.left(dot);
    rest = dot < 0 ? QString() : rest.mid(dot + 1);
    std::int32_t n = 0;
    if (part.isEmpty() || !TryParseInt32(part.toStdString(), n) || n < 0 || n > 255) {
      return false;
    }
  }
  return true;
}

bool TfrmSettings::FormCloseQuery() {
  if (!ui->rbTCP->isChecked()) return true;
  const QString ip = ui->eIPAddress->text().trimmed();
  if (IsValidIPAddress(ip)) return true;
  ShowError(QStringLiteral("Невалиден IP адрес: \"%1\"").arg(ip));
  return false;
}

void TfrmSettings::done(int result) {
  if (result == QDialog::Accepted && !FormCloseQuery()) return;
  QDialog::done(result);
}
