// What the monitor writes: the text block of an exchange, the JSON line, the
// views, and the same output however the bytes were cut into chunks.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "TapMonitorTestSupport.h"

using namespace taptest;
using json = nlohmann::json;

namespace {

std::vector<json> JsonLines(const std::string& text) {
  std::vector<json> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(json::parse(line));
  return out;
}

const TTapMonitorOptions kJson{{}, true};

const std::vector<TChunk> kOneExchange = {
    {TTapSide::Host, Request(0x20, 0x4A, "W"), 1'000'000},
    {TTapSide::Device, Answer(0x20, 0x4A, "OK", Status({{2, 0}, {0, 1}})), 1'001'250},
};

TEST(TapMonitorOutput, TextBlockOfAnExchange) {
  EXPECT_EQ(Monitor(kOneExchange),
            "Exchange 1 at 0.000000 s: command 4AH, SEQ 20, answered in 1.250 ms\n"
            "Communication PC->PRN\n"
            "Raw view \\x01% JW\\x0500>;\\x03\n"
            "Hex view: <SOH>25204A57<ENQ>30303E3B<ETX>\n"
            "Detailed view:\n"
            " Packet length:5\n"
            " Packet sequence:0\n"
            " Command:4A\n"
            " Data:W\n"
            " Sum:30303E3B\n"
            "Communication PRN->PC\n"
            "Raw view \\x01- JOK\\x04\xE2\x80\x9A\xD0\x82\xD0\x83\xD0\x82\xD0\x82\xD0\x82"
            "\\x05043=\\x03\n"
            "Hex view: <SOH>2D204A4F4B<EOT>828081808080<ENQ>3034333D<ETX>\n"
            "Detailed view:\n"
            " Packet length:13\n"
            " Packet sequence:0\n"
            " Command:4A\n"
            " Data:OK\n"
            " Result status:828081808080\n"
            " Sum:3034333D\n"
            "Status flags:\n"
            " [0/1] 204 Invalid command.\n"
            " [2/0] 210 No paper.\n"
            "Checks: OK\n"
            "----------------------------------\n");
}

TEST(TapMonitorOutput, ViewsPickTheLinesOfTheBlock) {
  const std::pair<const char*, const char*> cases[] = {{"raw", "Raw view "},
                                                       {"hex", "Hex view: "},
                                                       {"fields", "Detailed view:\n"},
                                                       {"status", "Status flags:\n"}};
  for (const auto& [view, line] : cases) {
    TTapMonitorOptions o;
    std::string error;
    ASSERT_TRUE(ParseTapViews(view, o.Views, error)) << view;
    const std::string text = Monitor(kOneExchange, o);
    for (const auto& [other, otherLine] : cases)
      EXPECT_EQ(text.find(otherLine) != std::string::npos, other == view) << view << otherLine;
    EXPECT_NE(text.find("Checks: OK"), std::string::npos);
  }
  TTapViews v;
  std::string error;
  for (const char* bad : {"", "raw,", "HEX"}) EXPECT_FALSE(ParseTapViews(bad, v, error));
  EXPECT_EQ(error, "unknown view 'HEX': the views are raw, hex, fields and status");
}

TEST(TapMonitorOutput, JsonLineOfAnExchange) {
  const std::vector<json> lines = JsonLines(Monitor(kOneExchange, kJson));
  ASSERT_EQ(lines.size(), 1u);
  const json& j = lines[0];
  const json want = json::parse(R"({"exchange": 1, "time_us": 1000000, "command": "4A",
      "seq": "20", "duration_us": 1250, "ok": true, "host_check": ""})");
  for (const auto& [key, value] : want.items()) EXPECT_EQ(j[key], value) << key;
  EXPECT_EQ(j["request"]["bytes"], "0125204A570530303E3B03");
  EXPECT_EQ(j["request"]["direction"], "PC->PRN");
  EXPECT_EQ(j["answer"]["direction"], "PRN->PC");
  EXPECT_EQ(j["request"]["data"], "W");
  EXPECT_EQ(j["answer"]["data"], "OK");
  EXPECT_EQ(j["answer"]["status"], "828081808080");
  ASSERT_EQ(j["answer"]["flags"].size(), 2u);
  EXPECT_EQ(j["answer"]["flags"][1],
            json({{"bit", "[2/0]"}, {"code", 210}, {"text", "No paper."}}));
}

TEST(TapMonitorOutput, DeviceTextComesOutAsUtf8AndNeverAsTerminalControls) {
  // CP1251 "Фиск" plus an escape sequence and DEL in the answer's data.
  const std::string data = "\xD4\xE8\xF1\xEA\x1B[2J\x7F\\";
  const std::vector<TChunk> chunks = {{TTapSide::Host, Request(0x21, 0x2A, "x"), 0},
                                      {TTapSide::Device, Answer(0x21, 0x2A, data), 10}};
  const std::string text = Monitor(chunks);
  EXPECT_NE(text.find(" Data:\xD0\xA4\xD0\xB8\xD1\x81\xD0\xBA\\x1B[2J\\x7F\\\\\n"),
            std::string::npos);
  EXPECT_EQ(text.find('\x1B'), std::string::npos);
  const json j = JsonLines(Monitor(chunks, kJson))[0];
  EXPECT_EQ(j["answer"]["data"], "\xD0\xA4\xD0\xB8\xD1\x81\xD0\xBA\x1B[2J\x7F\\");
  EXPECT_EQ(j["answer"]["data_hex"], "D4E8F1EA1B5B324A7F5C");
}

// The simulator's answers, faults included, cut every way and read back from
// a capture: the output is the same.
TEST(TapMonitorOutput, SameOutputHoweverTheBytesAreCutAndWhenReadBack) {
  TSimTraffic sim;
  sim.Device.Busy(700, 1, 0x4A);
  sim.Device.NakNext(1, 0x3E);
  sim.Device.NoiseBeforeFrame(std::string(sim::kDefaultNoise, 5), 1, 0x5A);
  sim.Device.WrongSeq(1, 0x71);
  sim.Device.WrongChecksum(1, 0x44);
  std::uint8_t seq = 0x20;
  for (std::uint8_t cmd : {0x4A, 0x3E, 0x3E, 0x5A, 0x71, 0x44, 0x4A}) {
    sim.Exchange(Request(seq, cmd, cmd == 0x4A ? "W" : ""), seq * 5000, 900);
    seq = NextSequence(seq);
  }
  sim.Chunks.push_back({TTapSide::Host, Request(seq, 0x4A).substr(0, 5), 999'000});
  sim.Chunks.push_back({TTapSide::Host, "", 1'000'000, true});
  const TTempFile file(Capture(sim.Chunks));
  for (const TTapMonitorOptions& o : {TTapMonitorOptions{}, kJson}) {
    const std::string whole = Monitor(sim.Chunks, o, 0, true);
    EXPECT_NE(whole.find(o.Json ? "\"seq-mismatch\"" : "FAILED seq-mismatch"), std::string::npos);
    for (std::size_t piece : {1u, 2u, 3u, 7u})
      EXPECT_EQ(Monitor(sim.Chunks, o, piece, true), whole);
    std::ostringstream read, errors;
    EXPECT_EQ(RunTapRead(file.Path, o, read, errors), 1);  // the checks failed
    EXPECT_EQ(read.str(), whole);
    EXPECT_EQ(errors.str(), "");
  }
}

}  // namespace
