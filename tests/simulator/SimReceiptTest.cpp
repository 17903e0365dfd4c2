// The fiscal and comment receipts of the model, whole flows and refusals.
#include <algorithm>
#include <vector>

#include "SimModelFixture.h"
#include "SimStateFile.h"

using namespace sim;

namespace {

struct TStep {
  std::uint8_t Cmd;
  std::string Data;
  std::string Answer;
};

}  // namespace

// The console's scripted test receipt: every answer with its counters and sums.
TEST_F(SimModelTest, WholeTestReceiptAnswersWithCountersAndSums) {
  const std::vector<TStep> steps = {
      {0x90, "OPER1,QZ999834-0001-0000001", "1,1"},
      {0x31, "\nPLU name 1\t" + G(1) + "1.20", ""},
      {0x36, "Fisc.comment text", ""},
      {0x31, "\nPLU name 2\t" + G(2) + "1.50*2.200", ""},
      {0x31, "\nPLU name 3\t" + G(2) + "20.00*3.000", ""},
      {0x31, "\nPLU name 4\t" + G(2) + "120.00,-10.00", ""},
      {0x31, "\nPLU name 5\t" + G(2) + "25.00*2.200,5.00", ""},
      {0x4C, "T", "1,5,23025,0"},
      {0x67, "", "1,120,22905,0,0,0,0,0,0,0,1"},
      {0x33, "11,10.00", "25328,132,25196,0,0,0,0,0,0"},
      {0x33, "11;-20.00", "23328,122,23206,0,0,0,0,0,0"},
      {0x35, "Payment : Pay type C\tC+12.00", "D,22128"},
      {0x35, "Payment : Pay type N\tN+10.20", "D,21108"},
      {0x35, "Payment : Pay type P\tP+1000.00", "R,78892"},
      {0x4C, "T", "1,5,23328,102220"},
      {0x67, "", "0,122,23206,0,0,0,0,0,0,0,1"},
      {0x38, "", "1,1"},
      {0x4C, "T", "0,0,0,0"},
      {0x41, "0", "122,23206,0,0,0,0,0,0"},
      {0x6E, "11", "21108,1020,1200,0,0,0,0,0,0,0,0,1,1"},
      {0x46, "", "P,211.08,0.00,0.00"},
      {0x71, "", "1"},
  };
  for (const auto& s : steps) {
    TModelAnswer a = Run(s.Cmd, s.Data);
    EXPECT_EQ(a.Data, s.Answer) << std::hex << int(s.Cmd) << " " << s.Data;
    EXPECT_EQ(a.Status[0] & 0x03, 0) << std::hex << int(s.Cmd);
    EXPECT_EQ(a.Status[1] & 0x1F, 0) << std::hex << int(s.Cmd);
  }
}

TEST_F(SimModelTest, ReceiptBitsFollowTheState) {
  EXPECT_FALSE(Bit(Run(0x4A, "W"), 2, 3));
  OpenReceipt();
  EXPECT_TRUE(Bit(Run(0x4A, "W"), 2, 3));
  EXPECT_FALSE(Bit(Run(0x4A, "W"), 2, 5));
  Ok(0x3C);
  EXPECT_FALSE(Bit(Run(0x4A, "W"), 2, 3));
  Ok(0x26);
  TModelAnswer a = Run(0x4A, "W");
  EXPECT_TRUE(Bit(a, 2, 5));
  EXPECT_FALSE(Bit(a, 2, 3));
  for (auto b : a.Status) EXPECT_TRUE(b & 0x80);
}

TEST_F(SimModelTest, CommentReceiptOpenTextBarcodeClose) {
  EXPECT_EQ(Ok(0x26), "1");
  Ok(0x2A, "Hello");
  Ok(0x54, "2,123456789012");
  Ok(0x54, "3;ABC-123");
  EXPECT_EQ(Ok(0x27), "1");
  EXPECT_EQ(Ok(0x26), "2");
  EXPECT_EQ(Ok(0x27), "2");
  EXPECT_EQ(Ok(0x71), "2");
  auto paper = M.Paper();
  EXPECT_NE(std::find(paper.begin(), paper.end(), "Hello"), paper.end());
  // A fiscal receipt counts among all receipts too.
  EXPECT_EQ(Ok(0x90, "OP,QZ999834-0001-0000002"), "3,1");
}

