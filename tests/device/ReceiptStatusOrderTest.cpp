// The order of the status tests of every fiscal receipt command: each operation's
// own single-bit tests come first, in its order, then the extended status check.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ReceiptTestCase.h"

using namespace receipt_test;

namespace {

struct TBit {
  int Byte, Bit;
  bool FailWhenSet;
  int Code;
};

constexpr TBit Set(int k, int n, int code) { return {k, n, true, code}; }
constexpr TBit Clear(int k, int n, int code) { return {k, n, false, code}; }

// The extended status check that follows the own tests.
const std::vector<TBit> kCheckStatusEx = {Set(0, 0, 205), Set(0, 1, 204), Set(1, 4, 220),
                                          Set(1, 3, 221), Set(1, 2, 222), Set(1, 1, 216),
                                          Set(1, 0, 223)};

struct TOrderCase {
  std::string Name;
  std::function<bool(TBaseDevice&)> Call;
  std::vector<TBit> Checks;
};

std::vector<TBit> WithStatusEx(std::vector<TBit> own) {
  own.insert(own.end(), kCheckStatusEx.begin(), kCheckStatusEx.end());
  return own;
}

// A status in which the check at `from` and every later one fail, while the
// earlier ones pass: the first failing check must be the one reported.
TDataBuffer FailingFrom(const std::vector<TBit>& checks, std::size_t from) {
  TDataBuffer status = StatusWith({{2, 3}});
  for (std::size_t i = 0; i < checks.size(); ++i) {
    const TBit& c = checks[i];
    const bool set = (i >= from) == c.FailWhenSet;
    const auto mask = static_cast<std::uint8_t>(1u << c.Bit);
    if (set) {
      status[c.Byte] |= mask;
    } else {
      status[c.Byte] &= static_cast<std::uint8_t>(~mask);
    }
  }
  return status;
}

std::string Label(const TBit& b) {
  return "[" + std::to_string(b.Byte) + "/" + std::to_string(b.Bit) + "]";
}

const TBit kPaper = Set(2, 0, 210), kMalfunction = Set(0, 4, 219), kComment = Set(2, 5, 215),
           kNoReceipt = Clear(2, 3, 208), kJournal = Set(2, 2, 224);

}  // namespace

TEST(ReceiptStatusOrder, FirstFailingCheckIsReported) {
  const std::vector<TOrderCase> cases = {
      {"open",
       [](TBaseDevice& d) {
         TFiskParam p;
         p.OperatorName = "OP";
         p.UniqueSellNo = "QZ999834-0001-0000001";
         std::int32_t a = 0, f = 0;
         return d.OpenFiscalReceipt(p, a, f);
       },
       {kPaper, kMalfunction, kComment, kNoReceipt, Set(4, 0, 211), Set(4, 4, 212), Set(5, 2, 214),
        Set(5, 0, 213), Set(0, 2, 218), Set(1, 6, 231), kJournal}},
      {"close",
       [](TBaseDevice& d) {
         std::int32_t a = 0, f = 0;
         return d.CloseFiscalReceipt(a, f);
       },
       {kPaper, kMalfunction, kComment}},
      {"void", [](TBaseDevice& d) { return d.VoidFiscalReceipt(); }, {kPaper, kMalfunction}},
      {"sale",
       [](TBaseDevice& d) { return d.RegisterSale("", "", '\xC0', 1, 1, 0); },
       {kPaper, kMalfunction, kComment, kNoReceipt, kJournal}},
      {"department sale",
       [](TBaseDevice& d) { return d.RegisterDepartmentSale("", "", 1, 1, 1, 0); },
       {kPaper, kComment, kNoReceipt, kJournal, kMalfunction}},
      {"display sale",
       [](TBaseDevice& d) { return d.RegisterSaleAndDisplay("", '\xC0', 1, 1, 0, false); },
       {kPaper, kComment, kNoReceipt, kJournal, kMalfunction}},
      {"display department sale",
       [](TBaseDevice& d) { return d.RegisterDepartmentSaleAndDisplay("", 1, 1, 1, 0, false); },
       {kPaper, kComment, kNoReceipt, kJournal, kMalfunction}},
      {"PLU sale",
       [](TBaseDevice& d) { return d.SellRegisteredPlu(false, 1, 0, 1, 0, false); },
       {kPaper, kComment, kNoReceipt, kJournal, kMalfunction}},
      {"discount",
       [](TBaseDevice& d) { return d.DiscountLastPlu(true, 1); },
       {kPaper, kNoReceipt, kComment}},
      {"subtotal",
       [](TBaseDevice& d) {
         double s = 0;
         TTaxValues v;
         return d.Subtotal(true, false, false, s, v, 0);
       },
       {kPaper, kMalfunction, kComment, kNoReceipt}},
      {"payment",
       [](TBaseDevice& d) {
         char code = 0;
         double a2 = 0;
         return d.Payment("", "", 'P', 1, code, a2);
       },
       {kPaper, kMalfunction, kComment}},
      {"fiscal text",
       [](TBaseDevice& d) { return d.PrintFiscalText("t"); },
       {kPaper, kMalfunction, kComment, kNoReceipt}},
  };
  for (const auto& c : cases) {
    const std::vector<TBit> checks = WithStatusEx(c.Checks);
    for (std::size_t i = 0; i < checks.size(); ++i) {
      SCOPED_TRACE(c.Name + " " + Label(checks[i]));
      TScriptedDevice dev;
      dev.Answer("", FailingFrom(checks, i));
      EXPECT_FALSE(c.Call(dev));
      EXPECT_EQ(dev.LastErrorCode, checks[i].Code);
      EXPECT_EQ(dev.LastErrorText.rfind(Msg(checks[i].Code) + " " + Label(checks[i]) + " ", 0), 0u)
          << dev.LastErrorText;
    }
  }
}

TEST(ReceiptStatusOrder, NoPaperBeforeStatusErrorsWithTheirText) {
  TScriptedDevice dev;
  dev.Answer("", StatusWith({{2, 3}, {2, 0}, {1, 0}, {1, 4}}));
  EXPECT_FALSE(dev.RegisterSale("X", "", '\xC0', 1, 1, 0));
  EXPECT_EQ(dev.LastErrorCode, 210);
  // The other set conditions follow the reported one, in the decoder's order.
  EXPECT_EQ(dev.LastErrorText, Msg(210) + " [2/0]  " + Msg(223) + " , " + Msg(220) + " ");
}

TEST(ReceiptStatusOrder, ChecksThatDoNotApplyAreSkipped) {
  struct TSkip {
    std::string Name;
    std::function<bool(TBaseDevice&)> Call;
    TDataBuffer Status;
  };
  const std::vector<TSkip> cases = {
      {"close without an open receipt",
       [](TBaseDevice& d) {
         std::int32_t a = 0, f = 0;
         d.CloseFiscalReceipt(a, f);
         return d.LastErrorCode == 0;
       },
       StatusWith({{2, 2}, {1, 6}})},
      {"payment outside a receipt",
       [](TBaseDevice& d) {
         char code = 0;
         double a2 = 0;
         d.Payment("", "", 'P', 1, code, a2);
         return d.LastErrorCode == 0;
       },
       StatusWith({{2, 2}})},
      {"discount with malfunction bit", [](TBaseDevice& d) { return d.DiscountLastPlu(false, 1); },
       StatusWith({{2, 3}, {0, 4}})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TScriptedDevice dev;
    dev.Answer("1,2", c.Status);
    EXPECT_TRUE(c.Call(dev)) << dev.LastErrorText;
  }
}
