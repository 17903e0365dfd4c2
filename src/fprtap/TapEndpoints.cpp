#include "TapEndpoints.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool Fail(std::string& error, const std::string& what, int err) {
  error = what + ": " + std::strerror(err);
  return false;
}

bool Resolve(const std::string& host, int port, int flags, sockaddr_in& address,
             std::string& error) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = flags;
  addrinfo* res = nullptr;
  const std::string service = std::to_string(port);
  const int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &res);
  if (rc != 0) {
    error = host + ": " + ::gai_strerror(rc);
    return false;
  }
  std::memcpy(&address, res->ai_addr, sizeof address);
  ::freeaddrinfo(res);
  return true;
}

void NoDelay(int fd) {
  int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

}  // namespace

void TapCloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

bool TapListen(const std::string& host, int port, TTapListener& listener, std::string& error) {
  sockaddr_in address{};
  if (!Resolve(host, port, AI_PASSIVE, address, error)) return false;
  const std::string where = host + ":" + std::to_string(port);
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return Fail(error, where, errno);
  int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd, 4) != 0) {
    const int err = errno;
    ::close(fd);
    return Fail(error, where, err);
  }
  sockaddr_in bound{};
  socklen_t len = sizeof bound;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &len);
  listener.Fd = fd;
  listener.Port = ntohs(bound.sin_port);
  return true;
}

int TapAccept(const TTapListener& listener, int stopFd) {
  for (;;) {
    pollfd p[2] = {{listener.Fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
    if (::poll(p, stopFd >= 0 ? 2 : 1, -1) < 0 && errno != EINTR) return -1;
    if (stopFd >= 0 && (p[1].revents & POLLIN)) return -1;
    if (!(p[0].revents & POLLIN)) continue;
    const int fd = ::accept4(listener.Fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd >= 0) {
      NoDelay(fd);
      return fd;
    }
    // A client that gave up before we took it; wait for the next.
    if (errno != EAGAIN && errno != ECONNABORTED && errno != EINTR) return -1;
  }
}

int TapConnect(const std::string& host, int port, int timeoutMs, std::string& error) {
  sockaddr_in address{};
  if (!Resolve(host, port, 0, address, error)) return -1;
  const std::string where = host + ":" + std::to_string(port);
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return Fail(error, where, errno), -1;
  int err = 0;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    err = errno;
    if (err == EINPROGRESS) {
      pollfd p{fd, POLLOUT, 0};
      const int rc = ::poll(&p, 1, timeoutMs);
      socklen_t len = sizeof err;
      if (rc == 0)
        err = ETIMEDOUT;
      else if (rc < 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0)
        err = errno;
    }
  }
  if (err != 0) {
    ::close(fd);
    return Fail(error, where, err), -1;
  }
  NoDelay(fd);
  return fd;
}

bool TapOpenPty(const std::string& linkPath, TTapPty& pty, std::string& error) {
  ERawPtyStep step{};
  int err = 0;
  if (OpenRawPty(linkPath, pty, step, err)) return true;
  if (step == ERawPtyStep::Master) return Fail(error, "pty", err);
  if (step == ERawPtyStep::Slave) return Fail(error, pty.Path, err);
  return Fail(error, "link " + linkPath, err);
}

void TapClosePty(TTapPty& pty) { CloseRawPty(pty); }
