#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "BaseDeviceUnit.h"
#include "Clock.h"
#include "SerialPort.h"

// The device over a serial line.
class TRS32Device : public TBaseDevice {
 public:
  TRS32Device();
  TRS32Device(std::unique_ptr<ISerialPort> port, std::shared_ptr<IClock> clock);
  ~TRS32Device() override;

  // "COM" and a number, or a device path (see SerialDevicePath).
  void SetPortName(const std::string& name);
  // A known speed in decimal; anything else selects 9600.
  void SetBaudRate(const std::string& text);
  std::string PortName() const { return Name; }
  std::string BaudRateText() const { return std::to_string(Baud); }
  int BaudRate() const { return Baud; }

  bool SendCommand(std::uint8_t code, TDataBuffer& data, TDataBuffer& status) override;
  bool Connect() override;
  void Disconnect() override;
  bool IsConnected() override;

  // One byte, or nothing when none came within `timeout` milliseconds. A byte
  // that came with an earlier one is handed out at once.
  std::optional<std::uint8_t> ReadByteTimed(int timeout);
  // Bytes taken from the port and not yet handed out.
  std::size_t Buffered() const { return RxEnd - RxPos; }

  std::unique_ptr<ISerialPort> Port;

 private:
  struct TReplyState;

  void RunAttempt(std::uint8_t code, TDataBuffer& data, TDataBuffer& status, int retries);
  TDataBuffer ReadReply(std::uint8_t code, TDataBuffer& status);
  std::uint8_t WaitFrameStart(TReplyState& st);
  std::uint8_t FrameByte(TReplyState& st, std::int32_t code, const char* detail);
  void NoteByte(std::uint8_t b);
  bool RetryAfter(const ECmdException& e, std::int64_t start, int& retries);
  void DrainLine(std::int64_t start);
  void DropBuffered();

  std::shared_ptr<IClock> Clock;
  std::string Name;
  int Baud = 9600;
  // What one read took from the port, handed out a byte at a time, and when it came.
  std::array<std::uint8_t, 64> Rx{};
  std::size_t RxPos = 0;
  std::size_t RxEnd = 0;
  std::int64_t RxAt = 0;
  TDataBuffer Frame;  // the request frame, its storage kept between requests
};
