#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "BaseDeviceUnit.h"
#include "ConsoleSettings.h"
#include "ResultBlock.h"

class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QTabWidget;
class TAboutDlg;
class TFileCalls;
class TLogFindBar;
class TLogMemo;
class TInformationTab;
class TFiscalReportsTab;
class THeaderLinesTab;
class TReceiptTab;
class TReceiptOpenPage;
class TReceiptSalesPage;
class TReceiptCommentsPage;
class TReceiptSubtotalPage;
class TReceiptPaymentPage;
class TInvoiceDataPage;
class TReceiptClosePage;
class TDuplicatePage;
class TCommentReceiptTab;
class TOtherTab;
class TInvoiceRangeTab;
class TDepartmentsTab;
class TPluTab;
namespace Ui {
class ManualCommandTab;
}

// The console's main window: the page control of the panels, the log pane, the
// status bar, the one device object and the frame of work of every panel button.
class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainForm(const TConsolePaths& paths, QWidget* parent = nullptr);
  ~TMainForm() override;

  // ---- Device (uMainDevice.cpp)
  std::unique_ptr<TBaseDevice> Device;
  std::string DeviceSerialNo;  // CP1251; empty: identity not read yet
  std::string DeviceFMNo;
  std::string SentRaw;  // frames sent / bytes received for the command under way
  std::string ReceivedRaw;

  // Makes the device for the connection settings; empty means the real transports.
  using TDeviceFactory = std::function<std::unique_ptr<TBaseDevice>(const TConnectionSettings&)>;
  TDeviceFactory DeviceFactory;

  void CreateDevice();
  // Link parameters, connection and identity; raises ESilentAbort on failure.
  void EnsureConnected();

  // The frame of work of every panel button: `checkInput` (optional, before the
  // link is touched), EnsureConnected, `action` (returns the result text, CP1251),
  // then the link is closed and the result block written, whatever happened.
  // Any exception's message becomes the error text. True when `action` completed.
  using TCommandAction = std::function<std::string()>;
  using TInputCheck = std::function<void()>;
  bool RunCommand(const QString& title, const TCommandAction& action,
                  const TInputCheck& checkInput = {});
  // One step of a script on a link that is already open: no connecting and no
  // disconnecting; the result block is written whatever happened. True when
  // `action` completed.
  bool RunStep(const QString& title, const TCommandAction& action);
  // After a device operation: false raises a silent abort with LastErrorText
  // (or a refusal text when the device gave none).
  void RequireDevice(bool ok);

  // ---- Log (uMainLog.cpp)
  TLogMemo* StatusMemo = nullptr;
  QWidget* LogPane = nullptr;  // the find bar over the log
  TLogFindBar* FindBar = nullptr;
  QMenu* MemoPopup = nullptr;
  QAction* Find1 = nullptr;
  QAction* HEX1 = nullptr;
  QAction* chDetailed = nullptr;
  QAction* cbRaw = nullptr;
  QAction* cbStatusAsString = nullptr;

  void AddLogLine(const QString& text);
  void AddLogText(const QString& text, unsigned style, ELogColour colour);
  void LogResult(const QString& title, const QString& resultText, const QString& errorText);
  TLogOptions LogOptions() const;

  // ---- Settings (uMainSettings.cpp)
  TConsolePaths Paths;
  TConsoleSettings Settings;
  void LoadSettings();
  void SaveSettings();
  void ShowConnectionInStatusBar();
  // Settings <-> the panel controls that show them (operator, FMIN, sale number).
  void ApplySettingsToPanels();
  void CollectSettingsFromPanels();

  // ---- Status bar: panels 0..2
  QString StatusPanelText(int index) const;
  void SetStatusPanelText(int index, const QString& text);

  // ---- The pages above, the log below; the divider is kept with the placement.
  QSplitter* Splitter = nullptr;

  // ---- Pages of PCMain, in order
  QTabWidget* PCMain = nullptr;
  QWidget* TS_Information = nullptr;
  QWidget* TS_FMReports = nullptr;
  QWidget* TS_AdvLines = nullptr;
  QWidget* TS_Recept = nullptr;
  QWidget* TabSheet4 = nullptr;
  QWidget* TS_Command = nullptr;
  QWidget* TS_Other = nullptr;
  QWidget* TabSheet1 = nullptr;
  QWidget* TabSheet3 = nullptr;
  QWidget* shProgPlu = nullptr;
  // Pages of PCRecept on "Fisc.receipt", in order
  QTabWidget* PCRecept = nullptr;
  QWidget* TS_Samples = nullptr;
  QWidget* TS_PLU = nullptr;
  QWidget* TS_Comment = nullptr;
  QWidget* TS_Subtotal = nullptr;
  QWidget* TS_Payment = nullptr;
  QWidget* TS_InvoiceClient = nullptr;
  QWidget* TS_CloseFiscRec = nullptr;
  QWidget* TabSheet2 = nullptr;

  // ---- The panels, one per tab or page; their handlers live with them.
  TInformationTab* Information = nullptr;
  TFiscalReportsTab* FiscalReports = nullptr;
  THeaderLinesTab* HeaderLines = nullptr;
  TReceiptTab* Receipt = nullptr;
  TReceiptOpenPage* ReceiptOpen = nullptr;
  TReceiptSalesPage* ReceiptSales = nullptr;
  TReceiptCommentsPage* ReceiptComments = nullptr;
  TReceiptSubtotalPage* ReceiptSubtotal = nullptr;
  TReceiptPaymentPage* ReceiptPayment = nullptr;
  TInvoiceDataPage* InvoiceData = nullptr;
  TReceiptClosePage* ReceiptClose = nullptr;
  TDuplicatePage* Duplicate = nullptr;
  TCommentReceiptTab* CommentReceipt = nullptr;
  TOtherTab* Other = nullptr;
  TInvoiceRangeTab* InvoiceRange = nullptr;
  TDepartmentsTab* Departments = nullptr;
  TPluTab* Plu = nullptr;

  // ---- Manual command page (uMainManualCommand.cpp)
  Ui::ManualCommandTab* ManualUi = nullptr;

  // ---- Questions to the operator; tests replace them.
  std::function<QString()> AskSaveFileName;
  std::function<bool(QString&)> AskHexCode;  // false: cancelled
  std::function<void(const QString&)> ShowError;
  // The file calls of "Save to file"; null: the system's. Tests make them fail.
  TFileCalls* SaveFileCalls = nullptr;

  TAboutDlg* AboutDlg = nullptr;  // made on first use unless given

 public slots:
  void Exit1Click();
  void Settings1Click();
  void About1Click();
  // Manual command
  void bCommandClick();
  void edtParamsChange();
  void mnLineFeedClick();
  void mnUserSpecClick();
  // MemoPopup
  void Copy1Click();
  void Clear1Click();
  void SelectAll1Click();
  void SaveToFile1Click();
  void Find1Click();
  void IncreaseFontClick();
  void DecreaseFontClick();
  void ResetFontClick();
  void PCMainChange(int index);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildMenus();
  void BuildPages();
  void BuildPanels();
  void BuildLog();
  void BuildFindActions();
  void BuildStatusBar();
  void BuildManualCommandPage();
  void InstallDialogHooks();
  void ApplyLinkParameters();
  void OnControlByte(const std::string& byte);
  void InsertIntoParams(const QString& ch);
  void AfterFontChange();
  void RestorePlacement();
  void PlaceFirstTime();
  void ApplyDivider();
  void StorePlacement();
  bool SaveLogTo(const QString& path, QString* error) const;

  QLabel* StatusPanels_[3] = {nullptr, nullptr, nullptr};
  bool PlacementShown_ = false;
  bool RestoreMaximized_ = false;
  int StoredPagesHeight_ = 0;  // 0: first start, the pages get their share
};
