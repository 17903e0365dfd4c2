#pragma once

#include "TabPanel.h"

namespace Ui {
class ReceiptClosePage;
}

// The "Close reciept" page of the fiscal receipt.
class TReceiptClosePage : public TTabPanel {
  Q_OBJECT

 public:
  explicit TReceiptClosePage(TMainForm& main, QWidget* parent = nullptr);
  ~TReceiptClosePage() override;

  Ui::ReceiptClosePage* const ui;

 public slots:
  void btnCloseReciptClick();
};
