#include "TapAppLinks.h"

#include <cerrno>
#include <cstring>
#include <ostream>

TTapLinks::TTapLinks(const TTapOptions& options, std::ostream& err) : Options(options), Err(err) {}

TTapLinks::~TTapLinks() {
  TapCloseFd(Listener.Fd);
  TapClosePty(Pty);
}

bool TTapLinks::Open() {
  std::string error;
  if (Options.Device == TTapOptions::TDeviceSide::Serial) {
    try {
      Serial.Open(Options.SerialPort, Options.Speed);
    } catch (const std::exception& e) {
      Err << "fprtap: cannot open serial port " << Options.SerialPort << "@" << Options.Speed
          << ": " << e.what() << std::endl;
      return false;
    }
  }
  if (Options.Host == TTapOptions::THostSide::Listen) {
    if (!TapListen(Options.ListenHost, Options.ListenPort, Listener, error)) {
      Err << "fprtap: cannot listen: " << error << std::endl;
      return false;
    }
    Err << "fprtap: listening on " << Options.ListenHost << ":" << Listener.Port << std::endl;
    return true;
  }
  if (!TapOpenPty(Options.Link, Pty, error)) {
    Err << "fprtap: " << error << std::endl;
    return false;
  }
  Err << "fprtap: pty " << Pty.Path << (Options.Link.empty() ? "" : " (link " + Options.Link + ")")
      << std::endl;
  return true;
}

int TTapLinks::ConnectDevice() {
  if (Options.Device == TTapOptions::TDeviceSide::Serial) return Serial.Handle();
  std::string error;
  const int fd = TapConnect(Options.DeviceHost, Options.DevicePort, DeviceConnectTimeoutMs, error);
  if (fd < 0) Err << "fprtap: cannot connect to the device: " << error << std::endl;
  return fd;
}

TTapRelay::TEnd TTapLinks::Relay(int hostFd, int deviceFd, ITapSink& sink, const TTapClock& clock,
                                 const TTapStop& stop) {
  TTapRelay relay(hostFd, deviceFd, sink, clock, stop.Fd());
  relay.FlushLimitMs = FlushLimitMs;
  const TTapRelay::TEnd end = relay.Run().End;
  if (end == TTapRelay::TEnd::HostClosed) Err << "fprtap: the host program closed the link";
  if (end == TTapRelay::TEnd::DeviceClosed) Err << "fprtap: the device closed the link";
  if (end != TTapRelay::TEnd::Stopped) Err << std::endl;
  return end;
}

int TTapLinks::Serve(ITapSink& sink, const TTapClock& clock, const TTapStop& stop) {
  return Options.Host == TTapOptions::THostSide::Listen ? ServeListener(sink, clock, stop)
                                                        : ServePty(sink, clock, stop);
}

int TTapLinks::ServeListener(ITapSink& sink, const TTapClock& clock, const TTapStop& stop) {
  const bool serial = Options.Device == TTapOptions::TDeviceSide::Serial;
  for (;;) {
    int host = TapAccept(Listener, stop.Fd());
    if (host < 0 && stop.Raised()) return 0;
    if (host < 0) {
      Err << "fprtap: cannot accept a host program: " << std::strerror(errno) << std::endl;
      return 1;
    }
    Err << "fprtap: host program connected" << std::endl;
    int device = ConnectDevice();
    if (device < 0) {
      TapCloseFd(host);
      if (Options.Once) return 1;
      continue;
    }
    const TTapRelay::TEnd end = Relay(host, device, sink, clock, stop);
    TapCloseFd(host);
    if (!serial) TapCloseFd(device);
    // A serial port that fails (a USB adapter pulled out) does not come back.
    if (serial && end == TTapRelay::TEnd::DeviceClosed) return 1;
    if (end == TTapRelay::TEnd::Stopped || Options.Once) return 0;
  }
}

// The pty never closes (the tap holds its slave): the relay runs until the
// tap is stopped or the device goes away.
int TTapLinks::ServePty(ITapSink& sink, const TTapClock& clock, const TTapStop& stop) {
  int device = ConnectDevice();
  if (device < 0) return 1;
  const TTapRelay::TEnd end = Relay(Pty.Master, device, sink, clock, stop);
  if (Options.Device == TTapOptions::TDeviceSide::Tcp) TapCloseFd(device);
  return end == TTapRelay::TEnd::DeviceClosed ? 1 : 0;
}