// A refused command changes nothing and says why.
TEST_F(SimModelTest, RefusalsByState) {
  struct TCase {
    const char* Name;
    std::vector<TStep> Setup;
    TStep Cmd;
    int Byte, Bit;  // the error bit set
    const char* Text;
  };
  const std::string sale = "\tA" + G(1) + "1.00";
  const std::vector<TStep> open = {{0x90, "OP,QZ999834-0001-0000001", ""}};
  const std::vector<TStep> paid = {{0x90, "OP,QZ999834-0001-0000001", ""},
                                   {0x31, "\t" + G(1) + "1.00", ""},
                                   {0x35, "\tP0.50", ""}};
  const std::vector<TStep> comment = {{0x26, "", ""}};
  const std::vector<TStep> invoicePaid = {{0x90, "OP,QZ999834-0001-0000001,I", ""},
                                          {0x31, "\t" + G(1) + "1.00", ""},
                                          {0x35, "\tP", ""}};
  const TCase cases[] = {
      {"sale without receipt",
       {},
       {0x31, "\t" + G(1) + "1.00", ""},
       1,
       1,
       "E:NO FISCAL RECEIPT OPEN"},
      {"second fiscal receipt",
       open,
       {0x90, "OP,QZ999834-0001-0000002", ""},
       1,
       1,
       "E:FISCAL RECEIPT OPEN"},
      {"fiscal while comment open",
       comment,
       {0x90, "OP,QZ999834-0001-0000002", ""},
       1,
       1,
       "E:COMMENT RECEIPT OPEN"},
      {"comment while fiscal open", open, {0x26, "", ""}, 1, 1, "E:FISCAL RECEIPT OPEN"},
      {"comment text without receipt", {}, {0x2A, "x", ""}, 1, 1, "E:NO COMMENT RECEIPT OPEN"},
      {"close unpaid", paid, {0x38, "", ""}, 1, 1, "E:PAYMENT NOT COMPLETED"},
      {"void after payment", paid, {0x3C, "", ""}, 1, 1, "E:PAYMENT STARTED"},
      {"sale after payment", paid, {0x31, "\t" + G(1) + "1.00", ""}, 1, 1, "E:PAYMENT STARTED"},
      {"invoice without client data", invoicePaid, {0x38, "", ""}, 1, 1, "E:CLIENT DATA REQUIRED"},
      {"client data outside invoice", open, {0x39, "111\t\tR\tC\tT", ""}, 1, 1, "E:NOT AN INVOICE"},
      {"Z report with receipt open", open, {0x45, "0", ""}, 1, 1, "E:FISCAL RECEIPT OPEN"},
      {"duplicate with nothing printed", {}, {0x6D, "1", ""}, 1, 1, "E:NO RECEIPT TO DUPLICATE"},
      {"barcode outside a receipt", {}, {0x54, "1,1234567", ""}, 1, 1, "E:NO RECEIPT OPEN"},
      {"discount with no sale", open, {0x91, "P,-5.00", ""}, 1, 1, "E:NO SALE TO DISCOUNT"},
      {"unknown department", open, {0x31, "x\t42\t1.00", ""}, 1, 1, "E:UNKNOWN DEPARTMENT"},
      {"unknown PLU", open, {0x3A, "77", ""}, 1, 1, "E:UNKNOWN PLU"},
      {"bad VAT letter", open, {0x31, sale, ""}, 0, 0, "E:SALE DATA"},
      {"bad sale number",
       {},
       {0x90, "OP,QZ999834_0001_0000001", ""},
       0,
       0,
       "E:INVALID UNIQUE SALE NUMBER"},
      {"bad refund reason",
       {},
       {0x90, "OP,QZ999834-0001-0000001,S,12345678,X,15", ""},
       0,
       0,
       "E:REFUND REASON"},
      {"quantity zero", open, {0x31, "\t" + G(1) + "1.00*0.000", ""}, 0, 0, "E:QUANTITY"},
      {"percent out of range",
       open,
       {0x31, "\t" + G(1) + "1.00,100.00", ""},
       0,
       0,
       "E:PERCENT RANGE"},
      {"amount overflow", open, {0x31, "\t" + G(1) + "99999999.99*2.000", ""}, 1, 0, "E:AMOUNT"},
      {"amount beyond 64 bits",
       open,
       {0x31, "\t" + G(1) + "100000000.00*1844674407.371", ""},
       1,
       0,
       "E:AMOUNT"},
  };
  for (const auto& c : cases) {
    M = TFiscalModel();
    M.SetClock([] { return FixedTime(); });
    for (const auto& s : c.Setup) Ok(s.Cmd, s.Data);
    std::string before = SerializeState(M.State());
    TModelAnswer a = Run(c.Cmd.Cmd, c.Cmd.Data);
    EXPECT_FALSE(a.Executed) << c.Name;
    EXPECT_TRUE(Bit(a, c.Byte, c.Bit)) << c.Name;
    EXPECT_EQ(a.Data, c.Text) << c.Name;
    EXPECT_EQ(SerializeState(M.State()), before) << c.Name;
  }
}

