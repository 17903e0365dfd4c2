#include "FramePeer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "ConstUnit.h"
#include "FrameCodec.h"

namespace {

bool WriteAll(int fd, const TDataBuffer& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      pollfd p{fd, POLLOUT, 0};
      ::poll(&p, 1, 100);
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

void ServeFrames(int fd, int stopFd, const TPeerAnswer& answer, std::atomic<int>& frames) {
  TDataBuffer request;
  bool collecting = false;
  std::uint8_t chunk[4096];
  for (;;) {
    pollfd p[2] = {{fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
    if (::poll(p, 2, -1) < 0 && errno != EINTR) return;
    if (p[1].revents) return;
    if (!(p[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n <= 0) {
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      return;
    }
    for (ssize_t i = 0; i < n; ++i) {
      const std::uint8_t b = chunk[i];
      if (b == Ctl::SOH) {
        collecting = true;
        request.clear();
      }
      if (!collecting) continue;
      request.push_back(b);
      if (b != Ctl::ETX) continue;
      collecting = false;
      const TDataBuffer reply = answer(request);
      ++frames;
      if (!WriteAll(fd, reply) || reply.empty() || reply.back() != Ctl::ETX) return;
    }
  }
}

TPeerAnswer AnswerWithText(const std::string& dataText) {
  const TDataBuffer data(dataText.begin(), dataText.end());
  return [data](const TDataBuffer& req) {
    return BuildResponseFrame(req.at(2), req.at(3), data, TDataBuffer(StatusByteCount, 0x80));
  };
}

TLoopbackPeer::TLoopbackPeer(TPeerAnswer answer) : Answer(std::move(answer)) {
  if (::pipe(StopPipe) != 0) throw std::runtime_error("pipe");
  ListenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (ListenFd < 0 || ::bind(ListenFd, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
      ::listen(ListenFd, 8) != 0 ||
      ::getsockname(ListenFd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    throw std::runtime_error("cannot listen on loopback");
  }
  ListenPort = ntohs(addr.sin_port);
  Thread = std::thread([this] { Run(); });
}

TLoopbackPeer::~TLoopbackPeer() {
  const char stop = 1;
  (void)!::write(StopPipe[1], &stop, 1);
  Thread.join();
  ::close(ListenFd);
  ::close(StopPipe[0]);
  ::close(StopPipe[1]);
}

void TLoopbackPeer::Run() {
  for (;;) {
    pollfd p[2] = {{ListenFd, POLLIN, 0}, {StopPipe[0], POLLIN, 0}};
    if (::poll(p, 2, -1) < 0 && errno != EINTR) return;
    if (p[1].revents) return;
    if (!(p[0].revents & POLLIN)) continue;
    const int fd = ::accept4(ListenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ++Connections;
    ServeFrames(fd, StopPipe[0], Answer, Frames);
    ::close(fd);
  }
}

TPtyPeer::TPtyPeer(TPeerAnswer answer) : Answer(std::move(answer)) {
  if (::pipe(StopPipe) != 0) throw std::runtime_error("pipe");
  char name[256] = {};
  if (::openpty(&MasterFd, &SlaveFd, name, nullptr, nullptr) != 0) {
    throw std::runtime_error("openpty failed");
  }
  SlavePath = name;
  termios tio{};
  ::tcgetattr(SlaveFd, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(SlaveFd, TCSANOW, &tio);
  // The master closes when serving ends, so an answer without 0x03 hangs up the
  // line a moment after it was written.
  Thread = std::thread([this] {
    ServeFrames(MasterFd, StopPipe[0], Answer, Frames);
    pollfd p{StopPipe[0], POLLIN, 0};
    ::poll(&p, 1, 50);
    ::close(MasterFd);
  });
}

TPtyPeer::~TPtyPeer() {
  const char stop = 1;
  (void)!::write(StopPipe[1], &stop, 1);
  Thread.join();
  ::close(SlaveFd);
  ::close(StopPipe[0]);
  ::close(StopPipe[1]);
}
