#include "CommentReceiptTab.h"

#include "BarcodeGroup.h"
#include "DeviceText.h"
#include "ReceiptTab.h"
#include "uMain.h"
#include "ui_CommentReceiptTab.h"

namespace {
constexpr int kTestRows = 6;
}

TCommentReceiptTab::TCommentReceiptTab(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::CommentReceiptTab) {
  ui->setupUi(this);
  FillBarcodeTypes(*ui->cbCommentBCodeType);
  connect(ui->btn02EHF, &QPushButton::clicked, this, &TCommentReceiptTab::btn02EHFClick);
  connect(ui->btnCommentText, &QPushButton::clicked, this,
          &TCommentReceiptTab::btnCommentTextClick);
  connect(ui->btnCloseCommentrec, &QPushButton::clicked, this,
          &TCommentReceiptTab::btnCloseCommentrecClick);
  connect(ui->btnTestCommentRec, &QPushButton::clicked, this,
          &TCommentReceiptTab::btnTestCommentRecClick);
  connect(ui->btnSendCommentBarcode, &QPushButton::clicked, this,
          &TCommentReceiptTab::btnSendCommentBarcodeClick);
  connect(ui->BitBtn1, &QPushButton::clicked, this, &TCommentReceiptTab::btnCancelAllRecClick);
}

TCommentReceiptTab::~TCommentReceiptTab() { delete ui; }

// These two write their log entry while the link is still open, and close it
// afterwards.
bool TCommentReceiptTab::RunAndDisconnect(const QString& title,
                                          const std::function<std::string()>& action) {
  const bool done = Main.RunStep(title, [&] {
    Main.EnsureConnected();
    return action();
  });
  if (Device().IsConnected()) Device().Disconnect();
  return done;
}

bool TCommentReceiptTab::OpenCommentReceiptAndLog() {
  return RunAndDisconnect(QStringLiteral("Open comment reciept(26H)."), [this] {
    std::int32_t allReceipt = 0;
    Main.RequireDevice(Device().OpenCommentReceipt(allReceipt));
    return "AllReceipt: " + IntToStr(allReceipt) + ", ErrCode: 0 ";
  });
}

bool TCommentReceiptTab::CloseCommentReceiptAndLog() {
  return RunAndDisconnect(QStringLiteral("Close coment reciept(27H)."), [this] {
    std::int32_t allReceipt = 0;
    Main.RequireDevice(Device().CloseCommentReceipt(allReceipt));
    return "AllReceipt: " + IntToStr(allReceipt);
  });
}

void TCommentReceiptTab::btn02EHFClick() { OpenCommentReceiptAndLog(); }

void TCommentReceiptTab::btnCloseCommentrecClick() { CloseCommentReceiptAndLog(); }

// The text goes out as typed, blanks included.
void TCommentReceiptTab::btnCommentTextClick() {
  Main.RunCommand(QStringLiteral("Add comment text(2AH)"), [this] {
    const std::string text = ToDeviceText(ui->edtCommentText->text(), QStringLiteral("Comment"));
    Main.RequireDevice(Device().PrintCommentText(text));
    return std::string();
  });
}

// The open closed the link; the rows need it again. A failure stops the test
// with the receipt left open, so it is logged to say why.
bool TCommentReceiptTab::ReconnectForRows() {
  if (Device().IsConnected() || Device().Connect()) return true;
  const std::string& error = Device().LastErrorText;
  Main.LogResult(QStringLiteral("Test comment receipt"), QString(),
                 error.empty() ? QStringLiteral("The connection to the device could not be opened.")
                               : DevText(error));
  return false;
}

void TCommentReceiptTab::btnTestCommentRecClick() {
  if (!OpenCommentReceiptAndLog() || !ReconnectForRows()) return;
  for (int i = 0; i < kTestRows; ++i) {
    const std::string row = IntToStr(i + 1);
    const QString title = QStringLiteral("Print comment row(2AH): ") + QString::fromLatin1(row);
    Main.RunStep(title, [&] {
      Main.RequireDevice(Device().PrintCommentText("Comment text row:" + IntToStr(i)));
      return "Print comment row(2AH): " + row + ". Printed";
    });
  }
  CloseCommentReceiptAndLog();
}

void TCommentReceiptTab::btnSendCommentBarcodeClick() {
  SendBarcodeFromGroup(Main, *ui->edtCommentBarcode, *ui->cbCommentBCodeType,
                       *ui->cbShoAsTxtComment);
}

void TCommentReceiptTab::btnCancelAllRecClick() { Main.Receipt->btnCancelAllRecClick(); }
