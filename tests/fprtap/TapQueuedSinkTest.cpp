// The queue between the relay and the monitor: every run reaches the inner
// sink in order with its time, a stalled inner sink does not hold the relay
// until the cap is reached, and then it does instead of dropping.
#include <atomic>
#include <future>
#include <mutex>

#include "TapAppTestSupport.h"
#include "TapQueuedSink.h"

namespace {

// Blocks in its first call until released.
struct TStalledSink : TRecordingSink {
  std::promise<void> Entered, Release;
  std::shared_future<void> Released = Release.get_future().share();
  std::once_flag First;
  void OnBytes(TTapSide from, std::string_view bytes, std::int64_t t) override {
    std::call_once(First, [this] { Entered.set_value(); });
    Released.wait();
    TRecordingSink::OnBytes(from, bytes, t);
  }
};

TEST(TapQueuedSink, HandsOnEveryRunInOrderWithItsTimeAndTheCloseLast) {
  TRecordingSink inner;
  TTapQueuedSink queued(inner);
  std::string sent[2];
  for (int i = 0; i < 3000; ++i) {
    const TTapSide side = i % 3 == 0 ? TTapSide::Device : TTapSide::Host;
    const std::string run(static_cast<std::size_t>(i % 70), static_cast<char>(i));
    queued.OnBytes(side, run, 10 * i);
    sent[static_cast<int>(side)] += run;
  }
  queued.OnClose(TTapSide::Device, 99999);
  queued.Drain();
  EXPECT_EQ(inner.From(TTapSide::Host), sent[0]);
  EXPECT_EQ(inner.From(TTapSide::Device), sent[1]);
  ASSERT_EQ(inner.Times.size(), 3000u);
  for (std::size_t i = 0; i < inner.Times.size(); ++i) EXPECT_EQ(inner.Times[i], 10 * i);
  EXPECT_EQ(inner.LastClosed, static_cast<int>(TTapSide::Device));
}

TEST(TapQueuedSink, AStalledMonitorHoldsTheRelayOnlyAtTheCap) {
  TStalledSink inner;
  TTapQueuedSink queued(inner, 1000);
  const std::string run(100, 'x');
  auto entered = inner.Entered.get_future();
  queued.OnBytes(TTapSide::Host, run, 1);  // the thread takes it and stalls
  entered.wait();
  // Below the cap the relay goes on while the monitor is stalled.
  for (int i = 0; i < 8; ++i) queued.OnBytes(TTapSide::Host, run, 2 + i);
  std::atomic<int> putAfterCap{0};
  auto relay = std::async(std::launch::async, [&] {
    for (int i = 0; i < 5; ++i) {
      queued.OnBytes(TTapSide::Device, run, 100 + i);
      ++putAfterCap;
    }
  });
  EXPECT_EQ(relay.wait_for(std::chrono::milliseconds(20)), std::future_status::timeout);
  EXPECT_EQ(putAfterCap.load(), 1);  // the run that reached the cap went in
  inner.Release.set_value();
  relay.get();
  queued.Drain();
  EXPECT_EQ(inner.From(TTapSide::Host), std::string(900, 'x'));
  EXPECT_EQ(inner.From(TTapSide::Device), std::string(500, 'x'));
}

}  // namespace
