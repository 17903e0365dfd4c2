#pragma once

#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "SimServer.h"
#include "TapAppLinks.h"
#include "TapOptions.h"
#include "TapRelay.h"

// The simulated device on a free loopback port (fixed clock, reports that take
// no time, its trace kept) and a tap in this process in front of it.
class TTapSimFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Opens the tap with these arguments (the device side is added: --device
  // to the simulator unless the arguments name one) and serves it on a thread
  // into `sink`.
  void StartTap(const std::string& args, ITapSink& sink);
  // Stops the tap; its exit status.
  int StopTap();
  // What the simulator received ("RX") or sent ("TX"), joined as one hex text.
  std::string SimTraffic(const std::string& direction) const;
  std::string TapPort() const { return std::to_string(Links->ListenPort()); }

  TSimServer Sim;
  TTapOptions Options;
  std::unique_ptr<TTapLinks> Links;
  std::ostringstream TapErr;
  TTapStop Stop;
  std::future<int> Serving;

 private:
  mutable std::mutex TraceMu;
  std::vector<std::string> Trace;
};

std::vector<std::string> SplitWords(const std::string& line);
// The bytes as the simulator's trace shows them.
std::string TraceOf(const std::string& bytes);
