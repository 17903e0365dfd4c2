// Queries, registers and settings of the model: answer layouts and programming.
#include <vector>

#include "SimModelFixture.h"

using namespace sim;

namespace {

int CommaFields(const std::string& s) {
  int n = 0;
  for (const auto& f : Split(s, ',')) n += f.empty() ? 0 : 1;
  return n;
}

}  // namespace

// The shapes the host reads: field counts and fixed positions.
TEST_F(SimModelTest, QueryAnswerLayouts) {
  struct TCase {
    std::uint8_t Cmd;
    const char* Data;
    std::string Answer;  // exact, or empty to check only the field count
    int Fields;
  } cases[] = {
      {0x3E, "", "07-12-26 14:05:09", 1},
      {0x4A, "W", "", 0},
      {0x5A, "1", "VELMORA FP-SIM,1.00 15Jan24 1200,5A3C,00000000,QZ999834,12345678", 6},
      {0x5A, "0", "VELMORA FP-SIM,1.00 15Jan24 1200,5A3C,00000000,QZ999834,12345678", 6},
      {0x63, "", "123456789", 1},
      {0x71, "", "0", 1},
      {0x4C, "T", "0,0,0,0", 4},
      {0x61, "", "20.00,20.00,9.00,0.00,0.00,0.00,0.00,0.00", 8},
      {0x44, "", "1800", 1},
      {0x67, "", "0,0,0,0,0,0,0,0,0,0,1", 11},
      {0x41, "0", "0,0,0,0,0,0,0,0", 8},
      {0x41, "1", "0,0,0,0,0,0,0,0", 8},
      {0x6E, "11", "0,0,0,0,0,0,0,0,0,0,0,1,0", 13},
      {0x6E, "8", "0,0,0,0,0,0,0,0,1,0", 10},
      {0x58, "1", "P" + G(2) + ",0,0.00,0,0.00,BREAD", 6},
      {0x58, "77", "F", 1},
      {0x6B, "R1", "F", 1},
      {0x55, "P", "CASH", 1},
      {0x55, "N", "CARD", 1},
      {0x53, "", "1,2,EUR,11111111,20.00,20.00,9.00,0.00,0.00,0.00,0.00,0.00", 12},
      {0x2B, "I0", "VELMORA SIMULATED STORE", 1},
      {0x2B, "I6", "THANK YOU", 1},
      {0x2B, "IB", "80", 1},
      {0x42, "", "1,99999,1", 3},
      {0x42, "S", "1,99999,1", 3},
      {0x46, "", "P,0.00,0.00,0.00", 4},
  };
  for (const auto& c : cases) {
    std::string a = Ok(c.Cmd, c.Data);
    EXPECT_EQ(a, c.Answer) << std::hex << int(c.Cmd) << " " << c.Data;
    EXPECT_EQ(CommaFields(a), c.Fields) << std::hex << int(c.Cmd) << " " << c.Data;
  }
}

TEST_F(SimModelTest, VatShareOfTheDay) {
  OpenReceipt();
  Ok(0x31, "\t" + G(1) + "120.00");
  Ok(0x31, "\t" + G(3) + "109.00");
  Ok(0x35, "\tP");
  Ok(0x38);
  EXPECT_EQ(Ok(0x41, "0"), "12000,0,10900,0,0,0,0,0");
  EXPECT_EQ(Ok(0x41, "1"), "2000,0,900,0,0,0,0,0");
}

