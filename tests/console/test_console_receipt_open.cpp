// The "Open receipt" page of "Fisc.receipt": open, close, void, the sale number
// and the settings it keeps, against the simulator over loopback.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <functional>

#include "ReceiptClosePage.h"
#include "ReceiptOpenPage.h"
#include "ReceiptTestSupport.h"
#include "SettingsStore.h"
#include "ui_ReceiptClosePage.h"
#include "ui_ReceiptOpenPage.h"

namespace {

using TPageSetup = std::function<void(Ui::ReceiptOpenPage*)>;

void Refund(Ui::ReceiptOpenPage* u, const char* fmin, const char* receiptNo, int reasonItem) {
  u->chkStorno->setChecked(true);
  u->eFMIN->setText(QString::fromLatin1(fmin));
  u->eRecieptNo->setText(QString::fromLatin1(receiptNo));
  u->cmbStornoReason->setCurrentIndex(reasonItem);
}

void DateAndInvoice(Ui::ReceiptOpenPage* u) {
  u->eInvDate->setDate(QDate(2024, 3, 5));
  u->eInvTime->setText(QStringLiteral("09:07:00"));
  u->eInvNo->setText(QStringLiteral("57"));
}

void FocusOut(QWidget* w, Qt::FocusReason reason) {
  QFocusEvent out(QEvent::FocusOut, reason);
  QApplication::sendEvent(w, &out);
  QCoreApplication::processEvents();
}

}  // namespace

class TReceiptOpenTest : public QObject {
  Q_OBJECT

  TFormFixture F;
  QStringList Boxes;  // texts of the sale-number message box
  Ui::ReceiptOpenPage* Ui() { return F.Form->ReceiptOpen->ui; }

  // The window again, with the settings the last one saved.
  void OpenForm() {
    F.Open();
    WatchBoxes();
  }
  void WatchBoxes() {
    F.Form->ReceiptOpen->ShowSellNoError = [this](const QString& text) { Boxes << text; };
  }
  // The page as the operator finds it, with an operator and a valid sale number.
  void ResetPage() {
    Restart(F);
    WatchBoxes();
    F.UseSimulator();
    Ui()->eOpName->setText(QStringLiteral("OPER1"));
    Ui()->eUNP->setText(QStringLiteral("QZ999834-0001-0000001"));
  }

 private slots:
  void init() {
    Boxes.clear();
    ResetPage();
  }
  void cleanup() { F.Release(); }

  void EmptyRefundDateAndTimeAndLabelledInputs() {
    auto* u = Ui();
    QCOMPARE(u->eInvDate->text(), QStringLiteral(" "));
    QCOMPARE(u->eInvTime->displayText(), QStringLiteral("  :  :  "));
    // Every caption of an input leads to it.
    for (QLabel* label : F.Form->ReceiptOpen->findChildren<QLabel*>()) {
      if (label != u->Label17) QVERIFY2(label->buddy(), qPrintable(label->objectName()));
    }
  }

  void OpenSendsThePageAsTyped() {
    struct {
      const char* Name;
      TPageSetup Setup;
      QString Request;
    } cases[] = {
        {"normal ignores the refund data",
         [](auto* u) {
           Refund(u, "99999999", "15", 2);
           DateAndInvoice(u);
           u->RadioButton2->setChecked(true);
         },
         "90:OPER1,QZ999834-0001-0000001"},
        {"invoice", [](auto* u) { u->chkInvoice->setChecked(true); },
         "90:OPER1,QZ999834-0001-0000001,I"},
        {"refund of another device's receipt",
         [](auto* u) {
           Refund(u, "99999999", "15", 2);
           DateAndInvoice(u);
         },
         "90:OPER1,QZ999834-0001-0000001,S,99999999,R,15,2024-03-05T09:07:00,57"},
        {"refund of this device's receipt carries no date",
         [](auto* u) {
           Refund(u, "12345678", "15", 1);
           DateAndInvoice(u);
         },
         "90:OPER1,QZ999834-0001-0000001,S,12345678,O,15"},
        {"refund: unfinished time and an invoice text that is no number",
         [](auto* u) {
           Refund(u, " 99999999 ", "15", 3);
           u->eInvTime->setText(QStringLiteral("09:07"));
           u->eInvNo->setText(QStringLiteral("5x"));
         },
         "90:OPER1,QZ999834-0001-0000001,S,99999999,T,15"},
        {"sale number in small letters goes in capitals",
         [](auto* u) { u->eUNP->setText(QStringLiteral("qz999834-0001-0000002")); },
         "90:OPER1,QZ999834-0001-0000002"},
        {"without the format test a refused number goes as typed, in capitals",
         [](auto* u) {
           u->chUseValidUNP->setChecked(false);
           u->eUNP->setText(QStringLiteral("qz999834-0001-0000000"));
         },
         "90:OPER1,QZ999834-0001-0000000"},
        {"operator and sale number trimmed",
         [](auto* u) {
           u->eOpName->setText(QStringLiteral(" OPER1\t"));
           u->eUNP->setText(QStringLiteral("  QZ999834-0001-0000003 "));
         },
         "90:OPER1,QZ999834-0001-0000003"},
    };
    for (const auto& c : cases) {
      ResetPage();
      c.Setup(Ui());
      Ui()->btnOpenRec90->click();
      QCOMPARE(Readable(F.Sent()), QStringList{c.Request});
      QCOMPARE(F.LastBlock().Title, QStringLiteral("Open fiscal reciept(90H)."));
      QVERIFY2(!F.Form->Device->IsConnected(), c.Name);
    }
  }

