// Both transports over a real pty pair and a real loopback connection.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>

#include "ConstUnit.h"
#include "FramePeer.h"
#include "RS232DeviceUnit.h"
#include "TCPDeviceUnit.h"
#include "TransportTestUtil.h"

namespace {

std::int64_t MsSince(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t)
      .count();
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

TEST(PtyLink, ExchangesFramesAndAppliesTheLineSettings) {
  TPtyPeer peer(AnswerWithText("PTY"));
  TRS32Device dev;
  dev.SetPortName(peer.SlavePath);
  dev.SetBaudRate("19200");
  ASSERT_TRUE(dev.Connect()) << dev.LastErrorText;
  termios tio{};
  ASSERT_EQ(tcgetattr(peer.SlaveFd, &tio), 0);
  EXPECT_EQ(cfgetospeed(&tio), B19200);
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u);
  for (int i = 0; i < 3; ++i) {
    TDataBuffer data = Bytes("W"), status;
    ASSERT_TRUE(dev.SendCommand(0x4A, data, status)) << dev.LastErrorText;
    EXPECT_EQ(Text(data), "PTY");
    EXPECT_EQ(status.size(), 6u);
  }
  EXPECT_EQ(peer.Frames, 3);
  dev.Disconnect();
  EXPECT_FALSE(dev.IsConnected());
}

TEST(PtyLink, OpensAtSpeedsWithoutAConstant) {
  TPtyPeer peer(AnswerWithText(""));
  TRS32Device dev;
  dev.SetPortName(peer.SlavePath);
  for (const char* speed : {"14400", "56000", "128000", "256000"}) {
    dev.SetBaudRate(speed);
    EXPECT_TRUE(dev.Connect()) << speed << ": " << dev.LastErrorText;
  }
}

TEST(PtyLink, LineThatHangsUpInTheMiddleOfAFrameFailsQuickly) {
  TPtyPeer peer([](const TDataBuffer& req) {
    TDataBuffer f = AnswerWithText("cut")(req);
    f.resize(6);
    return f;
  });
  TRS32Device dev;
  dev.SetPortName(peer.SlavePath);
  ASSERT_TRUE(dev.Connect());
  const auto t = std::chrono::steady_clock::now();
  TDataBuffer data, status;
  EXPECT_FALSE(dev.SendCommand(0x4A, data, status));
  EXPECT_LT(MsSince(t), 2000);
  EXPECT_EQ(dev.LastErrorText,
            "Fail read data from packet. <DATA>\r\n[RETRY->>]"
            "Error writing to COM. Purge: Input/output error");
  EXPECT_EQ(dev.LastErrorCode, Err::WriteError);  // the retry finds the line gone
}

TEST(SerialPortOpen, ReportsMissingPortsWithTheSystemMessage) {
  struct TCase {
    const char* Name;
    std::string Text;
  } cases[] = {
      {"/nonexistent/ttyQ",
       "Failed open port /nonexistent/ttyQ/9600 /nonexistent/ttyQ: "
       "No such file or directory"},
      {"COM250", "Failed open port COM250/9600 /dev/ttyS249: No such file or directory"},
      {"/dev/null", "Failed open port /dev/null/9600 /dev/null: Inappropriate ioctl for device"},
  };
  for (const TCase& c : cases) {
    TRS32Device dev;
    dev.SetPortName(c.Name);
    dev.SetBaudRate("28800");
    EXPECT_FALSE(dev.Connect());
    EXPECT_EQ(dev.LastErrorCode, Err::WriteError);
    EXPECT_EQ(dev.LastErrorText, c.Text);
  }
}

TEST(SerialPortOpen, MapsPortNamesToDevicePaths) {
  const std::pair<const char*, const char*> cases[] = {
      {"COM1", "/dev/ttyS0"},
      {"com12", "/dev/ttyS11"},
      {"/dev/ttyUSB0", "/dev/ttyUSB0"},
      {"/dev/serial/by-id/usb-X", "/dev/serial/by-id/usb-X"},
      {"ttyACM0", "/dev/ttyACM0"},
      {"COM0", "/dev/COM0"},
      {"COMx", "/dev/COMx"},
  };
  for (const auto& [name, path] : cases) EXPECT_EQ(SerialDevicePath(name), path) << name;
}

TEST(SerialPortWrite, BlockedLineReturnsWhatWentOut) {
  int master = -1, slave = -1;
  char name[256] = {};
  ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);  // nobody reads the master
  TPosixSerialPort port;
  port.WriteTimeoutMs = 50;
  port.Open(name, 9600);
  const TDataBuffer block(1 << 20, 'x');  // far more than the pty holds
  const auto t = std::chrono::steady_clock::now();
  const std::size_t n = port.Write(block.data(), block.size());
  EXPECT_LT(n, block.size());
  EXPECT_LT(MsSince(t), 1000);
  port.Close();
  ::close(slave);
  ::close(master);
}

