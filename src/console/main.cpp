// fprtest: the console for VELMORA fiscal printers and cash registers.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>

#include "AboutDialog.h"
#include "LogMemo.h"
#include "SettingsStore.h"
#include "uMain.h"
#include "ui_ManualCommandTab.h"

namespace {

// Screenshot hook for scripts/screenshot.sh only: FPRTEST_DEMO_COMMAND=4A sends
// that command from the manual page once the window is up.
void ScheduleDemoCommand(TMainForm& form) {
  const QByteArray code = qgetenv("FPRTEST_DEMO_COMMAND");
  if (code.isEmpty()) return;
  QTimer::singleShot(800, &form, [&form, code] {
    form.PCMain->setCurrentWidget(form.TS_Command);
    form.ManualUi->eCommand->setText(QString::fromLatin1(code));
    form.ManualUi->edtParams->setText(QString::fromUtf8(qgetenv("FPRTEST_DEMO_PARAMS")));
    form.ManualUi->bCommand->click();
    // The block's head with its traffic views is the interesting part.
    form.StatusMemo->verticalScrollBar()->setValue(0);
  });
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("fprtest"));
  QApplication::setApplicationVersion(QStringLiteral(FPR_VERSION));

  TMainForm form(DefaultConsolePaths());
  form.AboutDlg = new TAboutDlg(&form);
  form.show();
  ScheduleDemoCommand(form);
  return QApplication::exec();
}
