#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "FprCmdApp.h"
#include "SimServer.h"

// What one run of fprcmd gave.
struct TCmdRun {
  int Status = -1;
  std::string Out;
  std::string Err;
  // Every line of Out parsed as JSON (the test fails on a line that is not).
  std::vector<nlohmann::json> JsonLines() const;
};

// Makes fprcmd's devices and counts them: none may be made before the input
// has been read and checked.
struct TCountingFactory {
  int Calls = 0;
  TDeviceFactory Factory();
};

// Runs fprcmd in this process with `input` as its standard input.
TCmdRun RunCmd(const std::vector<std::string>& args, const std::string& input = "",
               const TDeviceFactory& factory = CreateFprCmdDevice);

// A fresh simulated device on a free loopback port, with a fixed clock and
// reports that take no time; one per test.
class TFprCmdSimFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // "--tcp" "127.0.0.1:PORT" followed by `rest`.
  std::vector<std::string> Link(std::vector<std::string> rest = {}) const;
  // A device of the library connected to the simulator.
  std::unique_ptr<TBaseDevice> Connected();

  TSimServer Sim;
};

// Starts `sim` as TFprCmdSimFixture does.
void StartQuietSim(TSimServer& sim);
// 2024-03-05 09:07:00 on the device's clock.
inline constexpr const char* kSimNow = "2024-03-05T09:07:00";