TEST(TcpLink, ExchangesFramesOverLoopback) {
  TLoopbackPeer peer(AnswerWithText("TCP"));
  TTCPDevice dev;
  dev.SetHost("127.0.0.1");
  dev.SetPort(std::to_string(peer.Port()));
  ASSERT_TRUE(dev.Connect()) << dev.LastErrorText;
  for (int i = 0; i < 3; ++i) {
    TDataBuffer data = Bytes("W"), status;
    ASSERT_TRUE(dev.SendCommand(0x4A, data, status)) << dev.LastErrorText;
    EXPECT_EQ(Text(data), "TCP");
  }
  dev.Disconnect();
  EXPECT_FALSE(dev.IsConnected());
  EXPECT_EQ(peer.Connections, 1);
}

// The close ends that command at once; the next one on the same device connects anew.
TEST(TcpLink, PeerClosingInTheMiddleOfAFrameStopsAndTheNextCommandReconnects) {
  TLoopbackPeer peer([answered = 0](const TDataBuffer& req) mutable {
    TDataBuffer f = AnswerWithText("whole")(req);
    if (answered++ == 0) f.resize(6);
    return f;
  });
  TTCPDevice dev;
  dev.SetHost("127.0.0.1");
  dev.SetPort(std::to_string(peer.Port()));
  TDataBuffer data, status;
  const auto t = std::chrono::steady_clock::now();
  EXPECT_FALSE(dev.SendCommand(0x4A, data, status));
  EXPECT_LT(MsSince(t), 1000);
  EXPECT_EQ(dev.LastErrorCode, Err::NoResponse);
  EXPECT_EQ(dev.LastErrorText, "ETcpConnClosed/Connection Closed Gracefully.");
  EXPECT_FALSE(dev.IsConnected());

  data.clear();
  ASSERT_TRUE(dev.SendCommand(0x4A, data, status)) << dev.LastErrorText;
  EXPECT_EQ(Text(data), "whole");
  EXPECT_TRUE(dev.IsConnected());
  EXPECT_EQ(peer.Connections, 2);
  EXPECT_EQ(peer.Frames, 2);
}

TEST(TcpClient, RefusedConnectionIsASocketError) {
  TPosixTcpClient client;
  client.Host = "127.0.0.1";
  client.Port = ClosedPort();
  try {
    client.Connect(1000);
    FAIL() << "connected to a closed port";
  } catch (const ETcpSocketError& e) {
    EXPECT_STREQ(e.what(), "Socket Error # 111: Connection refused");
    EXPECT_TRUE(e.Retryable());
  }
  EXPECT_FALSE(client.Connected());
}

TEST(TcpClient, TellsTimeOutsAndClosedPeersApart) {
  TLoopbackPeer peer([](const TDataBuffer&) { return TDataBuffer{'x'}; });  // then hangs up
  TPosixTcpClient client;
  client.Host = "127.0.0.1";
  client.Port = peer.Port();
  client.Connect(1000);
  ASSERT_TRUE(client.Connected());
  EXPECT_THROW(client.ReadByte(30), ETcpReadTimeout);
  const TDataBuffer frame = BuildRequestFrame(0x20, 0x4A, {});
  client.CheckForDisconnect();
  client.Write(frame.data(), frame.size());
  EXPECT_EQ(client.ReadByte(1000), 'x');
  EXPECT_THROW(client.ReadByte(1000), ETcpConnClosed);
  EXPECT_FALSE(client.Connected());
  EXPECT_THROW(client.CheckForDisconnect(), ETcpConnClosed);
}

TEST(TcpClient, WriteThatNeverDrainsFails) {
  // A listener that never accepts: the kernel completes the connection, nobody reads.
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), len), 0);
  ASSERT_EQ(::listen(listener, 1), 0);
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
  TPosixTcpClient client;
  client.Host = "127.0.0.1";
  client.Port = ntohs(addr.sin_port);
  client.WriteTimeoutMs = 50;
  client.Connect(1000);
  const TDataBuffer block(64 << 20, 'x');  // far more than both socket buffers
  const auto t = std::chrono::steady_clock::now();
  try {
    client.Write(block.data(), block.size());
    ADD_FAILURE() << "the write went through";
  } catch (const ETcpSocketError& e) {
    EXPECT_STREQ(e.what(), "Socket Error # 110: Connection timed out");
  }
  EXPECT_LT(MsSince(t), 2000);
  ::close(listener);
}

}  // namespace
