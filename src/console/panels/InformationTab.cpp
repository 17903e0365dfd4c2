#include "InformationTab.h"

#include "DeviceText.h"
#include "InformationTexts.h"
#include "ReceiptOpenPage.h"
#include "StatusDecoding.h"
#include "uMain.h"
#include "uPrintData.h"
#include "ui_InformationTab.h"
#include "ui_ReceiptOpenPage.h"

namespace {

// EIK texts live in short strings: longer ones are cut.
constexpr std::size_t kShortString = 255;

std::string Short(std::string text) {
  if (text.size() > kShortString) text.resize(kShortString);
  return text;
}

}  // namespace

TInformationTab::TInformationTab(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::InformationTab) {
  ui->setupUi(this);
  connect(ui->btnGetPRNDiagInfo, &QPushButton::clicked, this,
          &TInformationTab::btnGetPRNDiagInfoClick);
  connect(ui->btnGetEIK, &QPushButton::clicked, this, &TInformationTab::btnGetEIKClick);
  connect(ui->btnGetLastDoc, &QPushButton::clicked, this, &TInformationTab::btnGetLastDocClick);
  connect(ui->btnGetVATValues, &QPushButton::clicked, this, &TInformationTab::btnGetVATValuesClick);
  connect(ui->btnGetFreeFiscRecCount, &QPushButton::clicked, this,
          &TInformationTab::btnGetFreeFiscRecCountClick);
  connect(ui->btnGetLastRecInfo, &QPushButton::clicked, this,
          &TInformationTab::btnGetLastRecInfoClick);
  connect(ui->btnGetPRNStatus, &QPushButton::clicked, this, &TInformationTab::btnGetPRNStatusClick);
  connect(ui->btnGetPRNDate, &QPushButton::clicked, this, &TInformationTab::btnGetPRNDateClick);
}

TInformationTab::~TInformationTab() { delete ui; }

// Also proposes the first sale number of this device and its FMIN for the
// receipt page.
void TInformationTab::btnGetPRNDiagInfoClick() {
  Main.RunCommand(QStringLiteral("Get printer diagnostic info(5AH)."), [this] {
    TDiagnosticInfo info;
    Main.RequireDevice(Device().GetDiagnosticInfo(true, info));
    Main.ReceiptOpen->ui->eUNP->setText(DevText(FirstUniqueSellNo(info.SerialNumber)));
    Main.ReceiptOpen->ui->eFMIN->setText(DevText(info.FiscalNumber));
    return DiagnosticInfoText(info);
  });
}

void TInformationTab::btnGetEIKClick() {
  Main.RunCommand(QStringLiteral("Get EIK info.(63H) "), [this] {
    std::string eik;
    try {
      Main.RequireDevice(Device().GetEIK(eik, 255));
    } catch (const std::exception& e) {
      throw ESilentAbort(Short(e.what()));
    }
    return Short("EIK:" + eik);
  });
}

void TInformationTab::btnGetLastDocClick() {
  Main.RunCommand(QStringLiteral("Get last document nom.(71H)"), [this] {
    std::int32_t number = 0;
    Main.RequireDevice(Device().GetLastDocNumber(number));
    return "Last document nom.: " + IntToStr(number);
  });
}

void TInformationTab::btnGetVATValuesClick() {
  Main.RunCommand(QStringLiteral("Get VAT values(61H)."), [this] {
    TTaxValues values;
    Main.RequireDevice(Device().GetVATValues(values));
    return VatLinesText(values, Device().Regional);
  });
}

void TInformationTab::btnGetFreeFiscRecCountClick() {
  Main.RunCommand(QStringLiteral("Get free FM records(44H)."), [this] {
    std::int32_t count = 0;
    Main.RequireDevice(Device().GetFreeFMRecords(count));
    return "Free FM record count: " + IntToStr(count);
  });
}

void TInformationTab::btnGetLastRecInfoClick() {
  Main.RunCommand(QStringLiteral("Get  last reciept info(67H)."), [this] {
    bool canVoid = false;
    bool isInvoice = false;
    TTaxValues amounts;
    std::int64_t nextInvNo = 0;
    Main.RequireDevice(Device().GetLastReceiptInfo(canVoid, amounts, isInvoice, nextInvNo));
    return LastReceiptInfoText(canVoid, amounts, isInvoice, nextInvNo, Device().Regional);
  });
}

void TInformationTab::btnGetPRNStatusClick() {
  Main.RunCommand(QStringLiteral("Get printer status(4AH)."), [this] {
    TDataBuffer status;
    Main.RequireDevice(Device().GetPrinterStatus(status));
    return StatusBitsText(status);
  });
}

void TInformationTab::btnGetPRNDateClick() {
  Main.RunCommand(QStringLiteral("Get printer date (3EH)."), [this] {
    TDateTime when = 0;
    Main.RequireDevice(Device().GetFPR_DateTime(when));
    return "Printer date:" + FormatDateTimeLong(when, Device().Regional);
  });
}
