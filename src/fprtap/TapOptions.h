#pragma once

#include <string>
#include <vector>

#include "TapMonitor.h"

// What the command line of fprtap asks for.
struct TTapOptions {
  enum class THostSide { None, Listen, Pty };
  enum class TDeviceSide { None, Tcp, Serial };
  THostSide Host = THostSide::None;
  std::string ListenHost = "127.0.0.1";
  int ListenPort = 0;  // 0: a free port, printed on standard error
  std::string Link;    // symlink to the pty
  TDeviceSide Device = TDeviceSide::None;
  std::string DeviceHost;
  int DevicePort = 0;
  std::string SerialPort;  // "COMn" or a device path
  int Speed = 9600;
  bool Json = false;
  TTapViews Views;      // all unless --views names some
  std::string Capture;  // file every relayed byte is saved to
  std::string Read;     // a saved capture to show instead of relaying
  bool Once = false;
  bool Quiet = false;  // no exchanges, only the summary
  bool NoSummary = false;
  bool Help = false;
  bool Version = false;
};

// False with `error` set when the arguments (without the program name) are
// wrong: an unknown option or view, a port that is not 0..65535 (--listen) or
// 1..65535 (--device), an unknown speed, no host or no device side, or two of
// either.
bool ParseTapArgs(const std::vector<std::string>& args, TTapOptions& options, std::string& error);

std::string TapUsage();
