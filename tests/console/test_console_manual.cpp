// The "Manual command" page, against the simulator over TCP and a scripted device.
#include <QtTest>

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "ConsoleTestSupport.h"
#include "SimServer.h"
#include "ui_ManualCommandTab.h"

class TManualCommandTest : public QObject {
  Q_OBJECT

  TFormFixture F;
  Ui::ManualCommandTab* Ui() { return F.Form->ManualUi; }

  void Send(const QString& code, const QString& params = {}) {
    Ui()->eCommand->setText(code);
    Ui()->edtParams->setText(params);
    Ui()->bCommand->click();
  }

 private slots:
  void init() {
    F.Form.reset();
    F.Errors.clear();
    F.Open();
  }

  void PageHasItsControls() {
    QCOMPARE(Ui()->Label57->text(),
             QStringLiteral("You can send any command and its parameters directly to the FP"));
    QCOMPARE(Ui()->eCommand->maxLength(), 2);
    QCOMPARE(Ui()->lblBufAsHex->text(), QStringLiteral("-"));
    QCOMPARE(Ui()->bCommand->text(), QStringLiteral("Execute selected command"));
    QMenu* menu = Ui()->btnAddSpecChar->menu();
    QVERIFY(menu);
    QCOMPARE(menu->objectName(), QStringLiteral("mnSpecSymbol"));
    QStringList items;
    for (QAction* a : menu->actions()) {
      items << QStringLiteral("%1|%2|%3").arg(a->objectName(), a->text()).arg(a->data().toInt());
    }
    QCOMPARE(items, (QStringList{"mnLineFeed|Line feed (0AH)|1", "AB09H1|TAB (09H)|2",
                                 "mnUserSpec|User specified |0"}));
  }

  void CommandAgainstTheSimulatorWithEveryView() {
    TSimServer sim;
    QVERIFY(sim.StartTcp("127.0.0.1", 0));
    TMainForm& f = *F.Form;
    f.Settings.Connection.UseTCP = true;
    f.Settings.Connection.IPAddress = QStringLiteral("127.0.0.1");
    f.Settings.Connection.TCPPort = QString::number(sim.Port());
    f.CreateDevice();
    F.CheckAll(true);

    QTest::keyClicks(Ui()->eCommand, QStringLiteral("4a"));
    QCOMPARE(Ui()->eCommand->text(), QStringLiteral("4A"));
    Ui()->edtParams->setText(QStringLiteral("W"));
    Ui()->bCommand->click();
    sim.Stop();

    const QStringList lines = F.Lines();
    QCOMPARE(lines[0], QStringLiteral("Manual command."));
    QVERIFY(QRegularExpression(QStringLiteral("^Duration: \\d+ms$")).match(lines[1]).hasMatch());
    QCOMPARE(lines.mid(2, 4), (QStringList{"", "Result - OK ", "4AH", ""}));
    const int sent = lines.indexOf(QStringLiteral("Communication PC->PRN "));
    const int received = lines.indexOf(QStringLiteral("Communication PRN->PC "));
    QCOMPARE(sent, 6);
    QCOMPARE(lines[sent + 1], QStringLiteral("Raw view"));
    QVERIFY(lines[sent + 2].startsWith(QStringLiteral(" \x01")));
    QCOMPARE(lines[sent + 3], QStringLiteral("Hex view:"));
    QVERIFY(lines[sent + 4].startsWith(QStringLiteral(" <SOH>25")));
    QVERIFY(lines[sent + 4].contains(QStringLiteral("4A57<ENQ>")));
    QCOMPARE(lines[sent + 5], QStringLiteral("Detailed view:"));
    QCOMPARE(lines.mid(sent + 6, 4),
             (QStringList{" Packet length:5", " Packet sequence:1", " Command:4A", " Data:W"}));
    QVERIFY(lines[sent + 10].startsWith(QStringLiteral(" Sum:")));
    QCOMPARE(lines[received - 1], QString());
    QCOMPARE(lines.mid(received + 1, 1), QStringList{"Raw view"});
    QVERIFY(lines.contains(QStringLiteral(" Command:4A")));
    QVERIFY(
        lines.filter(QRegularExpression(QStringLiteral("^ Result status:[0-9A-F]{12}$"))).size() ==
        1);
    const QStringList flags =
        lines.filter(QRegularExpression(QStringLiteral("\\[(True|False)\\]$")));
    QCOMPARE(flags.size(), 37);
    QCOMPARE(lines.last(), kHyphens);
    QCOMPARE(lines.size(), received + 1 + 2 + 2 + 7 + 1 + 37 + 1);
    QVERIFY(!f.Device->IsConnected());
    QVERIFY(f.StatusPanelText(2).contains(QStringLiteral(", [")));
  }

