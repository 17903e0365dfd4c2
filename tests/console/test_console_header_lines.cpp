// The "Header/footer lines" tab: setting and loading the receipt's header and
// footer lines line by line, against the simulator over loopback and a
// scripted device.
#include <QtTest>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ConsoleTestSupport.h"
#include "HeaderLinesTab.h"
#include "ui_HeaderLinesTab.h"

namespace {

QString SetTitle(int line) { return QStringLiteral("Set header row(2BH).%1").arg(line); }
QString GetTitle(int line) { return QStringLiteral("Get header row(2BH). Row:%1").arg(line); }

}  // namespace

class THeaderLinesTest : public QObject {
  Q_OBJECT

  TFormFixture F;
  Ui::HeaderLinesTab* Ui() { return F.Form->HeaderLines->ui; }
  QList<QLineEdit*> Edits() {
    return {Ui()->edtLine1,    Ui()->c3Line2Edit, Ui()->c3Line3Edit, Ui()->c3Line4Edit,
            Ui()->c3Line5Edit, Ui()->c3Line6Edit, Ui()->c3Line7Edit, Ui()->c3Line8Edit};
  }
  QStringList Titles() const {
    QStringList t;
    for (const TLoggedBlock& b : F.Blocks()) t << b.Title;
    return t;
  }
  void ScriptedWithIdentity() {
    F.UseScripted();
    F.ScriptIdentity();
  }

 private slots:
  void init() { F.Fresh(); }
  void cleanup() { F.Release(); }

  void EditsAndTheirLabels() {
    for (int i = 0; i < 8; ++i) {
      QLineEdit* e = Edits()[i];
      QCOMPARE(e->text(), QStringLiteral("Adv Line %1").arg(i + 1));
      QCOMPARE(e->maxLength(), 100);
      auto* label = F.Form->HeaderLines->findChild<QLabel*>(QStringLiteral("lblLine%1").arg(i + 1));
      QVERIFY(label);
      QCOMPARE(label->text(), QStringLiteral("Line %1").arg(i + 1));
      QCOMPARE(label->buddy(), e);
    }
  }

  void HeaderAndFooterAgainstTheSimulator() {
    F.UseSimulator();
    Ui()->btnSetHeader->click();
    Ui()->btnSetFooterLines->click();
    QStringList sent;
    for (int i = 0; i < 8; ++i) sent << QStringLiteral("2B:%1Adv Line %2").arg(i).arg(i + 1);
    QCOMPARE(F.SentTexts(), sent);
    QCOMPARE(Titles(), (QStringList{SetTitle(0), SetTitle(1), SetTitle(2), SetTitle(3), SetTitle(4),
                                    SetTitle(5), SetTitle(6), SetTitle(7)}));
    for (const TLoggedBlock& b : F.Blocks()) {
      QVERIFY(b.Ok);
      QVERIFY(b.Text.isEmpty());
    }
    QCOMPARE(F.Sim->Device().Snapshot().Lines[7], std::string("Adv Line 8"));
    QVERIFY(!F.Form->Device->IsConnected());
  }

  void RefusedLineStopsTheHeader() {
    ScriptedWithIdentity();
    F.Scripted->Answer("");
    F.Scripted->Answer("");
    F.Scripted->Answer("", StatusWith({{0, 1}}));
    Ui()->btnSetHeader->click();
    QStringList data;
    for (const auto& r : F.Scripted->Requests) data << QString::fromStdString(r.DataText());
    // The identity read, then lines 0 to 2; lines 3 to 5 are not sent.
    QCOMPARE(data.mid(1), (QStringList{"0Adv Line 1", "1Adv Line 2", "2Adv Line 3"}));
    QCOMPARE(Titles(), (QStringList{SetTitle(0), SetTitle(1), SetTitle(2)}));
    const auto blocks = F.Blocks();
    QVERIFY(blocks[0].Ok && blocks[1].Ok);
    QVERIFY(!blocks[2].Ok);
    QVERIFY2(blocks[2].Text.join(' ').contains(QStringLiteral("[0/1]")),
             qPrintable(blocks[2].Text.join(' ')));
    QVERIFY(!F.Scripted->Connected);
  }

  void LongLineIsSentAsItsFirst36Characters() {
    ScriptedWithIdentity();
    for (int i = 0; i < 6; ++i) F.Scripted->Answer("");
    const QString fifty = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn");
    QCOMPARE(fifty.size(), 50);
    Ui()->edtLine1->clear();
    QTest::keyClicks(Ui()->edtLine1, fifty);
    QCOMPARE(Ui()->edtLine1->text(), fifty);
    Ui()->btnSetHeader->click();
    QCOMPARE(F.Scripted->Requests[1].Cmd, 0x2B);
    QCOMPARE(F.Scripted->Requests[1].DataText(), "0" + fifty.left(36).toStdString());
  }

