// Comment receipt, barcode, invoice client data and duplicate: 26H, 2AH, 27H, 54H,
// 39H, 6DH.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "InfoTestSupport.h"

namespace {

using namespace info_test;

// One reply to a document command and what the operation makes of it.
struct TStatusCase {
  const char* Name;
  std::string Answer;
  TDataBuffer Status;
  bool Ok;
  std::int32_t Code;
  std::string Error;
};

using TOperation = std::function<bool(TScriptedDevice&)>;

void RunStatusCases(const TOperation& op, std::uint8_t cmd, const std::string& request,
                    std::initializer_list<TStatusCase> cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TScriptedDevice dev;
    dev.Answer(c.Answer, c.Status);
    ExpectOutcome(dev, op(dev), c.Ok, c.Code, c.Error);
    ASSERT_EQ(dev.Requests.size(), 1u);
    EXPECT_EQ(dev.Requests[0].Cmd, cmd);
    EXPECT_EQ(dev.Requests[0].DataText(), request);
  }
}

const std::string kClockText = " The clock is not set. ";

TEST(InfoOpenComment, PreChecksInOrderThenTheCounter) {
  std::int32_t all = -1;
  const TOperation open = [&](TScriptedDevice& dev) { return dev.OpenCommentReceipt(all); };
  RunStatusCases(open, 0x26, "",
                 {
                     {"ok", "17", StatusWith({{2, 5}}), true, 0, ""},
                     {"two fields", "17,4", StatusWith({{2, 5}}), true, 0, ""},
                     // Each row sets the bit under test and every bit tested after it.
                     {"paper first", "17", StatusWith({{2, 0}, {0, 4}, {2, 3}, {0, 2}}), false, 210,
                      ErrStatus(Msg::k210, "[2/0]", kClockText)},
                     {"printer", "17", StatusWith({{0, 4}, {2, 3}, {0, 2}}), false, 219,
                      ErrStatus(Msg::k219, "[0/4]", kClockText)},
                     {"not opened", "17", StatusWith({{2, 3}, {0, 2}}), false, 209,
                      ErrStatus(Msg::k209, "[2/5]", kClockText)},
                     {"fiscal open", "17", StatusWith({{2, 5}, {2, 3}, {0, 2}}), false, 217,
                      ErrStatus(Msg::k217, "[2/3]", kClockText)},
                     {"clock", "17", StatusWith({{2, 5}, {0, 2}, {1, 1}}), false, 218,
                      ErrStatus(Msg::k218, "[0/2]", " " + Msg::k216 + " ")},
                     {"extended check after bits", "17", StatusWith({{2, 5}, {1, 1}}), false, 216,
                      ErrStatus(Msg::k216, "[1/1]")},
                     {"empty", "", StatusWith({{2, 5}}), false, 215, ErrStatus(Msg::k215, "[2/5]")},
                     {"no field", ",,", StatusWith({{2, 5}}), false, 200, ErrStatus(Msg::k200, "")},
                     {"bad counter", "1x", StatusWith({{2, 5}}), false, 201,
                      ErrStatus(Msg::k201, "[AllReceipt]")},
                 });
  TScriptedDevice dev;
  dev.Answer("17", StatusWith({{2, 5}}));
  EXPECT_TRUE(dev.OpenCommentReceipt(all));
  EXPECT_EQ(all, 17);
}

TEST(InfoCommentText, EscapesControlBytesAndTestsTwoBits) {
  const std::string text = std::string("A\x01") + "B\tC\nD\x1F\x10" + "\xC0";
  const TOperation print = [&](TScriptedDevice& dev) { return dev.PrintCommentText(text); };
  const std::string sent = std::string("A\x10\x41") + "B\tC\nD\x10\x5F\x10\x50" + "\xC0";
  RunStatusCases(
      print, 0x2A, sent,
      {
          {"answer not read", "garbage", StatusWith({{2, 5}}), true, 0, ""},
          {"paper", "", StatusWith({{2, 0}, {0, 4}}), false, 210, ErrStatus(Msg::k210, "[2/0]")},
          {"printer", "", StatusWith({{0, 4}, kFmErrorBit}), false, 219,
           ErrStatus(Msg::k219, "[0/4]", kFmErrorText)},
          // No test of the receipt bits of its own.
          {"overflow", "", StatusWith({{1, 0}, {2, 3}}), false, 223, ErrStatus(Msg::k223, "[1/0]")},
      });
}

