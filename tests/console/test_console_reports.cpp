// The "Fiscal reports" tab: reports by block and by date, daily reports and
// totals, against the simulator over loopback and a scripted device.
#include <QtTest>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ConsoleTestSupport.h"
#include "FiscalReportsTab.h"
#include "OptionalDateEdit.h"
#include "ui_FiscalReportsTab.h"

namespace {

const QDate kNoDate;  // an empty date box

// Group А 12.34, group Б 5.00, paid in cash: the day's turnover is 17.34.
void BookReceipt(TSimDevice& dev) {
  for (const auto& [cmd, data] :
       std::vector<std::pair<std::uint8_t, std::string>>{{0x90, "OP,QZ999834-0001-0000001"},
                                                         {0x31,
                                                          "SALE\t\xC0"
                                                          "12.34"},
                                                         {0x31,
                                                          "SALE\t\xC1"
                                                          "5.00"},
                                                         {0x35, "\tP17.34"},
                                                         {0x38, ""}}) {
    QVERIFY2(dev.Execute(cmd, data).Executed, qPrintable(QString::number(cmd, 16)));
  }
}

// The eight "SumVat[N]: " lines after the booked receipt.
QStringList BookedVatLines() {
  QStringList lines{"SumVat[1]: 12.34", "SumVat[2]: 5.00"};
  for (int n = 3; n <= 8; ++n) lines << QStringLiteral("SumVat[%1]: 0.00").arg(n);
  return lines;
}

}  // namespace

class TFiscalReportsTest : public QObject {
  Q_OBJECT

  TFormFixture F;
  Ui::FiscalReportsTab* Ui() { return F.Form->FiscalReports->ui; }

  QPushButton* Button(const QString& name) {
    auto* b = F.Form->FiscalReports->findChild<QPushButton*>(name);
    if (!b) qFatal("no button %s", qPrintable(name));
    return b;
  }

 private slots:
  void init() { F.Fresh(); }
  void cleanup() { F.Release(); }

  void ControlsAndDefaults() {
    QCOMPARE(Ui()->c2StartNmbEdit->maxLength(), 10);
    QCOMPARE(Ui()->c2EndNmbEdit->maxLength(), 10);
    QVERIFY(Ui()->c2StartDateEdit->IsEmpty());
    QCOMPARE(Ui()->c2StartDateEdit->Value(), 0.0);
    QVERIFY(Ui()->c2EndDateEdit->IsEmpty());
    QVERIFY(!Ui()->c4PrinterReportZReportCheckBox->isChecked());
    QVERIFY(Ui()->rbTurnover->isChecked());
    QVERIFY(!Ui()->rbVATSOnly->isChecked());
    QCOMPARE(Ui()->GroupBox14->title(), QStringLiteral("Totals "));
  }

  void EmptyDateBox() {
    TOptionalDateEdit* e = Ui()->c2StartDateEdit;
    e->setDate(QDate(2024, 3, 1));
    QVERIFY(!e->IsEmpty());
    QCOMPARE(e->text(), QStringLiteral("01.03.2024"));
    QTest::keyClick(e, Qt::Key_Delete);
    QVERIFY(e->IsEmpty());
    QCOMPARE(e->Value(), 0.0);
    // Stepping from empty starts at today, not at 1899.
    e->stepBy(1);
    QCOMPARE(e->date(), QDate::currentDate());
    // Digits typed into the blank fill in a date.
    e->Clear();
    QTest::keyClicks(e, QStringLiteral("15032024"));
    QCOMPARE(e->date(), QDate(2024, 3, 15));
  }

