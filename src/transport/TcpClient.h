#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// Link failures of the TCP client, in the three kinds the transport tells apart.
class ETcpLinkError : public std::runtime_error {
 public:
  enum class TKind { Socket, ReadTimeout, Closed };
  ETcpLinkError(TKind kind, const std::string& message) : std::runtime_error(message), Kind(kind) {}
  virtual const char* ClassName() const = 0;
  // Socket errors and read time-outs are worth another attempt.
  bool Retryable() const { return Kind != TKind::Closed; }
  TKind Kind;
};

class ETcpSocketError : public ETcpLinkError {
 public:
  explicit ETcpSocketError(const std::string& message) : ETcpLinkError(TKind::Socket, message) {}
  // "Socket Error # <errno>: <system text>"
  static ETcpSocketError FromErrno(int err);
  const char* ClassName() const override { return "ETcpSocketError"; }
};

class ETcpReadTimeout : public ETcpLinkError {
 public:
  explicit ETcpReadTimeout(const std::string& message = "Read timed out.")
      : ETcpLinkError(TKind::ReadTimeout, message) {}
  const char* ClassName() const override { return "ETcpReadTimeout"; }
};

class ETcpConnClosed : public ETcpLinkError {
 public:
  explicit ETcpConnClosed(const std::string& message = "Connection Closed Gracefully.")
      : ETcpLinkError(TKind::Closed, message) {}
  const char* ClassName() const override { return "ETcpConnClosed"; }
};

// The TCP client as the TCP transport needs it; it holds host and port.
class ITcpClient {
 public:
  virtual ~ITcpClient() = default;
  // One connection attempt; throws ETcpLinkError.
  virtual void Connect(int timeoutMs) = 0;
  // False again once the peer's close was seen, so that the next command reconnects.
  virtual bool Connected() = 0;
  // Throws ETcpConnClosed when the peer has closed its side (and disconnects).
  virtual void CheckForDisconnect() = 0;
  // Writes the whole block or throws ETcpLinkError.
  virtual void Write(const std::uint8_t* data, std::size_t count) = 0;
  // One byte within `timeoutMs`; throws ETcpReadTimeout, ETcpConnClosed (after
  // disconnecting) or ETcpSocketError.
  virtual std::uint8_t ReadByte(int timeoutMs) = 0;
  // What has arrived, at least one byte and at most `count`, taken in one
  // read; waits and throws as ReadByte does.
  virtual std::size_t ReadAvailable(std::uint8_t* buffer, std::size_t count, int timeoutMs) {
    buffer[0] = ReadByte(timeoutMs);
    return 1;
  }
  virtual void Disconnect() = 0;

  std::string Host;
  int Port = 0;
};

// Whether the socket already shows the peer's close, a hang-up or an error;
// it does not wait.
bool PeerHungUp(int fd);

// POSIX socket, TCP_NODELAY on: reads block up to a receive time-out, writes
// never block and wait in poll().
class TPosixTcpClient : public ITcpClient {
 public:
  TPosixTcpClient() = default;
  ~TPosixTcpClient() override;
  TPosixTcpClient(const TPosixTcpClient&) = delete;
  TPosixTcpClient& operator=(const TPosixTcpClient&) = delete;

  void Connect(int timeoutMs) override;
  bool Connected() override { return Fd >= 0; }
  void CheckForDisconnect() override;
  void Write(const std::uint8_t* data, std::size_t count) override;
  std::uint8_t ReadByte(int timeoutMs) override;
  std::size_t ReadAvailable(std::uint8_t* buffer, std::size_t count, int timeoutMs) override;
  void Disconnect() override;

  // A write that makes no progress for this long fails as a socket error.
  int WriteTimeoutMs = 5000;

 private:
  std::size_t Receive(std::uint8_t* buffer, std::size_t count, int timeoutMs);
  void SetReceiveTimeout(int ms);
  int ConnectTo(const void* address, unsigned addressLength, int family, int timeoutMs);

  int Fd = -1;
  int ReceiveTimeoutMs = 0;  // what SO_RCVTIMEO is set to
  std::vector<std::uint8_t> RxBuffer;
  std::size_t RxPos = 0;
};
