// Opening, closing and voiding a fiscal receipt (90H, 38H, 3CH).

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ReceiptTestCase.h"

using namespace receipt_test;

namespace {

constexpr char kSellNo[] = "QZ999834-0001-0000001";

TFiskParam Normal() {
  TFiskParam p;
  p.OperatorNo = 1;
  p.OperatorName = "OPER1";
  p.OperatorPassword = "0000";
  p.UniqueSellNo = kSellNo;
  p.DeviceFMIN = "02345678";
  return p;
}

// 5 March 2024 09:07:00
TDateTime March5() {
  TDateTime t = 0;
  EXPECT_TRUE(TryEncodeDateTime({2024, 3, 5, 9, 7, 0, 0}, t));
  return t;
}

TFiskParam Refund(char reason, const std::string& fmin = "12345678") {
  TFiskParam p = Normal();
  p.IsStorno = true;
  p.StornoFMIN = fmin;
  p.StornoReason = reason;
  p.StornoReceiptNo = 15;
  p.StornoDateTime = March5();
  return p;
}

struct TOpenRequest {
  std::string Name;
  TFiskParam Param;
  std::string Data;
  char TimeSeparator = ':';
};

TFiskParam With(TFiskParam p, void (*change)(TFiskParam&)) {
  change(p);
  return p;
}

}  // namespace

TEST(ReceiptOpen, RequestData) {
  const std::string head = std::string("OPER1,") + kSellNo;
  const std::vector<TOpenRequest> cases = {
      {"normal", Normal(), head},
      {"invoice", With(Normal(), [](TFiskParam& p) { p.IsInvoice = true; }), head + ",I"},
      {"invoice wins over refund", With(Refund('R'), [](TFiskParam& p) { p.IsInvoice = true; }),
       head + ",I"},
      {"refund of another device", Refund('R'), head + ",S,12345678,R,15,2024-03-05T09:07:00"},
      {"regional time separator", Refund('T'), head + ",S,12345678,T,15,2024-03-05T09.07.00", '.'},
      {"refund with invoice number",
       With(Refund('T'), [](TFiskParam& p) { p.StornoInvoiceNo = 4711; }),
       head + ",S,12345678,T,15,2024-03-05T09:07:00,4711"},
      {"no date, no invoice number",
       With(Refund('R'),
            [](TFiskParam& p) {
              p.StornoDateTime = 0;
              p.StornoInvoiceNo = -1;
            }),
       head + ",S,12345678,R,15"},
      {"invoice number without date",
       With(Refund('R'),
            [](TFiskParam& p) {
              p.StornoDateTime = 0;
              p.StornoInvoiceNo = 9;
            }),
       head + ",S,12345678,R,15,9"},
      {"same device, reason O: no date nor invoice",
       With(Refund('O', "02345678"), [](TFiskParam& p) { p.StornoInvoiceNo = 77; }),
       head + ",S,02345678,O,15"},
      {"device number compared case-sensitively",
       With(Refund('R', "ab1"), [](TFiskParam& p) { p.DeviceFMIN = "AB1"; }),
       head + ",S,ab1,R,15,2024-03-05T09:07:00"},
      {"sale number sent untrimmed",
       With(Normal(), [](TFiskParam& p) { p.UniqueSellNo = " X-1-2 "; }), "OPER1, X-1-2 "},
      {"control byte in the operator name escaped",
       With(Normal(), [](TFiskParam& p) { p.OperatorName = "A\x01"; }),
       std::string("A\x10\x41,") + kSellNo},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TScriptedDevice dev;
    dev.Regional.TimeSeparator = c.TimeSeparator;
    dev.Answer("125,37", kReceiptOpen);
    std::int32_t all = -1, fisc = -1;
    EXPECT_TRUE(dev.OpenFiscalReceipt(c.Param, all, fisc)) << dev.LastErrorText;
    ASSERT_EQ(dev.Requests.size(), 1u);
    EXPECT_EQ(dev.Requests[0].Cmd, 0x90);
    EXPECT_EQ(dev.Requests[0].DataText(), c.Data);
    EXPECT_EQ(all, 125);
    EXPECT_EQ(fisc, 37);
    EXPECT_EQ(dev.LastErrorCode, 0);
  }
}

