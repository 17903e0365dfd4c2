#pragma once

#include "TabPanel.h"

namespace Ui {
class ReceiptSalesPage;
}

// The "PLU" page of the fiscal receipt: free sales, department sales, sales of
// programmed PLUs and the discount on the last sale.
class TReceiptSalesPage : public TTabPanel {
  Q_OBJECT

 public:
  explicit TReceiptSalesPage(TMainForm& main, QWidget* parent = nullptr);
  ~TReceiptSalesPage() override;

  Ui::ReceiptSalesPage* const ui;

 public slots:
  void btnSendPLUClick();
  void btnSendPLUAndDisplClick();
  void btnSellDepartmentClick();
  void btnSellDepAndDisplClick();
  void btnSellRegPluClick();
  void btnDiscLastPluClick();
};
