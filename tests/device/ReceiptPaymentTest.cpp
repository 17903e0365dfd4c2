// Discount on the last sale, subtotal, payment and fiscal text (91H, 33H, 35H, 36H).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ReceiptTestCase.h"

using namespace receipt_test;

TEST(ReceiptDiscount, Requests) {
  const auto discount = [](bool absolute, double value) {
    return [=](TBaseDevice& d) { return d.DiscountLastPlu(absolute, value); };
  };
  std::vector<TCase> cases = {
      {"absolute", discount(true, -5), 0x91, "A,-5.00"},
      {"percentage", discount(false, 10), 0x91, "P,10.00"},
      {"value not checked", discount(false, 250.555), 0x91, "P,250.56"},
      {"answer not read", discount(false, 1), 0x91, "P,1.00", "garbage"},
      {"decimal comma", discount(true, -5), 0x91, "A,-5,00"},
  };
  cases.back().DecimalSeparator = ',';
  for (const auto& c : cases) RunCase(c);
}

TEST(ReceiptSubtotal, Requests) {
  const auto subtotal = [](bool print, bool absolute, bool display, double perc) {
    return [=](TBaseDevice& d) {
      double sum = -1;
      TTaxValues vat;
      return d.Subtotal(print, absolute, display, sum, vat, perc);
    };
  };
  const std::string nine = "0,0,0,0,0,0,0,0,0";
  std::vector<TCase> cases = {
      {"print only", subtotal(true, false, false, 0), 0x33, "10", "garbage"},
      {"nothing", subtotal(false, true, false, 0), 0x33, "00"},
      {"percentage", subtotal(true, false, true, 10), 0x33, "11,10.00", nine},
      {"absolute", subtotal(true, true, true, -20), 0x33, "11;-20.00", nine},
      {"display only", subtotal(false, false, true, 0), 0x33, "01", nine},
      {"decimal comma", subtotal(true, true, true, -20), 0x33, "11;-20,00", nine},
  };
  cases.back().DecimalSeparator = ',';
  for (const auto& c : cases) RunCase(c);
}

TEST(ReceiptSubtotal, Answers) {
  struct TSubtotalCase {
    std::string Name;
    bool Display;
    std::string Answer;
    bool Result;
    double SubTotal;
    std::vector<double> Vat;  // groups 1..8
    int Code = 0;
    std::string Text{};
    char DecimalSeparator = '.';
  };
  const std::vector<double> zeros(8, 0.0);
  const std::vector<TSubtotalCase> cases = {
      {"nine values", true, "1234,100,200,0,0,0,0,0,0", true, 12.34, {1, 2, 0, 0, 0, 0, 0, 0}},
      {"all groups",
       true,
       "900,1,2,3,4,5,6,7,8",
       true,
       9,
       {.01, .02, .03, .04, .05, .06, .07, .08}},
      {"eight fields are enough",
       true,
       "1234,1,1,1,1,1,1,1",
       true,
       12.34,
       {.01, .01, .01, .01, .01, .01, .01, 0}},
      {"seven fields", true, "1234,1,1,1,1,1,1", false, 0, zeros, 200, AfterAnswer(200, "")},
      {"empty answer", true, "", false, 0, zeros, 200, AfterAnswer(200, "")},
      {"bad subtotal", true, "x,1,1,1,1,1,1,1,1", false, 0, zeros, 201,
       AfterAnswer(201, "[SubTotal]")},
      {"bad third group",
       true,
       "1234,100,200,x,0,0,0,0,0",
       false,
       12.34,
       {1, 2, 0, 0, 0, 0, 0, 0},
       201,
       AfterAnswer(201, "[VatGRP3]")},
      {"runs of commas pass the count", true, "1234,,1,1,1,1,1,1,1", false, 12.34, zeros, 201,
       AfterAnswer(201, "[VatGRP1]")},
      {"not read without display", false, "1234,100,200,0,0,0,0,0,0", true, 0, zeros},
      {"malformed but not read without display", false, "x", true, 0, zeros},
      {"decimal comma",
       true,
       "1234,100,200,0,0,0,0,0,0",
       true,
       12.34,
       {1, 2, 0, 0, 0, 0, 0, 0},
       0,
       "",
       ','},
      {"fraction in the regional form", true, "1234.5,0,0,0,0,0,0,0", true, 12.345, zeros},
      {"fraction not in the regional form", true, "1234.5,0,0,0,0,0,0,0", false, 0, zeros, 201,
       AfterAnswer(201, "[SubTotal]"), ','},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TScriptedDevice dev;
    dev.Regional.DecimalSeparator = c.DecimalSeparator;
    dev.Answer(c.Answer, StatusWith({{2, 3}}));
    double sum = -1;
    TTaxValues vat;
    for (int n = 1; n <= 8; ++n) vat[n] = -1;
    EXPECT_EQ(dev.Subtotal(true, false, c.Display, sum, vat, 0), c.Result);
    EXPECT_DOUBLE_EQ(sum, c.SubTotal);
    for (int n = 1; n <= 8; ++n) EXPECT_DOUBLE_EQ(vat[n], c.Vat[n - 1]) << "group " << n;
    EXPECT_EQ(dev.LastErrorCode, c.Code);
    EXPECT_EQ(dev.LastErrorText, c.Text);
  }
}

