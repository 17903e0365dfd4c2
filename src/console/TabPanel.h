#pragma once

#include <QWidget>

class TBaseDevice;
class TMainForm;

// The controls and handlers of one tab or page of the main window. A panel is
// filled from its Designer form and reaches the device only through the main
// window's frame of work (TMainForm::RunCommand and its helpers).
class TTabPanel : public QWidget {
  Q_OBJECT

 public:
  TTabPanel(TMainForm& main, QWidget* parent);

 protected:
  // The one device object of the window; valid inside a command action.
  TBaseDevice& Device() const;

  TMainForm& Main;
};
