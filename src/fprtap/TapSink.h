#pragma once

#include <cstdint>
#include <string_view>

// Who sent a run of relayed bytes: the host program or the device.
enum class TTapSide { Host, Device };

// Receives the bytes exactly as the relay passed them on, in the order they
// went through, with the time they were read (microseconds on one clock).
// Sinks only watch: they never see a file descriptor and cannot change a byte.
class ITapSink {
 public:
  virtual ~ITapSink() = default;
  virtual void OnBytes(TTapSide from, std::string_view bytes, std::int64_t timeUs) = 0;
  // One side closed (or failed); the relay closes the other.
  virtual void OnClose(TTapSide side, std::int64_t timeUs) = 0;
};
