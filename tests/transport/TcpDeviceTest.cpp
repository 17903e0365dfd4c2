// TCP transport against a fake client and a virtual clock.
#include <gtest/gtest.h>

#include "ConstUnit.h"
#include "TCPDeviceUnit.h"
#include "TransportFakes.h"
#include "TransportTestUtil.h"

namespace {

class TcpDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto c = std::make_unique<TFakeTcpClient>(Clock);
    Client = c.get();
    Dev = std::make_unique<TTCPDevice>(std::move(c), Clock);
    Dev->SetHost("10.0.0.7");
    Dev->SetPort("4999");
    Log.Attach(*Dev);
    Start = Clock->Now;
  }
  // Every request is answered the same way.
  void AnswerEach(std::function<void(const TDataBuffer&, int)> f) { Client->OnWrite = f; }
  bool Send(std::uint8_t code = 0x4A, const std::string& text = "W") {
    Data = Bytes(text);
    return Dev->SendCommand(code, Data, Status);
  }
  std::int64_t Elapsed() const { return Clock->Now - Start; }

  std::shared_ptr<TVirtualClock> Clock = std::make_shared<TVirtualClock>();
  TFakeTcpClient* Client = nullptr;
  std::unique_ptr<TTCPDevice> Dev;
  TEventLog Log;
  TDataBuffer Data, Status;
  std::int64_t Start = 0;
};

TEST_F(TcpDeviceTest, ExchangesOneFrameAndReportsEveryByte) {
  TDataBuffer reply;
  AnswerEach([&](const TDataBuffer& req, int) {
    reply = AnswerTo(req, "ABC");
    Client->In.Send(30, {Ctl::SYN, 'x'});  // busy, and noise before the frame
    Client->In.Send(40, reply);
  });
  ASSERT_TRUE(Send());
  const TDataBuffer expectedFrame{0x01, 0x25, 0x20, 0x4A, 0x57, 0x05, 0x30, 0x30, 0x3E, 0x3B, 0x03};
  ASSERT_EQ(Client->Writes.size(), 1u);
  EXPECT_EQ(Client->Writes[0], expectedFrame);
  EXPECT_EQ(Dev->SentHex, "01 25 20 4A 57 05 30 30 3E 3B 03 ");
  EXPECT_EQ(Text(Data), "ABC");
  EXPECT_EQ(Status, StatusWith());
  ASSERT_EQ(Log.Sent.size(), 1u);
  EXPECT_EQ(Log.Sent[0], Text(expectedFrame));
  EXPECT_EQ(Log.Received, Text(reply));  // 0x01 first, then LEN through 0x03
  EXPECT_EQ(Dev->ReceivedHex, TBaseDevice::BytesToHex(reply, 1, reply.size()));
  EXPECT_EQ(Log.Control, "");  // only the serial link reports SYN and NAK
  EXPECT_EQ(Dev->Duration, 70);
  ASSERT_EQ(Log.Durations.size(), 1u);
  EXPECT_EQ(Log.Durations[0], "Command No: 4Ah. Duration: 70 ms.");
  EXPECT_EQ(Dev->LastErrorCode, 0);
  EXPECT_EQ(Dev->LastErrorText, "");
  EXPECT_EQ(Dev->Sequence, 0x20);
}

TEST_F(TcpDeviceTest, SilentDeviceReconnectsAndEndsAfterFourRetries) {
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::ReadPort);
  EXPECT_EQ(Dev->LastErrorText, "ETcpReadTimeout/Read timed out.[RETRY->][10.0.0.7]");
  EXPECT_EQ(Client->Writes.size(), 4u);
  EXPECT_EQ(Client->ConnectCalls, 5);  // the first and one per retry after no answer
  EXPECT_EQ(Elapsed(), 4 * Dev->FirstByteTimeout);
  EXPECT_EQ(Dev->Duration, Elapsed());
}

