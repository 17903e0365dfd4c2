#include "SimSession.h"

#include <algorithm>
#include <chrono>

using namespace sim;

std::int64_t ISimChannel::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool TSimSession::Feed(std::string_view bytes) {
  for (char c : bytes) {
    switch (Asm_.Push(static_cast<std::uint8_t>(c))) {
      case TRequestAssembler::EEvent::Frame:
        ++Frames_;
        Dev_.Trace("RX " + TraceHex(Asm_.Request().Frame));
        if (!Answer(Asm_.Request())) return false;
        break;
      case TRequestAssembler::EEvent::Broken:
        ++Frames_;
        Dev_.Trace("RX " + TraceHex(Asm_.Request().Frame) + "  -- " + Asm_.BrokenReason());
        if (!Send(std::string(1, static_cast<char>(kNAK)))) return false;
        break;
      case TRequestAssembler::EEvent::None:
        break;
    }
  }
  return true;
}

void TSimSession::DropPartial() {
  if (!Asm_.InFrame()) return;
  Asm_.Reset();
  Dev_.Trace("-- incomplete frame dropped");
}

bool TSimSession::Answer(const TSimRequest& req) {
  TSimReplyPlan plan = Dev_.Process(req);
  if (plan.Nak) return Send(std::string(1, static_cast<char>(kNAK)));
  if (plan.BusyMs > 0 && !SendBusy(plan.BusyMs)) return false;
  if (!plan.Noise.empty() && !Send(plan.Noise)) return false;
  if (plan.Silent) {
    Dev_.Trace("-- no answer");
    return true;
  }
  if (plan.CloseMidFrame) {
    Send(std::string_view(plan.Frame).substr(0, plan.Frame.size() / 2));
    Dev_.Trace("-- link dropped in the middle of the frame");
    return false;
  }
  return Send(plan.Frame);
}

bool TSimSession::Send(std::string_view bytes) {
  Dev_.Trace("TX " + TraceHex(bytes));
  return Ch_.Write(bytes);
}

// SYN at once, then at every interval, and a last one when the work is done.
bool TSimSession::SendBusy(int ms) {
  const std::int64_t start = Ch_.NowMs();
  const int interval = Dev_.SynInterval();
  const std::string syn(1, static_cast<char>(kSYN));
  while (true) {
    if (!Send(syn)) return false;
    const std::int64_t remaining = ms - (Ch_.NowMs() - start);
    if (remaining <= 0) return true;
    if (!Ch_.Wait(static_cast<int>(std::min<std::int64_t>(interval, remaining)))) return false;
  }
}
