// Where each panel button opens the link relative to its input checks: with an
// input error, a button that connects first opens the link once and sends
// nothing; one that checks first never touches the link. The identity is read
// before each case, so every request counted would be the button's own.
#include <QtTest>

#include <QLineEdit>
#include <QPushButton>

#include "ConsoleTestSupport.h"
#include "panels/OptionalDateEdit.h"

namespace {

enum class EConnect { Before, After };

// One handler: the button clicked, the edit given a wrong text (none: its
// default is already refused), its order and the start of its error text.
struct TOrderCase {
  const char* Handler;
  const char* Button;
  const char* Edit;
  const char* Typed;
  EConnect Connect;
  const char* Error;
};

const char* const kNoCp1251 = "\xE4\xB8\xAD";  // U+4E2D, which CP1251 cannot hold

const TOrderCase kCases[] = {
    // Information and document panels: every check on the open link.
    {"btnSendCommentBarcodeClick", "btnSendCommentBarcode", "edtCommentBarcode", "  ",
     EConnect::Before, "Barcode is empty."},
    {"btnSendFiscBarcodeClick", "btnSendFiscBarcode", "edtFiscBarcode", " ", EConnect::Before,
     "Barcode is empty."},
    {"btnSendInvDataClick", "btnSendInvData", "edtEIKNo", "   ", EConnect::Before,
     "EIK is mandatory."},
    {"btnCommentTextClick", "btnCommentText", "edtCommentText", kNoCp1251, EConnect::Before,
     "Comment: the character U+4E2D"},
    // Receipt: the sale number before the link, every page's inputs after it.
    {"btnOpenRec90Click", "btnOpenRec90", "eUNP", "bad", EConnect::After,
     "Invalid sell nom: \"bad\""},
    {"btnSendPLUClick", "btnSendPLU", "c6SellPluPriceEdit", "abc", EConnect::Before,
     "Invalid price."},
    {"btnSendPLUAndDisplClick", "btnSendPLUAndDispl", "c6SellPluQuantEdit", "x", EConnect::Before,
     "Invalid Qtty."},
    {"btnSellDepartmentClick", "btnSellDepartment", "edtSellDepDisc", "x", EConnect::Before,
     "Invalid bonus/discount."},
    {"btnSellDepAndDisplClick", "btnSellDepAndDispl", "edtSellDepPrc", "x", EConnect::Before,
     "Invalid price."},
    {"btnSellRegPluClick", "btnSellRegPlu", "edtSelPluQtty", "x", EConnect::Before,
     "Invalid plu qtty."},
    {"btnDiscLastPluClick", "btnDiscLastPlu", "edtDiscLastPlu", "x", EConnect::Before,
     "Invalid discount value."},
    {"btnFiscAddTextClick", "btnFiscAddText", "c6CommentEdit", kNoCp1251, EConnect::Before,
     "Comment: the character U+4E2D"},
    {"btnSendSubtotalClick", "btnSendSubtotal", "edtStllBonus", "x", EConnect::Before,
     "Invalid value for bonus/discount."},
    {"btnSendPayment35HClick", "btnSendPayment35H", "c6SendPaymentAmountEdit", "x",
     EConnect::Before, "Invalid value for Amount."},
    // Reports: ranges before the link; header lines after it.
    {"btnDetailRepByBlockClick", "btnDetailRepByBlock", "c2StartNmbEdit", "x", EConnect::After,
     "Invalid start number."},
    {"btnShortRepByBlockClick", "btnShortRepByBlock", "c2EndNmbEdit", "", EConnect::After,
     "Invalid start number."},
    {"btnDetaiReportByDateClick", "btnDetaiReportByDate", nullptr, nullptr, EConnect::After,
     "Date values are invalid.[Start date]"},
    {"btnShortRepByDateClick", "btnShortRepByDate", nullptr, nullptr, EConnect::After,
     "Date values are invalid.[Start date]"},
    {"btnSetHeaderClick", "btnSetHeader", "c3Line4Edit", kNoCp1251, EConnect::Before,
     "Line 4: the character U+4E2D"},
    {"btnSetFooterLinesClick", "btnSetFooterLines", "c3Line8Edit", kNoCp1251, EConnect::Before,
     "Line 8: the character U+4E2D"},
    // Device settings.
    {"btn03DHClick", "btn03DH", nullptr, nullptr, EConnect::After, "Date value is invalid. "},
    {"btn028HClick", "btn028H", "c7PayedOutReceivedOnAccountEdit", "0", EConnect::Before,
     "Invalid value for Amount."},
    {"btnSetUserNameClick", "btnSetUserName", "edtOperName", " ", EConnect::Before,
     "Operator name is empty."},
    {"btnSetPayNameClick", "btnSetPayName", "edtPayNameText", kNoCp1251, EConnect::Before,
     "Pay text: the character U+4E2D"},
    {"btnFunc53SetClick", "btnFunc53Set", "eTax3", "-5", EConnect::After,
     "Invalid value for : WatGrp[3]"},
    {"btnGetInvRangeClick", "btnGetInvRange", "edtBegInvNo", "x", EConnect::Before,
     "Invalid invoice start num."},
    {"btnSetDepartmentClick", "btnSetDepartment", "edtDepText1", kNoCp1251, EConnect::Before,
     "Department text 1: the character U+4E2D"},
    {"btnSetPluClick", "btnSetPlu", "edtProgPluQtty", "abc", EConnect::Before, "Invalid plu qtty."},
    {"btnSetPluClick price", "btnSetPlu", "edtProgPluUnitPrc", "abc", EConnect::Before,
     "Invalid plu UnitPrice."},
};

}  // namespace

