// Serial transport against a fake port and a virtual clock.
#include <gtest/gtest.h>

#include "ConstUnit.h"
#include "RS232DeviceUnit.h"
#include "StatusDecoding.h"
#include "TransportFakes.h"
#include "TransportTestUtil.h"

namespace {

class SerialDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto p = std::make_unique<TFakeSerialPort>(Clock);
    Port = p.get();
    Dev = std::make_unique<TRS32Device>(std::move(p), Clock);
    Dev->SetPortName("COM1");
    Dev->SetBaudRate("115200");
    Log.Attach(*Dev);
    ASSERT_TRUE(Dev->Connect());
    Start = Clock->Now;
  }
  void AnswerEach(TFakeResponder f) { Port->OnWrite = std::move(f); }
  bool Send(std::uint8_t code = 0x4A, const std::string& text = "W") {
    Data = Bytes(text);
    return Dev->SendCommand(code, Data, Status);
  }
  std::int64_t Elapsed() const { return Clock->Now - Start; }

  std::shared_ptr<TVirtualClock> Clock = std::make_shared<TVirtualClock>();
  TFakeSerialPort* Port = nullptr;
  std::unique_ptr<TRS32Device> Dev;
  TEventLog Log;
  TDataBuffer Data, Status;
  std::int64_t Start = 0;
};

TEST_F(SerialDeviceTest, ExchangesOneFrameAndReportsEveryByte) {
  TDataBuffer reply;
  AnswerEach([&](const TDataBuffer& req, int) {
    reply = AnswerTo(req, "ABC");
    Port->In.Send(30, {Ctl::SYN, 'x'});
    Port->In.Send(40, reply, 1);
  });
  ASSERT_TRUE(Send());
  const TDataBuffer expectedFrame{0x01, 0x25, 0x20, 0x4A, 0x57, 0x05, 0x30, 0x30, 0x3E, 0x3B, 0x03};
  ASSERT_EQ(Port->Writes.size(), 1u);
  EXPECT_EQ(Port->Writes[0], expectedFrame);
  EXPECT_EQ(Port->Purges, 1);
  EXPECT_EQ(Dev->SentHex, "01 25 20 4A 57 05 30 30 3E 3B 03 ");
  EXPECT_EQ(Text(Data), "ABC");
  EXPECT_EQ(Status, StatusWith());
  EXPECT_EQ(Log.Sent, std::vector<std::string>{Text(expectedFrame)});
  EXPECT_EQ(Log.Received, "x" + Text(reply));  // every byte but SYN, noise included
  EXPECT_EQ(Log.Control, "\x16");
  EXPECT_EQ(Dev->ReceivedHex, TBaseDevice::BytesToHex(reply, 0, reply.size()));
  EXPECT_EQ(Dev->Duration, 70 + static_cast<int>(reply.size()) - 1);
  EXPECT_EQ(Log.Durations.size(), 1u);
  EXPECT_EQ(Dev->LastErrorCode, 0);
}

TEST_F(SerialDeviceTest, SilentDeviceEndsWithTheRetryCount) {
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::ReadPort);
  std::string expected;
  for (int i = 0; i < 4; ++i) expected += "Fiscal printer does not respond. <01>\r\n[RETRY->]";
  expected += "Fail read data from port. [COM1]\r\n[4]";
  EXPECT_EQ(Dev->LastErrorText, expected);
  EXPECT_EQ(Port->Writes.size(), 4u);
  // About 700 ms per silent attempt.
  EXPECT_GE(Elapsed(), 4 * 700);
  EXPECT_LE(Elapsed(), 4 * 800);
}

TEST_F(SerialDeviceTest, NakAtEveryAttemptRetriesForThirtySeconds) {
  AnswerEach([&](const TDataBuffer&, int) { Port->In.Send(5, {Ctl::NAK}); });
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::Nak);
  EXPECT_GT(Elapsed(), 30000);
  EXPECT_LE(Elapsed(), 30000 + 205);
  const std::size_t attempts = Port->Writes.size();
  EXPECT_EQ(attempts, 30000 / 205 + 1);
  EXPECT_EQ(Log.Control, std::string(attempts, '\x15'));
  EXPECT_EQ(CountOf(Dev->LastErrorText, "NAK. Printer does not recognize the command. <NAK>"),
            static_cast<int>(attempts));
  EXPECT_EQ(Dev->ReceivedHex.substr(0, 7), "15 \r15 ");
}

