#include "TapAppTestSupport.h"

#include "SimClock.h"
#include "SimCodec.h"

void TTapSimFixture::SetUp() {
  const std::int64_t now = *sim::FromCivil({2024, 3, 5, 9, 7, 0});
  Sim.Device().SetClock([now] { return now; });
  Sim.Device().SetWorkTime(0);
  Sim.Device().SetTrace([this](const std::string& line) {
    std::lock_guard lock(TraceMu);
    Trace.push_back(line);
  });
  ASSERT_TRUE(Sim.StartTcp("127.0.0.1", 0)) << Sim.LastError();
}

void TTapSimFixture::TearDown() {
  if (Serving.valid()) StopTap();
  Sim.Stop();
}

std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

void TTapSimFixture::StartTap(const std::string& args, ITapSink& sink) {
  std::vector<std::string> words = SplitWords(args);
  if (args.find("--serial") == std::string::npos && args.find("--device") == std::string::npos) {
    words.push_back("--device");
    words.push_back("127.0.0.1:" + std::to_string(Sim.Port()));
  }
  std::string error;
  ASSERT_TRUE(ParseTapArgs(words, Options, error)) << error;
  Links = std::make_unique<TTapLinks>(Options, TapErr);
  Links->FlushLimitMs = 100;
  ASSERT_TRUE(Links->Open()) << TapErr.str();
  Serving = std::async(std::launch::async,
                       [this, &sink] { return Links->Serve(sink, SteadyTapClock(), Stop); });
}

int TTapSimFixture::StopTap() {
  Stop.Raise();
  return Serving.get();
}

std::string TTapSimFixture::SimTraffic(const std::string& direction) const {
  std::lock_guard lock(TraceMu);
  std::string all;
  for (const std::string& line : Trace) {
    if (line.rfind(direction + " ", 0) != 0) continue;
    // A broken frame's line ends with the reason after "  -- ".
    std::string hex = line.substr(direction.size() + 1);
    hex = hex.substr(0, hex.find("  -- "));
    all += (all.empty() ? "" : " ") + hex;
  }
  return all;
}

std::string TraceOf(const std::string& bytes) { return sim::TraceHex(bytes); }
