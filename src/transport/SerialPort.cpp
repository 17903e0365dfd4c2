#include "SerialPort.h"

#include "SerialAccess.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <stdexcept>

namespace {

constexpr int kByteGapMs = 50;     // between two bytes of one read
constexpr int kPerByteMs = 50;     // total time-out per byte asked for
constexpr int kTotalExtraMs = 50;  // plus this once per read

std::string SystemMessage(const std::string& what, int err) {
  return what + ": " + std::strerror(err);
}

std::int64_t SteadyMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

speed_t StandardSpeed(int baudRate) {
  switch (baudRate) {
    case 110:
      return B110;
    case 300:
      return B300;
    case 600:
      return B600;
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    default:
      return B0;
  }
}

// 8N1, raw, no flow control; reads return at once (poll does the waiting).
void ApplyLineSettings(int fd, int baudRate, const std::string& path) {
  termios tio{};
  if (tcgetattr(fd, &tio) != 0) throw std::runtime_error(SystemMessage(path, errno));
  cfmakeraw(&tio);
  tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  tio.c_iflag &= ~(IXON | IXOFF | IXANY);
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  const speed_t speed = StandardSpeed(baudRate);
  if (speed != B0) {
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
  }
  if (tcsetattr(fd, TCSANOW, &tio) != 0) throw std::runtime_error(SystemMessage(path, errno));
  if (speed == B0 && !SetCustomBaudRate(fd, baudRate)) {
    throw std::runtime_error(SystemMessage(path + " at " + std::to_string(baudRate), errno));
  }
}

}  // namespace

const std::vector<int>& KnownBaudRates() {
  static const std::vector<int> rates = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                         19200, 38400, 56000, 57600, 115200, 128000, 256000};
  return rates;
}

int BaudRateFromText(std::string_view text) {
  for (int rate : KnownBaudRates()) {
    if (EqualNoCase(text, std::to_string(rate))) return rate;
  }
  return 9600;
}

std::string SerialDevicePath(std::string_view name) {
  if (!name.empty() && name.front() == '/') return std::string(name);
  if (name.size() > 3 && EqualNoCase(name.substr(0, 3), "com")) {
    const std::string_view digits = name.substr(3);
    int number = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (ec == std::errc() && end == digits.data() + digits.size() && number >= 1) {
      return "/dev/ttyS" + std::to_string(number - 1);
    }
  }
  return "/dev/" + std::string(name);
}

TPosixSerialPort::~TPosixSerialPort() { Close(); }

void TPosixSerialPort::Open(const std::string& name, int baudRate) {
  Close();
  const std::string path = SerialDevicePath(name);
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    throw std::runtime_error(
        SerialOpenErrorText(path, err, InspectSerialNode(path), CurrentSerialUser()));
  }
  if (LockSerialPort(fd) != 0) {
    ::close(fd);  // the other program's exclusive flag is its own: leave it
    throw std::runtime_error(SerialBusyText(path));
  }
  try {
    ApplyLineSettings(fd, baudRate, path);
    tcflush(fd, TCIOFLUSH);
  } catch (...) {
    UnlockSerialPort(fd);
    ::close(fd);
    throw;
  }
  Fd = fd;
}

void TPosixSerialPort::Close() {
  if (Fd >= 0) {
    UnlockSerialPort(Fd);
    ::close(Fd);
  }
  Fd = -1;
}

void TPosixSerialPort::Purge() {
  if (Fd < 0) throw std::runtime_error("Port is not open");
  if (tcflush(Fd, TCIOFLUSH) != 0) throw std::runtime_error(SystemMessage("Purge", errno));
}

std::size_t TPosixSerialPort::Write(const std::uint8_t* data, std::size_t count) {
  if (Fd < 0) throw std::runtime_error("Port is not open");
  std::size_t written = 0;
  while (written < count) {
    const ssize_t n = ::write(Fd, data + written, count - written);
    if (n > 0) {
      written += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) {
      if (written == 0) throw std::runtime_error(SystemMessage("Write", errno));
      return written;
    }
    // The line does not take more now: wait for room, but not forever.
    pollfd p{Fd, POLLOUT, 0};
    const int r = ::poll(&p, 1, WriteTimeoutMs);
    if (r == 0) return written;
    if (r < 0 && errno != EINTR) throw std::runtime_error(SystemMessage("Write", errno));
    if (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL))) {
      if (written == 0) throw std::runtime_error("Write: the line hung up");
      return written;
    }
  }
  return written;
}

// Waits up to `waitMs` for input and takes what is there in one read; 0 when
// none came in time.
std::size_t TPosixSerialPort::ReadWithin(std::uint8_t* buffer, std::size_t count, int waitMs) {
  pollfd p{Fd, POLLIN, 0};
  const int r = ::poll(&p, 1, waitMs);
  if (r < 0) {
    if (errno == EINTR) return 0;
    throw std::runtime_error(SystemMessage("Read", errno));
  }
  if (r == 0) return 0;
  if (!(p.revents & POLLIN)) throw std::runtime_error("Read: the line hung up");
  const ssize_t n = ::read(Fd, buffer, count);
  if (n < 0) {
    if (errno == EAGAIN || errno == EINTR) return 0;
    throw std::runtime_error(SystemMessage("Read", errno));
  }
  if (n == 0) throw std::runtime_error("Read: the line hung up");
  return static_cast<std::size_t>(n);
}

std::size_t TPosixSerialPort::Read(std::uint8_t* buffer, std::size_t count) {
  if (Fd < 0) throw std::runtime_error("Port is not open");
  const std::int64_t deadline =
      SteadyMs() + kPerByteMs * static_cast<std::int64_t>(count) + kTotalExtraMs;
  std::size_t got = 0;
  while (got < count) {
    const std::int64_t left = deadline - SteadyMs();
    if (left <= 0) break;
    const int wait = got == 0 ? static_cast<int>(left) : std::min<int>(kByteGapMs, left);
    const std::size_t n = ReadWithin(buffer + got, count - got, wait);
    if (n == 0 && got > 0) break;
    got += n;
  }
  return got;
}

std::size_t TPosixSerialPort::ReadAvailable(std::uint8_t* buffer, std::size_t count) {
  if (Fd < 0) throw std::runtime_error("Port is not open");
  if (count == 0) return 0;
  return ReadWithin(buffer, count, kPerByteMs + kTotalExtraMs);
}

void TPosixSerialPort::WaitForInput(int ms) {
  if (Fd < 0) return;
  pollfd p{Fd, POLLIN, 0};
  ::poll(&p, 1, ms);
}
