// The "Other" tab: its read and programming groups, against the simulator over
// loopback and, where the simulator cannot give an answer, a scripted device.
#include <QtTest>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>

#include "ConsoleTestSupport.h"
#include "OptionalDateEdit.h"
#include "OtherTab.h"
#include "SimClock.h"
#include "ui_OtherTab.h"

namespace {

// Seconds of the simulator's clock at a civil date and time.
std::int64_t SimSeconds(int y, int mo, int d, int h, int mi, int s) {
  return *sim::FromCivil(sim::TCivil{y, mo, d, h, mi, s});
}

}  // namespace

class TOtherTabTest : public QObject {
  Q_OBJECT

  TFormFixture F;
  Ui::OtherTab* U() { return F.Form->Other->ui; }

  // The requests of the scripted device after the identity read.
  QStringList ScriptedSent() const {
    QStringList out;
    for (const auto& r : F.Scripted->Requests) {
      if (r.Cmd == 0x5A) continue;
      out << QStringLiteral("%1:").arg(r.Cmd, 2, 16, QLatin1Char('0')).toUpper() +
                 QString::fromStdString(r.DataText());
    }
    return out;
  }

  void Scripted() {
    F.UseScripted();
    F.ScriptIdentity();
  }

  void CheckError(const QString& title, const QString& error) {
    const TLoggedBlock b = F.LastBlock();
    QCOMPARE(b.Title, title);
    QVERIFY2(!b.Ok, qPrintable(b.Text.join('|')));
    QCOMPARE(b.Text, QStringList{error});
  }

  void CheckOk(const QString& title, const QStringList& text) {
    const TLoggedBlock b = F.LastBlock();
    QCOMPARE(b.Title, title);
    QVERIFY2(b.Ok, qPrintable(b.Text.join('|')));
    QCOMPARE(b.Text, text);
  }

 private slots:
  void init() { F.Fresh(); }
  void cleanup() { F.Release(); }

  void DefaultsAndLabels() {
    QVERIFY(U()->c7SysDateTime_DateDateEdit->IsEmpty());
    QCOMPARE(U()->c7SysDateTime_TimeDateTimePicker->time(), QTime(0, 0));
    QCOMPARE(U()->c7PayedOutReceivedOnAccountEdit->text(), QStringLiteral("0"));
    QCOMPARE(U()->eMultipl->text(), QStringLiteral("1"));
    QCOMPARE(U()->eDecimals->text(), QStringLiteral("1"));
    QCOMPARE(U()->etax8->text(), QStringLiteral("0"));
    QVERIFY(!U()->eTax5Enbl->isChecked());
    QCOMPARE(U()->SpinHeight->minimum(), 3);
    // Every label leads to its input.
    const auto labels = F.Form->Other->findChildren<QLabel*>();
    QCOMPARE(labels.size(), 21);
    for (QLabel* l : labels) QVERIFY2(l->buddy(), qPrintable(l->objectName()));
    QCOMPARE(U()->lblPayTypeNo->text(), QStringLiteral("Pay name  No:"));
  }

  // ---- Reads

  void ClockReadFillsDateAndTime() {
    F.UseSimulator();
    F.Sim->Device().SetClock([] { return SimSeconds(2026, 12, 7, 9, 5, 59); });
    U()->btnGetDate->click();
    QCOMPARE(F.SentTexts(), QStringList{"3E:"});
    CheckOk(QStringLiteral("Get printer date and time"), {"07.12.2026 09:05:59"});
    QCOMPARE(U()->c7SysDateTime_DateDateEdit->date(), QDate(2026, 12, 7));
    QCOMPARE(U()->c7SysDateTime_TimeDateTimePicker->time(), QTime(9, 5, 59));
  }

  void FailedClockReadLeavesTheControls() {
    Scripted();
    U()->c7SysDateTime_DateDateEdit->setDate(QDate(2025, 1, 2));
    F.Scripted->Answer("07-12-2");  // too short
    U()->btnGetDate->click();
    QVERIFY(!F.LastBlock().Ok);
    QCOMPARE(U()->c7SysDateTime_DateDateEdit->date(), QDate(2025, 1, 2));
    QCOMPARE(U()->c7SysDateTime_TimeDateTimePicker->time(), QTime(0, 0));
  }

