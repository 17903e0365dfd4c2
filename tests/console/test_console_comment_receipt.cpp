// The "Comment reciept" tab: open, text, close, the scripted test receipt, its
// barcode group and both "Cancel all receipt" buttons, against the simulator
// over TCP and, where the simulator cannot answer so, a scripted device.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <atomic>

#include "CommentReceiptTab.h"
#include "ConsoleTestSupport.h"
#include "DeviceText.h"
#include "ReceiptTab.h"
#include "ResultBlock.h"
#include "ui_CommentReceiptTab.h"
#include "ui_ReceiptTab.h"

namespace {

QString Row(int i) { return QStringLiteral("Print comment row(2AH): %1").arg(i); }

const QString kOpenTitle = QStringLiteral("Open comment reciept(26H).");
const QString kCloseTitle = QStringLiteral("Close coment reciept(27H).");

QStringList Titles(const QList<TLoggedBlock>& blocks) {
  QStringList out;
  for (const auto& b : blocks) out << b.Title + (b.Ok ? QString() : QStringLiteral(" ERROR"));
  return out;
}

}  // namespace

class TCommentReceiptTest : public QObject {
  Q_OBJECT

  TFormFixture F;
  Ui::CommentReceiptTab* Ui() { return F.Form->CommentReceipt->ui; }

  void OpenCommentOnSimulator() {
    F.Sim->Device().Mutate(
        [](sim::TSimState& s) { s.Receipt.Kind = sim::TSimReceipt::EKind::Comment; });
  }

 private slots:
  void init() { F.Fresh(); }
  void cleanup() {
    if (F.Sim) F.Sim->Device().SetTrace({});
    F.Release();
  }

  void TabHasItsControls() {
    QCOMPARE(Ui()->Label16->text().split(QLatin1Char('\n')),
             (QStringList{"Open comment receipt", "Send comment 1", "Send comment 2", ".....",
                          "Send comment 6", "Close receipt"}));
    QCOMPARE(Ui()->edtCommentText->text(), QStringLiteral("Comment text"));
    QCOMPARE(Ui()->edtCommentText->maxLength(), 100);
    QCOMPARE(Ui()->edtCommentBarcode->text(), QStringLiteral("123456789012"));
    QCOMPARE(Ui()->edtCommentBarcode->maxLength(), 50);
    QStringList types;
    for (int i = 0; i < Ui()->cbCommentBCodeType->count(); ++i) {
      types << Ui()->cbCommentBCodeType->itemText(i);
    }
    QCOMPARE(types, (QStringList{"EAN8", "EAN13", "Code 128", "ITF", "ITF - No CS"}));
    QCOMPARE(Ui()->cbCommentBCodeType->currentIndex(), 0);
    QVERIFY(!Ui()->cbShoAsTxtComment->isChecked());
    QCOMPARE(Ui()->lblCommentText->text(), QStringLiteral("Comment: "));
    QCOMPARE(Ui()->lblCommentText->buddy(), Ui()->edtCommentText);
    QCOMPARE(Ui()->lblCommentBarcode->text(), QStringLiteral("Bar code: "));
    QCOMPARE(Ui()->lblCommentBarcode->buddy(), Ui()->edtCommentBarcode);
    QCOMPARE(Ui()->lblCommentBCodeType->text(), QStringLiteral("Type: "));
    QCOMPARE(Ui()->lblCommentBCodeType->buddy(), Ui()->cbCommentBCodeType);
  }

  void OpenTextCloseByHand() {
    F.UseSimulator();
    Ui()->btn02EHF->click();
    Ui()->edtCommentText->clear();
    QTest::keyClicks(Ui()->edtCommentText, QStringLiteral("  "));
    Ui()->edtCommentText->insert(QString::fromUtf8("Здравей"));
    QTest::keyClicks(Ui()->edtCommentText, QStringLiteral(" "));
    Ui()->btnCommentText->click();
    Ui()->btnCloseCommentrec->click();

    const auto blocks = F.Blocks();
    QCOMPARE(Titles(blocks), (QStringList{kOpenTitle, "Add comment text(2AH)", kCloseTitle}));
    QCOMPARE(blocks[0].Text, QStringList{"AllReceipt: 1, ErrCode: 0 "});
    QCOMPARE(blocks[1].Text, QStringList{});
    QCOMPARE(blocks[2].Text, QStringList{"AllReceipt: 1"});
    // Not trimmed, and in CP1251.
    QCOMPARE(F.SimRequests[2].DataText(), std::string("  \xC7\xE4\xF0\xE0\xE2\xE5\xE9 "));
    QCOMPARE(F.SentTexts().first(), QStringLiteral("26:"));
    QCOMPARE(F.SentTexts().last(), QStringLiteral("27:"));
    QVERIFY(!F.Sim->Device().CommentReceiptOpen());
    QVERIFY(!F.Form->Device->IsConnected());
  }

