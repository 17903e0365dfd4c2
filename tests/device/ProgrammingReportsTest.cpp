// Daily reports (45H, 75H, 76H) and fiscal-memory reports (49H/5FH, 5EH/4FH).

#include <gtest/gtest.h>

#include <array>

#include "ProgrammingTestCase.h"

namespace {

using namespace prog_test;
using TCall = std::function<bool(TBaseDevice&)>;

using TDailyFn = bool (TBaseDevice::*)(bool, std::int64_t&, double&, TTaxValues&);

const std::string kTenFields = "17,1234567,100,200,300,400,500,600,700,800";
const TRegionalSettings kComma{',', ':'};

TCall Daily(TDailyFn fn, bool zero) {
  return [fn, zero](TBaseDevice& d) {
    std::int64_t closure = 0;
    double total = 0;
    TTaxValues vat;
    return (d.*fn)(zero, closure, total, vat);
  };
}

TEST(ProgrammingDailyReport, FamilySendsFlagByteWithItsOwnCode) {
  const auto plain = &TBaseDevice::PrintDailyReport;
  const auto deps = &TBaseDevice::PrintDailyReportByDepartments;
  const auto plu = &TBaseDevice::PrintDailyReportByDepartmentsAndPlu;
  RunProgCases({
      Sends("45", Daily(plain, false), 0x45, "2", kTenFields),
      Sends("45 zero", Daily(plain, true), 0x45, "0", kTenFields),
      Sends("75", Daily(deps, false), 0x75, "2", kTenFields),
      Sends("75 zero", Daily(deps, true), 0x75, "0", kTenFields),
      Sends("76", Daily(plu, false), 0x76, "2", kTenFields),
      Sends("76 zero", Daily(plu, true), 0x76, "0", kTenFields),
      Fails("76 no paper", Daily(plu, true), 0x76, "0", kTenFields, StatusWith({{2, 0}}), 210,
            Msg(210) + "[2/0]"),
  });
}

// Outputs keep the caller's value (-1) where parsing did not reach them.
struct TDailyAnswerCase {
  std::string Name;
  std::string Answer;
  TDataBuffer Status;
  int Code;
  std::string Text;
  std::int64_t Closure;
  double Total;
  std::array<double, 8> Vat;
  TRegionalSettings Regional{};
};

TEST(ProgrammingDailyReport, AnswerCases) {
  const std::array<double, 8> all{1, 2, 3, 4, 5, 6, 7, 8};
  const std::array<double, 8> none{-1, -1, -1, -1, -1, -1, -1, -1};
  const std::array<double, 8> firstTwo{1, 2, -1, -1, -1, -1, -1, -1};
  const TDailyAnswerCase cases[] = {
      {"ten fields", kTenFields, StatusWith(), 0, "", 17, 12345.67, all},
      {"ten fields, comma separator", kTenFields, StatusWith(), 0, "", 17, 12345.67, all, kComma},
      {"twelve fields", kTenFields + ",900,1000", StatusWith(), 0, "", 17, 12345.67, all},
      {"nine fields", "17,1234567,100,200,300,400,500,600,700", StatusWith(), 200, Msg(200), -1, -1,
       none},
      {"empty fields do not count", "17,,1234567,100,200,300,400,500,600,700", StatusWith(), 200,
       Msg(200), -1, -1, none},
      {"bad closure", "X,1234567,100,200,300,400,500,600,700,800", StatusWith(), 201,
       Msg(201) + "[Closure]", -1, -1, none},
      {"bad total", "17,12a,100,200,300,400,500,600,700,800", StatusWith(), 201,
       Msg(201) + "[SumTOTAL]", 17, -1, none},
      {"bad third group", "17,1234567,100,200,x,400,500,600,700,800", StatusWith(), 201,
       Msg(201) + "[SumVatGroups[3]]", 17, 12345.67, firstTwo},
      {"no paper before syntax error", kTenFields, StatusWith({{2, 0}, {0, 0}}), 210,
       Msg(210) + "[2/0]", -1, -1, none},
      {"extended status check", kTenFields, StatusWith({{1, 4}}), 220, Msg(220) + "[1/4]", -1, -1,
       none},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TScriptedDevice dev;
    dev.Regional = c.Regional;
    dev.Answer(c.Answer, c.Status);
    std::int64_t closure = -1;
    double total = -1;
    TTaxValues vat;
    vat.Items.fill(-1);
    EXPECT_EQ(dev.PrintDailyReport(false, closure, total, vat), c.Code == 0);
    EXPECT_EQ(dev.LastErrorCode, c.Code);
    EXPECT_EQ(dev.LastErrorText, c.Text);
    EXPECT_EQ(closure, c.Closure);
    EXPECT_DOUBLE_EQ(total, c.Total);
    for (int n = 1; n <= 8; ++n) EXPECT_DOUBLE_EQ(vat[n], c.Vat[n - 1]) << "group " << n;
  }
}

TEST(ProgrammingDailyReport, TransportFailureKeepsItsErrorAndTheOutputs) {
  TScriptedDevice dev;
  dev.Fail(103, "Fiscal printer does not respond. ");
  std::int64_t closure = 5;
  double total = 6;
  TTaxValues vat;
  EXPECT_FALSE(dev.PrintDailyReportByDepartmentsAndPlu(true, closure, total, vat));
  EXPECT_EQ(dev.LastErrorCode, 103);
  EXPECT_EQ(dev.LastErrorText, "Fiscal printer does not respond. ");
  EXPECT_EQ(closure, 5);
  EXPECT_EQ(total, 6);
}

TDateTime Date(int y, int m, int d, double time = 0) {
  TDateTime v = 0;
  EXPECT_TRUE(TryEncodeDate(y, m, d, v));
  return v + time;
}

TCall Block(bool shortRep, std::uint32_t start, std::uint32_t end) {
  return [=](TBaseDevice& d) { return d.PrintFMReportByBlock(shortRep, start, end); };
}
TCall ByDate(bool shortRep, TDateTime start, TDateTime end) {
  return [=](TBaseDevice& d) { return d.PrintFMReportByDate(shortRep, start, end); };
}

TEST(ProgrammingFMReport, ByBlock) {
  RunProgCases({
      Sends("5 to 3", Block(false, 5, 3), 0x49, "3,5"),
      Sends("7 to 0", Block(true, 7, 0), 0x5F, "7"),
      Sends("4 to 4", Block(false, 4, 4), 0x49, "4,4"),
      Sends("3 to 5", Block(true, 3, 5), 0x5F, "3,5"),
      Sends("0 to 0", Block(false, 0, 0), 0x49, "0"),
      // The wire carries signed 32-bit numbers.
      Sends("highest", Block(false, 4294967295u, 0), 0x49, "-1"),
      Fails("no paper first", Block(false, 1, 2), 0x49, "1,2", "", StatusWith({{2, 0}, {0, 1}}),
            210, Msg(210) + "[2/0]"),
      Fails("extended", Block(true, 1, 2), 0x5F, "1,2", "", StatusWith({{1, 1}}), 216,
            Msg(216) + "[1/1]"),
  });
}

TEST(ProgrammingFMReport, ByDate) {
  const TDateTime mar1 = Date(2024, 3, 1), mar15 = Date(2024, 3, 15);
  RunProgCases({
      Sends("detailed", ByDate(false, mar1, mar15), 0x5E, "010324,150324"),
      Sends("short", ByDate(true, mar1, mar15), 0x4F, "010324,150324"),
      Sends("no end", ByDate(false, Date(2024, 3, 1, 0.75), 0), 0x5E, "010324"),
      Sends("one day", ByDate(true, mar15, mar15), 0x4F, "150324,150324"),
      Fails("no paper first", ByDate(false, mar1, mar15), 0x5E, "010324,150324", "",
            StatusWith({{2, 0}, {0, 0}}), 210, Msg(210) + "[2/0]"),
      Fails("extended", ByDate(false, mar1, mar15), 0x5E, "010324,150324", "", StatusWith({{1, 2}}),
            222, Msg(222) + "[1/2]"),
      Refuses("end before start", ByDate(false, mar15, mar1), ""),
  });
}

}  // namespace
