// Finding text in the log: the search over the line store, and the find bar.
#include <QtTest>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include "LogFind.h"
#include "LogFindBar.h"
#include "LogMemo.h"
#include "uMain.h"

Q_DECLARE_METATYPE(TLogPos)

namespace {

const TLogLines& Store(const QStringList& texts) {
  static TLogLines lines;
  lines.Clear();
  for (const QString& t : texts) lines.Append({t, lsPlain, ELogColour::WindowText});
  return lines;
}

const QStringList kLog = {
    QStringLiteral("Get printer status(4AH)."),  // 0
    QStringLiteral("Result - OK"),               // 1
    QStringLiteral("status STATUS Status"),      // 2
    QStringLiteral("Статус принтера: status"),   // 3: kept wide
    QStringLiteral("aaa"),                       // 4
};

}  // namespace

class TFindTest : public QObject {
  Q_OBJECT

 private slots:
  void Search_data() {
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<TLogPos>("from");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<int>("line");  // -1: nothing found
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("total");
    const auto add = [](const char* name, const char* needle, bool mc, TLogPos from, bool fw,
                        int line, int col, int total) {
      QTest::newRow(name) << QString::fromUtf8(needle) << mc << from << fw << line << col << total;
    };
    add("next in the same line", "status", false, {2, 0}, true, 2, 7, 5);
    add("next skips to a later line", "status", false, {0, 12}, true, 2, 0, 5);
    add("next wraps round the end", "status", false, {3, 17}, true, 0, 12, 5);
    add("previous in the same line", "status", false, {2, 14}, false, 2, 7, 5);
    add("previous wraps round the top", "status", false, {0, 12}, false, 3, 17, 5);
    add("match case", "Status", true, {0, 0}, true, 2, 14, 1);
    add("match case leaves the others", "STATUS", true, {2, 7}, true, 2, 7, 1);
    add("a wide line, any case", "СТАТУС", false, {0, 0}, true, 3, 0, 1);
    add("a wide line, match case", "СТАТУС", true, {0, 0}, true, -1, 0, 0);
    add("overlapping matches", "aa", false, {4, 0}, true, 4, 1, 2);
    add("no match", "nowhere", false, {0, 0}, true, -1, 0, 0);
    add("no Latin-1 line holds it", "ъ", false, {0, 0}, true, -1, 0, 0);
    add("a single match found from itself", "OK", false, {1, 9}, true, 1, 9, 1);
  }
  void Search() {
    QFETCH(QString, needle);
    QFETCH(bool, matchCase);
    QFETCH(TLogPos, from);
    QFETCH(bool, forward);
    QFETCH(int, line);
    QFETCH(int, col);
    QFETCH(int, total);
    const TLogLines& lines = Store(kLog);
    const TLogSearch search(needle, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
    const auto at = search.Next(lines, from, forward);
    QCOMPARE(at.has_value(), line >= 0);
    if (at) QCOMPARE(*at, (TLogPos{std::size_t(line), std::size_t(col)}));
    QCOMPARE(search.Count(lines, {}).Total, std::size_t(total));
  }

  // Stepping forward visits every match once, in order, then comes round.
  void StepsThroughEveryMatch() {
    const TLogLines& lines = Store(kLog);
    const TLogSearch search(QStringLiteral("status"), Qt::CaseInsensitive);
    TLogPos at{0, 0};
    QList<std::pair<int, int>> seen;
    for (int i = 0; i < 6; ++i) {
      at = *search.Next(lines, at, true);
      seen.append({int(at.Line), int(at.Col)});
      QCOMPARE(search.Count(lines, at).Before, std::size_t(i % 5));
    }
    QCOMPARE(seen,
             (QList<std::pair<int, int>>{{0, 12}, {2, 0}, {2, 7}, {2, 14}, {3, 17}, {0, 12}}));
  }

  // The bar on a log whose last line wraps: the match there is selected and
  // its row scrolled into view; the count follows; Escape closes the bar.
  void BarFindsAndShowsTheMatch() {
    TLogMemo memo;
    memo.resize(300, 120);
    TLogFindBar bar(&memo);
    memo.show();
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&memo));
    for (int i = 0; i < 50; ++i) memo.AppendLine({QStringLiteral("line %1").arg(i), 0, {}});
    memo.AppendLine({QString(200, QLatin1Char('x')) + QStringLiteral("needle"), 0, {}});
    memo.Select({0, 0}, {0, 0});
    memo.verticalScrollBar()->setValue(0);

    bar.Open();
    QTest::keyClicks(bar.edFindText, QStringLiteral("NEEDLE"));
    QCOMPARE(memo.SelectedText(), QStringLiteral("needle"));
    QCOMPARE(bar.lblFindCount->text(), QStringLiteral("1 of 1"));
    const QRect cell = memo.CellRect({50, 200});
    QVERIFY(memo.viewport()->rect().contains(cell));

    bar.chFindMatchCase->setChecked(true);
    QCOMPARE(bar.lblFindCount->text(), QStringLiteral("No matches"));
    bar.chFindMatchCase->setChecked(false);

    bar.edFindText->setText(QStringLiteral("line 4"));
    QTest::keyClick(bar.edFindText, Qt::Key_Return);  // from the match in the last line, round
    QCOMPARE(memo.Selection().first, (TLogPos{4, 0}));
    QCOMPARE(bar.lblFindCount->text(), QStringLiteral("1 of 11"));
    QTest::keyClick(bar.edFindText, Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(memo.Selection().first, (TLogPos{49, 0}));
    QCOMPARE(bar.lblFindCount->text(), QStringLiteral("11 of 11"));
    bar.btnFindNext->click();
    QCOMPARE(memo.Selection().first, (TLogPos{4, 0}));
    bar.btnFindPrevious->click();
    QCOMPARE(memo.Selection().first, (TLogPos{49, 0}));

    QTest::keyClick(bar.edFindText, Qt::Key_Escape);
    QVERIFY(bar.isHidden());
    QCOMPARE(memo.Selection().first, (TLogPos{49, 0}));
  }

  // The main window: "Find..." in the log's menu and Ctrl+F open the bar; F3
  // and Shift+F3 step; the labels lead to their inputs.
  void WindowOpensTheBar() {
    QTemporaryDir dir;
    TMainForm form(TConsolePaths{dir.filePath(QStringLiteral("fprtest.ini")),
                                 dir.filePath(QStringLiteral("fprtest.INI"))});
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(form.MemoPopup->actions().contains(form.Find1));
    QCOMPARE(form.Find1->text(), QStringLiteral("Find..."));
    QCOMPARE(form.FindBar->lblFindText->buddy(), form.FindBar->edFindText);
    form.AddLogText(QStringLiteral("one\ntwo one"), lsPlain, ELogColour::WindowText);
    QVERIFY(form.FindBar->isHidden());
    QTest::keyClick(&form, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(form.FindBar->isVisible());
    QVERIFY(form.FindBar->edFindText->hasFocus());
    QTest::keyClicks(form.FindBar->edFindText, QStringLiteral("one"));
    QCOMPARE(form.StatusMemo->Selection().first, (TLogPos{0, 0}));
    QTest::keyClick(&form, Qt::Key_F3);
    QCOMPARE(form.StatusMemo->Selection().first, (TLogPos{1, 4}));
    QTest::keyClick(&form, Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(form.StatusMemo->Selection().first, (TLogPos{0, 0}));
  }
};

QTEST_MAIN(TFindTest)
#include "test_console_find.moc"
