#pragma once

#include <QString>
#include <functional>
#include <string>

#include "ReceiptRecords.h"
#include "TabPanel.h"

struct TConsoleSettings;
namespace Ui {
class ReceiptOpenPage;
}

// The "Open receipt" page: operator, sale number, refund data, open, close,
// void, and the scripted test receipt (FiscalTestReceipt.cpp).
class TReceiptOpenPage : public TTabPanel {
  Q_OBJECT

 public:
  explicit TReceiptOpenPage(TMainForm& main, QWidget* parent = nullptr);
  ~TReceiptOpenPage() override;

  // The operator, the FMIN and the sale number kept in the settings.
  void ApplySettings(const TConsoleSettings& settings);
  void CollectSettings(TConsoleSettings& settings) const;

  // Each writes its own log entry and closes the link; true when the device did it.
  bool DoOpenFiscalReceipt();
  bool DoCloseFiscalReceipt();
  // Refuses a sale number of the wrong form with a message box and puts the
  // default one in its place.
  void CheckUniqueSellNo();

  // Steps of the test receipt: one log entry each, on a link that stays open.
  bool TestSale(const std::string& Text1, const std::string& Text2, char VatGrp, double Price,
                double Qtty, double Perc);
  bool TestSubtotal(bool Print, bool IsAbsolute, bool Display, double Perc);
  bool TestPayment(const std::string& Text1, const std::string& Text2, char PaidMode,
                   double Amount);

  // The message box of a refused sale number; tests replace it.
  std::function<void(const QString&)> ShowSellNoError;

  static const QString DefaultUniqueSellNo;

  Ui::ReceiptOpenPage* const ui;

 public slots:
  void btnOpenRec90Click();
  void btnCloseReciptClick();
  void btnVoidRecClick();
  void eUNPExit();
  void chUseValidUNPClick();
  void Button4Click();
  void btnTestFiscRecClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TFiskParam FiskParamFromPage() const;
  TDateTime RefundDateTime() const;
  std::string RunTestReceiptSteps();
};
