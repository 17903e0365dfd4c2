#include "TapQueuedSink.h"

#include <chrono>
#include <cstring>

namespace {

// A record: its kind, the time and the length of the run, then the run.
constexpr char kBytes[2] = {'H', 'D'};
constexpr char kClose[2] = {'h', 'd'};
constexpr std::size_t kHead = 1 + sizeof(std::int64_t) + sizeof(std::uint32_t);

int SideIndex(TTapSide side) { return side == TTapSide::Host ? 0 : 1; }

}  // namespace

TTapQueuedSink::TTapQueuedSink(ITapSink& inner, std::size_t capBytes)
    : Inner(inner), Cap(capBytes), Worker([this] { Loop(); }) {}

TTapQueuedSink::~TTapQueuedSink() {
  {
    std::lock_guard lock(Mu);
    Quit = true;
  }
  Filled.notify_one();
  Emptied.notify_all();
  Worker.join();
}

void TTapQueuedSink::OnBytes(TTapSide from, std::string_view bytes, std::int64_t timeUs) {
  Put(kBytes[SideIndex(from)], bytes, timeUs);
}

void TTapQueuedSink::OnClose(TTapSide side, std::int64_t timeUs) {
  Put(kClose[SideIndex(side)], {}, timeUs);
}

void TTapQueuedSink::Put(char kind, std::string_view bytes, std::int64_t timeUs) {
  std::unique_lock lock(Mu);
  // A slow terminal holds the relay here rather than growing the queue.
  Emptied.wait(lock, [&] { return Queue.size() < Cap || Quit; });
  const auto length = static_cast<std::uint32_t>(bytes.size());
  const std::size_t at = Queue.size();
  Queue.resize(at + kHead + bytes.size());
  char* p = Queue.data() + at;
  p[0] = kind;
  std::memcpy(p + 1, &timeUs, sizeof timeUs);
  std::memcpy(p + 1 + sizeof timeUs, &length, sizeof length);
  if (!bytes.empty()) std::memcpy(p + kHead, bytes.data(), bytes.size());
  ++Put_;
  if (Idle) {
    Idle = false;
    Filled.notify_one();
  }
}

void TTapQueuedSink::Drain() {
  std::unique_lock lock(Mu);
  const std::uint64_t target = Put_;
  if (Idle && Done_ < target) {
    Idle = false;
    Filled.notify_one();
  }
  Emptied.wait(lock, [&] { return Done_ >= target; });
}

// Takes what has gathered, hands it on outside the lock, then lets the next
// runs gather for a moment: one wake-up serves many exchanges.
void TTapQueuedSink::Loop() {
  std::string batch;
  std::unique_lock lock(Mu);
  for (;;) {
    while (Queue.empty() && !Quit) {
      Idle = true;
      Filled.wait(lock);
    }
    Idle = false;
    if (Queue.empty()) return;
    batch.swap(Queue);
    const std::uint64_t count = Put_;
    lock.unlock();
    Emptied.notify_all();  // a relay held at the cap may go on
    Deliver(batch);
    batch.clear();
    lock.lock();
    Done_ = count;
    Emptied.notify_all();
    if (Quit || Queue.size() >= Cap / 2) continue;
    lock.unlock();
    std::this_thread::sleep_for(std::chrono::microseconds(kGatherUs));
    lock.lock();
  }
}

void TTapQueuedSink::Deliver(const std::string& batch) {
  for (std::size_t at = 0; at + kHead <= batch.size();) {
    const char kind = batch[at];
    std::int64_t timeUs = 0;
    std::uint32_t length = 0;
    std::memcpy(&timeUs, batch.data() + at + 1, sizeof timeUs);
    std::memcpy(&length, batch.data() + at + 1 + sizeof timeUs, sizeof length);
    const std::string_view bytes(batch.data() + at + kHead, length);
    at += kHead + length;
    if (kind == kBytes[0] || kind == kBytes[1])
      Inner.OnBytes(kind == kBytes[0] ? TTapSide::Host : TTapSide::Device, bytes, timeUs);
    else
      Inner.OnClose(kind == kClose[0] ? TTapSide::Host : TTapSide::Device, timeUs);
  }
}
