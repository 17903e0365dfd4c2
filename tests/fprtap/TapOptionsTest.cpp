// fprtap's command line: the link sides it accepts and the mistakes it refuses.
#include <gtest/gtest.h>

#include "TapOptions.h"

namespace {

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::size_t start = 0;
  while (start < line.size()) {
    const std::size_t end = std::min(line.find(' ', start), line.size());
    if (end > start) words.push_back(line.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

TEST(TapOptionsTest, LinkSidesAndOutputChoices) {
  using H = TTapOptions::THostSide;
  using D = TTapOptions::TDeviceSide;
  const struct {
    const char* Args;
    H Host;
    std::string ListenHost;
    int ListenPort;
    D Device;
    std::string Where;  // device host or serial port
    int PortOrSpeed;
  } cases[] = {
      {"--listen 5000 --device 10.0.0.5:4999", H::Listen, "127.0.0.1", 5000, D::Tcp, "10.0.0.5",
       4999},
      {"--listen 0.0.0.0:0 --serial /dev/ttyUSB0@115200", H::Listen, "0.0.0.0", 0, D::Serial,
       "/dev/ttyUSB0", 115200},
      {"--pty --serial COM2", H::Pty, "127.0.0.1", 0, D::Serial, "COM2", 9600},
      {"--link /tmp/fpr --serial /dev/ttyS0@256000", H::Pty, "127.0.0.1", 0, D::Serial,
       "/dev/ttyS0", 256000},
      {"--pty --device localhost:4999", H::Pty, "127.0.0.1", 0, D::Tcp, "localhost", 4999},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Args);
    TTapOptions o;
    std::string error;
    ASSERT_TRUE(ParseTapArgs(Words(c.Args), o, error)) << error;
    EXPECT_EQ(o.Host, c.Host);
    EXPECT_EQ(o.ListenHost, c.ListenHost);
    EXPECT_EQ(o.ListenPort, c.ListenPort);
    EXPECT_EQ(o.Device, c.Device);
    EXPECT_EQ(c.Device == D::Tcp ? o.DeviceHost : o.SerialPort, c.Where);
    EXPECT_EQ(c.Device == D::Tcp ? o.DevicePort : o.Speed, c.PortOrSpeed);
  }
  TTapOptions o;
  std::string error;
  ASSERT_TRUE(ParseTapArgs(
      Words("--json --views status,hex,status --capture c.tap --once --listen 1 --device h:2"), o,
      error));
  EXPECT_TRUE(o.Json && o.Once);
  EXPECT_TRUE(o.Views.Status && o.Views.Hex);
  EXPECT_FALSE(o.Views.Raw || o.Views.Fields);
  EXPECT_EQ(o.Capture, "c.tap");
  ASSERT_TRUE(ParseTapArgs(Words("--read c.tap --views raw"), o, error));
  EXPECT_EQ(o.Read, "c.tap");
  EXPECT_TRUE(o.Views.Raw && !o.Views.Hex);
  EXPECT_EQ(o.Host, H::None);
}

TEST(TapOptionsTest, RefusesWhatCannotBeMeant) {
  const struct {
    const char* Args;
    const char* Error;  // a part of the message
  } cases[] = {
      {"--device h:1", "Give the host side"},
      {"--listen 5000", "Give the device side"},
      {"--listen 5000 --pty --serial COM1", "only one host side"},
      {"--listen 5000 --device h:1 --serial COM1", "only one device side"},
      {"--listen 65536 --device h:1", "port from 0 to 65535"},
      {"--listen :5 --device h:1", "port from 0 to 65535"},
      {"--listen 5000 --device h:0", "port from 1 to 65535"},
      {"--listen 5000 --device 4999", "HOST:PORT"},
      {"--pty --serial COM1@28800", "the speed must be one of 110 300"},
      {"--pty --serial @9600", "needs a port name"},
      {"--listen 1 --device h:1 --views hex,flags", "--views: unknown view 'flags'"},
      {"--listen 1 --device h:1 --views hex,", "--views: unknown view ''"},
      {"--read c.tap --listen 1", "--read shows a saved capture"},
      {"--read c.tap --once", "--read shows a saved capture"},
      {"--listen 1 --device h:1 --quiet --no-summary", "would show nothing"},
      {"--listen 1 --device h:1 --bogus", "bogus"},
      {"--listen 1 --device h:1 extra", "extra"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Args);
    TTapOptions o;
    std::string error;
    EXPECT_FALSE(ParseTapArgs(Words(c.Args), o, error));
    EXPECT_NE(error.find(c.Error), std::string::npos) << error;
  }
}

}  // namespace
