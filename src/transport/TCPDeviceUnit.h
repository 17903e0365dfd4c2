#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "BaseDeviceUnit.h"
#include "Clock.h"
#include "TcpClient.h"

// The device over a TCP connection (the device or a serial-to-network adapter
// listens on an address and port).
class TTCPDevice : public TBaseDevice {
 public:
  TTCPDevice();
  TTCPDevice(std::unique_ptr<ITcpClient> client, std::shared_ptr<IClock> clock);
  ~TTCPDevice() override;

  void SetHost(const std::string& host);
  // The text's integer value; 0 when it is not an integer.
  void SetPort(const std::string& port);
  std::string Host() const;
  int Port() const;

  bool SendCommand(std::uint8_t code, TDataBuffer& data, TDataBuffer& status) override;
  bool Connect() override;
  void Disconnect() override;
  bool IsConnected() override;

  std::unique_ptr<ITcpClient> Client;

  // Time-out of one connection attempt.
  int ConnectTimeout = 1000;
  // Silence that ends an attempt as a read time-out: before the frame starts
  // (also after each SYN), and between two bytes of the frame.
  int FirstByteTimeout = 1500;
  int NextByteTimeout = 500;

  // Bytes taken from the connection and not yet handed out.
  std::size_t Buffered() const { return RxEnd - RxPos; }

 private:
  void RunAttempt(std::uint8_t code, TDataBuffer& data, TDataBuffer& status, int retries);
  const TDataBuffer& CollectReply();
  std::uint8_t NextByte(int timeoutMs);
  bool RetryAfter(const ECmdException& e, std::int64_t start, int& retries);
  std::int64_t WholeSecondsSince(std::int64_t start);

  std::shared_ptr<IClock> Clock;
  // What one read took from the connection, handed out a byte at a time, and
  // when it came. Bytes after a reply's 0x03 wait here for the next attempt.
  std::array<std::uint8_t, 256> Rx{};
  std::size_t RxPos = 0;
  std::size_t RxEnd = 0;
  std::int64_t RxAt = 0;
  TDataBuffer Frame;  // the request frame, its storage kept between requests
  TDataBuffer Reply;  // the reply being collected; kept to save an allocation per exchange
};
