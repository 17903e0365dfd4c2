// fprcmd: arguments, and the report against a loopback peer and a refusing host.
#include <gtest/gtest.h>

#include <sstream>

#include "FprCmdApp.h"
#include "FramePeer.h"
#include "TCPDeviceUnit.h"
#include "TransportFakes.h"

namespace {

TEST(FprCmdArgs, AcceptsBothLinksCodesAndParameters) {
  struct TCase {
    std::vector<std::string> Args;
    TFprCmdOptions::TLink Link;
    std::string Where;  // host:port or port@speed as parsed
    std::uint8_t Code;
    std::string Params;
  } cases[] = {
      {{"--tcp", "127.0.0.1:4999", "4A", "W"},
       TFprCmdOptions::TLink::Tcp,
       "127.0.0.1:4999",
       0x4A,
       "W"},
      {{"--serial", "COM3@115200", "4a"}, TFprCmdOptions::TLink::Serial, "COM3@115200", 0x4A, ""},
      {{"--serial", "/dev/ttyUSB0", "--status", "5", "-1,2"},
       TFprCmdOptions::TLink::Serial,
       "/dev/ttyUSB0@9600",
       0x05,
       "-1,2"},
  };
  for (const TCase& c : cases) {
    TFprCmdOptions o;
    std::string error;
    ASSERT_TRUE(ParseFprCmdArgs(c.Args, o, error)) << error;
    EXPECT_EQ(o.Link, c.Link);
    const std::string where =
        o.Link == TFprCmdOptions::TLink::Tcp ? o.Host + ":" + o.Port : o.SerialPort + "@" + o.Speed;
    EXPECT_EQ(where, c.Where);
    EXPECT_EQ(o.Code, c.Code);
    EXPECT_EQ(o.Params, c.Params);
  }
}

TEST(FprCmdArgs, RejectsWhatCannotBeSent) {
  const std::vector<std::vector<std::string>> cases = {
      {"4A"},                                    // no link
      {"--tcp", "localhost", "4A"},              // no port
      {"--tcp", "127.0.0.1:1"},                  // no code
      {"--tcp", "127.0.0.1:1", "G1"},            // not hexadecimal
      {"--tcp", "127.0.0.1:1", "14A"},           // three digits
      {"--tcp", "127.0.0.1:1", "4A", "a", "b"},  // two parameter texts
      {"--bogus", "4A"},
  };
  for (const auto& args : cases) {
    TFprCmdOptions o;
    std::string error;
    EXPECT_FALSE(ParseFprCmdArgs(args, o, error)) << args.back();
    EXPECT_FALSE(error.empty());
  }
}

TEST(FprCmd, PrintsFramesDataAndStatusFromALoopbackPeer) {
  TLoopbackPeer peer(AnswerWithText("OK\xC0"));  // CP1251 Cyrillic A
  TFprCmdOptions o;
  std::string error;
  ASSERT_TRUE(ParseFprCmdArgs(
      {"--tcp", "127.0.0.1:" + std::to_string(peer.Port()), "--status", "4A", "W"}, o, error));
  auto dev = CreateFprCmdDevice(o);
  std::ostringstream out;
  EXPECT_EQ(RunFprCmd(o, *dev, out), 0);
  const std::string text = out.str();
  EXPECT_NE(text.find("Command: 4AH\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Request: <SOH>25204A57<ENQ>30303E3B\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Response: <SOH>2E204A4F4BC0<EOT>808080808080<ENQ>30"), std::string::npos)
      << text;
  EXPECT_NE(text.find("Data: OK\xD0\x90\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Status: 808080808080\nSyntax error in command. [False]\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Result: OK\nLastErrorCode: 0\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Duration: Command No: 4A"), std::string::npos) << text;
  EXPECT_FALSE(dev->IsConnected());
}

TEST(FprCmd, ReportsAConnectionErrorAndFails) {
  auto clock = std::make_shared<TVirtualClock>();
  auto client = std::make_unique<TFakeTcpClient>(clock);
  client->RefuseConnects = -1;
  TTCPDevice dev(std::move(client), clock);
  dev.SetHost("127.0.0.1");
  dev.SetPort("1");
  TFprCmdOptions o;
  o.Link = TFprCmdOptions::TLink::Tcp;
  o.Code = 0x4A;
  std::ostringstream out;
  EXPECT_EQ(RunFprCmd(o, dev, out), 1);
  EXPECT_EQ(out.str(),
            "Command: 4AH\n"
            "Error: Failed to connect host. Socket Error # 111: Connection refused\n"
            "LastErrorCode: 102\n");
}

TEST(FprCmd, TextWithoutACp1251CodeIsAnArgumentErrorAndSendsNothing) {
  auto clock = std::make_shared<TVirtualClock>();
  auto client = std::make_unique<TFakeTcpClient>(clock);
  auto* raw = client.get();
  TTCPDevice dev(std::move(client), clock);
  TFprCmdOptions o;
  o.Code = 0x2A;
  o.Params = "\xE4\xB8\xAD";
  std::ostringstream out;
  EXPECT_EQ(RunFprCmd(o, dev, out), 2);
  EXPECT_NE(out.str().find("nothing was sent"), std::string::npos);
  EXPECT_EQ(raw->ConnectCalls, 0);
}

}  // namespace
