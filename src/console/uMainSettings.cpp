// The settings: INI file, the settings dialog and the window placement.
#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QtGlobal>
#include <algorithm>

#include "LogMemo.h"
#include "SettingsStore.h"
#include "ShellLayout.h"
#include "panels/ReceiptOpenPage.h"
#include "uMain.h"
#include "uSettings.h"

namespace {

const QString kDefaultUNP = QStringLiteral("QZ999834-1234-1234567");

}  // namespace

void TMainForm::LoadSettings() {
  Settings = LoadSettingsFile(Paths.IniPath);
  if (!TBaseDevice::IsUniqueSellNoValid(Settings.LastUNP.toStdString())) {
    Settings.LastUNP = kDefaultUNP;
  }
  HEX1->setChecked(Settings.ShowHex);
  chDetailed->setChecked(Settings.ShowDetailed);
  cbRaw->setChecked(Settings.ShowRaw);
  cbStatusAsString->setChecked(Settings.ShowStatus);
  StatusMemo->SetLogFontSize(Settings.FontSize);
  ApplySettingsToPanels();
}

void TMainForm::SaveSettings() {
  CollectSettingsFromPanels();
  Settings.ShowHex = HEX1->isChecked();
  Settings.ShowDetailed = chDetailed->isChecked();
  Settings.ShowRaw = cbRaw->isChecked();
  Settings.ShowStatus = cbStatusAsString->isChecked();
  Settings.FontSize = StatusMemo->LogFont().pointSize();
  QString error;
  if (!SaveSettingsFile(Paths.IniPath, Settings, &error)) {
    qWarning("fprtest: settings not saved to %s: %s", qPrintable(Paths.IniPath), qPrintable(error));
  }
}

// The page that shows the operator, the FMIN and the sale number takes their
// values from Settings here and gives them back in CollectSettingsFromPanels.
void TMainForm::ApplySettingsToPanels() { ReceiptOpen->ApplySettings(Settings); }

void TMainForm::CollectSettingsFromPanels() { ReceiptOpen->CollectSettings(Settings); }

void TMainForm::ShowConnectionInStatusBar() {
  const TConnectionSettings& c = Settings.Connection;
  if (c.UseTCP) {
    SetStatusPanelText(0, c.IPAddress);
    SetStatusPanelText(1, c.TCPPort);
  } else {
    const QString path = c.PortPath.trimmed();
    SetStatusPanelText(0, path.isEmpty() ? QStringLiteral("COM%1").arg(c.PortNo) : path);
    SetStatusPanelText(1, c.BaudNo);
  }
}

void TMainForm::Settings1Click() {
  TfrmSettings dialog(this);
  dialog.SetValues(Settings.Connection);
  if (dialog.exec() != QDialog::Accepted) return;
  Settings.Connection = dialog.Values();
  ShowConnectionInStatusBar();
  DeviceSerialNo.clear();
  SetStatusPanelText(2, QString());
  CreateDevice();
}

void TMainForm::RestorePlacement() {
  TWindowPlacement p;
  if (!LoadPlacementFile(Paths.PlacementPath, p)) return PlaceFirstTime();
  const QRect rect(QPoint(p.NormPos[0], p.NormPos[1]),
                   QSize(p.NormPos[2] - p.NormPos[0], p.NormPos[3] - p.NormPos[1]));
  const QScreen* screen = QGuiApplication::screenAt(rect.center());
  if (rect.width() >= 200 && rect.height() >= 150 && screen) {
    setGeometry(rect);
  } else {
    PlaceFirstTime();
  }
  RestoreMaximized_ = p.ShowCmd == 3;
  StoredPagesHeight_ = p.Splitter[0];
}

// No placement yet: a size that shows every tab caption, in the middle of the screen.
void TMainForm::PlaceFirstTime() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
  // The tab bar's own frame and the page control's margins beside the captions.
  const int tabs = PCMain->tabBar()->sizeHint().width() + 16;
  QRect rect(QPoint(), FirstWindowSize(area.size(), tabs));
  rect.moveCenter(area.center());
  setGeometry(rect);
}

// Once the window has its size: the pages get what the tallest of them needs
// (the tab control's size hint holds the tallest page), or the stored divider
// when it gives them more; the log gets the rest.
void TMainForm::ApplyDivider() {
  const int total = Splitter->height() - Splitter->handleWidth();
  const int pages = PagesHeight(StoredPagesHeight_, PCMain->sizeHint().height(), total,
                                StatusMemo->minimumSizeHint().height());
  Splitter->setSizes({pages, std::max(1, total - pages)});
}

void TMainForm::StorePlacement() {
  if (!PlacementShown_) return;
  TWindowPlacement p;
  p.ShowCmd = isMaximized() ? 3 : (isMinimized() ? 2 : 1);
  p.PixelsPerInch = logicalDpiY();
  const QRect r = (isMaximized() || isMinimized()) ? normalGeometry() : geometry();
  p.NormPos[0] = r.left();
  p.NormPos[1] = r.top();
  p.NormPos[2] = r.left() + r.width();
  p.NormPos[3] = r.top() + r.height();
  const QList<int> sizes = Splitter->sizes();
  if (sizes.size() == 2) std::copy(sizes.begin(), sizes.end(), std::begin(p.Splitter));
  QString error;
  if (!SavePlacementFile(Paths.PlacementPath, p, &error)) {
    qWarning("fprtest: window placement not saved to %s: %s", qPrintable(Paths.PlacementPath),
             qPrintable(error));
  }
}
