#include "TapRelay.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace {

bool IsSocket(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 && S_ISSOCK(st.st_mode);
}

void MakeNonBlocking(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

std::int64_t SteadyMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

TTapSide SideOf(int dir) { return dir == 0 ? TTapSide::Host : TTapSide::Device; }

}  // namespace

TTapClock SteadyTapClock() {
  return [] {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
  };
}

void TTapFanOut::OnBytes(TTapSide from, std::string_view bytes, std::int64_t timeUs) {
  for (ITapSink* s : Sinks) s->OnBytes(from, bytes, timeUs);
}

void TTapFanOut::OnClose(TTapSide side, std::int64_t timeUs) {
  for (ITapSink* s : Sinks) s->OnClose(side, timeUs);
}

TTapStop::TTapStop() : Fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

TTapStop::~TTapStop() {
  if (Fd_ >= 0) ::close(Fd_);
}

void TTapStop::Raise() const {
  const std::uint64_t one = 1;
  (void)!::write(Fd_, &one, sizeof one);
}

bool TTapStop::Raised() const {
  pollfd p{Fd_, POLLIN, 0};
  return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

TTapRelay::TTapRelay(int hostFd, int deviceFd, ITapSink& sink, TTapClock clock, int stopFd)
    : Sink(sink), Clock(std::move(clock)), StopFd(stopFd) {
  Dir[0].From = Dir[1].To = hostFd;
  Dir[1].From = Dir[0].To = deviceFd;
  for (auto& d : Dir) d.ToSocket = IsSocket(d.To);
  MakeNonBlocking(hostFd);
  MakeNonBlocking(deviceFd);
}

bool TTapRelay::ReadInto(int dir, TResult& r, bool& writeFailed) {
  TDirection& d = Dir[dir];
  if (d.End == d.Buf.size() && d.Start > 0) {
    std::memmove(d.Buf.data(), d.Buf.data() + d.Start, d.Pending());
    d.End -= d.Start;
    d.Start = 0;
  }
  const char* at = d.Buf.data() + d.End;
  const ssize_t n = ::read(d.From, d.Buf.data() + d.End, d.Buf.size() - d.End);
  if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
  if (n == 0) return false;
  const std::int64_t now = Clock();
  d.End += static_cast<std::size_t>(n);
  r.Read[dir] += static_cast<std::uint64_t>(n);
  // Passed on before the sink decodes it: the other side is usually ready to
  // take it, and the bytes stay where they are until the next read.
  writeFailed = !WriteOut(dir, r);
  Sink.OnBytes(SideOf(dir), std::string_view(at, static_cast<std::size_t>(n)), now);
  return true;
}

bool TTapRelay::WriteOut(int dir, TResult& r) {
  TDirection& d = Dir[dir];
  while (d.Pending() > 0) {
    const char* p = d.Buf.data() + d.Start;
    const ssize_t n = d.ToSocket ? ::send(d.To, p, d.Pending(), MSG_NOSIGNAL | MSG_DONTWAIT)
                                 : ::write(d.To, p, d.Pending());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    if (n <= 0) return false;
    d.Start += static_cast<std::size_t>(n);
    r.Written[dir] += static_cast<std::uint64_t>(n);
  }
  d.Start = d.End = 0;
  return true;
}

// What is still buffered goes out while the receiving side takes it, but not
// for longer than the limit: a peer that never reads cannot hold the tap.
void TTapRelay::Flush(TResult& r) {
  const std::int64_t deadline = SteadyMs() + FlushLimitMs;
  bool live[2] = {true, true};
  for (;;) {
    pollfd p[2];
    nfds_t count = 0;
    int dirOf[2];
    for (int dir = 0; dir < 2; ++dir) {
      if (!live[dir] || Dir[dir].Pending() == 0) continue;
      if (!WriteOut(dir, r)) live[dir] = false;
      if (!live[dir] || Dir[dir].Pending() == 0) continue;
      dirOf[count] = dir;
      p[count++] = {Dir[dir].To, POLLOUT, 0};
    }
    const std::int64_t left = deadline - SteadyMs();
    if (count == 0 || left <= 0) return;
    if (::poll(p, count, static_cast<int>(left)) < 0 && errno != EINTR) return;
    for (nfds_t i = 0; i < count; ++i) {
      if (p[i].revents & (POLLERR | POLLNVAL)) live[dirOf[i]] = false;
    }
  }
}

// An answer usually follows its request within microseconds: looking again for
// a short while before sleeping spares the wake-up of a sleeping thread, which
// costs more than the exchange itself on a busy link. The look is bounded, so
// an idle link still sleeps.
int TTapRelay::WaitReady(pollfd* p, nfds_t count) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(SpinUs);
  for (;;) {
    const int n = ::poll(p, count, 0);
    if (n != 0 || std::chrono::steady_clock::now() >= until) {
      return n != 0 ? n : ::poll(p, count, -1);
    }
  }
}

TTapRelay::TResult TTapRelay::Run() {
  TResult r;
  for (auto& d : Dir) {
    d.Buf.assign(BufferBytes, '\0');
    d.Start = d.End = 0;
  }
  bool hungUp[2] = {false, false};
  for (;;) {
    pollfd p[3];
    for (int s = 0; s < 2; ++s) {
      const bool room = Dir[s].End < Dir[s].Buf.size() || Dir[s].Start > 0;
      const bool pending = Dir[1 - s].Pending() > 0;
      p[s] = {Dir[s].From, static_cast<short>((room ? POLLIN : 0) | (pending ? POLLOUT : 0)), 0};
      // A hung-up side reports it on every poll; while its bytes cannot be
      // taken, wait for the other side only.
      if (hungUp[s] && !room && !pending) p[s].fd = -1;
    }
    p[2] = {StopFd, POLLIN, 0};
    if (WaitReady(p, StopFd >= 0 ? 3 : 2) < 0) {
      if (errno == EINTR) continue;
      r.End = TEnd::Stopped;
      break;
    }
    if (StopFd >= 0 && (p[2].revents & POLLIN)) {
      r.End = TEnd::Stopped;
      break;
    }
    int closed = -1;
    for (int s = 0; s < 2 && closed < 0; ++s) {
      const short ev = p[s].revents;
      if (ev & POLLNVAL) closed = s;  // not open at all: nothing to wait for
      if (ev & (POLLHUP | POLLERR)) hungUp[s] = true;
      if (closed < 0 && (ev & (POLLOUT | POLLERR | POLLHUP)) && Dir[1 - s].Pending() > 0 &&
          !WriteOut(1 - s, r))
        closed = s;
      if (closed < 0 && (ev & (POLLIN | POLLHUP | POLLERR)) && (p[s].events & POLLIN)) {
        bool writeFailed = false;
        if (!ReadInto(s, r, writeFailed)) closed = s;
        if (writeFailed) closed = 1 - s;
      }
    }
    if (closed >= 0) {
      Sink.OnClose(SideOf(closed), Clock());
      r.End = closed == 0 ? TEnd::HostClosed : TEnd::DeviceClosed;
      break;
    }
  }
  Flush(r);
  return r;
}
