#include "TcpClient.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>

namespace {

constexpr std::size_t kRxChunk = 4096;

// Deadlines of waits that a signal cut short; the coarse clock (a few
// milliseconds' steps) is enough for them and costs less than the precise one.
std::int64_t SteadyMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1'000'000;
}

// poll() that survives signals; returns revents, 0 on time-out. After a
// signal it waits what is left until `deadline`.
short PollFor(int fd, short events, int timeoutMs, std::int64_t deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    const int r = ::poll(&p, 1, timeoutMs);
    if (r > 0) return p.revents;
    if (r == 0) return 0;
    if (errno != EINTR) throw ETcpSocketError::FromErrno(errno);
    timeoutMs = static_cast<int>(std::max<std::int64_t>(0, deadline - SteadyMs()));
  }
}

short PollFor(int fd, short events, int timeoutMs) {
  return PollFor(fd, events, timeoutMs, SteadyMs() + timeoutMs);
}

struct TAddrInfoFree {
  void operator()(addrinfo* a) const { freeaddrinfo(a); }
};

}  // namespace

ETcpSocketError ETcpSocketError::FromErrno(int err) {
  return ETcpSocketError("Socket Error # " + std::to_string(err) + ": " + std::strerror(err));
}

TPosixTcpClient::~TPosixTcpClient() { Disconnect(); }

void TPosixTcpClient::Connect(int timeoutMs) {
  Disconnect();
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(Port);
  const int rc = getaddrinfo(Host.c_str(), service.c_str(), &hints, &found);
  if (rc != 0) {
    throw ETcpSocketError("Cannot resolve host \"" + Host + "\": " + gai_strerror(rc));
  }
  std::unique_ptr<addrinfo, TAddrInfoFree> list(found);
  int lastError = ECONNREFUSED;
  for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
    lastError = ConnectTo(a->ai_addr, a->ai_addrlen, a->ai_family, timeoutMs);
    if (lastError == 0) return;
  }
  throw ETcpSocketError::FromErrno(lastError);
}

// 0 when connected, otherwise the errno of the failure.
int TPosixTcpClient::ConnectTo(const void* address, unsigned addressLength, int family,
                               int timeoutMs) {
  const int fd = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return errno;
  int err = 0;
  if (::connect(fd, static_cast<const sockaddr*>(address), addressLength) != 0) {
    err = errno;
    if (err == EINPROGRESS) {
      short ev = 0;
      try {
        ev = PollFor(fd, POLLOUT, timeoutMs);
      } catch (...) {
        ::close(fd);  // the socket is ours until the connection stands
        throw;
      }
      socklen_t len = sizeof err;
      if (ev == 0) {
        err = ETIMEDOUT;
      } else if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) {
        err = errno;
      }
    }
  }
  if (err != 0) {
    ::close(fd);
    return err;
  }
  const int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  Fd = fd;
  ReceiveTimeoutMs = 0;  // a new socket waits without limit
  return 0;
}

bool PeerHungUp(int fd) {
  pollfd p{fd, static_cast<short>(POLLIN | POLLRDHUP), 0};
  return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR));
}

void TPosixTcpClient::CheckForDisconnect() {
  if (Fd < 0) throw ETcpConnClosed("Not Connected.");
  if (PeerHungUp(Fd)) {
    Disconnect();
    throw ETcpConnClosed();
  }
}

void TPosixTcpClient::Write(const std::uint8_t* data, std::size_t count) {
  if (Fd < 0) throw ETcpConnClosed("Not Connected.");
  std::size_t written = 0;
  while (written < count) {
    const ssize_t n = ::send(Fd, data + written, count - written, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n >= 0) {
      written += static_cast<std::size_t>(n);
      continue;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) throw ETcpSocketError::FromErrno(errno);
    const short ev = PollFor(Fd, POLLOUT, WriteTimeoutMs);
    if (ev == 0) throw ETcpSocketError::FromErrno(ETIMEDOUT);
  }
}

// The socket blocks on reads with the wait as its receive time-out, so that
// one recv() both waits and takes what has come. Writes never block (they
// pass MSG_DONTWAIT and wait for room in poll).
std::size_t TPosixTcpClient::Receive(std::uint8_t* buffer, std::size_t count, int timeoutMs) {
  if (Fd < 0) throw ETcpConnClosed("Not Connected.");
  if (timeoutMs <= 0) {
    if (PollFor(Fd, POLLIN, 0) == 0) throw ETcpReadTimeout();
    timeoutMs = 1;  // data or a close is there: the recv returns at once
  }
  const std::int64_t deadline = SteadyMs() + timeoutMs;
  for (int left = timeoutMs; left > 0; left = static_cast<int>(deadline - SteadyMs())) {
    SetReceiveTimeout(left);
    const ssize_t n = ::recv(Fd, buffer, count, 0);
    if (n > 0) return static_cast<std::size_t>(n);
    if (n == 0) {
      Disconnect();
      throw ETcpConnClosed();
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK) break;
    if (errno != EINTR) throw ETcpSocketError::FromErrno(errno);
  }
  throw ETcpReadTimeout();
}

// Only a wait that differs from the last one costs a system call.
void TPosixTcpClient::SetReceiveTimeout(int ms) {
  if (ms == ReceiveTimeoutMs) return;
  timeval tv{ms / 1000, static_cast<suseconds_t>((ms % 1000) * 1000)};
  if (setsockopt(Fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) != 0) {
    throw ETcpSocketError::FromErrno(errno);
  }
  ReceiveTimeoutMs = ms;
}

std::uint8_t TPosixTcpClient::ReadByte(int timeoutMs) {
  if (RxPos < RxBuffer.size()) return RxBuffer[RxPos++];
  RxBuffer.resize(kRxChunk);
  RxPos = 0;
  try {
    RxBuffer.resize(Receive(RxBuffer.data(), RxBuffer.size(), timeoutMs));
  } catch (...) {
    RxBuffer.clear();
    throw;
  }
  return RxBuffer[RxPos++];
}

// Bytes left over from ReadByte go first; otherwise one recv into the caller's buffer.
std::size_t TPosixTcpClient::ReadAvailable(std::uint8_t* buffer, std::size_t count, int timeoutMs) {
  if (count == 0) return 0;
  if (RxPos < RxBuffer.size()) {
    const std::size_t n = std::min(count, RxBuffer.size() - RxPos);
    std::copy_n(RxBuffer.begin() + static_cast<std::ptrdiff_t>(RxPos), n, buffer);
    RxPos += n;
    return n;
  }
  return Receive(buffer, count, timeoutMs);
}

void TPosixTcpClient::Disconnect() {
  if (Fd >= 0) ::close(Fd);
  Fd = -1;
  RxBuffer.clear();
  RxPos = 0;
}
