// Whole fiscal receipts driven through the receipt operations against the
// simulator over TCP: the console's test receipt, a refund and an invoice.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "SimLink.h"

namespace {

constexpr char kA = '\xC0';  // VAT group 1
constexpr char kB = '\xC1';  // VAT group 2

class ReceiptE2E : public TSimLinkFixture {
 protected:
  TFiskParam Param() {
    TFiskParam p;
    p.OperatorNo = 1;
    p.OperatorName = "OPER1";
    p.OperatorPassword = "0000";
    p.UniqueSellNo = "QZ999834-0001-0000001";
    p.DeviceFMIN = Sim.Device().Snapshot().FiscalNumber;
    return p;
  }

  void Open(const TFiskParam& p, std::int32_t all, std::int32_t fisc) {
    std::int32_t a = 0, f = 0;
    ASSERT_TRUE(Dev.OpenFiscalReceipt(p, a, f)) << Dev.LastErrorText;
    EXPECT_EQ(a, all);
    EXPECT_EQ(f, fisc);
  }

  void Close(std::int32_t all, std::int32_t fisc) {
    std::int32_t a = 0, f = 0;
    ASSERT_TRUE(Dev.CloseFiscalReceipt(a, f)) << Dev.LastErrorText;
    EXPECT_EQ(a, all);
    EXPECT_EQ(f, fisc);
    EXPECT_FALSE(Sim.Device().FiscalReceiptOpen());
  }

  void Pay(const std::string& text, char mode, double amount, char code, double amount2) {
    char c = 0;
    double a2 = -1;
    ASSERT_TRUE(Dev.Payment(text, "", mode, amount, c, a2)) << Dev.LastErrorText;
    EXPECT_EQ(c, code);
    EXPECT_DOUBLE_EQ(a2, amount2);
  }

  void ExpectSubtotal(bool absolute, double perc, double sum, double vat1, double vat2) {
    double s = -1;
    TTaxValues vat;
    ASSERT_TRUE(Dev.Subtotal(true, absolute, true, s, vat, perc)) << Dev.LastErrorText;
    EXPECT_DOUBLE_EQ(s, sum);
    EXPECT_DOUBLE_EQ(vat[1], vat1);
    EXPECT_DOUBLE_EQ(vat[2], vat2);
    for (int n = 3; n <= 8; ++n) EXPECT_DOUBLE_EQ(vat[n], 0) << "group " << n;
  }
};

}  // namespace

// The steps and values of the console's "Test fiscal reciept" button.
TEST_F(ReceiptE2E, TestReceipt) {
  Open(Param(), 1, 1);
  ASSERT_TRUE(Dev.RegisterSale("", "PLU name 1", kA, 1.20, 1, 0)) << Dev.LastErrorText;
  ASSERT_TRUE(Dev.PrintFiscalText("Fisc.comment text")) << Dev.LastErrorText;
  ASSERT_TRUE(Dev.RegisterSale("", "PLU name 2", kB, 1.50, 2.2, 0)) << Dev.LastErrorText;
  ASSERT_TRUE(Dev.RegisterSale("", "PLU name 3", kB, 20.00, 3, 0)) << Dev.LastErrorText;
  ASSERT_TRUE(Dev.RegisterSale("", "PLU name 4", kB, 120.00, 1, -10)) << Dev.LastErrorText;
  ASSERT_TRUE(Dev.RegisterSale("", "PLU name 5", kB, 25.00, 2.2, 5)) << Dev.LastErrorText;
  // Sales: 1.20 in group 1; 3.30 + 60.00 + 108.00 + 57.75 = 229.05 in group 2.
  // A 10 % surcharge on each group, then 20.00 off spread by the group shares.
  ExpectSubtotal(false, 10, 253.28, 1.32, 251.96);
  ExpectSubtotal(true, -20.00, 233.28, 1.22, 232.06);
  Pay("Payment : Pay type C", 'C', 12.00, 'D', 221.28);
  Pay("Payment : Pay type N", 'N', 10.20, 'D', 211.08);
  Pay("Payment : Pay type P", 'P', 1000.00, 'R', 788.92);
  Close(1, 1);

  const sim::TSimState s = Sim.Device().Snapshot();
  EXPECT_EQ(s.DaySales[0], 122);
  EXPECT_EQ(s.DaySales[1], 23206);
  EXPECT_EQ(s.DayPayments[sim::PayIndexOf('C')], 1200);
  EXPECT_EQ(s.DayPayments[sim::PayIndexOf('N')], 1020);
  EXPECT_EQ(s.DayPayments[sim::PayIndexOf('P')], 100000 - 78892);
  EXPECT_EQ(Sim.Device().ExecutedCount(0x31), 5);
  EXPECT_EQ(Sim.Device().ExecutedCount(0x35), 3);
}

