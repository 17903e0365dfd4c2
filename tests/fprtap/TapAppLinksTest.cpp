// The tap's links in this process, between the host transports (and fprcmd)
// and the simulated device: every byte arrives unchanged both ways.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "FprCmdApp.h"
#include "RS232DeviceUnit.h"
#include "TCPDeviceUnit.h"
#include "TapAppTestSupport.h"
#include "TapRelayTestSupport.h"

namespace {

class TapAppLinksTest : public TTapSimFixture {};

// The frames a transport sent, joined.
struct TSentFrames {
  std::string All;
  void Attach(TBaseDevice& dev) {
    dev.OnFrameSent = [this](const std::string& frame) { All += frame; };
  }
};

TEST_F(TapAppLinksTest, TcpDeviceThroughTheTapReachesTheSimulatorUnchanged) {
  TRecordingSink sink;
  StartTap("--listen 0", sink);
  TTCPDevice dev;
  dev.Regional = TRegionalSettings{};
  TSentFrames sent;
  sent.Attach(dev);
  dev.SetHost("127.0.0.1");
  dev.SetPort(TapPort());
  ASSERT_TRUE(dev.Connect()) << dev.LastErrorText;
  TDataBuffer status;
  TDiagnosticInfo info;
  std::int64_t closure = 0;
  double total = 0;
  TTaxValues vat{};
  ASSERT_TRUE(dev.GetPrinterStatus(status)) << dev.LastErrorText;
  ASSERT_TRUE(dev.GetDiagnosticInfo(true, info)) << dev.LastErrorText;
  ASSERT_TRUE(dev.SetOperator(1, "1", "ANNA")) << dev.LastErrorText;
  ASSERT_TRUE(dev.PrintDailyReport(true, closure, total, vat)) << dev.LastErrorText;
  dev.Disconnect();
  EXPECT_EQ(StopTap(), 0);
  EXPECT_EQ(sink.From(TTapSide::Host), sent.All);
  EXPECT_EQ(TraceOf(sink.From(TTapSide::Host)), SimTraffic("RX"));
  EXPECT_EQ(TraceOf(sink.From(TTapSide::Device)), SimTraffic("TX"));
  EXPECT_NE(TapErr.str().find("fprtap: listening on 127.0.0.1:" + TapPort() + "\n"),
            std::string::npos);
}
}  // namespace

namespace {

TEST_F(TapAppLinksTest, SerialDeviceThroughAPtyTapReachesTheSimulatorUnchanged) {
  const std::string simPty = Sim.StartPty();
  ASSERT_FALSE(simPty.empty()) << Sim.LastError();
  const std::string link = ::testing::TempDir() + "fprtap-link-" + std::to_string(::getpid());
  TRecordingSink sink;
  StartTap("--link " + link + " --serial " + simPty + "@115200", sink);
  TRS32Device dev;
  dev.Regional = TRegionalSettings{};
  TSentFrames sent;
  sent.Attach(dev);
  dev.SetPortName(link);
  dev.SetBaudRate("115200");
  ASSERT_TRUE(dev.Connect()) << dev.LastErrorText;
  TDataBuffer status;
  TDiagnosticInfo info;
  ASSERT_TRUE(dev.GetPrinterStatus(status)) << dev.LastErrorText;
  ASSERT_TRUE(dev.GetDiagnosticInfo(true, info)) << dev.LastErrorText;
  dev.Disconnect();
  EXPECT_EQ(StopTap(), 0);
  EXPECT_EQ(sink.From(TTapSide::Host), sent.All);
  EXPECT_EQ(TraceOf(sink.From(TTapSide::Host)), SimTraffic("RX"));
  EXPECT_EQ(TraceOf(sink.From(TTapSide::Device)), SimTraffic("TX"));
  EXPECT_NE(TapErr.str().find("fprtap: pty " + Links->PtyPath() + " (link " + link + ")\n"),
            std::string::npos);
  Links.reset();
  EXPECT_EQ(::access(link.c_str(), F_OK), -1);  // the link went with the tap
}

// A loopback port that nobody listens on.
int ClosedPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), len);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(fd);
  return ntohs(addr.sin_port);
}

// fprcmd connects for each run; with --once the tap ends when it has gone.
TEST_F(TapAppLinksTest, OnceEndsWhenTheFirstHostProgramHasGone) {
  TRecordingSink sink;
  StartTap("--once --listen 127.0.0.1:0", sink);
  std::istringstream in;
  std::ostringstream out, err;
  EXPECT_EQ(FprCmdMain({"--tcp", "127.0.0.1:" + TapPort(), "4A", "W"}, in, out, err), 0)
      << out.str() << err.str();
  EXPECT_EQ(Serving.get(), 0);
  EXPECT_NE(TapErr.str().find("fprtap: the host program closed the link\n"), std::string::npos);
  const auto events = sink.Events();
  ASSERT_FALSE(events.empty());
  EXPECT_TRUE(events.back().Close);
  EXPECT_EQ(events.back().Side, TTapSide::Host);
}

// A device that cannot be reached: the host's link is closed at once, and
// with --once the tap ends with 1.
TEST_F(TapAppLinksTest, AnUnreachableDeviceClosesTheHostsLink) {
  TRecordingSink sink;
  StartTap("--once --listen 0 --device 127.0.0.1:" + std::to_string(ClosedPort()), sink);
  const int host = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(Links->ListenPort());
  ASSERT_EQ(::connect(host, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  bool closed = false;
  EXPECT_EQ(ReadToEnd(host, closed), "");
  EXPECT_TRUE(closed);
  ::close(host);
  EXPECT_EQ(Serving.get(), 1);
  EXPECT_NE(TapErr.str().find("fprtap: cannot connect to the device: 127.0.0.1:"),
            std::string::npos);
}

}  // namespace
