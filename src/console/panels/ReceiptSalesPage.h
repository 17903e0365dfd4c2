#pragma once

#include "TabPanel.h"

namespace Ui {
class ReceiptSalesPage;
}

// The "PLU" page of the fiscal receipt: sales.
class TReceiptSalesPage : public TTabPanel {
  Q_OBJECT

 public:
  explicit TReceiptSalesPage(TMainForm& main, QWidget* parent = nullptr);
  ~TReceiptSalesPage() override;

  Ui::ReceiptSalesPage* const ui;
};
