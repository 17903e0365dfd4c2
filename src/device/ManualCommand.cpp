// Any command code with a free parameter text.
#include "BaseDeviceUnit.h"
#include "CommandSupport.h"
#include "ConstUnit.h"

bool TBaseDevice::ExecuteCommand(std::uint8_t CmdCode, const std::string& Params) {
  return RunCommand(
      *this, CmdCode, TStatusInError::Without, [&] { return Params; },
      [](const TDataBuffer& status, const std::string&) {
        // The paper check comes first; a status too short for it fails in CheckStatusEx.
        RunBitChecks(status, {BitSet(2, 0, Err::NoPaper)});
        CheckStatusEx(status);
      });
}
