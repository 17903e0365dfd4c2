// The main window: pages, log pane, pop-up menu and the frame of work.
#include <QtTest>

#include <QAccessible>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextDocument>

#include <cerrno>
#include <cstring>

#include "ConsoleTestSupport.h"
#include "FileReplace.h"
#include "TabPanel.h"
#include "uPrintData.h"

namespace {

// A serial line with noise before the frame: the bytes arrive ahead of the reply.
class TNoisyDevice : public TScriptedDevice {
 public:
  std::string Noise;
  std::vector<std::uint8_t> ControlBytes;
  bool SendCommand(std::uint8_t code, TDataBuffer& data, TDataBuffer& status) override {
    for (char c : Noise) RaiseByteReceived(static_cast<std::uint8_t>(c));
    for (std::uint8_t b : ControlBytes) RaiseControlByte(b);
    return TScriptedDevice::SendCommand(code, data, status);
  }
};

// Makes one call of a file replacement fail as a full or failing disk does; the
// others reach the real file system.
class TFailingCalls : public TFileCalls {
 public:
  QString Step;
  int Error = 0;
  int Open(const char* path, int flags, mode_t mode) override {
    return Step == "open" ? Fail() : TFileCalls::Open(path, flags, mode);
  }
  ssize_t Write(int fd, const void* data, std::size_t size) override {
    if (Step == "stalled write") return 0;
    if (Step != "write") return TFileCalls::Write(fd, data, size);
    // A few bytes reach the disk, then it is full.
    if (Written_ >= 5) return Fail();
    const std::size_t n = std::min<std::size_t>(size, 5 - Written_);
    Written_ += n;
    return TFileCalls::Write(fd, data, n);
  }
  int Sync(int fd) override { return Step == "sync" ? Fail() : TFileCalls::Sync(fd); }
  int Close(int fd) override {
    const int r = TFileCalls::Close(fd);
    return Step == "close" ? Fail() : r;
  }
  int Rename(const char* from, const char* to) override {
    return Step == "rename" ? Fail() : TFileCalls::Rename(from, to);
  }

 private:
  int Fail() const {
    errno = Error;
    return -1;
  }
  std::size_t Written_ = 0;
};

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList Captions(QTabWidget* tabs) {
  QStringList out;
  for (int i = 0; i < tabs->count(); ++i)
    out << tabs->widget(i)->objectName() + "|" + tabs->tabText(i);
  return out;
}

}  // namespace

class TMainFormTest : public QObject {
  Q_OBJECT

  TFormFixture F;

 private slots:
  void init() {
    F.Form.reset();
    QVERIFY(F.Dir.isValid());
    QFile::remove(F.IniPath());
    F.Errors.clear();
    F.Open();
    F.UseScripted();
  }

  void ShellHasItsPagesMenusAndStatusBar() {
    TMainForm& f = *F.Form;
    QCOMPARE(f.windowTitle(), QStringLiteral("VELMORA ECR/FPR Test application"));
    QCOMPARE(Captions(f.PCMain),
             (QStringList{"TS_Information|Information", "TS_FMReports|Fiscal reports",
                          "TS_AdvLines|Header/footer lines", "TS_Recept|Fisc.receipt",
                          "TabSheet4|Comment reciept", "TS_Command|Manual command",
                          "TS_Other|Other", "TabSheet1|Invoice range", "TabSheet3|Departments",
                          "shProgPlu|Register PLU in ECR/FP"}));
    QCOMPARE(
        Captions(f.PCRecept),
        (QStringList{"TS_Samples|Open receipt", "TS_PLU|PLU", "TS_Comment|Comments",
                     "TS_Subtotal|Subtotal", "TS_Payment|Payment", "TS_InvoiceClient|Invoce data",
                     "TS_CloseFiscRec|Close reciept", "TabSheet2|Duplicate last receipt"}));
    QCOMPARE(f.PCMain->currentWidget(), f.TS_Information);
    QCOMPARE(f.PCMain->objectName(), QStringLiteral("PCMain"));
    QCOMPARE(f.statusBar()->objectName(), QStringLiteral("StatusBar"));
    QCOMPARE(f.statusBar()->findChildren<QLabel*>().size(), 3);
    // Texts from the device or the operator show as they are, never as markup.
    for (QLabel* panel : f.statusBar()->findChildren<QLabel*>()) {
      QCOMPARE(panel->textFormat(), Qt::PlainText);
    }
    QVERIFY(f.StatusMemo->isReadOnly());
    QCOMPARE(f.StatusMemo->objectName(), QStringLiteral("StatusMemo"));
    QVERIFY(f.StatusMemo->LogFont().fixedPitch() ||
            QFontInfo(f.StatusMemo->LogFont()).fixedPitch());

    QStringList menus;
    for (QAction* a : f.menuBar()->actions()) menus << a->text();
    QCOMPARE(menus, (QStringList{"&File", "Se&ttings", "H&elp"}));
    QVERIFY(f.findChild<QAction*>("Exit1"));
    QCOMPARE(f.findChild<QAction*>("About1")->text(), QStringLiteral("&About"));

    QStringList popup;
    for (QAction* a : f.MemoPopup->actions()) popup << a->text();
    QCOMPARE(popup, (QStringList{"Copy", "Clear", "Select all", "Save to file", "Find...", "", "Font size",
                                 "Show options"}));
    for (const char* name : {"HEX1", "chDetailed", "cbRaw", "cbStatusAsString"}) {
      QVERIFY2(f.findChild<QAction*>(name)->isCheckable(), name);
    }
  }

