#pragma once

#include <optional>
#include <string>
#include <vector>

// Faults the simulator can be told to commit on the link, from tests or from the
// command line. Each is limited to one command code (Cmd, -1 = any) and to a
// number of frames (Count, -1 = no limit).

namespace sim {

enum class EFault {
  Nak,             // answer NAK instead of executing the frame
  Silent,          // swallow the frame: no answer, not executed
  SilentExecuted,  // execute the frame but send no answer
  WrongSeq,        // answer with SEQ + 1
  WrongCmd,        // answer with CMD + 1
  WrongLen,        // answer with LEN + 1
  WrongChecksum,   // answer with a wrong last checksum character
  Busy,            // send SYN for Ms milliseconds before the answer
  Noise,           // send Text (raw bytes) before the answer
  CloseMidFrame,   // send half of the answer, then drop the connection
  StatusSet,       // report status bit [Byte/Bit] set
  StatusClear,     // report status bit [Byte/Bit] clear
  ForceAnswer,     // do not execute; answer with Text as the data
};

struct TSimFault {
  EFault Kind = EFault::Nak;
  int Cmd = -1;
  int Count = 1;
  int Ms = 0;
  int Byte = 0;
  int Bit = 0;
  std::string Text;

  bool Matches(int cmd) const { return Count != 0 && (Cmd < 0 || Cmd == cmd); }
};

inline TSimFault MakeFault(EFault kind, int cmd, int count, int ms = 0) {
  TSimFault f;
  f.Kind = kind;
  f.Cmd = cmd;
  f.Count = count;
  f.Ms = ms;
  return f;
}

inline constexpr char kDefaultNoise[] = "\xFF\xFE\x00ZZ";

// Parses KIND[=ARG][:COUNT][@CMD] where CMD is hexadecimal and COUNT is a number
// or "*" for no limit. The kinds and their arguments are listed by FaultHelp().
std::optional<TSimFault> ParseFault(const std::string& text, std::string* error);
std::string FaultHelp();

// Removes the used-up faults.
void DropSpent(std::vector<TSimFault>& faults);

}  // namespace sim
