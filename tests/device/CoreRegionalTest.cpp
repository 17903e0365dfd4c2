#include <gtest/gtest.h>

#include <limits>

#include "Cp1251.h"
#include "DateTimeUtil.h"
#include "RegionalSettings.h"

namespace {

const TRegionalSettings kDot{'.', ':'};
const TRegionalSettings kComma{',', '.'};

TEST(FormatFixed, PatternsWithBothSeparators) {
  const struct {
    double V;
    int Dec;
    std::string Dot, Comma;
  } cases[] = {
      {1.2, 2, "1.20", "1,20"},       {2.2, 3, "2.200", "2,200"},  {0, 2, "0.00", "0,00"},
      {-10, 2, "-10.00", "-10,00"},   {1000, 2, "1000.00", "1000,00"},
      {1.005, 2, "1.01", "1,01"},     {2.675, 2, "2.68", "2,68"},  {-3.5, 2, "-3.50", "-3,50"},
      {-0.001, 2, "0.00", "0,00"},    {0.5, 0, "1", "1"},          {99.995, 2, "100.00", "100,00"},
      {12345.67, 2, "12345.67", "12345,67"}, {1e15, 2, "1000000000000000.00", "1000000000000000,00"},
      {0.0004, 3, "0.000", "0,000"},  {0.0005, 3, "0.001", "0,001"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFixed(c.V, c.Dec, kDot), c.Dot) << c.V;
    EXPECT_EQ(FormatFixed(c.V, c.Dec, kComma), c.Comma) << c.V;
  }
}

TEST(TryParseFloat, StrictWithTheRegionalSeparator) {
  const struct {
    std::string Text;
    const TRegionalSettings* Rs;
    bool Ok;
    double V;
  } cases[] = {
      {"12.34", &kDot, true, 12.34},  {"12,34", &kComma, true, 12.34}, {"12,34", &kDot, false, 0},
      {"12.34", &kComma, false, 0},   {" 5 ", &kDot, true, 5},         {"-3.5", &kDot, true, -3.5},
      {"+2", &kDot, true, 2},         {".5", &kDot, true, 0.5},        {"5.", &kDot, true, 5},
      {"1e3", &kDot, true, 1000},     {"", &kDot, false, 0},           {"abc", &kDot, false, 0},
      {"1.2.3", &kDot, false, 0},     {"1 000", &kDot, false, 0},      {"inf", &kDot, false, 0},
      {"nan", &kDot, false, 0},       {"0x10", &kDot, false, 0},       {"-", &kDot, false, 0},
      {"1e", &kDot, false, 0},
  };
  for (const auto& c : cases) {
    double v = -99;
    EXPECT_EQ(TryParseFloat(c.Text, v, *c.Rs), c.Ok) << c.Text;
    if (c.Ok) {
      EXPECT_DOUBLE_EQ(v, c.V) << c.Text;
    }
  }
}

TEST(TryParseInt, DecimalOnlyLeadingBlanksAllowed) {
  const struct {
    std::string Text;
    bool Ok;
    std::int64_t V;
  } cases[] = {
      {"1234", true, 1234}, {" 34", true, 34},  {"-7", true, -7},     {"+7", true, 7},
      {"34 ", false, 0},    {"", false, 0},     {"1.0", false, 0},    {"x", false, 0},
      {"0000000057", true, 57}, {"2147483648", false, 0}, {"-2147483648", true, -2147483648LL},
  };
  for (const auto& c : cases) {
    std::int32_t v = 0;
    EXPECT_EQ(TryParseInt32(c.Text, v), c.Ok) << c.Text;
    if (c.Ok) {
      EXPECT_EQ(v, c.V);
    }
  }
  std::int64_t big = 0;
  EXPECT_TRUE(TryParseInt64("99999999999", big));
  EXPECT_EQ(big, 99999999999LL);
  std::uint32_t h = 0;
  EXPECT_TRUE(TryParseHex("4a", h));
  EXPECT_EQ(h, 0x4Au);
  EXPECT_FALSE(TryParseHex("G1", h));
  EXPECT_FALSE(TryParseHex("", h));
}

TEST(IntToStrPadded, TenDigits) {
  EXPECT_EQ(IntToStrPadded(12, 10), "0000000012");
  EXPECT_EQ(IntToStrPadded(-5, 10), "-0000000005");
  EXPECT_EQ(IntToStrPadded(12345678901LL, 10), "12345678901");
}

TEST(DateTime, EncodeDecodeAndFormats) {
  TDateTime dt = 0;
  ASSERT_TRUE(TryEncodeDateTime({2026, 12, 7, 9, 5, 59, 0}, dt));
  EXPECT_EQ(FormatDateTimeShort(dt, kDot), "07-12-26 09:05");
  EXPECT_EQ(FormatDateTimeShort(dt, kComma), "07-12-26 09.05");
  EXPECT_EQ(FormatDateTimeLong(dt, kDot), "07.12.2026 09:05:59");
  EXPECT_EQ(FormatDateCompact(dt), "071226");
  EXPECT_EQ(FormatDateDots(dt), "07.12.2026");
  ASSERT_TRUE(TryEncodeDateTime({2024, 3, 5, 9, 7, 0, 0}, dt));
  EXPECT_EQ(FormatDateTimeIso(dt, kDot), "2024-03-05T09:07:00");
  ASSERT_TRUE(TryEncodeDate(1899, 12, 30, dt));
  EXPECT_EQ(dt, 0);
  ASSERT_TRUE(TryEncodeDate(2000, 1, 1, dt));
  EXPECT_EQ(dt, 36526);
  EXPECT_FALSE(TryEncodeDate(2026, 2, 31, dt));
  EXPECT_FALSE(TryEncodeDate(2026, 13, 1, dt));
  EXPECT_TRUE(TryEncodeDate(2024, 2, 29, dt));
  EXPECT_FALSE(TryEncodeDate(2023, 2, 29, dt));
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, dt));
  for (double odd : {std::numeric_limits<double>::quiet_NaN(), 1e300, -1e300})
    EXPECT_EQ(FormatDateDots(odd), "30.12.1899");
  const auto p = DecodeDateTime(36526.75);
  EXPECT_EQ(p.Year, 2000);
  EXPECT_EQ(p.Hour, 18);
  EXPECT_EQ(p.Minute, 0);
}

TEST(Cp1251, RoundTripAndRefusal) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  std::string back;
  ASSERT_TRUE(Utf8ToCp1251(Cp1251ToUtf8(all), back));
  EXPECT_EQ(back, all);
  EXPECT_EQ(Cp1251ToUtf8("\xC0\xC1\xE0"), "\xD0\x90\xD0\x91\xD0\xB0");
  std::size_t bad = 0;
  std::string out = "unchanged";
  EXPECT_FALSE(Utf8ToCp1251("ab\xE4\xB8\xAD", out, &bad));  // a CJK character
  EXPECT_EQ(bad, 2u);
  EXPECT_EQ(out, "unchanged");
  EXPECT_FALSE(Utf8ToCp1251("\xC3\xA9", out, &bad));  // e acute has no CP1251 byte
  EXPECT_FALSE(Utf8ToCp1251("\xC0\x80", out, &bad));  // overlong
  EXPECT_FALSE(Utf8ToCp1251("\xD0", out, &bad));      // truncated
  EXPECT_TRUE(Utf8ToCp1251("\xE2\x82\xAC", out));     // euro sign
  EXPECT_EQ(out, "\x88");
}

}  // namespace
