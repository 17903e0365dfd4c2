#include "uMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>

#include "AboutDialog.h"
#include "LogMemo.h"
#include "ShellLayout.h"
#include "ui_ManualCommandTab.h"

TMainForm::TMainForm(const TConsolePaths& paths, QWidget* parent)
    : QMainWindow(parent), Paths(paths) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QStringLiteral("VELMORA ECR/FPR Test application"));
  BuildMenus();
  BuildPages();
  BuildPanels();
  BuildLog();
  BuildStatusBar();
  BuildManualCommandPage();
  InstallDialogHooks();

  Splitter = new QSplitter(Qt::Vertical, this);
  Splitter->setObjectName(QStringLiteral("Splitter"));
  Splitter->addWidget(PCMain);
  Splitter->addWidget(LogPane);
  // The panels keep their height as the window grows; the log takes the rest.
  Splitter->setStretchFactor(0, 0);
  Splitter->setStretchFactor(1, 1);
  Splitter->setChildrenCollapsible(false);
  setCentralWidget(Splitter);
  GiveMenuButtonsRoom(this);

  LoadSettings();
  SentRaw.clear();
  ReceivedRaw.clear();
  ShowConnectionInStatusBar();
  PCMain->setCurrentWidget(TS_Information);
  CreateDevice();
  RestorePlacement();
}

TMainForm::~TMainForm() {
  StorePlacement();
  delete ManualUi;
}

void TMainForm::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("File1"));
  QAction* exit = file->addAction(QStringLiteral("E&xit"), this, &TMainForm::Exit1Click);
  exit->setObjectName(QStringLiteral("Exit1"));

  QAction* settings =
      menuBar()->addAction(QStringLiteral("Se&ttings"), this, &TMainForm::Settings1Click);
  settings->setObjectName(QStringLiteral("Settings1"));

  QMenu* help = menuBar()->addMenu(QStringLiteral("H&elp"));
  help->setObjectName(QStringLiteral("Help1"));
  QAction* about = help->addAction(QStringLiteral("&About"), this, &TMainForm::About1Click);
  about->setObjectName(QStringLiteral("About1"));
}

namespace {

QWidget* AddPage(QTabWidget* tabs, const char* name, const QString& caption) {
  auto* page = new QWidget(tabs);
  page->setObjectName(QLatin1String(name));
  tabs->addTab(page, caption);
  return page;
}

}  // namespace

// The pages are empty frames here; each panel fills its own page.
void TMainForm::BuildPages() {
  PCMain = new QTabWidget(this);
  PCMain->setObjectName(QStringLiteral("PCMain"));
  // A caption is read whole or, in a narrow window, reached with the arrows.
  PCMain->setElideMode(Qt::ElideNone);
  TS_Information = AddPage(PCMain, "TS_Information", QStringLiteral("Information"));
  TS_FMReports = AddPage(PCMain, "TS_FMReports", QStringLiteral("Fiscal reports"));
  TS_AdvLines = AddPage(PCMain, "TS_AdvLines", QStringLiteral("Header/footer lines"));
  TS_Recept = AddPage(PCMain, "TS_Recept", QStringLiteral("Fisc.receipt"));
  TabSheet4 = AddPage(PCMain, "TabSheet4", QStringLiteral("Comment reciept"));
  TS_Command = AddPage(PCMain, "TS_Command", QStringLiteral("Manual command"));
  TS_Other = AddPage(PCMain, "TS_Other", QStringLiteral("Other"));
  TabSheet1 = AddPage(PCMain, "TabSheet1", QStringLiteral("Invoice range"));
  TabSheet3 = AddPage(PCMain, "TabSheet3", QStringLiteral("Departments"));
  shProgPlu = AddPage(PCMain, "shProgPlu", QStringLiteral("Register PLU in ECR/FP"));

  PCRecept = new QTabWidget(TS_Recept);
  PCRecept->setObjectName(QStringLiteral("PCRecept"));
  PCRecept->setTabPosition(QTabWidget::South);
  TS_Samples = AddPage(PCRecept, "TS_Samples", QStringLiteral("Open receipt"));
  TS_PLU = AddPage(PCRecept, "TS_PLU", QStringLiteral("PLU"));
  TS_Comment = AddPage(PCRecept, "TS_Comment", QStringLiteral("Comments"));
  TS_Subtotal = AddPage(PCRecept, "TS_Subtotal", QStringLiteral("Subtotal"));
  TS_Payment = AddPage(PCRecept, "TS_Payment", QStringLiteral("Payment"));
  TS_InvoiceClient = AddPage(PCRecept, "TS_InvoiceClient", QStringLiteral("Invoce data"));
  TS_CloseFiscRec = AddPage(PCRecept, "TS_CloseFiscRec", QStringLiteral("Close reciept"));
  TabSheet2 = AddPage(PCRecept, "TabSheet2", QStringLiteral("Duplicate last receipt"));
  // The tab's own buttons stand in a column beside the pages: the pages keep
  // the height.
  auto* receptLayout = new QHBoxLayout(TS_Recept);
  receptLayout->setContentsMargins(4, 4, 4, 4);
  receptLayout->addWidget(PCRecept, 1);

  connect(PCMain, &QTabWidget::currentChanged, this, &TMainForm::PCMainChange);
}

void TMainForm::PCMainChange(int index) {
  if (PCMain->widget(index) == TS_Recept) PCRecept->setCurrentWidget(TS_Samples);
}

void TMainForm::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar"));
  bar->setSizeGripEnabled(true);
  const int widths[3] = {100, 80, 50};
  for (int i = 0; i < 3; ++i) {
    auto* panel = new QLabel(bar);
    panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
    // The identity comes from the device and the address as typed: never markup.
    panel->setTextFormat(Qt::PlainText);
    panel->setMinimumWidth(widths[i]);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    // The identity panel takes the rest of the bar: it holds the longest text.
    bar->addWidget(panel, i == 2 ? 1 : 0);
    StatusPanels_[i] = panel;
  }
}

QString TMainForm::StatusPanelText(int index) const {
  return index >= 0 && index < 3 ? StatusPanels_[index]->text() : QString();
}

void TMainForm::SetStatusPanelText(int index, const QString& text) {
  if (index >= 0 && index < 3) StatusPanels_[index]->setText(text);
}

void TMainForm::Exit1Click() { close(); }

void TMainForm::About1Click() {
  if (!AboutDlg) AboutDlg = new TAboutDlg(this);
  AboutDlg->exec();
}

// Closing is never refused.
void TMainForm::closeEvent(QCloseEvent* event) {
  if (Device) {
    if (Device->IsConnected()) Device->Disconnect();
    Device.reset();
  }
  SaveSettings();
  event->accept();
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!PlacementShown_) {
    PlacementShown_ = true;
    ApplyDivider();
    if (RestoreMaximized_) setWindowState(windowState() | Qt::WindowMaximized);
  }
}