TEST_F(SimModelTest, UnknownCommandSetsInvalidCommandBit) {
  TModelAnswer a = Run(0x99, "anything");
  EXPECT_TRUE(Bit(a, 0, 1));
  EXPECT_FALSE(Bit(a, 0, 0));
  EXPECT_FALSE(a.Executed);
}

TEST_F(SimModelTest, ZReportResetsTheDayAndAdvancesTheClosure) {
  OpenReceipt();
  Ok(0x31, "\t" + G(2) + "10.00");
  Ok(0x35, "\tP+20.00");
  Ok(0x38);
  Ok(0x46, "5.00");
  EXPECT_EQ(Ok(0x45, "2"), "1,1000,0,1000,0,0,0,0,0,0");  // X report: nothing reset
  EXPECT_EQ(Ok(0x44), "1800");
  TModelAnswer z = Run(0x45, "0");
  EXPECT_EQ(z.Data, "1,1000,0,1000,0,0,0,0,0,0");
  EXPECT_EQ(M.State().Closure, 2);
  EXPECT_EQ(Ok(0x44), "1799");
  EXPECT_EQ(Ok(0x41, "0"), "0,0,0,0,0,0,0,0");
  EXPECT_EQ(Ok(0x6E, "11"), "0,0,0,0,0,0,0,0,0,0,0,2,1");
  EXPECT_EQ(Ok(0x46), "P,0.00,0.00,0.00");
  EXPECT_EQ(Ok(0x58, "1"), "P" + G(2) + ",0,0.00,0,0.00,BREAD");
  EXPECT_EQ(Ok(0x75, "0"), "2,0,0,0,0,0,0,0,0,0");
  ASSERT_EQ(M.State().Fm.size(), 2u);
  EXPECT_EQ(M.State().Fm[0].Total, 1000);
}

TEST_F(SimModelTest, ReportsKeepTheDeviceBusy) {
  M.SetReportWorkMs(250);
  EXPECT_EQ(Run(0x45, "2").WorkMs, 250);
  EXPECT_EQ(Run(0x49, "1,5").WorkMs, 250);
  EXPECT_EQ(Run(0x4A, "W").WorkMs, 0);
}

TEST_F(SimModelTest, PaymentResultLetters) {
  OpenReceipt();
  Ok(0x31, "\t" + G(1) + "10.00");
  EXPECT_EQ(Ok(0x35, "\tN+15.00"), "I,1000");  // a card may not exceed what is due
  EXPECT_EQ(Ok(0x35, "\tP-1.00"), "F,1000");
  EXPECT_EQ(Ok(0x35, "\tD+4.00"), "D,600");
  EXPECT_EQ(Ok(0x35, "\tP+0.00"), "R,0");  // zero pays the rest
  EXPECT_EQ(Ok(0x35, "\tP+1.00"), "F,0");  // already paid
  EXPECT_EQ(M.State().Receipt.Paid[PayIndexOf('D')], 400);
  EXPECT_TRUE(Bit(Run(0x35, "\tX+1.00"), 0, 0));
}

TEST_F(SimModelTest, InvoiceNeedsClientDataAndUsesTheRange) {
  Ok(0x42, "100,200");
  OpenReceipt(",I");
  EXPECT_EQ(Ok(0x67), "1,0,0,0,0,0,0,0,0,1,100");
  Ok(0x31, "\t" + G(1) + "5.00");
  Ok(0x35, "\tP");
  Ok(0x39, "111111110\t\tRECEIVER\tCLIENT\tTAX1\tADDR 1\nADDR 2");
  EXPECT_EQ(Ok(0x38), "1,1");
  EXPECT_EQ(Ok(0x42), "100,200,101");
  EXPECT_EQ(Ok(0x67), "0,500,0,0,0,0,0,0,0,1,101");
  EXPECT_TRUE(Bit(Run(0x39, "\t\tR\tC\tT"), 0, 0));  // blank EIK
}

TEST_F(SimModelTest, RefundReceiptBooksRefundsNotSales) {
  Ok(0x46, "50.00");
  Ok(0x90, "OP,QZ999834-0001-0000003,S,87654321,R,15,2024-03-05T09:07:00");
  Ok(0x31, "\t" + G(1) + "10.00");
  Ok(0x35, "\tP");
  Ok(0x38);
  EXPECT_EQ(M.State().DayRefunds[0], 1000);
  EXPECT_EQ(Ok(0x41, "0"), "0,0,0,0,0,0,0,0");
  EXPECT_EQ(M.State().Cash, 4000);
  // With an invoice number it is a credit note from its own range.
  Ok(0x90, "OP,QZ999834-0001-0000004,S,87654321,T,16,2024-03-05T09:07:00,57");
  EXPECT_EQ(M.State().Receipt.DocNo, 1);
}

