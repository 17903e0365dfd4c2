#pragma once

#include "TabPanel.h"

namespace Ui {
class ReceiptPaymentPage;
}

// The "Payment" page of the fiscal receipt.
class TReceiptPaymentPage : public TTabPanel {
  Q_OBJECT

 public:
  explicit TReceiptPaymentPage(TMainForm& main, QWidget* parent = nullptr);
  ~TReceiptPaymentPage() override;

  Ui::ReceiptPaymentPage* const ui;

 public slots:
  void btnSendPayment35HClick();
};
