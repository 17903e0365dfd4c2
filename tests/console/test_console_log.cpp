// The log pane: its compact lines, how they wrap, what is drawn, selecting and copying.
#include <QtTest>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QImage>
#include <QScrollBar>

#include "LogLines.h"
#include "LogMemo.h"

Q_DECLARE_METATYPE(TLogPos)

namespace {

std::vector<std::pair<int, QString>> gInserted;
void RecordEvent(QAccessibleEvent* event) {
  if (event->type() == QAccessible::TextInserted) {
    const auto* e = static_cast<QAccessibleTextInsertEvent*>(event);
    gInserted.emplace_back(e->changePosition(), e->textInserted());
  }
}

TLogLine Line(const QString& text, unsigned style = lsPlain,
              ELogColour colour = ELogColour::WindowText) {
  return {text, style, colour};
}

// Rows of the viewport image that hold anything but the background.
bool HasInk(const QImage& image, int top, int bottom, int left, int right) {
  const QRgb background = image.pixel(image.width() - 2, image.height() - 2);
  for (int y = std::max(0, top); y < std::min(bottom, image.height()); ++y) {
    for (int x = std::max(0, left); x < std::min(right, image.width()); ++x) {
      if (image.pixel(x, y) != background) return true;
    }
  }
  return false;
}

}  // namespace

class TLogTest : public QObject {
  Q_OBJECT

  // A pane on screen with room for `columns` characters in a row.
  std::unique_ptr<TLogMemo> ShownMemo(int columns, int rows = 10) {
    auto memo = std::make_unique<TLogMemo>();
    const QFontMetricsF m(memo->LogFont());
    const int scrollBar = memo->verticalScrollBar()->sizeHint().width();
    memo->resize(static_cast<int>(columns * m.horizontalAdvance(QLatin1Char('M'))) + 8 + scrollBar +
                     2 * memo->frameWidth() + 1,
                 static_cast<int>(rows * std::ceil(m.lineSpacing())) + 8 + 2 * memo->frameWidth());
    memo->show();
    if (!QTest::qWaitForWindowExposed(memo.get())) return nullptr;
    return memo;
  }

  QPoint PointOf(const TLogMemo& memo, int row, int col) const {
    const QFontMetricsF m(memo.LogFont());
    const qreal cell = m.horizontalAdvance(QLatin1Char('M'));
    return QPoint(4 + static_cast<int>(col * cell + 1), 4 + row * std::ceil(m.lineSpacing()) + 3);
  }

 private slots:
  // ---- The lines

