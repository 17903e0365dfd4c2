// Any command code with a free parameter text.
#include "BaseDeviceUnit.h"
#include "ConstUnit.h"

bool TBaseDevice::ExecuteCommand(std::uint8_t CmdCode, const std::string& Params) {
  TDataBuffer data;
  TDataBuffer status;
  AppendEscapedText(Params, data);
  if (!SendCommand(CmdCode, data, status)) return false;
  bool result = false;
  try {
    // The paper check comes first; a status too short for it fails in CheckStatusEx.
    if (status.size() > 2 && TestStatusBit(status, 2, 0)) {
      throw ECmdException(Err::NoPaper, "[2/0]");
    }
    CheckStatusEx(status);
    result = true;
  } catch (const std::exception& e) {
    HandleCommandError(e, TDataBuffer{}, "");
  }
  return result;
}