  void CommentWithoutACp1251ByteIsRefused() {
    F.UseScripted();
    F.Form->DeviceSerialNo = "QZ999834";  // identity read before
    Ui()->edtCommentText->setText(QString::fromUtf8("row 中"));
    Ui()->btnCommentText->click();
    QVERIFY(!F.LastBlock().Ok);
    QVERIFY(F.LastBlock().Text.join(QString()).contains(QStringLiteral("U+4E2D")));
    QCOMPARE(F.Scripted->ConnectCalls, 1);
    QVERIFY(F.Scripted->Requests.empty());
  }

  // The device refuses the third row only: the script goes on and closes.
  void TestReceiptWithTheThirdRowRefused() {
    F.UseSimulator();
    std::atomic<int> seen{0};
    TSimDevice& dev = F.Sim->Device();
    dev.SetTrace([&](const std::string& line) {
      // "RX <SOH> LEN SEQ CMD ...": a printer fault just before the third 2AH.
      const QStringList parts = QString::fromStdString(line).split(QLatin1Char(' '));
      if (parts.value(0) == "RX" && parts.value(4) == "2A" && ++seen == 3) {
        dev.SetStatusBit(0, 4, true, 0x2A, 1);
      }
    });
    Ui()->btnTestCommentRec->click();
    dev.SetTrace({});
    const auto blocks = F.Blocks();
    QCOMPARE(Titles(blocks), (QStringList{kOpenTitle, Row(1), Row(2), Row(3) + " ERROR", Row(4),
                                          Row(5), Row(6), kCloseTitle}));
    for (int i : {1, 2, 4, 5, 6}) QCOMPARE(blocks[i].Text, QStringList{Row(i) + ". Printed"});
    QVERIFY2(blocks[3].Text.join(QString()).contains(QStringLiteral("[0/4]")),
             qPrintable(blocks[3].Text.join('|')));
    QStringList rows;
    for (int i = 0; i <= 5; ++i) rows << QStringLiteral("2A:Comment text row:%1").arg(i);
    QCOMPARE(F.SentTexts(), QStringList{"26:"} + rows + QStringList{"27:"});
    QCOMPARE(dev.ExecutedCount(0x2A), 5);
    QVERIFY(!dev.CommentReceiptOpen());
    QVERIFY(!F.Form->Device->IsConnected());
  }

  void TestReceiptStopsWhenTheOpenIsRefused() {
    F.UseSimulator();
    F.Sim->Device().Mutate(
        [](sim::TSimState& s) { s.Receipt.Kind = sim::TSimReceipt::EKind::Fiscal; });
    Ui()->btnTestCommentRec->click();
    const auto blocks = F.Blocks();
    QCOMPARE(Titles(blocks), QStringList{kOpenTitle + " ERROR"});
    QCOMPARE(F.SentTexts(), QStringList{"26:"});
  }

  // The rows run on one link: connected for the open, once more for the rows,
  // and the close uses that link.
  void TestReceiptRowsShareOneLink() {
    F.UseScripted();
    F.ScriptIdentity();
    F.Scripted->Answer("17", StatusWith({{2, 5}}));
    for (int i = 0; i < 6; ++i) F.Scripted->Answer("", StatusWith({{2, 5}}));
    F.Scripted->Answer("18,0");
    Ui()->btnTestCommentRec->click();
    QCOMPARE(F.Scripted->ConnectCalls, 2);
    QCOMPARE(F.Blocks().first().Text, QStringList{"AllReceipt: 17, ErrCode: 0 "});
    QCOMPARE(F.LastBlock().Text, QStringList{"AllReceipt: 18"});
    QCOMPARE(F.Blocks().size(), 8);
  }

