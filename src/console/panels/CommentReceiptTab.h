#pragma once

#include <functional>
#include <string>

#include "TabPanel.h"

namespace Ui {
class CommentReceiptTab;
}

// The "Comment reciept" tab: the non-fiscal receipt and its test.
class TCommentReceiptTab : public TTabPanel {
  Q_OBJECT

 public:
  explicit TCommentReceiptTab(TMainForm& main, QWidget* parent = nullptr);
  ~TCommentReceiptTab() override;

  // Each connects, runs its command, writes its log entry and then disconnects.
  // True when the receipt was opened / closed.
  bool OpenCommentReceiptAndLog();
  bool CloseCommentReceiptAndLog();

  Ui::CommentReceiptTab* const ui;

 public slots:
  void btn02EHFClick();
  void btnCommentTextClick();
  void btnCloseCommentrecClick();
  void btnTestCommentRecClick();
  void btnSendCommentBarcodeClick();
  void btnCancelAllRecClick();

 private:
  bool RunAndDisconnect(const QString& title, const std::function<std::string()>& action);
  bool ReconnectForRows();
};
