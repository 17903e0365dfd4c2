#include "TapSummary.h"

namespace {

// Exact to the microsecond below 10 ms; above, four significant digits.
std::int64_t Bucket(std::int64_t us) {
  std::int64_t scale = 1;
  while (us / scale >= 10000) scale *= 10;
  return us / scale * scale;
}

}  // namespace

void TTapSummary::Add(const TTapExchange& ex) {
  Naks += ex.Naks;
  Syns += ex.Syns;
  NoiseBytes += static_cast<std::int64_t>(ex.HostNoise.Count + ex.DeviceNoise.Count);
  for (const TTapCheck& c : ex.Checks) ++Errors[c.Kind];
  if (ex.Number == 0) return;
  ++Exchanges;
  if (!ex.Checks.empty()) ++Failed;
  const TTapFrame* frame = ex.Request ? &*ex.Request : ex.Answer ? &*ex.Answer : nullptr;
  if (frame != nullptr && frame->Report.Bytes.size() >= 4)
    ++Commands[static_cast<std::uint8_t>(frame->Report.Bytes[3])];
  if (ex.Answer) ++Answered;
  if (ex.DurationUs < 0) return;
  ++Times_[Bucket(ex.DurationUs)];
  if (Timed_ == 0 || ex.DurationUs > Largest_) Largest_ = ex.DurationUs;
  ++Timed_;
}

std::int64_t TTapSummary::MedianUs() const {
  if (Timed_ == 0) return -1;
  const std::int64_t want = (Timed_ - 1) / 2;  // 0-based rank of the lower middle
  std::int64_t seen = 0;
  for (const auto& [us, count] : Times_) {
    seen += count;
    if (seen > want) return us;
  }
  return Largest_;
}
