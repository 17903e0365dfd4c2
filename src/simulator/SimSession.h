#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "SimCodec.h"
#include "SimDevice.h"

// The device side of one link: reads request frames from the bytes that
// arrive, answers a broken frame with NAK, and carries out the reply plan of
// TSimDevice (SYN while busy, noise, the frame, or a cut frame and a dropped
// link).

class ISimChannel {
 public:
  virtual ~ISimChannel() = default;
  virtual bool Write(std::string_view bytes) = 0;
  // Waits `ms` milliseconds; false when the server is stopping.
  virtual bool Wait(int ms) = 0;
  // Monotonic milliseconds that time the busy phase; a channel without real
  // waits supplies its own clock.
  virtual std::int64_t NowMs();
};

class TSimSession {
 public:
  TSimSession(TSimDevice& device, ISimChannel& channel) : Dev_(device), Ch_(channel) {}

  // Handles received bytes; false when the link must be dropped.
  bool Feed(std::string_view bytes);
  bool InFrame() const { return Asm_.InFrame(); }
  // Bytes held of a frame not yet complete.
  std::size_t Buffered() const { return Asm_.Buffered(); }
  // Frames received whole so far, broken ones included.
  std::size_t Frames() const { return Frames_; }
  // A frame that stopped halfway is forgotten (the host will send it again).
  void DropPartial();

 private:
  bool Answer(const sim::TSimRequest& req);
  bool Send(std::string_view bytes);
  bool SendBusy(int ms);

  TSimDevice& Dev_;
  ISimChannel& Ch_;
  sim::TRequestAssembler Asm_;
  std::size_t Frames_ = 0;
};
