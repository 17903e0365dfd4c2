// Fiscal memory and receipt counters: 61H, 44H, 67H, 41H, 6EH.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "InfoTestSupport.h"

namespace {

using namespace info_test;

using TEight = std::array<double, 8>;

void ExpectTax(const TTaxValues& v, const TEight& expected) {
  for (int i = 1; i <= 8; ++i) EXPECT_DOUBLE_EQ(v[i], expected[i - 1]) << "group " << i;
}

TTaxValues Filled(double value) {
  TTaxValues v;
  for (int i = 1; i <= 8; ++i) v[i] = value;
  return v;
}

TEST(InfoVatValues, EightRatesAsSent) {
  const struct {
    std::string Answer;
    TDataBuffer Status;
    char Decimal;
    bool Ok;
    TEight Values;
    std::int32_t Code;
    std::string Error;
  } cases[] = {
      {"20.00,20.00,9.00,0.00,0.00,0.00,0.00,0.00",
       StatusWith(),
       '.',
       true,
       {20, 20, 9, 0, 0, 0, 0, 0},
       0,
       ""},
      {"20,00;9",
       StatusWith(),
       ',',
       false,
       {7, 7, 7, 7, 7, 7, 7, 7},
       200,
       ErrStatus(Msg::k200, "")},
      {"20.00,20.00,9.00,0.00,0.00,0.00,0.00",
       StatusWith(),
       '.',
       false,
       {7, 7, 7, 7, 7, 7, 7, 7},
       200,
       ErrStatus(Msg::k200, "")},
      {"20.00,20.00,9.00,A,0.00,0.00,0.00,0.00",
       StatusWith({kFmErrorBit}),
       '.',
       false,
       {20, 20, 9, 7, 7, 7, 7, 7},
       201,
       ErrStatus(Msg::k201, "[Tax4]", kFmErrorText)},
      // With a comma as decimal separator the device's points do not read.
      {"20.00,20.00,9.00,0.00,0.00,0.00,0.00,0.00",
       StatusWith(),
       ',',
       false,
       {7, 7, 7, 7, 7, 7, 7, 7},
       201,
       ErrStatus(Msg::k201, "[Tax1]")},
      {"20.00,20.00,9.00,0.00,0.00,0.00,0.00,0.00",
       StatusWith({{1, 2}}),
       '.',
       false,
       {7, 7, 7, 7, 7, 7, 7, 7},
       222,
       ErrStatus("Committed Clearing RAM.", "[1/2]")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Answer);
    TScriptedDevice dev;
    dev.Regional.DecimalSeparator = c.Decimal;
    dev.Answer(c.Answer, c.Status);
    TTaxValues values = Filled(7);
    const bool result = dev.GetVATValues(values);
    ExpectOutcome(dev, result, c.Ok, c.Code, c.Error);
    ExpectTax(values, c.Values);
    EXPECT_EQ(dev.Requests.at(0).Cmd, 0x61);
    EXPECT_TRUE(dev.Requests.at(0).Data.empty());
  }
}

TEST(InfoFreeFmRecords, FirstFieldErrorsWithoutStatus) {
  const struct {
    std::string Answer;
    bool Ok;
    std::int32_t Count;
    std::int32_t Code;
    std::string Error;
  } cases[] = {
      {"1234", true, 1234, 0, ""},
      {"1234,5", true, 1234, 0, ""},
      {"", false, -1, 200, ErrNoStatus(Msg::k200, "")},
      {",,", false, -1, 200, ErrNoStatus(Msg::k200, "")},
      {"12x", false, -1, 201, ErrNoStatus(Msg::k201, "[cLogical]")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Answer);
    TScriptedDevice dev;
    // The set flag would show in a text built with the status bytes.
    dev.Answer(c.Answer, StatusWith({kFmErrorBit}));
    std::int32_t count = -1;
    const bool result = dev.GetFreeFMRecords(count);
    ExpectOutcome(dev, result, c.Ok, c.Code, c.Error);
    EXPECT_EQ(count, c.Count);
    EXPECT_EQ(dev.Requests.at(0).Cmd, 0x44);
  }
}

struct TReceiptCase {
  std::string Answer;
  bool Ok;
  bool CanVoid;
  TEight Amounts;
  bool IsInvoice;
  std::int64_t NextInvNo;
  double Total;
  std::int32_t Code;
  std::string Error;
};

const TReceiptCase kReceiptCases[] = {
    {"1,1000,250,0,0,0,0,0,0,0,57",
     true,
     true,
     {10, 2.5, 0, 0, 0, 0, 0, 0},
     false,
     57,
     12.5,
     0,
     ""},
    {"2,1000,250,0,0,0,0,0,0,1,57",
     true,
     false,
     {10, 2.5, 0, 0, 0, 0, 0, 0},
     true,
     57,
     12.5,
     0,
     ""},
    // Only the exact text "1" counts.
    {"01,1,1,1,1,1,1,1,1,01,99999999999",
     true,
     false,
     {.01, .01, .01, .01, .01, .01, .01, .01},
     false,
     99999999999,
     0.08,
     0,
     ""},
    {"1,1000,250,0,0,0,0,0,0,0",
     false,
     false,
     {9, 9, 9, 9, 9, 9, 9, 9},
     false,
     -1,
     0,
     200,
     ErrStatus(Msg::k200, "")},
    {"1,1000,x,0,0,0,0,0,0,1,57",
     false,
     true,
     {10, 9, 9, 9, 9, 9, 9, 9},
     false,
     -1,
     0,
     201,
     ErrStatus(Msg::k201, "[Tax2]")},
    {"1,1000,250,0,0,0,0,0,0,1,N",
     false,
     true,
     {10, 2.5, 0, 0, 0, 0, 0, 0},
     true,
     -1,
     0,
     201,
     ErrStatus(Msg::k201, "[NextInvNo]")},
};

TEST(InfoLastReceipt, ReadsFlagsAmountsAndNextInvoice) {
  for (const auto& c : kReceiptCases) {
    SCOPED_TRACE(c.Answer);
    TScriptedDevice dev;
    dev.Answer(c.Answer);
    bool canVoid = false;
    bool isInvoice = false;
    TTaxValues amounts = Filled(9);
    std::int64_t next = -1;
    const bool result = dev.GetLastReceiptInfo(canVoid, amounts, isInvoice, next);
    ExpectOutcome(dev, result, c.Ok, c.Code, c.Error);
    EXPECT_EQ(canVoid, c.CanVoid);
    ExpectTax(amounts, c.Amounts);
    EXPECT_EQ(isInvoice, c.IsInvoice);
    EXPECT_EQ(next, c.NextInvNo);
    EXPECT_EQ(dev.Requests.at(0).Cmd, 0x67);
    EXPECT_TRUE(dev.Requests.at(0).Data.empty());
  }
}

TEST(InfoLastReceipt, ReceiptTotalsSumTheGroups) {
  for (const auto& c : kReceiptCases) {
    SCOPED_TRACE(c.Answer);
    TScriptedDevice dev;
    dev.Answer(c.Answer);
    bool canVoid = false;
    bool isInvoice = false;
    double total = -1;
    const bool result = dev.GetReceiptTotals(canVoid, total, isInvoice);
    ExpectOutcome(dev, result, c.Ok, c.Code, c.Error);
    EXPECT_NEAR(total, c.Total, 1e-9);
    if (c.Ok) {
      EXPECT_EQ(canVoid, c.CanVoid);
      EXPECT_EQ(isInvoice, c.IsInvoice);
    }
  }
  TScriptedDevice dev;
  dev.Fail(103, "Fiscal printer does not respond. ");
  bool canVoid = false;
  bool isInvoice = false;
  double total = -1;
  EXPECT_FALSE(dev.GetReceiptTotals(canVoid, total, isInvoice));
  EXPECT_EQ(total, 0);
  EXPECT_EQ(dev.LastErrorCode, 103);
}

TEST(InfoTotalAmounts, UnreadableFieldsCountAsZero) {
  const struct {
    bool Turnover;
    std::string Answer;
    std::string Request;
    TEight Amounts;
  } cases[] = {
      {true, "100,200,300,400,500,600,700,800", "0", {1, 2, 3, 4, 5, 6, 7, 8}},
      {false, "100,x", "1", {1, 0, 0, 0, 0, 0, 0, 0}},
      {false, "", "1", {0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Answer);
    TScriptedDevice dev;
    dev.Answer(c.Answer);
    TTaxValues amounts = Filled(9);
    EXPECT_TRUE(dev.GetTotalAmounts(c.Turnover, amounts));
    ExpectTax(amounts, c.Amounts);
    EXPECT_EQ(dev.Requests.at(0).Cmd, 0x41);
    EXPECT_EQ(dev.Requests.at(0).DataText(), c.Request);
  }
  TScriptedDevice dev;
  dev.Answer("100", StatusWith({{1, 3}, kFmErrorBit}));
  TTaxValues amounts = Filled(9);
  EXPECT_FALSE(dev.GetTotalAmounts(true, amounts));
  EXPECT_EQ(dev.LastErrorCode, 221);
  EXPECT_EQ(dev.LastErrorText,
            ErrStatus("Low battery (Clock is in RESET).", "[1/3]", kFmErrorText));
}

struct TPayCase {
  std::string Answer;
  std::array<double, 11> Totals;
  std::int32_t Closure;
  std::int32_t ReceiptNo;
};

void ExpectPayTotals(const TPayTypeTotals& t, const TPayCase& c) {
  for (int i = 1; i <= 11; ++i) EXPECT_DOUBLE_EQ(t.PayTotals[i], c.Totals[i - 1]) << "type " << i;
  EXPECT_EQ(t.Closure, c.Closure);
  EXPECT_EQ(t.ReceiptNo, c.ReceiptNo);
}

const std::string kEightTypes = "100,200,300,400,500,600,700,800,15,42";

TEST(InfoPayTypeTotals, ElevenTypesReadsAnEightTypeAnswerShifted) {
  const TPayCase cases[] = {
      {"100,200,300,400,500,600,700,800,900,1000,1100,15,42",
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
       15,
       42},
      {kEightTypes, {1, 2, 3, 4, 5, 6, 7, 8, 0.15, 0.42, 0}, 0, 0},
      {"x,200", {0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Answer);
    TScriptedDevice dev;
    dev.Answer(c.Answer);
    TPayTypeTotals totals;
    EXPECT_TRUE(dev.GetPayTypeTotals(totals));
    ExpectPayTotals(totals, c);
    EXPECT_EQ(dev.Requests.at(0).Cmd, 0x6E);
    EXPECT_EQ(dev.Requests.at(0).DataText(), "11");
  }
}

TEST(InfoPayTypeTotals, EightTypesTakesClosureAndReceipt) {
  TScriptedDevice dev;
  dev.Answer(kEightTypes);
  TPayTypeTotals totals;
  totals.PayTotals[9] = totals.PayTotals[10] = totals.PayTotals[11] = 5;
  EXPECT_TRUE(dev.GetPayTypeTotals8(totals));
  ExpectPayTotals(totals, {kEightTypes, {1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0}, 15, 42});
  EXPECT_EQ(dev.Requests.at(0).Cmd, 0x6E);
  EXPECT_EQ(dev.Requests.at(0).DataText(), "11");
}

TEST(InfoPayTypeTotals, StatusErrorsCarryNoStatusText) {
  for (int eight = 0; eight < 2; ++eight) {
    TScriptedDevice dev;
    dev.Answer(kEightTypes, StatusWith({{1, 1}, kFmErrorBit}));
    TPayTypeTotals totals;
    EXPECT_FALSE(eight ? dev.GetPayTypeTotals8(totals) : dev.GetPayTypeTotals(totals));
    EXPECT_EQ(dev.LastErrorCode, 216);
    EXPECT_EQ(dev.LastErrorText, ErrNoStatus(Msg::k216, "[1/1]"));
  }
}

}  // namespace