TEST(ReceiptOpen, InputChecksSendNothing) {
  struct TInputCase {
    std::string Name;
    TFiskParam Param;
    std::string Detail;
  };
  const std::vector<TInputCase> cases = {
      {"sale number of blanks", With(Normal(), [](TFiskParam& p) { p.UniqueSellNo = "   "; }),
       "[UniqueSellNo]"},
      {"sale number of control characters",
       With(Normal(), [](TFiskParam& p) { p.UniqueSellNo = "\t\r\n "; }), "[UniqueSellNo]"},
      {"empty sale number before a bad reason",
       With(Refund('X'), [](TFiskParam& p) { p.UniqueSellNo.clear(); }), "[UniqueSellNo]"},
      {"unknown reason", Refund('X'), "Invalid reason \"X\""},
      {"lower-case reason", Refund('r'), "Invalid reason \"r\""},
      {"empty reason", Refund(0), "Invalid reason \"\""},
      {"reason before receipt number",
       With(Refund('Q'), [](TFiskParam& p) { p.StornoReceiptNo = 0; }), "Invalid reason \"Q\""},
      {"receipt number 0", With(Refund('R'), [](TFiskParam& p) { p.StornoReceiptNo = 0; }),
       "Invalid reciept num  \"0\""},
      {"negative receipt number", With(Refund('R'), [](TFiskParam& p) { p.StornoReceiptNo = -3; }),
       "Invalid reciept num  \"-3\""},
      {"reason O for another device", Refund('O'), "Reason \"O\" is invalid for this device."},
  };
  for (const auto& c : cases) {
    RunCase({c.Name,
             [p = c.Param](TBaseDevice& d) {
               std::int32_t all = 0, fisc = 0;
               return d.OpenFiscalReceipt(p, all, fisc);
             },
             0, "", "", kReceiptOpen, false, 201, BeforeSend(201, c.Detail)});
  }
}

