#include <gtest/gtest.h>

#include "BaseDeviceUnit.h"

namespace {

TEST(AppendEscaped, ControlBytesBecomeDlePairsOthersPassUnchanged) {
  const struct {
    std::uint8_t In;
    TDataBuffer Out;
  } cases[] = {
      {0x00, {0x10, 0x40}}, {0x05, {0x10, 0x45}}, {0x09, {0x09}},       {0x0A, {0x0A}},
      {0x10, {0x10, 0x50}}, {0x1F, {0x10, 0x5F}}, {0x20, {0x20}},       {0x7F, {0x7F}},
      {0xC0, {0xC0}},       {0xFF, {0xFF}},       {0x1B, {0x10, 0x5B}},
  };
  for (const auto& c : cases) {
    TDataBuffer buf{0xAA};
    TBaseDevice::AppendEscaped(c.In, buf);
    TDataBuffer expected{0xAA};
    expected.insert(expected.end(), c.Out.begin(), c.Out.end());
    EXPECT_EQ(buf, expected) << "byte " << int(c.In);
  }
}

TEST(AppendEscaped, TextAndRawAppends) {
  TDataBuffer buf;
  TBaseDevice::AppendEscapedText(std::string("A\x01\tB", 4), buf);
  EXPECT_EQ(buf, (TDataBuffer{'A', 0x10, 0x41, 0x09, 'B'}));
  TBaseDevice::AppendByte(0x01, buf);
  TBaseDevice::AppendBytes(TDataBuffer{0x02, 0x03}, buf);
  EXPECT_EQ(buf, (TDataBuffer{'A', 0x10, 0x41, 0x09, 'B', 0x01, 0x02, 0x03}));
}

TEST(Dumps, HexAndTextRanges) {
  const TDataBuffer b{0x01, 0x24, 0x20, 0x4A};
  EXPECT_EQ(TBaseDevice::BytesToHex(b, 0, 4), "01 24 20 4A ");
  EXPECT_EQ(TBaseDevice::BytesToHex(b, 1, 2), "24 20 ");
  EXPECT_EQ(TBaseDevice::BytesToHex(b, 2, 255), "20 4A ");
  EXPECT_EQ(TBaseDevice::BytesToHex(b, 4, 3), "");
  EXPECT_EQ(TBaseDevice::BytesToHex(b, 9, 3), "");
  EXPECT_EQ(TBaseDevice::BytesToTextRange(b, 2, 1), " ");
  EXPECT_EQ(TBaseDevice::BytesToText(TDataBuffer{'A', 0xC0, 0x00}), std::string("A\xC0\0", 3));
}

TEST(Dumps, HexOfLongFramesIsNotCutAt255Bytes) {
  const TDataBuffer b(300, 0x41);
  EXPECT_EQ(TBaseDevice::BytesToHex(b, 0, b.size()).size(), 900u);
}

struct TFieldCase {
  bool Comma;
  std::string In;
  std::vector<std::string> Fields;
};

TEST(FieldTakers, SplitAsTheDeviceAnswersAreRead) {
  const TFieldCase cases[] = {
      {true, "12, 34,5", {"12", " 34", "5"}},
      {true, "A,,B", {"A", "", "B"}},
      {true, "125,,37", {"125", "", "37"}},
      {true, "X", {"X"}},
      {true, "1 ,2", {"1 ", "2"}},
      {true, ",A", {"", "A"}},
      {false, "1   2", {"1", "2"}},
      {false, " A B", {"", "A", "B"}},
      {false, "1.02 01Jan20 10:00,A", {"1.02", "01Jan20", "10:00,A"}},
  };
  for (const auto& c : cases) {
    std::string s = c.In, f;
    std::vector<std::string> got;
    while (!s.empty() && got.size() < 10) {
      c.Comma ? TBaseDevice::TakeCommaField(s, f) : TBaseDevice::TakeSpaceField(s, f);
      got.push_back(f);
    }
    EXPECT_EQ(got, c.Fields) << c.In;
  }
}

TEST(FieldTakers, CommaFieldKeepsBlanksAfterTheSeparatorInTheRest) {
  std::string s = "12, 34,5", f;
  TBaseDevice::TakeCommaField(s, f);
  EXPECT_EQ(f, "12");
  EXPECT_EQ(s, " 34,5");
  TBaseDevice::TakeCommaField(s, f);
  EXPECT_EQ(s, "5");
  TBaseDevice::TakeCommaField(s, f);
  EXPECT_EQ(f, "5");
  EXPECT_EQ(s, "");
  TBaseDevice::TakeCommaField(s, f);
  EXPECT_EQ(f, "");
}

}  // namespace
