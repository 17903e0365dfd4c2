// The about box.
#include <QtTest>

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include "AboutDialog.h"
#include "ui_AboutDialog.h"

class TAboutTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowingFillsNameAndVersionEveryTime() {
    TAboutDlg d;
    QCOMPARE(d.windowTitle(), QStringLiteral("About"));
    QCOMPARE(d.ui->lblProgName->text(), QStringLiteral("-"));
    QCOMPARE(d.ui->lblVerCOM->text(), QStringLiteral("-"));
    QVERIFY(!d.ui->ProgramIcon->pixmap().isNull());
    QCOMPARE(d.ui->ProgramIcon->pixmap().size(), QSize(128, 36));
    QVERIFY(d.ui->ProductName->font().bold());
    QVERIFY(d.ui->ProductName->text().startsWith(
        QStringLiteral("Test application for fiscal printer\n")));
    for (int i = 0; i < 2; ++i) {
      d.ui->lblProgName->setText(QStringLiteral("-"));
      d.show();
      QCOMPARE(d.ui->lblProgName->text(),
               QFileInfo(QCoreApplication::applicationFilePath()).fileName());
      QCOMPARE(d.ui->lblVerCOM->text(), QStringLiteral("Version: " FPR_VERSION));
      d.ui->btnClose->click();
      QVERIFY(!d.isVisible());
    }
  }

  void VersionComesFromTheBuild() {
    QVERIFY(!TAboutDlg::GetVersionString().isEmpty());
    QCOMPARE(TAboutDlg::GetVersionString(), QStringLiteral(FPR_VERSION));
    QCOMPARE(TAboutDlg::VersionInfoKeys().size(), 10);
    QVERIFY(TAboutDlg::VersionInfoKeys().contains(QStringLiteral("FileVersion")));
  }

  void ClickingTheAddressOpensItsHint() {
    TAboutDlg d;
    QStringList opened;
    d.OpenUrl = [&](const QString& url) { opened << url; };
    d.show();
    QVERIFY(d.ui->LabelWeb->font().underline());
    QCOMPARE(d.ui->LabelWeb->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(d.ui->LabelWeb, Qt::LeftButton);
    QCOMPARE(opened, QStringList{d.ui->LabelWeb->toolTip()});
    QVERIFY(opened[0].startsWith(QStringLiteral("http")));
  }
};

QTEST_MAIN(TAboutTest)
#include "test_console_about.moc"
