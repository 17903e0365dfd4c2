// The lines, styles and colours of one result block.
#include <QtTest>

#include "DeviceText.h"
#include "ResultBlock.h"

namespace {

// The request frame 4AH with no data, sequence 0, and a reply with data "ABC".
const char kSentBytes[] = "\x01\x24\x20\x4A\x05\x30\x30\x39\x33\x03";
const char kReceivedBytes[] =
    "\x01\x2E\x21\x4A"
    "ABC\x04\x80\x80\x80\x80\x80\x80\x05"
    "0123\x03";
const std::string kSent(kSentBytes, sizeof kSentBytes - 1);
const std::string kReceived(kReceivedBytes, sizeof kReceivedBytes - 1);

TLogLine L(const QString& text, unsigned style, ELogColour colour) { return {text, style, colour}; }
TLogLine Plain(const QString& text) { return {text, lsPlain, ELogColour::WindowText}; }

QStringList Texts(const std::vector<TLogLine>& lines) {
  QStringList out;
  for (const auto& l : lines) out << l.Text;
  return out;
}

}  // namespace

// Readable failures for line comparisons.
char* toString(const TLogLine& l) {
  return QTest::toString(QStringLiteral("%1 [style %2, colour %3]")
                             .arg(l.Text)
                             .arg(l.Style)
                             .arg(static_cast<int>(l.Colour)));
}

class TResultBlockTest : public QObject {
  Q_OBJECT

 private slots:
  void SplitsAtEveryKindOfLineBreak() {
    QCOMPARE(SplitLogLines(QString()), QStringList());
    QCOMPARE(SplitLogLines(QStringLiteral("a\r\nb\rc\nd")), (QStringList{"a", "b", "c", "d"}));
    QCOMPARE(SplitLogLines(QStringLiteral("a\r\n")), (QStringList{"a"}));
    QCOMPARE(SplitLogLines(QStringLiteral("a\r")), (QStringList{"a"}));
    QCOMPARE(SplitLogLines(QStringLiteral("a\r\n\r\n")), (QStringList{"a", ""}));
    QCOMPARE(SplitLogLines(QStringLiteral("\n")), (QStringList{""}));
  }

  void SuccessWithoutOptionsIsSevenLines() {
    TResultBlock b{
        QStringLiteral("Manual command."), 120, QStringLiteral("4AH"), {}, kSent, kReceived, {}};
    const std::vector<TLogLine> expected = {
        L("Manual command.", lsBold | lsUnderline, ELogColour::WindowText),
        Plain("Duration: 120ms"),
        Plain(""),
        L("Result - OK ", lsPlain, ELogColour::Green),
        L("4AH", lsPlain, ELogColour::Green),
        Plain(""),
        Plain(kHyphenLine)};
    QCOMPARE(ComposeResultBlock(b), expected);
  }

  void ErrorLinesAreBoldRedOneByOne() {
    TResultBlock b{QStringLiteral("T"),
                   0,
                   QStringLiteral("ignored"),
                   QStringLiteral("<NAK>\r\n[RETRY->>]"),
                   {},
                   {},
                   {true, true, true, true}};
    const std::vector<TLogLine> expected = {L("T", lsBold | lsUnderline, ELogColour::WindowText),
                                            Plain("Duration: 0ms"),
                                            Plain(""),
                                            L("Result - ERROR ", lsBold, ELogColour::Red),
                                            L("<NAK>", lsBold, ELogColour::Red),
                                            L("[RETRY->>]", lsBold, ELogColour::Red),
                                            Plain(""),
                                            Plain(kHyphenLine)};
    QCOMPARE(ComposeResultBlock(b), expected);
  }

