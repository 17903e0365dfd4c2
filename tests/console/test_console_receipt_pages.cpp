// The pages "PLU", "Comments", "Subtotal" and "Payment" of "Fisc.receipt":
// the bytes each button sends, its input checks and its result text.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <functional>

#include "ReceiptCommentsPage.h"
#include "ReceiptPaymentPage.h"
#include "ReceiptSalesPage.h"
#include "ReceiptSubtotalPage.h"
#include "ReceiptTestSupport.h"
#include "ui_ReceiptCommentsPage.h"
#include "ui_ReceiptPaymentPage.h"
#include "ui_ReceiptSalesPage.h"
#include "ui_ReceiptSubtotalPage.h"

namespace {

const QStringList kZeroSums = {"SubTotal=0.00",  "VatGRP[1]=0.00", "VatGRP[2]=0.00",
                               "VatGRP[3]=0.00", "VatGRP[4]=0.00", "VatGRP[5]=0.00",
                               "VatGRP[6]=0.00", "VatGRP[7]=0.00", "VatGRP[8]=0.00"};

void Type(QLineEdit* edit, const QString& text) {
  edit->clear();
  QTest::keyClicks(edit, text);
}

}  // namespace

class TReceiptPagesTest : public QObject {
  Q_OBJECT

  TFormFixture F;
  Ui::ReceiptSalesPage* Sales() { return F.Form->ReceiptSales->ui; }
  Ui::ReceiptCommentsPage* Comments() { return F.Form->ReceiptComments->ui; }
  Ui::ReceiptSubtotalPage* Subtotal() { return F.Form->ReceiptSubtotal->ui; }
  Ui::ReceiptPaymentPage* Payment() { return F.Form->ReceiptPayment->ui; }

  // A fiscal receipt open in the simulator, department 1 and PLU 1 programmed.
  void StartSimulator() {
    F.UseSimulator();
    F.Sim->Device().Mutate([](sim::TSimState& s) {
      s.Receipt.Kind = sim::TSimReceipt::EKind::Fiscal;
      s.Departments[1] = sim::TSimDepartment{};
      sim::TSimPlu plu;
      plu.Group = 2;
      plu.Price = 150;
      plu.Avail = 100000;
      plu.Name = "MILK";
      s.Plus[1] = plu;
    });
  }

  // The scripted device, its identity read, for answers the test chooses.
  void StartScripted(char decimalSeparator) {
    F.UseScripted();
    F.Scripted->Regional.DecimalSeparator = decimalSeparator;
    F.ScriptIdentity();
  }

 private slots:
  void init() { Restart(F); }
  void cleanup() { F.Release(); }

