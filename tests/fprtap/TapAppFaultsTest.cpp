// The simulator's link faults through the tap in this process, driven by raw
// bytes from the test (a transport would wait out its time limits): each shows
// as its check in text and JSON, the bytes pass unchanged, and the capture
// read back gives the same output as live.
#include <functional>
#include <nlohmann/json.hpp>
#include <thread>

#include "TapAppTestSupport.h"
#include "TapCapture.h"
#include "TapMonitor.h"
#include "TapMonitorTestSupport.h"

namespace {

// Everything the tap's output is made of, fed by one run of the tap.
struct TWatch {
  std::ostringstream Text, Json, Capture;
  TTapMonitor TextMonitor{Text, {}};
  TTapMonitor JsonMonitor{Json, {TTapViews{}, true}};
  TTapCaptureWriter CaptureWriter{Capture};
  TRecordingSink Relayed;
  TTapFanOut Sinks;
  TWatch() {
    Sinks.Add(TextMonitor), Sinks.Add(JsonMonitor), Sinks.Add(CaptureWriter), Sinks.Add(Relayed);
  }
};

class TapAppFaultsTest : public TTapSimFixture {
 protected:
  // One host program through a fresh tap (--once): a request while the fault
  // is armed, then (unless the link is gone) a good one; byte by byte with `drip`.
  void RunHost(TWatch& w, bool drip) {
    StartTap("--once --listen 0", w.Sinks);
    const int host = ConnectLoopback(Links->ListenPort());
    ASSERT_GE(host, 0);
    std::string received;
    bool closed = false;
    for (std::uint8_t seq = 0x20; seq <= 0x21 && !closed; ++seq) {
      const std::string request = taptest::Request(seq, 0x4A, "W");
      for (std::size_t i = 0; i < request.size(); i += drip ? 1 : request.size()) {
        ASSERT_TRUE(WriteAll(host, request.substr(i, drip ? 1 : request.size())));
        if (drip) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      received += ReadSome(host, 4096, 150, &closed, "\x03\x15");  // up to its <ETX> or NAK
    }
    ::close(host);
    EXPECT_EQ(Serving.get(), 0);
    EXPECT_EQ(received, w.Relayed.From(TTapSide::Device));
  }
};

TEST_F(TapAppFaultsTest, EachFaultShowsAsItsCheck) {
  const struct {
    const char* Name;
    std::function<void(TSimDevice&)> Fault;
    const char* Kind;            // the check that fails on the first exchange ("": none)
    const char* Flag = "[5/3]";  // set in the first answer ("": no answer frame)
    bool Drip = false;
  } cases[] = {
      {"nak", [](TSimDevice& d) { d.NakNext(1); }, "nak", ""},
      {"silent", [](TSimDevice& d) { d.Silent(1); }, "no-answer", ""},
      {"lost-answer", [](TSimDevice& d) { d.Silent(1, -1, true); }, "no-answer", ""},
      {"wrong-seq", [](TSimDevice& d) { d.WrongSeq(1); }, "seq-mismatch"},
      {"wrong-cmd", [](TSimDevice& d) { d.WrongCmd(1); }, "cmd-mismatch"},
      {"wrong-sum", [](TSimDevice& d) { d.WrongChecksum(1); }, "checksum"},
      {"wrong-len", [](TSimDevice& d) { d.WrongLen(1); }, "length"},
      {"noise", [](TSimDevice& d) { d.NoiseBeforeFrame(); }, "noise"},
      {"close-mid", [](TSimDevice& d) { d.CloseMidFrame(1); }, "cut", ""},
      {"no paper", [](TSimDevice& d) { d.SetStatusBit(2, 0, true, -1, 1); }, "", "[2/0]"},
      {"busy", [](TSimDevice& d) { d.Busy(40); }, ""},
      {"dripping host", [](TSimDevice&) {}, "", "[5/3]", true},
  };
  Sim.Device().SetSynInterval(10);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Sim.Device().ClearFaults();
    Sim.Device().ForgetLastRequest();
    c.Fault(Sim.Device());
    TWatch w;
    RunHost(w, c.Drip);
    std::istringstream lines(w.Json.str());
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    const auto first = nlohmann::json::parse(line);
    EXPECT_EQ(first["command"].get<std::string>() + first["seq"].get<std::string>(), "4A20");
    std::string kinds, flags;
    for (const auto& k : first["checks"]) kinds += k["kind"].get<std::string>() + " ";
    for (const auto& f : first["answer"].is_null() ? nlohmann::json() : first["answer"]["flags"])
      flags += f["bit"].get<std::string>();
    EXPECT_EQ(kinds.find(c.Kind) == std::string::npos, false) << kinds;
    EXPECT_EQ(*c.Kind == 0, kinds.empty()) << kinds;
    EXPECT_NE(flags.find(c.Flag), std::string::npos) << flags;
    if (*c.Kind != 0) {
      EXPECT_NE(w.Text.str().find("FAILED " + std::string(c.Kind) + ": "), std::string::npos);
    }
    std::istringstream capture(w.Capture.str());
    std::ostringstream again;
    TTapMonitor replay(again, {});
    std::string error;
    EXPECT_TRUE(ReadTapCapture(capture, replay, error)) << error;
    EXPECT_EQ(again.str(), w.Text.str());
  }
}

}  // namespace