  // A failed reconnect after the open still stops the script, but says why.
  void TestReceiptReconnectFailureIsLogged() {
    F.UseScripted();
    F.ScriptIdentity();
    F.Scripted->Answer("17", StatusWith({{2, 5}}));
    TScriptedDevice* dev = F.Scripted;
    const auto sent = dev->OnFrameSent;
    dev->OnFrameSent = [dev, sent](const std::string& frame) {
      sent(frame);
      if (frame.size() > 3 && static_cast<unsigned char>(frame[3]) == 0x26) {
        dev->ConnectResult = false;
      }
    };
    Ui()->btnTestCommentRec->click();
    const auto blocks = F.Blocks();
    QCOMPARE(Titles(blocks), (QStringList{kOpenTitle, "Test comment receipt ERROR"}));
    QCOMPARE(blocks[1].Text, QStringList{"Failed to connect host. scripted"});
    QCOMPARE(dev->Commands(), (std::vector<std::uint8_t>{0x5A, 0x26}));
  }

  void Barcode_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("showText");
    QTest::addColumn<QString>("sent");  // empty: nothing sent
    QTest::addColumn<QStringList>("block");
    QTest::newRow("blanks") << "   " << 0 << false << ""
                            << QStringList{"ERROR", "Barcode is empty."};
    QTest::newRow("ITF - No CS with text")
        << " 12345678 " << 4 << true << "54:5,12345678" << QStringList{"OK", "Barcode : 12345678"};
    QTest::newRow("ITF - No CS without text")
        << "12345678" << 4 << false << "54:5;12345678" << QStringList{"OK", "Barcode : 12345678"};
    QTest::newRow("EAN13") << "123456789012" << 1 << true << "54:2,123456789012"
                           << QStringList{"OK", "Barcode : 123456789012"};
    QTest::newRow("no type selected")
        << "1234567" << -1 << false << "54:1;1234567" << QStringList{"OK", "Barcode : 1234567"};
  }
  void Barcode() {
    QFETCH(QString, typed);
    QFETCH(int, type);
    QFETCH(bool, showText);
    QFETCH(QString, sent);
    QFETCH(QStringList, block);
    F.UseSimulator();
    OpenCommentOnSimulator();
    Ui()->edtCommentBarcode->clear();
    QTest::keyClicks(Ui()->edtCommentBarcode, typed);
    Ui()->cbCommentBCodeType->setCurrentIndex(type);
    Ui()->cbShoAsTxtComment->setChecked(showText);
    Ui()->btnSendCommentBarcode->click();
    QCOMPARE(F.LastBlock().Title, QStringLiteral("Send barcode (54H)"));
    QCOMPARE((QStringList{F.LastBlock().Ok ? "OK" : "ERROR"} + F.LastBlock().Text), block);
    QCOMPARE(F.SentTexts(), sent.isEmpty() ? QStringList{} : QStringList{sent});
    // Checked on the open link: nothing but the identity read goes out.
    if (sent.isEmpty()) QVERIFY(F.Sent().empty());
  }

  void CancelAllReceipts_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("open");
    QTest::addColumn<QStringList>("sent");
    const int none = int(sim::TSimReceipt::EKind::None);
    const int comment = int(sim::TSimReceipt::EKind::Comment);
    const int fiscal = int(sim::TSimReceipt::EKind::Fiscal);
    for (const QString button : {"BitBtn1", "btnCancelAllRec"}) {
      const QByteArray b = button.toLatin1();
      QTest::newRow((b + ", nothing open").constData()) << button << none << QStringList{"4A:W"};
      QTest::newRow((b + ", comment receipt").constData())
          << button << comment << QStringList{"4A:W", "27:"};
      QTest::newRow((b + ", fiscal receipt").constData())
          << button << fiscal << QStringList{"4A:W", "3C:", "4A:W"};
    }
  }
  void CancelAllReceipts() {
    QFETCH(QString, button);
    QFETCH(int, open);
    QFETCH(QStringList, sent);
    F.UseSimulator();
    F.Sim->Device().Mutate([open](sim::TSimState& s) {
      s.Receipt.Kind = static_cast<sim::TSimReceipt::EKind>(open);
      if (s.FiscalOpen()) s.Receipt.Lines = {{1, 0, 0, 1000, 1000}};
    });
    F.Form->findChild<QPushButton*>(button)->click();
    QCOMPARE(F.Blocks().size(), 1);
    QCOMPARE(F.LastBlock().Title, QStringLiteral("Cancel all receipts"));
    QVERIFY(F.LastBlock().Ok);
    QCOMPARE(F.LastBlock().Text, QStringList{});
    QCOMPARE(F.SentTexts(), sent);
    QVERIFY(!F.Sim->Device().CommentReceiptOpen());
    QVERIFY(!F.Sim->Device().FiscalReceiptOpen());
  }
};

QTEST_MAIN(TCommentReceiptTest)
#include "test_console_comment_receipt.moc"
