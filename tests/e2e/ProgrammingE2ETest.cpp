// Reports and device programming against the simulator over TCP: what is
// programmed reads back through the register reads, and the daily reports
// give the totals of the receipts booked before them.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "SimLink.h"

namespace {

constexpr char kA = '\xC0';  // VAT group 1
constexpr char kB = '\xC1';  // VAT group 2

class ProgrammingE2E : public TSimLinkFixture {
 protected:
  // Department 5 (group Б) and PLU 12 (group А, department 5, 2.50, ten in stock).
  void ProgramArticles() {
    ASSERT_TRUE(Dev.SetDepartment({5, kB, "BREAD", "WHITE"})) << Dev.LastErrorText;
    TPluData plu;
    plu.PluNo = 12;
    plu.PluName = "MILK, 1L";
    plu.VatGroup = kA;
    plu.GroupNom = 5;
    plu.UnitPrice = 2.5;
    plu.Quantity = 10;
    ASSERT_TRUE(Dev.SetPlu(plu)) << Dev.LastErrorText;
  }

  // Group А: 10.00 + 3 x 2.50 = 17.50; group Б: 2 x 5.50 = 11.00; paid 30.00 in cash.
  void BookReceipt() {
    TFiskParam p;
    p.OperatorNo = 1;
    p.OperatorName = "OPER1";
    p.UniqueSellNo = "QZ999834-0001-0000001";
    p.DeviceFMIN = Sim.Device().Snapshot().FiscalNumber;
    std::int32_t all = 0, fisc = 0;
    ASSERT_TRUE(Dev.OpenFiscalReceipt(p, all, fisc)) << Dev.LastErrorText;
    ASSERT_TRUE(Dev.RegisterSale("ITEM", "", kA, 10.00, 1, 0)) << Dev.LastErrorText;
    ASSERT_TRUE(Dev.RegisterDepartmentSale("BREAD", "", 5, 5.50, 2, 0)) << Dev.LastErrorText;
    ASSERT_TRUE(Dev.SellRegisteredPlu(false, 12, 0, 3, 0, false)) << Dev.LastErrorText;
    char code = 0;
    double change = 0;
    ASSERT_TRUE(Dev.Payment("", "", 'P', 30.00, code, change)) << Dev.LastErrorText;
    ASSERT_TRUE(Dev.CloseFiscalReceipt(all, fisc)) << Dev.LastErrorText;
  }

  struct TDaily {
    std::int64_t Closure = -1;
    double Total = -1;
    TTaxValues Vat;
  };
  using TDailyFn = bool (TBaseDevice::*)(bool, std::int64_t&, double&, TTaxValues&);

  TDaily Report(TDailyFn fn, bool zero) {
    TDaily r;
    EXPECT_TRUE((Dev.*fn)(zero, r.Closure, r.Total, r.Vat)) << Dev.LastErrorText;
    return r;
  }

