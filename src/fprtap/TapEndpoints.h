#pragma once

#include "RawPty.h"

#include <cstdint>
#include <string>

// The descriptors the relay runs between: a TCP listener and the connections
// it accepts, a TCP connection to the device, a pty for a host program that
// speaks to a serial port. Every function gives -1 / false with `error` set
// on failure; nothing here reads or writes the link.

struct TTapListener {
  int Fd = -1;
  std::uint16_t Port = 0;  // the bound port (a free one for port 0)
};

// Listens on HOST:PORT (IPv4; "0.0.0.0" for every address).
bool TapListen(const std::string& host, int port, TTapListener& listener, std::string& error);

// Waits for the next host program; -1 when `stopFd` became readable first.
int TapAccept(const TTapListener& listener, int stopFd);

// Connects to the device within `timeoutMs`; TCP_NODELAY on, non-blocking.
int TapConnect(const std::string& host, int port, int timeoutMs, std::string& error);

// A pty in raw mode for the host program. The tap holds the slave open too, so
// that the master does not hang up while no program has it open.
using TTapPty = TRawPty;

bool TapOpenPty(const std::string& linkPath, TTapPty& pty, std::string& error);
void TapClosePty(TTapPty& pty);

void TapCloseFd(int& fd);
