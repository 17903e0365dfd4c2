#pragma once

#include "TabPanel.h"

struct TConsoleSettings;
namespace Ui {
class ReceiptOpenPage;
}

// The "Open receipt" page: operator, sale number, refund data, open, close, void.
class TReceiptOpenPage : public TTabPanel {
  Q_OBJECT

 public:
  explicit TReceiptOpenPage(TMainForm& main, QWidget* parent = nullptr);
  ~TReceiptOpenPage() override;

  // The operator, the FMIN and the sale number kept in the settings.
  void ApplySettings(const TConsoleSettings& settings);
  void CollectSettings(TConsoleSettings& settings) const;

  Ui::ReceiptOpenPage* const ui;
};
