// fprtest: the console for VELMORA fiscal printers and cash registers.
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <iostream>

#include "AboutDialog.h"
#include "ConsoleCommandLine.h"
#include "LogMemo.h"
#include "SettingsStore.h"
#include "uMain.h"
#include "ui_ManualCommandTab.h"

namespace {

// Brings every page that holds `w` to the front, the outermost first.
void ShowPagesOf(QWidget* w) {
  QList<QWidget*> chain;
  for (QWidget* p = w; p; p = p->parentWidget()) chain.prepend(p);
  for (QWidget* page : chain) {
    QWidget* stack = page->parentWidget();
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (tabs && tabs->indexOf(page) >= 0) tabs->setCurrentWidget(page);
  }
}

// Screenshot hook for scripts/screenshot.sh only: FPRTEST_DEMO_PAGE=name brings
// that page to the front; FPRTEST_DEMO_BUTTON=name clicks that button of its tab
// once the window is up; FPRTEST_DEMO_COMMAND=4A sends that command from the
// manual page instead.
void ScheduleDemo(TMainForm& form) {
  const QByteArray page = qgetenv("FPRTEST_DEMO_PAGE");
  const QByteArray button = qgetenv("FPRTEST_DEMO_BUTTON");
  const QByteArray code = qgetenv("FPRTEST_DEMO_COMMAND");
  if (page.isEmpty() && button.isEmpty() && code.isEmpty()) return;
  QTimer::singleShot(800, &form, [&form, page, button, code] {
    if (!page.isEmpty()) {
      auto* p = form.findChild<QWidget*>(QString::fromLatin1(page));
      if (p) ShowPagesOf(p);
      if (!p) qWarning("fprtest: no page %s", page.constData());
      return;
    }
    if (!button.isEmpty()) {
      auto* b = form.findChild<QAbstractButton*>(QString::fromLatin1(button));
      if (!b) {
        qWarning("fprtest: no button %s", button.constData());
        return;
      }
      ShowPagesOf(b);
      b->click();
    } else {
      form.PCMain->setCurrentWidget(form.TS_Command);
      form.ManualUi->eCommand->setText(QString::fromLatin1(code));
      form.ManualUi->edtParams->setText(QString::fromUtf8(qgetenv("FPRTEST_DEMO_PARAMS")));
      form.ManualUi->bCommand->click();
    }
    // The block's head with its traffic views is the interesting part.
    form.StatusMemo->verticalScrollBar()->setValue(0);
  });
}

}  // namespace

int main(int argc, char* argv[]) {
  std::string answer;
  if (AnswerCommandLine(std::vector<std::string>(argv + 1, argv + argc), answer)) {
    std::cout << answer;
    return 0;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("fprtest"));
  QApplication::setApplicationVersion(QStringLiteral(FPR_VERSION));

  TMainForm form(DefaultConsolePaths());
  form.AboutDlg = new TAboutDlg(&form);
  form.show();
  ScheduleDemo(form);
  return QApplication::exec();
}
