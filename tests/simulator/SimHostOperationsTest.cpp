// The console's command operations against the simulator, through both frame
// codecs: every answer the simulator gives must read as the host expects.
#include <gtest/gtest.h>

#include "BaseDeviceUnit.h"
#include "FrameCodec.h"
#include "SimClock.h"
#include "SimDevice.h"
#include "SimNumbers.h"

using namespace sim;

namespace {

// A TBaseDevice whose link is an in-process call into TSimDevice.
class TInProcessDevice : public TBaseDevice {
 public:
  explicit TInProcessDevice(TSimDevice& dev) : Dev_(dev) {}

  bool SendCommand(std::uint8_t code, TDataBuffer& data, TDataBuffer& status) override {
    LastErrorCode = 0;
    LastErrorText.clear();
    Sequence = NextSequence(Sequence);
    TDataBuffer frame = BuildRequestFrame(Sequence, code, data);
    TRequestAssembler assembler;
    for (auto b : frame) {
      if (assembler.Push(b) != TRequestAssembler::EEvent::None) break;
    }
    TSimReplyPlan plan = Dev_.Process(assembler.Request());
    try {
      TDataBuffer reply(plan.Frame.begin(), plan.Frame.end());
      TResponseParts parts = CheckCollectedResponse(reply, Sequence, code, [](std::uint8_t) {});
      data = parts.Data;
      status = parts.Status;
      return true;
    } catch (const ECmdException& e) {
      LastErrorCode = e.Code;
      LastErrorText = e.what();
      return false;
    }
  }
  bool Connect() override { return true; }
  void Disconnect() override {}
  bool IsConnected() override { return true; }

 private:
  TSimDevice& Dev_;
};

class SimHostOperationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Sim.SetClock([] { return *FromCivil({2026, 12, 7, 14, 5, 9}); });
  }
  void OpenReceipt(bool invoice = false) {
    TFiskParam p;
    p.OperatorName = "OPER1";
    p.UniqueSellNo = "QZ999834-0001-0000001";
    p.IsInvoice = invoice;
    std::int32_t all = 0, fisc = 0;
    ASSERT_TRUE(Host.OpenFiscalReceipt(p, all, fisc)) << Host.LastErrorText;
  }

  TSimDevice Sim;
  TInProcessDevice Host{Sim};
  const char A = static_cast<char>(0xC0), B = static_cast<char>(0xC1);
};

}  // namespace

TEST_F(SimHostOperationsTest, StateQueries) {
  TDateTime when = 0;
  ASSERT_TRUE(Host.GetFPR_DateTime(when)) << Host.LastErrorText;
  EXPECT_EQ(FormatDateTimeLong(when, {}), "07.12.2026 14:05:09");
  TDataBuffer status;
  ASSERT_TRUE(Host.GetPrinterStatus(status));
  EXPECT_EQ(status.size(), 6u);
  TDiagnosticInfo info;
  ASSERT_TRUE(Host.GetDiagnosticInfo(true, info));
  EXPECT_EQ(info.ProgramRevision, "1.00");
  EXPECT_EQ(info.VersionTime, "1200");
  EXPECT_EQ(info.SerialNumber, "QZ999834");
  EXPECT_EQ(info.FiscalNumber, "12345678");
  std::string eik;
  ASSERT_TRUE(Host.GetEIK(eik, 255));
  EXPECT_EQ(eik, "123456789");
  std::int32_t number = -1;
  ASSERT_TRUE(Host.GetLastDocNumber(number));
  EXPECT_EQ(number, 0);
  TTaxValues rates;
  ASSERT_TRUE(Host.GetVATValues(rates));
  EXPECT_DOUBLE_EQ(rates[3], 9.0);
  std::int32_t free = 0;
  ASSERT_TRUE(Host.GetFreeFMRecords(free));
  EXPECT_EQ(free, 1800);
}

