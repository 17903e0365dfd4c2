#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "SerialPort.h"
#include "TapEndpoints.h"
#include "TapOptions.h"
#include "TapRelay.h"

// The links the options name, opened and relayed: a TCP listener that takes
// one host program at a time and connects to the device for each, or a pty
// for the host program; the device over TCP or on a serial port, which stays
// open from one host program to the next.
class TTapLinks {
 public:
  TTapLinks(const TTapOptions& options, std::ostream& err);
  ~TTapLinks();
  TTapLinks(const TTapLinks&) = delete;
  TTapLinks& operator=(const TTapLinks&) = delete;

  // Opens the host side and a serial device and tells where the host program
  // finds the tap; false when one cannot be opened (told on `err`).
  bool Open();
  std::uint16_t ListenPort() const { return Listener.Port; }
  const std::string& PtyPath() const { return Pty.Path; }

  // Relays until `stop` is raised, or the first host program is gone with
  // --once, or the device fails for good. The exit status: 0, or 1 when the
  // device could not be reached or its serial port failed.
  int Serve(ITapSink& sink, const TTapClock& clock, const TTapStop& stop);

  int DeviceConnectTimeoutMs = 3000;
  int FlushLimitMs = 2000;

 private:
  int ConnectDevice();
  TTapRelay::TEnd Relay(int hostFd, int deviceFd, ITapSink& sink, const TTapClock& clock,
                        const TTapStop& stop);
  int ServeListener(ITapSink& sink, const TTapClock& clock, const TTapStop& stop);
  int ServePty(ITapSink& sink, const TTapClock& clock, const TTapStop& stop);

  const TTapOptions& Options;
  std::ostream& Err;
  TTapListener Listener;
  TTapPty Pty;
  TPosixSerialPort Serial;
};
