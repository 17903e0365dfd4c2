#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The serial port as the serial transport needs it. Failures are thrown as
// std::exception with the system's message.
class ISerialPort {
 public:
  virtual ~ISerialPort() = default;
  // Opens the port named as the user wrote it: 8 data bits, 1 stop bit, no
  // parity, no flow control, raw bytes.
  virtual void Open(const std::string& name, int baudRate) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Discards whatever waits in the input and output buffers.
  virtual void Purge() = 0;
  // Writes a block; returns how many bytes went out (fewer when the line stays blocked).
  virtual std::size_t Write(const std::uint8_t* data, std::size_t count) = 0;
  // Reads up to `count` bytes within the read time-outs: 50 ms between two
  // bytes and 50 ms per byte asked for plus 50 ms in total.
  virtual std::size_t Read(std::uint8_t* buffer, std::size_t count) = 0;
  // Takes in one read whatever has arrived, up to `count` bytes, waiting for
  // the first byte as a one-byte Read does. Returns how many came (0: none).
  virtual std::size_t ReadAvailable(std::uint8_t* buffer, std::size_t count) {
    return count == 0 ? 0 : Read(buffer, 1);
  }
  // Waits up to `ms` milliseconds for input; returns as soon as some is there.
  virtual void WaitForInput(int ms) = 0;
};

// Speeds the transport offers, in ascending order.
const std::vector<int>& KnownBaudRates();

// The speed named by `text` (compared without regard to case); 9600 when the
// text names none of the known speeds.
int BaudRateFromText(std::string_view text);

// Device path of a port name. "COMn" (any case, n >= 1) is /dev/ttyS(n-1), the
// way Linux numbers the built-in serial ports; a name that begins with '/' is
// used as it is (/dev/ttyUSB0, /dev/serial/by-id/..., a pty); any other name
// is looked up in /dev ("ttyACM0" is /dev/ttyACM0).
std::string SerialDevicePath(std::string_view name);

// termios port on a file descriptor, with poll() doing the waiting. It keeps
// no input of its own: what a read takes goes straight to the caller.
class TPosixSerialPort : public ISerialPort {
 public:
  TPosixSerialPort() = default;
  ~TPosixSerialPort() override;
  TPosixSerialPort(const TPosixSerialPort&) = delete;
  TPosixSerialPort& operator=(const TPosixSerialPort&) = delete;

  void Open(const std::string& name, int baudRate) override;
  void Close() override;
  bool IsOpen() const override { return Fd >= 0; }
  void Purge() override;
  std::size_t Write(const std::uint8_t* data, std::size_t count) override;
  std::size_t Read(std::uint8_t* buffer, std::size_t count) override;
  std::size_t ReadAvailable(std::uint8_t* buffer, std::size_t count) override;
  void WaitForInput(int ms) override;

  int Handle() const { return Fd; }
  // A write that makes no progress for this long gives up with what went out.
  int WriteTimeoutMs = 2000;

 private:
  std::size_t ReadWithin(std::uint8_t* buffer, std::size_t count, int waitMs);

  int Fd = -1;
};

// Sets a speed that has no Bxxx constant (14400, 56000, 128000, 256000).
// False when the driver refuses it.
bool SetCustomBaudRate(int fd, int baudRate);
