#include "FiscalReportsTab.h"

#include "BaseDeviceUnit.h"
#include "ReportTexts.h"
#include "uMain.h"
#include "ui_FiscalReportsTab.h"

TFiscalReportsTab::TFiscalReportsTab(TMainForm& main, QWidget* parent)
    : TTabPanel(main, parent), ui(new Ui::FiscalReportsTab) {
  ui->setupUi(this);
  connect(ui->btnGetTotalAmounts, &QPushButton::clicked, this,
          &TFiscalReportsTab::btnGetTotalAmountsClick);
  connect(ui->btnTotalsByPay, &QPushButton::clicked, this, &TFiscalReportsTab::btnTotalsByPayClick);
  connect(ui->btnDetailRepByBlock, &QPushButton::clicked, this,
          &TFiscalReportsTab::btnDetailRepByBlockClick);
  connect(ui->btnShortRepByBlock, &QPushButton::clicked, this,
          &TFiscalReportsTab::btnShortRepByBlockClick);
  connect(ui->btnDetaiReportByDate, &QPushButton::clicked, this,
          &TFiscalReportsTab::btnDetaiReportByDateClick);
  connect(ui->btnShortRepByDate, &QPushButton::clicked, this,
          &TFiscalReportsTab::btnShortRepByDateClick);
  connect(ui->btnDayReport, &QPushButton::clicked, this, &TFiscalReportsTab::btnDayReportClick);
  connect(ui->btnDayRepByDep, &QPushButton::clicked, this, &TFiscalReportsTab::btnDayRepByDepClick);
  connect(ui->btnPrintRepDepAndPlu, &QPushButton::clicked, this,
          &TFiscalReportsTab::btnPrintRepDepAndPluClick);
}

TFiscalReportsTab::~TFiscalReportsTab() { delete ui; }

void TFiscalReportsTab::btnGetTotalAmountsClick() {
  const bool turnover = ui->rbTurnover->isChecked();
  Main.RunCommand(QStringLiteral("Get total amounts(41H)"), [&] {
    TTaxValues amounts;
    Main.RequireDevice(Device().GetTotalAmounts(turnover, amounts));
    return TotalAmountsText(turnover, amounts, Device().Regional);
  });
}

// Devices with eight payment types refuse the eleven-type read.
void TFiscalReportsTab::btnTotalsByPayClick() {
  Main.RunCommand(QStringLiteral("Get totals by pay type(6EH)"), [&] {
    TPayTypeTotals totals;
    if (!Device().GetPayTypeTotals(totals)) {
      totals = TPayTypeTotals{};
      Main.RequireDevice(Device().GetPayTypeTotals8(totals));
    }
    return PayTypeTotalsText(totals, Device().Regional);
  });
}

void TFiscalReportsTab::btnDetailRepByBlockClick() {
  ReportByBlock(false, QStringLiteral("Start detail fiscal report by block(49H)."));
}

void TFiscalReportsTab::btnShortRepByBlockClick() {
  ReportByBlock(true, QStringLiteral("Start short fiscal report by block(49H)."));
}

void TFiscalReportsTab::btnDetaiReportByDateClick() {
  ReportByDate(false, QStringLiteral("Start detail report by date(5EH)."));
}

void TFiscalReportsTab::btnShortRepByDateClick() {
  ReportByDate(true, QStringLiteral("Start short report by date(4FH)."));
}

void TFiscalReportsTab::btnDayReportClick() {
  DailyReport(QStringLiteral("Print daily report(45H)."), &TBaseDevice::PrintDailyReport,
              "SumTOTAL");
}

void TFiscalReportsTab::btnDayRepByDepClick() {
  DailyReport(QStringLiteral("Print daily report by departments (75H)."),
              &TBaseDevice::PrintDailyReportByDepartments, "FM_TOTAL");
}

void TFiscalReportsTab::btnPrintRepDepAndPluClick() {
  DailyReport(QStringLiteral("Print daily report by departments (76H)."),
              &TBaseDevice::PrintDailyReportByDepartmentsAndPlu, "FM_TOTAL");
}

void TFiscalReportsTab::ReportByBlock(bool isShort, const QString& title) {
  TBlockRange range;
  const auto checkInput = [&] {
    range = ReadBlockRange(ui->c2StartNmbEdit->text().toStdString(),
                           ui->c2EndNmbEdit->text().toStdString());
  };
  const auto action = [&] {
    Main.RequireDevice(Device().PrintFMReportByBlock(
        isShort, static_cast<std::uint32_t>(range.Start), static_cast<std::uint32_t>(range.End)));
    return BlockRangeText(isShort, range);
  };
  Main.RunCommand(title, action, checkInput);
}

void TFiscalReportsTab::ReportByDate(bool isShort, const QString& title) {
  const TDateTime start = ui->c2StartDateEdit->Value();
  const TDateTime end = ui->c2EndDateEdit->Value();
  const auto action = [&] {
    Main.RequireDevice(Device().PrintFMReportByDate(isShort, start, end));
    return DateRangeText(start, end);
  };
  Main.RunCommand(title, action, [&] { CheckDateRange(start, end); });
}

void TFiscalReportsTab::DailyReport(QString title, TDailyReportOp op, const char* totalLabel) {
  const bool zero = ui->c4PrinterReportZReportCheckBox->isChecked();
  if (zero) title += QStringLiteral(" (Reset)");
  Main.RunCommand(title, [&] {
    std::int64_t closure = 0;
    double total = 0;
    TTaxValues sums;
    Main.RequireDevice((Device().*op)(zero, closure, total, sums));
    return DailyReportText(closure, total, sums, totalLabel, Device().Regional);
  });
}
