#pragma once

// One exchange of a programming or report command against the scripted device:
// what goes out, what comes back, and the result and error it must give.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ScriptedDevice.h"

namespace prog_test {

// Messages of the error table, written out here so that a wrong table entry shows.
inline std::string Msg(int code) {
  static const std::map<int, std::string> texts = {
      {200, "Invalid data from the printer. Varying length of the declared."},
      {201, "Invalid input data."},
      {204, "Invalid command."},
      {205, "Syntax error in command."},
      {206, "The command execution is denied."},
      {207, "Lack of funds."},
      {210, "No paper."},
      {215, "There is opened comment reciept."},
      {216, "The command is not allowed in the current fiscal regime."},
      {217, "There is oppened fisc.reciept."},
      {220, "There is the destruction of RAM after switching."},
      {221, "Low battery (Clock is in RESET)."},
      {222, "Committed Clearing RAM."},
      {223, "Overflow of some fields in amounts."},
  };
  return texts.at(code) + " ";
}

struct TProgCase {
  std::string Name{};
  std::function<bool(TBaseDevice&)> Call{};
  std::uint8_t Cmd = 0;  // 0: nothing may be sent
  std::string Data{};    // request data as handed to SendCommand
  std::string Answer{};
  TDataBuffer Status = StatusWith();
  bool Result = true;
  int Code = 0;
  std::string Text{};
  TRegionalSettings Regional{};
};

// A case that succeeds after sending `data` with command `cmd`.
inline TProgCase Sends(std::string name, std::function<bool(TBaseDevice&)> call, std::uint8_t cmd,
                       std::string data, std::string answer = "", TRegionalSettings rs = {}) {
  return {name, call, cmd, data, answer, StatusWith(), true, 0, "", rs};
}

// A case that fails with `code` and `text`; `cmd` 0 means that nothing is sent.
inline TProgCase Fails(std::string name, std::function<bool(TBaseDevice&)> call, std::uint8_t cmd,
                       std::string data, std::string answer, TDataBuffer status, int code,
                       std::string text, TRegionalSettings rs = {}) {
  return {name, call, cmd, data, answer, status, false, code, text, rs};
}

// Refused before sending: 201 with this detail.
inline TProgCase Refuses(std::string name, std::function<bool(TBaseDevice&)> call,
                         std::string detail) {
  return Fails(name, call, 0, "", "", StatusWith(), 201, Msg(201) + detail);
}

inline void RunProgCase(const TProgCase& c) {
  SCOPED_TRACE(c.Name);
  TScriptedDevice dev;
  dev.Regional = c.Regional;
  dev.Answer(c.Answer, c.Status);
  EXPECT_EQ(c.Call(dev), c.Result);
  ASSERT_EQ(dev.Requests.size(), c.Cmd == 0 ? 0u : 1u);
  if (c.Cmd != 0) {
    EXPECT_EQ(dev.Requests[0].Cmd, c.Cmd);
    EXPECT_EQ(dev.Requests[0].DataText(), c.Data);
  }
  EXPECT_EQ(dev.LastErrorCode, c.Code);
  EXPECT_EQ(dev.LastErrorText, c.Text);
}

inline void RunProgCases(const std::vector<TProgCase>& cases) {
  for (const TProgCase& c : cases) RunProgCase(c);
}

}  // namespace prog_test
