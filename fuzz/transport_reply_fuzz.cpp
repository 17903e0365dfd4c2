// Feeds arbitrary byte streams, with arbitrary timing, to the reply readers of
// both transports through the fake port, the fake client and a virtual clock.
// Beyond memory and undefined-behaviour faults it fails when an exchange runs
// past the transports' own time limits or keeps more than one frame per attempt.
//
// Input: byte 0 selects the link (bit 0: TCP), whether every request gets the
// whole stream again (bit 1) and the data of the request (bits 2..3); then
// pairs (delay code, byte): the byte arrives after the delay, where codes up to
// 200 are milliseconds and code 201 + n is (n + 1) seconds.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "FuzzInput.h"
#include "RS232DeviceUnit.h"
#include "TCPDeviceUnit.h"
#include "TransportFakes.h"

namespace {

// 30 s of retries, then one last attempt: 40 s of SYN, 4 s of noise, 30 s of frame.
constexpr std::int64_t kLongestExchangeMs = 30000 + 40000 + 4000 + 30000 + 10000;

struct TStream {
  struct TItem {
    int Delay;
    std::uint8_t Byte;
  };
  std::vector<TItem> Items;

  void SendTo(TIncoming& in) const {
    for (const TItem& it : Items) in.Send(it.Delay, {it.Byte});
  }
};

TStream ParseStream(const std::uint8_t* data, std::size_t size) {
  TStream s;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    const int code = data[i];
    const int delay = code <= 200 ? code : (code - 200) * 1000;
    s.Items.push_back({delay, data[i + 1]});
  }
  return s;
}


// Returns the number of reply bytes the device reported.
template <typename TDevice, typename TLink>
std::size_t Exercise(TDevice& dev, TLink& link, const TStream& stream, bool everyRequest,
                     TDataBuffer request, const std::shared_ptr<TVirtualClock>& clock) {
  std::size_t received = 0;
  dev.OnByteReceived = [&](const std::string& s) { received += s.size(); };
  link.OnWrite = [&](const TDataBuffer&, int index) {
    if (index == 0 || everyRequest) stream.SendTo(link.In);
  };
  const std::int64_t start = clock->Now;
  TDataBuffer status;
  const bool ok = dev.SendCommand(0x4A, request, status);
  Check(clock->Now - start <= kLongestExchangeMs);
  Check(!ok || status.size() == 6);
  Check(ok == (dev.LastErrorCode == 0));
  Check(ok || !dev.LastErrorText.empty() || dev.LastErrorCode == 120);
  return received;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t mode = data[0];
  const TStream stream = ParseStream(data + 1, size - 1);
  const bool everyRequest = (mode & 2) != 0;
  static const TDataBuffer requests[] = {{}, {'W'}, {0x10, 0x45}, TDataBuffer(200, 'x')};
  const TDataBuffer& request = requests[(mode >> 2) & 3];
  auto clock = std::make_shared<TVirtualClock>();
  if (mode & 1) {
    auto client = std::make_unique<TFakeTcpClient>(clock);
    TFakeTcpClient& link = *client;
    TTCPDevice dev(std::move(client), clock);
    dev.SetHost("fuzz");
    // Every attempt reports its 0x01 and at most one frame's worth after it.
    Check(Exercise(dev, link, stream, everyRequest, request, clock) <= link.Writes.size() * 255);
  } else {
    auto port = std::make_unique<TFakeSerialPort>(clock);
    TFakeSerialPort& link = *port;
    TRS32Device dev(std::move(port), clock);
    dev.SetPortName("COM1");
    if (!dev.Connect()) std::abort();
    Exercise(dev, link, stream, everyRequest, request, clock);
  }
  return 0;
}
