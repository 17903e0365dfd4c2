// The device side of the link over a real loopback TCP connection and a pty.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "SimLinkClient.h"
#include "SimServer.h"
#include "TCPDeviceUnit.h"

using namespace sim;

namespace {

class SimLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Server.StartTcp("127.0.0.1", 0)) << Server.LastError();
    ASSERT_TRUE(Client.ConnectTcp(Server.Port()));
  }
  TSimDevice& Dev() { return Server.Device(); }
  TParsedReply Good(std::uint8_t seq, std::uint8_t cmd, const std::string& data = "") {
    TLinkClient::TReply r = Client.Exchange(seq, cmd, data);
    TParsedReply p = ParseReply(r.Frame);
    EXPECT_TRUE(p.LenOk && p.SumOk) << TraceHex(r.Frame);
    EXPECT_EQ(p.Seq, seq);
    EXPECT_EQ(p.Cmd, cmd);
    return p;
  }

  TSimServer Server;
  TLinkClient Client;
  const std::string Sale =
      "\tX\t\xC0"
      "1.00";
};

// Sends requests with long answers and reads nothing, until the server has
// stopped taking bytes for `quietMs` or dropped the link; true when dropped.
bool FloodWithoutReading(TLinkClient& client, TSimDevice& dev, int quietMs) {
  dev.ForceAnswer(0x4A, std::string(200, 'X'), -1);
  std::string many;
  for (int i = 0; i < 1000; ++i) many += EncodeRequest(0x20 + i % 64, 0x4A, "W");
  ::fcntl(client.Fd(), F_SETFL, ::fcntl(client.Fd(), F_GETFL) | O_NONBLOCK);
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  auto progress = start;
  while (Clock::now() - start < std::chrono::seconds(20)) {
    ssize_t n = ::send(client.Fd(), many.data(), many.size(), MSG_NOSIGNAL);
    if (n < 0 && errno != EAGAIN) return true;
    if (n > 0) progress = Clock::now();
    if (Clock::now() - progress > std::chrono::milliseconds(quietMs)) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

}  // namespace

TEST_F(SimLinkTest, AnswersAValidFrameWithLenSeqCmdStatusAndChecksum) {
  TParsedReply p = Good(0x20, 0x5A, "1");
  EXPECT_EQ(p.Data.substr(0, 14), "VELMORA FP-SIM");
  ASSERT_EQ(p.Status.size(), 6u);
  for (char b : p.Status) EXPECT_TRUE(static_cast<std::uint8_t>(b) & 0x80);
  EXPECT_EQ(Good(0x7F, 0x99).Status[0] & 0x02, 0x02);  // unknown command [0/1]
}

TEST_F(SimLinkTest, BrokenFramesGetNakAndAreNotExecuted) {
  std::string frame = EncodeRequest(0x21, 0x26, "");
  std::string badSum = frame;
  badSum[badSum.size() - 2] ^= 1;
  std::string badLen = frame;
  badLen[1] = 0x25;
  for (const std::string& f : {badSum, badLen}) {
    Client.Send(f);
    EXPECT_TRUE(Client.Read().Nak);
  }
  EXPECT_EQ(Dev().ExecutedCount(), 0);
  EXPECT_FALSE(Dev().CommentReceiptOpen());
  Good(0x21, 0x26);  // the good frame after them still works
  EXPECT_TRUE(Dev().CommentReceiptOpen());
}

TEST_F(SimLinkTest, RepeatedSeqIsAnsweredAgainWithoutExecuting) {
  Good(0x20, 0x90, "OP,QZ999834-0001-0000001");
  TLinkClient::TReply first = Client.Exchange(0x21, 0x31, Sale);
  TLinkClient::TReply again = Client.Exchange(0x21, 0x31, Sale);
  EXPECT_EQ(first.Frame, again.Frame);
  EXPECT_EQ(Dev().ExecutedCount(0x31), 1);
  EXPECT_EQ(Dev().Snapshot().Receipt.Lines.size(), 1u);
  Good(0x22, 0x31, Sale);  // a new SEQ is a new sale
  EXPECT_EQ(Dev().Snapshot().Receipt.Lines.size(), 2u);
}

TEST_F(SimLinkTest, RetriedSaleIsNotBookedTwiceAcrossAReconnection) {
  Good(0x20, 0x90, "OP,QZ999834-0001-0000001");
  Dev().CloseMidFrame(1, 0x31);
  TLinkClient::TReply cut = Client.Exchange(0x21, 0x31, Sale);
  EXPECT_TRUE(cut.Closed);
  EXPECT_FALSE(cut.Frame.empty());
  EXPECT_NE(cut.Frame.back(), '\x03');
  ASSERT_TRUE(Client.ConnectTcp(Server.Port()));
  Good(0x21, 0x31, Sale);
  EXPECT_EQ(Dev().ExecutedCount(0x31), 1);
  EXPECT_EQ(Dev().Snapshot().Receipt.Total(), 100);
}

TEST_F(SimLinkTest, HeaderFaultsChangeOnlyTheirFieldAndRetryGetsTheRightAnswer) {
  struct {
    const char* Name;
    void (TSimDevice::*Inject)(int, int);
    int Offset;  // the byte that differs
  } faults[] = {{"seq", &TSimDevice::WrongSeq, 2},
                {"cmd", &TSimDevice::WrongCmd, 3},
                {"len", &TSimDevice::WrongLen, 1}};
  std::uint8_t seq = 0x30;
  for (const auto& f : faults) {
    (Dev().*f.Inject)(1, 0x4A);
    ++seq;
    TLinkClient::TReply bad = Client.Exchange(seq, 0x4A, "W");
    TParsedReply p = ParseReply(bad.Frame);
    std::string expected = EncodeResponse(seq, 0x4A, "", p.Status);
    ASSERT_EQ(bad.Frame.size(), expected.size()) << f.Name;
    EXPECT_EQ(static_cast<std::uint8_t>(bad.Frame[f.Offset]),
              static_cast<std::uint8_t>(expected[f.Offset]) + 1)
        << f.Name;
    std::string mended = bad.Frame;
    mended[f.Offset] = expected[f.Offset];
    EXPECT_EQ(mended.substr(0, mended.size() - 5), expected.substr(0, expected.size() - 5));
    EXPECT_TRUE(p.SumOk) << f.Name;  // checksum written for the changed frame
    EXPECT_EQ(Client.Exchange(seq, 0x4A, "W").Frame, expected) << f.Name;
  }
  Dev().WrongChecksum(1);
  TParsedReply p = ParseReply(Client.Exchange(0x40, 0x4A, "W").Frame);
  EXPECT_TRUE(p.LenOk);
  EXPECT_FALSE(p.SumOk);
}

TEST_F(SimLinkTest, NakSilenceAndNoiseAreLimitedByCommandAndCount) {
  Dev().NakNext(2, 0x26);
  Good(0x20, 0x4A, "W");  // another command is not touched
  EXPECT_TRUE(Client.Exchange(0x21, 0x26, "").Nak);
  EXPECT_TRUE(Client.Exchange(0x21, 0x26, "").Nak);
  Good(0x21, 0x26);
  EXPECT_EQ(Dev().ExecutedCount(0x26), 1);

  Dev().Silent(1, 0x2A);
  TLinkClient::TReply quiet = Client.Exchange(0x22, 0x2A, "text", 300);
  EXPECT_TRUE(quiet.Frame.empty());
  EXPECT_EQ(Dev().ExecutedCount(0x2A), 0);
  Dev().Silent(1, 0x2A, true);  // executed, answer lost
  EXPECT_TRUE(Client.Exchange(0x22, 0x2A, "text", 300).Frame.empty());
  EXPECT_EQ(Dev().ExecutedCount(0x2A), 1);
  Good(0x22, 0x2A, "text");  // the retry is answered from the cache
  EXPECT_EQ(Dev().ExecutedCount(0x2A), 1);

  Dev().NoiseBeforeFrame(std::string("\xFF\x00Z", 3), 1);
  TLinkClient::TReply noisy = Client.Exchange(0x23, 0x4A, "W");
  EXPECT_EQ(noisy.Before, std::string("\xFF\x00Z", 3));
  EXPECT_TRUE(ParseReply(noisy.Frame).SumOk);
}

TEST_F(SimLinkTest, BusyDeviceSendsSynWithinTheLimitUntilItAnswers) {
  Dev().SetSynInterval(100);
  Dev().Busy(350, 1, 0x4A);
  TLinkClient::TReply r = Client.Exchange(0x20, 0x4A, "W");
  EXPECT_GE(r.ElapsedMs, 340);
  EXPECT_GE(r.Syn, 4);
  EXPECT_TRUE(ParseReply(r.Frame).SumOk);
  // Reports are busy for the configured work time.
  Dev().SetWorkTime(150);
  r = Client.Exchange(0x21, 0x45, "2");
  EXPECT_GE(r.Syn, 2);
  EXPECT_EQ(ParseReply(r.Frame).Seq, 0x21);
}

TEST_F(SimLinkTest, StatusBitsAndForcedAnswers) {
  Dev().SetStatusBit(2, 0, true);
  EXPECT_EQ(Good(0x20, 0x4A, "W").Status[2] & 0x01, 0x01);
  EXPECT_EQ(Good(0x21, 0x26).Status[2] & 0x21, 0x01);  // no paper: nothing opened
  Dev().ResetStatusBit(2, 0);
  Dev().ForceAnswer(0x90, "E:LIMIT", 1);
  EXPECT_EQ(Good(0x22, 0x90, "OP,QZ999834-0001-0000001").Data, "E:LIMIT");
  EXPECT_FALSE(Dev().FiscalReceiptOpen());
}

TEST_F(SimLinkTest, IdleClientGivesWayAndStopEndsABusyAnswer) {
  Server.Stop();
  TSimServer server;
  server.SetLinkTimeouts(100, 200);
  ASSERT_TRUE(server.StartTcp());
  TLinkClient idle, next;
  ASSERT_TRUE(idle.ConnectTcp(server.Port()));
  ASSERT_FALSE(idle.Exchange(0x20, 0x4A, "W").Frame.empty());
  ASSERT_TRUE(next.ConnectTcp(server.Port()));
  EXPECT_FALSE(next.Exchange(0x21, 0x4A, "W", 1500).Frame.empty());
  EXPECT_TRUE(idle.Read(200).Closed);

  server.Device().Busy(60000);
  next.Send(EncodeRequest(0x22, 0x4A, "W"));
  EXPECT_GE(next.Read(150).Syn, 1);
  auto start = std::chrono::steady_clock::now();
  server.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

TEST(SimLinkRobustness, AClientThatReadsNothingCannotHoldTheServerOrStop) {
  for (int stallMs : {60000, 200}) {
    TSimServer server;
    server.SetLinkTimeouts(1000, 3000, stallMs);
    ASSERT_TRUE(server.StartTcp());
    TLinkClient greedy;
    ASSERT_TRUE(greedy.ConnectTcp(server.Port()));
    int small = 4096;
    ::setsockopt(greedy.Fd(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    bool dropped = FloodWithoutReading(greedy, server.Device(), stallMs == 200 ? 3000 : 300);
    if (stallMs == 200) {
      EXPECT_TRUE(dropped);  // the link is given up, the next client is served
      server.Device().ClearFaults();
      TLinkClient next;
      ASSERT_TRUE(next.ConnectTcp(server.Port()));
      EXPECT_TRUE(ParseReply(next.Exchange(0x21, 0x4A, "W", 1500).Frame).SumOk);
    }
    auto start = std::chrono::steady_clock::now();
    auto stopped = std::async(std::launch::async, [&] { server.Stop(); });
    bool prompt = stopped.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    EXPECT_TRUE(prompt) << "stall " << stallMs;
    greedy.Close();  // lets a stuck server go, so that the test ends either way
    stopped.get();
    if (prompt) {
      EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    }
  }
}

TEST(SimLinkRobustness, StopIsPromptWhileNobodyReadsThePty) {
  TSimServer server;
  std::string path = server.StartPty();
  ASSERT_FALSE(path.empty()) << server.LastError();
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  termios tio{};
  ::tcgetattr(fd, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(fd, TCSANOW, &tio);
  TLinkClient client(fd);
  server.Device().ForceAnswer(0x4A, std::string(200, 'X'), -1);
  for (int i = 0; i < 200; ++i) client.Send(EncodeRequest(0x20 + i % 64, 0x4A, "W"));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the answers fill the pty
  auto start = std::chrono::steady_clock::now();
  auto stopped = std::async(std::launch::async, [&] { server.Stop(); });
  bool prompt = stopped.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
  EXPECT_TRUE(prompt);
  while (!prompt && stopped.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
    char buf[4096];
    (void)::read(fd, buf, sizeof buf);  // lets a stuck server go
  }
  stopped.get();
  if (prompt) {
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  }
}

TEST(SimPty, ServesFramesOnThePtyAndPutsTheLink) {
  TSimServer server;
  std::string link =
      (std::filesystem::temp_directory_path() / ("fprsim-pty-" + std::to_string(::getpid())))
          .string();
  std::string path = server.StartPty(link);
  ASSERT_FALSE(path.empty()) << server.LastError();
  EXPECT_EQ(std::filesystem::read_symlink(link).string(), path);
  int fd = ::open(link.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  termios tio{};
  ::tcgetattr(fd, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(fd, TCSANOW, &tio);
  TLinkClient client(fd);
  TParsedReply p = ParseReply(client.Exchange(0x20, 0x4A, "W").Frame);
  EXPECT_TRUE(p.SumOk);
  EXPECT_EQ(p.Cmd, 0x4A);
  // A pty cannot be closed: after a cut frame the device goes on listening.
  server.Device().CloseMidFrame(1);
  TLinkClient::TReply cut = client.Exchange(0x21, 0x4A, "W", 300);
  ASSERT_FALSE(cut.Frame.empty());
  EXPECT_NE(cut.Frame.back(), '\x03');
  EXPECT_TRUE(ParseReply(client.Exchange(0x21, 0x4A, "W").Frame).SumOk);
  client.Close();
  server.Stop();
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

// Times scaled down tenfold: a partial frame is dropped after 100 ms of
// silence, and a client gives way to a waiting one after 300 ms without a
// complete frame.
TEST(SimLinkTakeover, ADrippingClientGivesWayAndARequestBesideItSucceeds) {
  TSimServer server;
  server.SetLinkTimeouts(100, 300);
  ASSERT_TRUE(server.StartTcp());
  TLinkClient drip;
  ASSERT_TRUE(drip.ConnectTcp(server.Port()));
  std::atomic<bool> stop{false};
  std::thread dripper([&] {
    const std::string frame = EncodeRequest(0x20, 0x4A, "W");
    for (std::size_t i = 0; !stop; ++i) {
      if (::send(drip.Fd(), &frame[i % frame.size()], 1, MSG_NOSIGNAL) != 1) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(90));
    }
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the drip holds the device

  TTCPDevice host;
  host.SetHost("127.0.0.1");
  host.SetPort(std::to_string(server.Port()));
  TDataBuffer status;
  const bool ok = host.GetPrinterStatus(status);
  stop = true;
  dripper.join();
  EXPECT_TRUE(ok) << host.LastErrorText;
  EXPECT_EQ(status.size(), 6u);
  EXPECT_TRUE(drip.Read(500).Closed);
  EXPECT_EQ(server.Device().ExecutedCount(0x4A), 1);  // the drip never completed its frame
}

TEST(SimLinkTakeover, AClientThatCompletesFramesKeepsTheDeviceWhileAnotherWaits) {
  TSimServer server;
  server.SetLinkTimeouts(100, 300);
  ASSERT_TRUE(server.StartTcp());
  TLinkClient first, second;
  ASSERT_TRUE(first.ConnectTcp(server.Port()));
  ASSERT_FALSE(first.Exchange(0x20, 0x4A, "W").Frame.empty());
  ASSERT_TRUE(second.ConnectTcp(server.Port()));
  second.Send(EncodeRequest(0x40, 0x4A, "W"));
  for (int i = 1; i <= 20; ++i) {  // 600 ms, twice the time limit
    ASSERT_FALSE(first.Exchange(static_cast<std::uint8_t>(0x20 + i), 0x4A, "W").Frame.empty()) << i;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  EXPECT_EQ(server.Device().ExecutedCount(0x4A), 21);  // one client at a time
  TParsedReply p = ParseReply(second.Read(2000).Frame);
  EXPECT_TRUE(p.SumOk);
  EXPECT_EQ(p.Seq, 0x40);
  EXPECT_TRUE(first.Read(200).Closed);
}

TEST(SimLinkTakeover, ABurstOfConnectionsIsQueuedWhileOneClientIsServed) {
  TSimServer server;
  ASSERT_TRUE(server.StartTcp());
  TLinkClient holder;
  ASSERT_TRUE(holder.ConnectTcp(server.Port()));
  ASSERT_FALSE(holder.Exchange(0x20, 0x4A, "W").Frame.empty());
  // A full listen queue drops the handshake: such a connection stays pending.
  std::vector<pollfd> burst;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(server.Port());
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  for (int i = 0; i < 40; ++i) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    ASSERT_GE(fd, 0);
    ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    burst.push_back({fd, POLLOUT, 0});
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(900);
  std::size_t connected = 0;
  while (connected < burst.size() && std::chrono::steady_clock::now() < deadline) {
    ::poll(burst.data(), burst.size(), 50);
    connected = 0;
    for (const pollfd& p : burst) {
      int err = -1;
      socklen_t len = sizeof err;
      ::getsockopt(p.fd, SOL_SOCKET, SO_ERROR, &err, &len);
      if ((p.revents & POLLOUT) && err == 0) ++connected;
    }
  }
  for (const pollfd& p : burst) ::close(p.fd);
  EXPECT_EQ(connected, burst.size());
}