  static void ExpectTotals(const TDaily& r, std::int64_t closure, double vat1, double vat2) {
    EXPECT_EQ(r.Closure, closure);
    EXPECT_DOUBLE_EQ(r.Total, vat1 + vat2);
    EXPECT_DOUBLE_EQ(r.Vat[1], vat1);
    EXPECT_DOUBLE_EQ(r.Vat[2], vat2);
    for (int n = 3; n <= 8; ++n) EXPECT_DOUBLE_EQ(r.Vat[n], 0) << "group " << n;
  }
};

TEST_F(ProgrammingE2E, DepartmentAndPluReadBack) {
  ProgramArticles();
  TDepartmentSum dep;
  ASSERT_TRUE(Dev.GetDepartmentSum(5, dep)) << Dev.LastErrorText;
  EXPECT_EQ(dep.ExitCode, 'P');
  EXPECT_EQ(dep.TaxGroup, kB);
  EXPECT_EQ(dep.Text1, "BREAD");
  EXPECT_EQ(dep.Text2, "WHITE");
  EXPECT_EQ(dep.TotalSales, 0);

  TPluData plu;
  ASSERT_TRUE(Dev.GetPluData(12, plu)) << Dev.LastErrorText;
  EXPECT_EQ(plu.PluNo, 12);
  EXPECT_EQ(plu.PluName, "MILK, 1L");
  EXPECT_EQ(plu.VatGroup, kA);
  EXPECT_EQ(plu.GroupNom, 5);
  EXPECT_DOUBLE_EQ(plu.UnitPrice, 2.5);
  EXPECT_DOUBLE_EQ(plu.AvailQtty, 10);
  EXPECT_DOUBLE_EQ(plu.Sold, 0);

  ASSERT_TRUE(Dev.DeletePlu(12)) << Dev.LastErrorText;
  ASSERT_TRUE(Dev.GetPluData(12, plu)) << Dev.LastErrorText;
  EXPECT_EQ(plu.PluNo, -1);
  // Deleting what is gone is refused with a plain false.
  EXPECT_FALSE(Dev.DeletePlu(12));
  EXPECT_EQ(Dev.LastErrorCode, 0);
  EXPECT_EQ(Dev.LastErrorText, "");
}

TEST_F(ProgrammingE2E, HeaderLinesBarcodeClockOperatorAndPayName) {
  const std::string long40 = "THE SHOP ON THE CORNER OF MAIN STREET 12";
  for (std::uint16_t line = 0; line < 8; ++line) {
    const std::string text = line == 2 ? long40 : "LINE " + std::to_string(line);
    ASSERT_TRUE(Dev.SetHeaderLine(line, text)) << Dev.LastErrorText;
  }
  for (std::int32_t line = 0; line < 8; ++line) {
    std::string text;
    ASSERT_TRUE(Dev.GetHeaderLine(line, text)) << Dev.LastErrorText;
    EXPECT_EQ(text, line == 2 ? long40.substr(0, 36) : "LINE " + std::to_string(line));
  }

  ASSERT_TRUE(Dev.SetBarcodeHeight(10)) << Dev.LastErrorText;
  std::int32_t mm = 0;
  ASSERT_TRUE(Dev.GetBarcodeHeight(mm)) << Dev.LastErrorText;
  EXPECT_EQ(mm, 10);
  EXPECT_FALSE(Dev.SetBarcodeHeight(31));
  EXPECT_EQ(Dev.LastErrorText, "Invalid input data. [Height]31mm/248px");

  TDateTime when = 0, read = 0;
  ASSERT_TRUE(TryEncodeDateTime({2026, 12, 7, 9, 5, 0, 0}, when));
  ASSERT_TRUE(Dev.SetDateTime(when)) << Dev.LastErrorText;
  ASSERT_TRUE(Dev.GetFPR_DateTime(read)) << Dev.LastErrorText;
  EXPECT_EQ(FormatDateTimeShort(read, Dev.Regional), "07-12-26 09:05");

  ASSERT_TRUE(Dev.SetOperator(3, "1234", "  ANNA ")) << Dev.LastErrorText;
  EXPECT_EQ(Sim.Device().Snapshot().Operators[3].Name, "ANNA");

  ASSERT_TRUE(Dev.SetPayName(2, " CARD ")) << Dev.LastErrorText;
  std::string name;
  ASSERT_TRUE(Dev.GetPayTypeName(2, name)) << Dev.LastErrorText;
  EXPECT_EQ(name, "CARD");
}

TEST_F(ProgrammingE2E, InvoiceRanges) {
  std::int64_t start = 100, end = 200, current = 0;
  ASSERT_TRUE(Dev.SetInvoiceRange(false, start, end)) << Dev.LastErrorText;
  EXPECT_EQ(start, 100);
  EXPECT_EQ(end, 200);
  start = 5, end = 50;
  ASSERT_TRUE(Dev.SetInvoiceRange(true, start, end)) << Dev.LastErrorText;

  ASSERT_TRUE(Dev.GetInvoiceRange(false, start, end, current)) << Dev.LastErrorText;
  EXPECT_EQ(start, 100);
  EXPECT_EQ(end, 200);
  EXPECT_EQ(current, 100);
  ASSERT_TRUE(Dev.GetInvoiceRange(true, start, end, current)) << Dev.LastErrorText;
  EXPECT_EQ(start, 5);
  EXPECT_EQ(end, 50);
  EXPECT_EQ(current, 5);

  // A reversed range never reaches the device.
  const int sent = Sim.Device().ExecutedCount(0x42);
  start = 9, end = 3;
  EXPECT_FALSE(Dev.SetInvoiceRange(false, start, end));
  EXPECT_EQ(Dev.LastErrorText, "Invalid input data. [InvEnd]");
  EXPECT_EQ(Sim.Device().ExecutedCount(0x42), sent);
}

TEST_F(ProgrammingE2E, GeneralSettings) {
  TGeneralPRNSettings set;
  set.Multiplier = 1;
  set.Decimals = 2;
  set.CurrencyName = "EUR";
  set.TaxEnabled[1] = set.TaxEnabled[2] = true;
  set.TaxVals[1] = 20;
  set.TaxVals[2] = 9;
  ASSERT_TRUE(Dev.SetGeneralPRNSettings(set)) << Dev.LastErrorText;

  TGeneralPRNSettings got;
  ASSERT_TRUE(Dev.GetGeneralPRNSettings(got)) << Dev.LastErrorText;
  EXPECT_EQ(got.Multiplier, 1);
  EXPECT_EQ(got.Decimals, 2);
  EXPECT_EQ(got.CurrencyName, "EUR");
  EXPECT_EQ(got.TaxEnabled, set.TaxEnabled);
  EXPECT_EQ(got.TaxVals, set.TaxVals);

  // The device takes at most three decimals.
  set.Decimals = 5;
  EXPECT_FALSE(Dev.SetGeneralPRNSettings(set));
  EXPECT_EQ(Dev.LastErrorCode, 205);
  EXPECT_EQ(Dev.LastErrorText.rfind("Syntax error in command. [0/0]", 0), 0u);
}

TEST_F(ProgrammingE2E, CashInAndOut) {
  ASSERT_TRUE(Dev.ImportExportAmount(100)) << Dev.LastErrorText;
  ASSERT_TRUE(Dev.ImportExportAmount(-30)) << Dev.LastErrorText;
  EXPECT_EQ(Sim.Device().CashSum(), 7000);

  EXPECT_FALSE(Dev.ImportExportAmount(-100));
  EXPECT_EQ(Dev.LastErrorCode, 207);
  EXPECT_EQ(Dev.LastErrorText, "Lack of funds. 70.00");
  EXPECT_EQ(Sim.Device().CashSum(), 7000);

  ASSERT_TRUE(Dev.ImportExportAmount(-70)) << Dev.LastErrorText;
  EXPECT_EQ(Sim.Device().CashSum(), 0);
}

TEST_F(ProgrammingE2E, DailyReportsGiveTheBookedTotals) {
  ProgramArticles();
  const std::int64_t closure = Sim.Device().Closure();
  BookReceipt();

  ExpectTotals(Report(&TBaseDevice::PrintDailyReport, false), closure, 17.50, 11.00);
  TDepartmentSum dep;
  ASSERT_TRUE(Dev.GetDepartmentSum(5, dep)) << Dev.LastErrorText;
  // The department sale and the PLU, which belongs to department 5.
  EXPECT_EQ(dep.TotalSales, 2);
  EXPECT_DOUBLE_EQ(dep.TotalSum, 18.50);
  TPluData plu;
  ASSERT_TRUE(Dev.GetPluData(12, plu)) << Dev.LastErrorText;
  EXPECT_DOUBLE_EQ(plu.Sold, 3);
  EXPECT_DOUBLE_EQ(plu.TotalSum, 7.50);
  EXPECT_DOUBLE_EQ(plu.AvailQtty, 7);

  // The X report left the day alone; the Z report gives the same and zeroes it.
  ExpectTotals(Report(&TBaseDevice::PrintDailyReportByDepartments, true), closure, 17.50, 11.00);
  EXPECT_EQ(Sim.Device().Closure(), closure + 1);
  ExpectTotals(Report(&TBaseDevice::PrintDailyReportByDepartmentsAndPlu, false), closure + 1, 0, 0);

  // The fiscal-memory reports cover the closure just written.
  EXPECT_TRUE(Dev.PrintFMReportByBlock(false, static_cast<std::uint32_t>(closure), 0))
      << Dev.LastErrorText;
  TDateTime since = 0;
  ASSERT_TRUE(TryEncodeDate(2000, 1, 1, since));
  EXPECT_TRUE(Dev.PrintFMReportByDate(true, since, 0)) << Dev.LastErrorText;
}

}  // namespace