TEST_F(SimModelTest, PluProgrammedReadBackAndDeleted) {
  EXPECT_EQ(Ok(0x6B, "P" + G(2) + "12,1,2.50,A1.000,MILK"), "P");
  EXPECT_EQ(Ok(0x6B, "R12"), "P12," + G(2) + ",1,2.50,0.00,0.000,1.000,MILK");
  // The name may hold commas; more than 36 characters are cut.
  Ok(0x6B, "P" + G(8) + "13,0,0.00,A0.000,A, B, " + std::string(40, 'N'));
  EXPECT_EQ(Ok(0x6B, "R13"),
            "P13," + G(8) + ",0,0.00,0.00,0.000,0.000,A, B, " + std::string(30, 'N'));
  EXPECT_EQ(Ok(0x6B, "D12"), "P");
  EXPECT_EQ(Ok(0x6B, "R12"), "F");
  EXPECT_EQ(Ok(0x6B, "D12"), "F");
  EXPECT_EQ(Ok(0x6B, "DA"), "P");
  EXPECT_EQ(Ok(0x6B, "R13"), "F");
  struct {
    const char* Why;
    std::string Data;
  } bad[] = {{"Latin group letter", "PA12,1,2.50,A1.000,MILK"},
             {"no A before the quantity", "P" + G(2) + "12,1,2.50,1.000,MILK"},
             {"PLU 0", "P" + G(2) + "0,1,2.50,A1.000,MILK"},
             {"negative price", "P" + G(2) + "12,1,-2.50,A1.000,MILK"},
             {"empty name", "P" + G(2) + "12,1,2.50,A1.000,"},
             {"unknown option", "X12"}};
  for (const auto& b : bad) EXPECT_TRUE(Bit(Run(0x6B, b.Data), 0, 0)) << b.Why;
  OpenReceipt();
  EXPECT_TRUE(Bit(Run(0x6B, "DA"), 1, 1));
}

TEST_F(SimModelTest, DepartmentProgramming) {
  Ok(0x57, "7," + G(4) + ",SWEETS\nAND CANDY");
  EXPECT_EQ(Ok(0x58, "7"), "P" + G(4) + ",0,0.00,0,0.00,SWEETS\tAND CANDY");
  Ok(0x57, "7," + G(5) + ",ONE, LINE");
  EXPECT_EQ(Ok(0x58, "7"), "P" + G(5) + ",0,0.00,0,0.00,ONE, LINE");
  EXPECT_TRUE(Bit(Run(0x57, "100," + G(1) + ",X"), 0, 0));
  EXPECT_TRUE(Bit(Run(0x57, "7,A,X"), 0, 0));
  // The VAT group of a department with turnover stays until the Z report.
  OpenReceipt();
  Ok(0x31, "\t7\t1.00");
  Ok(0x35, "\tP");
  Ok(0x38);
  EXPECT_TRUE(Bit(Run(0x57, "7," + G(1) + ",X"), 1, 1));
  Ok(0x45, "0");
  Ok(0x57, "7," + G(1) + ",X");
}

TEST_F(SimModelTest, PaymentNamesHeaderLinesBarcodeAndOperators) {
  EXPECT_EQ(Ok(0x55, "N,  BANK CARD "), "P");
  EXPECT_EQ(Ok(0x55, "N"), "BANK CARD");
  EXPECT_EQ(Ok(0x55, "N,"), "F");
  EXPECT_TRUE(Bit(Run(0x55, "Z"), 0, 0));

  Ok(0x2B, "3ABC");
  EXPECT_EQ(Ok(0x2B, "I3"), "ABC");
  Ok(0x2B, "0" + std::string(40, 'x'));
  EXPECT_EQ(Ok(0x2B, "I0"), std::string(36, 'x'));
  Ok(0x2B, "7");
  EXPECT_EQ(Ok(0x2B, "I7"), "");
  EXPECT_TRUE(Bit(Run(0x2B, "I8"), 0, 0));

  Ok(0x2B, "B240");
  EXPECT_EQ(Ok(0x2B, "IB"), "240");
  EXPECT_TRUE(Bit(Run(0x2B, "B248"), 0, 0));

  Ok(0x66, "2,,CASHIER");
  EXPECT_EQ(M.State().Operators.at(2).Name, "CASHIER");
  EXPECT_EQ(M.State().Operators.at(2).Password, "");
  EXPECT_TRUE(Bit(Run(0x66, "2,1234,  "), 0, 0));
  EXPECT_TRUE(Bit(Run(0x66, "17,1,X"), 0, 0));
}

