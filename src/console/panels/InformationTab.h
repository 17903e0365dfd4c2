#pragma once

#include "TabPanel.h"

namespace Ui {
class InformationTab;
}

// The "Information" tab: reads of the device's state, identity and counters.
class TInformationTab : public TTabPanel {
  Q_OBJECT

 public:
  explicit TInformationTab(TMainForm& main, QWidget* parent = nullptr);
  ~TInformationTab() override;

  Ui::InformationTab* const ui;

 public slots:
  void btnGetPRNDiagInfoClick();
  void btnGetEIKClick();
  void btnGetLastDocClick();
  void btnGetVATValuesClick();
  void btnGetFreeFiscRecCountClick();
  void btnGetLastRecInfoClick();
  void btnGetPRNStatusClick();
  void btnGetPRNDateClick();
};
