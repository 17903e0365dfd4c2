// Exchanges per second of a GetPrinterStatus-sized command (11-byte request,
// 23-byte answer) through each transport, beside a raw ping-pong of the same
// byte counts over the same kind of link. Both run against a peer thread in the
// same process that does the least work it can (blocking reads, one write per
// answer), so the ratio of the two is the transport's own cost.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "ConstUnit.h"
#include "FrameCodec.h"
#include "RS232DeviceUnit.h"
#include "TCPDeviceUnit.h"

namespace {

const TDataBuffer kStatus(6, 0x80);
constexpr std::size_t kAnswerBytes = 23;  // six data bytes, six status bytes

// GetPrinterStatus answers its six status bytes as data too.
TDataBuffer AnswerStatus(std::uint8_t seq) {
  return BuildResponseFrame(seq, 0x4A, kStatus, kStatus);
}

const TDataBuffer& Request() {
  static const TDataBuffer request = BuildRequestFrame(0x20, 0x4A, {'W'});
  return request;
}

bool ReadExactly(int fd, std::uint8_t* buf, std::size_t n) {
  std::size_t got = 0;
  while (got < n) {
    const ssize_t r = ::read(fd, buf + got, n - got);
    if (r > 0) {
      got += static_cast<std::size_t>(r);
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
    } else if (!(r < 0 && errno == EINTR)) {
      return false;
    }
  }
  return true;
}

// Answers each request frame, whatever it reads it in, until the link closes.
void FramePeer(int fd) {
  std::uint8_t chunk[256];
  std::uint8_t seq = 0;
  std::size_t pos = 0;  // position inside the current request frame
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    for (ssize_t i = 0; i < n; ++i) {
      if (chunk[i] == Ctl::SOH) pos = 0;
      if (pos++ == 2) seq = chunk[i];
      if (chunk[i] != Ctl::ETX) continue;
      const TDataBuffer answer = AnswerStatus(seq);
      if (!WriteExactly(fd, answer.data(), answer.size())) return;
    }
  }
}

void NoDelay(int fd) {
  const int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

// A loopback listener whose one connection is served by FramePeer.
class TTcpLink {
 public:
  TTcpLink() {
    Listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(Listener, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
        ::listen(Listener, 1) != 0 ||
        ::getsockname(Listener, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
      throw std::runtime_error("cannot listen on loopback");
    }
    Port = ntohs(addr.sin_port);
    Peer = std::thread([this] {
      const int fd = ::accept(Listener, nullptr, nullptr);
      NoDelay(fd);
      FramePeer(fd);
      ::close(fd);
    });
  }
  ~TTcpLink() {
    if (RawFd >= 0) ::close(RawFd);
    Peer.join();
    ::close(Listener);
  }
  int OpenRaw() {
    RawFd = ::socket(AF_INET, SOCK_STREAM, 0);
    NoDelay(RawFd);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<std::uint16_t>(Port));
    if (::connect(RawFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
      throw std::runtime_error("connect failed");
    }
    return RawFd;
  }
  std::unique_ptr<TBaseDevice> Device() const {
    auto dev = std::make_unique<TTCPDevice>();
    dev->SetHost("127.0.0.1");
    dev->SetPort(std::to_string(Port));
    return dev;
  }

 private:
  int Listener = -1;
  int Port = 0;
  int RawFd = -1;
  std::thread Peer;
};

// A raw pty pair whose master is served by FramePeer.
class TPtyLink {
 public:
  TPtyLink() {
    char name[256] = {};
    if (::openpty(&Master, &Slave, name, nullptr, nullptr) != 0) {
      throw std::runtime_error("openpty failed");
    }
    SlavePath = name;
    termios tio{};
    ::tcgetattr(Slave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(Slave, TCSANOW, &tio);
    Peer = std::thread([this] { FramePeer(Master); });
  }
  // The device has closed its side by now; closing ours fails the master read.
  ~TPtyLink() {
    ::close(Slave);
    Peer.join();
    ::close(Master);
  }
  int OpenRaw() const { return Slave; }
  std::unique_ptr<TBaseDevice> Device() const {
    auto dev = std::make_unique<TRS32Device>();
    dev->SetPortName(SlavePath);
    dev->SetBaudRate("115200");
    return dev;
  }

 private:
  int Master = -1;
  int Slave = -1;
  std::string SlavePath;
  std::thread Peer;
};

bool RawExchange(int fd) {
  std::uint8_t answer[kAnswerBytes];
  return WriteExactly(fd, Request().data(), Request().size()) &&
         ReadExactly(fd, answer, sizeof answer);
}

bool DeviceExchange(TBaseDevice& dev) {
  TDataBuffer data{'W'}, status;
  return dev.SendCommand(0x4A, data, status);
}

void CountRate(benchmark::State& state) {
  state.counters["exchanges/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

template <typename TLink>
void BM_Raw(benchmark::State& state) {
  TLink link;
  const int fd = link.OpenRaw();
  for (auto _ : state) {
    if (!RawExchange(fd)) {
      state.SkipWithError("raw link broke");
      break;
    }
  }
  CountRate(state);
}

template <typename TLink>
void BM_Device(benchmark::State& state) {
  TLink link;
  auto dev = link.Device();
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

// Raw and device exchanges in alternating batches over two links of one kind,
// so that the load of the machine weighs on both alike; "ratio" is the device
// rate over the raw rate.
constexpr int kBatch = 200;

template <typename TExchange>
double SecondsOf(TExchange exchange, bool& ok) {
  const auto t = std::chrono::steady_clock::now();
  for (int i = 0; i < kBatch && ok; ++i) ok = exchange();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

template <typename TLink>
void BM_DeviceVsRaw(benchmark::State& state) {
  TLink rawLink;
  TLink deviceLink;
  const int fd = rawLink.OpenRaw();
  auto dev = deviceLink.Device();
  bool ok = dev->Connect();
  double raw = 0, device = 0;
  bool rawFirst = true;  // the order swaps each round: a batch may pay for the switch
  for (auto _ : state) {
    if (rawFirst) raw += SecondsOf([&] { return RawExchange(fd); }, ok);
    device += SecondsOf([&] { return DeviceExchange(*dev); }, ok);
    if (!rawFirst) raw += SecondsOf([&] { return RawExchange(fd); }, ok);
    rawFirst = !rawFirst;
    if (!ok) {
      state.SkipWithError("exchange failed");
      break;
    }
  }
  const double n = static_cast<double>(state.iterations()) * kBatch;
  state.counters["raw/s"] = n / raw;
  state.counters["device/s"] = n / device;
  state.counters["ratio"] = raw / device;
  dev.reset();
}

}  // namespace

BENCHMARK(BM_Raw<TTcpLink>)->Name("BM_TcpRaw")->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_Device<TTcpLink>)->Name("BM_TcpDevice")->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_Raw<TPtyLink>)->Name("BM_PtyRaw")->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_Device<TPtyLink>)->Name("BM_PtyDevice")->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_DeviceVsRaw<TTcpLink>)->Name("BM_TcpDeviceVsRaw")->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_DeviceVsRaw<TPtyLink>)->Name("BM_PtyDeviceVsRaw")->UseRealTime()->MinTime(2.0);

BENCHMARK_MAIN();
