#include <gtest/gtest.h>

#include "ConstUnit.h"
#include "FrameCodec.h"
#include "ScriptedDevice.h"

namespace {

TEST(RequestFrame, StatusQueryWithoutData) {
  EXPECT_EQ(BuildRequestFrame(0x20, 0x4A, {}),
            (TDataBuffer{0x01, 0x24, 0x20, 0x4A, 0x05, 0x30, 0x30, 0x39, 0x33, 0x03}));
}

TEST(RequestFrame, LenCountsDataBeforeFrameEscaping) {
  const struct {
    TDataBuffer Data;
    std::uint8_t Len;
    TDataBuffer Wire;  // bytes between CMD and 0x05
  } cases[] = {
      {{'A', 'B'}, 0x26, {'A', 'B'}},
      {{0x1B}, 0x25, {0x10, 0x5B}},
      // An operation escaped 0x1B already: two data bytes, the DLE escaped again.
      {{0x10, 0x5B}, 0x26, {0x10, 0x50, 0x5B}},
      {{0x09, 0x0A}, 0x26, {0x09, 0x0A}},
  };
  for (const auto& c : cases) {
    const TDataBuffer f = BuildRequestFrame(0x20, 0x2A, c.Data);
    EXPECT_EQ(f[1], c.Len);
    EXPECT_EQ(TDataBuffer(f.begin() + 4, f.begin() + 4 + c.Wire.size()), c.Wire);
    EXPECT_EQ(f[4 + c.Wire.size()], 0x05);
    EXPECT_EQ(f.size(), c.Wire.size() + 10);
    EXPECT_EQ(f.back(), 0x03);
  }
}

TEST(RequestFrame, OperationEscapedByteTravelsDoublyEscaped) {
  TDataBuffer data;
  TBaseDevice::AppendEscaped(0x1B, data);
  const TDataBuffer f = BuildRequestFrame(0x21, 0x2A, data);
  EXPECT_EQ(f[1], 0x26);
  EXPECT_EQ(TDataBuffer(f.begin() + 4, f.begin() + 7), (TDataBuffer{0x10, 0x50, 0x5B}));
}

TEST(Checksum, SkipsSohAndStopsAfterEnq) {
  TDataBuffer f{0x01, 0x24, 0x20, 0x4A, 0x05, 0x77};
  f.resize(5);
  AppendChecksum(f);
  EXPECT_EQ(TDataBuffer(f.begin() + 5, f.end()), (TDataBuffer{'0', '0', '9', '3'}));
  TDataBuffer g{0x01, 0x25, 0x05, 0x4A};  // a LEN-position 0x05 ends the sum there
  AppendChecksum(g);
  EXPECT_EQ(TDataBuffer(g.begin() + 4, g.end()), (TDataBuffer{'0', '0', '2', ':'}));
  TDataBuffer empty{0x01};
  EXPECT_THROW(AppendChecksum(empty), ECmdException);
}

TEST(Sequence, RunsFrom20To7FAndWraps) {
  std::uint8_t s = 0;
  s = NextSequence(s);
  EXPECT_EQ(s, 0x20);
  for (int i = 1; i < 96; ++i) s = NextSequence(s);
  EXPECT_EQ(s, 0x7F);
  EXPECT_EQ(NextSequence(s), 0x20);
  EXPECT_EQ(NextSequence(0x1E), 0x20);
  EXPECT_EQ(NextSequence(0xFF), 0x20);
  EXPECT_EQ(NextSequence(0x20), 0x21);
}

TEST(Sequence, ScriptedDeviceAdvancesOncePerCommand) {
  TScriptedDevice dev;
  TDataBuffer d, st;
  for (int i = 0; i < 97; ++i) dev.SendCommand(0x4A, d, st);
  EXPECT_EQ(dev.Requests[0].Frame[2], 0x20);
  EXPECT_EQ(dev.Requests[95].Frame[2], 0x7F);
  EXPECT_EQ(dev.Requests[96].Frame[2], 0x20);
}

TEST(ResponseFrame, LayoutOfAnEmptyAnswer) {
  const TDataBuffer f = BuildResponseFrame(0x20, 0x4A, {}, TDataBuffer(6, 0x80));
  EXPECT_EQ(f[1], 0x2B);
  EXPECT_EQ(f[4], 0x04);
  EXPECT_EQ(f[11], 0x05);
  EXPECT_EQ(f.size(), 17u);
}

TDataBuffer Good(const std::string& data = "ABC") {
  return BuildResponseFrame(0x21, 0x4A, TDataBuffer(data.begin(), data.end()),
                            TDataBuffer(6, 0x80));
}

TEST(ResponseChecks, WellFormedReplyGivesDataAndStatus) {
  std::string seen;
  const auto parts = CheckCollectedResponse(Good(), 0x21, 0x4A,
                                            [&](std::uint8_t b) { seen += char(b); });
  EXPECT_EQ(parts.Data, (TDataBuffer{'A', 'B', 'C'}));
  EXPECT_EQ(parts.Status, TDataBuffer(6, 0x80));
  const TDataBuffer g = Good();
  EXPECT_EQ(seen, std::string(g.begin() + 1, g.end()));
}

TEST(ResponseChecks, LowBytesAreCountedButNotKept) {
  TDataBuffer f{0x01, 0x2D, 0x21, 0x4A, 'A', 0x02, 0x04, 0x80, 0x80, 0x80, 0x80, 0x80,
                0x80, 0x05};
  std::uint32_t sum = 0;
  for (std::size_t i = 1; i < f.size(); ++i) sum += f[i];
  for (char c : Hex4(sum)) f.push_back(static_cast<std::uint8_t>(c <= '9' ? c : c - 'A' + 0x3A));
  f.push_back(0x03);
  const auto parts = CheckCollectedResponse(f, 0x21, 0x4A, {});
  EXPECT_EQ(parts.Data, (TDataBuffer{'A'}));
}

struct TBrokenCase {
  std::string Name;
  TDataBuffer Reply;
  int Code;
  std::string Detail;
};

TDataBuffer With(TDataBuffer f, std::size_t at, std::uint8_t b) {
  f.at(at) = b;
  return f;
}

// The frame without its byte at `at`.
TDataBuffer Without(const TDataBuffer& f, std::size_t at) {
  TDataBuffer out;
  for (std::size_t i = 0; i < f.size(); ++i)
    if (i != at) out.push_back(f[i]);
  return out;
}

TEST(ResponseChecks, EachBrokenPartFailsWithItsCodeAndDetail) {
  const TDataBuffer g = Good();  // 01 2E 21 4A 'ABC' 04 80x6 05 cccc 03
  const std::size_t sum = g.size() - 5;
  const TDataBuffer noEot = Without(g, 7);
  const TDataBuffer noEnq = Without(g, 14);
  const TDataBuffer shortStatus = Without(g, 8);
  TDataBuffer fiveAbove = With(g, 9, 0x03);
  TDataBuffer noEtx(g.begin(), g.end() - 1);
  const TDataBuffer threeDigits = Without(g, sum);
  const TBrokenCase cases[] = {
      {"short", {0x01, 0x2E, 0x03}, 105, "LEN1"},
      {"LEN 0", With(g, 1, 0x00), 105, "<LEN>"},
      {"SEQ 0", With(g, 2, 0x00), 104, "<SEQ>"},
      {"SEQ one above", With(g, 2, 0x22), 109, "[22/21]"},
      {"CMD 0", With(g, 3, 0x00), 104, "<CMD>"},
      {"CMD differs", With(g, 3, 0x4B), 110, "[4B/4A]"},
      {"no 0x04", noEot, 104, "data"},
      {"no 0x05", noEnq, 104, "status"},
      {"five status bytes", shortStatus, 105, "<STATUS>"},
      {"fewer than six bytes after 0x04",
       {0x01, 0x2A, 0x21, 0x4A, 0x04, 0x80, 0x80, 0x05, 0x30, 0x03}, 104, "status"},
      {"status byte at or below 0x05", fiveAbove, 105, "<STATUS>"},
      {"no 0x03", noEtx, 104, "contr.sum"},
      {"three checksum digits", threeDigits, 104, "[" + std::string(g.begin() + sum + 1, g.begin() + sum + 4) + "]"},
      {"LEN count", With(g, 1, 0x2F), 112, "15/14"},
      {"checksum differs", With(g, sum, '9'), 104,
       "[9" + std::string(g.begin() + sum + 1, g.begin() + sum + 4) + "/" +
           std::string(g.begin() + sum, g.begin() + sum + 4) + "]"},
      {"bad checksum character", With(g, sum, 'A'), 104,
       "[11" + std::string(g.begin() + sum + 1, g.begin() + sum + 4) + "]"},
  };
  for (const auto& c : cases) {
    try {
      CheckCollectedResponse(c.Reply, 0x21, 0x4A, {});
      ADD_FAILURE() << c.Name << ": no failure";
    } catch (const ECmdException& e) {
      EXPECT_EQ(e.Code, c.Code) << c.Name;
      EXPECT_EQ(std::string(e.what()), c.Detail) << c.Name;
    }
  }
}

TEST(ResponseChecks, BytesAreReportedUpToTheFailingOne) {
  std::string seen;
  EXPECT_THROW(CheckCollectedResponse(With(Good(), 2, 0x22), 0x21, 0x4A,
                                      [&](std::uint8_t b) { seen += char(b); }),
               ECmdException);
  EXPECT_EQ(seen, "\x2E\x22");
}

// The traffic-text writers agree with BytesToHex, also where the range runs past the buffer.
TEST(HexText, AssignAndAppendWriteWhatBytesToHexWrites) {
  const TDataBuffer buf{0x01, 0x2E, 0xFF, 0x03};
  const struct {
    std::size_t Start, Count;
  } cases[] = {{0, 4}, {1, 2}, {2, 9}, {4, 1}, {7, 3}, {0, 0}};
  for (const auto& c : cases) {
    const std::string want = TBaseDevice::BytesToHex(buf, c.Start, c.Count);
    std::string assigned = "old text";
    AssignHexText(assigned, buf, c.Start, c.Count);
    EXPECT_EQ(assigned, want) << c.Start << "," << c.Count;
    std::string appended = "15 \r";
    AppendHexText(appended, buf, c.Start, c.Count);
    EXPECT_EQ(appended, "15 \r" + want) << c.Start << "," << c.Count;
  }
}

TEST(ScriptedDevice, RawBrokenFramesFailLikeATransport) {
  TScriptedDevice dev;
  TDataBuffer d, st;
  dev.AnswerRaw({0x16, 0x16, 0x15});
  EXPECT_FALSE(dev.SendCommand(0x4A, d, st));
  EXPECT_EQ(dev.LastErrorCode, 106);
  EXPECT_EQ(dev.LastErrorText, "NAK. Printer does not recognize the command. <NAK>");
  dev.Answer("W", StatusWith({{2, 3}}));
  EXPECT_TRUE(dev.SendCommand(0x4A, d, st));
  EXPECT_EQ(d, (TDataBuffer{'W'}));
  EXPECT_EQ(st, StatusWith({{2, 3}}));
  EXPECT_FALSE(dev.SendCommand(0x4A, d, st));
  EXPECT_EQ(dev.LastErrorCode, 103);
}

}  // namespace
