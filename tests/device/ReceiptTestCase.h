#pragma once

// One exchange of a fiscal receipt command against the scripted device: what goes
// out, what comes back, and the result and error it must give.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "ScriptedDevice.h"

namespace receipt_test {

// Messages of the error table, written out here so that a wrong table entry shows.
inline const std::string& Msg(int code) {
  static const std::map<int, std::string> texts = {
      {200, "Invalid data from the printer. Varying length of the declared."},
      {201, "Invalid input data."},
      {204, "Invalid command."},
      {205, "Syntax error in command."},
      {208, "Not opened fisc. receipt."},
      {210, "No paper."},
      {211, "There is an error in the fiscal memory."},
      {212, "Fiscal memory is full."},
      {213,
       "Fisk.\xEC"
       "emory is locked."},
      {214, "The last entry in the fiscal memory is not successful."},
      {215, "There is opened comment reciept."},
      {216, "The command is not allowed in the current fiscal regime."},
      {217, "There is oppened fisc.reciept."},
      {218, "The clock is not set."},
      {219, "The printer is malfunctioning or oppened."},
      {220, "There is the destruction of RAM after switching."},
      {221, "Low battery (Clock is in RESET)."},
      {222, "Committed Clearing RAM."},
      {223, "Overflow of some fields in amounts."},
      {224, "End of el.journal."},
      {231, "Tax gprs terminal does not answer."},
      {250,
       "Error in payment. The accumulated amount is negative or payment type has limited "
       "functionality."},
  };
  return texts.at(code);
}

// The text of a failure raised after the device answered: message, detail, and the
// blank that introduces the (here empty) list of other status conditions.
inline std::string AfterAnswer(int code, const std::string& detail) {
  return Msg(code) + " " + detail + " ";
}

// The text of an input check failure: nothing was sent, so no status part.
inline std::string BeforeSend(int code, const std::string& detail) {
  return Msg(code) + " " + detail;
}

inline const TDataBuffer kReceiptOpen = StatusWith({{2, 3}});

struct TCase {
  std::string Name;
  std::function<bool(TBaseDevice&)> Call;
  std::uint8_t Cmd = 0;  // 0: nothing may be sent
  std::string Data{};    // request data as handed to SendCommand
  std::string Answer{};
  TDataBuffer Status = kReceiptOpen;
  bool Result = true;
  int Code = 0;
  std::string Text{};
  char DecimalSeparator = '.';
};

inline void RunCase(const TCase& c) {
  SCOPED_TRACE(c.Name);
  TScriptedDevice dev;
  dev.Regional.DecimalSeparator = c.DecimalSeparator;
  dev.Answer(c.Answer, c.Status);
  EXPECT_EQ(c.Call(dev), c.Result);
  if (c.Cmd == 0) {
    EXPECT_TRUE(dev.Requests.empty());
  } else {
    EXPECT_EQ(dev.Requests.size(), 1u);
    if (!dev.Requests.empty()) {
      EXPECT_EQ(dev.Requests[0].Cmd, c.Cmd);
      EXPECT_EQ(dev.Requests[0].DataText(), c.Data);
    }
  }
  EXPECT_EQ(dev.LastErrorCode, c.Code);
  EXPECT_EQ(dev.LastErrorText, c.Text);
}

}  // namespace receipt_test
