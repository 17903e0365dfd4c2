#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "BaseDeviceUnit.h"

// fprcmd: one command to a device from a shell.
struct TFprCmdOptions {
  enum class TLink { None, Tcp, Serial };
  TLink Link = TLink::None;
  std::string Host;
  std::string Port;        // TCP port as text
  std::string SerialPort;  // "COMn" or a device path
  std::string Speed = "9600";
  bool ShowStatus = false;
  bool Help = false;
  std::uint8_t Code = 0;
  std::string Params;  // UTF-8, as typed
};

// False with `error` set when the arguments (without the program name) are wrong.
bool ParseFprCmdArgs(const std::vector<std::string>& args, TFprCmdOptions& options,
                     std::string& error);

std::string FprCmdUsage();

// The transport the options name, with its link parameters set.
std::unique_ptr<TBaseDevice> CreateFprCmdDevice(const TFprCmdOptions& options);

// Connects, runs the command, prints the report in UTF-8 and disconnects.
// Returns the exit status: 0 on success, 1 on failure.
int RunFprCmd(const TFprCmdOptions& options, TBaseDevice& device, std::ostream& out);
