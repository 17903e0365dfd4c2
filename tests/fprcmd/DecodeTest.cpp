// --decode: the frame, status and log examples taken apart, and every failing
// check of a broken frame reported.
#include <gtest/gtest.h>

#include "FprCmdTestSupport.h"
#include "FrameCodec.h"
#include "FrameDecoder.h"

namespace {

using json = nlohmann::json;

std::string HexWords(const TDataBuffer& b) {
  std::string out;
  for (std::uint8_t x : b) out += Hex2(x) + " ";
  return out;
}

TDataBuffer Bytes(const std::string& s) { return TDataBuffer(s.begin(), s.end()); }

// Six status bytes with bit 7 set, as devices send them, plus [k/n] bits.
TDataBuffer Status(std::initializer_list<std::pair<int, int>> bits = {}) {
  TDataBuffer s(6, 0x80);
  for (auto [k, n] : bits) s[k] = static_cast<std::uint8_t>(s[k] | (1 << n));
  return s;
}

json DecodeOne(const std::string& hex) {
  const TCmdRun run = RunCmd({"--decode", "--json", hex});
  const auto lines = run.JsonLines();
  EXPECT_EQ(lines.size(), 1u) << run.Out << run.Err;
  return lines.empty() ? json() : lines[0];
}

TEST(Decode, RequestExamplesGiveTheirFields) {
  struct TCase {
    std::string Hex;
    const char* Length;
    const char* Data;  // before the frame's own escaping
    const char* Sum;
  } cases[] = {
      {"01 24 20 4A 05 30 30 39 33 03", "4", "", "30303933"},
      {HexWords(BuildRequestFrame(0x20, 0x4A, Bytes("AB"))), "6", "AB", ""},
      // One data byte 0x1B goes out as 10 5B and LEN counts it once.
      {HexWords(BuildRequestFrame(0x20, 0x4A, {0x1B})), "5", "\x1B", ""},
  };
  for (const TCase& c : cases) {
    const json f = DecodeOne(c.Hex);
    EXPECT_EQ(f["direction"], "request") << c.Hex;
    EXPECT_EQ(f["fields"]["PacketLength"], c.Length) << c.Hex;
    EXPECT_EQ(f["fields"]["PacketSequence"], "0") << c.Hex;
    EXPECT_EQ(f["fields"]["PacketCommand"], "4A") << c.Hex;
    EXPECT_EQ(f["data"], c.Data) << c.Hex;
    if (*c.Sum) EXPECT_EQ(f["fields"]["PacketSum"], c.Sum);
    EXPECT_EQ(f["failures"], json::array()) << c.Hex;
    EXPECT_EQ(f["ok"], true);
  }
  const TCmdRun text =
      RunCmd({"--decode", "01", "24", "20", "4A", "05", "30", "30", "39", "33", "03"});
  EXPECT_EQ(text.Status, 0);
  EXPECT_EQ(text.Out,
            "Frame 1: request, 10 bytes\n"
            " HEX: <SOH>24204A<ENQ>30303933<ETX>\n"
            " Packet length: 4\n"
            " Packet sequence: 0\n"
            " Command: 4A\n"
            " Data: \n"
            " Sum: 30303933\n"
            " Checks: OK\n");
}

TEST(Decode, ResponseGivesDataStatusAndTheSetFlags) {
  // 'ABC' with [2/0] and [4/0] set; the frame of the log example, SEQ 0x21.
  const TDataBuffer frame = BuildResponseFrame(0x21, 0x4A, Bytes("ABC"), Status({{2, 0}, {4, 0}}));
  const TCmdRun text = RunCmd({"--decode", HexWords(frame)});
  EXPECT_EQ(text.Status, 0) << text.Out;
  EXPECT_NE(text.Out.find("Frame 1: response, 20 bytes\n"
                          " HEX: <SOH>2E214A414243<EOT>808081808180<ENQ>"),
            std::string::npos)
      << text.Out;
  EXPECT_NE(text.Out.find(" Packet length: 14\n Packet sequence: 1\n Command: 4A\n Data: ABC\n"
                          " Result status: 808081808180\n Status flags:\n"
                          "  [2/0] No paper.\n"
                          "  [4/0] There is an error in the fiscal memory.\n"),
            std::string::npos)
      << text.Out;

  // No data: LEN 0x2B.
  const json empty = DecodeOne(HexWords(BuildResponseFrame(0x20, 0x4A, {}, Status())));
  EXPECT_EQ(empty["fields"]["PacketLength"], "11");
  EXPECT_EQ(empty["flags"], json::array());
  EXPECT_EQ(empty["host_check"], "");
  EXPECT_EQ(empty["ok"], true);
}

TEST(Decode, EveryFailingCheckIsReported) {
  TDataBuffer frame = BuildResponseFrame(0x20, 0x4A, Bytes("OK"), Status());
  frame[1] = static_cast<std::uint8_t>(frame[1] + 1);  // LEN one too many
  frame[frame.size() - 5] ^= 0x01;                     // and a checksum digit off
  frame.pop_back();                                    // and no ETX
  const json f = DecodeOne(HexWords(frame));
  ASSERT_EQ(f["failures"].size(), 3u) << f.dump();
  EXPECT_EQ(f["failures"][0],
            "length: LEN 2E counts 14 bytes from LEN to <ENQ>, the frame holds 13");
  EXPECT_EQ(f["failures"][1].get<std::string>().rfind("checksum: received ", 0), 0u);
  EXPECT_EQ(f["failures"][2], "missing <ETX> after the checksum");
  // A TCP host stops at the first it looks at: the missing end.
  EXPECT_EQ(f["host_check"], "104 Fail read byte from packet. contr.sum");
  EXPECT_EQ(RunCmd({"--decode", HexWords(frame)}).Status, 1);
}

TEST(Decode, AFrameWithAWrongChecksumIsReported) {
  const TCmdRun run = RunCmd({"--decode", "01 24 20 4A 05 30 30 39 34 03"});
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Out.find(" FAILED checksum: received 0094, computed 0093\n"), std::string::npos)
      << run.Out;
}

