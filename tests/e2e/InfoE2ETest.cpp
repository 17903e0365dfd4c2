// Information queries and auxiliary documents against the simulated device over
// TCP on a free loopback port.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "BaseDeviceUnit.h"
#include "SimLink.h"

namespace {

class InfoE2E : public TSimLinkFixture {
 protected:
  // The receipt bits as the device reports them now.
  void ExpectReceiptBits(bool fiscal, bool comment) {
    TDataBuffer status;
    ASSERT_TRUE(Dev.GetPrinterStatus(status)) << Dev.LastErrorText;
    ASSERT_EQ(status.size(), 6u);
    EXPECT_EQ(TBaseDevice::TestStatusBit(status, 2, 3), fiscal);
    EXPECT_EQ(TBaseDevice::TestStatusBit(status, 2, 5), comment);
  }
};

TEST_F(InfoE2E, EveryQueryReadsOnce) {
  TDateTime now = 0;
  EXPECT_TRUE(Dev.GetFPR_DateTime(now)) << Dev.LastErrorText;
  EXPECT_GT(now, 0);
  ExpectReceiptBits(false, false);

  TDiagnosticInfo info;
  ASSERT_TRUE(Dev.GetDiagnosticInfo(true, info)) << Dev.LastErrorText;
  EXPECT_FALSE(info.PrinterName.empty());
  EXPECT_FALSE(info.SerialNumber.empty());
  EXPECT_FALSE(info.FiscalNumber.empty());

  std::string eik;
  EXPECT_TRUE(Dev.GetEIK(eik, 255)) << Dev.LastErrorText;
  EXPECT_FALSE(eik.empty());
  std::int32_t docNo = -1;
  EXPECT_TRUE(Dev.GetLastDocNumber(docNo)) << Dev.LastErrorText;
  EXPECT_GE(docNo, 0);

  bool open = true;
  std::int32_t items = -1;
  double amount = -1;
  double tender = -1;
  EXPECT_TRUE(Dev.GetFiscalStatus(open, items, amount, tender)) << Dev.LastErrorText;
  EXPECT_FALSE(open);

  TTaxValues rates;
  EXPECT_TRUE(Dev.GetVATValues(rates)) << Dev.LastErrorText;
  std::int32_t freeFm = -1;
  EXPECT_TRUE(Dev.GetFreeFMRecords(freeFm)) << Dev.LastErrorText;
  EXPECT_GT(freeFm, 0);
  bool canVoid = true;
  bool isInvoice = true;
  double total = -1;
  EXPECT_TRUE(Dev.GetReceiptTotals(canVoid, total, isInvoice)) << Dev.LastErrorText;
  EXPECT_FALSE(canVoid);
  TTaxValues amounts;
  EXPECT_TRUE(Dev.GetTotalAmounts(true, amounts)) << Dev.LastErrorText;
  EXPECT_TRUE(Dev.GetTotalAmounts(false, amounts)) << Dev.LastErrorText;
  TPayTypeTotals payTotals;
  EXPECT_TRUE(Dev.GetPayTypeTotals(payTotals)) << Dev.LastErrorText;

  TDepartmentSum dep;
  EXPECT_TRUE(Dev.GetDepartmentSum(1, dep)) << Dev.LastErrorText;
  TPluData plu;
  EXPECT_TRUE(Dev.GetPluData(1, plu)) << Dev.LastErrorText;
  std::string payName;
  EXPECT_TRUE(Dev.GetPayTypeName(1, payName)) << Dev.LastErrorText;
  EXPECT_FALSE(payName.empty());
  TGeneralPRNSettings settings;
  EXPECT_TRUE(Dev.GetGeneralPRNSettings(settings)) << Dev.LastErrorText;
  std::string header;
  EXPECT_TRUE(Dev.GetHeaderLine(0, header)) << Dev.LastErrorText;
  std::int32_t heightMm = -1;
  EXPECT_TRUE(Dev.GetBarcodeHeight(heightMm)) << Dev.LastErrorText;
  EXPECT_GT(heightMm, 0);
}

TEST_F(InfoE2E, CommentReceiptOpensPrintsAndCloses) {
  std::int32_t opened = -1;
  ASSERT_TRUE(Dev.OpenCommentReceipt(opened)) << Dev.LastErrorText;
  ExpectReceiptBits(false, true);
  EXPECT_TRUE(Dev.PrintCommentText("TEST COMMENT")) << Dev.LastErrorText;
  EXPECT_TRUE(Dev.PrintBarcode(2, "123456789012", true)) << Dev.LastErrorText;
  std::int32_t closed = -1;
  ASSERT_TRUE(Dev.CloseCommentReceipt(closed)) << Dev.LastErrorText;
  EXPECT_GE(closed, opened);
  ExpectReceiptBits(false, false);
  // A second close finds no comment receipt.
  EXPECT_FALSE(Dev.CloseCommentReceipt(closed));
}

TEST_F(InfoE2E, CancelAllClosesAPartlyPaidFiscalReceipt) {
  TDiagnosticInfo info;
  ASSERT_TRUE(Dev.GetDiagnosticInfo(false, info)) << Dev.LastErrorText;
  TFiskParam param;
  param.OperatorName = "OPER1";
  param.UniqueSellNo = info.SerialNumber + "-0001-0000001";
  std::int32_t all = 0;
  std::int32_t fiscal = 0;
  ASSERT_TRUE(Dev.OpenFiscalReceipt(param, all, fiscal)) << Dev.LastErrorText;
  ASSERT_TRUE(Dev.RegisterSale("BREAD", "", '\xC1', 10.00, 1, 0)) << Dev.LastErrorText;
  char paidCode = 0;
  double change = 0;
  ASSERT_TRUE(Dev.Payment("", "", 'P', 4.00, paidCode, change)) << Dev.LastErrorText;
  ExpectReceiptBits(true, false);

  // The void and the plain close are refused (a payment was made, the rest is
  // due); the recovery pays the rest and closes.
  std::vector<std::uint8_t> sent;
  Dev.OnFrameSent = [&](const std::string& frame) { sent.push_back(frame.at(3)); };
  ASSERT_TRUE(Dev.CancelAllReceipts()) << Dev.LastErrorText;
  Dev.OnFrameSent = nullptr;
  EXPECT_EQ(sent, (std::vector<std::uint8_t>{0x4A, 0x3C, 0x4A, 0x38, 0x4C, 0x67, 0x35, 0x38}));
  ExpectReceiptBits(false, false);
  bool open = true;
  std::int32_t items = -1;
  double amount = -1;
  double tender = -1;
  ASSERT_TRUE(Dev.GetFiscalStatus(open, items, amount, tender)) << Dev.LastErrorText;
  EXPECT_FALSE(open);
  // Nothing left open: a second cancel reads the status only.
  EXPECT_TRUE(Dev.CancelAllReceipts()) << Dev.LastErrorText;
}

TEST_F(InfoE2E, CancelAllClosesAnOpenCommentReceipt) {
  std::int32_t opened = -1;
  ASSERT_TRUE(Dev.OpenCommentReceipt(opened)) << Dev.LastErrorText;
  ASSERT_TRUE(Dev.CancelAllReceipts()) << Dev.LastErrorText;
  ExpectReceiptBits(false, false);
}

}  // namespace
