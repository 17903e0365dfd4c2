#include "DuplicatePage.h"

#include "uMain.h"
#include "ui_DuplicatePage.h"

TDuplicatePage::TDuplicatePage(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::DuplicatePage) {
  ui->setupUi(this);
  connect(ui->btnDublicateRec, &QPushButton::clicked, this, &TDuplicatePage::btnDublicateRecClick);
}

TDuplicatePage::~TDuplicatePage() { delete ui; }

void TDuplicatePage::btnDublicateRecClick() {
  Main.RunCommand(QStringLiteral("Duplicate receipt(6DH)"), [this] {
    Main.RequireDevice(Device().DuplicateReceipt());
    return std::string();
  });
}
