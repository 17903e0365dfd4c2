#pragma once

#include "GeneralSettingsInput.h"
#include "TabPanel.h"

namespace Ui {
class OtherTab;
}

// The "Other" tab: clock, cash, operators, payment names, general settings, barcode height.
class TOtherTab : public TTabPanel {
  Q_OBJECT

 public:
  explicit TOtherTab(TMainForm& main, QWidget* parent = nullptr);
  ~TOtherTab() override;

  Ui::OtherTab* const ui;

  // The general settings group as texts, and back.
  TGeneralSettingsTexts SettingsTexts() const;
  void ShowSettingsTexts(const TGeneralSettingsTexts& texts);

 public slots:
  // Reads (OtherTabRead.cpp)
  void btnGetDateClick();
  void btnGetPayNameClick();
  void bFunc53GetClick();
  void bGetBCodeHeightClick();
  // Settings (OtherTabSet.cpp)
  void btn03DHClick();
  void btn028HClick();
  void btnSetUserNameClick();
  void btnSetPayNameClick();
  void btnFunc53SetClick();
  void bSetBCodeHeightClick();
};