TEST(Decode, ReadsTheLogsHexViewAndLinesOnStandardInput) {
  // The log's view names the control bytes and leaves out the closing ETX.
  const std::string input =
      "<SYN><SYN>\n"
      "\n"
      "<SOH>24204A<ENQ>30303933\n"
      "  01 25 20 4A 57 05 30 30 3E 3B 03  \n";
  const TCmdRun run = RunCmd({"--decode", "--json"}, input);
  EXPECT_EQ(run.Status, 1);  // the frame from the log has no ETX
  const auto lines = run.JsonLines();
  ASSERT_EQ(lines.size(), 3u) << run.Out;
  EXPECT_EQ(lines[0]["stray"], "1616");
  EXPECT_EQ(lines[1]["frame"], 1);
  EXPECT_EQ(lines[1]["failures"], json::array({"missing <ETX> after the checksum"}));
  EXPECT_EQ(lines[2]["frame"], 2);
  EXPECT_EQ(lines[2]["data"], "W");
  EXPECT_EQ(lines[2]["ok"], true);
  EXPECT_NE(RunCmd({"--decode", "16 16"}).Out.find("(SYN: the device is busy)"), std::string::npos);
}

TEST(Decode, UnreadableHexIsAnArgumentError) {
  struct TCase {
    std::vector<std::string> Args;
    std::string Input;
    const char* Says;
  } cases[] = {
      {{"--decode", "01 2"}, "", "odd number of hexadecimal digits at column 4"},
      {{"--decode", "012"}, "", "odd number of hexadecimal digits at column 3"},
      {{"--decode", "<STX>24"}, "", "unknown control byte name at column 1"},
      {{"--decode", "0x01"}, "", "'x' at column 2 is not a hexadecimal digit"},
      {{"--decode"}, "01 24\n0G\n", "line 2: 'G' at column 2"},
      {{"--decode"}, "\n", "--decode: no frame given"},
  };
  for (const TCase& c : cases) {
    const TCmdRun run = RunCmd(c.Args, c.Input);
    EXPECT_EQ(run.Status, 2) << c.Says;
    EXPECT_NE(run.Err.find(c.Says), std::string::npos) << run.Err;
    EXPECT_EQ(run.Out, "");
  }
}

TEST(Decode, ShowsEveryByteOfBrokenEnds) {
  EXPECT_EQ(FullHexView(std::string("\x01\x24\x20\x4A\x05", 5)), "<SOH>24204A<ENQ>");
  EXPECT_EQ(FullHexView(std::string("\x01\x24\x20\x4A\x05\x30\x30\x39\x33\x03", 10)),
            "<SOH>24204A<ENQ>30303933<ETX>");
  EXPECT_EQ(FullHexView("\x16\x15"), "1615");
}

}  // namespace