// The console's scripted test receipt, then the registers it moved.
TEST_F(SimHostOperationsTest, TestReceiptAndItsTotals) {
  OpenReceipt();
  ASSERT_TRUE(Host.RegisterSale("", "PLU name 1", A, 1.20, 1, 0));
  ASSERT_TRUE(Host.PrintFiscalText("Fisc.comment text"));
  ASSERT_TRUE(Host.RegisterSale("", "PLU name 2", B, 1.50, 2.2, 0));
  ASSERT_TRUE(Host.RegisterSale("", "PLU name 3", B, 20.00, 3, 0));
  ASSERT_TRUE(Host.RegisterSale("", "PLU name 4", B, 120.00, 1, -10));
  ASSERT_TRUE(Host.RegisterSale("", "PLU name 5", B, 25.00, 2.2, 5));
  double sub = 0;
  TTaxValues vat;
  ASSERT_TRUE(Host.Subtotal(true, false, true, sub, vat, 10));
  EXPECT_DOUBLE_EQ(sub, 253.28);
  ASSERT_TRUE(Host.Subtotal(true, true, true, sub, vat, -20));
  EXPECT_DOUBLE_EQ(sub, 233.28);
  EXPECT_DOUBLE_EQ(vat[2], 232.06);
  bool open = false;
  std::int32_t items = 0;
  double amount = 0, tender = 0;
  ASSERT_TRUE(Host.GetFiscalStatus(open, items, amount, tender));
  EXPECT_TRUE(open);
  EXPECT_EQ(items, 5);
  char code = 0;
  double rest = 0;
  ASSERT_TRUE(Host.Payment("Payment : Pay type C", "", 'C', 12.00, code, rest));
  EXPECT_EQ(code, 'D');
  EXPECT_DOUBLE_EQ(rest, 221.28);
  ASSERT_TRUE(Host.Payment("Payment : Pay type N", "", 'N', 10.20, code, rest));
  ASSERT_TRUE(Host.Payment("Payment : Pay type P", "", 'P', 1000.00, code, rest));
  EXPECT_EQ(code, 'R');
  EXPECT_DOUBLE_EQ(rest, 788.92);
  std::int32_t all = 0, fisc = 0;
  ASSERT_TRUE(Host.CloseFiscalReceipt(all, fisc));
  EXPECT_EQ(fisc, 1);

  TTaxValues totals;
  ASSERT_TRUE(Host.GetTotalAmounts(true, totals));
  EXPECT_DOUBLE_EQ(totals[1], 1.22);
  TPayTypeTotals pay;
  ASSERT_TRUE(Host.GetPayTypeTotals(pay));
  EXPECT_DOUBLE_EQ(pay.PayTotals[1], 211.08);
  EXPECT_DOUBLE_EQ(pay.PayTotals[2], 10.20);
  EXPECT_EQ(pay.Closure, 1);
  EXPECT_EQ(pay.ReceiptNo, 1);
  std::int64_t closure = 0;
  double total = 0;
  TTaxValues groups;
  ASSERT_TRUE(Host.PrintDailyReport(true, closure, total, groups));
  EXPECT_EQ(closure, 1);
  EXPECT_DOUBLE_EQ(total, 233.28);
  ASSERT_TRUE(Host.PrintDailyReportByDepartmentsAndPlu(false, closure, total, groups));
  EXPECT_EQ(closure, 2);
  EXPECT_DOUBLE_EQ(total, 0);
}

TEST_F(SimHostOperationsTest, OtherSalesDiscountAndVoid) {
  OpenReceipt();
  ASSERT_TRUE(Host.RegisterDepartmentSale("Bread", "", 1, 1.10, 2, -5));
  ASSERT_TRUE(Host.RegisterSaleAndDisplay("Milk", B, 3.00, 1, -0.5, true));
  ASSERT_TRUE(Host.RegisterDepartmentSaleAndDisplay("Fruit", 3, 2.00, 1.5, 10, false));
  ASSERT_TRUE(Host.DiscountLastPlu(true, -0.30));
  TDepartmentSum dep;
  ASSERT_TRUE(Host.GetDepartmentSum(1, dep));
  EXPECT_EQ(dep.ExitCode, 'P');
  EXPECT_EQ(dep.CountSales, 1);
  EXPECT_DOUBLE_EQ(dep.RecSum, 2.09);
  EXPECT_EQ(dep.Text1, "BREAD");
  bool canVoid = false, invoice = true;
  double total = 0;
  ASSERT_TRUE(Host.GetReceiptTotals(canVoid, total, invoice));
  EXPECT_TRUE(canVoid);
  EXPECT_FALSE(invoice);
  EXPECT_NEAR(total, 7.59, 1e-9);
  ASSERT_TRUE(Host.VoidFiscalReceipt());
  EXPECT_FALSE(Sim.FiscalReceiptOpen());
}

