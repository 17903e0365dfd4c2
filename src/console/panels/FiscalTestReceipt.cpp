// "Test fiscal reciept": a whole fiscal receipt of fixed contents, one log
// entry per step, on one link from the first sale to the last payment.
#include <QString>
#include <exception>

#include "DeviceText.h"
#include "ReceiptInput.h"
#include "ReceiptOpenPage.h"
#include "uMain.h"
#include "uPrintData.h"

namespace {

const char* const kNotCompleted = "The test receipt was not completed.";

// A sale or payment that failed has written its own entry with the device's
// error; the entry of the whole test says where it stopped.
std::string StoppedAt(int step, const std::string& what) {
  return "Step " + IntToStr(step) + " failed: " + what + "; the test stopped.";
}

// VAT groups А and Б.
constexpr char kVatA = '\xC0';
constexpr char kVatB = '\xC1';

struct TTestSale {
  int Step;
  const char* Name;
  char VatGrp;
  double Price, Qtty, Perc;
};

struct TTestPayment {
  int Step;
  const char* Text;
  char Type;
  double Amount;
};

const TTestSale kSales[] = {{2, "PLU name 1", kVatA, 1.20, 1, 0},
                            {4, "PLU name 2", kVatB, 1.50, 2.2, 0},
                            {5, "PLU name 3", kVatB, 20.00, 3, 0},
                            {6, "PLU name 4", kVatB, 120.00, 1, -10},
                            {7, "PLU name 5", kVatB, 25.00, 2.2, 5}};
const TTestPayment kPayments[] = {{10, "Payment : Pay type C", 'C', 12.00},
                                  {11, "Payment : Pay type N", 'N', 10.20},
                                  {12, "Payment : Pay type P", 'P', 1000.00}};

}  // namespace

bool TReceiptOpenPage::TestSale(const std::string& Text1, const std::string& Text2, char VatGrp,
                                double Price, double Qtty, double Perc) {
  const std::string result = "Line1=\"" + Text1 + "\" Line2=\"" + Text2 + "\"";
  return Main.RunStep(QStringLiteral("Register sell"), [&] {
    Main.EnsureConnected();
    Main.RequireDevice(Device().RegisterSale(Text1, Text2, VatGrp, Price, Qtty, Perc));
    return result;
  });
}

bool TReceiptOpenPage::TestSubtotal(bool Print, bool IsAbsolute, bool Display, double Perc) {
  return Main.RunStep(QStringLiteral("Subtotal (33H)"), [&] {
    Main.EnsureConnected();
    const TRegionalSettings& rs = Device().Regional;
    const std::string head = IsAbsolute ? "Absolute bonus/discount: " + Format2(Perc, rs)
                                        : "Bonus/discount: " + Format2(Perc, rs) + "%";
    double subTotal = 0;
    TTaxValues vatGrp;
    Main.RequireDevice(Device().Subtotal(Print, IsAbsolute, Display, subTotal, vatGrp, Perc));
    return head + "\r" + SubtotalSumsText("SubTotal: ", subTotal, "Vat sum[", vatGrp, rs);
  });
}

bool TReceiptOpenPage::TestPayment(const std::string& Text1, const std::string& Text2,
                                   char PaidMode, double Amount) {
  return Main.RunStep(QStringLiteral("Calculate total(35H)"), [&] {
    Main.EnsureConnected();
    char paidCode = 0;
    double amount2 = 0;
    Main.RequireDevice(Device().Payment(Text1, Text2, PaidMode, Amount, paidCode, amount2));
    return PaymentResultText(amount2, paidCode, Device().Regional);
  });
}

void TReceiptOpenPage::btnTestFiscRecClick() {
  if (!DoOpenFiscalReceipt()) return;
  std::string error;
  try {
    error = RunTestReceiptSteps();
  } catch (const std::exception& e) {
    error = e.what();
    if (error.empty()) error = kNotCompleted;
  } catch (...) {
    error = kNotCompleted;
  }
  Main.LogResult(QStringLiteral("Test fisc rec."), QString(), DevText(error));
  if (Device().IsConnected()) Device().Disconnect();
}

// Steps 1 to 13 after the open; the text of the step that stopped the test, or
// nothing. A failed link, text line or subtotal raises its device error.
std::string TReceiptOpenPage::RunTestReceiptSteps() {
  Main.RequireDevice(Device().Connect());
  const auto sell = [this](const TTestSale& s) {
    return TestSale("", s.Name, s.VatGrp, s.Price, s.Qtty, s.Perc);
  };
  for (const TTestSale& s : kSales) {
    if (!sell(s)) return StoppedAt(s.Step, std::string("Register sell \"") + s.Name + "\"");
    // Step 3, a text line without an entry of its own, follows the first sale.
    if (s.Step == 2) Main.RequireDevice(Device().PrintFiscalText("Fisc.comment text"));
  }
  Main.RequireDevice(TestSubtotal(true, false, true, 10));
  Main.RequireDevice(TestSubtotal(true, true, true, -20.00));
  for (const TTestPayment& p : kPayments) {
    if (!TestPayment(p.Text, "", p.Type, p.Amount)) {
      return StoppedAt(p.Step, std::string("Calculate total(35H) \"") + p.Text + "\"");
    }
  }
  DoCloseFiscalReceipt();
  return {};
}