  void WithoutOptionsTheBlockIsSevenLines() {
    TSimServer sim;
    QVERIFY(sim.StartTcp("127.0.0.1", 0));
    TMainForm& f = *F.Form;
    f.Settings.Connection = {1, "115200", "127.0.0.1", QString::number(sim.Port()), true, {}};
    f.CreateDevice();
    Send(QStringLiteral("4A"), QStringLiteral("W"));
    sim.Stop();
    const QStringList lines = F.Lines();
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines.mid(2), (QStringList{"", "Result - OK ", "4AH", "", kHyphens}));
  }

  void BadCodeEndsBeforeConnecting() {
    F.UseScripted();
    for (const QString& code : {QStringLiteral("G1"), QString()}) {
      F.Form->Clear1Click();
      Send(code, QStringLiteral("W"));
      QCOMPARE(F.Lines().mid(2),
               (QStringList{"", "Result - ERROR ", "Invalid value for command.", "", kHyphens}));
    }
    QCOMPARE(F.Scripted->ConnectCalls, 0);
    QVERIFY(F.Scripted->Requests.empty());
  }

  void ParametersTooLongForTheLengthByteAreLoggedAndNotSent() {
    F.UseScripted();
    F.ScriptIdentity();
    F.Scripted->Answer("");
    Send(QStringLiteral("2A"), QString(219, QLatin1Char('A')));
    QCOMPARE(F.Lines()[3], QStringLiteral("Result - OK "));
    QCOMPARE(F.Scripted->Requests.back().Data.size(), std::size_t{219});
    const std::size_t sent = F.Scripted->Requests.size();

    F.Form->Clear1Click();
    Send(QStringLiteral("2A"), QString(220, QLatin1Char('A')));
    QCOMPARE(F.Lines().mid(3),
             (QStringList{"Result - ERROR ",
                          "Invalid input data. [Request too long: 220 data bytes, at most 219]", "",
                          kHyphens}));
    QCOMPARE(F.Scripted->Requests.size(), sent);
  }

  void TextWithoutACp1251ByteIsRefused() {
    F.UseScripted();
    Send(QStringLiteral("2A"), QString::fromUtf8("AB中"));
    const QStringList lines = F.Lines();
    QCOMPARE(lines[3], QStringLiteral("Result - ERROR "));
    QVERIFY2(lines[4].contains(QStringLiteral("U+4E2D")), qPrintable(lines[4]));
    QVERIFY(lines[4].contains(QStringLiteral("nothing was sent")));
    QCOMPARE(F.Scripted->ConnectCalls, 0);
    QCOMPARE(Ui()->lblBufAsHex->text(), QStringLiteral("4142<U+4E2D>"));
  }

  void DeviceFailureShowsTheDeviceText() {
    F.UseScripted();
    F.CheckAll(true);
    F.Scripted->ConnectResult = false;
    Send(QStringLiteral("4A"));
    QCOMPARE(F.Lines().mid(3),
             (QStringList{"Result - ERROR ", "Failed to connect host. scripted", "", kHyphens}));

    F.Form->Clear1Click();
    F.Scripted->ConnectResult = true;
    F.ScriptIdentity();
    F.Scripted->Answer("", StatusWith({{0, 1}}));
    Send(QStringLiteral("4A"));
    QVERIFY(F.Lines()[4].startsWith(QStringLiteral("Invalid command. [0/1]")));
    QVERIFY(!F.Lines().contains(QStringLiteral("4AH")));
  }

  void ParametersTravelAsTyped() {
    F.UseScripted();
    F.ScriptIdentity();
    F.Scripted->Answer("<b>x</b> &amp;");
    F.Form->cbRaw->setChecked(true);
    QTest::keyClicks(Ui()->edtParams, QStringLiteral("ab"));
    Ui()->edtParams->setCursorPosition(1);
    F.Form->findChild<QAction*>("mnLineFeed")->trigger();
    F.Form->AskHexCode = [](QString& answer) {
      answer = QStringLiteral("05");
      return true;
    };
    F.Form->findChild<QAction*>("mnUserSpec")->trigger();
    QCOMPARE(Ui()->edtParams->text(), QStringLiteral("A\nB\x05"));
    Ui()->eCommand->setText(QStringLiteral("2a"));
    Ui()->bCommand->click();
    QCOMPARE(F.Scripted->Requests.back().Cmd, 0x2A);
    QCOMPARE(F.Scripted->Requests.back().Data, (TDataBuffer{'A', 0x0A, 'B', 0x10, 0x45}));
    QVERIFY(F.Lines().contains(QStringLiteral("2AH")));
    // The answer shows as text, never as markup.
    QVERIFY(F.Form->StatusMemo->toPlainText().contains(QStringLiteral("<b>x</b> &amp;")));
  }

  void SpecialCharactersGoToTheCaret() {
    QLineEdit* e = Ui()->edtParams;
    QAction* tab = F.Form->findChild<QAction*>("AB09H1");
    struct {
      int Caret;
      QString Expected;
    } cases[] = {{2, "AB\tCD"}, {0, "\tABCD"}, {4, "ABCD\t"}};
    for (const auto& c : cases) {
      e->setText(QStringLiteral("ABCD"));
      e->setCursorPosition(c.Caret);
      tab->trigger();
      QCOMPARE(e->text(), c.Expected);
      QCOMPARE(e->cursorPosition(), 5);
    }
    QCOMPARE(Ui()->lblBufAsHex->text(), QStringLiteral("4142434409"));
    e->clear();
    F.Form->findChild<QAction*>("mnLineFeed")->trigger();
    QCOMPARE(e->text(), QStringLiteral("\n"));
    QCOMPARE(Ui()->lblBufAsHex->text(), QStringLiteral("0A"));
  }

  void UserSpecifiedCharacter() {
    QLineEdit* e = Ui()->edtParams;
    QString answer;
    bool confirm = true;
    F.Form->AskHexCode = [&](QString& a) {
      a = answer;
      return confirm;
    };
    QAction* user = F.Form->findChild<QAction*>("mnUserSpec");
    struct {
      QString Answer;
      bool Confirm;
      QString Expected;
    } cases[] = {
        {QStringLiteral(" 4142 "), true, QStringLiteral("XYAZ")},  // two characters count
        {QStringLiteral("C0"), true, QString::fromUtf8("XYАZ")},   // CP1251 code
        {QStringLiteral("ZZ"), true, QStringLiteral("XYZ")},       // ignored
        {QStringLiteral("  "), true, QStringLiteral("XYZ")},
        {QStringLiteral("41"), false, QStringLiteral("XYZ")},  // cancelled
    };
    for (const auto& c : cases) {
      e->setText(QStringLiteral("XYZ"));
      e->setCursorPosition(2);
      answer = c.Answer;
      confirm = c.Confirm;
      user->trigger();
      QCOMPARE(e->text(), c.Expected);
      QCOMPARE(e->cursorPosition(), c.Confirm ? static_cast<int>(c.Expected.size()) : 2);
    }
  }

  void TypedLettersBecomeCapitalsAndTheHexViewFollows() {
    QTest::keyClicks(Ui()->edtParams, QStringLiteral("abc"));
    QCOMPARE(Ui()->edtParams->text(), QStringLiteral("ABC"));
    QCOMPARE(Ui()->lblBufAsHex->text(), QStringLiteral("414243"));
    Ui()->edtParams->clear();
    QCOMPARE(Ui()->lblBufAsHex->text(), QString());
  }
};

QTEST_MAIN(TManualCommandTest)
#include "test_console_manual.moc"
