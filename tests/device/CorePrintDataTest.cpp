#include <gtest/gtest.h>

#include "FrameCodec.h"
#include "uPrintData.h"

namespace {

std::string Text(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += static_cast<char>(b);
  return s;
}

TEST(ParseFrameText, RequestFrame) {
  TPrintData p;
  ParseFrameText(Text({0x01, 0x24, 0x20, 0x4A, 0x05, 0x30, 0x30, 0x39, 0x33, 0x03}), p);
  EXPECT_EQ(p.PacketLength, "4");
  EXPECT_EQ(p.PacketSequence, "0");
  EXPECT_EQ(p.PacketCommand, "4A");
  EXPECT_EQ(p.PacketData, "");
  EXPECT_EQ(p.PacketStatus, "");
  EXPECT_EQ(p.PacketSum, "30303933");
  EXPECT_EQ(p.PacketHex, "<SOH>24204A<ENQ>30303933");
}

TEST(ParseFrameText, ResponseFrame) {
  TPrintData p;
  ParseFrameText(Text({0x01, 0x2E, 0x21, 0x4A, 'A', 'B', 'C', 0x04, 0x80, 0x80, 0x80, 0x80, 0x80,
                       0x80, 0x05, 0x30, 0x33, 0x3A, 0x3B, 0x03}),
                 p);
  EXPECT_EQ(p.PacketLength, "14");
  EXPECT_EQ(p.PacketSequence, "1");
  EXPECT_EQ(p.PacketData, "ABC");
  EXPECT_EQ(p.PacketStatus, "808080808080");
  EXPECT_EQ(p.PacketSum, "30333A3B");
  EXPECT_EQ(p.PacketHex, "<SOH>2E214A414243<EOT>808080808080<ENQ>30333A3B");
}

TEST(ParseFrameText, SeveralFramesDescribeTheFirst) {
  const TDataBuffer a = BuildRequestFrame(0x20, 0x4A, {'W'});
  std::string text(a.begin(), a.end());
  text += text;
  TPrintData p;
  ParseFrameText(text, p);
  EXPECT_EQ(p.PacketData, "W");
  EXPECT_EQ(p.PacketSum.size(), 8u);
  EXPECT_EQ(p.PacketHex.substr(0, 5), "<SOH>");
  EXPECT_NE(p.PacketHex.find("<ETX><SOH>"), std::string::npos);
}

TEST(ParseFrameText, NotAFrameAbortsSilentlyAndFillsNothing) {
  for (const std::string& bad : {std::string(), std::string("\x16\x01", 2), std::string("A")}) {
    TPrintData p;
    p.PacketData = "keep";
    EXPECT_THROW(ParseFrameText(bad, p), ESilentAbort);
    EXPECT_EQ(p.PacketData, "keep");
  }
}

TEST(ParseFrameText, TruncatedTextsDoNotReadPastTheEnd) {
  for (std::size_t n = 1; n < 8; ++n) {
    TPrintData p;
    ParseFrameText(Text({0x01, 0x2E, 0x21, 0x4A, 0x04, 0x80, 0x05}).substr(0, n), p);
  }
}

TEST(FrameHexView, NamedControlBytes) {
  const struct {
    std::string In, Out;
  } cases[] = {
      {Text({0x01, 0x24, 0x20, 0x4A, 0x05, 0x30, 0x30, 0x39, 0x33, 0x03}),
       "<SOH>24204A<ENQ>30303933"},
      {Text({0x41, 0x05, 0x03, 0x42, 0x43}), "41<ENQ><ETX>42"},
      {Text({0x00, 0x41}), "<NULL>41"},
      {Text({0x41}), ""},
      {std::string(), ""},
      {Text({0x04, 0x03}), "<EOT><ETX><NULL>00"},
  };
  for (const auto& c : cases) EXPECT_EQ(FrameHexView(c.In), c.Out);
}

}  // namespace
