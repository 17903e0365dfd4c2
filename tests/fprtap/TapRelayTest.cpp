// The relay between socket pairs: bytes unchanged and in order both ways, each
// run handed to the sink with its time, a side closing mid-frame, and a peer
// that never reads.
#include "TapAppTestSupport.h"

namespace {

std::string AllBytes(std::size_t count) {
  std::string s(count, '\0');
  for (std::size_t i = 0; i < count; ++i) s[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  return s;
}

struct TRelayRun {
  TSocketPair Host, Device;  // Fd[0]: the host program, the device
  TRecordingSink Sink;
  TTapStop Stop;
  std::future<TTapRelay::TResult> Result;
  explicit TRelayRun(std::size_t bufferBytes) {
    auto clock = [now = std::make_shared<std::atomic<std::int64_t>>(1000)] {
      return now->fetch_add(250);
    };
    Result = std::async(std::launch::async, [=, this] {
      TTapRelay relay(Host.Fd[1], Device.Fd[1], Sink, clock, Stop.Fd());
      relay.BufferBytes = bufferBytes;
      relay.FlushLimitMs = 50;
      return relay.Run();
    });
  }
  ~TRelayRun() { Stop.Raise(); }
};

TEST(TapRelay, PassesEveryByteUnchangedBothWaysAndStampsEachRun) {
  TRelayRun run(1024);  // smaller than the runs: the buffers are reused
  const std::pair<TTapSide, std::string> steps[] = {
      {TTapSide::Host, std::string("\x01\x24\x20\x4A\x05\x30\x30\x39\x33\x03", 10)},
      {TTapSide::Device, std::string("\x16\x16\x15", 3)},
      {TTapSide::Host, AllBytes(5000)},  // every byte value, NUL included
      {TTapSide::Device, AllBytes(70000)},
  };
  std::string sent[2];
  for (const auto& [from, bytes] : steps) {
    const bool host = from == TTapSide::Host;
    ASSERT_TRUE(WriteAll(host ? run.Host.Fd[0] : run.Device.Fd[0], bytes));
    EXPECT_EQ(ReadSome(host ? run.Device.Fd[0] : run.Host.Fd[0], bytes.size()), bytes);
    sent[host ? 0 : 1] += bytes;
  }
  run.Stop.Raise();
  const auto r = run.Result.get();
  EXPECT_EQ(r.End, TTapRelay::TEnd::Stopped);
  EXPECT_EQ(run.Sink.From(TTapSide::Host), sent[0]);
  EXPECT_EQ(run.Sink.From(TTapSide::Device), sent[1]);
  EXPECT_EQ(r.Written[1], sent[1].size());
  // Each run is stamped with one reading of the relay's clock, in order.
  for (std::size_t i = 0; i < run.Sink.Times.size(); ++i)
    EXPECT_EQ(run.Sink.Times[i], 1000 + 250 * i);
}

// What the closing side sent still reaches the other, the relay ends (its
// caller closes the other side) and the sink hears of the close last.
TEST(TapRelay, ASideThatClosesMidFrameEndsTheRelay) {
  for (const bool hostCloses : {true, false}) {
    TRelayRun run(1024);
    const std::string half("\x01\x24\x20\x4A", 4);
    const int closing = hostCloses ? run.Host.Fd[0] : run.Device.Fd[0];
    ASSERT_TRUE(WriteAll(closing, half));
    ::shutdown(closing, SHUT_RDWR);
    EXPECT_EQ(run.Result.get().End,
              hostCloses ? TTapRelay::TEnd::HostClosed : TTapRelay::TEnd::DeviceClosed);
    EXPECT_EQ(ReadSome(hostCloses ? run.Device.Fd[0] : run.Host.Fd[0], 4), half);
    EXPECT_EQ(run.Sink.LastClosed, hostCloses ? 0 : 1);
  }
}

// The device takes nothing: the tap holds at most one buffer of the host's
// bytes and stops reading the host, while answers still flow the other way.
TEST(TapRelay, APeerThatNeverReadsStopsTheOtherSideInsteadOfGrowingMemory) {
  TRelayRun run(8192);
  const std::string block = AllBytes(4096);
  std::string flooded;
  for (int i = 0; i < 2000; ++i) {
    const ssize_t n = ::send(run.Host.Fd[0], block.data(), block.size(), MSG_NOSIGNAL);
    if (n > 0) flooded.append(block, 0, static_cast<std::size_t>(n));
    // Blocked: the relay must not take more however long we try.
    if (n < 0 && ::poll(nullptr, 0, 20) == 0 &&
        ::send(run.Host.Fd[0], block.data(), 1, MSG_NOSIGNAL) < 0)
      break;
    if (n < 0) flooded += block[0];
  }
  ASSERT_TRUE(WriteAll(run.Device.Fd[0], "answer"));
  EXPECT_EQ(ReadSome(run.Host.Fd[0], 6), "answer");
  run.Stop.Raise();
  const auto r = run.Result.get();
  EXPECT_LT(r.Read[0], flooded.size());  // the rest never left the host's socket
  EXPECT_LE(r.Read[0] - r.Written[0], 8192u);
  EXPECT_EQ(run.Sink.From(TTapSide::Host), flooded.substr(0, r.Read[0]));
}

}  // namespace