TEST_F(SimModelTest, VoidKeepsCountersAndDropsTheSales) {
  OpenReceipt();
  Ok(0x31, "\t" + G(1) + "10.00");
  EXPECT_EQ(Ok(0x67), "1,1000,0,0,0,0,0,0,0,0,1");
  Ok(0x3C);
  EXPECT_EQ(Ok(0x67), "0,0,0,0,0,0,0,0,0,0,1");
  EXPECT_EQ(Ok(0x41, "0"), "0,0,0,0,0,0,0,0");
  EXPECT_EQ(Ok(0x90, "OP,QZ999834-0001-0000002"), "2,2");
}

TEST_F(SimModelTest, DepartmentAndPluSalesCountOnTheirRegisters) {
  Ok(0x6B, "P" + G(3) + "15,2,2.50,A10.000,MILK, 1L");
  OpenReceipt();
  Ok(0x31, "Bread\t1\t1.10*2.000");
  Ok(0x34, "Milk\t2\t3.00;-0.50");
  Ok(0x3A, "D15*4.000");
  Ok(0x3A, "15\t1\t,-10.00");
  EXPECT_EQ(Ok(0x58, "1"), "P" + G(2) + ",2,4.45,0,0.00,BREAD");
  EXPECT_EQ(Ok(0x58, "2"), "P" + G(2) + ",2,12.50,0,0.00,MILK");
  Ok(0x35, "\tP");
  Ok(0x38);
  EXPECT_EQ(Ok(0x58, "1"), "P" + G(2) + ",0,0.00,2,4.45,BREAD");
  EXPECT_EQ(Ok(0x6B, "R15"), "P15," + G(3) + ",2,2.50,12.25,5.000,5.000,MILK, 1L");
  EXPECT_EQ(Ok(0x41, "0"), "0,470,1225,0,0,0,0,0");
}

TEST_F(SimModelTest, DiscountOnTheLastSale) {
  OpenReceipt();
  Ok(0x31, "\t" + G(1) + "10.00");
  Ok(0x91, "P,-10.00");
  EXPECT_TRUE(Bit(Run(0x91, "A,-1.00"), 1, 1));  // once per sale
  Ok(0x31, "\t" + G(2) + "5.00");
  Ok(0x91, "A,0.50");
  EXPECT_EQ(Ok(0x33, "00"), "1450,900,550,0,0,0,0,0,0");
  EXPECT_TRUE(Bit(Run(0x91, "X,1.00"), 0, 0));
}

TEST_F(SimModelTest, NoPaperOrFiscalMemoryFaultBlocksTheCommand) {
  TStatus noPaper{};
  noPaper[2] = 0x01;
  TModelAnswer a = M.Execute(0x90, "OP,QZ999834-0001-0000001", noPaper);
  EXPECT_FALSE(a.Executed);
  EXPECT_FALSE(M.State().FiscalOpen());
  EXPECT_TRUE(M.Execute(0x4A, "W", noPaper).Executed);  // nothing to print
  TStatus fmFull{};
  fmFull[4] = 0x10;
  EXPECT_FALSE(M.Execute(0x45, "0", fmFull).Executed);
  EXPECT_TRUE(M.Execute(0x45, "2", fmFull).Executed);
}

TEST_F(SimModelTest, FullFiscalMemoryRefusesZAndSetsItsBit) {
  M.State().FmCapacity = 1;
  Ok(0x45, "0");
  TModelAnswer a = Run(0x45, "0");
  EXPECT_TRUE(Bit(a, 4, 4));
  EXPECT_TRUE(Bit(a, 1, 1));
  EXPECT_EQ(Ok(0x44), "0");
}

TEST_F(SimModelTest, CommandLevelEscapesAreUndoneInTextsButNotSentBack) {
  Ok(0x26);
  Ok(0x2A, std::string("A\x10\x5B"
                       "B",
                       4));  // ESC as the host escapes it
  EXPECT_EQ(M.Paper().back(), std::string("A\x1B"
                                          "B"));
  Ok(0x27);
  Ok(0x2B, std::string("1X\x10\x43Y\tZ", 7));  // 0x03 inside a header line
  EXPECT_EQ(M.State().Lines[1], std::string("X\x03Y\tZ"));
  EXPECT_EQ(Ok(0x2B, "I1"), "X Y\tZ");  // 0x03 would end the host's reading
}
