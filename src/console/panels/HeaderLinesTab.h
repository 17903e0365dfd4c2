#pragma once

#include "TabPanel.h"

namespace Ui {
class HeaderLinesTab;
}

// The "Header/footer lines" tab: the receipt's header and footer lines.
class THeaderLinesTab : public TTabPanel {
  Q_OBJECT

 public:
  explicit THeaderLinesTab(TMainForm& main, QWidget* parent = nullptr);
  ~THeaderLinesTab() override;

  Ui::HeaderLinesTab* const ui;
};