  void OpenInputRefusedBeforeSending() {
    struct {
      TPageSetup Setup;
      QString Error;
    } cases[] = {
        {[](auto* u) { Refund(u, "99999999", "", 2); },
         "Invalid input data. Invalid reciept num  \"-1\""},
        {[](auto* u) { Refund(u, "99999999", "abc", 2); },
         "Invalid input data. Invalid reciept num  \"-1\""},
        {[](auto* u) { Refund(u, "99999999", "15", 0); },
         "Invalid input data. Invalid reason \"\""},
        {[](auto* u) { Refund(u, "99999999", "15", 1); },
         "Invalid input data. Reason \"O\" is invalid for this device."},
    };
    for (const auto& c : cases) {
      ResetPage();
      c.Setup(Ui());
      Ui()->btnOpenRec90->click();
      QCOMPARE(F.Sent().size(), std::size_t{0});
      const TLoggedBlock b = F.LastBlock();
      QVERIFY(!b.Ok);
      QCOMPARE(b.Text, QStringList{c.Error});
    }
    QVERIFY(!F.Sim->Device().FiscalReceiptOpen());
  }

  void RefusedSaleNumberTouchesNoLink() {
    Ui()->eUNP->setText(QStringLiteral(" QZ999834-0001-0000000 "));
    Ui()->btnOpenRec90->click();
    QVERIFY(F.SimRequests.empty());  // not even the identity read
    QCOMPARE(F.Blocks().size(), 1);
    QCOMPARE(F.LastBlock().Title, QStringLiteral("Open fiscal reciept(90H)."));
    QCOMPARE(F.LastBlock().Text,
             QStringList{QStringLiteral("Invalid sell nom: \"QZ999834-0001-0000000\"")});
  }

  void OpenAndCloseShowTheCounters() {
    F.Sim->Device().Mutate([](sim::TSimState& s) {
      s.AllReceipts = 124;
      s.FiscalReceipts = 36;
    });
    Ui()->btnOpenRec90->click();
    QVERIFY(F.LastBlock().Ok);
    QCOMPARE(F.LastBlock().Text, QStringList{QStringLiteral("AllReceipt: 125, FiscReceipt: 37 ")});
    QVERIFY(F.Sim->Device().FiscalReceiptOpen());

    // Both close buttons run the same close.
    for (QPushButton* close : {Ui()->btnCloseRecipt, F.Form->ReceiptClose->ui->Button6}) {
      F.SimRequests.clear();
      close->click();
      QCOMPARE(Readable(F.Sent()), QStringList{"38:"});
      QCOMPARE(F.LastBlock().Title, QStringLiteral("Close fiscal reciept(38H)."));
    }
    const QList<TLoggedBlock> blocks = F.Blocks();
    QVERIFY(blocks[1].Ok);
    QCOMPARE(blocks[1].Text, QStringList{QStringLiteral("AllReceipt: 125, FiscReceipt: 37 ")});
    QVERIFY(!blocks[2].Ok);  // nothing left to close
    QVERIFY(!F.Sim->Device().FiscalReceiptOpen());
    QVERIFY(!F.Form->Device->IsConnected());
  }

  void VoidCancelsTheOpenReceipt() {
    Ui()->btnOpenRec90->click();
    F.SimRequests.clear();
    Ui()->btnVoidRec->click();
    QCOMPARE(Readable(F.Sent()), QStringList{"3C:"});
    const TLoggedBlock b = F.LastBlock();
    QCOMPARE(b.Title, QStringLiteral("VOID reciept(3C)."));
    QVERIFY(b.Ok);
    QCOMPARE(b.Text, QStringList{});
    QVERIFY(!F.Sim->Device().FiscalReceiptOpen());
  }

