#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "TapExchangeDecoder.h"

// Figures over every exchange a monitor saw. The times are kept as a count per
// value (exact below 10 ms, four significant digits above), so a tap that runs
// for days keeps a bounded table however many exchanges pass.
class TTapSummary {
 public:
  void Add(const TTapExchange& ex);

  int Exchanges = 0;  // requests and stray answers, not the runs outside exchanges
  int Answered = 0;   // with a frame from the device
  int Failed = 0;     // exchanges with at least one failed check
  std::map<std::uint8_t, int> Commands;  // by the request's code (the answer's without one)
  std::map<std::string, int> Errors;     // failed checks by kind
  std::int64_t Naks = 0;
  std::int64_t Syns = 0;
  std::int64_t NoiseBytes = 0;

  std::int64_t Timed() const { return Timed_; }
  // -1 with no timed exchange. The median is the lower middle value.
  std::int64_t MedianUs() const;
  std::int64_t LargestUs() const { return Timed_ == 0 ? -1 : Largest_; }

 private:
  std::map<std::int64_t, std::int64_t> Times_;
  std::int64_t Timed_ = 0;
  std::int64_t Largest_ = 0;
};
