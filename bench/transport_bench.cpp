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
#include <chrono>
#include <memory>
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

bool RawExchange(int fd) {
  static const TDataBuffer request = BuildRequestFrame(0x20, 0x4A, {'W'});
  std::uint8_t answer[kAnswerBytes];
  return WriteExactly(fd, request.data(), request.size()) && ReadExactly(fd, answer, sizeof answer);
}

bool DeviceExchange(TBaseDevice& dev) {
  TDataBuffer data{'W'}, status;
  return dev.SendCommand(0x4A, data, status);
}

void NoDelay(int fd) {
  const int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

// A raw loopback connection to a RawPeer.
class TRawTcpLink {
 public:
  TRawTcpLink() {
    Listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ::bind(Listener, reinterpret_cast<sockaddr*>(&addr), len);
    ::listen(Listener, 1);
    ::getsockname(Listener, reinterpret_cast<sockaddr*>(&addr), &len);
    Server = std::thread([this] {
      const int fd = ::accept(Listener, nullptr, nullptr);
      NoDelay(fd);
      RawPeer(fd);
      ::close(fd);
    });
    Fd = ::socket(AF_INET, SOCK_STREAM, 0);
    NoDelay(Fd);
    if (::connect(Fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
      throw std::runtime_error("connect failed");
    }
  }
  ~TRawTcpLink() {
    ::close(Fd);  // the peer's read ends
    Server.join();
    ::close(Listener);
  }
  int Fd = -1;

 private:
  int Listener = -1;
  std::thread Server;
};

// A raw pty pair with a RawPeer on the master.
class TRawPtyLink {
 public:
  TRawPtyLink() {
    if (::openpty(&Master, &Fd, nullptr, nullptr, nullptr) != 0) {
      throw std::runtime_error("openpty failed");
    }
    termios tio{};
    ::tcgetattr(Fd, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(Fd, TCSANOW, &tio);
    Peer = std::thread([this] { RawPeer(Master); });
  }
  ~TRawPtyLink() {
    ::close(Fd);  // the master read fails and the peer ends
    Peer.join();
    ::close(Master);
  }
  int Fd = -1;

 private:
  int Master = -1;
  std::thread Peer;
};

std::unique_ptr<TBaseDevice> DeviceFor(const TLoopbackPeer& peer) {
  auto dev = std::make_unique<TTCPDevice>();
  dev->SetHost("127.0.0.1");
  dev->SetPort(std::to_string(peer.Port()));
  return dev;
}

std::unique_ptr<TBaseDevice> DeviceFor(const TPtyPeer& peer) {
  auto dev = std::make_unique<TRS32Device>();
  dev->SetPortName(peer.SlavePath);
  dev->SetBaudRate("115200");
  return dev;
}

void CountRate(benchmark::State& state) {
  state.counters["exchanges/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

template <typename TLink>
void BM_Raw(benchmark::State& state) {
  TLink link;
  for (auto _ : state) {
    if (!RawExchange(link.Fd)) {
      state.SkipWithError("raw link broke");
      break;
    }
  }
  CountRate(state);
}

template <typename TPeer>
void BM_Device(benchmark::State& state) {
  TPeer peer(AnswerStatus);
  auto dev = DeviceFor(peer);
  if (!dev->Connect()) {
    state.SkipWithError(dev->LastErrorText.c_str());
    return;
  }
  for (auto _ : state) {
    if (!DeviceExchange(*dev)) {
      state.SkipWithError(dev->LastErrorText.c_str());
      break;
    }
  }
  CountRate(state);
}

// Raw and device exchanges in alternating batches, so that the load of the
// machine weighs on both alike; "ratio" is the device rate over the raw rate.
constexpr int kBatch = 200;

template <typename TExchange>
double SecondsOf(TExchange exchange, bool& ok) {
  const auto t = std::chrono::steady_clock::now();
  for (int i = 0; i < kBatch && ok; ++i) ok = exchange();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

template <typename TLink, typename TPeer>
void BM_DeviceVsRaw(benchmark::State& state) {
  TLink link;
  TPeer peer(AnswerStatus);
  auto dev = DeviceFor(peer);
  bool ok = dev->Connect();
  double raw = 0, device = 0;
  for (auto _ : state) {
    raw += SecondsOf([&] { return RawExchange(link.Fd); }, ok);
    device += SecondsOf([&] { return DeviceExchange(*dev); }, ok);
    if (!ok) {
      state.SkipWithError("exchange failed");
      break;
    }
  }
  const double n = static_cast<double>(state.iterations()) * kBatch;
  state.counters["raw/s"] = n / raw;
  state.counters["device/s"] = n / device;
  state.counters["ratio"] = raw / device;
}

}  // namespace

BENCHMARK(BM_Raw<TRawTcpLink>)->Name("BM_TcpRaw")->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_Device<TLoopbackPeer>)->Name("BM_TcpDevice")->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_Raw<TRawPtyLink>)->Name("BM_PtyRaw")->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_Device<TPtyPeer>)->Name("BM_PtyDevice")->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_DeviceVsRaw<TRawTcpLink, TLoopbackPeer>)
    ->Name("BM_TcpDeviceVsRaw")
    ->UseRealTime()
    ->MinTime(2.0);
BENCHMARK(BM_DeviceVsRaw<TRawPtyLink, TPtyPeer>)
    ->Name("BM_PtyDeviceVsRaw")
    ->UseRealTime()
    ->MinTime(2.0);

BENCHMARK_MAIN();
