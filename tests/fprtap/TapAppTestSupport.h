#pragma once

// What the tap's tests share: a sink that records, socket helpers, and the
// simulated device on a free loopback port with a tap in this process in front.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <future>
#include <iterator>
#include <memory>
#include <mutex>
#include <sstream>

#include "SimCodec.h"
#include "SimServer.h"
#include "TapAppLinks.h"

// Keeps what a relay handed over: the bytes by side, the time of each run, the last close.
struct TRecordingSink : ITapSink {
  std::mutex Mu;
  std::string Bytes[2];
  std::vector<std::int64_t> Times;
  int LastClosed = -1;  // TTapSide, when the last event was a close
  void OnBytes(TTapSide from, std::string_view bytes, std::int64_t t) override {
    std::lock_guard lock(Mu);
    Bytes[static_cast<int>(from)] += bytes;
    Times.push_back(t);
    LastClosed = -1;
  }
  void OnClose(TTapSide side, std::int64_t) override {
    std::lock_guard lock(Mu);
    LastClosed = static_cast<int>(side);
  }
  std::string From(TTapSide side) {
    std::lock_guard lock(Mu);
    return Bytes[static_cast<int>(side)];
  }
};

// A connected pair of non-blocking stream sockets: [0] for the test, [1] for the relay.
struct TSocketPair {
  int Fd[2] = {-1, -1};
  TSocketPair() { ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, Fd); }
  ~TSocketPair() { ::close(Fd[0]), ::close(Fd[1]); }
};

// A TCP connection to a loopback port; -1 when refused.
inline int ConnectLoopback(std::uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) return fd;
  ::close(fd);
  return -1;
}

inline bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    pollfd p{fd, POLLOUT, 0};
    if (n > 0)
      bytes.remove_prefix(static_cast<std::size_t>(n));
    else if (n < 0 && errno != EAGAIN)
      return false;
    else if (::poll(&p, 1, 2000) <= 0)
      return false;
  }
  return true;
}

// Reads until `count` bytes came, the peer closed (`closed`), nothing came for
// `idleMs`, or the last byte read is one of `stopAt`.
inline std::string ReadSome(int fd, std::size_t count, int idleMs = 2000, bool* closed = nullptr,
                            std::string_view stopAt = {}) {
  std::string got;
  char buf[4096];
  for (pollfd p{fd, POLLIN, 0}; got.size() < count &&
                                (got.empty() || stopAt.find(got.back()) == stopAt.npos) &&
                                ::poll(&p, 1, idleMs) > 0;) {
    const ssize_t n = ::read(fd, buf, std::min(sizeof buf, count - got.size()));
    if (n <= 0 && closed) *closed = n == 0 || errno != EAGAIN;
    if (n <= 0) break;
    got.append(buf, static_cast<std::size_t>(n));
  }
  return got;
}

class TTapSimFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    Sim.Device().SetWorkTime(0);
    Sim.Device().SetTrace([this](const std::string& line) {
      std::lock_guard lock(TraceMu);
      Trace += line + "\n";
    });
    ASSERT_TRUE(Sim.StartTcp("127.0.0.1", 0)) << Sim.LastError();
  }
  void TearDown() override {
    if (Serving.valid()) StopTap();
    Sim.Stop();
  }
  // Opens a tap with these arguments (--device to the simulator unless they
  // name a device side) and serves it into `sink` on a thread.
  void StartTap(const std::string& args, ITapSink& sink) {
    std::istringstream in(args + (args.find("--serial") == std::string::npos &&
                                          args.find("--device") == std::string::npos
                                      ? " --device 127.0.0.1:" + std::to_string(Sim.Port())
                                      : ""));
    std::vector<std::string> words{std::istream_iterator<std::string>(in), {}};
    std::string error;
    ASSERT_TRUE(ParseTapArgs(words, Options, error)) << error;
    Links = std::make_unique<TTapLinks>(Options, TapErr);
    Links->FlushLimitMs = 100;
    ASSERT_TRUE(Links->Open()) << TapErr.str();
    Stop = std::make_unique<TTapStop>();
    Serving = std::async(std::launch::async,
                         [this, &sink] { return Links->Serve(sink, SteadyTapClock(), *Stop); });
  }
  int StopTap() {
    Stop->Raise();
    return Serving.get();
  }
  // What the simulator's trace says it received ("RX") or sent ("TX"), as one hex text.
  std::string SimTraffic(const std::string& direction) {
    std::lock_guard lock(TraceMu);
    std::istringstream in(Trace);
    std::string all;
    for (std::string line; std::getline(in, line);) {
      if (line.rfind(direction + " ", 0) != 0) continue;
      line = line.substr(3, line.find("  -- ") - 3);  // a broken frame's reason follows
      all += (all.empty() ? "" : " ") + line;
    }
    return all;
  }
  std::string TapPort() const { return std::to_string(Links->ListenPort()); }

  TSimServer Sim;
  TTapOptions Options;
  std::unique_ptr<TTapLinks> Links;
  std::ostringstream TapErr;
  std::unique_ptr<TTapStop> Stop;
  std::future<int> Serving;
  std::mutex TraceMu;
  std::string Trace;
};
