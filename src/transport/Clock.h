#pragma once

#include <cstdint>

// Time source of the transports: a monotonic millisecond counter and a plain
// wait. Tests replace it with a virtual clock so that time limits of tens of
// seconds run in microseconds.
class IClock {
 public:
  virtual ~IClock() = default;
  virtual std::int64_t NowMs() = 0;
  virtual void SleepMs(int ms) = 0;
};

// std::chrono::steady_clock and std::this_thread::sleep_for.
class TSteadyClock : public IClock {
 public:
  std::int64_t NowMs() override;
  void SleepMs(int ms) override;
};
