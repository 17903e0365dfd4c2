// The "Information" tab and the read buttons below the pages of "Fisc.receipt",
// against the simulator over TCP and, for answers it cannot give, a scripted device.
#include <QtTest>

#include <QLineEdit>
#include <QPushButton>

#include "ConsoleTestSupport.h"
#include "DeviceText.h"
#include "InformationTab.h"
#include "ReceiptOpenPage.h"
#include "ReceiptTab.h"
#include "ResultBlock.h"
#include "SimClock.h"
#include "StatusDecoding.h"
#include "ui_InformationTab.h"
#include "ui_ReceiptOpenPage.h"
#include "ui_ReceiptTab.h"

namespace {

QStringList VatLines(const QStringList& amounts) {
  QStringList lines;
  for (int i = 0; i < amounts.size(); ++i) {
    lines << QStringLiteral("VAT[%1] %2").arg(i + 1).arg(amounts[i]);
  }
  return lines;
}

const QStringList kSimRates =
    VatLines({"20.00", "20.00", "9.00", "0.00", "0.00", "0.00", "0.00", "0.00"});

}  // namespace

class TInformationTest : public QObject {
  Q_OBJECT

  TFormFixture F;
  Ui::InformationTab* Info() { return F.Form->Information->ui; }
  Ui::ReceiptTab* Rec() { return F.Form->Receipt->ui; }
  QAbstractButton* Button(const QString& name) {
    auto* b = F.Form->findChild<QAbstractButton*>(name);
    if (!b) qFatal("no button %s", qPrintable(name));
    return b;
  }

 private slots:
  void init() { F.Fresh(); }
  void cleanup() { F.Release(); }

