// Argument values: every kind, its limits and the words that are refused.
#include <gtest/gtest.h>

#include "ArgReader.h"

namespace {

using K = TValueKind;

TEST(ArgValue, ReadsEachKindWithinItsLimits) {
  struct TCase {
    K Kind;
    const char* Text;
    std::int64_t Int;
    double Real;
    const char* Bytes;
  } cases[] = {
      {K::Int32, "2147483647", 2147483647, 0, ""},
      {K::Int32, "-2147483648", -2147483648LL, 0, ""},
      {K::Int32, "+5", 5, 0, ""},
      {K::Int32, "0x7FFFFFFF", 2147483647, 0, ""},
      {K::UInt8, "255", 255, 0, ""},
      {K::UInt8, "0x4a", 0x4A, 0, ""},
      {K::UInt16, "65535", 65535, 0, ""},
      {K::UInt32, "4294967295", 4294967295LL, 0, ""},
      {K::Int64, "-9223372036854775808", INT64_MIN, 0, ""},
      {K::Double, "1.20", 0, 1.2, ""},
      {K::Double, "-10", 0, -10, ""},
      {K::Double, "2.5e3", 0, 2500, ""},
      {K::Bool, "TRUE", 1, 0, ""},
      {K::Bool, "0", 0, 0, ""},
      {K::Letter, "Б", 0, 0, "\xC1"},
      {K::Letter, "P", 0, 0, "P"},
      {K::Text, "Чай, 100 г", 0, 0, "\xD7\xE0\xE9, 100 \xE3"},
      {K::Text, "", 0, 0, ""},
      {K::Date, "0", 0, 0, ""},
  };
  for (const TCase& c : cases) {
    TValue v;
    std::string error;
    ASSERT_TRUE(ParseArgValue(c.Kind, c.Text, v, error)) << c.Text << ": " << error;
    EXPECT_EQ(v.Kind, c.Kind) << c.Text;
    EXPECT_EQ(v.Int, c.Int) << c.Text;
    EXPECT_DOUBLE_EQ(v.Real, c.Real) << c.Text;
    EXPECT_EQ(v.Bytes, c.Bytes) << c.Text;
  }
}

TEST(ArgValue, ReadsDatesWithAndWithoutTheTime) {
  TValue v;
  std::string error;
  ASSERT_TRUE(ParseArgValue(K::Date, "2024-02-29T23:59:58", v, error)) << error;
  const TDateTimeParts p = DecodeDateTime(v.Real);
  EXPECT_EQ(p.Year * 10000 + p.Month * 100 + p.Day, 20240229);
  EXPECT_EQ(p.Hour * 10000 + p.Minute * 100 + p.Second, 235958);
  ASSERT_TRUE(ParseArgValue(K::Date, "2024-03-05", v, error)) << error;
  EXPECT_EQ(DecodeDateTime(v.Real).Hour, 0);
}

TEST(ArgValue, RefusesWhatTheKindCannotHold) {
  struct TCase {
    K Kind;
    const char* Text;
    const char* Says;
  } cases[] = {
      {K::Int32, "2147483648", "out of range -2147483648..2147483647"},
      {K::Int32, "-2147483649", "out of range"},
      {K::Int32, "12a", "not a whole number"},
      {K::Int32, "", "not a whole number"},
      {K::Int32, "1.5", "not a whole number"},
      {K::UInt8, "256", "out of range 0..255"},
      {K::UInt8, "-1", "out of range 0..255"},
      {K::UInt16, "65536", "out of range 0..65535"},
      {K::UInt32, "4294967296", "out of range 0..4294967295"},
      {K::UInt32, "0x100000000", "out of range"},
      {K::Int64, "9223372036854775808", "out of range"},
      {K::Int64, "0xFFFFFFFFFFFFFFFF", "out of range"},
      {K::Double, "1,20", "not a number (decimals with '.')"},
      {K::Double, "1e999", "out of the range of a double"},
      {K::Double, "nan", "not a number"},
      {K::Double, "inf", "not a number"},
      {K::Bool, "yes", "not a boolean"},
      {K::Bool, "2", "not a boolean"},
      {K::Letter, "ЖЖ", "not one letter"},
      {K::Letter, "", "not one letter"},
      {K::Letter, "中", "has no CP1251 code"},
      {K::Text, "ab中", "the character at byte 2"},
      {K::Text, "\xC3", "not UTF-8"},
      {K::Date, "2023-02-29", "not a date"},
      {K::Date, "2024-03-05T24:00:00", "not a date"},
      {K::Date, "2024-3-5", "not a date"},
      {K::Date, "2024-03-05 10:00:00", "not a date"},
  };
  for (const TCase& c : cases) {
    TValue v;
    std::string error;
    EXPECT_FALSE(ParseArgValue(c.Kind, c.Text, v, error)) << c.Text;
    EXPECT_NE(error.find(c.Says), std::string::npos) << c.Text << ": " << error;
  }
}

TEST(ReadArguments, NamesEveryProblemAndKeepsTheDeclaredOrder) {
  const std::vector<TValueDecl> decls = {{"Text1", K::Text},
                                         {"Price", K::Double},
                                         {"Qtty", K::Double},
                                         {"Data.Address", K::Text, true}};
  TNamedValues values;
  std::vector<std::string> errors;
  ASSERT_TRUE(ReadArguments(decls, {"Qtty=2", "Price=1.5", "Text1=x=y"}, values, errors));
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(values[0].first, "Text1");
  EXPECT_EQ(values[0].second.Bytes, "x=y");  // the first '=' separates
  EXPECT_EQ(values[2].first, "Qtty");

  errors.clear();
  EXPECT_FALSE(
      ReadArguments(decls, {"Prise=1", "Price=abc", "Qtty=1", "Qtty=2", "oops"}, values, errors));
  const std::vector<std::string> expected = {
      "unknown argument 'Prise' (did you mean Price?)",
      "argument Price (double): 'abc' is not a number (decimals with '.')",
      "argument Qtty is given twice",
      "'oops' is not NAME=VALUE",
      "missing argument Text1 (text)",
  };
  EXPECT_EQ(errors, expected);
}

TEST(ClosestName, SuggestsOnlyWhatIsClose) {
  const std::vector<std::string> names = {"GetFiscalStatus", "GetPrinterStatus", "Payment"};
  EXPECT_EQ(ClosestName("getfiscalstatus", names), "GetFiscalStatus");
  EXPECT_EQ(ClosestName("GetFiscalStatsu", names), "GetFiscalStatus");
  EXPECT_EQ(ClosestName("Paymnt", names), "Payment");
  EXPECT_EQ(ClosestName("Subtotal", names), "");
}

}  // namespace
