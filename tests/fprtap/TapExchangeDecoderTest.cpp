// Pairing requests with answers and the checks reported on each exchange.
#include <gtest/gtest.h>

#include "TapExchangeDecoder.h"
#include "TapMonitorTestSupport.h"

using namespace taptest;

namespace {

// Each exchange as "<number>:<kinds of failed checks, comma-joined>".
std::vector<std::string> Kinds(const std::vector<TChunk>& chunks,
                               std::vector<TTapExchange>* all = nullptr) {
  std::vector<std::string> out;
  TTapExchangeDecoder d([&](const TTapExchange& ex) {
    std::string s = std::to_string(ex.Number) + ":";
    for (std::size_t i = 0; i < ex.Checks.size(); ++i) s += (i > 0 ? "," : "") + ex.Checks[i].Kind;
    out.push_back(s);
    if (all != nullptr) all->push_back(ex);
  });
  for (const TChunk& c : chunks) {
    if (c.Close) {
      d.Close(c.From, c.TimeUs);
    } else {
      d.Bytes(c.From, c.Bytes, c.TimeUs);
    }
  }
  EXPECT_EQ(d.Accounted() + d.Pending(), d.Fed());
  return out;
}

const TTapSide H = TTapSide::Host, D = TTapSide::Device;

std::string WithByte(std::string frame, std::size_t at, char value) {
  frame[at] = value;
  return frame;
}

TEST(TapExchangeDecoder, EachCheckOnItsExchange) {
  const std::string req = Request(0x20, 0x4A, "W"), ans = Answer(0x20, 0x4A, "OK");
  const std::string req2 = Request(0x21, 0x4A, "W");
  std::string shortStatus = ans;
  shortStatus.erase(ans.find('\x04') + 1, 1);
  const std::string badEscape = std::string("\x01\x25\x20\x2A\x10\x05") + "0000\x03";
  struct TCase {
    const char* Name;
    std::vector<TChunk> Chunks;
    std::vector<std::string> Kinds;
  } cases[] = {
      {"good", {{H, req}, {D, ans}}, {"1:"}},
      {"sum", {{H, req}, {D, WithByte(ans, ans.size() - 2, '0')}}, {"1:checksum"}},
      {"len", {{H, req}, {D, WithByte(ans, 1, '\x2E')}}, {"1:length,checksum"}},
      {"status", {{H, req}, {D, shortStatus}}, {"1:length,status,checksum"}},
      {"no etx", {{H, req}, {D, WithByte(ans, ans.size() - 1, 'X')}}, {"1:envelope"}},
      {"no eot", {{H, req}, {D, req}}, {"1:envelope"}},
      {"eot in request", {{H, ans}, {D, ans}}, {"1:envelope"}},
      {"seq", {{H, req}, {D, Answer(0x21, 0x4A, "OK")}}, {"1:seq-mismatch"}},
      {"cmd", {{H, req}, {D, Answer(0x20, 0x4B, "OK")}}, {"1:cmd-mismatch"}},
      {"seq range", {{H, Request(0x10, 0x4A)}, {D, Answer(0x10, 0x4A)}}, {"1:sequence,sequence"}},
      {"escape", {{H, badEscape}, {D, Answer(0x20, 0x2A)}}, {"1:escape,length,checksum"}},
      {"nak then retry", {{H, req}, {D, "\x15"}, {H, req}, {D, ans}}, {"1:nak", "2:"}},
      {"syn is no failure", {{H, req}, {D, "\x16\x16\x16"}, {D, ans}}, {"1:"}},
      {"noise",
       {{H, req}, {D, "\xFF\xFE"}, {D, ans}, {H, "zz"}, {H, req2}, {D, ans}},
       {"1:noise", "0:noise", "2:seq-mismatch"}},
      {"over cap",
       {{H, req}, {D, "\x01" + std::string(300, 'A')}, {H, req2}, {H, "", 0, true}},
       {"1:envelope,over-cap", "0:noise", "2:no-answer"}},
      {"cut by soh", {{H, req}, {D, ans.substr(0, 8) + ans}}, {"1:envelope,cut", "2:no-request"}},
      {"next request", {{H, req}, {H, req2}, {D, Answer(0x21, 0x4A)}}, {"1:no-answer", "2:"}},
      {"host closed", {{H, req}, {H, "", 0, true}}, {"1:no-answer"}},
      {"both closed mid frame",
       {{H, req}, {D, ans.substr(0, 9)}, {H, req2.substr(0, 5)}, {D, "", 0, true}},
       {"1:envelope,cut", "2:envelope,cut,no-answer"}},
      {"nak alone", {{D, "\x15"}, {H, req}, {D, ans}}, {"0:nak", "1:"}},
  };
  for (const TCase& c : cases) EXPECT_EQ(Kinds(c.Chunks), c.Kinds) << c.Name;
}

TEST(TapExchangeDecoder, ARequestStillWaitingWhenTheTapStopsIsShown) {
  std::vector<TTapExchange> seen;
  TTapExchangeDecoder d([&](const TTapExchange& ex) { seen.push_back(ex); });
  d.Bytes(H, Request(0x20, 0x4A, "W"), 10);
  d.Stop(20);
  ASSERT_EQ(seen.size(), 1u);
  ASSERT_EQ(seen[0].Checks.size(), 1u);
  EXPECT_EQ(seen[0].Checks[0].Text, "no answer: the tap stopped before it came");
  d.Stop(30);  // nothing more under way
  EXPECT_EQ(seen.size(), 1u);
}

TEST(TapExchangeDecoder, TimesNaksSynsAndTheHostsVerdict) {
  std::vector<TTapExchange> ex;
  const std::string req = Request(0x22, 0x3E), ans = Answer(0x23, 0x3E, "12-01-26");
  Kinds({{H, req.substr(0, 4), 100},
         {H, req.substr(4), 130},
         {D, "\x16", 500},
         {D, "\x16\x16", 800},
         {D, ans.substr(0, 5), 900},
         {D, ans.substr(5), 1400}},
        &ex);
  ASSERT_EQ(ex.size(), 1u);
  EXPECT_EQ(ex[0].TimeUs, 100);
  EXPECT_EQ(ex[0].Answer->StartUs, 900);
  EXPECT_EQ(ex[0].DurationUs, 1270);
  EXPECT_EQ(ex[0].Syns, 3);
  EXPECT_EQ(ex[0].HostCheck, "109 Error in the packet. Wrong serial number. [23/22]");
  EXPECT_EQ(ex[0].Checks.back().Text, "answer SEQ 23 does not match the request's 22");
}

}  // namespace
