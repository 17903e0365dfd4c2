// Recovery of whatever receipt is left open: CancelAllReceipts and
// CloseOpenFiscalReceipt, with the commands they send in order.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InfoTestSupport.h"

namespace {

using namespace info_test;

// One scripted reply: an answer with status, or a transport failure.
struct TReply {
  std::string Answer;
  TDataBuffer Status = StatusWith();
  bool Fails = false;
};

TReply Ok(std::string answer, TDataBuffer status = StatusWith()) {
  return {std::move(answer), std::move(status), false};
}
const TReply kNoAnswer{"", StatusWith(), true};
const std::string kNoAnswerText = "Fiscal printer does not respond. ";

const TDataBuffer kFiscalOpen = StatusWith({{2, 3}});
const TDataBuffer kCommentOpen = StatusWith({{2, 5}});
const TDataBuffer kNoPaper = StatusWith({{2, 0}, {2, 3}});
const std::string kPrefix = "[FPR_CancelAllRecFailed]";

struct TFlowCase {
  const char* Name;
  std::vector<TReply> Replies;
  bool Ok;
  std::vector<std::uint8_t> Commands;
  std::int32_t Code;
  std::string Error;
};

void Script(TScriptedDevice& dev, const std::vector<TReply>& replies) {
  for (const auto& r : replies) {
    if (r.Fails) {
      dev.Fail(103, kNoAnswerText);
    } else {
      dev.Answer(r.Answer, r.Status);
    }
  }
}

using TFlow = bool (TBaseDevice::*)();

void RunFlow(TFlow flow, const TFlowCase& c, char decimal = '.') {
  SCOPED_TRACE(c.Name);
  TScriptedDevice dev;
  dev.Regional.DecimalSeparator = decimal;
  Script(dev, c.Replies);
  const bool result = (dev.*flow)();
  ExpectOutcome(dev, result, c.Ok, c.Code, c.Error);
  EXPECT_EQ(dev.Commands(), c.Commands);
}

TEST(InfoCancelAll, EveryBranch) {
  const TFlowCase cases[] = {
      {"nothing open", {Ok("")}, true, {0x4A}, 0, ""},
      {"status read fails", {kNoAnswer}, false, {0x4A}, 103, kNoAnswerText},
      {"comment open", {Ok("", kCommentOpen), Ok("18,0")}, true, {0x4A, 0x27}, 0, ""},
      {"comment close fails",
       {Ok("", kCommentOpen), Ok("18,0", StatusWith({{2, 0}, {2, 5}}))},
       false,
       {0x4A, 0x27},
       210,
       ErrStatus(Msg::k210, "[2/0]")},
      {"void closes", {Ok("", kFiscalOpen), Ok(""), Ok("")}, true, {0x4A, 0x3C, 0x4A}, 0, ""},
      // A receipt flagged both ways is treated as fiscal.
      {"fiscal before comment",
       {Ok("", StatusWith({{2, 3}, {2, 5}})), Ok(""), Ok("")},
       true,
       {0x4A, 0x3C, 0x4A},
       0,
       ""},
      {"second status read fails",
       {Ok("", kFiscalOpen), Ok(""), kNoAnswer},
       true,
       {0x4A, 0x3C, 0x4A},
       103,
       kNoAnswerText},
      {"void refused, close passes",
       {Ok("", kFiscalOpen), Ok("", kNoPaper), Ok("", kFiscalOpen), Ok("125,37", kFiscalOpen)},
       true,
       {0x4A, 0x3C, 0x4A, 0x38},
       0,
       ""},
      {"close fails, receipt found closed",
       {Ok("", kFiscalOpen), Ok(""), Ok("", kFiscalOpen), Ok("", kNoPaper), Ok("0,0,0")},
       true,
       {0x4A, 0x3C, 0x4A, 0x38, 0x4C},
       0,
       ""},
      {"close fails, recovery fails",
       {Ok("", kFiscalOpen), Ok(""), Ok("", kFiscalOpen), Ok("", kNoPaper), kNoAnswer},
       false,
       {0x4A, 0x3C, 0x4A, 0x38, 0x4C},
       103,
       kPrefix + kNoAnswerText},
  };
  for (const auto& c : cases) RunFlow(&TBaseDevice::CancelAllReceipts, c);
}

TEST(InfoCloseOpenFiscal, EveryBranch) {
  const TFlowCase cases[] = {
      {"status fails", {kNoAnswer}, false, {0x4C}, 103, kPrefix + kNoAnswerText},
      {"status unreadable", {Ok("1,2")}, false, {0x4C}, 200, kPrefix + ErrStatus(Msg::k200, "")},
      {"not open", {Ok("0,1,1000,0")}, true, {0x4C}, 0, ""},
      {"paid: close at once", {Ok("1,2,1000,999.6"), Ok("125,37")}, true, {0x4C, 0x38}, 0, ""},
      {"rest 0.0049: close at once",
       {Ok("1,2,1000,999.51"), Ok("125,37")},
       true,
       {0x4C, 0x38},
       0,
       ""},
      {"rest 0.006: not paid",
       {Ok("1,2,1000,999.4"), Ok("1,1000,0,0,0,0,0,0,0,0,57"), Ok("")},
       true,
       {0x4C, 0x67, 0x3C},
       0,
       ""},
      // The direct close reports its own error, without the recovery prefix.
      {"paid: close fails",
       {Ok("1,2,1000,1000"), Ok("", kNoPaper)},
       false,
       {0x4C, 0x38},
       210,
       ErrStatus(Msg::k210, "[2/0]")},
      {"totals fail",
       {Ok("1,2,1000,400"), Ok("1,1000")},
       false,
       {0x4C, 0x67},
       200,
       kPrefix + ErrStatus(Msg::k200, "")},
      {"void succeeds",
       {Ok("1,2,1000,400"), Ok("1,1000,0,0,0,0,0,0,0,0,57"), Ok("")},
       true,
       {0x4C, 0x67, 0x3C},
       0,
       ""},
      {"void refused, pay and close",
       {Ok("1,2,1000,400"), Ok("1,1000,0,0,0,0,0,0,0,0,57"), Ok("", kNoPaper), Ok("R"),
        Ok("125,37")},
       true,
       {0x4C, 0x67, 0x3C, 0x35, 0x38},
       0,
       ""},
      {"invoice: pay, client data, close",
       {Ok("1,2,1000,400"), Ok("0,1000,0,0,0,0,0,0,0,1,57"), Ok("R"), Ok("", kFiscalOpen),
        Ok("125,37")},
       true,
       {0x4C, 0x67, 0x35, 0x39, 0x38},
       0,
       ""},
      // Payment and client data results are not looked at.
      {"payment and client data refused",
       {Ok("1,2,1000,400"), Ok("0,1000,0,0,0,0,0,0,0,1,57"), Ok("F"), Ok(""), Ok("125,37")},
       true,
       {0x4C, 0x67, 0x35, 0x39, 0x38},
       0,
       ""},
      {"final close fails",
       {Ok("1,2,1000,400"), Ok("0,1000,0,0,0,0,0,0,0,0,57"), Ok("R"), Ok("", kNoPaper)},
       false,
       {0x4C, 0x67, 0x35, 0x38},
       210,
       kPrefix + ErrStatus(Msg::k210, "[2/0]")},
  };
  for (const auto& c : cases) RunFlow(&TBaseDevice::CloseOpenFiscalReceipt, c);
}

TEST(InfoCloseOpenFiscal, PaysTheRestWithTypePAndSendsTheFixedEik) {
  for (char decimal : {'.', ','}) {
    SCOPED_TRACE(decimal);
    TScriptedDevice dev;
    dev.Regional.DecimalSeparator = decimal;
    Script(dev, {Ok("1,2,1000,400"), Ok("0,600,400,0,0,0,0,0,0,1,57"), Ok("R"), Ok("", kFiscalOpen),
                 Ok("125,37")});
    ASSERT_TRUE(dev.CloseOpenFiscalReceipt());
    ASSERT_EQ(dev.Requests.size(), 5u);
    EXPECT_EQ(dev.Requests[0].DataText(), "T");
    EXPECT_TRUE(dev.Requests[1].Data.empty());
    EXPECT_EQ(dev.Requests[2].DataText(), std::string("\tP+6") + decimal + "00");
    EXPECT_EQ(dev.Requests[3].DataText(), "111111110\t\t\t\t");
    EXPECT_TRUE(dev.Requests[4].Data.empty());
  }
}

TEST(InfoCloseOpenFiscal, OverpaidReceiptPaysANegativeRest) {
  TScriptedDevice dev;
  Script(dev, {Ok("1,2,1000,1250"), Ok("0,1000,0,0,0,0,0,0,0,0,57"), Ok("R"), Ok("125,37")});
  ASSERT_TRUE(dev.CloseOpenFiscalReceipt());
  EXPECT_EQ(dev.Requests.at(2).DataText(), "\tP-2.50");
}

}  // namespace
