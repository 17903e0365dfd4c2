// Device state queries: 3EH, 4AH, 5AH, 63H, 71H, 4CH.

#include <gtest/gtest.h>

#include <string>

#include "DateTimeUtil.h"
#include "InfoTestSupport.h"

namespace {

using namespace info_test;

TDateTime At(int y, int mo, int d, int h, int mi, int s) {
  TDateTime v = 0;
  EXPECT_TRUE(TryEncodeDateTime({y, mo, d, h, mi, s, 0}, v));
  return v;
}

struct TDateCase {
  std::string Answer;
  TDataBuffer Status;
  bool Ok;
  TDateTime Value;
  std::int32_t Code;
  std::string Error;
};

TEST(InfoDateTime, ReadsTheClockAndReportsEachGroup) {
  const TDateCase cases[] = {
      {"07-12-26 14:05:09", StatusWith(), true, At(2026, 12, 7, 14, 5, 9), 0, ""},
      {"07.12.26/14x05x09", StatusWith(), true, At(2026, 12, 7, 14, 5, 9), 0, ""},
      // CheckStatus only: a fiscal-regime flag does not stop the read.
      {"01-01-00 00:00:00", StatusWith({{1, 1}}), true, At(2000, 1, 1, 0, 0, 0), 0, ""},
      {"07-12-26 14:05:0", StatusWith(), false, 0, 200, ErrStatus(Msg::k200, "[GetFPR_DateTime]")},
      {"31-02-26 10:00:00", StatusWith(), false, 0, 201, ErrStatus(Msg::k201, "[DATE]")},
      {"07-12-26 24:00:00", StatusWith(), false, 0, 201, ErrStatus(Msg::k201, "[DATE]")},
      {"x7-12-26 14:05:09", StatusWith(), false, 0, 201, ErrStatus(Msg::k201, "[DAY]")},
      // The month is converted before the hour.
      {"07-1A-26 1x:05:09", StatusWith(), false, 0, 201, ErrStatus(Msg::k201, "[MONTH]")},
      {"07-12-2y 14:05:09", StatusWith(), false, 0, 201, ErrStatus(Msg::k201, "[YEAR]")},
      {"07-12-26 1x:05:09", StatusWith(), false, 0, 201, ErrStatus(Msg::k201, "[HOUR]")},
      {"07-12-26 14:m5:09", StatusWith(), false, 0, 201, ErrStatus(Msg::k201, "[MIN]")},
      {"07-12-26 14:05:s9", StatusWith(), false, 0, 201, ErrStatus(Msg::k201, "[SEC]")},
      {"07-12-26 14:05:09", StatusWith({{0, 1}}), false, 0, 204, ErrStatus(Msg::k204, "[0/1]")},
      {"07-12-26 14:05:09", StatusWith({{0, 0}, {0, 1}}), false, 0, 205,
       ErrStatus(Msg::k205, "[0/0]", " Invalid command. ")},
      {"", StatusWith({kFmErrorBit}), false, 0, 200,
       ErrStatus(Msg::k200, "[GetFPR_DateTime]", kFmErrorText)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Answer);
    TScriptedDevice dev;
    dev.Answer(c.Answer, c.Status);
    TDateTime value = 99;
    const bool result = dev.GetFPR_DateTime(value);
    ExpectOutcome(dev, result, c.Ok, c.Code, c.Error);
    EXPECT_DOUBLE_EQ(value, c.Value);
    ASSERT_EQ(dev.Requests.size(), 1u);
    EXPECT_EQ(dev.Requests[0].Cmd, 0x3E);
    EXPECT_TRUE(dev.Requests[0].Data.empty());
  }
}

TEST(InfoDateTime, TransportFailureKeepsTheTransportError) {
  TScriptedDevice dev;
  dev.Fail(103, "Fiscal printer does not respond. ");
  TDateTime value = 99;
  EXPECT_FALSE(dev.GetFPR_DateTime(value));
  EXPECT_EQ(value, 0);
  EXPECT_EQ(dev.LastErrorCode, 103);
  EXPECT_EQ(dev.LastErrorText, "Fiscal printer does not respond. ");
}

TEST(InfoPrinterStatus, TakesSixDataBytesElseTheStatusBytes) {
  struct TCase {
    std::string Answer;
    TDataBuffer Status;
    bool Ok;
    TDataBuffer Expected;
    std::int32_t Code;
    std::string Error;
  };
  const std::string six = "\x80\x81\x88\x80\xA0\x80";
  const TCase cases[] = {
      {six, StatusWith({{2, 3}}), true, Bytes(six), 0, ""},
      {"", StatusWith({{2, 3}}), true, StatusWith({{2, 3}}), 0, ""},
      {"\x80\x80\x80\x80\x80", StatusWith({{2, 5}}), true, StatusWith({{2, 5}}), 0, ""},
      {six, StatusWith({{0, 0}}), false, {}, 205, ErrStatus(Msg::k205, "[0/0]")},
  };
  for (const auto& c : cases) {
    TScriptedDevice dev;
    dev.Answer(c.Answer, c.Status);
    TDataBuffer status{1, 2, 3};
    const bool result = dev.GetPrinterStatus(status);
    ExpectOutcome(dev, result, c.Ok, c.Code, c.Error);
    EXPECT_EQ(status, c.Expected);
    EXPECT_EQ(dev.Requests.at(0).Cmd, 0x4A);
    EXPECT_EQ(dev.Requests.at(0).DataText(), "W");
  }
}

TEST(InfoDiagnostic, FillsTheEightFieldsInOrder) {
  TScriptedDevice dev;
  dev.Answer("PRINTER,1.02 01Jan20 10:00,A1B2,00000000,QZ123456,12345678");
  TDiagnosticInfo info;
  ASSERT_TRUE(dev.GetDiagnosticInfo(true, info));
  EXPECT_EQ(dev.Requests.at(0).Cmd, 0x5A);
  EXPECT_EQ(dev.Requests.at(0).DataText(), "1");
  EXPECT_EQ(info.PrinterName, "PRINTER");
  EXPECT_EQ(info.ProgramRevision, "1.02");
  EXPECT_EQ(info.VersionDate, "01Jan20");
  EXPECT_EQ(info.VersionTime, "10:00");
  EXPECT_EQ(info.Checksum, "A1B2");
  EXPECT_EQ(info.Switches, "00000000");
  EXPECT_EQ(info.SerialNumber, "QZ123456");
  EXPECT_EQ(info.FiscalNumber, "12345678");
}

TEST(InfoDiagnostic, OptionFalseAndTooFewFields) {
  const struct {
    std::string Answer;
    bool Ok;
    std::int32_t Code;
    std::string Error;
  } cases[] = {
      {"A,B C D,E,F,G", true, 0, ""},
      {"A,B C D,E,F", false, 200, ErrStatus(Msg::k200, "")},
      // Empty runs between commas are not fields.
      {"A,,B C D,,,E,F", false, 200, ErrStatus(Msg::k200, "")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Answer);
    TScriptedDevice dev;
    dev.Answer(c.Answer);
    TDiagnosticInfo info;
    info.PrinterName = "old";
    const bool result = dev.GetDiagnosticInfo(false, info);
    ExpectOutcome(dev, result, c.Ok, c.Code, c.Error);
    EXPECT_EQ(dev.Requests.at(0).DataText(), "0");
    EXPECT_EQ(info.PrinterName, c.Ok ? "A" : "old");
  }
}

TEST(InfoDiagnostic, CutsLongFieldsAndLeavesMissingOnesEmpty) {
  TDirectDevice dev;
  dev.ReplyData = Bytes(std::string(300, 'N') + ",R D T,C,S,X");
  TDiagnosticInfo info;
  info.FiscalNumber = "old";
  ASSERT_TRUE(dev.GetDiagnosticInfo(true, info));
  EXPECT_EQ(info.PrinterName, std::string(255, 'N'));
  EXPECT_EQ(info.Switches, "S");
  EXPECT_EQ(info.SerialNumber, "X");
  EXPECT_EQ(info.FiscalNumber, "");
}

TEST(InfoEik, WholeAnswerCutTo255ThenMaxLen) {
  const struct {
    std::string Answer;
    int MaxLen;
    bool Ok;
    std::string Eik;
    std::int32_t Code;
    std::string Error;
  } cases[] = {
      {"123456789", 255, true, "123456789", 0, ""},
      {"123456789", 4, true, "1234", 0, ""},
      {std::string(300, '7'), 255, true, std::string(255, '7'), 0, ""},
      {std::string(300, '7'), 1000, true, std::string(255, '7'), 0, ""},
      {"", 255, false, "", 200, ErrStatus(Msg::k200, "[EIK]")},
      {"123", 0, false, "", 200, ErrStatus(Msg::k200, "[EIK]")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.MaxLen);
    TDirectDevice dev;
    dev.ReplyData = Bytes(c.Answer);
    std::string eik = "old";
    const bool result = dev.GetEIK(eik, c.MaxLen);
    ExpectOutcome(dev, result, c.Ok, c.Code, c.Error);
    EXPECT_EQ(eik, c.Eik);
    EXPECT_EQ(dev.Codes, std::vector<std::uint8_t>{0x63});
  }
}

TEST(InfoLastDocNumber, ConvertsTheWholeAnswer) {
  const struct {
    std::string Answer;
    bool Ok;
    std::int32_t Number;
    std::int32_t Code;
    std::string Error;
  } cases[] = {
      {"1234", true, 1234, 0, ""},
      {"12a", false, 0, 201, ErrStatus(Msg::k201, "")},
      {"", false, 0, 201, ErrStatus(Msg::k201, "")},
  };
  for (const auto& c : cases) {
    TScriptedDevice dev;
    dev.Answer(c.Answer);
    std::int32_t number = 5;
    const bool result = dev.GetLastDocNumber(number);
    ExpectOutcome(dev, result, c.Ok, c.Code, c.Error);
    EXPECT_EQ(number, c.Number);
    EXPECT_EQ(dev.Requests.at(0).Cmd, 0x71);
    EXPECT_TRUE(dev.Requests.at(0).Data.empty());
  }
}

struct TFiscalCase {
  std::string Answer;
  TDataBuffer Status;
  char Decimal;
  bool Ok;
  bool Open;
  std::int32_t Items;
  double Amount;
  double Tender;
  std::int32_t Code;
  std::string Error;
};

TEST(InfoFiscalStatus, OpenOnlyForOneAndTenderOptional) {
  const TFiscalCase cases[] = {
      {"1,3,1250", StatusWith(), '.', true, true, 3, 12.50, 0, 0, ""},
      {"0,0,0,0", StatusWith(), '.', true, false, 0, 0, 0, 0, ""},
      {"2,1,100,50", StatusWith(), '.', true, false, 1, 1.00, 0.50, 0, ""},
      {"1,2,1000,999.6", StatusWith(), '.', true, true, 2, 10.00, 9.996, 0, ""},
      {"1,3", StatusWith(), '.', false, false, -1, -1, 0, 200, ErrStatus(Msg::k200, "")},
      {"x,3,1250", StatusWith(), '.', false, false, -1, -1, 0, 201, ErrStatus(Msg::k201, "[Open]")},
      // Values read before the failing field stay.
      {"1,y,1250", StatusWith(), '.', false, true, -1, -1, 0, 201,
       ErrStatus(Msg::k201, "[ItemsCount]")},
      {"1,3,z", StatusWith(), '.', false, true, 3, -1, 0, 201, ErrStatus(Msg::k201, "[Amount]")},
      {"1,3,1250,q", StatusWith(), '.', false, true, 3, 12.50, 0, 201,
       ErrStatus(Msg::k201, "[Tender]")},
      // The regional separator decides how a fraction reads.
      {"1,3,1250.5", StatusWith(), ',', false, true, 3, -1, 0, 201,
       ErrStatus(Msg::k201, "[Amount]")},
      // CheckStatusEx: the fiscal-regime flag stops the read.
      {"1,3,1250", StatusWith({{1, 1}, kFmErrorBit}), '.', false, false, -1, -1, 0, 216,
       ErrStatus(Msg::k216, "[1/1]", kFmErrorText)},
      {"1,3,1250", StatusWith({{1, 0}}), '.', false, false, -1, -1, 0, 223,
       ErrStatus(Msg::k223, "[1/0]")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Answer);
    TScriptedDevice dev;
    dev.Regional.DecimalSeparator = c.Decimal;
    dev.Answer(c.Answer, c.Status);
    bool open = false;
    std::int32_t items = -1;
    double amount = -1;
    double tender = -1;
    const bool result = dev.GetFiscalStatus(open, items, amount, tender);
    ExpectOutcome(dev, result, c.Ok, c.Code, c.Error);
    EXPECT_EQ(open, c.Open);
    EXPECT_EQ(items, c.Items);
    EXPECT_DOUBLE_EQ(amount, c.Amount);
    EXPECT_DOUBLE_EQ(tender, c.Tender);
    EXPECT_EQ(dev.Requests.at(0).Cmd, 0x4C);
    EXPECT_EQ(dev.Requests.at(0).DataText(), "T");
  }
}

}  // namespace
