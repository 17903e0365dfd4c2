// Exchanges per second of a GetPrinterStatus-sized command (11-byte request,
// 23-byte answer) through each transport, beside a raw client that exchanges
// the same bytes over the same link with the same peer.
//
// Like for like: one link and one peer thread serve both clients of a pair
// (for TCP two connections to one listener, for the pty two opens of one
// slave). The raw client is set up as the transport's own: over TCP a socket
// with TCP_NODELAY whose reads block up to a receive time-out, over the pty
// the port opened and configured by TPosixSerialPort, emptied before each
// request as the transport empties it. It writes the request and reads what
// has come until the answer's 0x03, waiting as the transport waits. So
// "ratio" is the transport's own cost and nothing else.
//
// The TCP transport also checks before each write that the connection is
// still up, one poll the protocol asks for; BM_TcpDeviceVsCheckedRaw gives
// the raw client that same check, which leaves the transport's own work.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <termios.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cerrno>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ConstUnit.h"
#include "Clock.h"
#include "FrameCodec.h"
#include "RS232DeviceUnit.h"
#include "TCPDeviceUnit.h"

namespace {

const TDataBuffer kStatus(6, 0x80);
constexpr int kRawWaitMs = 1000;

// GetPrinterStatus answers its six status bytes as data too.
TDataBuffer AnswerStatus(std::uint8_t seq) {
  return BuildResponseFrame(seq, 0x4A, kStatus, kStatus);
}

bool WriteExactly(int fd, const std::uint8_t* buf, std::size_t n) {
  std::size_t done = 0;
  while (done < n) {
    const ssize_t r = ::write(fd, buf + done, n - done);
    if (r > 0) {
      done += static_cast<std::size_t>(r);
    } else if (r < 0 && errno == EAGAIN) {
      pollfd p{fd, POLLOUT, 0};
      ::poll(&p, 1, kRawWaitMs);
    } else if (!(r < 0 && errno == EINTR)) {
      return false;
    }
  }
  return true;
}

// One thread answering each request frame on every descriptor it serves,
// whatever pieces it reads them in, until stopped.
class TBenchPeer {
 public:
  TBenchPeer() {
    if (::pipe(StopPipe) != 0) throw std::runtime_error("pipe failed");
  }
  ~TBenchPeer() { Stop(); }
  void Serve(int fd) { Fds.push_back({fd, 0, 0}); }
  void Start() {
    Fds.push_back({StopPipe[0], 0, 0});
    Thread = std::thread([this] { Run(); });
  }
  void Stop() {
    if (!Thread.joinable()) return;
    (void)!::write(StopPipe[1], "x", 1);
    Thread.join();
    ::close(StopPipe[0]);
    ::close(StopPipe[1]);
  }

 private:
  struct TLine {
    int Fd;
    std::uint8_t Seq;
    std::size_t Pos;  // position inside the current request frame
  };
  void Run() {
    std::vector<pollfd> p(Fds.size());
    for (std::size_t i = 0; i < Fds.size(); ++i) p[i] = {Fds[i].Fd, POLLIN, 0};
    for (;;) {
      if (::poll(p.data(), p.size(), -1) < 0 && errno != EINTR) return;
      if (p.back().revents) return;
      for (std::size_t i = 0; i + 1 < p.size(); ++i) {
        if (p[i].revents && !Answer(Fds[i])) p[i].fd = -1;
      }
    }
  }
  static bool Answer(TLine& line) {
    std::uint8_t chunk[256];
    const ssize_t n = ::read(line.Fd, chunk, sizeof chunk);
    if (n < 0) return errno == EINTR || errno == EAGAIN;
    if (n == 0) return false;
    for (ssize_t i = 0; i < n; ++i) {
      if (chunk[i] == Ctl::SOH) line.Pos = 0;
      if (line.Pos++ == 2) line.Seq = chunk[i];
      if (chunk[i] != Ctl::ETX) continue;
      const TDataBuffer answer = AnswerStatus(line.Seq);
      if (!WriteExactly(line.Fd, answer.data(), answer.size())) return false;
    }
    return true;
  }