TEST_F(TcpDeviceTest, NakAtEveryAttemptGivesFourRetryTagsThenTheLimit) {
  AnswerEach([&](const TDataBuffer&, int) { Client->In.Send(5, {Ctl::NAK}); });
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::ReadPort);
  std::string expected;
  for (int i = 0; i < 4; ++i) expected += "<NAK>\r\n[RETRY->>]";
  EXPECT_EQ(Dev->LastErrorText, expected + "[10.0.0.7]");
  EXPECT_EQ(Clock->Sleeps, (std::vector<int>{200, 200, 200, 200}));
  EXPECT_EQ(Client->ConnectCalls, 1);  // a NAK keeps the connection
  EXPECT_EQ(Log.Sent.size(), 4u);
}

TEST_F(TcpDeviceTest, WrongSeqIsRetriedAndEachAttemptParsesOnlyItsOwnReply) {
  AnswerEach([&](const TDataBuffer& req, int i) {
    Client->In.Send(5, i == 0 ? AnswerWith(req[2] + 1, req[3], "bad") : AnswerTo(req, "good"));
  });
  ASSERT_TRUE(Send());
  EXPECT_EQ(Text(Data), "good");
  EXPECT_EQ(Client->Writes.size(), 2u);
  EXPECT_EQ(Client->Writes[0], Client->Writes[1]);  // same SEQ on the retry
  EXPECT_EQ(Clock->Sleeps, std::vector<int>{200});
}

TEST_F(TcpDeviceTest, WrongCmdEndsWithoutRetry) {
  AnswerEach(
      [&](const TDataBuffer& req, int) { Client->In.Send(5, AnswerWith(req[2], 0x4B, "")); });
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::WrongCmdTcp);
  EXPECT_EQ(Dev->LastErrorText, "[4B/4A]");
  EXPECT_EQ(Client->Writes.size(), 1u);
}

TEST_F(TcpDeviceTest, SynForFortySecondsEndsBusyWithoutRetry) {
  AnswerEach([&](const TDataBuffer&, int) { Client->In.Repeat(300, Ctl::SYN, 1000, 300); });
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::Busy);
  EXPECT_EQ(Dev->LastErrorText, "");
  EXPECT_EQ(Client->Writes.size(), 1u);
  EXPECT_GE(Elapsed(), 40000);
  EXPECT_LT(Elapsed(), 40300);
}

TEST_F(TcpDeviceTest, SynEverySecondThenTheFrameSucceeds) {
  AnswerEach([&](const TDataBuffer& req, int) {
    Client->In.Repeat(1000, Ctl::SYN, 35, 1000);
    Client->In.Send(1000, AnswerTo(req, "late"));
  });
  ASSERT_TRUE(Send());
  EXPECT_EQ(Text(Data), "late");
  EXPECT_EQ(Elapsed(), 36000);
}

TEST_F(TcpDeviceTest, NoiseBeforeTheFrameIsIgnored) {
  AnswerEach([&](const TDataBuffer& req, int) {
    Client->In.Send(10, Bytes("garbage\x04\x05 noise"), 100);
    Client->In.Send(10, AnswerTo(req, "ok"));
  });
  ASSERT_TRUE(Send());
  EXPECT_EQ(Text(Data), "ok");
  EXPECT_EQ(Log.Received[0], '\x01');  // nothing before the frame is reported
}

TEST_F(TcpDeviceTest, UnreachableHostEndsWithConnectTextAndHost) {
  Client->RefuseConnects = -1;
  Client->ConnectFailureMs = 1000;
  Client->ConnectError = "Socket Error # 113: No route to host";
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::PortNotActive);
  EXPECT_EQ(Dev->LastErrorText,
            "Failed to connect host. Socket Error # 113: No route to host[10.0.0.7]");
  // Two connects of four one-second attempts each: the retry starts within 5 s.
  EXPECT_EQ(Client->ConnectCalls, 8);
  EXPECT_EQ(Elapsed(), 8000);
  EXPECT_TRUE(Client->Writes.empty());
}