  void EveryButtonSendsItsGroup() {
    StartSimulator();
    struct {
      std::function<void()> Setup;
      QPushButton* Button;
      QString Request;
      QString Title;
    } cases[] = {
        {[] {}, Sales()->btnSendPLU, "31:PLU name<09><C1>0.00", "Register sell(31H)."},
        {[this] {
           Type(Sales()->c6SellPluNameEdit, QStringLiteral("  Milk "));
           Type(Sales()->edtPLUText2, QStringLiteral(" 1 L\t"));
           Sales()->c6SellPluTaxGrpCombo->setCurrentIndex(7);
           Type(Sales()->c6SellPluPriceEdit, QStringLiteral("1.2"));
           Type(Sales()->c6SellPluQuantEdit, QStringLiteral("2.2"));
           Type(Sales()->edPrec, QStringLiteral("-10"));
         },
         Sales()->btnSendPLU, "31:Milk<0A>1 L<09><C7>1.20*2.200,-10.00", "Register sell(31H)."},
        {[this] {
           Type(Sales()->c6SellPluQuantEdit, QStringLiteral("1"));
           Type(Sales()->edPrec, QStringLiteral("5"));
         },
         Sales()->btnSendPLUAndDispl, "34:Milk<09><C7>1.20,5.00", "Register sell(34H)."},
        {[this] {
           Type(Sales()->edtSellDepPrc, QStringLiteral("2.50"));
           Type(Sales()->edtDeprtmentText2, QStringLiteral("x"));
         },
         Sales()->btnSellDepartment, "31:Sell department text<0A>x<09>1<09>2.50",
         "Send department(31H)."},
        {[this] { Sales()->rxsSellDepNo->setValue(0); }, Sales()->btnSellDepAndDispl,
         "34:Sell department text<09>0<09>2.50", "Send department and display(34)."},
        {[] {}, Sales()->btnSellRegPlu, "3A:1", "Sell registred plu[3AH]."},
        {[this] {
           Sales()->rxSelPluDep->setValue(1);
           Sales()->chkSellPluDepAbs->setChecked(true);
           Sales()->chkSellPluDepDisplay->setChecked(true);
           Type(Sales()->edtSelPluQtty, QStringLiteral("3"));
           Type(Sales()->edtSellPluDepBonus, QStringLiteral("-1.5"));
         },
         Sales()->btnSellRegPlu, "3A:D1<09>1<09>*3.000;-1.50", "Sell registred plu[3AH]."},
        {[this] {
           Type(Sales()->edtDiscLastPlu, QStringLiteral("-0.5"));
           Sales()->chkAbsDiscount->setChecked(true);
         },
         Sales()->btnDiscLastPlu, "91:A,-0.50", "Discount over last plu (91H)."},
        {[this] { Type(Comments()->c6CommentEdit, QStringLiteral("  Comment text ")); },
         Comments()->btnFiscAddText, "36:  Comment text ", "Add comment text(36H)"},
        {[] {}, Comments()->btnSendFiscBarcode, "54:1;123456789012", "Send barcode (54H)"},
        {[this] {
           Subtotal()->c_SubTtl_Print->setChecked(true);
           Subtotal()->cb_SttlPayType->setCurrentIndex(3);  // sent by no command
         },
         Subtotal()->btnSendSubtotal, "33:10", "Subtotal (33H)"},
        {[this] {
           Payment()->c6SendPaymentTypeCombo->setCurrentIndex(2);
           Type(Payment()->c6SendPaymentAmountEdit, QStringLiteral("1.5"));
           Payment()->edtPayLine2->clear();
         },
         Payment()->btnSendPayment35H, "35:Pay text 1<09>C+1.50", "Send payment (35H)"},
    };
    for (const auto& c : cases) {
      F.SimRequests.clear();
      c.Setup();
      c.Button->click();
      QCOMPARE(Readable(F.Sent()), QStringList{c.Request});
      QCOMPARE(F.LastBlock().Title, c.Title);
      QVERIFY(!F.Form->Device->IsConnected());
    }
    const QList<TLoggedBlock> b = F.Blocks();
    QCOMPARE(b[0].Text, QStringList{});
    QVERIFY(!b[4].Ok);  // no department 0 in this device
    QCOMPARE(b[5].Text, QStringList{"OK"});
    QCOMPARE(b[10].Text, kZeroSums);  // "Display subtotal:" clear: nothing read back
    QCOMPARE(b[11].Text, QStringList{"Current sum: 8.64 PaidCode: D"});
    for (int i : {0, 1, 2, 3, 5, 6, 7, 8, 10, 11}) QVERIFY2(b[i].Ok, qPrintable(b[i].Title));
  }

  void InputErrorsAreLoggedAndNothingIsSent() {
    StartSimulator();
    struct {
      QPushButton* Button;
      QList<QLineEdit*> Spoilt;
      QString Title;
      QString Error;
    } cases[] = {
        {Sales()->btnSendPLU,
         {Sales()->c6SellPluPriceEdit},
         "Register sell(31H).",
         "Invalid price."},
        {Sales()->btnSendPLU,
         {Sales()->c6SellPluQuantEdit, Sales()->edPrec},
         "Register sell(31H).",
         "Invalid Qtty."},
        {Sales()->btnSendPLUAndDispl,
         {Sales()->edPrec},
         "Register sell(34H).",
         "Invalid bonus/discount."},
        {Sales()->btnSellDepartment,
         {Sales()->edtSellDepDisc, Sales()->edtSellDepPrc},
         "Send department(31H).",
         "Invalid price."},
        {Sales()->btnSellDepAndDispl,
         {Sales()->edtSellDepQuant},
         "Send department and display(34).",
         "Invalid Qtty."},
        {Sales()->btnSellRegPlu,
         {Sales()->edtSelPluQtty, Sales()->edtSellPluDepBonus},
         "Sell registred plu[3AH].",
         "Invalid plu qtty."},
        {Sales()->btnSellRegPlu,
         {Sales()->edtSellPluDepBonus},
         "Sell registred plu[3AH].",
         "Invalid plu Prc."},
        {Sales()->btnDiscLastPlu,
         {Sales()->edtDiscLastPlu},
         "Discount over last plu (91H).",
         "Invalid discount value."},
        {Subtotal()->btnSendSubtotal,
         {Subtotal()->edtStllBonus},
         "Subtotal (33H)",
         "Invalid value for bonus/discount."},
        {Payment()->btnSendPayment35H,
         {Payment()->c6SendPaymentAmountEdit},
         "Send payment (35H)",
         "Invalid value for Amount."},
    };
    for (const auto& c : cases) {
      F.SimRequests.clear();
      QStringList kept;
      for (QLineEdit* e : c.Spoilt) {
        kept << e->text();
        Type(e, QStringLiteral("abc"));
      }
      c.Button->click();
      for (QLineEdit* e : c.Spoilt) e->setText(kept.takeFirst());
      QVERIFY(F.Sent().empty());
      QCOMPARE(F.LastBlock().Title, c.Title);
      QVERIFY(!F.LastBlock().Ok);
      QCOMPARE(F.LastBlock().Text, QStringList{c.Error});
    }
  }

