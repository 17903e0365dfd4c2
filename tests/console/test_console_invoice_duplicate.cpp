// The "Invoce data" and "Duplicate last receipt" pages of "Fisc.receipt",
// against the simulator over TCP.
#include <QtTest>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ConsoleTestSupport.h"
#include "DuplicatePage.h"
#include "InvoiceDataPage.h"
#include "ui_DuplicatePage.h"
#include "ui_InvoiceDataPage.h"

class TInvoiceDuplicateTest : public QObject {
  Q_OBJECT

  TFormFixture F;
  Ui::InvoiceDataPage* Inv() { return F.Form->InvoiceData->ui; }

  void OpenInvoiceOnSimulator() {
    F.Sim->Device().Mutate([](sim::TSimState& s) {
      s.Receipt.Kind = sim::TSimReceipt::EKind::Fiscal;
      s.Receipt.Invoice = true;
    });
  }
  void Type(QLineEdit* edit, const QString& text) {
    edit->clear();
    QTest::keyClicks(edit, text);
  }

 private slots:
  void init() { F.Fresh(); }
  void cleanup() { F.Release(); }

  void EditsHaveTheirLabelsAndDefaults() {
    const QList<QPair<QLineEdit*, QString>> edits = {
        {Inv()->edtEIKNo, "EIK No:|123456789"},    {Inv()->edtVATNo, "TaxNo:|BG123456789"},
        {Inv()->edtMolName, "MOL:|MOL NAME"},      {Inv()->edtReciever, "Receiver:|RECEIVER NAME"},
        {Inv()->edtClient, "Client:|CLIENT NAME"}, {Inv()->edtAddress, "Address:|FIRM ADDRESS"}};
    for (const auto& [edit, expected] : edits) {
      QLabel* label = nullptr;
      for (QLabel* l : F.Form->InvoiceData->findChildren<QLabel*>()) {
        if (l->buddy() == edit) label = l;
      }
      QVERIFY2(label, qPrintable(edit->objectName()));
      QCOMPARE(label->text() + '|' + edit->text(), expected);
    }
  }

  // Every field trimmed; the MOL is never sent.
  void InvoiceDataReachesTheReceipt() {
    F.UseSimulator();
    OpenInvoiceOnSimulator();
    Type(Inv()->edtEIKNo, QStringLiteral(" 204567891 "));
    Type(Inv()->edtMolName, QStringLiteral("IVAN PETROV"));
    Type(Inv()->edtClient, QStringLiteral("  ACME LTD"));
    Inv()->btnSendInvData->click();
    QCOMPARE(F.LastBlock().Title, QStringLiteral("Add customer info(39H)"));
    QVERIFY(F.LastBlock().Ok);
    QCOMPARE(F.LastBlock().Text, QStringList{"Add customer info: 204567891"});
    QCOMPARE(F.SentTexts(),
             QStringList{"39:204567891\t\tRECEIVER NAME\tACME LTD\tBG123456789\tFIRM ADDRESS"});
    QVERIFY(!F.SentTexts().first().contains(QStringLiteral("IVAN")));
    QVERIFY(F.Sim->Device().Snapshot().Receipt.ClientData);
  }

  // The EIK test comes after connecting: the identity is read, nothing else.
  void EikOfBlanksIsMandatory() {
    F.UseSimulator();
    OpenInvoiceOnSimulator();
    Type(Inv()->edtEIKNo, QStringLiteral("   "));
    Inv()->btnSendInvData->click();
    QVERIFY(!F.LastBlock().Ok);
    QCOMPARE(F.LastBlock().Text, QStringList{"EIK is mandatory."});
    QCOMPARE(F.SimRequests.size(), std::size_t{1});
    QCOMPARE(F.SimRequests[0].Cmd, 0x5A);
  }

  void TextWithoutACp1251ByteIsRefusedOnTheOpenLink() {
    F.UseSimulator();
    Inv()->edtAddress->setText(QString::fromUtf8("Straße 中"));
    Inv()->btnSendInvData->click();
    QVERIFY(!F.LastBlock().Ok);
    QVERIFY(F.LastBlock().Text.join(QString()).startsWith(QStringLiteral("Address:")));
    QVERIFY(F.Sent().empty());
  }

  // The device prints one duplicate of its last receipt, and refuses another.
  void DuplicateOnce() {
    F.UseSimulator();
    F.Sim->Device().Mutate([](sim::TSimState& s) { s.Last.Exists = true; });
    QPushButton* button = F.Form->Duplicate->ui->btnDublicateRec;
    button->click();
    button->click();
    const auto blocks = F.Blocks();
    QCOMPARE(blocks.size(), 2);
    QCOMPARE(blocks[0].Title, QStringLiteral("Duplicate receipt(6DH)"));
    QVERIFY(blocks[0].Ok);
    QCOMPARE(blocks[0].Text, QStringList{});
    QVERIFY(!blocks[1].Ok);
    QCOMPARE(F.SentTexts(), (QStringList{"6D:1", "6D:1"}));
    QCOMPARE(F.Sim->Device().ExecutedCount(0x6D), 1);
  }
};

QTEST_MAIN(TInvoiceDuplicateTest)
#include "test_console_invoice_duplicate.moc"
