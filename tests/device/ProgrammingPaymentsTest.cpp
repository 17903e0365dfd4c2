// Payment names (55H), invoice range (42H), general settings (53H), cash in/out (46H).

#include <gtest/gtest.h>

#include "ProgrammingTestCase.h"

namespace {

using namespace prog_test;
using TCall = std::function<bool(TBaseDevice&)>;

const TRegionalSettings kComma{',', ':'};

TCall PayName(std::uint32_t type, std::string name) {
  return [=](TBaseDevice& dev) { return dev.SetPayName(type, name); };
}

TEST(ProgrammingPayName, LettersTrimmingAndAnswers) {
  const std::string letters = "?PNCDIJKLPPP";  // types 1..11; 0 and others give P
  for (std::uint32_t type : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u, 4294967295u}) {
    const char letter = type >= 1 && type <= 11 ? letters[type] : 'P';
    RunProgCase(Sends("type " + std::to_string(type), PayName(type, " \tCARD "), 0x55,
                      std::string(1, letter) + ",CARD", "P"));
  }
  RunProgCases({
      Sends("P with more", PayName(2, "CARD"), 0x55, "N,CARD", "P,CARD"),
      // A refusal is a plain false with nothing recorded.
      Fails("F", PayName(2, "CARD"), 0x55, "N,CARD", "F", StatusWith(), 0, ""),
      Fails("empty", PayName(2, "CARD"), 0x55, "N,CARD", "", StatusWith(), 0, ""),
      Fails("status", PayName(2, "CARD"), 0x55, "N,CARD", "P", StatusWith({{1, 3}, {2, 0}}), 221,
            Msg(221) + "[1/3]"),
  });
}

struct TRangeCase {
  std::string Name;
  bool Credit;
  std::string Data;
  std::string Answer;
  TDataBuffer Status;
  int Code;
  std::string Text;
  std::int64_t Start, End, Current;
};

void ExpectRange(const TScriptedDevice& dev, const TRangeCase& c, bool ok) {
  EXPECT_EQ(ok, c.Code == 0);
  ASSERT_EQ(dev.Requests.size(), 1u);
  EXPECT_EQ(dev.Requests[0].Cmd, 0x42);
  EXPECT_EQ(dev.Requests[0].DataText(), c.Data);
  EXPECT_EQ(dev.LastErrorCode, c.Code);
  EXPECT_EQ(dev.LastErrorText, c.Text);
}

