#include "ReceiptOpenPage.h"

#include "ConsoleSettings.h"
#include "uMain.h"
#include "ui_ReceiptOpenPage.h"

TReceiptOpenPage::TReceiptOpenPage(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::ReceiptOpenPage) {
  ui->setupUi(this);
}

TReceiptOpenPage::~TReceiptOpenPage() { delete ui; }

void TReceiptOpenPage::ApplySettings(const TConsoleSettings& settings) {
  ui->eFMIN->setText(settings.FMIN);
  ui->eUNP->setText(settings.LastUNP);
}

void TReceiptOpenPage::CollectSettings(TConsoleSettings& settings) const {
  settings.FMIN = ui->eFMIN->text();
  settings.LastUNP = ui->eUNP->text();
}
