#include <gtest/gtest.h>

#include "BaseDeviceUnit.h"
#include "ScriptedDevice.h"
#include "StatusDecoding.h"

namespace {

struct TCheckCase {
  TDataBuffer Status;
  int Code;  // 0 = passes
  std::string Detail;
};

void ExpectCheck(void (*check)(const TDataBuffer&), const TCheckCase& c) {
  try {
    check(c.Status);
    EXPECT_EQ(c.Code, 0) << "expected " << c.Code << " " << c.Detail;
  } catch (const ECmdException& e) {
    EXPECT_EQ(e.Code, c.Code);
    EXPECT_EQ(std::string(e.what()), c.Detail);
  }
}

TEST(CheckStatus, LengthThenSyntaxThenInvalidCommand) {
  const TCheckCase cases[] = {
      {TDataBuffer(5, 0x80), 200, "[6/5]"},
      {TDataBuffer{}, 200, "[6/0]"},
      {TDataBuffer(7, 0x80), 200, "[6/7]"},
      {StatusWith({{0, 0}, {0, 1}}), 205, "[0/0]"},
      {StatusWith({{0, 1}}), 204, "[0/1]"},
      {StatusWith({{1, 4}, {2, 0}}), 0, ""},
      {StatusWith(), 0, ""},
  };
  for (const auto& c : cases) ExpectCheck(&TBaseDevice::CheckStatus, c);
}

TEST(CheckStatusEx, AddsTheByteOneChecksInTheirOrder) {
  const TCheckCase cases[] = {
      {StatusWith({{0, 1}, {1, 4}}), 204, "[0/1]"},
      {StatusWith({{1, 4}, {1, 3}, {1, 0}}), 220, "[1/4]"},
      {StatusWith({{1, 3}, {1, 2}}), 221, "[1/3]"},
      {StatusWith({{1, 2}, {1, 1}}), 222, "[1/2]"},
      {StatusWith({{1, 1}, {1, 0}}), 216, "[1/1]"},
      {StatusWith({{1, 0}}), 223, "[1/0]"},
      {StatusWith({{1, 5}, {1, 6}, {2, 0}}), 0, ""},
  };
  for (const auto& c : cases) ExpectCheck(&TBaseDevice::CheckStatusEx, c);
}

TEST(ErrorText, MessageBlankDetail) {
  EXPECT_EQ(ErrorText(204, "[0/1]"), "Invalid command. [0/1]");
  EXPECT_EQ(ErrorText(103, ""), "Fiscal printer does not respond. ");
  EXPECT_EQ(ErrorText(999, "x"), " x");
  EXPECT_EQ(ErrorText(213, ""), "Fisk.\xEC" "emory is locked. ");
  EXPECT_EQ(ErrorText(233, ""), "\xCEpened fiscal receipt. ");
  EXPECT_EQ(ErrorText(235, ""), "\xCEpened comment receipt. ");
  EXPECT_EQ(ErrorText(130, ""), "Printer returns an error:  ");
}

TEST(StatusBitsText, ThirtySevenLinesInTableOrder) {
  const std::string text = StatusBitsText(TDataBuffer(6, 0));
  std::vector<std::string> lines;
  for (std::size_t b = 0;;) {
    const std::size_t e = text.find("\r\n", b);
    lines.push_back(text.substr(b, e - b));
    if (e == std::string::npos) break;
    b = e + 2;
  }
  ASSERT_EQ(lines.size(), 37u);
  for (const auto& l : lines) EXPECT_EQ(l.substr(l.size() - 8), " [False]");
  EXPECT_EQ(lines.front(), "Syntax error in command. [False]");
  EXPECT_EQ(lines.back(), "Fisk.\xEC" "emory is locked. [False]");
  EXPECT_EQ(lines[13], "No paper. [False]");
  EXPECT_EQ(StatusBitsText(StatusWith({{2, 0}})).find("No paper. [True]"), 
            StatusBitsText(TDataBuffer(6, 0)).find("No paper. [False]"));
  EXPECT_EQ(StatusBitsText(TDataBuffer(6, 0x80)), StatusBitsText(TDataBuffer(6, 0)));
}

TEST(StatusConditionText, ListsSetFlagsExceptTheSkippedOne) {
  const struct {
    TDataBuffer Status;
    int Skipped;
    std::string Text;
  } cases[] = {
      {StatusWith({{0, 1}}), 204, ""},
      {StatusWith({{0, 0}, {0, 1}}), 204, "Syntax error in command. "},
      {StatusWith({{2, 0}, {4, 0}}), 0, " No paper. , There is an error in the fiscal memory. "},
      {StatusWith({{0, 0}, {2, 0}}), 0, "Syntax error in command. , No paper. "},
      {StatusWith({{2, 0}, {2, 2}}), 210, " End of el.journal. "},
      {StatusWith({{2, 0}, {2, 2}}), 0, " End of el.journal. , No paper. "},
      {StatusWith({{0, 4}, {2, 3}, {0, 6}}), 0, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(StatusConditionText(c.Status, c.Skipped), c.Text);
}

TEST(ReadStatusConditions, SetsTheLastCodeAndTellsWhetherClear) {
  TScriptedDevice dev;
  std::string text;
  EXPECT_FALSE(dev.ReadStatusConditions(StatusWith({{2, 0}, {5, 0}}), text));
  EXPECT_EQ(dev.LastErrorCode, 213);
  EXPECT_EQ(text, " No paper. , Fisk.\xEC" "emory is locked. ");
  dev.LastErrorCode = 0;
  EXPECT_FALSE(dev.ReadStatusConditions(StatusWith({{0, 2}, {0, 4}}), text));
  EXPECT_EQ(dev.LastErrorCode, 219);
  EXPECT_EQ(text, " The clock is not set. , The printer is malfunctioning or oppened. ");
  dev.LastErrorCode = 7;
  EXPECT_TRUE(dev.ReadStatusConditions(StatusWith({{2, 3}}), text));
  EXPECT_EQ(dev.LastErrorCode, 7);
  EXPECT_EQ(text, "");
}

struct THandleCase {
  std::string Name;
  int Code;  // 0 = not a command exception
  std::string Detail;
  TDataBuffer Status;
  std::string DeviceText;
  int ExpectedCode;
  std::string ExpectedText;
};

TEST(HandleCommandError, ComposesCodeDetailDeviceTextAndConditions) {
  const THandleCase cases[] = {
      {"plain", 204, "[0/1]", {}, "", 204, "Invalid command. [0/1]"},
      {"device text", 210, "[2/0]", {}, "E:LIMIT", 210, "No paper. [2/0]#LIMIT"},
      {"E: alone", 210, "[2/0]", {}, "E:", 210, "No paper. [2/0]"},
      {"E: formed by a removal", 210, "[2/0]", {}, "EE::", 210, "No paper. [2/0]#E:"},
      {"blanks", 210, "[2/0]", {}, "   ", 210, "No paper. [2/0]"},
      {"A2 bytes", 201, "[X]", {}, "\xA2" "E:ab\xA2 c", 201, "Invalid input data. [X]#ab c"},
      {"untrimmed rest", 201, "", {}, " E: x ", 201, "Invalid input data. #  x "},
      {"status", 210, "[2/0]", StatusWith({{2, 0}, {4, 4}}), "", 210,
       "No paper. [2/0]  Fiscal memory is full. "},
      {"status none other", 204, "[0/1]", StatusWith({{0, 1}}), "", 204,
       "Invalid command. [0/1] "},
      {"not a command exception", 0, "bad number", StatusWith({{2, 0}}), "E:X", 0, "bad number"},
  };
  for (const auto& c : cases) {
    TScriptedDevice dev;
    if (c.Code)
      dev.HandleCommandError(ECmdException(c.Code, c.Detail), c.Status, c.DeviceText);
    else
      dev.HandleCommandError(EConvertError(c.Detail), c.Status, c.DeviceText);
    EXPECT_EQ(dev.LastErrorCode, c.ExpectedCode) << c.Name;
    EXPECT_EQ(dev.LastErrorText, c.ExpectedText) << c.Name;
  }
}

TEST(DurationLine, BothForms) {
  EXPECT_EQ(TBaseDevice::DurationLine(0x4A, 120), "Command No: 4Ah. Duration: 120 ms.");
  EXPECT_EQ(TBaseDevice::DurationLine(0x0B, 0), "Command No: 0B. Duration: Less than 1 ms");
}

TEST(Events, ByteReceivedSkipsSynAndNakControlByteAlwaysRaised) {
  TScriptedDevice dev;
  std::string bytes, controls;
  dev.OnByteReceived = [&](const std::string& s) { bytes += s; };
  dev.OnControlByte = [&](const std::string& s) { controls += s; };
  for (std::uint8_t b : {0x01, 0x15, 0x16, 0x41}) {
    dev.RaiseByteReceived(b);
    dev.RaiseControlByte(b);
  }
  EXPECT_EQ(bytes, "\x01" "A");
  EXPECT_EQ(controls, "\x01\x15\x16" "A");
  TScriptedDevice silent;  // unassigned events are skipped
  silent.RaiseByteReceived(0x41);
  silent.RaiseDuration(0x4A);
}

}  // namespace
