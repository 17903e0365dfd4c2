#pragma once

#include "TabPanel.h"

namespace Ui {
class ReceiptTab;
}

// The buttons below the pages of the "Fisc.receipt" tab.
class TReceiptTab : public TTabPanel {
  Q_OBJECT

 public:
  explicit TReceiptTab(TMainForm& main, QWidget* parent = nullptr);
  ~TReceiptTab() override;

  Ui::ReceiptTab* const ui;

 public slots:
  void btn02CH_4Click();
  void btnRecGetPRNStatusClick();
  void btnRecGetRecieptSumsClick();
  // Also the "Cancel all receipt" button of the "Comment reciept" tab.
  void btnCancelAllRecClick();
};
