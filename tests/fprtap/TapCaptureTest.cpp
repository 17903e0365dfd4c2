// The capture: its lines, and malformed files reported by line without harm.
// (Read back against live: TapMonitorOutputTest.)
#include <gtest/gtest.h>

#include "TapCapture.h"
#include "TapMonitorTestSupport.h"

using namespace taptest;

namespace {

const TTapSide H = TTapSide::Host, D = TTapSide::Device;

TEST(TapCapture, LinesOfACapture) {
  EXPECT_EQ(Capture({{H, "\x01\x24\x20\x4A", 17},
                     {D, std::string("\x16\x00\xFF", 3), 1'000'000},
                     {H, "", 1'000'001},
                     {D, "", 2'000'000, true}}),
            "fprtap capture 1\n"
            "17 H 0124204A\n"
            "1000000 D 1600FF\n"
            "2000000 D close\n");
  const TTempFile file(Capture({{H, Request(0x20, 0x4A), 10}, {D, Answer(0x20, 0x4A), 20}}));
  std::ostringstream out, err;
  EXPECT_EQ(RunTapRead(file.Path, {}, out, err), 0) << err.str();
}

TEST(TapCapture, MalformedLinesAreReportedWithTheirNumber) {
  const std::string head = "fprtap capture 1\n";
  struct TCase {
    std::string Text;
    const char* Error;
  } cases[] = {
      {"", "line 1: not an fprtap capture (the first line must be 'fprtap capture 1')"},
      {"fprtap capture 2\n",
       "line 1: capture version '2' is not known (this fprtap reads version 1)"},
      {head + "x H 01\n", "line 2: the time stamp 'x' is not a whole number of microseconds"},
      {head + "99999999999999999999 H 01\n",
       "line 2: the time stamp '99999999999999999999' is not a whole number of microseconds"},
      {head + "\n# note\n5 X 01\n", "line 4: the side 'X' is neither H (host) nor D (device)"},
      {head + "5 H\n", "line 2: no bytes and no 'close'"},
      {head + "5 H 01G0\n", "line 2: 'G' is not a hexadecimal digit"},
      {head + "5 D 01 02\n", "line 2: more than three fields"},
      // A CR before the line end is allowed; the exchange before the bad line is shown.
      {head + "5 H 0124204A053030393303\r\n6 D 012B204A04808080808080053033393E03\n7 H shut\n",
       "line 4: 's' is not a hexadecimal digit"},
  };
  for (const TCase& c : cases) {
    const TTempFile file(c.Text);
    std::ostringstream out, err;
    EXPECT_EQ(RunTapRead(file.Path, {}, out, err), 2) << c.Text;
    EXPECT_EQ(err.str(), "fprtap: " + file.Path + ": " + c.Error + "\n") << c.Text;
    const bool exchange = c.Text.find("shut") != std::string::npos;
    EXPECT_EQ(out.str().find("Exchange 1 at 0.000000 s: command 4AH") == 0, exchange) << c.Text;
    EXPECT_NE(out.str().find(exchange ? "Summary: 1 exchange" : "Summary: 0"), std::string::npos);
  }
  std::ostringstream out, err;
  EXPECT_EQ(RunTapRead("/nonexistent/capture", {}, out, err), 2);
  EXPECT_EQ(err.str(), "fprtap: cannot open the capture /nonexistent/capture\n");
}

}  // namespace