TEST(ReceiptOpen, Answers) {
  struct TAnswerCase {
    std::string Name;
    std::string Answer;
    TDataBuffer Status;
    bool Result;
    std::int32_t All, Fisc;
    int Code;
    std::string Text;
  };
  const std::vector<TAnswerCase> cases = {
      {"two counters", "125,37", kReceiptOpen, true, 125, 37, 0, ""},
      {"further fields ignored", "125,37,x", kReceiptOpen, true, 125, 37, 0, ""},
      {"empty answer", "", kReceiptOpen, false, 0, 0, 217, AfterAnswer(217, "[2/3]")},
      {"one field", "125", kReceiptOpen, false, 0, 0, 200, AfterAnswer(200, "") + "# 125"},
      {"bad first counter", "x,37", kReceiptOpen, false, 0, 0, 201,
       AfterAnswer(201, "[AllReceipt]") + "# x,37"},
      {"bad second counter", "125,x", kReceiptOpen, false, 125, 0, 201,
       AfterAnswer(201, "[FiscReceipt]") + "# 125,x"},
      // Runs of commas pass the count, but the second field taken is empty.
      {"double comma", "125,,37", kReceiptOpen, false, 125, 0, 201,
       AfterAnswer(201, "[FiscReceipt]") + "# 125,,37"},
      {"no receipt open after the command", "125,37", StatusWith(), false, 0, 0, 208,
       AfterAnswer(208, "[2/3]") + "# 125,37"},
      {"device words", "E:LIMIT", StatusWith({{2, 3}, {2, 2}}), false, 0, 0, 224,
       AfterAnswer(224, "[2/2]") + "# LIMIT"},
      {"device words of markers only", "E:\xA2", StatusWith({{2, 3}, {2, 2}}), false, 0, 0, 224,
       AfterAnswer(224, "[2/2]")},
      {"every marker removed",
       "E:A\xA2"
       "BE:",
       StatusWith({{2, 3}, {2, 2}}), false, 0, 0, 224, AfterAnswer(224, "[2/2]") + "# AB"},
      {"other conditions listed before the device words", "E:LIMIT",
       StatusWith({{2, 3}, {2, 2}, {4, 4}}), false, 0, 0, 212,
       Msg(212) + " [4/4]  " + Msg(224) + " # LIMIT"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TScriptedDevice dev;
    dev.Answer(c.Answer, c.Status);
    std::int32_t all = -1, fisc = -1;
    EXPECT_EQ(dev.OpenFiscalReceipt(Normal(), all, fisc), c.Result);
    EXPECT_EQ(all, c.All);
    EXPECT_EQ(fisc, c.Fisc);
    EXPECT_EQ(dev.LastErrorCode, c.Code);
    EXPECT_EQ(dev.LastErrorText, c.Text);
  }
}

TEST(ReceiptOpen, TransportFailureKeepsItsError) {
  TScriptedDevice dev;
  dev.Fail(103, "Fiscal printer does not respond. <01>");
  std::int32_t all = -1, fisc = -1;
  EXPECT_FALSE(dev.OpenFiscalReceipt(Normal(), all, fisc));
  EXPECT_EQ(dev.LastErrorCode, 103);
  EXPECT_EQ(dev.LastErrorText, "Fiscal printer does not respond. <01>");
  EXPECT_EQ(all, 0);
  EXPECT_EQ(fisc, 0);
}

TEST(ReceiptClose, CountersAndFailures) {
  struct TCloseCase {
    std::string Name;
    std::string Answer;
    TDataBuffer Status;
    bool Result;
    std::int32_t All, Fisc;
    int Code;
    std::string Text;
  };
  const std::vector<TCloseCase> cases = {
      {"counters", "126,38", kReceiptOpen, true, 126, 38, 0, ""},
      {"receipt already closed by the command", "126,38", StatusWith(), true, 126, 38, 0, ""},
      {"empty answer", "", StatusWith(), false, 0, 0, 200, AfterAnswer(200, "")},
      {"one field", "126", StatusWith(), false, 0, 0, 200, AfterAnswer(200, "")},
      // The close adds no device words.
      {"bad counter", "126,E:x", StatusWith(), false, 126, 0, 201,
       AfterAnswer(201, "[FiscReceipt]")},
      {"double comma", "126,,38", StatusWith(), false, 126, 0, 201,
       AfterAnswer(201, "[FiscReceipt]")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TScriptedDevice dev;
    dev.Answer(c.Answer, c.Status);
    std::int32_t all = -1, fisc = -1;
    EXPECT_EQ(dev.CloseFiscalReceipt(all, fisc), c.Result);
    ASSERT_EQ(dev.Requests.size(), 1u);
    EXPECT_EQ(dev.Requests[0].Cmd, 0x38);
    EXPECT_TRUE(dev.Requests[0].Data.empty());
    EXPECT_EQ(all, c.All);
    EXPECT_EQ(fisc, c.Fisc);
    EXPECT_EQ(dev.LastErrorCode, c.Code);
    EXPECT_EQ(dev.LastErrorText, c.Text);
  }
}

TEST(ReceiptVoid, SendsNoDataAndReadsNoAnswer) {
  const auto call = [](TBaseDevice& d) { return d.VoidFiscalReceipt(); };
  const std::vector<TCase> cases = {
      {"voided", call, 0x3C, "", "", StatusWith()},
      {"answer is not read", call, 0x3C, "", "garbage", StatusWith()},
      // A void does not ask for an open comment receipt.
      {"comment receipt bit ignored", call, 0x3C, "", "", StatusWith({{2, 5}})},
      {"no paper", call, 0x3C, "", "", StatusWith({{2, 0}}), false, 210, AfterAnswer(210, "[2/0]")},
  };
  for (const auto& c : cases) RunCase(c);
}

TEST(ReceiptSellNo, FormatTest) {
  struct TSellNoCase {
    std::string Text;
    bool Valid;
  };
  const std::vector<TSellNoCase> cases = {
      {"QZ999834-0001-0000001", true},
      {"QZ999834-0001-0000000", false},
      {"QZ999834_0001_0000001", false},
      {"QZ999834-001-00001", false},  // 18 characters
      {"QZ999834-0001-100000000", false},
      {"QZ999834-0001-99999999", true},
      {"qz999834-abcd-0000001", true},  // the first groups are not tested
      {"QZ9998340001000000001", false},
      {"QZ999834-00010000001", false},  // one "-" only
      {"QZ999834-0001-0000001-", false},
      {"QZ999834-0001--000001", false},
      {"QZ999834-0001-000 001", false},
      {"QZ999834-0001-\xC0"
       "000001",
       false},
      {"QZ999834-0001-", false},
      {"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TBaseDevice::IsUniqueSellNoValid(c.Text), c.Valid) << c.Text;
  }
}
