// ExecuteCommand: request data, the order of the status checks, the result.
#include <gtest/gtest.h>

#include "ConstUnit.h"
#include "ScriptedDevice.h"
#include "TransportTestUtil.h"

namespace {

TEST(ExecuteCommand, EscapesControlCharactersOnceAndSendsTheCode) {
  TScriptedDevice dev;
  dev.Answer("whatever");
  ASSERT_TRUE(dev.ExecuteCommand(0x4A, std::string("A\x05\n\tB", 5)));
  ASSERT_EQ(dev.Requests.size(), 1u);
  EXPECT_EQ(dev.Requests[0].Cmd, 0x4A);
  EXPECT_EQ(dev.Requests[0].Data, (TDataBuffer{'A', 0x10, 0x45, 0x0A, 0x09, 'B'}));
  // The frame escapes the escape once more: 0x10 travels as 0x10 0x50.
  const TDataBuffer& f = dev.Requests[0].Frame;
  EXPECT_EQ(TDataBuffer(f.begin() + 4, f.begin() + 11),
            (TDataBuffer{'A', 0x10, 0x50, 0x45, 0x0A, 0x09, 'B'}));
  EXPECT_EQ(dev.LastErrorCode, 0);
}

TEST(ExecuteCommand, ChecksPaperFirstThenTheExtendedStatus) {
  struct TCase {
    TDataBuffer Status;
    std::int32_t Code;
    std::string Text;
  } cases[] = {
      {StatusWith({{2, 0}}), Err::NoPaper, "No paper. [2/0]"},
      {StatusWith({{2, 0}, {0, 1}}), Err::NoPaper, "No paper. [2/0]"},
      {StatusWith({{0, 0}, {0, 1}}), Err::SyntaxError, "Syntax error in command. [0/0]"},
      {StatusWith({{0, 1}}), Err::InvalidCommand, "Invalid command. [0/1]"},
      {StatusWith({{1, 4}, {1, 0}}), Err::RamDestroyed,
       "There is the destruction of RAM after switching. [1/4]"},
      {StatusWith({{1, 0}}), Err::Overflow, "Overflow of some fields in amounts. [1/0]"},
  };
  for (const TCase& c : cases) {
    TScriptedDevice dev;
    dev.Answer("", c.Status);
    EXPECT_FALSE(dev.ExecuteCommand(0x30, ""));
    EXPECT_EQ(dev.LastErrorCode, c.Code);
    EXPECT_EQ(dev.LastErrorText, c.Text);  // no status conditions appended
  }
}

TEST(ExecuteCommand, IgnoresWarningsAndTheAnswer) {
  TScriptedDevice dev;
  dev.Answer("E:anything", StatusWith({{2, 1}, {4, 3}}));
  EXPECT_TRUE(dev.ExecuteCommand(0x90, "1,0000,1"));
  EXPECT_EQ(dev.LastErrorText, "");
}

TEST(ExecuteCommand, TransportFailureKeepsTheTransportText) {
  TScriptedDevice dev;
  dev.Fail(Err::Nak, "<NAK>");
  EXPECT_FALSE(dev.ExecuteCommand(0x4A, "W"));
  EXPECT_EQ(dev.LastErrorCode, Err::Nak);
  EXPECT_EQ(dev.LastErrorText, "<NAK>");
}

}  // namespace
