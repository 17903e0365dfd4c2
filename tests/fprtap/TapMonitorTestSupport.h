#pragma once

// Frames and simulated traffic for the monitor's tests: requests built by the
// project's codec, answers by the simulator's session (no sockets), replayed
// into any sink as the relay would feed it.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FrameCodec.h"
#include "SimDevice.h"
#include "SimSession.h"
#include "TapCapture.h"
#include "TapMonitor.h"

namespace taptest {

inline std::string Request(std::uint8_t seq, std::uint8_t cmd, const std::string& data = "") {
  const TDataBuffer f = BuildRequestFrame(seq, cmd, TDataBuffer(data.begin(), data.end()));
  return std::string(f.begin(), f.end());
}

// Six status bytes with bit 7 set, as devices send them, plus [k/n] bits.
inline std::string Status(std::initializer_list<std::pair<int, int>> bits = {}) {
  std::string s(6, '\x80');
  for (auto [k, n] : bits) s[k] = static_cast<char>(s[k] | (1 << n));
  return s;
}

inline std::string Answer(std::uint8_t seq, std::uint8_t cmd, const std::string& data = "",
                          const std::string& status = Status()) {
  const TDataBuffer f = BuildResponseFrame(seq, cmd, TDataBuffer(data.begin(), data.end()),
                                           TDataBuffer(status.begin(), status.end()));
  return std::string(f.begin(), f.end());
}

// One run of bytes as the relay hands it on, or a close when `Close` is set.
struct TChunk {
  TTapSide From = TTapSide::Host;
  std::string Bytes;
  std::int64_t TimeUs = 0;
  bool Close = false;
};

// Feeds the chunks, each cut into pieces of `piece` bytes (0: whole).
inline void Replay(const std::vector<TChunk>& chunks, ITapSink& sink, std::size_t piece = 0) {
  for (const TChunk& c : chunks) {
    if (c.Close) {
      sink.OnClose(c.From, c.TimeUs);
      continue;
    }
    const std::size_t step = piece == 0 ? c.Bytes.size() : piece;
    for (std::size_t i = 0; i < c.Bytes.size(); i += step)
      sink.OnBytes(c.From, std::string_view(c.Bytes).substr(i, step), c.TimeUs);
  }
}

// What a monitor prints for the chunks.
inline std::string Monitor(const std::vector<TChunk>& chunks, TTapMonitorOptions options = {},
                           std::size_t piece = 0, bool summary = false) {
  std::ostringstream out;
  TTapMonitor monitor(out, options);
  Replay(chunks, monitor, piece);
  if (summary) monitor.PrintSummary();
  return out.str();
}

// The capture file of the chunks, and one on disk for the test's life.
inline std::string Capture(const std::vector<TChunk>& chunks) {
  std::ostringstream out;
  {
    TTapCaptureWriter w(out);
    Replay(chunks, w);
  }
  return out.str();
}

struct TTempFile {
  explicit TTempFile(const std::string& text) { std::ofstream(Path, std::ios::binary) << text; }
  ~TTempFile() { std::remove(Path.c_str()); }
  static inline int Count = 0;
  std::string Path = ::testing::TempDir() + "fprtap-capture-" + std::to_string(::getpid()) + "-" +
                     std::to_string(++Count);
};

// The simulated device's session; its answers come back as device chunks.
class TSimTraffic : public ISimChannel {
 public:
  TSimTraffic() : Session(Device, *this) {}

  // The host sends `request` at `timeUs`; every write of the device follows
  // `answerAfterUs` later.
  void Exchange(const std::string& request, std::int64_t timeUs, std::int64_t answerAfterUs) {
    Chunks.push_back({TTapSide::Host, request, timeUs});
    AnswerAt = timeUs + answerAfterUs;
    Session.Feed(request);
  }

  bool Write(std::string_view bytes) override {
    Chunks.push_back({TTapSide::Device, std::string(bytes), AnswerAt});
    return true;
  }
  bool Wait(int ms) override {
    AnswerAt += static_cast<std::int64_t>(ms) * 1000;
    return true;
  }
  std::int64_t NowMs() override { return AnswerAt / 1000; }

  TSimDevice Device;
  TSimSession Session;
  std::vector<TChunk> Chunks;
  std::int64_t AnswerAt = 0;
};

}  // namespace taptest
