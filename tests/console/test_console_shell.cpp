// The window's layout on a 1280x800 screen: first start, the divider, the settings
// dialog, and captions that never run into their controls.
#include <QtTest>

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
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

  void FirstStartShowsEveryCaptionAndMostlyTheLog() {
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
    // The log takes the larger part of the window: more than 20 rows of text.
    const QList<int> sizes = f.Splitter->sizes();
    QVERIFY(sizes[1] > sizes[0]);
    QVERIFY(f.StatusMemo->height() > f.height() / 2);
    QVERIFY(f.StatusMemo->verticalScrollBar()->pageStep() > 20);
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
