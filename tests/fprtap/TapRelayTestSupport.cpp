#include "TapRelayTestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

void TRecordingSink::OnBytes(TTapSide from, std::string_view bytes, std::int64_t timeUs) {
  std::lock_guard lock(Mu);
  Log.push_back({from, false, std::string(bytes), timeUs});
}

void TRecordingSink::OnClose(TTapSide side, std::int64_t timeUs) {
  std::lock_guard lock(Mu);
  Log.push_back({side, true, {}, timeUs});
}

std::vector<TRecordingSink::TEvent> TRecordingSink::Events() const {
  std::lock_guard lock(Mu);
  return Log;
}

std::string TRecordingSink::From(TTapSide side) const {
  std::lock_guard lock(Mu);
  std::string all;
  for (const auto& e : Log) {
    if (e.Side == side) all += e.Bytes;
  }
  return all;
}

TTapClock SteppingClock(std::int64_t startUs) {
  auto now = std::make_shared<std::atomic<std::int64_t>>(startUs);
  return [now] { return now->fetch_add(250); };
}

TSocketPair::TSocketPair() {
  ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, Fd);
}

TSocketPair::~TSocketPair() {
  for (int fd : Fd) {
    if (fd >= 0) ::close(fd);
  }
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, 2000) <= 0) return false;
  }
  return true;
}

std::string ReadSome(int fd, std::size_t count, int idleMs) {
  std::string got;
  char buf[4096];
  while (got.size() < count) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, idleMs) <= 0) break;
    const ssize_t n = ::read(fd, buf, std::min(sizeof buf, count - got.size()));
    if (n <= 0) break;
    got.append(buf, static_cast<std::size_t>(n));
  }
  return got;
}

std::string ReadToEnd(int fd, bool& closed, int idleMs) {
  std::string got;
  char buf[4096];
  closed = false;
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, idleMs) <= 0) return got;
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EAGAIN) continue;
    if (n <= 0) {
      closed = true;
      return got;
    }
    got.append(buf, static_cast<std::size_t>(n));
  }
}