TEST(ReceiptPayment, Requests) {
  const auto pay = [](std::string t1, std::string t2, char mode, double amount) {
    return [=](TBaseDevice& d) {
      char code = 0;
      double a2 = 0;
      return d.Payment(t1, t2, mode, amount, code, a2);
    };
  };
  std::vector<TCase> cases = {
      {"no texts", pay("", "", 'P', 1000), 0x35, "\tP+1000.00", "R"},
      {"first text", pay("Payment : Pay type C", "", 'C', 12), 0x35,
       "Payment : Pay type C\tC+12.00", "R"},
      {"both texts", pay("a", "b", 'N', 10.2), 0x35, "a\nb\tN+10.20", "R"},
      {"second text only", pay("", "b", 'D', 1), 0x35, "\nb\tD+1.00", "R"},
      {"zero amount", pay("", "", 'P', 0), 0x35, "\tP+0.00", "R"},
      {"negative amount", pay("", "", 'P', -3.5), 0x35, "\tP-3.50", "R"},
      {"type M", pay("", "", 'M', 1), 0x35, "\tM+1.00", "R"},
      {"type Q", pay("", "", 'Q', 1), 0x35, "\tQ+1.00", "R"},
      {"control byte escaped", pay("\x1B", "", 'I', 1), 0x35, "\x10\x5B\tI+1.00", "R"},
      {"unknown type", pay("", "", 'A', 1), 0, "", "", kReceiptOpen, false, 201,
       BeforeSend(201, "[PaidMode]")},
      {"lower-case type", pay("", "", 'p', 1), 0, "", "", kReceiptOpen, false, 201,
       BeforeSend(201, "[PaidMode]")},
      {"type E is not a payment type", pay("", "", 'E', 1), 0, "", "", kReceiptOpen, false, 201,
       BeforeSend(201, "[PaidMode]")},
      {"decimal comma", pay("", "", 'P', 1000), 0x35, "\tP+1000,00", "R"},
  };
  cases.back().DecimalSeparator = ',';
  for (const auto& c : cases) RunCase(c);
}

TEST(ReceiptPayment, Answers) {
  struct TPaymentCase {
    std::string Name;
    std::string Answer;
    bool Result;
    char PaidCode;
    double Amount2;
    int Code = 0;
    std::string Text{};
    char DecimalSeparator = '.';
  };
  const std::vector<TPaymentCase> cases = {
      {"rest to pay", "D,12345", true, 'D', 123.45},
      {"any separator after the letter", "D 12345", true, 'D', 123.45},
      {"change", "R,500", true, 'R', 5},
      {"letter only", "R", true, 'R', 0},
      {"letter and separator only", "R,", true, 'R', 0},
      {"further fields ignored", "D,100,7", true, 'D', 1},
      {"negative amount", "D,-250", true, 'D', -2.5},
      {"decimal comma", "D,12345", true, 'D', 123.45, 0, "", ','},
      {"refused F", "F", false, 'F', 0, 250, AfterAnswer(250, "[F]")},
      {"refused E with an amount", "E,100", false, 'E', 0, 250, AfterAnswer(250, "[E]")},
      {"refused I", "I,0", false, 'I', 0, 250, AfterAnswer(250, "[I]")},
      {"empty answer", "", false, 0, 0, 200, AfterAnswer(200, "")},
      {"bad amount", "D,x", false, 'D', 0, 201, AfterAnswer(201, "[Amount2]")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TScriptedDevice dev;
    dev.Regional.DecimalSeparator = c.DecimalSeparator;
    dev.Answer(c.Answer, StatusWith({{2, 3}}));
    char code = '?';
    double amount2 = -1;
    EXPECT_EQ(dev.Payment("", "", 'P', 10, code, amount2), c.Result);
    EXPECT_EQ(code, c.PaidCode);
    EXPECT_DOUBLE_EQ(amount2, c.Amount2);
    EXPECT_EQ(dev.LastErrorCode, c.Code);
    EXPECT_EQ(dev.LastErrorText, c.Text);
  }
}

TEST(ReceiptFiscalText, Requests) {
  const auto text = [](std::string t) {
    return [=](TBaseDevice& d) { return d.PrintFiscalText(t); };
  };
  const std::vector<TCase> cases = {
      {"text", text("Fisc.comment text"), 0x36, "Fisc.comment text"},
      {"empty text", text(""), 0x36, ""},
      {"control byte escaped", text("a\x05"), 0x36, "a\x10\x45"},
      {"outside a receipt", text("x"), 0x36, "x", "", StatusWith(), false, 208,
       AfterAnswer(208, "[2/3]")},
  };
  for (const auto& c : cases) RunCase(c);
}