TEST_F(SimModelTest, GeneralSettingsSetAndRead) {
  std::string set = "1,2,BGN,11000000,20.00,9.00,0.00,0.00,0.00,0.00,0.00,0.00";
  EXPECT_EQ(Ok(0x53, set), set);
  EXPECT_EQ(Ok(0x53), set);
  EXPECT_EQ(Ok(0x61), "20.00,9.00,0.00,0.00,0.00,0.00,0.00,0.00");
  OpenReceipt();
  TModelAnswer a = Run(0x31, "\t" + G(3) + "1.00");
  EXPECT_TRUE(Bit(a, 1, 1));
  EXPECT_EQ(a.Data, "E:VAT GROUP DISABLED");
  EXPECT_TRUE(Bit(Run(0x53, set), 1, 1));
  EXPECT_TRUE(Bit(Run(0x53, "1,2,BGN,11000000,20.00"), 0, 0));
}

TEST_F(SimModelTest, InvoiceRanges) {
  EXPECT_EQ(Ok(0x42, "1,99999999999"), "1,99999999999,1");
  EXPECT_EQ(Ok(0x42, "S,5,10"), "5,10,5");
  EXPECT_EQ(Ok(0x42, "S"), "5,10,5");
  for (const char* bad : {"5,3", "0,10", "1,100000000000", "x,10", "S,1"}) {
    EXPECT_TRUE(Bit(Run(0x42, bad), 0, 0)) << bad;
  }
}

// The host tells a refusal from the exit code "F" and compares the cash sum.
TEST_F(SimModelTest, CashInAndOut) {
  EXPECT_EQ(Ok(0x46, "80.00"), "P,80.00,80.00,0.00");
  EXPECT_EQ(Ok(0x46, "-50.00"), "P,30.00,80.00,50.00");
  EXPECT_EQ(Ok(0x46, "-50.00"), "F,30.00,80.00,50.00");
  Ok(0x26);
  EXPECT_EQ(Ok(0x46, "1.00"), "F,30.00,80.00,50.00");
  EXPECT_TRUE(Bit(Run(0x46, "1.00"), 2, 5));
}

TEST_F(SimModelTest, SetDateTimeMovesTheClock) {
  Ok(0x3D, "01-03-24 09:07");
  EXPECT_EQ(Ok(0x3E), "01-03-24 09:07:00");
  Ok(0x3D, "31.12.25/23x59");
  EXPECT_EQ(Ok(0x3E), "31-12-25 23:59:00");
  EXPECT_TRUE(Bit(Run(0x3D, "31-02-26 10:00"), 0, 0));
  EXPECT_TRUE(Bit(Run(0x3D, "garbage"), 0, 0));
  Ok(0x45, "0");  // a Z report at 31-12-25 23:59
  EXPECT_TRUE(Bit(Run(0x3D, "01-01-25 10:00"), 1, 1));
}

TEST_F(SimModelTest, FiscalMemoryReportsByBlockAndDate) {
  Ok(0x45, "0");
  Ok(0x45, "0");
  struct {
    std::uint8_t Cmd;
    const char* Data;
    bool Ok;
  } cases[] = {{0x49, "1,2", true},
               {0x5F, "2", true},
               {0x49, "2,1", false},
               {0x5F, "x", false},
               {0x5E, "071226,071226", true},
               {0x4F, "071226", true},
               {0x5E, "081226,071226", false},
               {0x4F, "310226", false}};
  for (const auto& c : cases) {
    TModelAnswer a = Run(c.Cmd, c.Data);
    EXPECT_EQ(a.Executed, c.Ok) << c.Data;
    EXPECT_EQ(Bit(a, 0, 0), !c.Ok) << c.Data;
  }
  Ok(0x49, "1,2");
  auto paper = M.Paper();
  ASSERT_GE(paper.size(), 2u);
  EXPECT_EQ(paper[paper.size() - 2], "Z 1 0.00");
  EXPECT_EQ(paper.back(), "Z 2 0.00");
}