  void EveryInputIsReachedByItsLabel() {
    const QList<QWidget*> pages = {F.Form->ReceiptSales, F.Form->ReceiptComments,
                                   F.Form->ReceiptSubtotal, F.Form->ReceiptPayment};
    for (QWidget* page : pages) {
      for (QLabel* label : page->findChildren<QLabel*>()) {
        QVERIFY2(label->buddy(), qPrintable(label->objectName()));
      }
    }
  }

  void InputIsCheckedOnTheOpenedLink() {
    StartScripted('.');
    Type(Sales()->c6SellPluPriceEdit, QStringLiteral("abc"));
    Sales()->btnSendPLU->click();
    QCOMPARE(F.Scripted->ConnectCalls, 1);
    QVERIFY(!F.Scripted->Connected);
    QCOMPARE(Readable(F.Scripted->Requests), QStringList{"5A:1"});  // the identity only
    QCOMPARE(F.LastBlock().Text, QStringList{"Invalid price."});
  }

  void DepartmentZero() {
    StartSimulator();
    Sales()->rxsSellDepNo->setValue(0);
    Sales()->btnSellDepartment->click();
    QVERIFY(F.Sent().empty());
    QCOMPARE(F.LastBlock().Text, QStringList{"Invalid input data. [DepartNo]"});
    Sales()->btnSellDepAndDispl->click();
    QCOMPARE(Readable(F.Sent()), QStringList{"34:Sell department text<09>0<09>0.00"});
  }

  void CommaAsTheDecimalSeparator() {
    StartScripted(',');
    Sales()->btnSendPLU->click();  // "0.00" is no number here
    QCOMPARE(F.LastBlock().Text, QStringList{"Invalid price."});

    const TDataBuffer open = StatusWith({{2, 3}});
    F.Scripted->Answer("", open);
    Type(Sales()->c6SellPluPriceEdit, QStringLiteral("1,5"));
    Type(Sales()->c6SellPluQuantEdit, QStringLiteral("2,5"));
    Type(Sales()->edPrec, QStringLiteral("0"));
    Sales()->btnSendPLU->click();
    QCOMPARE(Readable(F.Scripted->Requests.back()),
             QStringLiteral("31:PLU name<09><C1>1,50*2,500"));

    F.Scripted->Answer("1234,100,200,0,0,0,0,0,0", open);
    Subtotal()->c_Sttl_ShowDisplay->setChecked(true);
    Type(Subtotal()->edtStllBonus, QStringLiteral("-2,5"));
    Subtotal()->btnSendSubtotal->click();
    QCOMPARE(Readable(F.Scripted->Requests.back()), QStringLiteral("33:01,-2,50"));
    QCOMPARE(F.LastBlock().Text.mid(0, 4),
             (QStringList{"SubTotal=12,34", "VatGRP[1]=1,00", "VatGRP[2]=2,00", "VatGRP[3]=0,00"}));

    F.Scripted->Answer("D,12345", open);
    Type(Payment()->c6SendPaymentAmountEdit, QStringLiteral("10,2"));
    Payment()->btnSendPayment35H->click();
    QCOMPARE(Readable(F.Scripted->Requests.back()),
             QStringLiteral("35:Pay text 1<0A>Pay text 2<09>P+10,20"));
    QCOMPARE(F.LastBlock().Text, QStringList{"Current sum: 123,45 PaidCode: D"});
  }

  void TextWithoutACp1251ByteIsRefused() {
    StartSimulator();
    Comments()->c6CommentEdit->setText(QString::fromUtf8("Total 中"));
    Comments()->btnFiscAddText->click();
    QVERIFY(F.Sent().empty());
    QVERIFY(F.LastBlock().Text.value(0).contains(QStringLiteral("U+4E2D")));
  }
};

QTEST_MAIN(TReceiptPagesTest)
#include "test_console_receipt_pages.moc"
