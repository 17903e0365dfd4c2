// The link session driven in memory: a channel that records what is written and
// whose waits only move its own clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SimCodec.h"
#include "SimDevice.h"
#include "SimSession.h"

using namespace sim;

namespace {

class TMemoryChannel : public ISimChannel {
 public:
  std::vector<std::string> Writes;
  std::vector<int> Waits;
  std::int64_t Now = 0;
  bool Stopping = false;

  bool Write(std::string_view bytes) override {
    Writes.emplace_back(bytes);
    return true;
  }
  bool Wait(int ms) override {
    Waits.push_back(ms);
    Now += ms;
    return !Stopping;
  }
  std::int64_t NowMs() override { return Now; }
};

const std::string kSyn(1, static_cast<char>(kSYN));
const std::string kNak(1, static_cast<char>(kNAK));

TEST(SimSession, BusyPhaseIsTimedByTheChannelClock) {
  TSimDevice dev;
  TMemoryChannel ch;
  TSimSession session(dev, ch);
  dev.SetSynInterval(300);
  dev.Busy(1000, 1, 0x4A);
  ASSERT_TRUE(session.Feed(EncodeRequest(0x20, 0x4A, "W")));
  // SYN at once and after every interval; the last wait is what is left.
  EXPECT_EQ(ch.Waits, (std::vector<int>{300, 300, 300, 100}));
  ASSERT_EQ(ch.Writes.size(), 6u);
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(ch.Writes[i], kSyn) << i;
  EXPECT_EQ(static_cast<std::uint8_t>(ch.Writes[5][0]), kSOH);
  EXPECT_EQ(ch.Now, 1000);
}

TEST(SimSession, StoppingServerEndsTheBusyPhaseAndTheLink) {
  TSimDevice dev;
  TMemoryChannel ch;
  TSimSession session(dev, ch);
  dev.Busy(5000, 1, 0x4A);
  ch.Stopping = true;
  EXPECT_FALSE(session.Feed(EncodeRequest(0x20, 0x4A, "W")));
  EXPECT_EQ(ch.Writes, std::vector<std::string>{kSyn});
}

TEST(SimSession, EndlessFrameIsCutAtTheLimitAndTheLinkRecovers) {
  TSimDevice dev;
  TMemoryChannel ch;
  TSimSession session(dev, ch);
  const std::string start = EncodeRequest(0x20, 0x4A, "").substr(0, 4);
  std::size_t most = 0;
  for (char c : start + std::string(3000, 'A')) {
    ASSERT_TRUE(session.Feed(std::string(1, c)));
    most = std::max(most, session.Buffered());
  }
  EXPECT_EQ(most, TRequestAssembler::kMaxFrame);
  EXPECT_EQ(ch.Writes, std::vector<std::string>{kNak});
  ch.Writes.clear();
  ASSERT_TRUE(session.Feed(EncodeRequest(0x21, 0x4A, "W")));
  ASSERT_EQ(ch.Writes.size(), 1u);
  EXPECT_EQ(static_cast<std::uint8_t>(ch.Writes[0][2]), 0x21);
  EXPECT_EQ(session.Buffered(), 0u);
}

}  // namespace
