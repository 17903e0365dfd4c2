// --help and --version, answered before Qt sees the arguments.
#include <QtTest>

#include "ConsoleCommandLine.h"

class TCommandLineTest : public QObject {
  Q_OBJECT

 private slots:
  void HelpAndVersionAreAnsweredOtherArgumentsGoToQt() {
    const struct {
      std::vector<std::string> args;
      bool handled;
      const char* startsWith;
    } cases[] = {
        {{"--version"}, true, "fprtest " FPR_VERSION "\n"},
        {{"-platform", "offscreen", "--help"}, true, "Usage: fprtest [--help] [--version]"},
        {{"-h"}, true, "Usage: fprtest"},
        {{"--help", "--version"}, true, "Usage: fprtest"},
        {{"-platform", "offscreen"}, false, ""},
        {{"--", "--help"}, false, ""},
        {{}, false, ""},
    };
    for (const auto& c : cases) {
      std::string text;
      QCOMPARE(AnswerCommandLine(c.args, text), c.handled);
      QVERIFY2(QString::fromStdString(text).startsWith(c.startsWith), text.c_str());
    }
  }
};

QTEST_MAIN(TCommandLineTest)
#include "test_console_command_line.moc"