TEST(ProgrammingInvoiceRange, Get) {
  const TRangeCase cases[] = {
      {"invoices", false, "", "1,1000,5", StatusWith(), 0, "", 1, 1000, 5},
      {"credit notes", true, "S", "1,1000,5", StatusWith(), 0, "", 1, 1000, 5},
      {"basic status check only", false, "", "1,1000,5", StatusWith({{1, 4}}), 0, "", 1, 1000, 5},
      {"syntax error", false, "", "1,1000,5", StatusWith({{0, 0}, {2, 0}}), 205, Msg(205) + "[0/0]",
       0, 0, 0},
      {"two fields", false, "", "1,1000", StatusWith(), 200, Msg(200), 0, 0, 0},
      {"bad start", false, "", "X,1000,5", StatusWith(), 201, Msg(201) + "[InvStart]", 0, 0, 0},
      {"bad end", false, "", "1,Y,5", StatusWith(), 201, Msg(201) + "[InvEnd]", 1, 0, 0},
      {"bad current", true, "S", "1,1000,Z", StatusWith(), 201, Msg(201) + "[InInvCurrentvEnd]", 1,
       1000, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TScriptedDevice dev;
    dev.Answer(c.Answer, c.Status);
    std::int64_t start = -1, end = -1, current = -1;
    ExpectRange(dev, c, dev.GetInvoiceRange(c.Credit, start, end, current));
    EXPECT_EQ(start, c.Start);
    EXPECT_EQ(end, c.End);
    EXPECT_EQ(current, c.Current);
  }
}

// The caller sends 1 to 1000; Start and End are what it holds afterwards.
TEST(ProgrammingInvoiceRange, Set) {
  const TRangeCase cases[] = {
      {"invoices", false, "1,1000", "7,900", StatusWith(), 0, "", 7, 900, 0},
      {"credit notes", true, "S,1,1000", "1,1000", StatusWith(), 0, "", 1, 1000, 0},
      {"non-numeric start kept", false, "1,1000", "X,900", StatusWith(), 0, "", 1, 900, 0},
      {"empty answer kept", false, "1,1000", "", StatusWith(), 0, "", 1, 1000, 0},
      {"extended status", false, "1,1000", "7,900", StatusWith({{1, 2}}), 222, Msg(222) + "[1/2]",
       1, 1000, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TScriptedDevice dev;
    dev.Answer(c.Answer, c.Status);
    std::int64_t start = 1, end = 1000;
    ExpectRange(dev, c, dev.SetInvoiceRange(c.Credit, start, end));
    EXPECT_EQ(start, c.Start);
    EXPECT_EQ(end, c.End);
  }
}

TCall Range(std::int64_t start, std::int64_t end) {
  return [=](TBaseDevice& dev) {
    std::int64_t s = start, e = end;
    return dev.SetInvoiceRange(false, s, e);
  };
}

TEST(ProgrammingInvoiceRange, SetLimits) {
  RunProgCases({
      Sends("highest", Range(1, 99999999999), 0x42, "1,99999999999"),
      Sends("no lower bound", Range(-5, 3), 0x42, "-5,3"),
      Refuses("reversed", Range(5, 3), "[InvEnd]"),
      Refuses("start too high", Range(100000000000, 100000000001), "[InvStart]"),
      Refuses("end too high", Range(1, 100000000000), "[InvEnd]"),
  });
}

TCall Settings(std::function<void(TGeneralPRNSettings&)> change = {}) {
  TGeneralPRNSettings s;
  s.Multiplier = 1;
  s.Decimals = 2;
  s.CurrencyName = "EUR";
  s.TaxEnabled[1] = s.TaxEnabled[2] = true;
  s.TaxVals[1] = 20;
  s.TaxVals[2] = 9;
  if (change) change(s);
  return [=](TBaseDevice& dev) { return dev.SetGeneralPRNSettings(s); };
}

TEST(ProgrammingGeneralSettings, RequestsAndAnswers) {
  const std::string euro = "1,2,EUR,11000000,20.00,9.00,0.00,0.00,0.00,0.00,0.00,0.00";
  auto lastGroup = [](TGeneralPRNSettings& s) {
    s.TaxEnabled[2] = false;
    s.TaxEnabled[8] = true;
    s.TaxVals[8] = 7.125;
  };
  const TDataBuffer noPaper = StatusWith({{2, 0}});
  RunProgCases({
      Sends("euro", Settings(), 0x53, euro, euro),
      Sends("last group", Settings(lastGroup), 0x53,
            "1,2,EUR,10000001,20.00,9.00,0.00,0.00,0.00,0.00,0.00,7.13", euro),
      Sends("comma separator", Settings(), 0x53,
            "1,2,EUR,11000000,20,00,9,00,0,00,0,00,0,00,0,00,0,00,0,00",
            "1,2,EUR,11,20,9,0,0,0,0,0,0", kComma),
      // Errors carry the description of the other set conditions.
      Fails("nine fields", Settings(), 0x53, euro, "1,2,EUR,11,20.00,9.00,0,0,0", noPaper, 200,
            Msg(200) + "  " + Msg(210)),
      Fails("bad multiplier", Settings(), 0x53, euro, "x" + euro.substr(1), StatusWith(), 201,
            Msg(201) + "[CaMultipliersh] "),
      Fails("bad decimals", Settings(), 0x53, euro, "1,y" + euro.substr(3), StatusWith(), 201,
            Msg(201) + "[Decimals] "),
      Fails("bad rate", Settings(), 0x53, euro, euro.substr(0, euro.size() - 4) + "z", noPaper, 201,
            Msg(201) + "[PRNSettings.TaxVals]  " + Msg(210)),
      Fails("status", Settings(), 0x53, euro, euro, StatusWith({{0, 1}, {0, 0}}), 205,
            Msg(205) + "[0/0]  " + Msg(204)),
  });
}

TCall Cash(double amount) {
  return [=](TBaseDevice& dev) { return dev.ImportExportAmount(amount); };
}

TEST(ProgrammingCash, RequestsAndAnswers) {
  const TDataBuffer ok = StatusWith();
  RunProgCases({
      Sends("in", Cash(12.5), 0x46, "12.50", "P,112.50,12.50,0"),
      Sends("out", Cash(-50), 0x46, "-50.00", "P,80.00,0,50.00"),
      Sends("accepted beyond the cash", Cash(-50), 0x46, "-50.00", "P,30.00,0,50.00"),
      Fails("lack of funds", Cash(-50), 0x46, "-50.00", "F,30.00,0,0", ok, 207, Msg(207) + "30.00"),
      Fails("lack of funds, comma", Cash(-50), 0x46, "-50,00", "F,30,0,0", ok, 207,
            Msg(207) + "30,00", kComma),
      Fails("denied", Cash(-50), 0x46, "-50.00", "F,80.00,0,0", ok, 206, Msg(206)),
      Fails("denied, exactly the cash", Cash(-30), 0x46, "-30.00", "F,30.00,0,0", ok, 206,
            Msg(206)),
      Fails("denied, cash in", Cash(50), 0x46, "50.00", "F,30.00,0,0", ok, 206, Msg(206)),
      Fails("two fields", Cash(10), 0x46, "10.00", "P,10", ok, 200, Msg(200)),
      Fails("bad cash", Cash(10), 0x46, "10.00", "F,X,0,0", ok, 201, Msg(201) + "[CashSum]"),
      Fails("bad in", Cash(10), 0x46, "10.00", "P,1,X,0", ok, 201, Msg(201) + "[ServIn]"),
      Fails("bad out", Cash(10), 0x46, "10.00", "P,1,0,X", ok, 201, Msg(201) + "[ServOut]"),
  });
}

TEST(ProgrammingCash, StatusOrder) {
  auto failing = [](TDataBuffer status, int code, std::string detail) {
    return Fails("code " + std::to_string(code), Cash(1), 0x46, "1.00", "P,1,0,0", status, code,
                 Msg(code) + detail);
  };
  RunProgCases({
      failing(StatusWith({{0, 1}, {2, 5}}), 204, "[0/1]"),
      failing(StatusWith({{1, 1}, {2, 5}}), 216, "[1/1]"),
      failing(StatusWith({{2, 5}, {2, 3}, {2, 0}}), 215, "[2/5]"),
      failing(StatusWith({{2, 3}, {2, 0}}), 217, "[2/3]"),
      failing(StatusWith({{2, 0}}), 210, "[2/0]"),
  });
}

TEST(ProgrammingPayments, TransportFailureKeepsItsErrorAndPresets) {
  TScriptedDevice dev;
  dev.Fail(103, "Fiscal printer does not respond. ");
  std::int64_t start = 9, end = 9, current = 9;
  EXPECT_FALSE(dev.GetInvoiceRange(false, start, end, current));
  EXPECT_EQ(dev.LastErrorCode, 103);
  EXPECT_EQ(dev.LastErrorText, "Fiscal printer does not respond. ");
  EXPECT_EQ(start + end + current, 0);
}

}  // namespace
