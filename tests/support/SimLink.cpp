#include "SimLink.h"

#include <string>

void TSimLinkFixture::SetUp() {
  // The simulated device reads decimals with '.', whatever the machine's locale.
  Dev.Regional = TRegionalSettings{};
  ASSERT_TRUE(Sim.StartTcp("127.0.0.1", 0)) << Sim.LastError();
  Dev.SetHost("127.0.0.1");
  Dev.SetPort(std::to_string(Sim.Port()));
  ASSERT_TRUE(Dev.Connect()) << Dev.LastErrorText;
}

void TSimLinkFixture::TearDown() {
  Dev.Disconnect();
  Sim.Stop();
}
