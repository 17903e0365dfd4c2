// "Test fiscal reciept": the scripted receipt against the simulator, whole and
// stopped at each kind of step.
#include <QtTest>

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <map>

#include "ReceiptOpenPage.h"
#include "ReceiptTestSupport.h"
#include "StatusDecoding.h"
#include "ui_ReceiptOpenPage.h"

namespace {

const QString kOpen = QStringLiteral("Open fiscal reciept(90H).");
const QString kSale = QStringLiteral("Register sell");
const QString kSubtotal = QStringLiteral("Subtotal (33H)");
const QString kPayment = QStringLiteral("Calculate total(35H)");
const QString kClose = QStringLiteral("Close fiscal reciept(38H).");
const QString kTest = QStringLiteral("Test fisc rec.");

QStringList Repeat(const QString& s, int n) {
  QStringList out;
  for (int i = 0; i < n; ++i) out << s;
  return out;
}

}  // namespace

class TFiscalTestReceiptTest : public QObject {
  Q_OBJECT

  TFormFixture F;
  THookedTcpDevice* Device = nullptr;
  Ui::ReceiptOpenPage* Ui() { return F.Form->ReceiptOpen->ui; }

  // The simulator refuses the `nth` request of `cmd` as a device without paper does.
  void RefuseNth(int cmd, int nth) {
    auto seen = std::make_shared<std::map<int, int>>();
    Device->BeforeSend = [this, cmd, nth, seen](std::uint8_t code) {
      if (code == cmd && ++(*seen)[code] == nth) F.Sim->Device().SetStatusBit(2, 0, true, cmd, 1);
    };
  }

 private slots:
  void init() {
    Restart(F);
    Device = UseHookedSimulator(F);
    Ui()->eOpName->setText(QStringLiteral("OPER1"));
    Ui()->eUNP->setText(QStringLiteral("QZ999834-0001-0000001"));
  }
  void cleanup() { F.Release(); }

  void WholeReceiptOnOneLink() {
    Ui()->btnTestFiscRec->click();
    QCOMPARE(Titles(F), (QStringList{kOpen} + Repeat(kSale, 5) + Repeat(kSubtotal, 2) +
                         Repeat(kPayment, 3) + QStringList{kClose, kTest}));
    QCOMPARE(Readable(F.Sent()),
             (QStringList{
                 "90:OPER1,QZ999834-0001-0000001", "31:<0A>PLU name 1<09><C0>1.20",
                 "36:Fisc.comment text", "31:<0A>PLU name 2<09><C1>1.50*2.200",
                 "31:<0A>PLU name 3<09><C1>20.00*3.000", "31:<0A>PLU name 4<09><C1>120.00,-10.00",
                 "31:<0A>PLU name 5<09><C1>25.00*2.200,5.00", "33:11,10.00", "33:11;-20.00",
                 "35:Payment : Pay type C<09>C+12.00", "35:Payment : Pay type N<09>N+10.20",
                 "35:Payment : Pay type P<09>P+1000.00", "38:"}));
    const QList<TLoggedBlock> b = F.Blocks();
    for (const TLoggedBlock& block : b) QVERIFY2(block.Ok, qPrintable(block.Title));
    QCOMPARE(b[1].Text, QStringList{QStringLiteral("Line1=\"\" Line2=\"PLU name 1\"")});
    QCOMPARE(b[6].Text, (QStringList{"Bonus/discount: 10.00%", "SubTotal: 253.28",
                                     "Vat sum[1]=1.32", "Vat sum[2]=251.96", "Vat sum[3]=0.00",
                                     "Vat sum[4]=0.00", "Vat sum[5]=0.00", "Vat sum[6]=0.00",
                                     "Vat sum[7]=0.00", "Vat sum[8]=0.00"}));
    QCOMPARE(b[7].Text.mid(0, 4),
             (QStringList{"Absolute bonus/discount: -20.00", "SubTotal: 233.28", "Vat sum[1]=1.22",
                          "Vat sum[2]=232.06"}));
    QCOMPARE(b[8].Text, QStringList{"Current sum: 221.28 PaidCode: D"});
    QCOMPARE(b[10].Text, QStringList{"Current sum: 788.92 PaidCode: R"});
    QCOMPARE(b[11].Text, QStringList{"AllReceipt: 1, FiscReceipt: 1 "});
    QCOMPARE(b[12].Text, QStringList{});

    // Booked once, and the link closed.
    const sim::TSimState s = F.Sim->Device().Snapshot();
    QVERIFY(!s.FiscalOpen());
    QCOMPARE(s.FiscalReceipts, 1);
    QCOMPARE(s.DaySales[0], 122);
    QCOMPARE(s.DaySales[1], 23206);
    QCOMPARE(s.DayPayments[0], 21108);
    QCOMPARE(F.Sim->Device().ExecutedCount(0x38), 1);
    QVERIFY(!F.Form->Device->IsConnected());
  }