  void LeavingTheSaleNumberChecksItsForm() {
    struct {
      bool Ticked;
      Qt::FocusReason Reason;
      QString Typed;
      QStringList Boxes;
      QString After;
    } cases[] = {
        {true,
         Qt::TabFocusReason,
         "QZ999834-0001-0000000",
         {"Error: \r\"QZ999834-0001-0000000\" is invalid sell num. "},
         "QZ0000001-0001-0000001"},
        {true,
         Qt::MouseFocusReason,
         " qz99_834-0001-0000001 ",
         {"Error: \r\"qz99_834-0001-0000001\" is invalid sell num. "},
         "QZ0000001-0001-0000001"},
        {true, Qt::TabFocusReason, "qz999834-0001-0000001", {}, "qz999834-0001-0000001"},
        {false, Qt::TabFocusReason, "QZ999834-0001-0000000", {}, "QZ999834-0001-0000000"},
        // Switching to another window is no leaving of the edit.
        {true, Qt::ActiveWindowFocusReason, "QZ999834-0001-0000000", {}, "QZ999834-0001-0000000"},
    };
    for (const auto& c : cases) {
      Boxes.clear();
      Ui()->chUseValidUNP->setChecked(c.Ticked);
      Ui()->eUNP->setText(c.Typed);
      FocusOut(Ui()->eUNP, c.Reason);
      QCOMPARE(Boxes, c.Boxes);
      QCOMPARE(Ui()->eUNP->text(), c.After);
    }
    QVERIFY(F.Lines().isEmpty());
    QVERIFY(F.SimRequests.empty());
  }

  void GetCurrentSerialNumber() {
    Ui()->Button4->click();
    QCOMPARE(Readable(F.Sent()), QStringList{"5A:0"});
    const TLoggedBlock b = F.LastBlock();
    QCOMPARE(b.Title, QStringLiteral("Get printer diagnostic info(5AH)."));
    QVERIFY(b.Ok);
    QCOMPARE(b.Text, QStringList{});
    QCOMPARE(Ui()->eUNP->text(), QStringLiteral("QZ999834-0001-0000001"));
    QVERIFY(!F.Form->Device->IsConnected());
  }

  void TickingTheFormatTestFetchesTheSerialForATypedNumber() {
    QCheckBox* box = Ui()->chUseValidUNP;
    box->click();  // cleared: nothing to do
    box->click();  // ticked, but the number was set by the program
    QVERIFY(F.SimRequests.empty());
    QCOMPARE(Ui()->eUNP->text(), QStringLiteral("QZ999834-0001-0000001"));

    QTest::keyClicks(Ui()->eUNP, QStringLiteral("9"));
    box->click();
    QVERIFY(F.SimRequests.empty());
    box->click();
    QCOMPARE(Ui()->eUNP->text(), QStringLiteral("QZ999834-0001-0000001"));
    QCOMPARE(Readable(F.Sent()), QStringList{"5A:0"});
    QVERIFY(F.Lines().isEmpty());
    // Closed again: an idle link would lock every other host out of the device.
    QVERIFY(!F.Form->Device->IsConnected());

    // No link: the edit is emptied.
    F.UseScripted();
    F.Scripted->ConnectResult = false;
    QTest::keyClicks(Ui()->eUNP, QStringLiteral("1"));
    box->click();
    box->click();
    QCOMPARE(Ui()->eUNP->text(), QString());
    QVERIFY(F.Lines().isEmpty());
  }

  void OperatorAndSaleNumberAreKeptInTheSettings() {
    auto* u = Ui();
    u->rxSpCurrOper->setValue(7);
    u->edtAddOpPass->setText(QStringLiteral(" pw7 "));
    u->rxPOSNo->setValue(12);
    u->eOpName->setText(QStringLiteral("Ivan Petrov"));
    u->eFMIN->setText(QStringLiteral("11112222"));
    u->eUNP->setText(QStringLiteral("AB123456-0001-0000009"));
    F.Form->close();
    const TConsoleSettings saved = LoadSettingsFile(F.IniPath());
    QCOMPARE(saved.OperatorPassword, QStringLiteral("pw7"));
    QCOMPARE(saved.POSNo, 12);

    F.Form.reset();
    OpenForm();
    u = Ui();
    QCOMPARE(u->rxSpCurrOper->value(), 7);
    QCOMPARE(u->edtAddOpPass->text(), QStringLiteral("pw7"));
    QCOMPARE(u->rxPOSNo->value(), 12);
    QCOMPARE(u->eOpName->text(), QStringLiteral("Ivan Petrov"));
    QCOMPARE(u->eFMIN->text(), QStringLiteral("11112222"));
    QCOMPARE(u->eUNP->text(), QStringLiteral("AB123456-0001-0000009"));

    // A sale number the format test refuses is not restored.
    u->eUNP->setText(QStringLiteral("AB123456-0001-0000000"));
    F.Form->close();
    F.Form.reset();
    OpenForm();
    QCOMPARE(Ui()->eUNP->text(), QStringLiteral("QZ999834-1234-1234567"));
  }
};

QTEST_MAIN(TReceiptOpenTest)
#include "test_console_receipt_open.moc"
