#include "AboutDialog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMouseEvent>
#include <QScreen>
#include <QUrl>

#include "ui_AboutDialog.h"

#ifndef FPR_VERSION
#define FPR_VERSION ""
#endif

TAboutDlg::TAboutDlg(QWidget* parent) : QDialog(parent), ui(new Ui::TAboutDlg) {
  ui->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  ui->ProgramIcon->setPixmap(QPixmap(QStringLiteral(":/console/logo.png")));
  ui->LabelWeb->setForegroundRole(QPalette::Link);
  ui->LabelWeb->installEventFilter(this);
  connect(ui->btnClose, &QPushButton::clicked, this, &QDialog::accept);
  OpenUrl = [](const QString& address) { QDesktopServices::openUrl(QUrl(address)); };
}

TAboutDlg::~TAboutDlg() = default;

const QStringList& TAboutDlg::VersionInfoKeys() {
  static const QStringList keys = {
      QStringLiteral("CompanyName"),      QStringLiteral("FileDescription"),
      QStringLiteral("FileVersion"),      QStringLiteral("InternalName"),
      QStringLiteral("LegalCopyright"),   QStringLiteral("LegalTradeMarks"),
      QStringLiteral("OriginalFileName"), QStringLiteral("ProductName"),
      QStringLiteral("ProductVersion"),   QStringLiteral("Comments")};
  return keys;
}

QString TAboutDlg::GetVersionString() { return QStringLiteral(FPR_VERSION); }

void TAboutDlg::FormShow() {
  ui->lblProgName->setText(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
  ui->lblVerCOM->setText(QStringLiteral("Version: ") + GetVersionString());
}

void TAboutDlg::LabelWebClick() { OpenUrl(ui->LabelWeb->toolTip()); }

void TAboutDlg::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
  if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

// The label is the link: a click opens the address held in its hint. The hand
// pointer over it comes from the label's cursor.
bool TAboutDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui->LabelWeb && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    LabelWebClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}
