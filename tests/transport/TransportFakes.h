#pragma once

// Fakes of the transports' clock, serial port and TCP client for tests and the
// fuzz target: virtual time that only moves when somebody waits, and a peer
// that schedules its bytes relative to the moment a frame was written.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BaseDeviceUnit.h"
#include "Clock.h"
#include "SerialPort.h"
#include "TcpClient.h"

class TVirtualClock : public IClock {
 public:
  std::int64_t NowMs() override { return Now; }
  void SleepMs(int ms) override {
    Sleeps.push_back(ms);
    if (ms > 0) Now += ms;
  }
  std::int64_t Now = 1'000'000;
  std::vector<int> Sleeps;
};

// Bytes arriving from the peer, each at its own virtual time.
class TIncoming {
 public:
  explicit TIncoming(std::shared_ptr<TVirtualClock> clock) : Clock(std::move(clock)) {}
  // `bytes` follow `delayMs` after now or after the last byte already queued,
  // whichever is later, then one every `gapMs`.
  void Send(int delayMs, const TDataBuffer& bytes, int gapMs = 0);
  // `count` copies of `b`, timed the same way.
  void Repeat(int delayMs, std::uint8_t b, std::size_t count, int gapMs);
  // The next byte if it arrives within `waitMs`; the clock moves to its arrival
  // or by the whole wait.
  bool Take(int waitMs, std::uint8_t& b);
  // The next byte if it has arrived by now; the clock does not move.
  bool TakeArrived(std::uint8_t& b);
  void WaitFor(int ms);
  // Drops what has already arrived.
  void DropArrived();
  std::size_t Pending() const { return Queue.size(); }
  std::size_t Taken = 0;
  std::shared_ptr<TVirtualClock> Clock;

 private:
  struct TItem {
    std::int64_t At;
    std::uint8_t Byte;
  };
  std::int64_t LastAt() const;
  std::deque<TItem> Queue;
};

// Called for each frame written, with the frame and its 0-based index.
using TFakeResponder = std::function<void(const TDataBuffer& frame, int index)>;

class TFakeSerialPort : public ISerialPort {
 public:
  explicit TFakeSerialPort(std::shared_ptr<TVirtualClock> clock) : In(std::move(clock)) {}
  void Open(const std::string& name, int baudRate) override;
  void Close() override;
  bool IsOpen() const override { return Opened; }
  void Purge() override;
  std::size_t Write(const std::uint8_t* data, std::size_t count) override;
  std::size_t Read(std::uint8_t* buffer, std::size_t count) override;
  std::size_t ReadAvailable(std::uint8_t* buffer, std::size_t count) override;
  void WaitForInput(int ms) override { In.WaitFor(ms); }

  TIncoming In;
  TFakeResponder OnWrite;
  bool Opened = false;
  std::string OpenedName;
  int OpenedBaud = 0;
  int Purges = 0;
  std::string OpenError;              // Open throws this when set
  std::string CloseError;             // Close throws this when set
  std::string WriteError;             // Write throws this when set
  std::size_t WriteLimit = SIZE_MAX;  // bytes the line takes per write
  bool ReadFails = false;             // Read throws
  std::size_t ReadChunk = SIZE_MAX;   // most bytes one ReadAvailable takes
  std::vector<std::size_t> Reads;     // bytes each ReadAvailable brought
  std::vector<TDataBuffer> Writes;
};

class TFakeTcpClient : public ITcpClient {
 public:
  explicit TFakeTcpClient(std::shared_ptr<TVirtualClock> clock) : In(std::move(clock)) {}
  void Connect(int timeoutMs) override;
  bool Connected() override { return IsUp; }
  void CheckForDisconnect() override;
  void Write(const std::uint8_t* data, std::size_t count) override;
  std::uint8_t ReadByte(int timeoutMs) override;
  std::size_t ReadAvailable(std::uint8_t* buffer, std::size_t count, int timeoutMs) override;
  void Disconnect() override;

  TIncoming In;
  TFakeResponder OnWrite;
  bool IsUp = false;
  int ConnectCalls = 0;
  int DisconnectCalls = 0;
  int RefuseConnects = 0;    // this many attempts fail before one succeeds (-1: all)
  int ConnectFailureMs = 0;  // virtual time a failing attempt takes
  std::string ConnectError = "Socket Error # 111: Connection refused";
  std::string CheckError;            // CheckForDisconnect throws ETcpConnClosed with it
  std::string WriteError;            // Write throws ETcpSocketError with it
  bool ClosesWhenDrained = false;    // the peer closes once everything sent was read
  std::size_t ReadChunk = SIZE_MAX;  // most bytes one ReadAvailable takes
  std::vector<std::size_t> Reads;    // bytes each ReadAvailable brought
  std::vector<TDataBuffer> Writes;
};