  void StopsAtTheStepTheDeviceRefuses() {
    const QString deviceError = QString::fromStdString(ErrorMessage(210));
    struct {
      const char* Name;
      int Cmd;
      int Nth;
      QStringList Titles;
      QString Final;  // empty: the failing step's own error
    } cases[] = {
        {"third sale", 0x31, 3, QStringList{kOpen} + Repeat(kSale, 3),
         "Step 5 failed: Register sell \"PLU name 3\"; the test stopped."},
        {"second payment", 0x35, 2,
         QStringList{kOpen} + Repeat(kSale, 5) + Repeat(kSubtotal, 2) + Repeat(kPayment, 2),
         "Step 11 failed: Calculate total(35H) \"Payment : Pay type N\"; the test stopped."},
        {"first subtotal",
         0x33,
         1,
         QStringList{kOpen} + Repeat(kSale, 5) + QStringList{kSubtotal},
         {}},
        {"text line", 0x36, 1, QStringList{kOpen, kSale}, {}},
    };
    for (const auto& c : cases) {
      init();
      RefuseNth(c.Cmd, c.Nth);
      Ui()->btnTestFiscRec->click();
      QCOMPARE(Titles(F), (c.Titles + QStringList{kTest}));
      const QList<TLoggedBlock> b = F.Blocks();
      const TLoggedBlock& failed = b[b.size() - 2];
      const TLoggedBlock& last = b.last();
      QVERIFY2(!last.Ok, c.Name);
      if (!c.Final.isEmpty()) {
        QVERIFY(!failed.Ok);
        QCOMPARE(last.Text, QStringList{c.Final});
      } else if (c.Cmd == 0x33) {
        QCOMPARE(last.Text, failed.Text);
      } else {
        QVERIFY2(last.Text.value(0).startsWith(deviceError), qPrintable(last.Text.join('|')));
      }
      // Nothing after the refused request, and the receipt is left open.
      const auto sent = F.Sent();
      QCOMPARE(int(sent.back().Cmd), c.Cmd);
      QVERIFY(F.Sim->Device().FiscalReceiptOpen());
      QVERIFY(!F.Form->Device->IsConnected());
    }
  }

  void RefusedSaleNumberWritesTheOpenEntryOnly() {
    Ui()->eUNP->setText(QStringLiteral("QZ999834-0001-0000000"));
    Ui()->btnTestFiscRec->click();
    QCOMPARE(Titles(F), QStringList{kOpen});
    QCOMPARE(F.LastBlock().Text,
             QStringList{QStringLiteral("Invalid sell nom: \"QZ999834-0001-0000000\"")});
    QVERIFY(F.SimRequests.empty());
  }

  void OpenRefusedByTheDeviceEndsTheTest() {
    F.Sim->Device().Mutate(
        [](sim::TSimState& s) { s.Receipt.Kind = sim::TSimReceipt::EKind::Comment; });
    Ui()->btnTestFiscRec->click();
    QCOMPARE(Titles(F), QStringList{kOpen});
    QVERIFY(!F.LastBlock().Ok);
    QCOMPARE(Readable(F.Sent()), QStringList{"90:OPER1,QZ999834-0001-0000001"});
  }
};

QTEST_MAIN(TFiscalTestReceiptTest)
#include "test_console_receipt_script.moc"