TEST(InfoCloseComment, ReadsTheFirstField) {
  std::int32_t all = -1;
  const TOperation close = [&](TScriptedDevice& dev) { return dev.CloseCommentReceipt(all); };
  RunStatusCases(
      close, 0x27, "",
      {
          {"ok", "18,0", StatusWith(), true, 0, ""},
          {"paper", "18,0", StatusWith({{2, 0}, {0, 4}}), false, 210,
           ErrStatus(Msg::k210, "[2/0]")},
          {"printer", "18,0", StatusWith({{0, 4}, {0, 0}}), false, 219,
           ErrStatus(Msg::k219, "[0/4]", Msg::k205 + " ")},
          {"empty", "", StatusWith(), false, 200, ErrStatus(Msg::k200, "")},
          {"bad counter", "x,0", StatusWith(), false, 201, ErrStatus(Msg::k201, "[AllReceipt]")},
      });
  TScriptedDevice dev;
  dev.Answer("18,0");
  EXPECT_TRUE(dev.CloseCommentReceipt(all));
  EXPECT_EQ(all, 18);
}

TEST(InfoBarcode, RequestLayoutAndTypeRange) {
  const struct {
    std::int32_t Type;
    bool ShowText;
    std::string Data;
    std::string Request;
  } sent[] = {
      {2, true, "123456789012", "2,123456789012"},
      {2, false, "123456789012", "2;123456789012"},
      {1, true, "1234567", "1,1234567"},
      {6, false, "AB\x01", "6;AB\x10\x41"},
  };
  for (const auto& c : sent) {
    SCOPED_TRACE(c.Request);
    TScriptedDevice dev;
    dev.Answer("ignored");
    ExpectOutcome(dev, dev.PrintBarcode(c.Type, c.Data, c.ShowText), true, 0, "");
    EXPECT_EQ(dev.Requests.at(0).Cmd, 0x54);
    EXPECT_EQ(dev.Requests.at(0).DataText(), c.Request);
  }
  for (std::int32_t type : {0, 7, -1}) {
    SCOPED_TRACE(type);
    TScriptedDevice dev;
    ExpectOutcome(dev, dev.PrintBarcode(type, "123", true), false, 201,
                  ErrNoStatus(Msg::k201, "[BarcodeType]"));
    EXPECT_TRUE(dev.Requests.empty());
  }
  const TOperation print = [](TScriptedDevice& dev) { return dev.PrintBarcode(3, "X", true); };
  RunStatusCases(
      print, 0x54, "3,X",
      {
          {"paper", "", StatusWith({{2, 0}, {0, 4}}), false, 210, ErrStatus(Msg::k210, "[2/0]")},
          {"printer", "", StatusWith({{0, 4}}), false, 219, ErrStatus(Msg::k219, "[0/4]")},
          {"extended", "", StatusWith({{1, 1}}), false, 216, ErrStatus(Msg::k216, "[1/1]")},
      });
}

TInvoiceClientData Client(std::string eik, std::string line1 = "", std::string address = "") {
  TInvoiceClientData d;
  d.ClientName = "CLIENT";
  d.TaxNo = "BG123";
  d.EIK = std::move(eik);
  d.AddressLine1 = std::move(line1);
  d.Address = std::move(address);
  d.MOL = "MOL NOT SENT";
  d.Receiver = "RECV";
  return d;
}

