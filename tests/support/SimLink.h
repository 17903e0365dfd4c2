#pragma once

#include <gtest/gtest.h>

#include "SimServer.h"
#include "TCPDeviceUnit.h"

// The simulated device served over TCP on a free loopback port, with a
// TTCPDevice connected to it: the setup of every test that drives the device
// operations end to end. A fixture that has its own SetUp calls this one first.
class TSimLinkFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  TSimServer Sim;
  TTCPDevice Dev;
};