TEST_F(ReceiptE2E, RefundOfAnotherDeviceAndInvoice) {
  TFiskParam refund = Param();
  refund.UniqueSellNo = "QZ999834-0001-0000002";
  refund.IsStorno = true;
  refund.StornoFMIN = "87654321";
  refund.StornoReason = 'R';
  refund.StornoReceiptNo = 15;
  TDateTime when = 0;
  ASSERT_TRUE(TryEncodeDateTime({2024, 3, 5, 9, 7, 0, 0}, when));
  refund.StornoDateTime = when;
  Open(refund, 1, 1);
  ASSERT_TRUE(Dev.RegisterSale("Returned", "", kA, 1.20, 1, 0)) << Dev.LastErrorText;
  Pay("", 'P', 0, 'R', 0);  // zero pays what is due
  Close(1, 1);
  EXPECT_EQ(Sim.Device().Snapshot().DayRefunds[0], 120);

  TFiskParam invoice = Param();
  invoice.UniqueSellNo = "QZ999834-0001-0000003";
  invoice.IsInvoice = true;
  Open(invoice, 2, 2);
  ASSERT_TRUE(Dev.RegisterSale("", "Item", kB, 10, 2, 0)) << Dev.LastErrorText;
  Pay("", 'P', 20, 'R', 0);
  TInvoiceClientData client;
  client.EIK = "123456789";
  client.ClientName = "Client Ltd";
  ASSERT_TRUE(Dev.SendInvoiceClientData(client)) << Dev.LastErrorText;
  Close(2, 2);
  EXPECT_EQ(Sim.Device().Snapshot().Invoices.Current, 2);
  EXPECT_EQ(Sim.Device().Snapshot().DaySales[1], 2000);
}

TEST_F(ReceiptE2E, VoidAndRefusals) {
  Open(Param(), 1, 1);
  // A second open is refused by the device; the receipt stays open.
  std::int32_t a = 0, f = 0;
  EXPECT_FALSE(Dev.OpenFiscalReceipt(Param(), a, f));
  EXPECT_EQ(Dev.LastErrorCode, 216);
  // The device's own words follow the message.
  EXPECT_NE(Dev.LastErrorText.find("# "), std::string::npos) << Dev.LastErrorText;
  ASSERT_TRUE(Dev.RegisterSale("", "PLU", kA, 5, 1, 0)) << Dev.LastErrorText;
  ASSERT_TRUE(Dev.DiscountLastPlu(false, -10)) << Dev.LastErrorText;
  ASSERT_TRUE(Dev.VoidFiscalReceipt()) << Dev.LastErrorText;
  EXPECT_FALSE(Sim.Device().FiscalReceiptOpen());
  // With no receipt open a sale is answered with [2/3] clear.
  EXPECT_FALSE(Dev.RegisterSale("", "PLU", kA, 5, 1, 0));
  EXPECT_EQ(Dev.LastErrorCode, 208);
  EXPECT_EQ(Dev.LastErrorText.rfind("Not opened fisc. receipt. [2/3]", 0), 0u) << Dev.LastErrorText;
}
