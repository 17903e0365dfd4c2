// Register reads: 58H, 6BH R, 55H, 53H, 2BH I and IB.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "GeneralSettingsAnswer.h"
#include "InfoTestSupport.h"

namespace {

using namespace info_test;

const char kGroupA = '\xC0';
const char kGroupB = '\xC1';

struct TDepartmentCase {
  std::string Answer;
  char Decimal;
  char ExitCode;
  char TaxGroup;
  std::int64_t CountSales;
  double RecSum;
  std::int64_t TotalSales;
  double TotalSum;
  std::string Text1;
  std::string Text2;
};

TEST(InfoDepartmentSum, SplitsCountersAndTheTwoTexts) {
  const TDepartmentCase cases[] = {
      {"P\xC1,12,34.50,120,1234.50,BREAD\tFRESH", '.', 'P', kGroupB, 12, 34.5, 120, 1234.5, "BREAD",
       "FRESH"},
      {"P\xC1,12,34.50,120,1234.50,BREAD FRESH", '.', 'P', kGroupB, 12, 34.5, 120, 1234.5,
       "BREAD FRESH", ""},
      // Text1 keeps its trailing blanks; Text2 loses control characters and blanks.
      {"P\xC1,1,2,3,4,BREAD \t  FRESH \x7F ", '.', 'P', kGroupB, 1, 2, 3, 4, "BREAD ",
       "FRESH \x7F"},
      {"P\xC1,1,2,3,4,BREAD\t\t", '.', 'P', kGroupB, 1, 2, 3, 4, "BREAD", ""},
      // Unreadable numbers are zeros, an empty group field keeps the preset.
      {"P,x,y,z,w,T", '.', 'P', kGroupA, 0, 0, 0, 0, "T", ""},
      {"P\xC1,12,34.50,120,1234.50,BREAD", ',', 'P', kGroupB, 12, 0, 120, 0, "BREAD", ""},
      {"F", '.', 'F', kGroupA, 0, 0, 0, 0, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Answer);
    TScriptedDevice dev;
    dev.Regional.DecimalSeparator = c.Decimal;
    dev.Answer(c.Answer);
    TDepartmentSum sum{'?', kGroupB, 9, 9, 9, 9, "old1", "old2"};
    EXPECT_TRUE(dev.GetDepartmentSum(5, sum));
    EXPECT_EQ(dev.LastErrorCode, 0);
    EXPECT_EQ(sum.ExitCode, c.ExitCode);
    EXPECT_EQ(sum.TaxGroup, c.TaxGroup);
    EXPECT_EQ(sum.CountSales, c.CountSales);
    EXPECT_DOUBLE_EQ(sum.RecSum, c.RecSum);
    EXPECT_EQ(sum.TotalSales, c.TotalSales);
    EXPECT_DOUBLE_EQ(sum.TotalSum, c.TotalSum);
    EXPECT_EQ(sum.Text1, c.Text1);
    EXPECT_EQ(sum.Text2, c.Text2);
    EXPECT_EQ(dev.Requests.at(0).Cmd, 0x58);
    EXPECT_EQ(dev.Requests.at(0).DataText(), "5");
  }
}

TEST(InfoDepartmentSum, EmptyAnswerAndStatusFail) {
  const struct {
    std::string Answer;
    TDataBuffer Status;
    std::int32_t Code;
    std::string Error;
  } cases[] = {
      {"", StatusWith({kFmErrorBit}), 200, ErrStatus(Msg::k200, "[ExitCode]", kFmErrorText)},
      {"P\xC1,1,2,3,4,T", StatusWith({{1, 1}}), 216, ErrStatus(Msg::k216, "[1/1]")},
  };
  for (const auto& c : cases) {
    TScriptedDevice dev;
    dev.Answer(c.Answer, c.Status);
    TDepartmentSum sum{'?', kGroupB, 9, 9, 9, 9, "old1", "old2"};
    ExpectOutcome(dev, dev.GetDepartmentSum(12, sum), false, c.Code, c.Error);
    EXPECT_EQ(sum.ExitCode, '?');
    EXPECT_EQ(sum.TaxGroup, kGroupA);
    EXPECT_EQ(sum.CountSales, 0);
    EXPECT_EQ(sum.Text1, "");
    EXPECT_EQ(dev.Requests.at(0).DataText(), "12");
  }
}

struct TPluCase {
  std::string Answer;
  bool Ok;
  std::int32_t PluNo;
  char VatGroup;
  std::int32_t GroupNom;
  std::array<double, 4> Values;  // UnitPrice, TotalSum, Sold, AvailQtty
  std::string Name;
  std::int32_t Code;
  std::string Error;
};

TEST(InfoPluData, ReadsFieldsThenTheNameWithCommas) {
  const TPluCase cases[] = {
      {"P15,\xC1,1,2.50,125.00,50.000,10.000,MILK, 1L",
       true,
       15,
       kGroupB,
       1,
       {2.5, 125, 50, 10},
       "MILK, 1L",
       0,
       ""},
      {"P15,\xC1,1,2.50,125.00,50.000,10.000,  MILK ",
       true,
       15,
       kGroupB,
       1,
       {2.5, 125, 50, 10},
       "  MILK ",
       0,
       ""},
      {"F", true, -1, 0, 1, {0, 0, 0, 0}, "", 0, ""},
      {"", false, -1, 0, 1, {0, 0, 0, 0}, "", 201, ErrNoStatus(Msg::k201, "[No data recieved]")},
      {"Px,\xC1", false, -1, 0, 1, {0, 0, 0, 0}, "", 201, ErrNoStatus(Msg::k201, "[PluNo]")},
      {"P15,\xC1,g,2.50",
       false,
       15,
       kGroupB,
       1,
       {0, 0, 0, 0},
       "",
       201,
       ErrNoStatus(Msg::k201, "[GroupNom]")},
      {"P15,\xC1,3,u",
       false,
       15,
       kGroupB,
       3,
       {0, 0, 0, 0},
       "",
       201,
       ErrNoStatus(Msg::k201, "[UnitPrice]")},
      {"P15,\xC1,3,1,t",
       false,
       15,
       kGroupB,
       3,
       {1, 0, 0, 0},
       "",
       201,
       ErrNoStatus(Msg::k201, "[TotalSum]")},
      {"P15,\xC1,3,1,2,s",
       false,
       15,
       kGroupB,
       3,
       {1, 2, 0, 0},
       "",
       201,
       ErrNoStatus(Msg::k201, "[Sold]")},
      {"P15,\xC1,3,1,2,3",
       false,
       15,
       kGroupB,
       3,
       {1, 2, 3, 0},
       "",
       201,
       ErrNoStatus(Msg::k201, "[AvailQtty]")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Answer);
    TScriptedDevice dev;
    dev.Answer(c.Answer, StatusWith({kFmErrorBit}));
    TPluData plu{7, "old", kGroupA, 7, 7, 7.5, 7, 7, 7};
    ExpectOutcome(dev, dev.GetPluData(15, plu), c.Ok, c.Code, c.Error);
    EXPECT_EQ(plu.PluNo, c.PluNo);
    EXPECT_EQ(plu.VatGroup, c.VatGroup);
    EXPECT_EQ(plu.GroupNom, c.GroupNom);
    EXPECT_DOUBLE_EQ(plu.UnitPrice, c.Values[0]);
    EXPECT_DOUBLE_EQ(plu.TotalSum, c.Values[1]);
    EXPECT_DOUBLE_EQ(plu.Sold, c.Values[2]);
    EXPECT_DOUBLE_EQ(plu.AvailQtty, c.Values[3]);
    EXPECT_DOUBLE_EQ(plu.Quantity, 7.5);
    EXPECT_EQ(plu.PluName, c.Name);
    EXPECT_EQ(dev.Requests.at(0).Cmd, 0x6B);
    EXPECT_EQ(dev.Requests.at(0).DataText(), "R15");
  }
}

TEST(InfoPayTypeName, LetterPerTypeAndNameAsSent) {
  const struct {
    std::int32_t Type;
    char Letter;
  } letters[] = {{1, 'P'}, {2, 'N'}, {3, 'C'},  {4, 'D'},  {5, 'I'}, {6, 'J'}, {7, 'K'},
                 {8, 'L'}, {9, 'P'}, {10, 'P'}, {11, 'P'}, {0, 'P'}, {-1, 'P'}};
  for (const auto& l : letters) {
    SCOPED_TRACE(l.Type);
    EXPECT_EQ(PayTypeLetter(l.Type), l.Letter);
    TScriptedDevice dev;
    dev.Answer("CARD 1");
    std::string name = "old";
    EXPECT_TRUE(dev.GetPayTypeName(l.Type, name));
    EXPECT_EQ(name, "CARD 1");
    EXPECT_EQ(dev.Requests.at(0).Cmd, 0x55);
    EXPECT_EQ(dev.Requests.at(0).DataText(), std::string(1, l.Letter));
  }
  TScriptedDevice dev;
  dev.Answer("");
  dev.Answer("CASH", StatusWith({{1, 4}, kFmErrorBit}));
  std::string name = "old";
  EXPECT_TRUE(dev.GetPayTypeName(1, name));
  EXPECT_EQ(name, "");
  name = "old";
  ExpectOutcome(dev, dev.GetPayTypeName(1, name), false, 220,
                ErrNoStatus("There is the destruction of RAM after switching.", "[1/4]"));
  EXPECT_EQ(name, "");
}

struct TSettingsCase {
  std::string Answer;
  char Decimal;
  bool Ok;
  std::int32_t Multiplier;
  std::int32_t Decimals;
  std::string Currency;
  std::array<bool, 8> Enabled;
  std::array<double, 8> Rates;
  std::int32_t Code;
  std::string Error;
};

const std::array<bool, 8> kNone{};
const std::array<bool, 8> kFirstTwo{true, true};
const std::array<double, 8> kSevens{7, 7, 7, 7, 7, 7, 7, 7};

TEST(InfoGeneralSettings, ReadsTheSettingsAnswer) {
  const TSettingsCase cases[] = {
      {"1,2,EUR,11000000,20.00,9.00,0,0,0,0,0,0",
       '.',
       true,
       1,
       2,
       "EUR",
       kFirstTwo,
       {20, 9, 0, 0, 0, 0, 0, 0},
       0,
       ""},
      {"1,2,EUR,11,20.00,9.00,0,0,0,0,0,0",
       '.',
       true,
       1,
       2,
       "EUR",
       kFirstTwo,
       {20, 9, 0, 0, 0, 0, 0, 0},
       0,
       ""},
      {"100,0,BGN,01X00001,1,2,3,4,5,6,7,8",
       '.',
       true,
       100,
       0,
       "BGN",
       {false, true, false, false, false, false, false, true},
       {1, 2, 3, 4, 5, 6, 7, 8},
       0,
       ""},
      {"1,2,EUR,11000000,20.00,9.00,0,0,0", '.', false, 7, 7, "old", kNone, kSevens, 200,
       ErrStatus(Msg::k200, "")},
      {"1,2,EUR,,,11000000,20.00,9.00,0,0", '.', false, 7, 7, "old", kNone, kSevens, 200,
       ErrStatus(Msg::k200, "")},
      {"x,2,EUR,11000000,20.00,9.00,0,0,0,0,0,0", '.', false, 7, 7, "old", kNone, kSevens, 201,
       ErrStatus(Msg::k201, "[CaMultipliersh]")},
      {"1,y,EUR,11000000,20.00,9.00,0,0,0,0,0,0", '.', false, 1, 7, "old", kNone, kSevens, 201,
       ErrStatus(Msg::k201, "[Decimals]")},
      // Ten fields pass the count; the missing rates then fail to convert.
      {"1,2,EUR,11000000,20.00,9.00,0,0,0,0",
       '.',
       false,
       1,
       2,
       "EUR",
       kNone,
       {20, 9, 0, 0, 0, 0, 7, 7},
       201,
       ErrStatus(Msg::k201, "[PRNSettings.TaxVals]")},
      {"1,2,EUR,11000000,20.00,9.00,0,0,0,0,0,z",
       '.',
       false,
       1,
       2,
       "EUR",
       kNone,
       {20, 9, 0, 0, 0, 0, 0, 7},
       201,
       ErrStatus(Msg::k201, "[PRNSettings.TaxVals]")},
      {"1,2,EUR,11000000,20.00,9.00,0,0,0,0,0,0", ',', false, 1, 2, "EUR", kNone, kSevens, 201,
       ErrStatus(Msg::k201, "[PRNSettings.TaxVals]")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Answer);
    TScriptedDevice dev;
    dev.Regional.DecimalSeparator = c.Decimal;
    // CheckStatus only: a fiscal-regime flag does not stop the read.
    dev.Answer(c.Answer, StatusWith({{1, 1}}));
    TGeneralPRNSettings s;
    s.Multiplier = s.Decimals = 7;
    s.CurrencyName = "old";
    for (int i = 1; i <= 8; ++i) s.TaxVals[i] = 7;
    ExpectOutcome(dev, dev.GetGeneralPRNSettings(s), c.Ok, c.Code,
                  c.Ok ? "" : c.Error + " " + Msg::k216 + " ");
    EXPECT_EQ(s.Multiplier, c.Multiplier);
    EXPECT_EQ(s.Decimals, c.Decimals);
    EXPECT_EQ(s.CurrencyName, c.Currency);
    for (int i = 1; i <= 8; ++i) {
      EXPECT_EQ(s.TaxEnabled[i], c.Enabled[i - 1]) << i;
      EXPECT_DOUBLE_EQ(s.TaxVals[i], c.Rates[i - 1]) << i;
    }
    EXPECT_EQ(dev.Requests.at(0).Cmd, 0x53);
    EXPECT_TRUE(dev.Requests.at(0).Data.empty());
  }
}

TEST(InfoGeneralSettings, StatusErrorsCarryTheStatus) {
  TScriptedDevice dev;
  dev.Answer("1,2,EUR,11000000,20.00,9.00,0,0,0,0,0,0", StatusWith({{0, 1}, kFmErrorBit}));
  TGeneralPRNSettings s;
  ExpectOutcome(dev, dev.GetGeneralPRNSettings(s), false, 204,
                ErrStatus(Msg::k204, "[0/1]", kFmErrorText));
}

TEST(InfoHeaderLine, SendsTheLineNumberAndTakesTheWholeAnswer) {
  for (int line = 0; line <= 7; ++line) {
    TScriptedDevice dev;
    dev.Answer(" HEADER, LINE " + std::to_string(line), StatusWith({{1, 1}}));
    std::string text;
    EXPECT_TRUE(dev.GetHeaderLine(line, text));
    EXPECT_EQ(text, " HEADER, LINE " + std::to_string(line));
    EXPECT_EQ(dev.Requests.at(0).Cmd, 0x2B);
    EXPECT_EQ(dev.Requests.at(0).DataText(), "I" + std::to_string(line));
  }
  TScriptedDevice dev;
  dev.Answer("X", StatusWith({{0, 0}, kFmErrorBit}));
  std::string text;
  ExpectOutcome(dev, dev.GetHeaderLine(1, text), false, 205,
                ErrStatus(Msg::k205, "[0/0]", kFmErrorText));
}

TEST(InfoBarcodeHeight, DotsToMillimetresHalvesToEven) {
  const struct {
    std::string Answer;
    bool Ok;
    std::int32_t Mm;
    std::int32_t Code;
    std::string Error;
  } cases[] = {
      {"80", true, 10, 0, ""}, {"84", true, 10, 0, ""},
      {"92", true, 12, 0, ""}, {"85", true, 11, 0, ""},
      {"83", true, 10, 0, ""}, {"4", true, 0, 0, ""},
      {"12", true, 2, 0, ""},  {"8O", false, -1, 201, ErrNoStatus(Msg::k201, "[Barcode height]")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Answer);
    TScriptedDevice dev;
    dev.Answer(c.Answer, StatusWith({kFmErrorBit}));
    std::int32_t mm = -1;
    ExpectOutcome(dev, dev.GetBarcodeHeight(mm), c.Ok, c.Code, c.Error);
    EXPECT_EQ(mm, c.Mm);
    EXPECT_EQ(dev.Requests.at(0).Cmd, 0x2B);
    EXPECT_EQ(dev.Requests.at(0).DataText(), "IB");
  }
  TScriptedDevice dev;
  dev.Answer("80", StatusWith({{1, 1}}));
  std::int32_t mm = -1;
  ExpectOutcome(dev, dev.GetBarcodeHeight(mm), false, 216, ErrNoStatus(Msg::k216, "[1/1]"));
}

TEST(InfoGeneralSettingsAnswer, SharedReaderRaisesTheTags) {
  TGeneralPRNSettings s;
  try {
    ParseGeneralPRNSettingsAnswer("1,2,EUR,1,1,1,1,1,1,1,1,x", s, TRegionalSettings{});
    FAIL() << "no exception";
  } catch (const ECmdException& e) {
    EXPECT_EQ(e.Code, 201);
    EXPECT_STREQ(e.what(), "[PRNSettings.TaxVals]");
  }
  EXPECT_NO_THROW(ParseGeneralPRNSettingsAnswer("1,2,EUR,1,1,1,1,1,1,1,1,1", s, {}));
  EXPECT_TRUE(s.TaxEnabled[1]);
  EXPECT_FALSE(s.TaxEnabled[2]);
}

}  // namespace
