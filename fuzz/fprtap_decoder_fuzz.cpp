// Feeds the tap's decoders and monitor arbitrary byte streams from both sides,
// cut into chunks as the input decides. Beyond memory and undefined-behaviour
// faults it fails when the decoders lose or invent a byte, keep more than a
// frame per side, or when the capture of the same traffic, read back, shows
// anything else than the monitor showed live.
//
// Input: byte 0 picks the output (bit 0: JSON; bits 1..4: the views). Then
// records: a control byte (bit 0: the side; bit 1 with bit 2: a close; bits
// 3..7: the chunk length, 0 meaning up to 255 taken from the next byte),
// followed by the chunk.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "FuzzInput.h"
#include "TapCapture.h"
#include "TapMonitor.h"
#include "TapStreamDecoder.h"

namespace {

TTapMonitorOptions Options(std::uint8_t b) {
  TTapMonitorOptions o;
  o.Json = (b & 1) != 0;
  o.Views = {(b & 2) != 0, (b & 4) != 0, (b & 8) != 0, (b & 16) != 0};
  return o;
}

// The sink the relay would feed: monitor and capture in turn.
class TBoth : public ITapSink {
 public:
  TBoth(ITapSink& a, ITapSink& b) : A(a), B(b) {}
  void OnBytes(TTapSide from, std::string_view bytes, std::int64_t timeUs) override {
    A.OnBytes(from, bytes, timeUs);
    B.OnBytes(from, bytes, timeUs);
  }
  void OnClose(TTapSide side, std::int64_t timeUs) override {
    A.OnClose(side, timeUs);
    B.OnClose(side, timeUs);
  }
  ITapSink& A;
  ITapSink& B;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TFuzzReader in(data, size);
  const TTapMonitorOptions options = Options(in.Byte());
  std::ostringstream live, captured;
  TTapMonitor monitor(live, options);
  std::size_t fed = 0;
  {
    TTapCaptureWriter capture(captured);
    TBoth both(monitor, capture);
    std::int64_t now = 0;
    while (!in.Empty()) {
      const std::uint8_t c = in.Byte();
      const TTapSide side = (c & 1) != 0 ? TTapSide::Device : TTapSide::Host;
      now += c;
      if ((c & 6) == 6) {
        both.OnClose(side, now);
        continue;
      }
      std::size_t length = c >> 3;
      if (length == 0) length = in.Byte();
      const std::string chunk = in.Bytes(length);
      both.OnBytes(side, chunk, now);
      fed += chunk.size();
      const TTapExchangeDecoder& d = monitor.Decoder();
      Check(d.Fed() == fed);
      Check(d.Accounted() + d.Pending() == d.Fed());
      Check(d.Pending() <= TapHostFrameCap() + TapDeviceFrameCap());
    }
  }
  monitor.PrintSummary();
  std::istringstream back(captured.str());
  std::ostringstream replayed;
  TTapMonitor again(replayed, options);
  std::string error;
  Check(ReadTapCapture(back, again, error));
  again.PrintSummary();
  Check(replayed.str() == live.str());
  return 0;
}
