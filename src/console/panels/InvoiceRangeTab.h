#pragma once

#include "TabPanel.h"

namespace Ui {
class InvoiceRangeTab;
}

// The "Invoice range" tab.
class TInvoiceRangeTab : public TTabPanel {
  Q_OBJECT

 public:
  explicit TInvoiceRangeTab(TMainForm& main, QWidget* parent = nullptr);
  ~TInvoiceRangeTab() override;

  Ui::InvoiceRangeTab* const ui;
};
