#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "TapRelay.h"

// Keeps what a relay handed over, for the tests to compare.
class TRecordingSink : public ITapSink {
 public:
  struct TEvent {
    TTapSide Side;
    bool Close;
    std::string Bytes;
    std::int64_t TimeUs;
  };
  void OnBytes(TTapSide from, std::string_view bytes, std::int64_t timeUs) override;
  void OnClose(TTapSide side, std::int64_t timeUs) override;
  std::vector<TEvent> Events() const;
  // Everything one side sent, joined.
  std::string From(TTapSide side) const;

 private:
  mutable std::mutex Mu;
  std::vector<TEvent> Log;
};

// A clock that moves by 250 microseconds at every reading.
TTapClock SteppingClock(std::int64_t startUs = 1'000'000);

// A connected pair of non-blocking stream sockets; [0] for the test, [1] for the relay.
struct TSocketPair {
  TSocketPair();
  ~TSocketPair();
  int Fd[2] = {-1, -1};
};

// Writes all of `bytes` to a (non-blocking) descriptor, waiting for room.
bool WriteAll(int fd, const std::string& bytes);
// Reads until `count` bytes came or nothing came for `idleMs`.
std::string ReadSome(int fd, std::size_t count, int idleMs = 2000);
// Reads until the peer closes or nothing came for `idleMs`; `closed` tells which.
std::string ReadToEnd(int fd, bool& closed, int idleMs = 2000);