TEST_F(SerialDeviceTest, SeqMismatchDrainsTheWrongReplyBeforeRetrying) {
  AnswerEach([&](const TDataBuffer& req, int i) {
    if (i == 0) {
      Port->In.Send(5, AnswerWith(req[2] + 1, req[3], "stale reply"), 20);
    } else {
      Port->In.Send(5, AnswerTo(req, "fresh"));
    }
  });
  ASSERT_TRUE(Send());
  EXPECT_EQ(Text(Data), "fresh");
  ASSERT_EQ(Port->Writes.size(), 2u);
  EXPECT_EQ(Port->In.Pending(), 0u);
  EXPECT_EQ(Clock->Sleeps, std::vector<int>{50});
  EXPECT_EQ(Dev->ReceivedHex.substr(0, 10), "01 36 21 \r");  // SEQ was the last byte taken
}

TEST_F(SerialDeviceTest, CmdMismatchIsNotSupportedAndRetriedAfterDraining) {
  AnswerEach([&](const TDataBuffer& req, int) { Port->In.Send(5, AnswerWith(req[2], 0x4B, "")); });
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::WrongCmdSerial);
  EXPECT_EQ(Dev->LastErrorText.rfind("This command is not supported. [4B/4A]\r\n[RETRY->>>]", 0),
            0u);
  EXPECT_GT(Elapsed(), 30000);
  EXPECT_EQ(Log.Received.substr(0, 3), std::string("\x01\x2B\x20"));  // CMD is not reported
}

TEST_F(SerialDeviceTest, SynForFortySecondsEndsBusy) {
  AnswerEach([&](const TDataBuffer&, int) { Port->In.Repeat(300, Ctl::SYN, 1000, 300); });
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::Busy);
  EXPECT_EQ(Dev->LastErrorText, "Device is bussy. ");
  EXPECT_GE(Elapsed(), 40000);
  EXPECT_LT(Elapsed(), 40300);
  EXPECT_EQ(Port->Writes.size(), 1u);
  EXPECT_EQ(Log.Received, "");
}

TEST_F(SerialDeviceTest, RepeatedSynRestartsTheNoFrameLimit) {
  AnswerEach([&](const TDataBuffer& req, int) {
    Port->In.Repeat(600, Ctl::SYN, 20, 600);  // 12 s of busy, one SYN within every 700 ms
    Port->In.Send(600, AnswerTo(req, "done"));
  });
  ASSERT_TRUE(Send());
  EXPECT_EQ(Text(Data), "done");
  EXPECT_EQ(Log.Control.size(), 20u);
  EXPECT_EQ(Port->Writes.size(), 1u);
}

TEST_F(SerialDeviceTest, NoiseBeforeTheFrameIsIgnoredForFourSeconds) {
  AnswerEach([&](const TDataBuffer& req, int) {
    Port->In.Repeat(100, '?', 35, 100);
    Port->In.Send(100, AnswerTo(req, "ok"));
  });
  ASSERT_TRUE(Send());
  EXPECT_EQ(Text(Data), "ok");
}

TEST_F(SerialDeviceTest, NoiseLongerThanFourSecondsIsNoAnswer) {
  AnswerEach([&](const TDataBuffer&, int) { Port->In.Repeat(100, '?', 100, 100); });
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::NoResponse);
  EXPECT_EQ(Dev->LastErrorText.rfind("Fiscal printer does not respond. <01>", 0), 0u);
  EXPECT_LE(Port->Writes.size(), 2u);
}

TEST_F(SerialDeviceTest, PortNotOpenIsNotActive) {
  Dev->Disconnect();
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::PortNotActive);
  EXPECT_EQ(Dev->LastErrorText, "COM port is not active. [COM1]");
}

TEST_F(SerialDeviceTest, WriteFailuresAreWriteErrors) {
  Port->WriteError = "Write: Input/output error";
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::WriteError);
  EXPECT_EQ(Dev->LastErrorText, "Error writing to COM. Write: Input/output error");

  Port->WriteError.clear();
  Port->WriteLimit = 5;  // the line took only part of the frame
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorText, "Error writing to COM. 5/11");
  EXPECT_TRUE(Log.Sent.empty());
}

TEST_F(SerialDeviceTest, OpenFailureNamesPortSpeedAndReason) {
  Port->OpenError = "/dev/ttyS6: No such file or directory";
  Dev->SetPortName("COM7");
  Dev->SetBaudRate("28800");
  EXPECT_FALSE(Dev->Connect());
  EXPECT_FALSE(Dev->IsConnected());
  EXPECT_EQ(Dev->LastErrorCode, Err::WriteError);
  EXPECT_EQ(Dev->LastErrorText, "Failed open port COM7/9600 /dev/ttyS6: No such file or directory");
}