TEST_F(TcpDeviceTest, RefusedConnectionsAreSpacedAndReportedAfterFourSeconds) {
  Client->RefuseConnects = -1;
  ASSERT_FALSE(Dev->Connect());
  EXPECT_EQ(Dev->LastErrorCode, Err::WriteError);
  EXPECT_EQ(Dev->LastErrorText, "Failed to connect host. Socket Error # 111: Connection refused");
  EXPECT_EQ(Elapsed(), 4000);
  EXPECT_EQ(Client->ConnectCalls, 41);
}

TEST_F(TcpDeviceTest, ConnectSucceedsAfterEarlyFailures) {
  Client->RefuseConnects = 3;
  Client->ConnectFailureMs = 1000;
  EXPECT_TRUE(Dev->Connect());
  EXPECT_TRUE(Dev->IsConnected());
  EXPECT_EQ(Dev->LastErrorText, "");
  Dev->Disconnect();
  EXPECT_FALSE(Dev->IsConnected());
}

TEST_F(TcpDeviceTest, WriteFailureShowsBlanksForHashes) {
  Client->WriteError = "Socket Error # 32: Broken pipe";
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::WriteError);
  EXPECT_EQ(Dev->LastErrorText, "Socket Error   32: Broken pipe");
  EXPECT_TRUE(Log.Sent.empty());
}

TEST_F(TcpDeviceTest, ClosedConnectionBeforeWritingIsAWriteError) {
  Client->CheckError = "Connection Closed Gracefully.";
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::WriteError);
  EXPECT_EQ(Dev->LastErrorText, "Connection Closed Gracefully.");
}

TEST_F(TcpDeviceTest, PeerClosingInTheMiddleOfAFrameStops) {
  AnswerEach([&](const TDataBuffer& req, int) {
    const TDataBuffer reply = AnswerTo(req, "half");
    Client->In.Send(5, TDataBuffer(reply.begin(), reply.begin() + 6));
    Client->ClosesWhenDrained = true;
  });
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::NoResponse);
  EXPECT_EQ(Dev->LastErrorText, "ETcpConnClosed/Connection Closed Gracefully.");
  EXPECT_EQ(Client->Writes.size(), 1u);
}

// Broken frames: code and detail of the first failing check, retried after 200 ms.
struct TBrokenFrameCase {
  const char* Name;
  std::function<TDataBuffer(const TDataBuffer& request)> Reply;
  std::int32_t Code;
  std::string Detail;
};

void PrintTo(const TBrokenFrameCase& c, std::ostream* os) { *os << c.Name; }

class TcpBrokenFrameTest : public TcpDeviceTest,
                           public ::testing::WithParamInterface<TBrokenFrameCase> {};

TEST_P(TcpBrokenFrameTest, ReportsCodeAndDetail) {
  const TBrokenFrameCase& c = GetParam();
  AnswerEach([&](const TDataBuffer& req, int) { Client->In.Send(5, c.Reply(req)); });
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::ReadPort);
  EXPECT_EQ(Dev->LastErrorText.rfind(c.Detail, 0), 0u) << Dev->LastErrorText;
  EXPECT_EQ(CountOf(Dev->LastErrorText, "[RETRY->>]"), 4);
}

TDataBuffer Corrupt(TDataBuffer f, std::size_t at, std::uint8_t b) {
  f.at(at) = f.at(at) == b ? b + 1 : b;
  return f;
}

