#include "TransportFakes.h"

#include <algorithm>
#include <stdexcept>

std::int64_t TIncoming::LastAt() const { return Queue.empty() ? Clock->Now : Queue.back().At; }

void TIncoming::Send(int delayMs, const TDataBuffer& bytes, int gapMs) {
  std::int64_t at = std::max(Clock->Now, LastAt()) + delayMs;
  for (std::uint8_t b : bytes) {
    Queue.push_back({at, b});
    at += gapMs;
  }
}

void TIncoming::Repeat(int delayMs, std::uint8_t b, std::size_t count, int gapMs) {
  std::int64_t at = std::max(Clock->Now, LastAt()) + delayMs;
  for (std::size_t i = 0; i < count; ++i) {
    Queue.push_back({at, b});
    at += gapMs;
  }
}

bool TIncoming::Take(int waitMs, std::uint8_t& b) {
  if (!Queue.empty() && Queue.front().At <= Clock->Now + waitMs) {
    Clock->Now = std::max(Clock->Now, Queue.front().At);
    b = Queue.front().Byte;
    Queue.pop_front();
    ++Taken;
    return true;
  }
  Clock->Now += waitMs;
  return false;
}

bool TIncoming::TakeArrived(std::uint8_t& b) {
  if (Queue.empty() || Queue.front().At > Clock->Now) return false;
  b = Queue.front().Byte;
  Queue.pop_front();
  ++Taken;
  return true;
}

void TIncoming::WaitFor(int ms) {
  if (!Queue.empty() && Queue.front().At <= Clock->Now + ms) {
    Clock->Now = std::max(Clock->Now, Queue.front().At);
  } else {
    Clock->Now += ms;
  }
}

void TIncoming::DropArrived() {
  while (!Queue.empty() && Queue.front().At <= Clock->Now) Queue.pop_front();
}

void TFakeSerialPort::Open(const std::string& name, int baudRate) {
  if (!OpenError.empty()) throw std::runtime_error(OpenError);
  Opened = true;
  OpenedName = name;
  OpenedBaud = baudRate;
}

void TFakeSerialPort::Close() {
  if (!CloseError.empty()) throw std::runtime_error(CloseError);
  Opened = false;
}

void TFakeSerialPort::Purge() {
  ++Purges;
  In.DropArrived();
}

std::size_t TFakeSerialPort::Write(const std::uint8_t* data, std::size_t count) {
  if (!WriteError.empty()) throw std::runtime_error(WriteError);
  const std::size_t n = std::min(count, WriteLimit);
  Writes.emplace_back(data, data + n);
  if (OnWrite && n == count) OnWrite(Writes.back(), static_cast<int>(Writes.size()) - 1);
  return n;
}

// Like the real port: one byte waits up to 100 ms.
std::size_t TFakeSerialPort::Read(std::uint8_t* buffer, std::size_t count) {
  if (ReadFails) throw std::runtime_error("read failed");
  std::size_t got = 0;
  while (got < count && In.Take(got == 0 ? 100 : 50, buffer[got])) ++got;
  return got;
}

// The first byte as a one-byte Read waits for it, then what has come with it.
std::size_t TFakeSerialPort::ReadAvailable(std::uint8_t* buffer, std::size_t count) {
  if (ReadFails) throw std::runtime_error("read failed");
  const std::size_t most = std::min(count, ReadChunk);
  std::size_t got = 0;
  if (most > 0 && In.Take(100, buffer[0])) {
    got = 1;
    while (got < most && In.TakeArrived(buffer[got])) ++got;
  }
  Reads.push_back(got);
  return got;
}

void TFakeTcpClient::Connect(int timeoutMs) {
  ++ConnectCalls;
  if (RefuseConnects != 0) {
    if (RefuseConnects > 0) --RefuseConnects;
    In.Clock->Now += std::min(ConnectFailureMs, timeoutMs);
    throw ETcpSocketError(ConnectError);
  }
  IsUp = true;
}

void TFakeTcpClient::CheckForDisconnect() {
  if (!IsUp) throw ETcpConnClosed("Not Connected.");
  if (!CheckError.empty()) throw ETcpConnClosed(CheckError);
}

void TFakeTcpClient::Write(const std::uint8_t* data, std::size_t count) {
  if (!WriteError.empty()) throw ETcpSocketError(WriteError);
  Writes.emplace_back(data, data + count);
  if (OnWrite) OnWrite(Writes.back(), static_cast<int>(Writes.size()) - 1);
}

std::uint8_t TFakeTcpClient::ReadByte(int timeoutMs) {
  if (!IsUp) throw ETcpConnClosed("Not Connected.");
  if (ClosesWhenDrained && In.Pending() == 0) throw ETcpConnClosed();
  std::uint8_t b = 0;
  if (!In.Take(timeoutMs, b)) throw ETcpReadTimeout();
  return b;
}

std::size_t TFakeTcpClient::ReadAvailable(std::uint8_t* buffer, std::size_t count, int timeoutMs) {
  std::size_t got = 0;
  buffer[got++] = ReadByte(timeoutMs);
  while (got < std::min(count, ReadChunk) && In.TakeArrived(buffer[got])) ++got;
  Reads.push_back(got);
  return got;
}

void TFakeTcpClient::Disconnect() {
  ++DisconnectCalls;
  IsUp = false;
}