  std::vector<TLine> Fds;
  int StopPipe[2] = {-1, -1};
  std::thread Thread;
};

// Writes the request and reads up to the answer's 0x03, each read taking what
// is there, waiting as the transport waits: over TCP in a read that blocks up
// to the socket's receive time-out, over the pty in poll. On the serial line
// it first empties the line's buffers, which the protocol asks of every client
// before a request so that stale bytes are not taken for the answer.
class TRawClient {
 public:
  enum class TLine { Tcp, Serial };
  TRawClient(int fd, TLine line, bool checkLink = false)
      : Fd(fd), Serial(line == TLine::Serial), CheckLink(checkLink) {}
  bool Exchange() {
    const TDataBuffer request = BuildRequestFrame(NextSequence(Seq), 0x4A, {'W'});
    Seq = request[2];
    if (Serial && ::tcflush(Fd, TCIOFLUSH) != 0) return false;
    if (CheckLink && PeerHungUp(Fd)) return false;  // the transport's check before writing
    if (!WriteExactly(Fd, request.data(), request.size())) return false;
    std::size_t got = 0;
    for (;;) {
      pollfd p{Fd, POLLIN, 0};
      if (Serial && ::poll(&p, 1, kRawWaitMs) <= 0) return false;
      const ssize_t n = ::read(Fd, Answer + got, sizeof Answer - got);
      if (n <= 0) return n < 0 && (errno == EINTR || errno == EAGAIN);
      got += static_cast<std::size_t>(n);
      if (Answer[got - 1] == Ctl::ETX) return true;
      if (got == sizeof Answer) return false;
    }
  }

 private:
  int Fd;
  bool Serial;
  bool CheckLink;
  std::uint8_t Seq = 0;
  std::uint8_t Answer[256];
};

// A loopback listener; every connection made before Start is served by one peer.
class TTcpLink {
 public:
  TTcpLink() {
    Listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(Listener, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
        ::listen(Listener, 4) != 0 ||
        ::getsockname(Listener, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
      throw std::runtime_error("cannot listen on loopback");
    }
    Port = ntohs(addr.sin_port);
  }
  ~TTcpLink() {
    Peer.Stop();
    for (int fd : Owned) ::close(fd);
    ::close(Listener);
  }
  void Start() { Peer.Start(); }
  // The client socket the way TPosixTcpClient sets up its own: TCP_NODELAY,
  // reads that block up to a receive time-out.
  TRawClient Raw(bool checkLink = false) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<std::uint16_t>(Port));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 &&
        errno != EINPROGRESS) {
      throw std::runtime_error("connect failed");
    }
    pollfd p{fd, POLLOUT, 0};
    ::poll(&p, 1, kRawWaitMs);
    NoDelay(fd);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const timeval wait{kRawWaitMs / 1000, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    Owned.push_back(fd);
    Accept();
    return TRawClient(fd, TRawClient::TLine::Tcp, checkLink);
  }
  std::unique_ptr<TBaseDevice> Device() {
    auto dev = std::make_unique<TTCPDevice>();
    dev->SetHost("127.0.0.1");
    dev->SetPort(std::to_string(Port));
    if (!dev->Connect()) throw std::runtime_error(dev->LastErrorText);
    Accept();
    return dev;
  }

 private:
  static void NoDelay(int fd) {
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  }
  void Accept() {
    const int fd = ::accept4(Listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) throw std::runtime_error("accept failed");
    NoDelay(fd);
    Owned.push_back(fd);
    Peer.Serve(fd);
  }

  int Listener = -1;
  int Port = 0;
  std::vector<int> Owned;
  TBenchPeer Peer;
};

