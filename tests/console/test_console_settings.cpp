// The INI file, the window placement, the settings dialog and how the window applies it.
#include <QtTest>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include "ConsoleTestSupport.h"
#include "SerialPorts.h"
#include "SettingsStore.h"
#include "TCPDeviceUnit.h"
#include "uSettings.h"
#include "ui_uSettings.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// Every key set to something other than its default.
TConsoleSettings EveryKeyChanged() {
  TConsoleSettings s;
  s.Connection = {
      7,    QStringLiteral("4800"),        QStringLiteral("10.0.0.1.7"), QStringLiteral("4999"),
      true, QStringLiteral("/dev/ttyUSB0")};
  s.OperatorNo = 12;
  s.OperatorPassword = QStringLiteral("0012");
  s.POSNo = 345;
  s.OperatorName = QString::fromUtf8("Иван");
  s.ShowHex = s.ShowDetailed = s.ShowRaw = s.ShowStatus = true;
  s.FontSize = 14;
  s.FMIN = QStringLiteral("12345678");
  s.LastUNP = QStringLiteral("AB123456-0001-0000002");
  return s;
}

}  // namespace

class TSettingsTest : public QObject {
  Q_OBJECT

  QTemporaryDir Dir;
  QString Path(const char* name) const { return Dir.filePath(QLatin1String(name)); }

 private slots:
  void MissingFileGivesTheDefaults() {
    const TConsoleSettings s = LoadSettingsFile(Path("none.ini"));
    QCOMPARE(s, TConsoleSettings{});
    QCOMPARE(s.Connection.PortNo, 1);
    QCOMPARE(s.Connection.BaudNo, QStringLiteral("115200"));
    QVERIFY(!s.Connection.UseTCP);
    QVERIFY(!s.ShowHex && !s.ShowDetailed && !s.ShowRaw && !s.ShowStatus);
    QCOMPARE(s.FontSize, 11);
    QCOMPARE(s.FMIN, QStringLiteral("44999834"));
    QCOMPARE(s.LastUNP, QStringLiteral("QZ999834-1234-1234567"));
  }

  void FileOfTheWindowsProgramReadsCp1251Texts() {
    const QString path = Path("cp1251.ini");
    WriteAll(path, QByteArray("[Operator]\r\neOpName=\xC8\xE2\xE0\xED\r\npass=x\r\n"));
    QCOMPARE(LoadSettingsFile(path).OperatorName, QString::fromUtf8("Иван"));
  }

  void EveryKeySurvivesSaveAndLoad() {
    const QString path = Path("round.ini");
    TConsoleSettings s = EveryKeyChanged();
    s.OperatorPassword = QStringLiteral("  0012 ");
    QString error;
    QVERIFY2(SaveSettingsFile(path, s, &error), qPrintable(error));
    s.OperatorPassword = QStringLiteral("0012");  // written trimmed
    QCOMPARE(LoadSettingsFile(path), s);

    const QByteArray text = ReadAll(path);
    for (const char* line :
         {"[Communication]", "PortNo=7", "BaudNo=4800", "IP_Address=10.0.0.1.7", "TCP_port=4999",
          "UseTCP=1", "PortPath=/dev/ttyUSB0", "[Operator]", "nom=12", "pass=0012", "POSNo=345",
          "[Options]", "ShowHex=1", "ShowDetailed=1", "ShowRaw=1", "ShowStatus=1", "FontSize=14",
          "Set_FMIN=12345678", "Set_LastUNP=AB123456-0001-0000002"}) {
      QVERIFY2(text.contains(line), line);
    }
    QVERIFY(SaveSettingsFile(path, TConsoleSettings{}, &error));
    QVERIFY(ReadAll(path).contains("UseTCP=0"));
  }

  void UnreadableValuesGiveDefaultsAndOtherKeysStay() {
    const QString path = Path("odd.ini");
    WriteAll(path,
             "[Communication]\r\nPortNo=abc\r\nUseTCP=yes\r\n[Options]\r\nShowRaw=5\r\n"
             "[Mine]\r\nKeep=this\r\n");
    const TConsoleSettings s = LoadSettingsFile(path);
    QCOMPARE(s.Connection.PortNo, 1);
    QVERIFY(!s.Connection.UseTCP);
    QVERIFY(s.ShowRaw);  // any integer but 0
    QString error;
    QVERIFY(SaveSettingsFile(path, s, &error));
    QVERIFY(ReadAll(path).contains("Keep=this"));
  }