TEST_F(SimHostOperationsTest, RefusedSaleAndSecondOpenReportTheirCodes) {
  ASSERT_FALSE(Host.RegisterSale("", "x", A, 1, 1, 0));
  EXPECT_EQ(Host.LastErrorCode, 208);
  OpenReceipt();
  TFiskParam p;
  p.OperatorName = "OP";
  p.UniqueSellNo = "QZ999834-0001-0000002";
  std::int32_t all = 0, fisc = 0;
  ASSERT_FALSE(Host.OpenFiscalReceipt(p, all, fisc));
  EXPECT_EQ(Host.LastErrorCode, 216);
  EXPECT_NE(Host.LastErrorText.find("# FISCAL RECEIPT OPEN"), std::string::npos)
      << Host.LastErrorText;
}

TEST_F(SimHostOperationsTest, PluProgrammedReadAndDeleted) {
  TPluData plu;
  plu.PluNo = 15;
  plu.PluName = "MILK, 1L";
  plu.VatGroup = B;
  plu.GroupNom = 2;
  plu.UnitPrice = 2.5;
  plu.Quantity = 10;
  ASSERT_TRUE(Host.SetPlu(plu)) << Host.LastErrorText;
  OpenReceipt();
  ASSERT_TRUE(Host.SellRegisteredPlu(true, 15, 0, 3, 0, false));
  char code = 0;
  double rest = 0;
  ASSERT_TRUE(Host.Payment("", "", 'P', 0, code, rest));
  std::int32_t all = 0, fisc = 0;
  ASSERT_TRUE(Host.CloseFiscalReceipt(all, fisc));
  TPluData back;
  ASSERT_TRUE(Host.GetPluData(15, back));
  EXPECT_EQ(back.PluNo, 15);
  EXPECT_EQ(back.PluName, "MILK, 1L");
  EXPECT_EQ(back.VatGroup, B);
  EXPECT_DOUBLE_EQ(back.TotalSum, 7.5);
  EXPECT_DOUBLE_EQ(back.Sold, 3);
  EXPECT_DOUBLE_EQ(back.AvailQtty, 7);
  ASSERT_TRUE(Host.DeletePlu(15));
  ASSERT_TRUE(Host.GetPluData(15, back));
  EXPECT_EQ(back.PluNo, -1);
  EXPECT_FALSE(Host.DeletePlu(15));
  EXPECT_EQ(Host.LastErrorCode, 0);
}