  void LinesKeepTextStyleAndColour_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<unsigned>("style");
    QTest::addColumn<int>("colour");
    QTest::newRow("plain ascii") << "Result - OK " << unsigned(lsPlain) << 0;
    QTest::newRow("empty") << "" << unsigned(lsPlain) << 0;
    QTest::newRow("latin-1 and controls")
        << QString::fromUtf8("\x01+!J\x04\xC3\xA9\x05") << unsigned(lsItalic) << 4;
    QTest::newRow("cyrillic is wide") << QString::fromUtf8("Fisk.мemory") << unsigned(lsBold) << 1;
    QTest::newRow("surrogate pair") << QString::fromUtf8("a\xF0\x9F\x98\x80z")
                                    << unsigned(lsBold | lsItalic | lsUnderline) << 5;
    QTest::newRow("markup stays text") << "<b>x</b> &amp;" << unsigned(lsUnderline) << 3;
  }
  void LinesKeepTextStyleAndColour() {
    QFETCH(QString, text);
    QFETCH(unsigned, style);
    QFETCH(int, colour);
    TLogLines lines;
    lines.Append(Line(QStringLiteral("before")));
    lines.Append(Line(text, style, static_cast<ELogColour>(colour)));
    lines.Append(Line(QString::fromUtf8("после")));
    QCOMPARE(lines.Count(), std::size_t(3));
    QCOMPARE(lines.Text(1), text);
    QCOMPARE(lines.Length(1), static_cast<std::size_t>(text.size()));
    QCOMPARE(lines.Style(1), style);
    QCOMPARE(lines.Colour(1), static_cast<ELogColour>(colour));
    QCOMPARE(lines.Text(0), QStringLiteral("before"));
    QCOMPARE(lines.Text(2), QString::fromUtf8("после"));
  }

  // Chunk edges: the first line of a chunk starts its text at 0.
  void ManyLinesAcrossChunksAndClear() {
    TLogLines lines;
    const std::size_t count = TLogLines::kChunkLines * 2 + 7;
    const auto text = [](std::size_t i) {
      return i % 3 == 0 ? QString::fromUtf8("ж%1").arg(i) : QString::number(i);
    };
    for (std::size_t i = 0; i < count; ++i) {
      lines.Append(Line(text(i), static_cast<unsigned>(i % 8), ELogColour::Blue));
    }
    for (std::size_t i : {std::size_t(0), TLogLines::kChunkLines - 1, TLogLines::kChunkLines,
                          TLogLines::kChunkLines * 2, count - 1}) {
      QCOMPARE(lines.Text(i), text(i));
      QCOMPARE(lines.Style(i), static_cast<unsigned>(i % 8));
    }
    QCOMPARE(lines.Text(count), QString());  // past the end
    lines.Clear();
    QVERIFY(lines.Empty());
    QCOMPARE(lines.RowCount(), std::size_t(0));
    lines.Append(Line(QStringLiteral("again")));
    QCOMPARE(lines.Text(0), QStringLiteral("again"));
  }

  // Every row maps to its line and back, across chunks and after a new width.
  void RowsMapToLinesAndBack() {
    TLogLines lines;
    const std::size_t count = TLogLines::kChunkLines + 50;
    for (std::size_t i = 0; i < count; ++i) lines.Append(Line(QString(int(i % 37), QChar('y'))));
    lines.SetColumns(7);
    QCOMPARE(lines.RowsOf(0), std::size_t(1));  // empty: one row
    QCOMPARE(lines.RowsOf(7), std::size_t(1));
    QCOMPARE(lines.RowsOf(8), std::size_t(2));
    QCOMPARE(lines.FirstRowOf(9), std::size_t(10));
    for (std::size_t columns : {80u, 7u, 1u, 0u}) {  // 0 counts as 1
      lines.SetColumns(columns);
      std::size_t row = 0;
      for (std::size_t line = 0; line < count; ++line) {
        for (std::size_t r = 0; r < lines.RowsOf(line); ++r, ++row) {
          const auto at = lines.LocateRow(row);
          QCOMPARE(at.Line, line);
          QCOMPARE(at.Row, r);
        }
      }
      QCOMPARE(row, lines.RowCount());
      const auto past = lines.LocateRow(row + 100);
      QCOMPARE(past.Line, count - 1);
    }
  }

  // ---- The pane

  void LongLineWrapsAndTheNextLineStartsAtTheLeft() {
    auto memo = ShownMemo(40);
    QVERIFY(memo);
    memo->AppendLine(Line(QString(100, QLatin1Char('W'))));
    memo->AppendLine(Line(QStringLiteral("W")));
    QVERIFY(!memo->horizontalScrollBar()->isVisible());
    QCOMPARE(memo->Store().Columns(), std::size_t(40));
    QCOMPARE(memo->Store().RowsOf(0), std::size_t(3));
    const QImage image = memo->viewport()->grab().toImage();
    const int row = static_cast<int>(std::ceil(QFontMetricsF(memo->LogFont()).lineSpacing()));
    const int cell = static_cast<int>(QFontMetricsF(memo->LogFont()).horizontalAdvance('M'));
    for (int r = 0; r < 4; ++r) {
      QVERIFY2(HasInk(image, 4 + r * row, 4 + (r + 1) * row, 0, 4 + cell),
               qPrintable(QString::number(r)));
    }
    // The fourth row holds the one-letter line: nothing beyond its first cell.
    QVERIFY(!HasInk(image, 4 + 3 * row, 4 + 4 * row, 4 + cell + 2, image.width()));
  }

  void NarrowerPaneKeepsTheFirstLineInView() {
    auto memo = ShownMemo(40, 5);
    QVERIFY(memo);
    for (int i = 0; i < 30; ++i) memo->AppendLine(Line(QString::number(i).repeated(20)));
    QScrollBar* bar = memo->verticalScrollBar();
    bar->setValue(static_cast<int>(memo->Store().FirstRowOf(12)));
    memo->resize(memo->width() / 2, memo->height());
    QCoreApplication::processEvents();
    QVERIFY(memo->Store().Columns() < 40);
    QCOMPARE(memo->Store().LocateRow(static_cast<std::size_t>(bar->value())).Line, std::size_t(12));
    // At the end it stays at the end.
    bar->setValue(bar->maximum());
    memo->resize(memo->width() * 2, memo->height());
    QCoreApplication::processEvents();
    QCOMPARE(bar->value(), bar->maximum());
  }

  void ViewFollowsTheEndUnlessSomethingIsSelected() {
    auto memo = ShownMemo(40, 5);
    QVERIFY(memo);
    QScrollBar* bar = memo->verticalScrollBar();
    for (int i = 0; i < 20; ++i) memo->AppendLine(Line(QString::number(i)));
    QCOMPARE(bar->maximum(), 15);
    QCOMPARE(bar->value(), 15);
    bar->setValue(3);
    memo->Select({3, 0}, {4, 1});
    memo->AppendLines({Line(QStringLiteral("a")), Line(QStringLiteral("b"))});
    QCOMPARE(bar->value(), 3);
    memo->MoveCaretToEnd();
    QVERIFY(!memo->HasSelection());
    QCOMPARE(bar->value(), 17);
    memo->ClearLog();
    QCOMPARE(bar->maximum(), 0);
    QVERIFY(memo->Lines().isEmpty());
  }

  void SelectedTextSpansLines_data() {
    QTest::addColumn<TLogPos>("from");
    QTest::addColumn<TLogPos>("to");
    QTest::addColumn<QString>("text");
    QTest::newRow("inside a line") << TLogPos{0, 1} << TLogPos{0, 3} << "ne";
    QTest::newRow("backwards") << TLogPos{0, 3} << TLogPos{0, 1} << "ne";
    QTest::newRow("across lines") << TLogPos{0, 2} << TLogPos{2, 2} << "e\n\nth";
    QTest::newRow("past the end is clamped") << TLogPos{2, 0} << TLogPos{9, 99} << "three";
    QTest::newRow("empty") << TLogPos{1, 0} << TLogPos{1, 0} << "";
  }
  void SelectedTextSpansLines() {
    QFETCH(TLogPos, from);
    QFETCH(TLogPos, to);
    QFETCH(QString, text);
    TLogMemo memo;
    for (const char* s : {"one", "", "three"}) memo.AppendLine(Line(QLatin1String(s)));
    memo.Select(from, to);
    QCOMPARE(memo.SelectedText(), text);
  }

  void MouseSelectsDoubleClickTakesAWordAndCopyCopies() {
    auto memo = ShownMemo(40);
    QVERIFY(memo);
    memo->AppendLine(Line(QStringLiteral("Hex view:")));
    memo->AppendLine(Line(QStringLiteral(" <SOH>24204A<ENQ>30303933"), lsPlain, ELogColour::Blue));
    QWidget* view = memo->viewport();
    QTest::mousePress(view, Qt::LeftButton, {}, PointOf(*memo, 0, 4));
    QTest::mouseMove(view, PointOf(*memo, 1, 3));
    QTest::mouseRelease(view, Qt::LeftButton, {}, PointOf(*memo, 1, 3));
    QCOMPARE(memo->SelectedText(), QStringLiteral("view:\n <S"));
    memo->copy();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("view:\n <S"));

    QTest::mouseDClick(view, Qt::LeftButton, {}, PointOf(*memo, 1, 5));
    QCOMPARE(memo->SelectedText(), QStringLiteral("<SOH>24204A<ENQ>30303933"));
    QTest::keyClick(memo.get(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(memo.get(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("Hex view:\n <SOH>24204A<ENQ>30303933"));
  }

  // ---- Through the accessibility bus

  void OffsetsMapToLinesAcrossChunks() {
    TLogLines lines;
    QString joined;
    for (std::size_t i = 0; i < TLogLines::kChunkLines + 9; ++i) {
      const QString text = i % 5 == 0 ? QString() : QString::fromUtf8("ж%1").arg(i);
      lines.Append(Line(text));
      joined += (i ? QStringLiteral("\n") : QString()) + text;
    }
    QCOMPARE(lines.TextLength(), static_cast<std::size_t>(joined.size()));
    for (std::size_t o : {std::size_t(0), std::size_t(1), std::size_t(4000), lines.TextLength()}) {
      const TLogPos at = lines.PosOf(o);
      QCOMPARE(lines.OffsetOf(at), o);
      QCOMPARE(at.Line, static_cast<std::size_t>(joined.left(qsizetype(o)).count('\n')));
    }
    lines.Clear();
    QCOMPARE(lines.TextLength(), std::size_t(0));
  }

  void TextInterfaceReadsLinesSelectionAndStyles() {
    TLogMemo memo;
    memo.AppendLines({Line(QStringLiteral("Title"), lsBold | lsUnderline),
                      Line(QStringLiteral("Result - ERROR "), lsBold, ELogColour::Red),
                      Line(QStringLiteral(" <SOH>2"), lsItalic, ELogColour::Maroon)});
    QAccessibleTextInterface* t = QAccessible::queryAccessibleInterface(&memo)->textInterface();
    QVERIFY(t);
    QCOMPARE(QAccessible::queryAccessibleInterface(&memo)->role(), QAccessible::EditableText);
    QCOMPARE(t->text(0, t->characterCount()), memo.Lines().join('\n'));
    int s = 0, e = 0;
    QCOMPARE(t->textAtOffset(8, QAccessible::LineBoundary, &s, &e),
             QStringLiteral("Result - ERROR \n"));
    QCOMPARE((std::pair{s, e}), (std::pair{6, 22}));
    QCOMPARE(t->textAfterOffset(8, QAccessible::LineBoundary, &s, &e), QStringLiteral(" <SOH>2"));
    QCOMPARE(t->textBeforeOffset(8, QAccessible::LineBoundary, &s, &e), QStringLiteral("Title\n"));
    QCOMPARE(t->textAtOffset(8, QAccessible::WordBoundary, &s, &e), QStringLiteral("Result"));
    t->setSelection(0, 2, 9);
    QCOMPARE(memo.SelectedText(), QStringLiteral("tle\nRes"));
    QCOMPARE(t->selectionCount(), 1);
    t->selection(0, &s, &e);
    QCOMPARE((std::pair{s, e}), (std::pair{2, 9}));
    QVERIFY(t->attributes(1, &s, &e).contains("font-weight:bold;"));
    QVERIFY(t->attributes(1, &s, &e).contains("text-underline-style:solid;"));
    QCOMPARE((std::pair{s, e}), (std::pair{0, 6}));
    QVERIFY(t->attributes(7, &s, &e).startsWith("color:rgb(255,0,0);"));
    QVERIFY(t->attributes(23, &s, &e).contains("font-style:italic;"));
    QVERIFY(t->attributes(23, &s, &e).startsWith("color:rgb(128,0,0);"));
  }

  // The caret moves the view; a character's rectangle and the point inside it
  // lead back to the same offset, in a wrapped row too.
  void TextInterfaceCaretAndPlaces() {
    auto memo = ShownMemo(10, 3);
    QVERIFY(memo);
    for (int i = 0; i < 20; ++i) memo->AppendLine(Line(QStringLiteral("line %1").arg(i)));
    memo->AppendLine(Line(QStringLiteral("0123456789abcdef")));
    QAccessibleTextInterface* t = QAccessible::queryAccessibleInterface(memo.get())->textInterface();
    const int wrapped = static_cast<int>(memo->Store().StartOf(20)) + 12;  // 'c', second row
    memo->verticalScrollBar()->setValue(0);
    t->setCursorPosition(wrapped);
    QCOMPARE(t->cursorPosition(), wrapped);
    QCOMPARE(memo->Caret(), (TLogPos{20, 12}));
    const QRect rect = t->characterRect(wrapped);
    QVERIFY(memo->viewport()->rect().contains(memo->viewport()->mapFromGlobal(rect.center())));
    QCOMPARE(t->offsetAtPoint(rect.topLeft() + QPoint(1, rect.height() / 2)), wrapped);
    QCOMPARE(t->characterRect(t->characterCount()), QRect());
    QCOMPARE(t->offsetAtPoint(memo->viewport()->mapToGlobal(QPoint(-5, -5))), -1);
  }

  void EachBlockIsAnnouncedOnceAsInsertedText() {
    TLogMemo memo;
    TLogMemo::AnnounceHook = &RecordEvent;
    memo.AppendLines({Line(QStringLiteral("a")), Line(QStringLiteral("b"))});
    memo.AppendLines({Line(QStringLiteral("c")), Line(QStringLiteral("d"))});
    TLogMemo::AnnounceHook = nullptr;
    QCOMPARE(gInserted, (std::vector<std::pair<int, QString>>{{0, "a\nb"}, {3, "\nc\nd"}}));
  }
};

QTEST_MAIN(TLogTest)
#include "test_console_log.moc"
