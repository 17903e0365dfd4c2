#pragma once

#include "TabPanel.h"

namespace Ui {
class ReceiptSubtotalPage;
}

// The "Subtotal" page of the fiscal receipt.
class TReceiptSubtotalPage : public TTabPanel {
  Q_OBJECT

 public:
  explicit TReceiptSubtotalPage(TMainForm& main, QWidget* parent = nullptr);
  ~TReceiptSubtotalPage() override;

  Ui::ReceiptSubtotalPage* const ui;

 public slots:
  void btnSendSubtotalClick();
};