  void PlacementRoundTrip() {
    const QString path = Path("place.INI");
    TWindowPlacement p;
    QVERIFY(!LoadPlacementFile(path, p));
    p.ShowCmd = 3;
    p.PixelsPerInch = 120;
    p.NormPos[0] = 10;
    p.NormPos[1] = 20;
    p.NormPos[2] = 810;
    p.NormPos[3] = 620;
    p.Splitter[0] = 270;
    p.Splitter[1] = 405;
    QString error;
    QVERIFY(SavePlacementFile(path, p, &error));
    TWindowPlacement back;
    QVERIFY(LoadPlacementFile(path, back));
    QCOMPARE(back, p);
    const QByteArray text = ReadAll(path);
    QVERIFY(text.contains("[MAIN WINDOW]"));
    QVERIFY(text.contains("NormPos=10,20,810,620"));
    QVERIFY(text.contains("MinMaxPos=-1,-1,-1,-1"));
    QVERIFY(text.contains("Splitter=270,405"));

    // A file without the divider (or with a broken one) gives the first start's split.
    for (const char* splitter : {"", "Splitter=12\r\n", "Splitter=a,b\r\n"}) {
      WriteAll(path, QByteArray("[MAIN WINDOW]\r\nShowCmd=1\r\nNormPos=1,2,3,4\r\n") + splitter);
      QVERIFY(LoadPlacementFile(path, back));
      QCOMPARE(back.Splitter[0], 0);
      QCOMPARE(back.NormPos[3], 4);
    }
  }

  void IniOfAnInstalledProgramIsInTheUsersFolder() {
    const QString cfg = QStringLiteral("/home/u/.config/fprtest/fprtest.ini");
    const struct {
      const char* program;
      bool beside, writable;
      QString ini;
    } cases[] = {
        // Root may write /usr/bin, and a stray file there is not taken either.
        {"/usr/bin/fprtest", false, true, cfg},
        {"/usr/bin/fprtest", true, true, cfg},
        {"/usr/local/bin/fprtest", false, true, cfg},
        {"/opt/velmora/bin/fprtest", true, false, cfg},
        {"/bin/fprtest", false, true, cfg},
        {"/usr/bin/../bin/fprtest", false, true, cfg},
        {"/usrx/fprtest", false, true, QStringLiteral("/usrx/fprtest.ini")},
        {"/home/u/build/src/console/fprtest", false, true,
         QStringLiteral("/home/u/build/src/console/fprtest.ini")},
        {"/media/stick/fprtest", true, false, QStringLiteral("/media/stick/fprtest.ini")},
        {"/media/stick/fprtest", false, false, cfg},
    };
    for (const auto& c : cases) {
      QCOMPARE(IniPathFor(c.program, "/home/u/.config", c.beside, c.writable), c.ini);
    }
  }

  void IniBesideTheProgramWhenItsFolderIsWritable() {
    QCOMPARE(DefaultIniPath(Dir.filePath("fprtest"), "/cfg"), Dir.filePath("fprtest.ini"));
    QCOMPARE(DefaultIniPath(Dir.filePath("no/such/fprtest"), "/cfg"),
             QStringLiteral("/cfg/fprtest/fprtest.ini"));
    QCOMPARE(DefaultPlacementPath("/opt/x/fprtest", "/cfg"), QStringLiteral("/cfg/fprtest.INI"));
  }

  void SerialDevicesAreListedByGroup() {
    const QString root = Path("dev");
    QDir().mkpath(root + "/serial/by-id");
    for (const char* n : {"ttyS10", "ttyS2", "ttyUSB0", "ttyACM1", "tty0", "serial/by-id/usb-X"}) {
      WriteAll(root + "/" + n, "");
    }
    QCOMPARE(ListSerialDevices(root),
             (QStringList{root + "/serial/by-id/usb-X", root + "/ttyUSB0", root + "/ttyACM1",
                          root + "/ttyS2", root + "/ttyS10"}));
  }