  void GeneralSettingsReadShowsMultiplierAndDecimals() {
    Scripted();
    F.Scripted->Answer("100,2,BGN,10100000,20.00,9.00,0.00,0.00,0.00,0.00,0.00,5.50");
    U()->bFunc53Get->click();
    QCOMPARE(ScriptedSent(), QStringList{"53:"});
    CheckOk(QStringLiteral("Get decimal, currency... - [53H]"), {});
    QCOMPARE(U()->eMultipl->text(), QStringLiteral("100"));
    QCOMPARE(U()->eDecimals->text(), QStringLiteral("2"));
    QCOMPARE(U()->eCurrency->text(), QStringLiteral("BGN"));
    const TGeneralSettingsTexts t = F.Form->Other->SettingsTexts();
    QCOMPARE(t.TaxVals[0], QStringLiteral("20.00"));
    QCOMPARE(t.TaxVals[7], QStringLiteral("5.50"));
    const std::array<bool, 8> on{true, false, true, false, false, false, false, false};
    QCOMPARE(t.TaxEnabled, on);
  }

  void BarcodeHeightRead_data() {
    QTest::addColumn<QString>("dots");
    QTest::addColumn<int>("shown");
    QTest::addColumn<QStringList>("result");
    QTest::newRow("84 dots") << "84" << 10 << QStringList{};
    QTest::newRow("240 dots") << "240" << 30 << QStringList{};
    // 2 mm cannot be shown: the box keeps its value and the log says what the device holds.
    QTest::newRow("16 dots") << "16" << 7
                             << QStringList{"Height[mm]: 2 (outside 3..300, not shown)"};
  }
  void BarcodeHeightRead() {
    QFETCH(QString, dots);
    QFETCH(int, shown);
    QFETCH(QStringList, result);
    Scripted();
    U()->SpinHeight->setValue(7);
    F.Scripted->Answer(dots.toStdString());
    U()->bGetBCodeHeight->click();
    QCOMPARE(ScriptedSent(), QStringList{"2B:IB"});
    CheckOk(QStringLiteral("Get barcode height .. - [2BH]"), result);
    QCOMPARE(U()->SpinHeight->value(), shown);
  }

  void PayNameSetThenRead() {
    F.UseSimulator();
    U()->rxPayTypeNo->setValue(2);
    QTest::keyClicks(U()->edtPayNameText, QStringLiteral("  CARD X "));
    U()->btnSetPayName->click();
    CheckOk(QStringLiteral("Set pay type name [55H]."), {"OK"});
    U()->edtPayNameText->clear();
    U()->btnGetPayName->click();
    CheckOk(QStringLiteral("Get pay type name [55H]."), {"OK"});
    QCOMPARE(U()->edtPayNameText->text(), QStringLiteral("CARD X"));
    QCOMPARE(F.SentTexts(), (QStringList{"55:N,CARD X", "55:N"}));
  }

  // The device refuses without an error text: that is still an error.
  void RefusedPayNameIsAnError() {
    Scripted();
    U()->edtPayNameText->setText(QStringLiteral("CARD"));
    F.Scripted->Answer("F");
    U()->btnSetPayName->click();
    CheckError(QStringLiteral("Set pay type name [55H]."),
               QStringLiteral("The device refused the command."));
    QCOMPARE(ScriptedSent(), QStringList{"55:P,CARD"});
  }

  // ---- Clock

