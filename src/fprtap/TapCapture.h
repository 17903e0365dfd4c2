#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "TapMonitor.h"
#include "TapSink.h"

// A capture: every run of bytes the relay passed, each way, with its time, as
// plain text (described in README.md):
//   fprtap capture 1
//   <time-us> H|D <hex, two digits a byte>
//   <time-us> H|D close
// Lines starting with '#' and empty lines are skipped on reading.

inline constexpr char kTapCaptureHeader[] = "fprtap capture 1";

// Writes the header at once and a line per call. The stream is flushed at each
// close and at the end, so a capture stays whole when the tap is stopped.
class TTapCaptureWriter : public ITapSink {
 public:
  explicit TTapCaptureWriter(std::ostream& out);
  ~TTapCaptureWriter() override;

  void OnBytes(TTapSide from, std::string_view bytes, std::int64_t timeUs) override;
  void OnClose(TTapSide side, std::int64_t timeUs) override;
  // False once a write failed (disk full, closed pipe).
  bool Good() const;

 private:
  std::ostream& Out_;
};

// Replays a capture into `sink` line by line, as the relay would have fed it.
// Stops at the first malformed line: false with `error` naming its line.
bool ReadTapCapture(std::istream& in, ITapSink& sink, std::string& error);

// fprtap --read: the capture shown as the tap showed it live, then the
// summary. 0 when every exchange passed its checks, 1 when one failed, 2 when
// the file cannot be read or is malformed (what came before is shown).
int RunTapRead(const std::string& path, const TTapMonitorOptions& options, std::ostream& out,
               std::ostream& err);
