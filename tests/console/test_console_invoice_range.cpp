// The "Invoice range" tab against the simulator over loopback and a scripted device.
#include <QtTest>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ConsoleTestSupport.h"
#include "InvoiceRangeTab.h"
#include "ui_InvoiceRangeTab.h"

class TInvoiceRangeTabTest : public QObject {
  Q_OBJECT

  TFormFixture F;
  Ui::InvoiceRangeTab* U() { return F.Form->InvoiceRange->ui; }
  const QString kTitle = QStringLiteral("Set invoice range(42H)");

  void Range(const QString& start, const QString& end) {
    U()->edtBegInvNo->setText(start);
    U()->edtEndInvNo->setText(end);
  }

 private slots:
  void init() { F.Fresh(); }
  void cleanup() { F.Release(); }

  // The button named "Set" reads and the one named "Get" sets.
  void Controls() {
    QCOMPARE(U()->btnSetInvRange->text(), QStringLiteral("Get invoice range(42H)"));
    QCOMPARE(U()->btnGetInvRange->text(), QStringLiteral("Set invoice range(42H)"));
    QVERIFY(U()->RadioButton1->isChecked());
    QCOMPARE(U()->lblEndInvNo->buddy(), U()->edtEndInvNo);
  }

  void Read_data() {
    QTest::addColumn<bool>("creditNote");
    QTest::addColumn<QString>("sent");
    QTest::newRow("invoices") << false << "42:";
    QTest::newRow("credit notes") << true << "42:S";
  }
  void Read() {
    QFETCH(bool, creditNote);
    QFETCH(QString, sent);
    F.UseSimulator();
    F.Sim->Device().Mutate([](sim::TSimState& s) {
      s.Invoices = {57, 1200, 60};
      s.CreditNotes = {3000, 99999999999, 3001};
    });
    (creditNote ? U()->rbCreaditNote : U()->RadioButton1)->setChecked(true);
    U()->btnSetInvRange->click();
    QCOMPARE(F.SentTexts(), QStringList{sent});
    const QString start = creditNote ? "3000" : "57";
    const QString end = creditNote ? "99999999999" : "1200";
    const TLoggedBlock b = F.LastBlock();
    QCOMPARE(b.Title, kTitle);
    QVERIFY(b.Ok);
    QCOMPARE(b.Text, (QStringList{"Set new invoice range OK.",
                                  "Start inv.nom.: " + start.rightJustified(10, '0'),
                                  "End inv.nom.: " + end.rightJustified(10, '0')}));
    QCOMPARE(U()->edtBegInvNo->text(), start);
    QCOMPARE(U()->edtEndInvNo->text(), end);
  }

  void SetThenRead() {
    F.UseSimulator();
    U()->rbCreaditNote->setChecked(true);
    QTest::keyClicks(U()->edtBegInvNo, QStringLiteral("100"));
    QTest::keyClicks(U()->edtEndInvNo, QStringLiteral("200"));
    U()->btnGetInvRange->click();
    const TLoggedBlock b = F.LastBlock();
    QVERIFY2(b.Ok, qPrintable(b.Text.join('|')));
    QCOMPARE(b.Text, (QStringList{"Start inv.nom.: 0000000100", "End inv.nom.: 0000000200"}));
    Range({}, {});
    U()->btnSetInvRange->click();
    QCOMPARE(U()->edtBegInvNo->text(), QStringLiteral("100"));
    QCOMPARE(U()->edtEndInvNo->text(), QStringLiteral("200"));
    QCOMPARE(F.SentTexts(), (QStringList{"42:S,100,200", "42:S"}));
    QCOMPARE(F.Sim->Device().Snapshot().Invoices.End, 99999);
  }

  // The boxes show the numbers the device answered with.
  void SetShowsTheDevicesNumbers() {
    F.UseScripted();
    F.ScriptIdentity();
    F.Scripted->Answer("101,150,101");
    Range(QStringLiteral("100"), QStringLiteral("200"));
    U()->btnGetInvRange->click();
    QCOMPARE(F.LastBlock().Text,
             (QStringList{"Start inv.nom.: 0000000101", "End inv.nom.: 0000000150"}));
    QCOMPARE(U()->edtBegInvNo->text(), QStringLiteral("101"));
    QCOMPARE(U()->edtEndInvNo->text(), QStringLiteral("150"));
    QCOMPARE(F.Scripted->Requests.back().DataText(), std::string("100,200"));
  }

  void SetChecks_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("error");
    QTest::newRow("start letters") << "abc"
                                   << "5"
                                   << "Invalid invoice start num.";
    QTest::newRow("start empty") << ""
                                 << ""
                                 << "Invalid invoice start num.";
    QTest::newRow("end empty") << "3"
                               << ""
                               << "Invalid invoice end num.";
    QTest::newRow("5 to 3") << "5"
                            << "3"
                            << "Invalid input data. [InvEnd]";
  }
  void SetChecks() {
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, error);
    F.UseScripted();
    F.ScriptIdentity();
    Range(start, end);
    U()->btnGetInvRange->click();
    const TLoggedBlock b = F.LastBlock();
    QCOMPARE(b.Title, kTitle);
    QVERIFY(!b.Ok);
    QCOMPARE(b.Text.value(0), error);
    // Checked on an open link; nothing but the identity read was sent.
    QCOMPARE(F.Scripted->ConnectCalls, 1);
    QCOMPARE(F.Scripted->Requests.size(), std::size_t{1});
  }
};

QTEST_MAIN(TInvoiceRangeTabTest)
#include "test_console_invoice_range.moc"
