// The window's layout on a 1280x800 screen: first start, the divider, the settings
// dialog, and captions that never run into their controls.
#include <QtTest>

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include "ConsoleTestSupport.h"
#include "ShellLayout.h"
#include "uSettings.h"
#include "ui_uSettings.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QRect InWindow(const QWidget* w) { return QRect(w->mapTo(w->window(), QPoint()), w->size()); }

// Every label sits clear of the control it names and shows its whole caption;
// a button's caption keeps clear of its drop-down arrow.
void CheckCaptions(QWidget* root) {
  for (QLabel* label : root->findChildren<QLabel*>()) {
    if (!label->isVisible() || label->text().isEmpty()) continue;
    const QString name = label->objectName();
    if (!label->wordWrap()) {
      QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(name));
    }
    if (QWidget* buddy = label->buddy()) {
      QVERIFY2(!InWindow(label).intersects(InWindow(buddy)), qPrintable(name));
    }
  }
  for (QPushButton* button : root->findChildren<QPushButton*>()) {
    if (!button->isVisible()) continue;
    const int text = button->fontMetrics().horizontalAdvance(button->text());
    const int frame = button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    const int arrow =
        button->menu() ? button->style()->pixelMetric(QStyle::PM_MenuButtonIndicator) : 0;
    // Centred beside the arrow, the caption keeps an arrow's width clear of it.
    QVERIFY2(button->width() >= text + 2 * arrow + 2 * frame, qPrintable(button->objectName()));
  }
}

// The part of `w` the operator sees: clipped by every scroll area's viewport
// and every page around it.
QRect VisiblePart(const QWidget* w) {
  QRect visible = InWindow(w);
  for (const QWidget* p = w->parentWidget(); p && !p->isWindow(); p = p->parentWidget()) {
    if (const auto* scroll = qobject_cast<const QScrollArea*>(p)) {
      visible &= InWindow(scroll->viewport());
    }
    visible &= InWindow(p);
  }
  return visible;
}

// Every button, check box, radio button and input shown on the current page is
// in view whole.
QStringList HiddenControls(QWidget* page) {
  QStringList hidden;
  for (QWidget* w : page->findChildren<QWidget*>()) {
    const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                         qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w) ||
                         qobject_cast<QPlainTextEdit*>(w);
    if (!control || !w->isVisible() || w->objectName().startsWith(QLatin1String("qt_"))) continue;
    if (qobject_cast<QLineEdit*>(w) && qobject_cast<QAbstractSpinBox*>(w->parentWidget())) continue;
    if (qobject_cast<QLineEdit*>(w) && qobject_cast<QComboBox*>(w->parentWidget())) continue;
    if (VisiblePart(w) != InWindow(w)) hidden << w->objectName();
  }
  return hidden;
}

// Visits every page of every tab, each page of "Fisc.receipt" too, and lists
// "page: control" for each control that is not wholly in view.
QStringList HiddenOnAnyPage(TMainForm& f) {
  QStringList hidden;
  const auto check = [&](QWidget* page) {
    QCoreApplication::processEvents();
    for (const QString& name : HiddenControls(page)) hidden << page->objectName() + ": " + name;
  };
  for (int i = 0; i < f.PCMain->count(); ++i) {
    f.PCMain->setCurrentIndex(i);
    if (f.PCMain->widget(i) != f.TS_Recept) {
      check(f.PCMain->widget(i));
      continue;
    }
    for (int j = 0; j < f.PCRecept->count(); ++j) {
      f.PCRecept->setCurrentIndex(j);
      check(f.TS_Recept);
    }
  }
  return hidden;
}

}  // namespace

class TShellTest : public QObject {
  Q_OBJECT

  TFormFixture F;