TEST(InfoInvoiceClient, RequestLayouts) {
  const std::string head = "123456789\t\tRECV\tCLIENT\tBG123";
  const std::string long20 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  TInvoiceClientData cut = Client("12345678901234567890", long20, long20);
  cut.ClientName = long20;
  cut.Receiver = long20;
  cut.TaxNo = long20;
  TInvoiceClientData escaped = Client("123456789");
  escaped.ClientName = std::string("A\x01\tB\nC");
  const struct {
    const char* Name;
    TInvoiceClientData Data;
    std::string Request;
  } cases[] = {
      {"no address", Client("123456789"), head},
      {"address only", Client("123456789", "", "SOFIA"), head + "\tSOFIA"},
      {"line 1 only", Client("123456789", "STREET 1"), head + "\tSTREET 1"},
      {"both lines", Client("123456789", "STREET 1", "SOFIA"), head + "\tSTREET 1\nSOFIA"},
      {"untrimmed EIK", Client(" 1234 "), " 1234 \t\tRECV\tCLIENT\tBG123"},
      {"cut fields", cut,
       "12345678901234\t\tABCDEFGHIJKLMNOPQRSTUVWXYZ\tABCDEFGHIJKLMNOPQRSTUVWXYZ\tABCDEFGHIJKLMN"
       "\tABCDEFGHIJKLMNOPQRSTUVWXYZ\nABCDEFGHIJKLMNOPQRSTUVWXYZ"},
      {"escaped name", escaped, std::string("123456789\t\tRECV\tA\x10\x41\tB\nC\tBG123")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TScriptedDevice dev;
    dev.Answer("", StatusWith({{2, 3}}));
    ExpectOutcome(dev, dev.SendInvoiceClientData(c.Data), true, 0, "");
    EXPECT_EQ(dev.Requests.at(0).Cmd, 0x39);
    EXPECT_EQ(dev.Requests.at(0).DataText(), c.Request);
  }
}

TEST(InfoInvoiceClient, BlankEikIsRefusedBeforeSending) {
  // A field holds 255 characters: what lies beyond them is not part of the EIK.
  for (const std::string& eik : {std::string(), std::string("   "), std::string("\t\n\x01 "),
                                std::string(255, ' ') + "123"}) {
    TScriptedDevice dev;
    ExpectOutcome(dev, dev.SendInvoiceClientData(Client(eik)), false, 201,
                  ErrNoStatus(Msg::k201, "EIK"));
    EXPECT_TRUE(dev.Requests.empty());
  }
}

TEST(InfoInvoiceClient, StatusChecksInOrder) {
  const TOperation send = [](TScriptedDevice& dev) {
    return dev.SendInvoiceClientData(Client("1"));
  };
  RunStatusCases(send, 0x39, "1\t\tRECV\tCLIENT\tBG123",
                 {
                     {"paper first", "", StatusWith({{2, 0}, {2, 5}}), false, 210,
                      ErrStatus(Msg::k210, "[2/0]")},
                     {"no fiscal receipt", "", StatusWith({{2, 5}}), false, 208,
                      ErrStatus(Msg::k208, "[2/3]")},
                     {"comment receipt", "", StatusWith({{2, 3}, {2, 5}, kFmErrorBit}), false, 215,
                      ErrStatus(Msg::k215, "[2/5]", kFmErrorText)},
                     {"extended", "", StatusWith({{2, 3}, {1, 3}}), false, 221,
                      ErrStatus("Low battery (Clock is in RESET).", "[1/3]")},
                 });
}

TEST(InfoDuplicate, StatusChecksInOrder) {
  const TOperation dup = [](TScriptedDevice& dev) { return dev.DuplicateReceipt(); };
  RunStatusCases(
      dup, 0x6D, "1",
      {
          {"ok", "anything", StatusWith(), true, 0, ""},
          {"paper first", "", StatusWith({{2, 0}, {2, 3}, {2, 5}}), false, 210,
           ErrStatus(Msg::k210, "[2/0]")},
          {"fiscal open", "", StatusWith({{2, 3}, {2, 5}}), false, 217,
           ErrStatus(Msg::k217, "[2/3]")},
          {"comment open", "", StatusWith({{2, 5}}), false, 215, ErrStatus(Msg::k215, "[2/5]")},
          {"extended", "", StatusWith({{1, 4}}), false, 220,
           ErrStatus("There is the destruction of RAM after switching.", "[1/4]")},
      });
}

TEST(InfoDocuments, TransportFailureSkipsTheStatusBits) {
  TScriptedDevice dev;
  dev.Fail(103, "Fiscal printer does not respond. ");
  std::int32_t all = 5;
  ExpectOutcome(dev, dev.OpenCommentReceipt(all), false, 103, "Fiscal printer does not respond. ");
  EXPECT_EQ(all, 5);
}

}  // namespace
