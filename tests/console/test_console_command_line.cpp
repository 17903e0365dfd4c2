// --help and --version, answered before Qt sees the arguments.
#include <QtTest>

#include "ConsoleCommandLine.h"

class TCommandLineTest : public QObject {
  Q_OBJECT

 private slots:
  void HelpAndVersionAreAnsweredOtherArgumentsGoToQt() {
    const struct {
      std::vector<std::string> args;
      const char* startsWith;  // nullptr: left to Qt
    } cases[] = {
        {{"--version"}, "fprtest " FPR_VERSION "\n"},
        {{"-platform", "offscreen", "-h"}, "Usage: fprtest [--help] [--version]"},
        {{"-platform", "offscreen"}, nullptr},
        {{"--", "--help"}, nullptr},
    };
    for (const auto& c : cases) {
      std::string text;
      QCOMPARE(AnswerCommandLine(c.args, text), c.startsWith != nullptr);
      if (c.startsWith) QVERIFY2(text.rfind(c.startsWith, 0) == 0, text.c_str());
    }
  }
};

QTEST_MAIN(TCommandLineTest)
#include "test_console_command_line.moc"
