#pragma once

#include "TabPanel.h"

namespace Ui {
class InvoiceDataPage;
}

// The "Invoce data" page of the fiscal receipt: the invoice's client.
class TInvoiceDataPage : public TTabPanel {
  Q_OBJECT

 public:
  explicit TInvoiceDataPage(TMainForm& main, QWidget* parent = nullptr);
  ~TInvoiceDataPage() override;

  Ui::InvoiceDataPage* const ui;

 public slots:
  void btnSendInvDataClick();
};