TEST_F(SerialDeviceTest, CloseFailureIsReportedAndTheOpenStillHappens) {
  Port->CloseError = "busy";
  EXPECT_TRUE(Dev->Connect());
  EXPECT_EQ(Dev->LastErrorCode, Err::WriteError);
  EXPECT_EQ(Dev->LastErrorText, "Failed to close com port \"COM1\": busy");
  Port->CloseError.clear();
}

TEST_F(SerialDeviceTest, ConnectAppliesNameAndSpeed) {
  const std::pair<const char*, int> speeds[] = {
      {"110", 110},       {"9600", 9600},     {"14400", 14400},  {"56000", 56000},
      {"256000", 256000}, {"28800", 9600},    {"", 9600},        {"fast", 9600},
      {" 9600", 9600},    {"115200", 115200}, {"128000", 128000}};
  for (const auto& [text, rate] : speeds) {
    Dev->SetBaudRate(text);
    ASSERT_TRUE(Dev->Connect());
    EXPECT_EQ(Port->OpenedBaud, rate) << text;
    EXPECT_EQ(Dev->BaudRateText(), std::to_string(rate));
  }
  EXPECT_EQ(Port->OpenedName, "COM1");
}

TEST_F(SerialDeviceTest, ReadByteTimedWaitsForTheByteOrTheTimeOut) {
  Port->In.Send(350, {0x42});
  EXPECT_EQ(Dev->ReadByteTimed(700), std::optional<std::uint8_t>(0x42));
  EXPECT_EQ(Elapsed(), 350);
  EXPECT_EQ(Dev->ReadByteTimed(700), std::nullopt);
  EXPECT_EQ(Elapsed(), 350 + 770);  // 100 ms reads, 10 ms waits, tested after each try
  Port->ReadFails = true;
  EXPECT_EQ(Dev->ReadByteTimed(500), std::nullopt);
  EXPECT_EQ(Clock->Sleeps, (std::vector<int>{100, 100, 100, 100, 100}));
}

// Broken replies: each is retried after 200 ms without counting, so the
// second, well-formed reply succeeds.
struct TSerialBrokenCase {
  const char* Name;
  std::function<void(TFakeSerialPort&, const TDataBuffer& request)> Reply;
  std::string Text;  // LastErrorText of the failing attempt, before the retry tag
};

void PrintTo(const TSerialBrokenCase& c, std::ostream* os) { *os << c.Name; }

TDataBuffer Head(const TDataBuffer& f, std::size_t n) {
  return TDataBuffer(f.begin(), f.begin() + n);
}

TDataBuffer WithChecksum(TDataBuffer f, const std::string& chars) {
  f.resize(f.size() - 5);
  f.insert(f.end(), chars.begin(), chars.end());
  f.push_back(Ctl::ETX);
  return f;
}

class SerialBrokenFrameTest : public SerialDeviceTest,
                              public ::testing::WithParamInterface<TSerialBrokenCase> {};

