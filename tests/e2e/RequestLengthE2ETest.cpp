// Requests at the length byte's limit against the simulated device over TCP.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "ConstUnit.h"
#include "SimCodec.h"
#include "SimLink.h"

namespace {

class RequestLengthE2E : public TSimLinkFixture {
 protected:
  void SetUp() override {
    TSimLinkFixture::SetUp();
    Sim.Device().SetTrace([this](const std::string& line) {
      if (line.rfind("RX ", 0) == 0) ++Received;
    });
  }
  std::atomic<int> Received{0};  // frames the device read
};

}  // namespace

TEST_F(RequestLengthE2E, TheLongestRequestIsReadAndALongerOneNeverLeaves) {
  struct {
    const char* Name;
    std::string Params;
    bool Sent;
  } cases[] = {
      {"219 data bytes", "W" + std::string(218, 'X'), true},
      // Each control byte is escaped by the command and again by the frame.
      {"219 data bytes, 328 on the wire", "W" + std::string(109, '\x01'), true},
      {"220 data bytes", "W" + std::string(219, 'X'), false},
  };
  for (const auto& c : cases) {
    const int executed = Sim.Device().ExecutedCount(0x4A);
    const int received = Received;
    EXPECT_EQ(Dev.ExecuteCommand(0x4A, c.Params), c.Sent) << c.Name << ": " << Dev.LastErrorText;
    EXPECT_EQ(Sim.Device().ExecutedCount(0x4A), executed + (c.Sent ? 1 : 0)) << c.Name;
    EXPECT_EQ(Received, received + (c.Sent ? 1 : 0)) << c.Name;
    if (!c.Sent) {
      EXPECT_EQ(Dev.LastErrorCode, Err::InvalidInput) << c.Name;
      EXPECT_EQ(Dev.LastErrorText,
                "Invalid input data. [Request too long: 220 data bytes, at most 219]");
    }
  }
}