  void PortsTheUserCannotOpenAreShownAsSuchAndStoredAsPaths() {
    QComboBox box;
    box.setEditable(true);
    FillPortList(&box, {"/dev/ttyS0", "/dev/ttyUSB0"}, [](const QString& path) {
      return path.endsWith("S0") ? QStringLiteral("no access: ...") : QString();
    });
    QCOMPARE(box.count(), 3);
    QCOMPARE(box.itemText(1), "/dev/ttyS0 (no access: ...)");
    QVERIFY(box.itemData(1, Qt::ForegroundRole).isValid());
    QCOMPARE(box.itemText(2), "/dev/ttyUSB0");
    QVERIFY(!box.itemData(2, Qt::ForegroundRole).isValid());
    box.setCurrentIndex(1);
    QCOMPARE(PortPathOf(&box), "/dev/ttyS0");
    box.setEditText(" /dev/pts/7 ");
    QCOMPARE(PortPathOf(&box), "/dev/pts/7");
  }

  void IpAddressTest_data() {
    QTest::addColumn<QString>("ip");
    QTest::addColumn<bool>("valid");
    QTest::newRow("plain") << "192.168.1.30" << true;
    QTest::newRow("part above 255") << "192.168.1.300" << false;
    QTest::newRow("host name") << "printer.local" << false;
    QTest::newRow("fifth part ignored") << "10.0.0.1.7" << true;
    QTest::newRow("three parts") << "10.0.0" << false;
    QTest::newRow("empty part") << "10..0.1" << false;
    QTest::newRow("edges") << "0.0.0.255" << true;
    QTest::newRow("empty") << "" << false;
  }
  void IpAddressTest() {
    QFETCH(QString, ip);
    QFETCH(bool, valid);
    QCOMPARE(TfrmSettings::IsValidIPAddress(ip), valid);
  }

  void DialogRefusesABadAddressOnlyForTcp() {
    TfrmSettings d;
    QStringList shown;
    d.ShowError = [&](const QString& t) { shown << t; };
    d.SetValues({1, "115200", QStringLiteral(" 192.168.1.300 "), "0", true, {}});
    d.show();
    d.done(QDialog::Accepted);
    QVERIFY(d.isVisible());
    QCOMPARE(shown, QStringList{QString::fromUtf8("Невалиден IP адрес: \"192.168.1.300\"")});
    d.done(QDialog::Rejected);  // Cancel is never refused
    QVERIFY(!d.isVisible());

    d.ui->rbRS232->click();
    d.show();
    d.done(QDialog::Accepted);
    QVERIFY(!d.isVisible());
    QCOMPARE(shown.size(), 1);
  }

  void DialogShowsAndReturnsTheValues() {
    TfrmSettings d;
    QCOMPARE(d.windowTitle(), QString::fromUtf8("Настройки"));
    QCOMPARE(d.ui->ComSpin->value(), 8);
    QCOMPARE(d.ui->cmbBaudRate->currentIndex(), -1);
    QCOMPARE(d.ui->cmbBaudRate->count(), 10);
    QCOMPARE(d.ui->eTCPPort->text(), QStringLiteral("0"));

    d.SetValues({1, "4800", "10.0.0.1.7", "abc", true, {}});
    QCOMPARE(d.ui->ComSpin->value(), 1);
    QCOMPARE(d.ui->cmbBaudRate->currentText(), QStringLiteral("4800"));
    QVERIFY(d.ui->rbTCP->isChecked());
    QVERIFY(!d.ui->gbTCPSettings->isHidden());
    QVERIFY(d.ui->gBoxRS232->isHidden());
    TConnectionSettings v = d.Values();
    QCOMPARE(v.TCPPort, QStringLiteral("0"));  // not a number
    QCOMPARE(v.IPAddress, QStringLiteral("10.0.0.1.7"));
    QVERIFY(v.UseTCP);

    d.SetValues({3, "28800", {}, " 4999", false, "/dev/ttyUSB1"});
    QCOMPARE(d.ui->cmbBaudRate->currentIndex(), 5);
    d.SetValues({3, "12345", {}, " 4999", false, "/dev/ttyUSB1"});
    v = d.Values();
    QCOMPARE(v.BaudNo, QString());  // none selected
    QCOMPARE(v.TCPPort, QStringLiteral("4999"));
    QCOMPARE(v.PortPath, QStringLiteral("/dev/ttyUSB1"));
    QVERIFY(!v.UseTCP);
  }

