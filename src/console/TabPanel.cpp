#include "TabPanel.h"

#include "uMain.h"

TTabPanel::TTabPanel(TMainForm& main, QWidget* parent) : QWidget(parent), Main(main) {}

TBaseDevice& TTabPanel::Device() const { return *Main.Device; }
