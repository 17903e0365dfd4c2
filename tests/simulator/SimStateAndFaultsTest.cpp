// The state file and the parsing of fault descriptions.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "SimDevice.h"
#include "SimFaults.h"
#include "SimStateFile.h"

using namespace sim;

namespace {

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() /
          (std::string("fprsim-test-") + std::to_string(::getpid()) + "-" + name))
      .string();
}

}  // namespace

TEST(SimStateFile, RoundTripKeepsEverythingIncludingAnOpenReceipt) {
  TSimDevice dev;
  dev.Execute(0x6B,
              "P\xC1"
              "12,1,2.50,A5.000,A|B=C%D");
  dev.Execute(0x57, "8,\xC3,NAME\nSECOND");
  dev.Execute(0x2B, "4line with = and |");
  dev.Execute(0x45, "0");
  dev.Execute(0x90, "OP,QZ999834-0001-0000001,I");
  dev.Execute(0x31,
              "\t\xC0"
              "1.00");
  dev.Execute(0x33, "00,10.00");
  dev.Execute(0x35, "\tN0.50");
  std::string text = SerializeState(dev.Snapshot());
  TSimState back;
  std::string error;
  ASSERT_TRUE(ParseState(text, back, &error)) << error;
  EXPECT_EQ(SerializeState(back), text);
  EXPECT_EQ(back.Plus.at(12).Name, "A|B=C%D");
  EXPECT_EQ(back.Departments.at(8).Text2, "SECOND");
  EXPECT_EQ(back.Lines[4], "line with = and |");
  EXPECT_TRUE(back.FiscalOpen());
  EXPECT_TRUE(back.Receipt.Invoice);
  EXPECT_EQ(back.Receipt.Lines.size(), 2u);
  EXPECT_EQ(back.Receipt.Total(), 110);
  EXPECT_EQ(back.Fm.size(), 1u);
  EXPECT_EQ(back.Closure, 2);
}

TEST(SimStateFile, SaveLoadThroughTheDeviceAndAutosave) {
  std::string path = TempPath("state.txt");
  {
    TSimDevice dev;
    dev.SetStateFile(path);
    dev.Execute(0x46, "12.34");
  }
  TSimDevice other;
  std::string error;
  ASSERT_TRUE(other.LoadState(path, &error)) << error;
  EXPECT_EQ(other.CashSum(), 1234);
  EXPECT_FALSE(other.LoadState(path + ".missing", &error));
  std::remove(path.c_str());
}

TEST(SimStateFile, BadFilesAreRefusedWithTheLine) {
  struct {
    const char* Text;
    const char* Error;
  } cases[] = {
      {"", "line 0: empty file"},
      {"something else\n", "line 1: not a fprsim state file"},
      {"fprsim-state 1\nclosure=x\n", "line 2: bad value for 'closure'"},
      {"fprsim-state 1\n# note\nunknown=1\n", "line 3: bad value for 'unknown'"},
      {"fprsim-state 1\nplu=1|9|1|0|0|0|0|X\n", "line 2: 'plu' group out of range (1 to 8)"},
      {"fprsim-state 1\nlines=a|b\n", "line 2: bad value for 'lines'"},
      {"fprsim-state 1\neik=%G1\n", "line 2: bad value for 'eik'"},
      {"fprsim-state 1\ntax_rates=-10000|0|0|0|0|0|0|0\n",
       "line 2: 'tax_rates' out of range (0 to 9999)"},
      {"fprsim-state 1\ntax_rates=0|0|0|0|0|0|0|10000\n",
       "line 2: 'tax_rates' out of range (0 to 9999)"},
  };
  for (const auto& c : cases) {
    TSimState s;
    s.Closure = 77;
    std::string error;
    EXPECT_FALSE(ParseState(c.Text, s, &error)) << c.Text;
    EXPECT_EQ(error, c.Error);
    EXPECT_EQ(s.Closure, 77);
  }
}

TEST(SimFaults, ParsesKindArgumentCountAndCommand) {
  struct {
    const char* Text;
    EFault Kind;
    int Count, Cmd;
  } ok[] = {
      {"nak", EFault::Nak, 1, -1},
      {"nak:3", EFault::Nak, 3, -1},
      {"wrong-seq@31", EFault::WrongSeq, 1, 0x31},
      {"busy=1500:2@45", EFault::Busy, 2, 0x45},
      {"status=2/0", EFault::StatusSet, -1, -1},
      {"status-clear=5/3:1", EFault::StatusClear, 1, -1},
      {"silent:*", EFault::Silent, -1, -1},
      {"lost-answer", EFault::SilentExecuted, 1, -1},
      {"close-mid@90", EFault::CloseMidFrame, 1, 0x90},
      {"answer=E:LIMIT@90", EFault::ForceAnswer, 1, 0x90},
  };
  for (const auto& c : ok) {
    std::string error;
    auto f = ParseFault(c.Text, &error);
    ASSERT_TRUE(f) << c.Text << ": " << error;
    EXPECT_EQ(f->Kind, c.Kind) << c.Text;
    EXPECT_EQ(f->Count, c.Count) << c.Text;
    EXPECT_EQ(f->Cmd, c.Cmd) << c.Text;
  }
  EXPECT_EQ(ParseFault("busy=1500:2@45", nullptr)->Ms, 1500);
  EXPECT_EQ(ParseFault("answer=E:LIMIT@90", nullptr)->Text, "E:LIMIT");
  EXPECT_EQ(ParseFault("noise=FF0041", nullptr)->Text, std::string("\xFF\x00\x41", 3));
  EXPECT_EQ(ParseFault("status=4/4", nullptr)->Byte, 4);
  for (const char* bad :
       {"boom", "busy", "status=6/0", "status=2", "noise=F", "nak=3", "nak:0", "nak@XYZ"}) {
    std::string error;
    EXPECT_FALSE(ParseFault(bad, &error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

TEST(SimFaults, StatusOverlaySetsAndClearsBitsPerCommandAndCount) {
  TSimDevice dev;
  dev.SetStatusBit(2, 1, true);
  dev.SetStatusBit(5, 3, false, 0x4A, 1);
  TModelAnswer a = dev.Execute(0x4A, "W");
  EXPECT_EQ(a.Status[2] & 0x02, 0x02);
  EXPECT_EQ(a.Status[5] & 0x08, 0);
  a = dev.Execute(0x4A, "W");
  EXPECT_EQ(a.Status[5] & 0x08, 0x08);  // count used up
  dev.ResetStatusBit(2, 1);
  EXPECT_EQ(dev.Execute(0x4A, "W").Status[2] & 0x02, 0);
  dev.ForceAnswer(0x5A, "X,Y", 1);
  EXPECT_EQ(dev.Execute(0x5A, "1").Data, "X,Y");
  EXPECT_NE(dev.Execute(0x5A, "1").Data, "X,Y");
  EXPECT_EQ(dev.ExecutedCount(0x5A), 1);
}