  void ReadsShowTheSimulatorsState_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QStringList>("text");
    QTest::newRow("EIK") << "btnGetEIK"
                         << "Get EIK info.(63H) "
                         << "63:" << QStringList{"EIK:204567891"};
    QTest::newRow("last document") << "btnGetLastDoc"
                                   << "Get last document nom.(71H)"
                                   << "71:" << QStringList{"Last document nom.: 42"};
    QTest::newRow("VAT rates") << "btnGetVATValues"
                               << "Get VAT values(61H)."
                               << "61:" << kSimRates;
    QTest::newRow("free FM") << "btnGetFreeFiscRecCount"
                             << "Get free FM records(44H)."
                             << "44:" << QStringList{"Free FM record count: 1797"};
    QTest::newRow("last receipt") << "btnGetLastRecInfo"
                                  << "Get  last reciept info(67H)."
                                  << "67:"
                                  << QStringList{"Can VOID: False", "Is invoice: True",
                                                 "Next inv.nom: 57 "} +
                                         VatLines({"12.50", "0.00", "3.00", "0.00", "0.00", "0.00",
                                                   "0.00", "0.00"});
    QTest::newRow("date") << "btnGetPRNDate"
                          << "Get printer date (3EH)."
                          << "3E:" << QStringList{"Printer date:07.12.2026 14:05:09"};
    QTest::newRow("fiscal status, closed") << "btn02CH_4"
                                           << "Get fiscal status(4CH)"
                                           << "4C:T"
                                           << QStringList{"ItemsCount: 0", "Amount sum: 0.00",
                                                          "Tender sum: 0.00", "Receipt is closed."};
    QTest::newRow("receipt tab: last document") << "Button3"
                                                << "Get last document nom.(71H)"
                                                << "71:" << QStringList{"Last document nom.: 42"};
    QTest::newRow("receipt tab: receipt sums")
        << "btnRecGetRecieptSums"
        << "Get  last reciept info(67H)."
        << "67:"
        << QStringList{"Can VOID: False", "Is invoice: True", "Next inv.nom: 57 "} +
               VatLines({"12.50", "0.00", "3.00", "0.00", "0.00", "0.00", "0.00", "0.00"});
  }
  void ReadsShowTheSimulatorsState() {
    QFETCH(QString, button);
    QFETCH(QString, title);
    QFETCH(QString, sent);
    QFETCH(QStringList, text);
    F.UseSimulator();
    F.Sim->Device().SetClock([] { return *sim::FromCivil({2026, 12, 7, 14, 5, 9}); });
    F.Sim->Device().Mutate([](sim::TSimState& s) {
      s.Eik = "204567891";
      s.DocNumber = 42;
      s.Fm.resize(3);
      s.Invoices.Current = 57;
      s.Last = {{1250, 0, 300, 0, 0, 0, 0, 0}, true, true, false};
    });
    Button(button)->click();
    QCOMPARE(F.Blocks().size(), 1);
    QCOMPARE(F.LastBlock().Title, title);
    QVERIFY(F.LastBlock().Ok);
    QCOMPARE(F.LastBlock().Text, text);
    QCOMPARE(F.SentTexts(), QStringList{sent});
    QVERIFY(!F.Form->Device->IsConnected());
  }

  void FiscalStatusOfAnOpenReceipt() {
    F.UseSimulator();
    F.Sim->Device().Mutate([](sim::TSimState& s) {
      s.Receipt.Kind = sim::TSimReceipt::EKind::Fiscal;
      s.Receipt.Lines = {{1, 0, 0, 1000, 1000}, {2, 0, 0, 2000, 250}};
      s.Receipt.Paid[0] = 500;
    });
    Rec()->btn02CH_4->click();
    QCOMPARE(F.LastBlock().Text, (QStringList{"ItemsCount: 2", "Amount sum: 12.50",
                                              "Tender sum: 5.00", "Receipt is open."}));
  }

  // Numbers in result texts follow the device's regional separators.
  void ResultNumbersUseTheRegionalSeparator() {
    F.UseScripted();
    F.Scripted->Regional.DecimalSeparator = ',';
    F.ScriptIdentity();
    F.Scripted->Answer("1,3,1250");
    Rec()->btn02CH_4->click();
    QCOMPARE(F.LastBlock().Text, (QStringList{"ItemsCount: 3", "Amount sum: 12,50",
                                              "Tender sum: 0,00", "Receipt is open."}));
  }

  // 67H may carry the invoice number zero-padded; it is shown as a number.
  void NextInvoiceNumberWithLeadingZeros() {
    F.UseSimulator();
    F.Sim->Device().ForceAnswer(0x67, "1,100,0,0,0,0,0,0,5,0,0000000057");
    Info()->btnGetLastRecInfo->click();
    QCOMPARE(F.LastBlock().Text.mid(0, 4), (QStringList{"Can VOID: True", "Is invoice: False",
                                                        "Next inv.nom: 57 ", "VAT[1] 1.00"}));
    QCOMPARE(F.LastBlock().Text.value(10), QStringLiteral("VAT[8] 0.05"));
  }

  void DiagnosticInfoProposesTheSaleNumber_data() {
    QTest::addColumn<QString>("button");
    QTest::newRow("information tab") << "btnGetPRNDiagInfo";
    QTest::newRow("receipt tab") << "Button2";
  }
  void DiagnosticInfoProposesTheSaleNumber() {
    QFETCH(QString, button);
    F.UseSimulator();
    F.Sim->Device().Mutate([](sim::TSimState& s) {
      s.SerialNumber = "QZ123456";
      s.FiscalNumber = "44123456";
    });
    Button(button)->click();
    QCOMPARE(F.LastBlock().Title, QStringLiteral("Get printer diagnostic info(5AH)."));
    QCOMPARE(F.LastBlock().Text,
             (QStringList{"Printer name : VELMORA FP-SIM", "Program revision   : 1.00",
                          "Printer ver. date  : 15Jan24", "Printer ver. time  : 1200",
                          "Printer checksum   : 5A3C", "Printer switches   : 00000000",
                          "Printer serial nom : QZ123456", "Printer fiscal nom : 44123456"}));
    QCOMPARE(F.Form->ReceiptOpen->ui->eUNP->text(), QStringLiteral("QZ123456-0001-00000001"));
    QCOMPARE(F.Form->ReceiptOpen->ui->eFMIN->text(), QStringLiteral("44123456"));
    // The identity read of the connection and the button's own read, both with "1".
    QCOMPARE(F.SimRequests.size(), std::size_t{2});
    QCOMPARE(F.SimRequests[1].DataText(), std::string("1"));
  }

  void FailedDiagnosticReadKeepsTheReceiptPage() {
    F.UseScripted();
    F.Form->ReceiptOpen->ui->eUNP->setText(QStringLiteral("QZ999834-0001-00000007"));
    F.ScriptIdentity();
    F.Scripted->Answer("PRINTER,1.02 01Jan20 10:00,A1B2");
    Info()->btnGetPRNDiagInfo->click();
    QVERIFY(!F.LastBlock().Ok);
    QCOMPARE(F.LastBlock().Text, QStringList{DevText(F.Scripted->LastErrorText)});
    QCOMPARE(F.Form->ReceiptOpen->ui->eUNP->text(), QStringLiteral("QZ999834-0001-00000007"));
  }

  void StatusListsEveryFlag_data() {
    QTest::addColumn<QString>("button");
    QTest::newRow("information tab") << "btnGetPRNStatus";
    QTest::newRow("receipt tab") << "btnRecGetPRNStatus";
  }
  void StatusListsEveryFlag() {
    QFETCH(QString, button);
    F.UseSimulator();
    F.Sim->Device().Mutate(
        [](sim::TSimState& s) { s.Receipt.Kind = sim::TSimReceipt::EKind::Comment; });
    const auto answer = F.Sim->Device().Execute(0x4A, "W");
    QVERIFY(
        TBaseDevice::TestStatusBit(TDataBuffer(answer.Status.begin(), answer.Status.end()), 2, 5));
    Button(button)->click();
    QCOMPARE(F.LastBlock().Title, QStringLiteral("Get printer status(4AH)."));
    const QString expected =
        DevText(StatusBitsText(TDataBuffer(answer.Status.begin(), answer.Status.end())));
    QCOMPARE(F.LastBlock().Text, expected.split(QStringLiteral("\r\n")));
    QCOMPARE(F.LastBlock().Text.size(), 37);
    QCOMPARE(F.SentTexts(), QStringList{"4A:W"});
  }

  // The EIK lives in short strings: a long error is cut to 255 characters.
  void EikErrorIsCutTo255() {
    F.UseScripted();
    F.ScriptIdentity();
    F.Scripted->Answer("", StatusWith({{0, 5}, {1, 0}, {1, 1}, {2, 0}, {4, 0}, {4, 4}, {5, 0}}));
    Info()->btnGetEIK->click();
    QVERIFY(!F.LastBlock().Ok);
    QVERIFY(F.Scripted->LastErrorText.size() > 255);
    QCOMPARE(F.LastBlock().Text, SplitLogLines(DevText(F.Scripted->LastErrorText.substr(0, 255))));
  }
};

QTEST_MAIN(TInformationTest)
#include "test_console_information.moc"
