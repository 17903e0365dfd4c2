// The relay between two socket pairs: bytes unchanged and in order both ways,
// each run handed to the sink with its time, closing, stopping and a peer
// that never reads.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>

#include <future>
#include <string>
#include <thread>

#include "TapRelay.h"
#include "TapRelayTestSupport.h"

namespace {

class TapRelayTest : public ::testing::Test {
 protected:
  // host.Fd[0] plays the host program, device.Fd[0] the device.
  TSocketPair Host, Device;
  TRecordingSink Sink;
  TTapStop Stop;

  std::future<TTapRelay::TResult> Start(std::size_t bufferBytes = 64 * 1024) {
    return std::async(std::launch::async, [this, bufferBytes] {
      TTapRelay relay(Host.Fd[1], Device.Fd[1], Sink, SteppingClock(), Stop.Fd());
      relay.BufferBytes = bufferBytes;
      relay.FlushLimitMs = 50;
      return relay.Run();
    });
  }
};

std::string AllBytes(std::size_t count) {
  std::string s(count, '\0');
  for (std::size_t i = 0; i < count; ++i) s[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  return s;
}

TEST_F(TapRelayTest, PassesEveryByteUnchangedBothWaysAndStampsEachRun) {
  auto run = Start(1024);  // smaller than the runs: buffers are reused
  const struct {
    TTapSide From;
    std::string Bytes;
  } steps[] = {
      {TTapSide::Host, std::string("\x01\x24\x20\x4A\x05\x30\x30\x39\x33\x03", 10)},
      {TTapSide::Device, std::string("\x16\x16\x15", 3)},
      {TTapSide::Device, std::string("\x01\x2B\x20\x4A\x04\x80\x80\x80\x80\x80\x80\x05", 12)},
      {TTapSide::Host, AllBytes(5000)},  // every byte value, NUL included
      {TTapSide::Device, AllBytes(70000)},
  };
  std::string sent[2];
  for (const auto& s : steps) {
    const bool fromHost = s.From == TTapSide::Host;
    ASSERT_TRUE(WriteAll(fromHost ? Host.Fd[0] : Device.Fd[0], s.Bytes));
    EXPECT_EQ(ReadSome(fromHost ? Device.Fd[0] : Host.Fd[0], s.Bytes.size()), s.Bytes);
    sent[fromHost ? 0 : 1] += s.Bytes;
  }
  Stop.Raise();
  const auto r = run.get();
  EXPECT_EQ(r.End, TTapRelay::TEnd::Stopped);
  EXPECT_EQ(Sink.From(TTapSide::Host), sent[0]);
  EXPECT_EQ(Sink.From(TTapSide::Device), sent[1]);
  EXPECT_EQ(r.Read[0], sent[0].size());
  EXPECT_EQ(r.Written[1], sent[1].size());
  std::int64_t last = 0;
  for (const auto& e : Sink.Events()) {
    EXPECT_GT(e.TimeUs, last);
    EXPECT_LE(e.Bytes.size(), 1024u);
    last = e.TimeUs;
  }
}

// One side goes away (in the middle of a frame): what it sent still reaches
// the other side, the relay ends (its caller closes the other side) and the
// sink hears of it last.
TEST_F(TapRelayTest, ASideThatClosesMidFrameClosesTheOther) {
  const struct {
    bool HostCloses;
    TTapRelay::TEnd End;
  } cases[] = {{true, TTapRelay::TEnd::HostClosed}, {false, TTapRelay::TEnd::DeviceClosed}};
  for (const auto& c : cases) {
    TSocketPair host, device;
    TRecordingSink sink;
    auto run = std::async(std::launch::async, [&] {
      return TTapRelay(host.Fd[1], device.Fd[1], sink, SteppingClock()).Run();
    });
    const int closing = c.HostCloses ? host.Fd[0] : device.Fd[0];
    const int other = c.HostCloses ? device.Fd[0] : host.Fd[0];
    const std::string half("\x01\x24\x20\x4A", 4);
    ASSERT_TRUE(WriteAll(closing, half));
    ::shutdown(closing, SHUT_RDWR);
    const auto r = run.get();
    EXPECT_EQ(r.End, c.End);
    EXPECT_EQ(ReadSome(other, half.size()), half);
    const auto events = sink.Events();
    ASSERT_FALSE(events.empty());
    EXPECT_TRUE(events.back().Close);
    EXPECT_EQ(events.back().Side, c.HostCloses ? TTapSide::Host : TTapSide::Device);
  }
}

// The device takes nothing: the tap holds at most one buffer of the host's
// bytes and stops reading the host, while answers still flow the other way.
TEST_F(TapRelayTest, APeerThatNeverReadsStopsTheOtherSideInsteadOfGrowingMemory) {
  int small = 4096;
  ::setsockopt(Device.Fd[1], SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
  auto run = Start(8192);
  const std::string block = AllBytes(4096);
  std::string flooded;
  for (int i = 0; i < 2000; ++i) {
    const ssize_t n = ::send(Host.Fd[0], block.data(), block.size(), MSG_NOSIGNAL);
    if (n > 0) flooded.append(block, 0, static_cast<std::size_t>(n));
    if (n < 0 && ::poll(nullptr, 0, 20) == 0) {
      // Blocked: the relay must not take more however long we try.
      if (::send(Host.Fd[0], block.data(), 1, MSG_NOSIGNAL) < 0) break;
      flooded += block[0];
    }
  }
  ASSERT_TRUE(WriteAll(Device.Fd[0], "answer"));
  EXPECT_EQ(ReadSome(Host.Fd[0], 6), "answer");
  Stop.Raise();
  const auto r = run.get();
  EXPECT_LT(r.Read[0], flooded.size());  // the rest never left the host's socket
  EXPECT_LE(r.Read[0] - r.Written[0], 8192u);
  EXPECT_EQ(Sink.From(TTapSide::Host), flooded.substr(0, r.Read[0]));
}

}  // namespace
