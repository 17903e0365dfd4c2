#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the command line of fprcmd asks for.
struct TFprCmdOptions {
  enum class TLink { None, Tcp, Serial };
  enum class TMode { Raw, Op, Script, List, Decode };
  TLink Link = TLink::None;
  std::string Host;
  std::string Port;        // TCP port as text, 1..65535
  std::string SerialPort;  // "COMn" or a device path
  std::string Speed = "9600";
  TMode Mode = TMode::Raw;
  bool ShowStatus = false;
  bool Json = false;
  bool KeepGoing = false;
  bool Help = false;
  std::string Script;              // file of steps, "-" for standard input
  std::vector<std::string> Words;  // op: [op] NAME ARG=VALUE ...; decode: hexadecimal
  std::uint8_t Code = 0;           // raw command
  std::string Params;              // UTF-8, as typed
};

// False with `error` set when the arguments (without the program name) are
// wrong: an unknown option, a link that cannot be meant (a port that is not
// 1..65535, a serial port without a name, an unknown speed), modes mixed, or a
// raw command code that is not one or two hexadecimal digits.
bool ParseFprCmdArgs(const std::vector<std::string>& args, TFprCmdOptions& options,
                     std::string& error);

std::string FprCmdUsage();
