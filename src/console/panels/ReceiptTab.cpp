#include "ReceiptTab.h"

#include "InformationTab.h"
#include "InformationTexts.h"
#include "uMain.h"
#include "ui_InformationTab.h"
#include "ui_ReceiptTab.h"

TReceiptTab::TReceiptTab(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::ReceiptTab) {
  ui->setupUi(this);
  connect(ui->btn02CH_4, &QPushButton::clicked, this, &TReceiptTab::btn02CH_4Click);
  connect(ui->btnRecGetPRNStatus, &QPushButton::clicked, this,
          &TReceiptTab::btnRecGetPRNStatusClick);
  connect(ui->btnRecGetRecieptSums, &QPushButton::clicked, this,
          &TReceiptTab::btnRecGetRecieptSumsClick);
  connect(ui->btnCancelAllRec, &QPushButton::clicked, this, &TReceiptTab::btnCancelAllRecClick);
  // The same reads as on the "Information" tab, looked up when clicked.
  connect(ui->Button2, &QPushButton::clicked, this,
          [this] { Main.Information->btnGetPRNDiagInfoClick(); });
  connect(ui->Button3, &QPushButton::clicked, this,
          [this] { Main.Information->btnGetLastDocClick(); });
}

TReceiptTab::~TReceiptTab() { delete ui; }

void TReceiptTab::btn02CH_4Click() {
  Main.RunCommand(QStringLiteral("Get fiscal status(4CH)"), [this] {
    bool open = false;
    std::int32_t items = 0;
    double amount = 0;
    double tender = 0;
    Main.RequireDevice(Device().GetFiscalStatus(open, items, amount, tender));
    return FiscalStatusText(open, items, amount, tender, Device().Regional);
  });
}

void TReceiptTab::btnRecGetPRNStatusClick() { Main.Information->ui->btnGetPRNStatus->click(); }

void TReceiptTab::btnRecGetRecieptSumsClick() { Main.Information->btnGetLastRecInfoClick(); }

void TReceiptTab::btnCancelAllRecClick() {
  Main.RunCommand(QStringLiteral("Cancel all receipts"), [this] {
    Main.RequireDevice(Device().CancelAllReceipts());
    return std::string();
  });
}
