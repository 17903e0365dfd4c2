#include "SimServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "RawPty.h"
#include "SimSession.h"

namespace {

using Clock = std::chrono::steady_clock;

int MsSince(Clock::time_point t) {
  return static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

// Writes to a non-blocking socket or pty master; waits are cut short by Stop,
// and a peer that takes nothing for `stallMs` loses the link.
class TSimServer::TFdChannel : public ISimChannel {
 public:
  TFdChannel(int fd, bool socket, int wakeFd, const std::atomic<bool>& stopping, int stallMs)
      : Fd_(fd), Socket_(socket), WakeFd_(wakeFd), Stopping_(stopping), StallMs_(stallMs) {}

  bool Write(std::string_view bytes) override {
    auto progress = Clock::now();
    while (!bytes.empty()) {
      if (Stopping_) return false;
      ssize_t n = Socket_ ? ::send(Fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL)
                          : ::write(Fd_, bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        int left = StallMs_ - MsSince(progress);
        if (left <= 0) return false;
        pollfd p[2] = {{Fd_, POLLOUT, 0}, {WakeFd_, POLLIN, 0}};
        ::poll(p, 2, std::min(left, 100));
        continue;
      }
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(n));
      progress = Clock::now();
    }
    return true;
  }

  bool Wait(int ms) override {
    pollfd p{WakeFd_, POLLIN, 0};
    ::poll(&p, 1, ms);
    return !Stopping_;
  }

 private:
  int Fd_;
  bool Socket_;
  int WakeFd_;
  const std::atomic<bool>& Stopping_;
  int StallMs_;
};

TSimServer::TSimServer() : WakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

TSimServer::~TSimServer() {
  Stop();
  CloseFd(WakeFd_);
}

void TSimServer::SetError(const std::string& text) {
  std::lock_guard lock(ErrMu_);
  Error_ = text;
}

std::string TSimServer::LastError() const {
  std::lock_guard lock(ErrMu_);
  return Error_;
}

std::uint16_t TSimServer::Port() const { return Port_; }

void TSimServer::SetLinkTimeouts(int partialFrameMs, int takeoverMs, int writeStallMs) {
  PartialFrameMs_ = partialFrameMs;
  TakeoverMs_ = takeoverMs;
  WriteStallMs_ = writeStallMs;
}

bool TSimServer::StartTcp(const std::string& host, std::uint16_t port) {
  if (ListenFd_ >= 0) return SetError("TCP already started"), false;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* res = nullptr;
  std::string service = std::to_string(port);
  int rc = ::getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, &res);
  if (rc != 0) return SetError(host + ": " + ::gai_strerror(rc)), false;
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  bool ok =
      fd >= 0 && ::bind(fd, res->ai_addr, res->ai_addrlen) == 0 && ::listen(fd, SOMAXCONN) == 0;
  ::freeaddrinfo(res);
  if (!ok) {
    SetError(host + ":" + service + ": " + std::strerror(errno));
    CloseFd(fd);
    return false;
  }
  sockaddr_in bound{};
  socklen_t len = sizeof bound;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &len);
  Port_ = ntohs(bound.sin_port);
  ListenFd_ = fd;
  Stopping_ = false;
  TcpThread_ = std::thread(&TSimServer::TcpLoop, this);
  return true;
}

std::string TSimServer::StartPty(const std::string& linkPath) {
  if (PtyMaster_ >= 0) return SetError("pty already started"), std::string();
  TRawPty pty;
  ERawPtyStep step{};
  int err = 0;
  if (!OpenRawPty(linkPath, pty, step, err)) {
    const char* what = step == ERawPtyStep::Master ? "pty: " : "pty slave: ";
    SetError(step == ERawPtyStep::Link ? "link " + linkPath + ": " + std::strerror(err)
                                       : what + std::string(std::strerror(err)));
    return {};
  }
  if (::fcntl(pty.Master, F_SETFL, ::fcntl(pty.Master, F_GETFL) | O_NONBLOCK) != 0) {
    SetError(std::string("pty: ") + std::strerror(errno));
    CloseRawPty(pty);
    return {};
  }
  // Holding the slave open keeps the master readable while no client is there.
  LinkPath_ = pty.Link;
  PtyMaster_ = pty.Master;
  PtySlave_ = pty.Slave;
  Stopping_ = false;
  PtyThread_ = std::thread(&TSimServer::PtyLoop, this);
  return pty.Path;
}

