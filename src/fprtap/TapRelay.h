#pragma once

#include <poll.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "TapSink.h"

// Microseconds on a monotonic clock; tests pass their own.
using TTapClock = std::function<std::int64_t()>;
TTapClock SteadyTapClock();

// Hands every run of bytes to several sinks in turn (the monitor, the capture).
class TTapFanOut : public ITapSink {
 public:
  void Add(ITapSink& sink) { Sinks.push_back(&sink); }
  void OnBytes(TTapSide from, std::string_view bytes, std::int64_t timeUs) override;
  void OnClose(TTapSide side, std::int64_t timeUs) override;

 private:
  std::vector<ITapSink*> Sinks;
};

// An eventfd that a signal handler may raise; the relay and the accept loop
// poll it and end when it is readable. It stays raised.
class TTapStop {
 public:
  TTapStop();
  ~TTapStop();
  TTapStop(const TTapStop&) = delete;
  TTapStop& operator=(const TTapStop&) = delete;
  void Raise() const;  // async-signal-safe
  bool Raised() const;
  int Fd() const { return Fd_; }

 private:
  int Fd_ = -1;
};

// Passes bytes both ways between two descriptors with one poll loop. Each
// direction has one fixed buffer: a side is not read while the bytes it sent
// before still wait for the other side, so a peer that never reads stops the
// other side's reading instead of growing memory. Bytes go out unchanged, in
// order, as soon as the other side takes them; every run read is handed to the
// sink, stamped with the time it was read, once it has been passed on.
class TTapRelay {
 public:
  enum class TEnd { HostClosed, DeviceClosed, Stopped };
  struct TResult {
    TEnd End = TEnd::Stopped;
    std::uint64_t Read[2] = {0, 0};     // by side that sent
    std::uint64_t Written[2] = {0, 0};  // by side that sent
  };

  // The descriptors stay the caller's; they are made non-blocking.
  TTapRelay(int hostFd, int deviceFd, ITapSink& sink, TTapClock clock, int stopFd = -1);

  // Runs until a side closes or fails, or the stop descriptor is raised. The
  // other side's pending bytes are then flushed for up to FlushLimitMs.
  TResult Run();

  std::size_t BufferBytes = 64 * 1024;
  int FlushLimitMs = 2000;
  int SpinUs = 100;  // how long to look again for bytes before sleeping

 private:
  struct TDirection {
    int From = -1;
    int To = -1;
    bool ToSocket = false;
    std::vector<char> Buf;
    std::size_t Start = 0, End = 0;
    std::size_t Pending() const { return End - Start; }
  };
  // Reads what there is room for and writes it on. False when the reading
  // side closed or failed; `writeFailed` when the writing side failed.
  bool ReadInto(int dir, TResult& r, bool& writeFailed);
  // False when the writing side failed.
  bool WriteOut(int dir, TResult& r);
  void Flush(TResult& r);
  int WaitReady(pollfd* p, nfds_t count);

  TDirection Dir[2];
  ITapSink& Sink;
  TTapClock Clock;
  int StopFd;
};