  void FiscalReceiptPageAlwaysOpensOnItsFirstPage() {
    TMainForm& f = *F.Form;
    f.PCMain->setCurrentWidget(f.TS_Recept);
    f.PCRecept->setCurrentWidget(f.TS_Payment);
    f.PCMain->setCurrentWidget(f.TS_Other);
    f.PCMain->setCurrentWidget(f.TS_Recept);
    QCOMPARE(f.PCRecept->currentWidget(), f.TS_Samples);
  }

  void LogLinesAndTexts() {
    TMainForm& f = *F.Form;
    f.AddLogLine(QString());
    f.AddLogText(QString(), lsBold, ELogColour::Red);  // nothing
    f.AddLogText(QStringLiteral("a\r\nb"), lsItalic | lsBold, ELogColour::Maroon);
    f.AddLogLine(QStringLiteral("<b>x</b> &amp;"));
    QCOMPARE(F.Lines(), (QStringList{"", "a", "b", "<b>x</b> &amp;"}));
    const auto content = F.Content();
    QCOMPARE(content[1].Style, unsigned(lsItalic | lsBold));
    QCOMPARE(content[2].Colour, ELogColour::Maroon);
    QCOMPARE(content[3].Style, unsigned(lsPlain));
    QVERIFY(f.StatusMemo->toPlainText().contains(QStringLiteral("<b>x</b> &amp;")));
    f.SelectAll1Click();
    f.Copy1Click();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("\na\nb\n<b>x</b> &amp;"));
    f.Clear1Click();
    QCOMPARE(F.Lines(), QStringList());
  }

  void CommandWritesItsBlockAndReadsTheIdentityOnce() {
    TMainForm& f = *F.Form;
    F.ScriptIdentity();
    F.Scripted->Answer("");
    F.Scripted->Answer("");
    bool busy = false;
    auto action = [&] {
      busy = QApplication::overrideCursor() &&
             QApplication::overrideCursor()->shape() == Qt::WaitCursor;
      TDataBuffer status;
      f.RequireDevice(f.Device->GetPrinterStatus(status));
      return std::string("done");
    };
    QVERIFY(f.RunCommand(QStringLiteral("Get printer status(4AH)."), action));
    QVERIFY(busy);
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(F.Lines(), (QStringList{"Get printer status(4AH).", "Duration: 5ms", "",
                                     "Result - OK ", "done", "", kHyphens}));
    QCOMPARE(f.StatusPanelText(2), QStringLiteral("FP-TEST, [QZ999834 1.00]"));
    QCOMPARE(f.DeviceSerialNo, std::string("QZ999834"));
    QCOMPARE(f.DeviceFMNo, std::string("44999834"));
    QVERIFY(!F.Scripted->IsConnected());

    f.RunCommand(QStringLiteral("again"), action);
    QCOMPARE(F.Scripted->Commands(), (std::vector<std::uint8_t>{0x5A, 0x4A, 0x4A}));
    QCOMPARE(F.Scripted->ConnectCalls, 2);
  }

  // The pane draws its own rows; assistive technology reads it as a read-only
  // text named "Log" whose value is the newest result block.
  void ScreenReadersGetTheNewestBlock() {
    TMainForm& f = *F.Form;
    QAccessibleInterface* log = QAccessible::queryAccessibleInterface(f.StatusMemo);
    QVERIFY(log);
    QCOMPARE(log->text(QAccessible::Name), QStringLiteral("Log"));
    QVERIFY(log->state().readOnly);
    QCOMPARE(log->text(QAccessible::Value), QString());
    F.ScriptIdentity();
    F.Scripted->Answer("");
    for (const char* result : {"first", "second"}) {
      f.RunCommand(QStringLiteral("T"), [&] { return std::string(result); });
    }
    QCOMPARE(log->text(QAccessible::Value),
             QStringLiteral("T\nDuration: 5ms\n\nResult - OK \nsecond\n"));
    // A text of several lines is one insertion, not one per line.
    static int inserted = 0;
    TLogMemo::AnnounceHook = [](QAccessibleEvent* e) {
      inserted += e->type() == QAccessible::TextInserted;
    };
    f.AddLogText(QStringLiteral("one\ntwo\nthree"), lsPlain, ELogColour::WindowText);
    TLogMemo::AnnounceHook = nullptr;
    QCOMPARE(inserted, 1);
  }

  void ConnectionFailureWritesTheDeviceTextAndNoTraffic() {
    TMainForm& f = *F.Form;
    F.CheckAll(true);
    F.Scripted->ConnectResult = false;
    bool called = false;
    QVERIFY(!f.RunCommand(QStringLiteral("T"), [&] {
      called = true;
      return std::string();
    }));
    QVERIFY(!called);
    QCOMPARE(F.Lines(), (QStringList{"T", "Duration: 0ms", "", "Result - ERROR ",
                                     "Failed to connect host. scripted", "", kHyphens}));
    QCOMPARE(F.Content()[3].Colour, ELogColour::Red);
  }

  void FalseWithoutTextIsStillAnError() {
    TMainForm& f = *F.Form;
    F.ScriptIdentity();
    f.RunCommand(QStringLiteral("T"), [&] {
      f.Device->LastErrorText.clear();
      f.RequireDevice(false);
      return std::string("never");
    });
    QCOMPARE(F.Lines().mid(3, 2),
             (QStringList{"Result - ERROR ", "The device refused the command."}));
  }

  // A transport failure that leaves only its code (busy time-out) shows the
  // code's own message, not the refusal text.
  void CodeWithoutTextShowsItsMessage() {
    TMainForm& f = *F.Form;
    F.ScriptIdentity();
    F.Scripted->Fail(120, "");
    f.RunCommand(QStringLiteral("T"), [&] {
      f.RequireDevice(f.Device->ExecuteCommand(0x4A, "W"));
      return std::string("never");
    });
    QCOMPARE(F.LastBlock().Text, QStringList{"Device is bussy."});
    QVERIFY(!F.LastBlock().Ok);
  }

  // A script step runs on the open link: it neither connects nor disconnects.
  void ScriptStepKeepsTheLinkAsItIs() {
    TMainForm& f = *F.Form;
    QVERIFY(f.Device->Connect());
    F.Scripted->Answer("");
    QVERIFY(f.RunStep(QStringLiteral("Step"), [&] {
      f.RequireDevice(f.Device->ExecuteCommand(0x2A, "X"));
      return std::string("done");
    }));
    QVERIFY(!f.RunStep(QStringLiteral("Step 2"),
                       []() -> std::string { throw std::runtime_error("refused"); }));
    QVERIFY(f.Device->IsConnected());
    QCOMPARE(F.Scripted->ConnectCalls, 1);
    const auto blocks = F.Blocks();
    QCOMPARE(blocks.size(), 2);
    QCOMPARE(blocks[0].Title, QStringLiteral("Step"));
    QCOMPARE(blocks[0].Text, QStringList{"done"});
    QVERIFY(!blocks[1].Ok);
    QCOMPARE(blocks[1].Text, QStringList{"refused"});
  }

  // Every tab and page is filled by a panel of its own.
  void EveryPageHoldsItsPanel() {
    TMainForm& f = *F.Form;
    for (QWidget* page :
         {f.TS_Information, f.TS_FMReports, f.TS_AdvLines, f.TabSheet4, f.TS_Other, f.TabSheet1,
          f.TabSheet3, f.shProgPlu, f.TS_Samples, f.TS_PLU, f.TS_Comment, f.TS_Subtotal,
          f.TS_Payment, f.TS_InvoiceClient, f.TS_CloseFiscRec, f.TabSheet2}) {
      QVERIFY2(page->findChild<TTabPanel*>(), qPrintable(page->objectName()));
    }
    // The receipt tab's own buttons and its eight pages.
    QCOMPARE(f.TS_Recept->findChildren<TTabPanel*>().size(), 9);
    QCOMPARE(f.findChildren<TTabPanel*>().size(), 17);
  }

  void ExceptionMessageBecomesTheErrorText() {
    TMainForm& f = *F.Form;
    F.ScriptIdentity();
    f.RunCommand(QStringLiteral("T"),
                 []() -> std::string { throw std::runtime_error("Invalid sell nom: \"X\""); });
    QCOMPARE(F.Lines()[4], QStringLiteral("Invalid sell nom: \"X\""));
    QVERIFY(!F.Scripted->IsConnected());
  }

  void FailedIdentityQueryStopsTheCommand() {
    TMainForm& f = *F.Form;
    F.Scripted->Fail(103, "Fiscal printer does not respond. <01>");
    bool called = false;
    f.RunCommand(QStringLiteral("T"), [&] {
      called = true;
      return std::string();
    });
    QVERIFY(!called);
    QCOMPARE(F.Lines()[4], QStringLiteral("Fiscal printer does not respond. <01>"));
    QCOMPARE(f.StatusPanelText(2), QString());
  }

  // Noise before the reply: the raw view shows it, the block still closes.
  void NoiseBeforeTheFrameKeepsTheClosingLine() {
    TMainForm& f = *F.Form;
    f.DeviceFactory = [this](const TConnectionSettings&) {
      auto dev = std::make_unique<TNoisyDevice>();
      dev->Noise = "\xFFzz";
      F.Scripted = dev.get();
      return dev;
    };
    f.CreateDevice();
    F.CheckAll(true);
    F.ScriptIdentity();
    F.Scripted->Answer("");
    f.RunCommand(QStringLiteral("T"), [&] {
      TDataBuffer status;
      f.RequireDevice(f.Device->GetPrinterStatus(status));
      return std::string();
    });
    const QStringList lines = F.Lines();
    QVERIFY(lines.contains(QStringLiteral("Communication PRN->PC ")));
    QVERIFY(lines.filter(QStringLiteral("Hex view:")).size() == 1);  // the sent one only
    QCOMPARE(lines.last(), kHyphens);
    QVERIFY(f.SentRaw.empty() && f.ReceivedRaw.empty());
  }

  void ControlBytesShowOnlyWithAllThreeViews() {
    TMainForm& f = *F.Form;
    TNoisyDevice* dev = nullptr;
    f.DeviceFactory = [&](const TConnectionSettings&) {
      auto d = std::make_unique<TNoisyDevice>();
      d->ControlBytes = {0x16, 0x15};
      dev = d.get();
      return d;
    };
    f.CreateDevice();
    for (bool all : {false, true}) {
      f.Clear1Click();
      F.CheckAll(all);
      f.cbStatusAsString->setChecked(false);
      f.DeviceSerialNo = "known";
      dev->Answer("");
      f.RunCommand(QStringLiteral("T"), [&] {
        TDataBuffer status;
        f.RequireDevice(f.Device->GetPrinterStatus(status));
        return std::string();
      });
      const auto content = F.Content();
      if (!all) {
        QCOMPARE(content.front().Text, QStringLiteral("T"));
        continue;
      }
      QCOMPARE(content[0].Text, QStringLiteral("[SYN]"));
      QCOMPARE(content[0].Colour, ELogColour::Grey);
      QCOMPARE(content[1].Text, QStringLiteral("[NAK]"));
      QCOMPARE(content[1].Colour, ELogColour::Red);
      QCOMPARE(content[2].Text, QStringLiteral("T"));
    }
  }

  void FontSizeChangesAllTextAndTheLogFont() {
    TMainForm& f = *F.Form;
    f.AddLogLine(QStringLiteral("one"));
    f.AddLogText(QStringLiteral("two"), lsBold, ELogColour::Blue);
    f.IncreaseFontClick();
    QCOMPARE(f.StatusMemo->LinePointSize(0), 12.0);
    QCOMPARE(f.StatusMemo->LinePointSize(1), 12.0);
    QCOMPARE(f.StatusMemo->LogFont().pointSize(), 12);
    f.DecreaseFontClick();
    f.DecreaseFontClick();
    QCOMPARE(f.StatusMemo->LinePointSize(1), 10.0);
    QCOMPARE(f.StatusMemo->LogFont().pointSize(), 10);
    QCOMPARE(F.Content()[1].Style, unsigned(lsBold));  // only the size changed
    f.IncreaseFontClick();
    f.IncreaseFontClick();
    f.IncreaseFontClick();
    f.ResetFontClick();
    QCOMPARE(f.StatusMemo->LinePointSize(0), 11.0);
    QCOMPARE(f.StatusMemo->LogFont().pointSize(), 11);
    f.AddLogLine(QStringLiteral("three"));
    QCOMPARE(f.StatusMemo->LinePointSize(2), 11.0);
    // Reset after Decrease: what is written next is not left small.
    f.DecreaseFontClick();
    f.ResetFontClick();
    f.LogResult(QStringLiteral("T"), QStringLiteral("ok"), QString());
    QCOMPARE(f.StatusMemo->LinePointSize(9), 11.0);
  }

  void SaveToFileWritesCp1251WithCrLf() {
    TMainForm& f = *F.Form;
    f.AddLogLine(QString::fromUtf8("Fisk.мemory"));
    f.AddLogLine(QString());
    f.AddLogLine(QStringLiteral("end"));
    const QString path = F.Dir.filePath(QStringLiteral("log.txt"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old content that is longer than the new one");
    old.close();
    f.AskSaveFileName = [&] { return path; };
    f.SaveToFile1Click();
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("Fisk.\xEC"
                                         "emory\r\n\r\nend\r\n"));
    QVERIFY(F.Errors.isEmpty());
  }

  void FailedSaveKeepsTheOldFile_data() {
    QTest::addColumn<QString>("step");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("says");
    QTest::newRow("disk full while writing") << "write" << ENOSPC << "Cannot write the file";
    QTest::newRow("write takes nothing") << "stalled write" << ENOSPC << "Cannot write the file";
    QTest::newRow("flush to disk fails") << "sync" << EIO << "Cannot flush the file to disk";
    QTest::newRow("close reports the lost write") << "close" << EDQUOT << "Cannot close the file";
    QTest::newRow("rename refused") << "rename" << EACCES << "in place of the old one";
    QTest::newRow("no new file") << "open" << EACCES << "Cannot create a new file";
  }
  void FailedSaveKeepsTheOldFile() {
    QFETCH(QString, step);
    QFETCH(int, error);
    QFETCH(QString, says);
    TMainForm& f = *F.Form;
    for (int i = 0; i < 50; ++i) f.AddLogLine(QStringLiteral("line %1 of the new log").arg(i));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.txt"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("the old log\r\n");
    old.close();
    TFailingCalls calls;
    calls.Step = step;
    calls.Error = error;
    f.SaveFileCalls = &calls;
    f.AskSaveFileName = [&] { return path; };
    f.SaveToFile1Click();
    f.SaveFileCalls = nullptr;

    QCOMPARE(ReadAll(path), QByteArray("the old log\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"log.txt"});  // no leftovers
    QCOMPARE(F.Errors.size(), 1);
    const QString& message = F.Errors[0];
    for (const QString& part : {path, says, QString::fromLocal8Bit(std::strerror(error)),
                                QStringLiteral("Nothing was written")}) {
      QVERIFY2(message.contains(part), qPrintable(message));
    }
  }

  // The replaced file keeps its permissions; through a link the target is replaced.
  void SaveKeepsPermissionsAndFollowsALink() {
    TMainForm& f = *F.Form;
    f.AddLogLine(QStringLiteral("new"));
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("target.txt"));
    const QString link = dir.filePath(QStringLiteral("link.txt"));
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.close();
    const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(target, mode));
    QVERIFY(QFile::link(target, link));
    f.AskSaveFileName = [&] { return link; };
    f.SaveToFile1Click();
    QVERIFY(F.Errors.isEmpty());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(ReadAll(target), QByteArray("new\r\n"));
    const auto user =
        QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;  // the same, as seen by us
    QCOMPARE(QFile::permissions(target) & ~user, QFileDevice::Permissions(mode));
  }

  void SaveFailureSaysSoAndWritesNothing() {
    TMainForm& f = *F.Form;
    f.AddLogLine(QStringLiteral("x"));
    const QString path = F.Dir.filePath(QStringLiteral("missing/log.txt"));
    f.AskSaveFileName = [&] { return path; };
    f.SaveToFile1Click();
    QCOMPARE(F.Errors.size(), 1);
    QVERIFY(F.Errors[0].contains(path));
    QVERIFY(!QFile::exists(path));
    // Cancelled dialog: nothing happens.
    f.AskSaveFileName = [] { return QString(); };
    f.SaveToFile1Click();
    QCOMPARE(F.Errors.size(), 1);
  }
};

QTEST_MAIN(TMainFormTest)
#include "test_console_main.moc"