  void EveryViewOfBothDirections() {
    TResultBlock b{QStringLiteral("T"),     5, QStringLiteral("R"), {}, kSent, kReceived,
                   {true, true, true, true}};
    const auto lines = ComposeResultBlock(b);
    const auto B = ELogColour::Blue;
    const auto M = ELogColour::Maroon;
    const std::vector<TLogLine> head = {
        L("Communication PC->PRN ", lsBold, B),
        L("Raw view", lsItalic, B),
        L(QStringLiteral(" ") + DevText(kSent), lsPlain, B),
        L("Hex view:", lsItalic, B),
        L(" <SOH>24204A<ENQ>30303933", lsPlain, B),
        L("Detailed view:", lsItalic, B),
        L(" Packet length:4", lsPlain, B),
        L(" Packet sequence:0", lsPlain, B),
        L(" Command:4A", lsPlain, B),
        L(" Data:", lsPlain, B),
        L(" Sum:30303933", lsPlain, B),
        Plain(""),
        L("Communication PRN->PC ", lsBold, B),
        L("Raw view", lsItalic, M),
        L(DevText(kReceived), lsPlain, M),
        L("Hex view:", lsItalic, M),
        L(" <SOH>2E214A414243<EOT>808080808080<ENQ>30313233", lsPlain, M),
        L("Detailed view:", lsItalic, M),
        L(" Packet length:14", lsPlain, M),
        L(" Packet sequence:1", lsPlain, M),
        L(" Command:4A", lsPlain, M),
        L(" Data:ABC", lsPlain, M),
        L(" Result status:808080808080", lsPlain, M),
        L(" Sum:30313233", lsPlain, M),
        Plain("")};
    QCOMPARE(lines.size(), 7u + head.size() + 37u);
    for (std::size_t i = 0; i < head.size(); ++i) QCOMPARE(lines[6 + i], head[i]);
    const auto status = std::vector<TLogLine>(lines.end() - 38, lines.end() - 1);
    for (const auto& s : status) {
      QVERIFY2(s.Text.endsWith(QStringLiteral("[False]")), qPrintable(s.Text));
      QCOMPARE(s.Colour, ELogColour::Grey);
    }
    QCOMPARE(status.front().Text, QStringLiteral("Syntax error in command. [False]"));
    QCOMPARE(status.back().Text, QString::fromUtf8("Fisk.мemory is locked. [False]"));
    QCOMPARE(lines.back(), Plain(kHyphenLine));
  }

  // Noise before the frame on a serial line: only the views that need a frame go.
  void TextThatIsNotAFrameKeepsTheRestOfTheBlock() {
    const std::string noisySent = "\xFF" + kSent;
    const std::string noisyReceived = "zz" + kReceived;
    TResultBlock b{QStringLiteral("T"),     5, QStringLiteral("R"), {}, noisySent, noisyReceived,
                   {true, true, true, true}};
    const QStringList expected = {"T",
                                  "Duration: 5ms",
                                  "",
                                  "Result - OK ",
                                  "R",
                                  "",
                                  "Communication PC->PRN ",
                                  "Raw view",
                                  QStringLiteral(" ") + DevText(noisySent),
                                  "",
                                  "Communication PRN->PC ",
                                  "Raw view",
                                  DevText(noisyReceived),
                                  kHyphenLine};
    QCOMPARE(Texts(ComposeResultBlock(b)), expected);
  }

  void OnlyTheCheckedViewsAppear() {
    struct {
      TLogOptions Options;
      QStringList MustHave, MustNotHave;
    } cases[] = {
        {{true, false, false, false}, {"Hex view:"}, {"Raw view", "Detailed view:"}},
        {{false, true, false, false}, {"Detailed view:"}, {"Raw view", "Hex view:"}},
        {{false, false, true, false}, {"Raw view"}, {"Hex view:", "Detailed view:"}},
        // The flags alone: no header lines, only the status listing.
        {{false, false, false, true},
         {"Syntax error in command. [False]"},
         {"Communication PC->PRN ", "Communication PRN->PC "}},
    };
    for (const auto& c : cases) {
      const QStringList texts =
          Texts(ComposeResultBlock({QStringLiteral("T"), 1, {}, {}, kSent, kReceived, c.Options}));
      for (const QString& s : c.MustHave) QVERIFY2(texts.contains(s), qPrintable(s));
      for (const QString& s : c.MustNotHave) QVERIFY2(!texts.contains(s), qPrintable(s));
    }
  }

  void EmptyResultTextAddsNoLine() {
    const auto lines = ComposeResultBlock({QStringLiteral("T"), 1, {}, {}, {}, {}, {}});
    QCOMPARE(Texts(lines),
             (QStringList{"T", "Duration: 1ms", "", "Result - OK ", "", kHyphenLine}));
  }
};

QTEST_GUILESS_MAIN(TResultBlockTest)
#include "test_console_result_block.moc"