  void ReportByBlock_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("text");
    const QString detail = QStringLiteral("Start detail fiscal report by block(49H).");
    const QString brief = QStringLiteral("Start short fiscal report by block(49H).");
    QTest::newRow("end below start")
        << "btnDetailRepByBlock"
        << "5"
        << "3" << detail << QStringList{} << false << "Values are invalid.";
    QTest::newRow("detail 3..5") << "btnDetailRepByBlock"
                                 << "3"
                                 << "5" << detail << QStringList{"49:3,5"} << true
                                 << "Start block: 3, End block:5";
    QTest::newRow("short 3..5") << "btnShortRepByBlock"
                                << "3"
                                << "5" << brief << QStringList{"5F:3,5"} << true
                                << "Start block: 3,  End block: 5";
    QTest::newRow("empty end") << "btnDetailRepByBlock"
                               << "3"
                               << "" << detail << QStringList{} << false << "Invalid final number.";
    QTest::newRow("start checked first")
        << "btnShortRepByBlock"
        << "x"
        << "" << brief << QStringList{} << false << "Invalid start number.";
    QTest::newRow("not 32 bits") << "btnDetailRepByBlock"
                                 << "1"
                                 << "4294967296" << detail << QStringList{} << false
                                 << "Invalid final number.";
  }
  void ReportByBlock() {
    QFETCH(QString, button);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, title);
    QFETCH(QStringList, sent);
    QFETCH(bool, ok);
    QFETCH(QString, text);
    F.UseSimulator();
    QTest::keyClicks(Ui()->c2StartNmbEdit, start);
    QTest::keyClicks(Ui()->c2EndNmbEdit, end);
    Button(button)->click();
    QCOMPARE(F.SentTexts(), sent);
    // A refused input does not even open the link.
    if (!ok) QVERIFY(F.SimRequests.empty());
    QCOMPARE(F.Blocks().size(), 1);
    QCOMPARE(F.LastBlock().Title, title);
    QCOMPARE(F.LastBlock().Ok, ok);
    QCOMPARE(F.LastBlock().Text, QStringList{text});
    QVERIFY(!F.Form->Device->IsConnected());
  }

  void ReportByDate_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QString>("text");
    const QDate first(2024, 3, 1);
    const QDate fifteenth(2024, 3, 15);
    QTest::newRow("both empty") << "btnDetaiReportByDate" << kNoDate << kNoDate << QStringList{}
                                << "Date values are invalid.[Start date]";
    QTest::newRow("start empty") << "btnShortRepByDate" << kNoDate << fifteenth << QStringList{}
                                 << "Date values are invalid.[Start date]";
    QTest::newRow("end empty") << "btnDetaiReportByDate" << first << kNoDate << QStringList{}
                               << "Date values are invalid.";
    QTest::newRow("end first") << "btnShortRepByDate" << fifteenth << first << QStringList{}
                               << "Date values are invalid.";
    QTest::newRow("detail") << "btnDetaiReportByDate" << first << fifteenth
                            << QStringList{"5E:010324,150324"} << "01.03.2024-15.03.2024";
    QTest::newRow("short") << "btnShortRepByDate" << first << fifteenth
                           << QStringList{"4F:010324,150324"} << "01.03.2024-15.03.2024";
  }
  void ReportByDate() {
    QFETCH(QString, button);
    QFETCH(QDate, start);
    QFETCH(QDate, end);
    QFETCH(QStringList, sent);
    QFETCH(QString, text);
    F.UseSimulator();
    if (start.isValid()) Ui()->c2StartDateEdit->setDate(start);
    if (end.isValid()) Ui()->c2EndDateEdit->setDate(end);
    Button(button)->click();
    QCOMPARE(F.SentTexts(), sent);
    if (sent.isEmpty()) QVERIFY(F.SimRequests.empty());
    const QString title = button == QLatin1String("btnShortRepByDate")
                              ? QStringLiteral("Start short report by date(4FH).")
                              : QStringLiteral("Start detail report by date(5EH).");
    QCOMPARE(F.LastBlock().Title, title);
    QCOMPARE(F.LastBlock().Ok, !sent.isEmpty());
    QCOMPARE(F.LastBlock().Text, QStringList{text});
  }

  void DailyReportMatchesTheBookedReceipt_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("zero");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("total");
    QTest::newRow("45 X") << "btnDayReport" << false << "Print daily report(45H)."
                          << "45:2"
                          << "SumTOTAL: 17.34";
    QTest::newRow("45 Z") << "btnDayReport" << true << "Print daily report(45H). (Reset)"
                          << "45:0"
                          << "SumTOTAL: 17.34";
    QTest::newRow("75 X") << "btnDayRepByDep" << false << "Print daily report by departments (75H)."
                          << "75:2"
                          << "FM_TOTAL: 17.34";
    QTest::newRow("76 Z") << "btnPrintRepDepAndPlu" << true
                          << "Print daily report by departments (76H). (Reset)"
                          << "76:0"
                          << "FM_TOTAL: 17.34";
  }
  void DailyReportMatchesTheBookedReceipt() {
    QFETCH(QString, button);
    QFETCH(bool, zero);
    QFETCH(QString, title);
    QFETCH(QString, sent);
    QFETCH(QString, total);
    F.UseSimulator();
    TSimDevice& dev = F.Sim->Device();
    dev.Mutate([](sim::TSimState& s) { s.Closure = 12; });
    BookReceipt(dev);
    Ui()->c4PrinterReportZReportCheckBox->setChecked(zero);
    Button(button)->click();
    QCOMPARE(F.SentTexts(), QStringList{sent});
    QCOMPARE(F.LastBlock().Title, title);
    QVERIFY(F.LastBlock().Ok);
    QCOMPARE(F.LastBlock().Text, QStringList({"Closure: 0000000012", total}) + BookedVatLines());
    // Only the reset report closes the day.
    QCOMPARE(dev.Closure(), zero ? 13 : 12);
  }

  // Without paper the device prints nothing and the day stays open.
  void DailyReportWithoutPaper() {
    F.UseSimulator();
    F.Sim->Device().SetStatusBit(2, 0, true);
    Ui()->c4PrinterReportZReportCheckBox->setChecked(true);
    Ui()->btnDayReport->click();
    QCOMPARE(F.SentTexts(), QStringList{"45:0"});
    QVERIFY(!F.LastBlock().Ok);
    QVERIFY2(F.LastBlock().Text.join(' ').contains(QStringLiteral("[2/0]")),
             qPrintable(F.LastBlock().Text.join(' ')));
    QCOMPARE(F.Sim->Device().Closure(), 1);
  }

  void TurnoverMatchesTheBookedReceipt() {
    F.UseSimulator();
    BookReceipt(F.Sim->Device());
    Ui()->btnGetTotalAmounts->click();
    QCOMPARE(F.SentTexts(), QStringList{"41:0"});
    QCOMPARE(F.LastBlock().Title, QStringLiteral("Get total amounts(41H)"));
    QStringList expected{"Get Total turnover", "Total turnover for VAT grp[1]=12.34",
                         "Total turnover for VAT grp[2]=5.00"};
    for (int i = 3; i <= 8; ++i)
      expected << QStringLiteral("Total turnover for VAT grp[%1]=0.00").arg(i);
    QCOMPARE(F.LastBlock().Text, expected);
  }

  void OnlyVatAsksForTheVatAndShowsItsHead() {
    F.UseScripted();
    F.ScriptIdentity();
    F.Scripted->Answer("206,x,1");
    Ui()->rbVATSOnly->setChecked(true);
    Ui()->btnGetTotalAmounts->click();
    QCOMPARE(F.Scripted->Requests.back().Cmd, 0x41);
    QCOMPARE(F.Scripted->Requests.back().DataText(), std::string("1"));
    const QStringList text = F.LastBlock().Text;
    QCOMPARE(text.size(), 9);
    QCOMPARE(text[0], QStringLiteral("Get Accumulated VAT"));
    QCOMPARE(text.mid(1, 3), (QStringList{"Accumulated VAT for VAT grp[1]=2.06",
                                          "Accumulated VAT for VAT grp[2]=0.00",
                                          "Accumulated VAT for VAT grp[3]=0.01"}));
    QCOMPARE(text[8], QStringLiteral("Accumulated VAT for VAT grp[8]=0.00"));
  }

  void TotalsByPayType() {
    F.UseScripted();
    QStringList eleven;
    for (int i = 1; i <= 11; ++i) eleven << QString::number(i * 100);
    struct {
      const char* Name;
      std::vector<std::string> Answers;  // empty: the read fails
      int Requests;
      QStringList Tail;  // pay type 11, closure, receipt
    } cases[] = {
        {"eleven types",
         {eleven.join(',').toStdString() + ",12,345"},
         1,
         {"Totals for pay type[11]= 11.00", "Closure= 0000000012", "Receipt= 345"}},
        {"eight types after a refusal",
         {"", "100,200,300,400,500,600,700,800,12,7"},
         2,
         {"Totals for pay type[11]= 0.00", "Closure= 0000000012", "Receipt= 7"}},
    };
    for (const auto& c : cases) {
      F.Form->Clear1Click();
      F.Scripted->Requests.clear();
      F.Form->DeviceSerialNo.clear();
      F.ScriptIdentity();
      for (const std::string& a : c.Answers) {
        if (a.empty()) {
          F.Scripted->Answer("", StatusWith({{0, 1}}));
        } else {
          F.Scripted->Answer(a);
        }
      }
      Ui()->btnTotalsByPay->click();
      const TLoggedBlock b = F.LastBlock();
      QVERIFY2(b.Ok, c.Name);
      QCOMPARE(b.Title, QStringLiteral("Get totals by pay type(6EH)"));
      QCOMPARE(static_cast<int>(F.Scripted->Requests.size()), 1 + c.Requests);
      for (std::size_t i = 1; i < F.Scripted->Requests.size(); ++i) {
        QCOMPARE(F.Scripted->Requests[i].Cmd, 0x6E);
        QCOMPARE(F.Scripted->Requests[i].DataText(), std::string("11"));
      }
      QCOMPARE(b.Text.size(), 13);
      QCOMPARE(b.Text[0], QStringLiteral("Totals for pay type[1]= 1.00"));
      QCOMPARE(b.Text.mid(10), c.Tail);
    }
  }

  void TotalsByPayTypeReportsTheSecondError() {
    F.UseScripted();
    F.ScriptIdentity();
    F.Scripted->Fail(107, "first");
    F.Scripted->Fail(108, "second");
    Ui()->btnTotalsByPay->click();
    QCOMPARE(F.LastBlock().Ok, false);
    QCOMPARE(F.LastBlock().Text, QStringList{"second"});
  }
};

QTEST_MAIN(TFiscalReportsTest)
#include "test_console_reports.moc"
