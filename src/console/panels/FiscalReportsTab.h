#pragma once

#include <cstdint>

#include "InfoRecords.h"
#include "TabPanel.h"

namespace Ui {
class FiscalReportsTab;
}

// The "Fiscal reports" tab: totals, daily and fiscal-memory reports.
class TFiscalReportsTab : public TTabPanel {
  Q_OBJECT

 public:
  explicit TFiscalReportsTab(TMainForm& main, QWidget* parent = nullptr);
  ~TFiscalReportsTab() override;

  Ui::FiscalReportsTab* const ui;

 public slots:
  void btnGetTotalAmountsClick();
  void btnTotalsByPayClick();
  void btnDetailRepByBlockClick();
  void btnShortRepByBlockClick();
  void btnDetaiReportByDateClick();
  void btnShortRepByDateClick();
  void btnDayReportClick();
  void btnDayRepByDepClick();
  void btnPrintRepDepAndPluClick();

 private:
  using TDailyReportOp = bool (TBaseDevice::*)(bool, std::int64_t&, double&, TTaxValues&);
  void ReportByBlock(bool isShort, const QString& title);
  void ReportByDate(bool isShort, const QString& title);
  void DailyReport(QString title, TDailyReportOp op, const char* totalLabel);
};
