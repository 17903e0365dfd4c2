#pragma once

#include "TabPanel.h"

namespace Ui {
class ReceiptCommentsPage;
}

// The "Comments" page of the fiscal receipt: a text line and a barcode.
class TReceiptCommentsPage : public TTabPanel {
  Q_OBJECT

 public:
  explicit TReceiptCommentsPage(TMainForm& main, QWidget* parent = nullptr);
  ~TReceiptCommentsPage() override;

  Ui::ReceiptCommentsPage* const ui;

 public slots:
  void btnFiscAddTextClick();
  void btnSendFiscBarcodeClick();
};
