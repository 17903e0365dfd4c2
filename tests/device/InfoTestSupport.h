#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "BaseDeviceUnit.h"
#include "ScriptedDevice.h"

namespace info_test {

// Literal messages of the codes the information operations raise; expected error
// texts are built from these, not from the decoder under test.
namespace Msg {
inline const std::string k103 = "Fiscal printer does not respond.";
inline const std::string k200 = "Invalid data from the printer. Varying length of the declared.";
inline const std::string k201 = "Invalid input data.";
inline const std::string k204 = "Invalid command.";
inline const std::string k205 = "Syntax error in command.";
inline const std::string k208 = "Not opened fisc. receipt.";
inline const std::string k209 = "Not opened comment receipt.";
inline const std::string k210 = "No paper.";
inline const std::string k215 = "There is opened comment reciept.";
inline const std::string k216 = "The command is not allowed in the current fiscal regime.";
inline const std::string k217 = "There is oppened fisc.reciept.";
inline const std::string k218 = "The clock is not set.";
inline const std::string k219 = "The printer is malfunctioning or oppened.";
inline const std::string k223 = "Overflow of some fields in amounts.";
}  // namespace Msg

// A condition bit none of these operations tests, and the text it adds after the
// error when the operation passes its status bytes.
inline constexpr std::pair<int, int> kFmErrorBit{4, 0};
inline const std::string kFmErrorText = " There is an error in the fiscal memory. ";

// Error text without status: message, blank, detail.
inline std::string ErrNoStatus(const std::string& message, const std::string& detail) {
  return message + " " + detail;
}

// Error text with status: the same, a blank and the list of the other set flags.
inline std::string ErrStatus(const std::string& message, const std::string& detail,
                             const std::string& others = "") {
  return message + " " + detail + " " + others;
}

inline TDataBuffer Bytes(const std::string& text) { return TDataBuffer(text.begin(), text.end()); }

// Result, code and text of the last operation.
inline void ExpectOutcome(const TBaseDevice& dev, bool result, bool ok, std::int32_t code,
                          const std::string& text) {
  EXPECT_EQ(result, ok);
  EXPECT_EQ(dev.LastErrorCode, code);
  EXPECT_EQ(dev.LastErrorText, text);
}

// Hands back one fixed reply without framing, for answers longer than a frame holds.
class TDirectDevice : public TBaseDevice {
 public:
  TDataBuffer ReplyData;
  TDataBuffer ReplyStatus = StatusWith();
  std::vector<std::uint8_t> Codes;

  bool SendCommand(std::uint8_t code, TDataBuffer& data, TDataBuffer& status) override {
    Codes.push_back(code);
    LastErrorCode = 0;
    LastErrorText.clear();
    data = ReplyData;
    status = ReplyStatus;
    return true;
  }
  bool Connect() override { return true; }
  void Disconnect() override {}
  bool IsConnected() override { return true; }
};

}  // namespace info_test
