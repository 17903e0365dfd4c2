// The tap's links in this process between the host transports (and fprcmd)
// and the simulated device: every byte arrives unchanged both ways.
#include "FprCmdApp.h"
#include "RS232DeviceUnit.h"
#include "TCPDeviceUnit.h"
#include "TapAppTestSupport.h"

namespace {

class TapAppLinksTest : public TTapSimFixture {};

TEST_F(TapAppLinksTest, TransportsThroughTheTapReachTheSimulatorUnchanged) {
  const std::string simPty = Sim.StartPty();
  ASSERT_FALSE(simPty.empty()) << Sim.LastError();
  const std::string link = ::testing::TempDir() + "fprtap-link-" + std::to_string(::getpid());
  for (const bool serial : {false, true}) {
    TRecordingSink sink;
    StartTap(serial ? "--link " + link + " --serial " + simPty + "@115200" : "--listen 0", sink);
    std::unique_ptr<TBaseDevice> dev;
    if (serial) {
      auto rs = std::make_unique<TRS32Device>();
      rs->SetPortName(link);
      dev = std::move(rs);
    } else {
      auto tcp = std::make_unique<TTCPDevice>();
      tcp->SetHost("127.0.0.1");
      tcp->SetPort(TapPort());
      dev = std::move(tcp);
    }
    dev->Regional = TRegionalSettings{};
    std::string sent;
    dev->OnFrameSent = [&sent](const std::string& frame) { sent += frame; };
    ASSERT_TRUE(dev->Connect()) << dev->LastErrorText;
    TDataBuffer status;
    TDiagnosticInfo info;
    std::int64_t closure = 0;
    double total = 0;
    TTaxValues vat{};
    EXPECT_TRUE(dev->GetPrinterStatus(status)) << dev->LastErrorText;
    EXPECT_TRUE(dev->GetDiagnosticInfo(true, info)) << dev->LastErrorText;
    EXPECT_TRUE(dev->SetOperator(1, "1", "ANNA")) << dev->LastErrorText;
    EXPECT_TRUE(dev->PrintDailyReport(true, closure, total, vat)) << dev->LastErrorText;
    dev->Disconnect();
    EXPECT_EQ(StopTap(), 0);
    EXPECT_EQ(sink.From(TTapSide::Host), sent);
    EXPECT_EQ(sim::TraceHex(sink.From(TTapSide::Host)), SimTraffic("RX"));
    EXPECT_EQ(sim::TraceHex(sink.From(TTapSide::Device)), SimTraffic("TX"));
    std::lock_guard lock(TraceMu);
    Trace.clear();
  }
  EXPECT_NE(TapErr.str().find("fprtap: listening on 127.0.0.1:"), std::string::npos);
  EXPECT_NE(TapErr.str().find("fprtap: pty " + Links->PtyPath() + " (link " + link + ")\n"),
            std::string::npos);
  Links.reset();
  EXPECT_NE(::access(link.c_str(), F_OK), 0);  // the link went with the tap
}

// With --once the tap ends when its host program has gone: fprcmd, or a raw
// connection that a device which cannot be reached closes at once (status 1).
TEST_F(TapAppLinksTest, OnceEndsWithTheFirstHostProgram) {
  TRecordingSink sink;
  StartTap("--once --listen 0", sink);
  std::istringstream in;
  std::ostringstream out, err;
  EXPECT_EQ(FprCmdMain({"--tcp", "127.0.0.1:" + TapPort(), "4A", "W"}, in, out, err), 0);
  EXPECT_EQ(Serving.get(), 0);
  EXPECT_NE(TapErr.str().find("fprtap: the host program closed the link\n"), std::string::npos);
  EXPECT_EQ(sink.LastClosed, 0);

  const std::uint16_t nobody = Sim.Port();
  Sim.Stop();
  StartTap("--once --listen 0 --device 127.0.0.1:" + std::to_string(nobody), sink);
  const int host = ConnectLoopback(Links->ListenPort());
  bool closed = false;
  EXPECT_EQ(ReadSome(host, 1, 2000, &closed), "");
  EXPECT_TRUE(closed);
  ::close(host);
  EXPECT_EQ(Serving.get(), 1);
  EXPECT_NE(TapErr.str().find("fprtap: cannot connect to the device: 127.0.0.1:"),
            std::string::npos);
}

}  // namespace
