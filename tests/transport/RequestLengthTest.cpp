// Request data that the length byte cannot count never goes out, on either transport.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "ConstUnit.h"
#include "RS232DeviceUnit.h"
#include "TCPDeviceUnit.h"
#include "TransportFakes.h"
#include "TransportTestUtil.h"

namespace {

// One transport over its fake, answering every frame at once.
struct TLink {
  std::unique_ptr<TBaseDevice> Dev;
  const std::vector<TDataBuffer>* Writes = nullptr;
  const int* Connects = nullptr;  // TCP only
};

TLink TcpLink(const std::shared_ptr<TVirtualClock>& clock) {
  auto client = std::make_unique<TFakeTcpClient>(clock);
  TFakeTcpClient* c = client.get();
  c->OnWrite = [c](const TDataBuffer& req, int) { c->In.Send(5, AnswerTo(req, "")); };
  auto dev = std::make_unique<TTCPDevice>(std::move(client), clock);
  dev->SetHost("10.0.0.7");
  dev->SetPort("4999");
  return {std::move(dev), &c->Writes, &c->ConnectCalls};
}

TLink SerialLink(const std::shared_ptr<TVirtualClock>& clock) {
  auto port = std::make_unique<TFakeSerialPort>(clock);
  TFakeSerialPort* p = port.get();
  p->OnWrite = [p](const TDataBuffer& req, int) { p->In.Send(5, AnswerTo(req, "")); };
  auto dev = std::make_unique<TRS32Device>(std::move(port), clock);
  dev->SetPortName("COM1");
  EXPECT_TRUE(dev->Connect());
  return {std::move(dev), &p->Writes, nullptr};
}

// 109 escaped control bytes and one letter: 219 data bytes, 338 on the wire.
TDataBuffer EscapedHeavy() {
  TDataBuffer data;
  for (int i = 0; i < 109; ++i) TBaseDevice::AppendEscaped(0x01, data);
  data.push_back('A');
  return data;
}

}  // namespace

TEST(RequestLength, DataThatLenCannotCountIsRefusedBeforeAnythingIsWritten) {
  struct {
    const char* Name;
    TDataBuffer Data;
    bool Sent;
    std::size_t WireBytes;
  } cases[] = {
      {"219 bytes", TDataBuffer(219, 'A'), true, 229},
      {"escaped past 255 on the wire", EscapedHeavy(), true, 338},
      {"220 bytes", TDataBuffer(220, 'A'), false, 0},
      {"1000 bytes", TDataBuffer(1000, 'A'), false, 0},
  };
  const std::function<TLink(const std::shared_ptr<TVirtualClock>&)> links[] = {TcpLink, SerialLink};
  for (const auto& makeLink : links) {
    for (const auto& c : cases) {
      auto clock = std::make_shared<TVirtualClock>();
      TLink link = makeLink(clock);
      TEventLog log;
      log.Attach(*link.Dev);
      TDataBuffer data = c.Data, status;
      const bool ok = link.Dev->SendCommand(0x2A, data, status);
      ASSERT_EQ(ok, c.Sent) << c.Name << ": " << link.Dev->LastErrorText;
      ASSERT_EQ(log.Durations.size(), 1u) << c.Name;
      if (c.Sent) {
        ASSERT_EQ(link.Writes->size(), 1u) << c.Name;
        EXPECT_EQ(link.Writes->front().size(), c.WireBytes) << c.Name;
        EXPECT_EQ(link.Writes->front()[1], 0xFF) << c.Name;
        EXPECT_EQ(link.Dev->Sequence, 0x20) << c.Name;
        continue;
      }
      EXPECT_EQ(link.Dev->LastErrorCode, Err::InvalidInput) << c.Name;
      EXPECT_EQ(link.Dev->LastErrorText,
                "Invalid input data. [Request too long: " + std::to_string(c.Data.size()) +
                    " data bytes, at most 219]")
          << c.Name;
      EXPECT_TRUE(link.Writes->empty()) << c.Name;
      EXPECT_TRUE(log.Sent.empty()) << c.Name;  // no frame reported
      EXPECT_EQ(log.Durations[0], "Command No: 2A. Duration: Less than 1 ms");
      EXPECT_EQ(link.Dev->SentHex, "") << c.Name;
      EXPECT_EQ(link.Dev->Sequence, 0) << c.Name;  // no SEQ was used up
      if (link.Connects) {
        EXPECT_EQ(*link.Connects, 0) << c.Name;
      }
    }
  }
}
