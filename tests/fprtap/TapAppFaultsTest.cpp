// The simulator's link faults seen through the tap in this process, driven
// by raw bytes from the test (a transport would wait out its time limits):
// each shows as its check in the text and the JSON output, the bytes pass
// unchanged, and the capture read back gives the same output as live.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <nlohmann/json.hpp>
#include <thread>

#include "TapAppTestSupport.h"
#include "TapCapture.h"
#include "TapMonitor.h"
#include "TapMonitorTestSupport.h"
#include "TapRelayTestSupport.h"

namespace {

// A host program that writes frames by hand.
struct TRawHost {
  explicit TRawHost(std::uint16_t port) {
    Fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    Connected = ::connect(Fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  }
  ~TRawHost() { ::close(Fd); }
  // Reads until an <ETX> or a NAK came, the link closed, or `ms` passed.
  void ReadReply(int ms) {
    char buf[512];
    while (!Closed) {
      pollfd p{Fd, POLLIN, 0};
      if (::poll(&p, 1, ms) <= 0) return;
      const ssize_t n = ::read(Fd, buf, sizeof buf);
      if (n <= 0) Closed = true;
      if (n <= 0) return;
      const std::string got(buf, static_cast<std::size_t>(n));
      Received += got;
      if (got.find_first_of("\x03\x15") != std::string::npos) return;
    }
  }
  int Fd = -1;
  bool Connected = false;
  bool Closed = false;
  std::string Received;
};

// Everything the tap's output is made from, fed by one run of the tap.
struct TWatch {
  std::ostringstream Text, Json, Capture;
  TTapMonitor TextMonitor{Text, {}};
  TTapMonitor JsonMonitor{Json, {TTapViews{}, true}};
  TTapCaptureWriter CaptureWriter{Capture};
  TRecordingSink Relayed;
  TTapFanOut Sinks;
  TWatch() {
    for (ITapSink* s :
         std::initializer_list<ITapSink*>{&TextMonitor, &JsonMonitor, &CaptureWriter, &Relayed})
      Sinks.Add(*s);
  }
  std::vector<nlohmann::json> JsonLines() const {
    std::vector<nlohmann::json> lines;
    std::istringstream in(Json.str());
    for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
    return lines;
  }
};

class TapAppFaultsTest : public TTapSimFixture {
 protected:
  void SetUp() override {
    TTapSimFixture::SetUp();
    Sim.Device().SetSynInterval(10);
  }

  // One host program through a fresh tap (--once): a request with the fault
  // armed, then (unless the link is gone) a good one. Sent byte by byte when
  // `drip`.
  void RunHost(TWatch& w, bool drip) {
    StartTap("--once --listen 0", w.Sinks);
    TRawHost host(Links->ListenPort());
    ASSERT_TRUE(host.Connected);
    for (std::uint8_t seq : {0x20, 0x21}) {
      const std::string request = taptest::Request(seq, 0x4A, "W");
      for (std::size_t i = 0; i < request.size(); i += drip ? 1 : request.size()) {
        ASSERT_TRUE(WriteAll(host.Fd, request.substr(i, drip ? 1 : request.size())));
        if (drip) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      host.ReadReply(150);
      if (host.Closed) break;
    }
    ::shutdown(host.Fd, SHUT_RDWR);
    EXPECT_EQ(Serving.get(), 0);
    // What the host program received is what the tap saw the device send.
    EXPECT_EQ(host.Received, w.Relayed.From(TTapSide::Device));
  }
};

bool HasKind(const nlohmann::json& exchange, const std::string& kind) {
  for (const auto& c : exchange["checks"]) {
    if (c["kind"] == kind) return true;
  }
  return false;
}

TEST_F(TapAppFaultsTest, EachFaultShowsAsItsCheck) {
  const struct {
    const char* Name;
    std::function<void(TSimDevice&)> Fault;
    const char* Kind;  // "" for none
    bool Drip = false;
    const char* Flag = "[5/3]";  // set in the answer ("": no answer frame)
  } cases[] = {
      {"nak", [](TSimDevice& d) { d.NakNext(1); }, "nak", false, ""},
      {"silent", [](TSimDevice& d) { d.Silent(1); }, "no-answer", false, ""},
      {"lost-answer", [](TSimDevice& d) { d.Silent(1, -1, true); }, "no-answer", false, ""},
      {"wrong-seq", [](TSimDevice& d) { d.WrongSeq(1); }, "seq-mismatch"},
      {"wrong-cmd", [](TSimDevice& d) { d.WrongCmd(1); }, "cmd-mismatch"},
      {"wrong-sum", [](TSimDevice& d) { d.WrongChecksum(1); }, "checksum"},
      {"wrong-len", [](TSimDevice& d) { d.WrongLen(1); }, "length"},
      {"noise", [](TSimDevice& d) { d.NoiseBeforeFrame(); }, "noise"},
      {"close-mid", [](TSimDevice& d) { d.CloseMidFrame(1); }, "cut", false, ""},
      {"no paper", [](TSimDevice& d) { d.SetStatusBit(2, 0, true, -1, 1); }, "", false, "[2/0]"},
      {"busy", [](TSimDevice& d) { d.Busy(40); }, ""},
      {"dripping host", [](TSimDevice&) {}, "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Sim.Device().ClearFaults();
    Sim.Device().ForgetLastRequest();
    c.Fault(Sim.Device());
    TWatch w;
    RunHost(w, c.Drip);
    const auto lines = w.JsonLines();
    ASSERT_GE(lines.size(), 1u);
    const auto& first = lines[0];
    EXPECT_EQ(first["command"], "4A");
    EXPECT_EQ(first["seq"], "20");
    if (*c.Kind == 0) {
      EXPECT_EQ(first["ok"], true) << first.dump();
    } else {
      EXPECT_TRUE(HasKind(first, c.Kind)) << first.dump();
      EXPECT_NE(w.Text.str().find(std::string("FAILED ") + c.Kind + ": "), std::string::npos);
    }
    if (*c.Flag != 0) {
      const auto& flags = first["answer"]["flags"];
      EXPECT_TRUE(std::any_of(flags.begin(), flags.end(), [&](const auto& f) {
        return f["bit"] == c.Flag;
      })) << flags.dump();
    }
    // A capture read back shows the same.
    std::istringstream capture(w.Capture.str());
    std::ostringstream again;
    TTapMonitor replay(again, {});
    std::string error;
    EXPECT_TRUE(ReadTapCapture(capture, replay, error)) << error;
    EXPECT_EQ(again.str(), w.Text.str());
  }
}

}  // namespace