TEST_P(SerialBrokenFrameTest, IsReportedAndRetriedWithoutCounting) {
  const TSerialBrokenCase& c = GetParam();
  std::string failedText;
  AnswerEach([&](const TDataBuffer& req, int i) {
    if (i == 0) {
      c.Reply(*Port, req);
    } else {
      failedText = Dev->LastErrorText;
      Port->In.Send(5, AnswerTo(req, "fine"));
    }
  });
  ASSERT_TRUE(Send());
  EXPECT_EQ(failedText, c.Text + "\r\n[RETRY->>]");
  EXPECT_EQ(Text(Data), "fine");
  EXPECT_EQ(Clock->Sleeps, std::vector<int>{200});
  EXPECT_NE(Dev->ReceivedHex.find('\r'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, SerialBrokenFrameTest,
    ::testing::Values(
        TSerialBrokenCase{"SilentAfterStart",
                          [](TFakeSerialPort& p, const TDataBuffer&) { p.In.Send(5, {0x01}); },
                          "Fail read byte from packet. <LEN>"},
        TSerialBrokenCase{"SilentAfterLen",
                          [](TFakeSerialPort& p, const TDataBuffer&) {
                            p.In.Send(5, {0x01, 0x2B});
                          },
                          "Fail read byte from packet. <SEQ>"},
        TSerialBrokenCase{"SilentInData",
                          [](TFakeSerialPort& p, const TDataBuffer& r) {
                            p.In.Send(5, Head(AnswerTo(r, "ABC"), 6));
                          },
                          "Fail read data from packet. <DATA>"},
        TSerialBrokenCase{"SilentInStatus",
                          [](TFakeSerialPort& p, const TDataBuffer& r) {
                            p.In.Send(5, Head(AnswerTo(r, ""), 7));
                          },
                          "Fail read data from packet. <STATUS>"},
        TSerialBrokenCase{"SilentInChecksum",
                          [](TFakeSerialPort& p, const TDataBuffer& r) {
                            p.In.Send(5, Head(AnswerTo(r, ""), 13));
                          },
                          "Fail read data from packet. <BCC>"},
        TSerialBrokenCase{"FiveStatusBytes",
                          [](TFakeSerialPort& p, const TDataBuffer& r) {
                            p.In.Send(5, BuildResponseFrame(r[2], r[3], {}, TDataBuffer(5, 0x80)));
                          },
                          "Fail read data from packet. <STATUS>"},
        TSerialBrokenCase{"WrongLength",
                          [](TFakeSerialPort& p, const TDataBuffer& r) {
                            TDataBuffer f = AnswerTo(r, "AB");
                            f[1] = 0x2E;
                            p.In.Send(5, f);
                          },
                          "Error in packet. Invalid length. 14/13"},
        TSerialBrokenCase{"ShortChecksum",
                          [](TFakeSerialPort& p, const TDataBuffer& r) {
                            p.In.Send(5, WithChecksum(AnswerTo(r, ""), "01:"));
                          },
                          "Error in packet. Invalid checksum. [01A]"},
        TSerialBrokenCase{"WrongChecksum",
                          [](TFakeSerialPort& p, const TDataBuffer& r) {
                            p.In.Send(5, WithChecksum(AnswerTo(r, ""), "0000"));
                          },
                          "Error in packet. Invalid checksum. [0000/039E]"}),
    [](const auto& info) { return std::string(info.param.Name); });

// Streams that never complete a frame: the part being read fails once the frame
// reaches the longest possible length, and every attempt keeps at most that much.
struct TEndlessCase {
  const char* Name;
  TDataBuffer Prefix;  // after 0x01 LEN SEQ CMD
  std::uint8_t Filler;
  std::string Text;
};

void PrintTo(const TEndlessCase& c, std::ostream* os) { *os << c.Name; }

class SerialEndlessFrameTest : public SerialDeviceTest,
                               public ::testing::WithParamInterface<TEndlessCase> {};

TEST_P(SerialEndlessFrameTest, EndsThePartWithinTheFrameLimit) {
  const TEndlessCase& c = GetParam();
  AnswerEach([&](const TDataBuffer& req, int) {
    TDataBuffer head = c.Prefix;
    head.insert(head.begin(), {0x01, 0xFF, req[2], req[3]});
    Port->In.Send(5, head, 1);
    Port->In.Repeat(1, c.Filler, 400, 1);
  });
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::ReadData);
  EXPECT_EQ(Dev->LastErrorText.rfind(c.Text + "\r\n[RETRY->>]", 0), 0u);
  EXPECT_LE(Elapsed(), 30000 + 500);
  EXPECT_EQ(Log.Received.size(), Port->Writes.size() * 255);
}

INSTANTIATE_TEST_SUITE_P(
    Parts, SerialEndlessFrameTest,
    ::testing::Values(TEndlessCase{"Data", {}, 'A', "Fail read data from packet. <DATA>"},
                      TEndlessCase{
                          "Status", {'A', 0x04}, 0x80, "Fail read data from packet. <STATUS>"},
                      TEndlessCase{"Checksum",
                                   {0x04, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x05},
                                   '0',
                                   "Fail read data from packet. <BCC>"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(SerialDeviceTest, TricklingFrameEndsAfterThirtySeconds) {
  AnswerEach([&](const TDataBuffer& req, int) {
    Port->In.Send(5, {0x01, 0xFF, req[2], req[3]});
    Port->In.Repeat(400, 'A', 200, 400);
  });
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorText.rfind("Fail read data from packet. <DATA>", 0), 0u);
  EXPECT_EQ(Port->Writes.size(), 1u);
  EXPECT_LE(Elapsed(), 30000 + 1000);
}

}  // namespace
