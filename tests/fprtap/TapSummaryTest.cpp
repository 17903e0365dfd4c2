// The figures at the end: exchanges, commands by code, errors by kind, and the
// median and largest time per exchange, in text and as one JSON object.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "TapMonitorTestSupport.h"

using namespace taptest;

namespace {

TEST(TapSummary, MedianAndLargest) {
  struct TCase {
    std::vector<std::int64_t> Us;
    std::int64_t Median, Largest;
  } cases[] = {
      {{}, -1, -1},
      {{700}, 700, 700},
      {{900, 100, 500}, 500, 900},
      {{400, 100, 300, 200}, 200, 400},  // the lower middle of an even count
      // Above 10 ms the table keeps four significant digits; the largest stays exact.
      {{12'345, 12'399, 40'000'123}, 12'390, 40'000'123},
  };
  for (const TCase& c : cases) {
    TTapSummary s;
    TTapExchange ex;
    ex.Number = 1;
    for (std::int64_t us : c.Us) {
      ex.DurationUs = us;
      s.Add(ex);
    }
    EXPECT_EQ(s.MedianUs(), c.Median) << c.Us.size();
    EXPECT_EQ(s.LargestUs(), c.Largest) << c.Us.size();
    EXPECT_EQ(s.Timed(), static_cast<std::int64_t>(c.Us.size()));
  }
}

// Traffic with a NAK and a retry, a lost answer, noise and busy bytes.
std::vector<TChunk> Traffic() {
  const TTapSide H = TTapSide::Host, D = TTapSide::Device;
  return {{H, Request(0x20, 0x4A, "W"), 0},
          {D, "\x15", 1000},
          {H, Request(0x20, 0x4A, "W"), 201'000},
          {D, "\x16\x16", 202'000},
          {D, Answer(0x20, 0x4A), 203'000},
          {D, "\xFF\xFE\xFD", 203'500},
          {H, Request(0x21, 0x3E), 300'000},
          {H, Request(0x22, 0x3E), 800'000},
          {D, Answer(0x22, 0x3E, "x", Status({{0, 0}})), 801'500},
          {H, "", 900'000, true}};
}

TEST(TapSummary, FiguresOfTheTraffic) {
  const std::string text = Monitor(Traffic(), {}, 0, true);
  EXPECT_EQ(text.substr(text.find("Summary:")),
            "Summary: 4 exchanges, 2 answered, 2 with failed checks\n"
            " Commands: 3EH 2 4AH 2\n"
            " Errors: nak 1 no-answer 1 noise 1\n"
            " NAK 1, SYN 2, bytes outside frames 3\n"
            " Time per exchange: median 1.500 ms, largest 2.000 ms\n");
  const std::string lines = Monitor(Traffic(), {{}, true}, 0, true);
  const auto last = nlohmann::json::parse(lines.substr(lines.rfind('\n', lines.size() - 2) + 1));
  EXPECT_EQ(last, nlohmann::json::parse(R"({"summary":{"exchanges":4,"answered":2,"failed":2,
      "commands":{"3E":2,"4A":2},"errors":{"nak":1,"no-answer":1,"noise":1},"naks":1,"syns":2,
      "noise_bytes":3,"median_us":1500,"largest_us":2000}})"));
}

}  // namespace