  // Set, empty the edits, load: the same texts come back, cut to 36.
  void LinesSetThenLoadedBackAreTheSame() {
    F.UseSimulator();
    QStringList typed;
    for (int i = 0; i < 8; ++i) {
      typed << QString::fromUtf8("Ред %1 ").arg(i) + QString(40, QChar(u'a' + i));
      Edits()[i]->setText(typed.last());
    }
    typed[2] = QStringLiteral("  leading and trailing blanks  ");
    Edits()[2]->setText(typed[2]);
    Ui()->btnSetHeader->click();
    Ui()->btnSetFooterLines->click();
    QCOMPARE(F.Sim->Device().Snapshot().Lines[0].substr(0, 3), std::string("\xD0\xE5\xE4"));
    F.SimRequests.clear();
    F.Form->Clear1Click();
    for (QLineEdit* e : Edits()) e->clear();

    Ui()->btnLoadHeder->click();
    Ui()->btnLoadFootetLines->click();
    QStringList sent;
    for (int i = 0; i < 8; ++i) sent << QStringLiteral("2B:I%1").arg(i);
    QCOMPARE(F.SentTexts(), sent);
    const auto blocks = F.Blocks();
    QCOMPARE(blocks.size(), 8);
    for (int i = 0; i < 8; ++i) {
      QCOMPARE(Edits()[i]->text(), typed[i].left(36));
      QCOMPARE(blocks[i].Title, GetTitle(i));
      QVERIFY(blocks[i].Ok);
      QCOMPARE(blocks[i].Text, QStringList{typed[i].left(36)});
    }
    QVERIFY(!F.Form->Device->IsConnected());
  }

  void FailedReadStopsTheLoad() {
    ScriptedWithIdentity();
    F.Scripted->Answer("ONE");
    F.Scripted->Answer("", StatusWith({{0, 1}}));
    Ui()->btnLoadHeder->click();
    QCOMPARE(F.Scripted->Requests.size(), std::size_t{3});
    QCOMPARE(F.Scripted->Requests[2].DataText(), std::string("I1"));
    QCOMPARE(Titles(), (QStringList{GetTitle(0), GetTitle(1)}));
    QVERIFY(F.Blocks()[0].Ok);
    QVERIFY(!F.Blocks()[1].Ok);
    QCOMPARE(Ui()->edtLine1->text(), QStringLiteral("ONE"));
    // The line that failed and those after it keep what they showed.
    QCOMPARE(Ui()->c3Line2Edit->text(), QStringLiteral("Adv Line 2"));
    QCOMPARE(Ui()->c3Line6Edit->text(), QStringLiteral("Adv Line 6"));
    QVERIFY(!F.Scripted->Connected);
  }

  void LinkThatCannotBeOpenedIsLoggedOnce_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("title");
    QTest::newRow("set header") << "btnSetHeader" << SetTitle(0);
    QTest::newRow("set footer") << "btnSetFooterLines" << SetTitle(6);
    QTest::newRow("load header") << "btnLoadHeder" << GetTitle(0);
    QTest::newRow("load footer") << "btnLoadFootetLines" << GetTitle(6);
  }
  void LinkThatCannotBeOpenedIsLoggedOnce() {
    QFETCH(QString, button);
    QFETCH(QString, title);
    F.UseScripted();
    F.Scripted->ConnectResult = false;
    F.Form->HeaderLines->findChild<QPushButton*>(button)->click();
    QVERIFY(F.Scripted->Requests.empty());
    QCOMPARE(F.Blocks().size(), 1);
    QCOMPARE(F.LastBlock().Title, title);
    QVERIFY(!F.LastBlock().Ok);
    QCOMPARE(F.LastBlock().Text, QStringList{"Failed to connect host. scripted"});
  }

  void FailedIdentityReadIsLoggedAndTheLinkClosed() {
    F.UseScripted();
    F.Scripted->Fail(107, "no identity");
    Ui()->btnLoadFootetLines->click();
    QCOMPARE(F.Scripted->Requests.size(), std::size_t{1});
    QCOMPARE(F.Blocks().size(), 1);
    QCOMPARE(F.LastBlock().Text, QStringList{"no identity"});
    QVERIFY(!F.Scripted->Connected);
  }

  void TextWithoutACp1251ByteSendsNoLine() {
    F.UseScripted();
    F.Form->DeviceSerialNo = "QZ999834";  // identity read before
    Ui()->c3Line4Edit->setText(QString::fromUtf8("Line 中"));
    Ui()->btnSetHeader->click();
    // The link is opened first; no line of the group is sent.
    QCOMPARE(F.Scripted->ConnectCalls, 1);
    QVERIFY(F.Scripted->Requests.empty());
    QCOMPARE(F.Blocks().size(), 1);
    QCOMPARE(F.LastBlock().Title, SetTitle(3));
    const QString error = F.LastBlock().Text.join(' ');
    QVERIFY2(error.startsWith(QStringLiteral("Line 4: ")) && error.contains("U+4E2D"),
             qPrintable(error));
  }

  // The routine works on a link its caller opened and leaves it open.
  void ReadHeaderLineToEditKeepsTheLink() {
    F.UseScripted();
    F.Scripted->Connected = true;
    F.Scripted->Answer("<b>SHOP</b>");
    F.Scripted->Answer("", StatusWith({{0, 1}}));
    QLineEdit* edit = Ui()->c3Line5Edit;
    QVERIFY(F.Form->HeaderLines->ReadHeaderLineToEdit(4, edit));
    QCOMPARE(edit->text(), QStringLiteral("<b>SHOP</b>"));
    QVERIFY(!F.Form->HeaderLines->ReadHeaderLineToEdit(4, edit));
    QCOMPARE(edit->text(), QStringLiteral("<b>SHOP</b>"));
    QCOMPARE(F.Scripted->ConnectCalls, 0);
    QVERIFY(F.Scripted->Connected);
    QCOMPARE(Titles(), (QStringList{GetTitle(4), GetTitle(4)}));
    QCOMPARE(F.Blocks()[0].Text, QStringList{"<b>SHOP</b>"});
    QCOMPARE(F.Scripted->Requests[0].DataText(), std::string("I4"));
  }
};

QTEST_MAIN(THeaderLinesTest)
#include "test_console_header_lines.moc"