  void FirstStartGivesDefaultsAndCloseWritesEveryKey() {
    TFormFixture f;
    f.Open();
    TMainForm& m = *f.Form;
    QCOMPARE(m.Settings, TConsoleSettings{});
    QVERIFY(!m.HEX1->isChecked() && !m.cbStatusAsString->isChecked());
    QCOMPARE(m.StatusMemo->LogFont().pointSize(), 11);
    QCOMPARE(m.StatusPanelText(0), QStringLiteral("COM1"));
    QCOMPARE(m.StatusPanelText(1), QStringLiteral("115200"));

    m.cbRaw->setChecked(true);
    m.IncreaseFontClick();
    m.close();
    const TConsoleSettings saved = LoadSettingsFile(f.IniPath());
    QVERIFY(saved.ShowRaw);
    QCOMPARE(saved.FontSize, 12);

    f.Form.reset();
    f.Open();
    QVERIFY(f.Form->cbRaw->isChecked());
    QCOMPARE(f.Form->StatusMemo->LogFont().pointSize(), 12);
  }

  void InvalidSaleNumberFromTheFileIsReplaced() {
    TFormFixture f;
    WriteAll(f.IniPath(), "[Options]\r\nSet_LastUNP=QZ999834-0001-0000000x\r\n");
    f.Open();
    QCOMPARE(f.Form->Settings.LastUNP, QStringLiteral("QZ999834-1234-1234567"));
  }

  void ConfirmedDialogChangesTheDevice() {
    TFormFixture f;
    f.Open();
    TMainForm& m = *f.Form;
    m.DeviceSerialNo = "QZ1";
    m.SetStatusPanelText(2, QStringLiteral("FP, [QZ1 1.0]"));
    QTimer::singleShot(0, [] {
      auto* d = qobject_cast<TfrmSettings*>(QApplication::activeModalWidget());
      QVERIFY(d);
      d->ui->rbTCP->click();
      d->ui->eIPAddress->setText(QStringLiteral("127.0.0.1"));
      d->ui->eTCPPort->setText(QStringLiteral("4999"));
      d->ui->btnOk->click();
    });
    m.Settings1Click();
    QVERIFY(m.Settings.Connection.UseTCP);
    QCOMPARE(m.StatusPanelText(0), QStringLiteral("127.0.0.1"));
    QCOMPARE(m.StatusPanelText(1), QStringLiteral("4999"));
    QCOMPARE(m.StatusPanelText(2), QString());
    QVERIFY(m.DeviceSerialNo.empty());
    auto* tcp = dynamic_cast<TTCPDevice*>(m.Device.get());
    QVERIFY(tcp);
    QCOMPARE(tcp->Host(), std::string("127.0.0.1"));
    QCOMPARE(tcp->Port(), 4999);

    // Cancel leaves everything as it was.
    QTimer::singleShot(0, [] {
      auto* d = qobject_cast<TfrmSettings*>(QApplication::activeModalWidget());
      QVERIFY(d);
      d->ui->rbRS232->click();
      d->ui->btnCancel->click();
    });
    m.Settings1Click();
    QVERIFY(m.Settings.Connection.UseTCP);
  }

  void WindowPlacementIsKeptBetweenRuns() {
    TFormFixture f;
    f.Open();
    f.Form->show();
    f.Form->setGeometry(40, 50, 900, 650);
    QVERIFY(QTest::qWaitForWindowExposed(f.Form.get()));
    f.Form.reset();
    QVERIFY(ReadAll(f.PlacementPath()).contains("[MAIN WINDOW]"));
    f.Open();
    QCOMPARE(f.Form->geometry(), QRect(40, 50, 900, 650));
  }
};

QTEST_MAIN(TSettingsTest)
#include "test_console_settings.moc"