class TConnectOrderTest : public QObject {
  Q_OBJECT

  TFormFixture F;

 private slots:
  void init() {
    F.Fresh();
    F.UseSimulator();
    // The identity is read now, so that the button's link sends nothing of its own.
    F.Form->EnsureConnected();
    F.Form->Device->Disconnect();
    QVERIFY(!F.Form->DeviceSerialNo.empty());
    F.SimRequests.clear();
    F.SimLinks = 0;
  }
  void cleanup() { F.Release(); }

  void InputErrorOpensTheLinkOnlyWhenConnectingFirst_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < static_cast<int>(std::size(kCases)); ++i) {
      QTest::newRow(kCases[i].Handler) << i;
    }
  }
  void InputErrorOpensTheLinkOnlyWhenConnectingFirst() {
    QFETCH(int, index);
    const TOrderCase& c = kCases[index];
    if (c.Edit) {
      auto* edit = F.Form->findChild<QLineEdit*>(QLatin1String(c.Edit));
      QVERIFY2(edit, c.Edit);
      edit->setText(QString::fromUtf8(c.Typed));
    }
    auto* button = F.Form->findChild<QPushButton*>(QLatin1String(c.Button));
    QVERIFY2(button, c.Button);
    button->click();

    const TLoggedBlock block = F.LastBlock();
    QVERIFY(!block.Ok);
    const QString error = block.Text.join(QLatin1Char('\n'));
    QVERIFY2(error.startsWith(QString::fromUtf8(c.Error)), qPrintable(error));
    QCOMPARE(F.SimLinks, c.Connect == EConnect::Before ? 1 : 0);
    QCOMPARE(F.SimRequests.size(), std::size_t{0});
    QVERIFY(!F.Form->Device->IsConnected());
  }

  // The date boxes the cases rely on start empty.
  void DateBoxesStartEmpty() {
    for (const char* name : {"c2StartDateEdit", "c2EndDateEdit", "c7SysDateTime_DateDateEdit"}) {
      auto* box = F.Form->findChild<TOptionalDateEdit*>(QLatin1String(name));
      QVERIFY2(box && box->IsEmpty(), name);
    }
  }
};

QTEST_MAIN(TConnectOrderTest)
#include "test_console_connect_order.moc"