  void OpenShown() {
    F.Open();
    F.Form->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.Form.get()));
  }

 private slots:
  void init() {
    F.Form.reset();
    QFile::remove(F.IniPath());
    QFile::remove(F.PlacementPath());
  }

  void FirstWindowSizeFitsTheScreen_data() {
    QTest::addColumn<QSize>("available");
    QTest::addColumn<int>("tabs");
    QTest::addColumn<QSize>("size");
    QTest::newRow("1280x800") << QSize(1280, 800) << 1136 << QSize(1200, 740);
    QTest::newRow("wider than the screen") << QSize(1280, 800) << 1400 << QSize(1240, 740);
    QTest::newRow("small screen") << QSize(1024, 600) << 1136 << QSize(984, 540);
  }
  void FirstWindowSizeFitsTheScreen() {
    QFETCH(QSize, available);
    QFETCH(int, tabs);
    QFETCH(QSize, size);
    QCOMPARE(FirstWindowSize(available, tabs), size);
  }

  void PagesHeightKeepsEveryControlInView_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("needed");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("pages");
    QTest::newRow("first start") << 0 << 323 << 690 << 323;
    QTest::newRow("stored divider hides controls") << 270 << 323 << 690 << 323;
    QTest::newRow("stored divider lower") << 400 << 323 << 690 << 400;
    QTest::newRow("log keeps its minimum") << 0 << 323 << 350 << 300;
    QTest::newRow("stored beyond the window") << 900 << 323 << 690 << 640;
    QTest::newRow("no room at all") << 0 << 323 << 20 << 1;
  }
  void PagesHeightKeepsEveryControlInView() {
    QFETCH(int, stored);
    QFETCH(int, needed);
    QFETCH(int, total);
    QFETCH(int, pages);
    QCOMPARE(PagesHeight(stored, needed, total, 50), pages);
  }

  void FirstStartShowsEveryCaptionAndTheLogTheRest() {
    OpenShown();
    TMainForm& f = *F.Form;
    QVERIFY(QRect(0, 0, 1280, 800).contains(f.frameGeometry()));
    QTabBar* tabs = f.PCMain->tabBar();
    QCOMPARE(tabs->count(), 10);
    for (int i = 0; i < tabs->count(); ++i) {
      const QRect r = tabs->tabRect(i);
      QVERIFY2(r.left() >= 0 && r.right() < tabs->width(), qPrintable(tabs->tabText(i)));
      QVERIFY(r.width() > tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)));
    }
    for (QToolButton* arrow : tabs->findChildren<QToolButton*>()) QVERIFY(!arrow->isVisible());
    // The pages take what the tallest needs; the log the rest, 20 rows of text or more.
    QCOMPARE(f.Splitter->sizes().value(0), f.PCMain->sizeHint().height());
    QVERIFY(f.StatusMemo->verticalScrollBar()->pageStep() >= 20);
  }

  void FirstStartShowsEveryControlOfEveryPage() {
    OpenShown();
    QCOMPARE(HiddenOnAnyPage(*F.Form), QStringList{});
  }

  // The smallest window that still shows every control: the first start's size.
  void NoControlHiddenDownToTheFirstStartSize() {
    OpenShown();
    const QSize first = F.Form->size();
    F.Form->resize(first.width() + 60, first.height() + 50);
    QTRY_COMPARE(F.Form->size(), QSize(first.width() + 60, first.height() + 50));
    QCOMPARE(HiddenOnAnyPage(*F.Form), QStringList{});
    F.Form->resize(first);
    QTRY_COMPARE(F.Form->size(), first);
    QCOMPARE(HiddenOnAnyPage(*F.Form), QStringList{});
  }

  // A divider stored by an earlier version that hid controls is moved down at
  // start; a lower one is kept.
  void StoredDividerThatHidesControlsIsCorrected_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<bool>("kept");
    QTest::newRow("earlier two fifths") << 270 << false;
    QTest::newRow("tiny") << 40 << false;
    QTest::newRow("lower than needed") << 420 << true;
  }
  void StoredDividerThatHidesControlsIsCorrected() {
    QFETCH(int, stored);
    QFETCH(bool, kept);
    QFile file(F.PlacementPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("[MAIN WINDOW]\r\nFlags=0\r\nShowCmd=1\r\nPixelsPerInch=96\r\n"
                              "MinMaxPos=-1,-1,-1,-1\r\nNormPos=40,30,1240,770\r\n"
                              "Splitter=%1,%2\r\n")
                   .arg(stored)
                   .arg(640 - stored)
                   .toLatin1());
    file.close();
    OpenShown();
    const int needed = F.Form->PCMain->sizeHint().height();
    QCOMPARE(F.Form->Splitter->sizes().value(0), kept ? stored : needed);
    QCOMPARE(HiddenOnAnyPage(*F.Form), QStringList{});
  }

  // Below the first start's size the pages scroll rather than squeeze.
  void SmallWindowScrollsThePages() {
    OpenShown();
    F.Form->Splitter->setSizes({120, 400});
    QCoreApplication::processEvents();
    F.Form->PCMain->setCurrentWidget(F.Form->TS_Other);
    QCoreApplication::processEvents();
    auto* scroll = F.Form->TS_Other->findChild<QScrollArea*>();
    QVERIFY(scroll);
    QVERIFY(scroll->verticalScrollBar()->isVisible());
    QVERIFY(!HiddenControls(F.Form->TS_Other).isEmpty());
  }

  void DividerIsKeptWithTheWindowPlacement() {
    OpenShown();
    const QList<int> first = F.Form->Splitter->sizes();
    const int total = first.value(0) + first.value(1);
    const int pages = first.value(0) + 40;  // the divider moved down
    F.Form->Splitter->setSizes({pages, total - pages});
    F.Form.reset();
    QVERIFY(
        ReadAll(F.PlacementPath())
            .contains(QStringLiteral("Splitter=%1,%2").arg(pages).arg(total - pages).toLatin1()));
    OpenShown();
    QCOMPARE(F.Form->Splitter->sizes().value(0), pages);
    // A taller window gives its height to the log; the pages keep theirs.
    F.Form->resize(F.Form->width(), F.Form->height() + 30);
    QTRY_COMPARE(F.Form->Splitter->sizes().value(1), total - pages + 30);
    QCOMPARE(F.Form->Splitter->sizes().value(0), pages);
  }

  void ManualPageCaptionsKeepClearOfTheirControls() {
    OpenShown();
    F.Form->PCMain->setCurrentWidget(F.Form->TS_Command);
    QCoreApplication::processEvents();
    CheckCaptions(F.Form->TS_Command);
    CheckCaptions(F.Form->statusBar());
  }

  void SettingsDialogKeepsOneSizeForEitherLink() {
    TfrmSettings d;
    d.SetValues({1, "115200", {}, "0", false, {}});
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    const QSize serialSize = d.size();
    const QRect serialBox = d.ui->gBoxRS232->geometry();
    CheckCaptions(&d);
    d.ui->rbTCP->click();
    QCoreApplication::processEvents();
    QCOMPARE(d.size(), serialSize);
    QCOMPARE(d.ui->gbTCPSettings->geometry(), serialBox);
    QVERIFY(d.ui->gBoxRS232->isHidden());
    CheckCaptions(&d);
    d.ui->rbRS232->click();
    QCoreApplication::processEvents();
    QCOMPARE(d.size(), serialSize);
  }
};

// A 1280x800 screen, whatever the offscreen platform's default.
int main(int argc, char** argv) {
  QTemporaryDir dir;
  const QString config = dir.filePath(QStringLiteral("screen.json"));
  QFile file(config);
  if (!file.open(QIODevice::WriteOnly)) return 1;
  file.write(R"({"screens": [{"name": "S", "x": 0, "y": 0, "width": 1280, "height": 800,)"
             R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
  file.close();
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
  QApplication app(argc, argv);
  TShellTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_console_shell.moc"
