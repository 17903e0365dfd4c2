// Clock (3DH), header lines and barcode height (2BH), operators (66H).

#include <gtest/gtest.h>

#include "ProgrammingTestCase.h"

namespace {

using namespace prog_test;
using TCall = std::function<bool(TBaseDevice&)>;

TCall Clock(int y, int mo, int d, int h, int mi, int s) {
  TDateTime v = 0;
  EXPECT_TRUE(TryEncodeDateTime({y, mo, d, h, mi, s, 0}, v));
  return [v](TBaseDevice& dev) { return dev.SetDateTime(v); };
}
TCall Header(std::uint16_t line, std::string text) {
  return [=](TBaseDevice& dev) { return dev.SetHeaderLine(line, text); };
}
TCall Barcode(std::uint16_t mm) {
  return [=](TBaseDevice& dev) { return dev.SetBarcodeHeight(mm); };
}
TCall Operator(std::uint16_t no, std::string pass, std::string name) {
  return [=](TBaseDevice& dev) { return dev.SetOperator(no, pass, name); };
}

const std::string k36 = "123456789012345678901234567890123456";

TEST(ProgrammingSettings, Requests) {
  RunProgCases({
      Sends("clock", Clock(2026, 12, 7, 9, 5, 59), 0x3D, "07-12-26 09:05"),
      Sends("regional time separator", Clock(2026, 1, 2, 23, 0, 0), 0x3D, "02-01-26 23.00", "",
            {'.', '.'}),
      Sends("header", Header(3, "ABC"), 0x2B, "3ABC"),
      Sends("header cut", Header(0, k36 + "WXYZ"), 0x2B, "0" + k36),
      Sends("header empty", Header(7, ""), 0x2B, "7"),
      Sends("control chars", Header(1, "A\x01\tB\nC\x1F"), 0x2B, "1A\x10\x41\tB\nC\x10\x5F"),
      Sends("barcode 3", Barcode(3), 0x2B, "B24"),
      Sends("barcode 30", Barcode(30), 0x2B, "B240"),
      Sends("operator", Operator(5, " 12 ", " \tIVAN  "), 0x66, "5, 12 ,IVAN"),
      Sends("no password", Operator(30, "", "OP"), 0x66, "30,,OP"),
      Refuses("barcode 31", Barcode(31), "[Height]31mm/248px"),
      Refuses("barcode 300", Barcode(300), "[Height]300mm/2400px"),
      Refuses("blank name", Operator(1, "1", "   "), "[OpName]"),
      Refuses("control name", Operator(1, "1", "\x01\t \x1F"), "[OpName]"),
  });
}

// All four use the extended check and give no status description.
TEST(ProgrammingSettings, StatusErrors) {
  const TDataBuffer syntax = StatusWith({{0, 0}, {2, 0}});
  const TDataBuffer overflow = StatusWith({{1, 0}, {2, 0}});
  RunProgCases({
      Fails("clock", Clock(2026, 12, 7, 9, 5, 0), 0x3D, "07-12-26 09:05", "", overflow, 223,
            Msg(223) + "[1/0]"),
      Fails("header", Header(3, "ABC"), 0x2B, "3ABC", "", syntax, 205, Msg(205) + "[0/0]"),
      Fails("barcode", Barcode(3), 0x2B, "B24", "", overflow, 223, Msg(223) + "[1/0]"),
      Fails("operator", Operator(1, "", "OP"), 0x66, "1,,OP", "", StatusWith({{1, 3}}), 221,
            Msg(221) + "[1/3]"),
  });
}

TEST(ProgrammingSettings, TransportFailureKeepsItsError) {
  TScriptedDevice dev;
  dev.Fail(106, "NAK. Printer does not recognize the command. <NAK>");
  EXPECT_FALSE(dev.SetHeaderLine(1, "X"));
  EXPECT_EQ(dev.LastErrorCode, 106);
  EXPECT_EQ(dev.LastErrorText, "NAK. Printer does not recognize the command. <NAK>");
}

}  // namespace
