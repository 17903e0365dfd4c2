#pragma once

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

  Ui::CommentReceiptTab* const ui;
};
