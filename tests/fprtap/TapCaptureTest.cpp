// The capture: its lines, a round trip that shows the same as live, and
// malformed files reported by line without harm.
#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>

#include "TapCapture.h"
#include "TapMonitorTestSupport.h"

using namespace taptest;

namespace {

const TTapSide H = TTapSide::Host, D = TTapSide::Device;

std::string Capture(const std::vector<TChunk>& chunks) {
  std::ostringstream out;
  {
    TTapCaptureWriter w(out);
    Replay(chunks, w);
  }
  return out.str();
}

class TTempFile {
 public:
  explicit TTempFile(const std::string& text)
      : Path((std::filesystem::temp_directory_path() /
              ("fprtap-capture-" + std::to_string(::getpid()) + "-" + std::to_string(++Count)))
                 .string()) {
    std::ofstream(Path, std::ios::binary) << text;
  }
  ~TTempFile() { std::filesystem::remove(Path); }
  std::string Path;
  static inline int Count = 0;
};

TEST(TapCapture, LinesOfACapture) {
  EXPECT_EQ(Capture({{H, "\x01\x24\x20\x4A", 17},
                     {D, std::string("\x16\x00\xFF", 3), 1'000'000},
                     {H, "", 1'000'001},
                     {D, "", 2'000'000, true}}),
            "fprtap capture 1\n"
            "17 H 0124204A\n"
            "1000000 D 1600FF\n"
            "2000000 D close\n");
}

TEST(TapCapture, ReadBackShowsWhatTheMonitorShowedLive) {
  TSimTraffic sim;
  sim.Device.NakNext(1, 0x3E);
  sim.Device.NoiseBeforeFrame(std::string(sim::kDefaultNoise, 5), 1, 0x4A);
  std::uint8_t seq = 0x20;
  for (std::uint8_t cmd : {0x4A, 0x3E, 0x3E, 0x71}) {
    sim.Exchange(Request(seq, cmd), seq * 10'000, 1234);
    seq = NextSequence(seq);
  }
  sim.Chunks.push_back({H, Request(seq, 0x4A).substr(0, 5), 999'000});
  sim.Chunks.push_back({H, "", 1'000'000, true});
  for (bool json : {false, true}) {
    TTapMonitorOptions o;
    o.Json = json;
    std::ostringstream live, errors;
    {
      TTapMonitor monitor(live, o);
      Replay(sim.Chunks, monitor, 3);
      monitor.PrintSummary();
    }
    const TTempFile file(Capture(sim.Chunks));
    std::ostringstream read;
    EXPECT_EQ(RunTapRead(file.Path, o, read, errors), 1);  // the NAK and the noise fail checks
    EXPECT_EQ(read.str(), live.str());
    EXPECT_EQ(errors.str(), "");
  }
}

TEST(TapCapture, MalformedLinesAreReportedWithTheirNumber) {
  const std::string head = "fprtap capture 1\n";
  struct TCase {
    std::string Text;
    const char* Error;
  } cases[] = {
      {"", "line 1: not an fprtap capture (the first line must be 'fprtap capture 1')"},
      {"0124204A\n", "line 1: not an fprtap capture (the first line must be 'fprtap capture 1')"},
      {"fprtap capture 2\n",
       "line 1: capture version '2' is not known (this fprtap reads version 1)"},
      {head + "x H 01\n", "line 2: the time stamp 'x' is not a whole number of microseconds"},
      {head + "-5 H 01\n", "line 2: the time stamp '-5' is not a whole number of microseconds"},
      {head + "99999999999999999999 H 01\n",
       "line 2: the time stamp '99999999999999999999' is not a whole number of microseconds"},
      {head + "\n# note\n5 X 01\n", "line 4: the side 'X' is neither H (host) nor D (device)"},
      {head + "5 H\n", "line 2: no bytes and no 'close'"},
      {head + "5 H 012\n", "line 2: odd number of hexadecimal digits"},
      {head + "5 H 01G0\n", "line 2: 'G' is not a hexadecimal digit"},
      {head + "5 D 01 02\n", "line 2: more than three fields"},
      {head + "5 D 01\r\n6 H shut\n", "line 3: 's' is not a hexadecimal digit"},
  };
  for (const TCase& c : cases) {
    const TTempFile file(c.Text);
    std::ostringstream out, err;
    EXPECT_EQ(RunTapRead(file.Path, {}, out, err), 2) << c.Text;
    EXPECT_EQ(err.str(), "fprtap: " + file.Path + ": " + c.Error + "\n") << c.Text;
    // What came before the bad line is shown, then the summary.
    EXPECT_NE(out.str().find("Summary: 0 exchanges"), std::string::npos);
  }
  std::ostringstream out, err;
  EXPECT_EQ(RunTapRead("/nonexistent/capture", {}, out, err), 2);
  EXPECT_EQ(err.str(), "fprtap: cannot open the capture /nonexistent/capture\n");
}

TEST(TapCapture, CleanCaptureReadsWithStatusZero) {
  const TTempFile file(Capture({{H, Request(0x20, 0x4A), 10}, {D, Answer(0x20, 0x4A), 20}}));
  std::ostringstream out, err;
  EXPECT_EQ(RunTapRead(file.Path, {}, out, err), 0) << err.str();
  EXPECT_NE(out.str().find("Checks: OK"), std::string::npos);
  EXPECT_NE(out.str().find("Summary: 1 exchange, 1 answered, 0 with failed checks"),
            std::string::npos);
}

}  // namespace
