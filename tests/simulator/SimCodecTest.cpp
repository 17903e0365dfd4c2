#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimClock.h"
#include "SimCodec.h"
#include "SimNumbers.h"

using namespace sim;

namespace {

std::string B(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

struct TFeedResult {
  std::vector<TRequestAssembler::EEvent> Events;
  TSimRequest Last;
};

TFeedResult Feed(const std::string& bytes) {
  TRequestAssembler a;
  TFeedResult r;
  for (char c : bytes) {
    auto ev = a.Push(static_cast<std::uint8_t>(c));
    if (ev != TRequestAssembler::EEvent::None) {
      r.Events.push_back(ev);
      r.Last = a.Request();
    }
  }
  return r;
}

constexpr auto kFrame = TRequestAssembler::EEvent::Frame;
constexpr auto kBroken = TRequestAssembler::EEvent::Broken;

}  // namespace

TEST(SimCodec, RequestOf4AWithoutDataIsTheKnownFrame) {
  EXPECT_EQ(EncodeRequest(0x20, 0x4A, ""),
            B({0x01, 0x24, 0x20, 0x4A, 0x05, 0x30, 0x30, 0x39, 0x33, 0x03}));
}

TEST(SimCodec, RequestLenCountsDataBeforeEscaping) {
  std::string f = EncodeRequest(0x20, 0x2A, B({0x1B}));
  EXPECT_EQ(f[1], 0x25);
  EXPECT_EQ(f.substr(4, 2), B({0x10, 0x5B}));
  // Text escaped once by the command and once more by the frame.
  f = EncodeRequest(0x20, 0x2A, B({0x10, 0x5B}));
  EXPECT_EQ(f[1], 0x26);
  EXPECT_EQ(f.substr(4, 3), B({0x10, 0x50, 0x5B}));
}

TEST(SimCodec, ResponseLayoutLenAndChecksum) {
  std::string st(6, static_cast<char>(0x80));
  std::string f = EncodeResponse(0x21, 0x4A, "ABC", st);
  EXPECT_EQ(f, B({0x01, 0x2E, 0x21, 0x4A, 'A',  'B',  'C',  0x04, 0x80, 0x80,
                  0x80, 0x80, 0x80, 0x80, 0x05, 0x30, 0x34, 0x36, 0x38, 0x03}));
  // No data: LEN 0x2B.
  EXPECT_EQ(EncodeResponse(0x20, 0x4A, "", st)[1], 0x2B);
}

TEST(SimCodec, AssemblerTakesAValidFrameApart) {
  auto r = Feed("xx" + EncodeRequest(0x2A, 0x31, B({'A', 0x09, 0xC1, '1', 0x1B})) + "yy");
  ASSERT_EQ(r.Events, std::vector{kFrame});
  EXPECT_EQ(r.Last.Seq, 0x2A);
  EXPECT_EQ(r.Last.Cmd, 0x31);
  EXPECT_EQ(r.Last.Data, B({'A', 0x09, 0xC1, '1', 0x1B}));
}

TEST(SimCodec, AssemblerHandlesLenAndCmdThatLookLikeControlBytes) {
  // CMD 0x05 ends the host's checksum walk at once; CMD 0x01 is skipped by it.
  for (int cmd : {0x01, 0x03, 0x05}) {
    auto r = Feed(EncodeRequest(0x20, static_cast<std::uint8_t>(cmd), "AB"));
    ASSERT_EQ(r.Events, std::vector{kFrame}) << cmd;
    EXPECT_EQ(r.Last.Data, "AB");
  }
}

TEST(SimCodec, AssemblerReportsBrokenFrames) {
  std::string good = EncodeRequest(0x20, 0x4A, "W");
  struct TCase {
    const char* Name;
    std::string Frame;
  } cases[] = {
      {"checksum",
       [&] {
         std::string f = good;
         f[f.size() - 2] ^= 1;
         return f;
       }()},
      {"LEN",
       [&] {
         std::string f = good;
         f[1] = 0x26;
         return f;
       }()},
      {"no ETX",
       [&] {
         std::string f = good;
         f.back() = 0x02;
         return f;
       }()},
      {"raw control byte", B({0x01, 0x25, 0x20, 0x4A, 0x02, 0x05, '0', '0', '0', '0', 0x03})},
      {"bad escape", B({0x01, 0x25, 0x20, 0x4A, 0x10, 0x20, 0x05, '0', '0', '0', '0', 0x03})},
  };
  for (const auto& c : cases) {
    auto r = Feed(c.Frame + good);
    EXPECT_EQ(r.Events, (std::vector{kBroken, kFrame})) << c.Name;
  }
}

TEST(SimCodec, LenMustCountTheDataWithoutWrapping) {
  struct {
    const char* Name;
    std::string Data;
    bool Taken;
  } cases[] = {
      {"219 bytes, LEN 0xFF", std::string(219, 'A'), true},
      {"219 bytes escaped past 255 on the wire", std::string(219, '\x01'), true},
      {"220 bytes, LEN wrapped to 0x00", std::string(220, 'A'), false},
      {"255 bytes, LEN wrapped to 0x23", std::string(255, 'A'), false},
      {"256 bytes, LEN wrapped to 0x24 as if empty", std::string(256, 'A'), false},
  };
  for (const auto& c : cases) {
    const std::string frame = EncodeRequest(0x20, 0x2A, c.Data);
    auto r = Feed(frame);
    ASSERT_EQ(r.Events, std::vector{c.Taken ? kFrame : kBroken}) << c.Name;
    if (c.Taken) {
      EXPECT_EQ(r.Last.Data, c.Data) << c.Name;
    }
  }
  EXPECT_GT(EncodeRequest(0x20, 0x2A, std::string(219, '\x01')).size(), 255u);
}

TEST(SimCodec, NewStartByteInsideDataRestartsTheFrame) {
  std::string cut = EncodeRequest(0x20, 0x4A, "WWW").substr(0, 6);
  auto r = Feed(cut + EncodeRequest(0x21, 0x4A, "W"));
  ASSERT_EQ(r.Events, std::vector{kFrame});
  EXPECT_EQ(r.Last.Seq, 0x21);
}

TEST(SimCodec, UnescapeAndValidity) {
  EXPECT_EQ(Unescape(B({'A', 0x10, 0x45, 0x10, 0x50, 'B'})), B({'A', 0x05, 0x10, 'B'}));
  EXPECT_EQ(Unescape(B({'A', 0x10})), B({'A', 0x10}));
  EXPECT_TRUE(IsValidEscapedData(B({0x09, 0x0A, 0x10, 0x40, 0x10, 0x5F})));
  EXPECT_FALSE(IsValidEscapedData(B({0x10, 0x60})));
  EXPECT_FALSE(IsValidEscapedData(B({0x10})));
}

TEST(SimCodec, TraceNamesControlBytes) {
  EXPECT_EQ(TraceHex(B({0x01, 0x24, 0x16, 0x15, 0x05, 0x03, 0xC1})),
            "<SOH> 24 <SYN> <NAK> <ENQ> <ETX> C1");
}

TEST(SimNumbers, ScaledParsingAndFormatting) {
  struct {
    const char* Text;
    int Decimals;
    std::optional<std::int64_t> Value;
  } cases[] = {{"1.20", 2, 120}, {"-3.5", 2, -350}, {"+1000.00", 2, 100000}, {"2.2", 3, 2200},
               {"0.005", 2, 1},  {"-0.005", 2, -1}, {"12", 2, 1200},         {"1,5", 2, {}},
               {"", 2, {}},      {"1.2.3", 2, {}},  {"abc", 2, {}},          {" 7.00 ", 2, 700}};
  for (const auto& c : cases) EXPECT_EQ(ParseScaled(c.Text, c.Decimals), c.Value) << c.Text;
  EXPECT_EQ(FormatScaled(1234, 2), "12.34");
  EXPECT_EQ(FormatScaled(-5, 3), "-0.005");
  EXPECT_EQ(FormatScaled(0, 2), "0.00");
  EXPECT_EQ(MulDivRound(22905, 1000, 10000), 2291);
  EXPECT_EQ(MulDivRound(-2000, 132, 25328), -10);
  EXPECT_EQ(MulDivRound(INT64_MAX, 4, 1), INT64_MAX);  // saturates instead of wrapping
  EXPECT_EQ(MulDivRound(INT64_MIN, 4, 1), INT64_MIN);
}

TEST(SimClock, CivilRoundTripAndValidation) {
  auto t = FromCivil({2026, 12, 7, 14, 5, 9});
  ASSERT_TRUE(t);
  TCivil c = ToCivil(*t);
  EXPECT_EQ(c.Year, 2026);
  EXPECT_EQ(c.Month, 12);
  EXPECT_EQ(c.Day, 7);
  EXPECT_EQ(c.Second, 9);
  EXPECT_FALSE(FromCivil({2026, 2, 29, 0, 0, 0}));
  EXPECT_TRUE(FromCivil({2024, 2, 29, 0, 0, 0}));
  EXPECT_FALSE(FromCivil({2026, 13, 1, 0, 0, 0}));
}