void TSimServer::Stop() {
  Stopping_ = true;
  std::uint64_t one = 1;
  if (WakeFd_ >= 0) (void)::write(WakeFd_, &one, sizeof one);
  if (TcpThread_.joinable()) TcpThread_.join();
  if (PtyThread_.joinable()) PtyThread_.join();
  CloseFd(ListenFd_);
  CloseFd(PtyMaster_);
  CloseFd(PtySlave_);
  if (!LinkPath_.empty()) ::unlink(LinkPath_.c_str());
  LinkPath_.clear();
  std::uint64_t drain = 0;
  if (WakeFd_ >= 0) (void)::read(WakeFd_, &drain, sizeof drain);
}

void TSimServer::TcpLoop() {
  while (!Stopping_) {
    pollfd p[2] = {{ListenFd_, POLLIN, 0}, {WakeFd_, POLLIN, 0}};
    if (::poll(p, 2, -1) < 0 && errno != EINTR) break;
    if (Stopping_) break;
    if (!(p[0].revents & POLLIN)) continue;
    int client = ::accept4(ListenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (client < 0) continue;
    int one = 1;
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    Device_.Trace("-- client connected");
    ServeFd(client, true, ListenFd_);
    ::close(client);
    Device_.Trace("-- client disconnected");
  }
}

// A pty cannot be closed on the host: after a dropped link (a fault) or a
// read error the device just goes on listening.
void TSimServer::PtyLoop() {
  while (!Stopping_) {
    ServeFd(PtyMaster_, false, -1);
    pollfd p{WakeFd_, POLLIN, 0};
    ::poll(&p, 1, 50);
  }
}

void TSimServer::ServeFd(int fd, bool socket, int listenFd) {
  TFdChannel channel(fd, socket, WakeFd_, Stopping_, WriteStallMs_);
  TSimSession session(Device_, channel);
  auto lastByte = Clock::now();
  auto lastFrame = lastByte;  // a frame was completed, or the client came
  bool waiting = false;       // another client waits; stop watching the listener
  char buf[512];
  while (!Stopping_) {
    pollfd p[3] = {{fd, POLLIN, 0}, {WakeFd_, POLLIN, 0}, {listenFd, POLLIN, 0}};
    int count = listenFd >= 0 && !waiting ? 3 : 2;
    int rc = ::poll(p, static_cast<nfds_t>(count), 100);
    if (rc < 0 && errno != EINTR) return;
    if (Stopping_) return;
    if (p[0].revents & (POLLIN | POLLHUP | POLLERR)) {
      ssize_t n = ::read(fd, buf, sizeof buf);
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      if (n <= 0) return;
      lastByte = Clock::now();
      const std::size_t frames = session.Frames();
      if (!session.Feed(std::string_view(buf, static_cast<std::size_t>(n)))) return;
      if (session.Frames() != frames) lastFrame = Clock::now();
    } else if (session.InFrame() && MsSince(lastByte) > PartialFrameMs_) {
      session.DropPartial();
    }
    // Checked after reading too: a client that drips bytes is never idle.
    if (count == 3 && (p[2].revents & POLLIN)) waiting = true;
    if (waiting && MsSince(lastFrame) > TakeoverMs_) {
      Device_.Trace("-- no frame completed for " + std::to_string(TakeoverMs_) +
                    " ms: the client gives way to a waiting one");
      return;
    }
  }
}