// A pty pair whose master is served by the peer; both clients open the slave.
// Two pty pairs, one for each client, served by one peer thread: a port is
// opened by one program alone, so the clients cannot share one slave.
class TPtyLink {
 public:
  TPtyLink() {
    for (TPty& pty : Ptys) {
      char name[256] = {};
      if (::openpty(&pty.Master, &pty.Slave, name, nullptr, nullptr) != 0) {
        throw std::runtime_error("openpty failed");
      }
      pty.SlavePath = name;
      termios tio{};
      ::tcgetattr(pty.Slave, &tio);
      ::cfmakeraw(&tio);
      ::tcsetattr(pty.Slave, TCSANOW, &tio);
      Peer.Serve(pty.Master);
    }
  }
  ~TPtyLink() {
    Peer.Stop();
    RawPort.Close();
    for (TPty& pty : Ptys) {
      ::close(pty.Slave);
      ::close(pty.Master);
    }
  }
  void Start() { Peer.Start(); }
  // Opened and set up by the transport's own port class.
  TRawClient Raw(bool = false) {  // the serial transport's check makes no call
    RawPort.Open(Ptys[0].SlavePath, 115200);
    return TRawClient(RawPort.Handle(), TRawClient::TLine::Serial);
  }
  std::unique_ptr<TBaseDevice> Device() const {
    auto dev = std::make_unique<TRS32Device>();
    dev->SetPortName(Ptys[1].SlavePath);
    dev->SetBaudRate("115200");
    if (!dev->Connect()) throw std::runtime_error(dev->LastErrorText);
    return dev;
  }

 private:
  struct TPty {
    int Master = -1;
    int Slave = -1;  // kept open so that the master never sees a hang-up
    std::string SlavePath;
  };
  std::array<TPty, 2> Ptys;
  TPosixSerialPort RawPort;
  TBenchPeer Peer;
};

bool DeviceExchange(TBaseDevice& dev) {
  TDataBuffer data{'W'}, status;
  return dev.SendCommand(0x4A, data, status);
}

