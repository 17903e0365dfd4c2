#pragma once

#include "TabPanel.h"

namespace Ui {
class InvoiceRangeTab;
}

// The "Invoice range" tab. The button named btnSetInvRange reads the range and
// btnGetInvRange sets it; their captions say what they do.
class TInvoiceRangeTab : public TTabPanel {
  Q_OBJECT

 public:
  explicit TInvoiceRangeTab(TMainForm& main, QWidget* parent = nullptr);
  ~TInvoiceRangeTab() override;

  Ui::InvoiceRangeTab* const ui;

 public slots:
  void btnSetInvRangeClick();  // reads
  void btnGetInvRangeClick();  // sets

 private:
  void ShowRange(std::int64_t start, std::int64_t end);
};