TEST_F(SimHostOperationsTest, SettingsWrittenAndReadBack) {
  ASSERT_TRUE(Host.SetPayName(2, "BANK CARD"));
  std::string name;
  ASSERT_TRUE(Host.GetPayTypeName(2, name));
  EXPECT_EQ(name, "BANK CARD");
  TGeneralPRNSettings s;
  ASSERT_TRUE(Host.GetGeneralPRNSettings(s));
  s.CurrencyName = "BGN";
  s.TaxEnabled[8] = false;
  ASSERT_TRUE(Host.SetGeneralPRNSettings(s)) << Host.LastErrorText;
  TGeneralPRNSettings back;
  ASSERT_TRUE(Host.GetGeneralPRNSettings(back));
  EXPECT_EQ(back.CurrencyName, "BGN");
  EXPECT_FALSE(back.TaxEnabled[8]);
  EXPECT_DOUBLE_EQ(back.TaxVals[1], 20.0);
  ASSERT_TRUE(Host.SetHeaderLine(2, "MY SHOP"));
  std::string line;
  ASSERT_TRUE(Host.GetHeaderLine(2, line));
  EXPECT_EQ(line, "MY SHOP");
  ASSERT_TRUE(Host.SetBarcodeHeight(12));
  std::int32_t mm = 0;
  ASSERT_TRUE(Host.GetBarcodeHeight(mm));
  EXPECT_EQ(mm, 12);
  ASSERT_TRUE(Host.SetOperator(3, "", " ANNA "));
  EXPECT_EQ(Sim.Snapshot().Operators.at(3).Name, "ANNA");
  std::int64_t start = 10, end = 20, current = 0;
  ASSERT_TRUE(Host.SetInvoiceRange(true, start, end));
  ASSERT_TRUE(Host.GetInvoiceRange(true, start, end, current));
  EXPECT_EQ(current, 10);
  TDepartmentInfo dep{9, A, "TOYS", "AND GAMES"};
  ASSERT_TRUE(Host.SetDepartment(dep));
  TDepartmentSum sum;
  ASSERT_TRUE(Host.GetDepartmentSum(9, sum));
  EXPECT_EQ(sum.Text2, "AND GAMES");
  TDateTime when = 0;
  ASSERT_TRUE(TryEncodeDateTime({2025, 1, 2, 3, 4, 0, 0}, when));
  ASSERT_TRUE(Host.SetDateTime(when));
  TDateTime back2 = 0;
  ASSERT_TRUE(Host.GetFPR_DateTime(back2));
  EXPECT_EQ(FormatDateTimeLong(back2, {}), "02.01.2025 03:04:00");
}

TEST_F(SimHostOperationsTest, CashInOutAndItsRefusals) {
  ASSERT_TRUE(Host.ImportExportAmount(80));
  ASSERT_TRUE(Host.ImportExportAmount(-50));
  ASSERT_FALSE(Host.ImportExportAmount(-50));
  EXPECT_EQ(Host.LastErrorCode, 207);
  std::int32_t all = 0;
  ASSERT_TRUE(Host.OpenCommentReceipt(all));
  ASSERT_FALSE(Host.ImportExportAmount(5));
  EXPECT_EQ(Host.LastErrorCode, 215);
}

TEST_F(SimHostOperationsTest, DocumentsAndRecovery) {
  std::int32_t all = 0;
  ASSERT_TRUE(Host.OpenCommentReceipt(all));
  ASSERT_TRUE(Host.PrintCommentText("Line"));
  ASSERT_TRUE(Host.PrintBarcode(1, "1234567", true));
  ASSERT_TRUE(Host.CancelAllReceipts());
  EXPECT_FALSE(Sim.CommentReceiptOpen());

  OpenReceipt(true);
  ASSERT_TRUE(Host.RegisterSale("Item", "", A, 10, 1, 0));
  char code = 0;
  double rest = 0;
  ASSERT_TRUE(Host.Payment("", "", 'N', 4, code, rest));
  // Paid in part and an invoice: the recovery pays the rest, sends client data, closes.
  ASSERT_TRUE(Host.CancelAllReceipts()) << Host.LastErrorText;
  EXPECT_FALSE(Sim.FiscalReceiptOpen());
  EXPECT_EQ(Sim.Snapshot().DayPayments[0], 600);
  ASSERT_TRUE(Host.DuplicateReceipt());
  EXPECT_FALSE(Host.DuplicateReceipt());
  ASSERT_TRUE(Host.PrintFMReportByBlock(false, 3, 1));
  TDateTime from = 0, to = 0;
  ASSERT_TRUE(TryEncodeDate(2026, 12, 1, from) && TryEncodeDate(2026, 12, 7, to));
  ASSERT_TRUE(Host.PrintFMReportByDate(true, from, to));
  ASSERT_TRUE(Host.ExecuteCommand(0x4A, "W"));
  EXPECT_FALSE(Host.ExecuteCommand(0x99, ""));
  EXPECT_EQ(Host.LastErrorCode, 204);
}
