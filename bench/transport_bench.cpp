// Exchanges per second of a GetPrinterStatus-sized command (11-byte request,
// 23-byte answer) through each transport against an answering peer in the same
// process, beside a raw ping-pong of the same byte counts over the same kind of
// link. The ratio of the two is the transport's own cost.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "FrameCodec.h"
#include "FramePeer.h"
#include "RS232DeviceUnit.h"
#include "TCPDeviceUnit.h"

namespace {

const TDataBuffer kStatus(6, 0x80);
constexpr std::size_t kRequestBytes = 11;  // 0x4A with "W"
constexpr std::size_t kAnswerBytes = 23;   // six data bytes, six status bytes

// GetPrinterStatus answers its six status bytes as data too.
TDataBuffer AnswerStatus(const TDataBuffer& req) {
  return BuildResponseFrame(req.at(2), req.at(3), kStatus, kStatus);
}

bool ReadExactly(int fd, std::uint8_t* buf, std::size_t n) {
  std::size_t got = 0;
  while (got < n) {
    const ssize_t r = ::read(fd, buf + got, n - got);
    if (r > 0) {
      got += static_cast<std::size_t>(r);
    } else if (r < 0 && errno == EAGAIN) {
      pollfd p{fd, POLLIN, 0};
      ::poll(&p, 1, 1000);
    } else if (!(r < 0 && errno == EINTR)) {
      return false;
    }
  }
  return true;
}

bool WriteExactly(int fd, const std::uint8_t* buf, std::size_t n) {
  std::size_t done = 0;
  while (done < n) {
    const ssize_t r = ::write(fd, buf + done, n - done);
    if (r > 0) {
      done += static_cast<std::size_t>(r);
    } else if (!(r < 0 && (errno == EINTR || errno == EAGAIN))) {
      return false;
    }
  }
  return true;
}

// Reads a request's worth of bytes and writes an answer's worth, until the link closes.
void RawPeer(int fd) {
  std::uint8_t req[kRequestBytes];
  const TDataBuffer answer = AnswerStatus(BuildRequestFrame(0x20, 0x4A, {'W'}));
  while (ReadExactly(fd, req, sizeof req) && WriteExactly(fd, answer.data(), answer.size())) {
  }
}

void RawPingPong(benchmark::State& state, int fd) {
  const TDataBuffer request = BuildRequestFrame(0x20, 0x4A, {'W'});
  std::uint8_t answer[kAnswerBytes];
  for (auto _ : state) {
    if (!WriteExactly(fd, request.data(), request.size()) ||
        !ReadExactly(fd, answer, sizeof answer)) {
      state.SkipWithError("raw link broke");
      break;
    }
  }
  state.counters["exchanges/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void DeviceExchanges(benchmark::State& state, TBaseDevice& dev) {
  if (!dev.Connect()) {
    state.SkipWithError(dev.LastErrorText.c_str());
    return;
  }
  for (auto _ : state) {
    TDataBuffer data{'W'}, status;
    if (!dev.SendCommand(0x4A, data, status)) {
      state.SkipWithError(dev.LastErrorText.c_str());
      break;
    }
  }
  state.counters["exchanges/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  dev.Disconnect();
}

void BM_TcpDevice(benchmark::State& state) {
  TLoopbackPeer peer(AnswerStatus);
  TTCPDevice dev;
  dev.SetHost("127.0.0.1");
  dev.SetPort(std::to_string(peer.Port()));
  DeviceExchanges(state, dev);
}

void BM_TcpRaw(benchmark::State& state) {
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  ::bind(listener, reinterpret_cast<sockaddr*>(&addr), len);
  ::listen(listener, 1);
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
  std::thread server([listener] {
    const int fd = ::accept(listener, nullptr, nullptr);
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    RawPeer(fd);
    ::close(fd);
  });
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  const int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
    state.SkipWithError("connect failed");
  } else {
    RawPingPong(state, fd);
  }
  ::close(fd);
  server.join();
  ::close(listener);
}

void BM_PtyDevice(benchmark::State& state) {
  TPtyPeer peer(AnswerStatus);
  TRS32Device dev;
  dev.SetPortName(peer.SlavePath);
  dev.SetBaudRate("115200");
  DeviceExchanges(state, dev);
}

void BM_PtyRaw(benchmark::State& state) {
  int master = -1, slave = -1;
  if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
    state.SkipWithError("openpty failed");
    return;
  }
  termios tio{};
  ::tcgetattr(slave, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(slave, TCSANOW, &tio);
  std::thread peer([master] { RawPeer(master); });
  RawPingPong(state, slave);
  ::close(slave);  // the master read fails and the peer ends
  peer.join();
  ::close(master);
}

}  // namespace

BENCHMARK(BM_TcpRaw)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_TcpDevice)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_PtyRaw)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_PtyDevice)->UseRealTime()->MinTime(1.0);

BENCHMARK_MAIN();