INSTANTIATE_TEST_SUITE_P(Checks, TcpBrokenFrameTest,
                         ::testing::Values(TBrokenFrameCase{"Short",
                                                            [](const TDataBuffer&) {
                                                              return TDataBuffer{1, 0x2B, 3};
                                                            },
                                                            Err::ReadData, "LEN1"},
                                           TBrokenFrameCase{"WrongSeq",
                                                            [](const TDataBuffer& r) {
                                                              return AnswerWith(r[2] + 1, r[3],
                                                                                "A");
                                                            },
                                                            Err::WrongSeq, "[21/20]"},
                                           TBrokenFrameCase{"BadChecksum",
                                                            [](const TDataBuffer& r) {
                                                              TDataBuffer f = AnswerTo(r, "A");
                                                              return Corrupt(f, f.size() - 2, '0');
                                                            },
                                                            Err::ReadByte, "["},
                                           TBrokenFrameCase{"NoEot",
                                                            [](const TDataBuffer& r) {
                                                              return TDataBuffer{1,    0x30, r[2],
                                                                                 r[3], 'A',  'B',
                                                                                 0x05, '0',  3};
                                                            },
                                                            Err::ReadByte, "data"}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TcpDeviceTest, LengthMismatchIsReportedAsCounts) {
  AnswerEach([&](const TDataBuffer& req, int) {
    TDataBuffer f = AnswerTo(req, "AB");
    f[1] = 0x2E;  // says 14 counted bytes, there are 13
    TDataBuffer body(f.begin(), f.end() - 5);
    std::uint32_t sum = 0;
    for (std::size_t i = 1; i < body.size(); ++i) sum += body[i];
    for (char c : Hex4(sum))
      body.push_back(static_cast<std::uint8_t>(c >= 'A' ? c - 'A' + 0x3A : c));
    body.push_back(0x03);
    Client->In.Send(5, body);
  });
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorText.substr(0, 5), "14/13");
}

// Streams that never complete a frame end the attempt within the limits and
// keep no more than one frame's worth of bytes.
TEST_F(TcpDeviceTest, EndlessFrameIsCutAtTheLongestFrame) {
  AnswerEach([&](const TDataBuffer& req, int) {
    Client->In.Send(5, {0x01, 0xFF, req[2], req[3]});
    Client->In.Repeat(0, 'A', 1000, 1);
  });
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::ReadPort);
  EXPECT_EQ(Dev->LastErrorText.substr(0, 4), "data");
  EXPECT_EQ(Client->Writes.size(), 4u);
  EXPECT_EQ(Log.Received.size(), 4 * 255u);  // each attempt kept one frame's worth
}

TEST_F(TcpDeviceTest, EndlessNoiseBeforeTheFrameEndsAfterThirtySeconds) {
  AnswerEach([&](const TDataBuffer&, int) { Client->In.Repeat(5, 'z', 4000, 10); });
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::NoResponse);
  EXPECT_EQ(Dev->LastErrorText, "<01>");
  EXPECT_LE(Elapsed(), 30020);
  EXPECT_EQ(Client->Writes.size(), 1u);
}

TEST_F(TcpDeviceTest, TricklingFrameEndsAfterThirtySeconds) {
  AnswerEach([&](const TDataBuffer& req, int) {
    Client->In.Send(5, {0x01, 0xFF, req[2], req[3]});
    Client->In.Repeat(400, 'A', 1000, 400);
  });
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorText.substr(0, 4), "data");
  EXPECT_LE(Elapsed(), 2 * 30400 + 200);
}

TEST_F(TcpDeviceTest, SynAndNoiseForeverEndsBusy) {
  AnswerEach([&](const TDataBuffer&, int) {
    for (int i = 0; i < 500; ++i) Client->In.Send(100, {Ctl::SYN, 'n'});
  });
  ASSERT_FALSE(Send());
  EXPECT_EQ(Dev->LastErrorCode, Err::Busy);
  EXPECT_LT(Elapsed(), 40200);
}

TEST_F(TcpDeviceTest, SetPortTakesIntegersOnly) {
  const std::pair<const char*, int> cases[] = {{"4999", 4999}, {"", 0}, {"12ab", 0}, {"x", 0}};
  for (const auto& [text, port] : cases) {
    Dev->SetPort(text);
    EXPECT_EQ(Dev->Port(), port) << text;
  }
  EXPECT_EQ(Dev->Host(), "10.0.0.7");
}

}  // namespace