  // A date deleted from the box leaves it empty: nothing is sent.
  void ClockSetRefusesAnEmptyDate() {
    F.UseScripted();
    TOptionalDateEdit* box = U()->c7SysDateTime_DateDateEdit;
    box->setDate(QDate(2026, 12, 7));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Delete);
    QVERIFY(box->IsEmpty());
    U()->btn03DH->click();
    CheckError(QStringLiteral("Set printer date and time"),
               QStringLiteral("Date value is invalid. "));
    QCOMPARE(F.Scripted->ConnectCalls, 0);
    QVERIFY(F.Scripted->Requests.empty());
  }

  void ClockSetThenReadBack() {
    F.UseSimulator();
    F.Sim->Device().SetClock([] { return SimSeconds(2025, 3, 1, 12, 0, 0); });
    TOptionalDateEdit* box = U()->c7SysDateTime_DateDateEdit;
    box->setDate(QDate(2026, 12, 7));
    U()->c7SysDateTime_TimeDateTimePicker->setTime(QTime(9, 5, 59));
    U()->btn03DH->click();
    CheckOk(QStringLiteral("Set printer date and time"), {"07.12.2026 09:05:59"});
    box->Clear();
    U()->btnGetDate->click();
    CheckOk(QStringLiteral("Get printer date and time"), {"07.12.2026 09:05:00"});
    QCOMPARE(box->date(), QDate(2026, 12, 7));
    QCOMPARE(F.SentTexts(), (QStringList{"3D:07-12-26 09:05", "3E:"}));
  }

  // ---- Cash in and out

  void AmountThatIsNotAnAmount_data() {
    QTest::addColumn<QString>("amount");
    QTest::newRow("zero") << QStringLiteral("0");
    QTest::newRow("letters") << QStringLiteral("abc");
    QTest::newRow("empty") << QString();
  }
  void AmountThatIsNotAnAmount() {
    QFETCH(QString, amount);
    Scripted();
    U()->c7PayedOutReceivedOnAccountEdit->setText(amount);
    U()->btn028H->click();
    CheckError(QStringLiteral("Import or export amount(46H)"),
               QStringLiteral("Invalid value for Amount."));
    // Checked on an open link: connected, nothing but the identity sent.
    QCOMPARE(F.Scripted->ConnectCalls, 1);
    QVERIFY(ScriptedSent().isEmpty());
  }

  void CashInThenOut() {
    F.UseSimulator();
    struct {
      QString Typed;
      QString Sent;
      QString Result;
    } steps[] = {{"10", "46:10.00", "Import/Export amount: 10.00"},
                 {"-3", "46:-3.00", "Import/Export amount: -3.00"}};
    for (const auto& s : steps) {
      U()->c7PayedOutReceivedOnAccountEdit->setText(s.Typed);
      U()->btn028H->click();
      CheckOk(QStringLiteral("Import or export amount(46H)"), {s.Result});
      QCOMPARE(F.SentTexts().last(), s.Sent);
    }
    QCOMPARE(F.Sim->Device().CashSum(), 700);
  }

  // ---- Operators

  void BlankOperatorNameIsRefusedAfterConnecting() {
    Scripted();
    U()->edtOperName->setText(QStringLiteral(" \t "));
    U()->btnSetUserName->click();
    CheckError(QStringLiteral("Edit operator (66H)"), QStringLiteral("Operator name is empty."));
    QCOMPARE(F.Scripted->ConnectCalls, 1);
    QVERIFY(ScriptedSent().isEmpty());
  }

  void OperatorIsSentTrimmed() {
    F.UseSimulator();
    U()->rxOperNo->setValue(3);
    QTest::keyClicks(U()->edtOperName, QStringLiteral(" Ivan Petrov "));
    QTest::keyClicks(U()->edtOperPass, QStringLiteral(" 12 "));
    U()->btnSetUserName->click();
    CheckOk(QStringLiteral("Edit operator (66H)"), {});
    QCOMPARE(F.SentTexts(), QStringList{"66:3,12,Ivan Petrov"});
    QCOMPARE(F.Sim->Device().Snapshot().Operators.at(3).Name, std::string("Ivan Petrov"));
  }

  void OperatorNameWithoutACp1251ByteIsNotSent() {
    F.UseScripted();
    F.Form->DeviceSerialNo = "QZ999834";  // identity read before
    U()->edtOperName->setText(QString::fromUtf8("Ivan 中"));
    U()->btnSetUserName->click();
    QVERIFY(!F.LastBlock().Ok);
    QVERIFY(F.LastBlock().Text.value(0).contains(QStringLiteral("U+4E2D")));
    QCOMPARE(F.Scripted->ConnectCalls, 1);
    QVERIFY(F.Scripted->Requests.empty());
  }

  // ---- General settings

  void GeneralSettingsChecks_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("error");
    QTest::newRow("multiplier x") << "eMultipl"
                                  << "x"
                                  << "Invalid value for Multiplier";
    QTest::newRow("multiplier -1") << "eMultipl"
                                   << "-1"
                                   << "Invalid value for Multiplier";
    QTest::newRow("decimals empty") << "eDecimals"
                                    << ""
                                    << "Invalid value for Decimals";
    QTest::newRow("rate -5") << "eTax3"
                             << "-5"
                             << "Invalid value for : WatGrp[3]";
    QTest::newRow("rate not a number") << "etax8"
                                       << "9%"
                                       << "Invalid value for : WatGrp[8]";
  }
  void GeneralSettingsChecks() {
    QFETCH(QString, control);
    QFETCH(QString, typed);
    QFETCH(QString, error);
    F.UseScripted();
    F.Form->Other->findChild<QLineEdit*>(control)->setText(typed);
    U()->btnFunc53Set->click();
    CheckError(QStringLiteral("Set decimal, currency... - [53H]"), error);
    QCOMPARE(F.Scripted->ConnectCalls, 0);
  }

  void FirstBadRateIsNamed() {
    F.UseScripted();
    U()->eTax5->setText(QStringLiteral("-1"));
    U()->eTax3->setText(QStringLiteral("-5"));
    U()->btnFunc53Set->click();
    CheckError(QStringLiteral("Set decimal, currency... - [53H]"),
               QStringLiteral("Invalid value for : WatGrp[3]"));
  }

  void GeneralSettingsSetThenReadBack() {
    F.UseSimulator();
    TGeneralSettingsTexts typed;
    typed.Multiplier = QStringLiteral("100");
    typed.Decimals = QStringLiteral("2");
    typed.Currency = QStringLiteral(" BGN ");
    typed.TaxVals = {"20", "9.5", "0", "0", "0", "0", "0", "12.345"};
    typed.TaxEnabled = {true, true, false, false, false, false, false, true};
    F.Form->Other->ShowSettingsTexts(typed);
    U()->btnFunc53Set->click();
    CheckOk(QStringLiteral("Set decimal, currency... - [53H]"), {});
    QCOMPARE(F.SentTexts(),
             QStringList{"53:100,2,BGN,11000001,20.00,9.50,0.00,0.00,0.00,0.00,0.00,12.35"});

    F.Form->Other->ShowSettingsTexts(TGeneralSettingsTexts{});
    U()->bFunc53Get->click();
    const TGeneralSettingsTexts back = F.Form->Other->SettingsTexts();
    QCOMPARE(back.Multiplier, QStringLiteral("100"));
    QCOMPARE(back.Decimals, QStringLiteral("2"));
    QCOMPARE(back.Currency, QStringLiteral("BGN"));
    QCOMPARE(back.TaxVals[1], QStringLiteral("9.50"));
    QCOMPARE(back.TaxVals[7], QStringLiteral("12.35"));
    QCOMPARE(back.TaxEnabled, typed.TaxEnabled);
    // A second set of what was read sends the same bytes.
    U()->btnFunc53Set->click();
    QCOMPARE(F.SentTexts().last(), F.SentTexts().first());
  }

  void RatesFollowTheRegionalSeparator() {
    Scripted();
    F.Scripted->Regional = TRegionalSettings{',', ':'};
    U()->eTax1->setText(QStringLiteral("20,5"));
    F.Scripted->Answer("1,1,,00000000,20,50,0,00,0,00,0,00,0,00,0,00,0,00,0,00");
    U()->btnFunc53Set->click();
    QCOMPARE(ScriptedSent(),
             QStringList{"53:1,1,,00000000,20,50,0,00,0,00,0,00,0,00,0,00,0,00,0,00"});
  }

  // ---- Barcode height

  void BarcodeHeightSet_data() {
    QTest::addColumn<int>("mm");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QString>("error");
    QTest::newRow("3 mm") << 3 << QStringList{"2B:B24"} << QString();
    QTest::newRow("30 mm") << 30 << QStringList{"2B:B240"} << QString();
    QTest::newRow("31 mm") << 31 << QStringList{} << QStringLiteral("[Height]31mm/248px");
  }
  void BarcodeHeightSet() {
    QFETCH(int, mm);
    QFETCH(QStringList, sent);
    QFETCH(QString, error);
    F.UseSimulator();
    U()->SpinHeight->setValue(mm);
    U()->bSetBCodeHeight->click();
    const TLoggedBlock b = F.LastBlock();
    QCOMPARE(b.Title, QStringLiteral("Get barcode height .. - [2BH]"));
    QCOMPARE(b.Ok, error.isEmpty());
    if (!error.isEmpty()) {
      QVERIFY2(b.Text.value(0).startsWith(QStringLiteral("Invalid input data.")),
               qPrintable(b.Text.join('|')));
      QVERIFY(b.Text.value(0).contains(error));
    }
    QCOMPARE(F.SentTexts(), sent);
  }
};

QTEST_MAIN(TOtherTabTest)
#include "test_console_other.moc"