void CountRate(benchmark::State& state) {
  state.counters["exchanges/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The machine is shared: the load at the end of a run goes with its figures.
void CountLoad(benchmark::State& state) {
  double load[1] = {0};
  if (::getloadavg(load, 1) == 1) state.counters["load"] = load[0];
}

template <typename TLink>
void BM_Raw(benchmark::State& state) {
  TLink link;
  TRawClient raw = link.Raw();
  link.Start();
  for (auto _ : state) {
    if (!raw.Exchange()) {
      state.SkipWithError("raw link broke");
      break;
    }
  }
  CountRate(state);
  CountLoad(state);
}

template <typename TLink>
void BM_Device(benchmark::State& state) {
  TLink link;
  auto dev = link.Device();
  link.Start();
  for (auto _ : state) {
    if (!DeviceExchange(*dev)) {
      state.SkipWithError(dev->LastErrorText.c_str());
      break;
    }
  }
  CountRate(state);
  CountLoad(state);
}

// Raw and device exchanges in alternating batches over one link, so that the
// load of the machine weighs on both alike; "ratio" is the device rate over
// the raw rate.
constexpr int kBatch = 200;

template <typename TExchange>
double SecondsOf(TExchange exchange, bool& ok) {
  const auto t = std::chrono::steady_clock::now();
  for (int i = 0; i < kBatch && ok; ++i) ok = exchange();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

template <typename TLink, bool kCheckedRaw = false>
void BM_DeviceVsRaw(benchmark::State& state) {
  TLink link;
  TRawClient raw = link.Raw(kCheckedRaw);
  auto dev = link.Device();
  link.Start();
  bool ok = true;
  double rawS = 0, deviceS = 0;
  bool rawFirst = true;  // the order swaps each round: a batch may pay for the switch
  for (auto _ : state) {
    if (rawFirst) rawS += SecondsOf([&] { return raw.Exchange(); }, ok);
    deviceS += SecondsOf([&] { return DeviceExchange(*dev); }, ok);
    if (!rawFirst) rawS += SecondsOf([&] { return raw.Exchange(); }, ok);
    rawFirst = !rawFirst;
    if (!ok) {
      state.SkipWithError("exchange failed");
      break;
    }
  }
  const double n = static_cast<double>(state.iterations()) * kBatch;
  state.counters["raw/s"] = n / rawS;
  state.counters["device/s"] = n / deviceS;
  state.counters["ratio"] = rawS / deviceS;
  CountLoad(state);
}

// The device's own work per exchange, with no line at all: a port or a TCP
// client in memory that answers every request at once.
struct TInstantAnswer {
  void Request(const std::uint8_t* frame) {
    Answer = AnswerStatus(frame[2]);
    Pos = 0;
  }
  void Drop() { Pos = Answer.size(); }
  std::size_t Take(std::uint8_t* buffer, std::size_t count) {
    const std::size_t n = std::min(count, Answer.size() - Pos);
    std::copy_n(Answer.begin() + static_cast<std::ptrdiff_t>(Pos), n, buffer);
    Pos += n;
    return n;
  }
  TDataBuffer Answer;
  std::size_t Pos = 0;
};

class TMemoryPort : public ISerialPort {
 public:
  void Open(const std::string&, int) override { Opened = true; }
  void Close() override { Opened = false; }
  bool IsOpen() const override { return Opened; }
  void Purge() override { Line.Drop(); }
  std::size_t Write(const std::uint8_t* data, std::size_t count) override {
    Line.Request(data);
    return count;
  }
  std::size_t Read(std::uint8_t* buffer, std::size_t count) override {
    return Line.Take(buffer, count);
  }
  std::size_t ReadAvailable(std::uint8_t* buffer, std::size_t count) override {
    return Line.Take(buffer, count);
  }
  void WaitForInput(int) override {}

 private:
  bool Opened = false;
  TInstantAnswer Line;
};

class TMemoryTcpClient : public ITcpClient {
 public:
  void Connect(int) override { Up = true; }
  bool Connected() override { return Up; }
  void CheckForDisconnect() override {}
  void Write(const std::uint8_t* data, std::size_t) override { Line.Request(data); }
  std::uint8_t ReadByte(int) override {
    std::uint8_t b = 0;
    if (Line.Take(&b, 1) == 0) throw ETcpReadTimeout();
    return b;
  }
  std::size_t ReadAvailable(std::uint8_t* buffer, std::size_t count, int) override {
    return Line.Take(buffer, count);
  }
  void Disconnect() override { Up = false; }

 private:
  bool Up = false;
  TInstantAnswer Line;
};

template <typename TDevice, typename TLine>
void BM_DeviceWork(benchmark::State& state) {
  TDevice dev(std::make_unique<TLine>(), std::make_shared<TSteadyClock>());
  if (!dev.Connect()) return state.SkipWithError(dev.LastErrorText.c_str());
  for (auto _ : state) {
    if (!DeviceExchange(dev)) return state.SkipWithError(dev.LastErrorText.c_str());
  }
}

}  // namespace

BENCHMARK(BM_DeviceWork<TRS32Device, TMemoryPort>)->Name("BM_SerialDeviceWork");
BENCHMARK(BM_DeviceWork<TTCPDevice, TMemoryTcpClient>)->Name("BM_TcpDeviceWork");
BENCHMARK(BM_Raw<TTcpLink>)->Name("BM_TcpRaw")->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_Device<TTcpLink>)->Name("BM_TcpDevice")->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_Raw<TPtyLink>)->Name("BM_PtyRaw")->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_Device<TPtyLink>)->Name("BM_PtyDevice")->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_DeviceVsRaw<TTcpLink>)->Name("BM_TcpDeviceVsRaw")->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_DeviceVsRaw<TTcpLink, true>)
    ->Name("BM_TcpDeviceVsCheckedRaw")
    ->UseRealTime()
    ->MinTime(2.0);
BENCHMARK(BM_DeviceVsRaw<TPtyLink>)->Name("BM_PtyDeviceVsRaw")->UseRealTime()->MinTime(2.0);

BENCHMARK_MAIN();
