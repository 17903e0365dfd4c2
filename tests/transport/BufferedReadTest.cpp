// Both transports take whatever has arrived in one read and hand it out a
// byte at a time: what the reader sees must not change.
#include <gtest/gtest.h>

#include "ConstUnit.h"
#include "FramePeer.h"
#include "RS232DeviceUnit.h"
#include "TCPDeviceUnit.h"
#include "TransportFakes.h"
#include "TransportTestUtil.h"

namespace {

template <typename TDevice, typename TLink>
struct TBufferedFixture : ::testing::Test {
  void Make() {
    auto link = std::make_unique<TLink>(Clock);
    Link = link.get();
    Dev = std::make_unique<TDevice>(std::move(link), Clock);
    Log.Attach(*Dev);
    ASSERT_TRUE(Dev->Connect());
    Start = Clock->Now;
  }
  bool Send(const std::string& text = "W") {
    Data = Bytes(text);
    return Dev->SendCommand(0x4A, Data, Status);
  }
  // Answers request i with what `reply` gives, noting when it was written.
  void AnswerEach(std::function<void(const TDataBuffer&, int)> reply) {
    Link->OnWrite = [this, reply](const TDataBuffer& req, int i) {
      WrittenAt.push_back(Clock->Now - Start);
      reply(req, i);
    };
  }
  std::shared_ptr<TVirtualClock> Clock = std::make_shared<TVirtualClock>();
  TLink* Link = nullptr;
  std::unique_ptr<TDevice> Dev;
  TEventLog Log;
  TDataBuffer Data, Status;
  std::int64_t Start = 0;
  std::vector<std::int64_t> WrittenAt;
};

struct SerialBuffered : TBufferedFixture<TRS32Device, TFakeSerialPort> {
  void SetUp() override { Make(); }
};
struct TcpBuffered : TBufferedFixture<TTCPDevice, TFakeTcpClient> {
  void SetUp() override { Make(); }
};

TDataBuffer Joined(TDataBuffer a, const TDataBuffer& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(SerialBuffered, BurstIsOneReadAndTheBytesAfterTheFrameAreNotReported) {
  TDataBuffer reply;
  AnswerEach([&](const TDataBuffer& req, int) {
    reply = AnswerTo(req, "ABC");
    Link->In.Send(5, Joined(reply, Bytes("zz")));
  });
  ASSERT_TRUE(Send());
  EXPECT_EQ(Text(Data), "ABC");
  EXPECT_EQ(Link->Reads, std::vector<std::size_t>{reply.size() + 2});
  EXPECT_EQ(Log.Received, Text(reply));
  EXPECT_EQ(Dev->ReceivedHex, TBaseDevice::BytesToHex(reply, 0, reply.size()));
  EXPECT_EQ(Dev->Buffered(), 2u);
}

// The stale bytes form a well-formed answer to the next request: only the
// flush keeps them from being taken for it.
TEST_F(SerialBuffered, FlushAtTheAttemptStartDropsWhatWasTakenAhead) {
  AnswerEach([&](const TDataBuffer& req, int i) {
    if (i == 0) {
      Link->In.Send(5, Joined(AnswerTo(req, "first"), AnswerWith(req[2] + 1, req[3], "stale")));
    } else {
      Link->In.Send(5, AnswerTo(req, "fresh"));
    }
  });
  ASSERT_TRUE(Send());
  EXPECT_GT(Dev->Buffered(), 0u);
  Log.Received.clear();
  ASSERT_TRUE(Send());
  EXPECT_EQ(Text(Data), "fresh");
  EXPECT_EQ(Log.Received.find("stale"), std::string::npos);
  EXPECT_EQ(Dev->Buffered(), 0u);
}

// Start and LEN, SEQ come together; the CMD never does. The time-out of the
// next byte starts when the buffer has run dry: 5 reads of 100 ms and waits
// of 10 ms, then the 200 ms pause before the retry.
TEST_F(SerialBuffered, PerByteTimeOutStillRunsOnTheClockOnceTheBufferIsEmpty) {
  AnswerEach([&](const TDataBuffer& req, int i) {
    if (i == 0) Link->In.Send(5, {Ctl::SOH, 0x2B, req[2]});
    if (i == 1) Link->In.Send(5, AnswerTo(req, "ok"));
  });
  ASSERT_TRUE(Send());
  EXPECT_EQ(WrittenAt, (std::vector<std::int64_t>{0, 5 + 550 + 200}));
  EXPECT_EQ(Link->Reads.front(), 3u);
  EXPECT_EQ(Log.Received.substr(0, 3), std::string("\x01\x2B\x20"));
}

// Trickles the answer in reads of at most `chunk` bytes; the bytes, their
// order and the result are those of a single read.
TEST_F(SerialBuffered, PartialReadsHandTheSameBytesOutInOrder) {
  for (std::size_t chunk : {1u, 2u, 3u, 7u, 64u}) {
    Link->ReadChunk = chunk;
    Link->Reads.clear();
    Log.Received.clear();
    TDataBuffer reply;
    AnswerEach([&](const TDataBuffer& req, int) {
      reply = AnswerTo(req, "partial reads");
      Link->In.Send(5, {Ctl::SYN, '?'});
      Link->In.Send(0, reply);
    });
    ASSERT_TRUE(Send()) << chunk;
    EXPECT_EQ(Text(Data), "partial reads") << chunk;
    EXPECT_EQ(Log.Received, "?" + Text(reply)) << chunk;
    EXPECT_EQ(Log.Control, "\x16") << chunk;
    Log.Control.clear();
    std::size_t total = 0;
    for (std::size_t n : Link->Reads) {
      EXPECT_LE(n, chunk);
      total += n;
    }
    EXPECT_EQ(total, reply.size() + 2) << chunk;
    EXPECT_EQ(Link->Reads.size(), (reply.size() + 2 + chunk - 1) / chunk) << chunk;
  }
}

TEST_F(TcpBuffered, BurstIsOneReadAndWhatFollowsTheFrameIsSkippedByTheNextAttempt) {
  TDataBuffer reply;
  AnswerEach([&](const TDataBuffer& req, int) {
    reply = AnswerTo(req, "XY");
    Link->In.Send(5, Joined(reply, Bytes("junk")));
  });
  ASSERT_TRUE(Send());
  EXPECT_EQ(Text(Data), "XY");
  EXPECT_EQ(Link->Reads, std::vector<std::size_t>{reply.size() + 4});
  EXPECT_EQ(Log.Received, Text(reply));
  EXPECT_EQ(Dev->Buffered(), 4u);
  Log.Received.clear();
  ASSERT_TRUE(Send());                   // "junk" comes before this answer's 0x01
  EXPECT_EQ(Log.Received, Text(reply));  // the second answer alone
}

TEST_F(TcpBuffered, ReadTimeOutStillRunsOnTheClockOnceTheBufferIsEmpty) {
  AnswerEach([&](const TDataBuffer& req, int i) {
    if (i == 0) Link->In.Send(5, {Ctl::SOH, 0x2B});
    if (i == 1) Link->In.Send(5, AnswerTo(req, "ok"));
  });
  ASSERT_TRUE(Send());
  EXPECT_EQ(WrittenAt, (std::vector<std::int64_t>{0, 5 + Dev->NextByteTimeout}));
  EXPECT_EQ(Text(Data), "ok");
  EXPECT_EQ(Link->ConnectCalls, 2);  // a read time-out reconnects
}

// The real port and client: one read takes all that is there, and a client's
// ReadByte leftovers come first.
TEST(BufferedRealLink, PtyReadTakesWhatIsThereInOneRead) {
  TPtyPeer peer([](const TDataBuffer& req) { return Joined(AnswerWithText("pty")(req), {'+'}); });
  TPosixSerialPort port;
  port.Open(peer.SlavePath, 115200);
  const TDataBuffer request = BuildRequestFrame(0x20, 0x4A, {});
  ASSERT_EQ(port.Write(request.data(), request.size()), request.size());
  const TDataBuffer expected = Joined(AnswerWithText("pty")(request), {'+'});
  TDataBuffer got(64);
  std::size_t n = 0;
  while (n < expected.size()) {
    const std::size_t k = port.ReadAvailable(got.data() + n, got.size() - n);
    ASSERT_GT(k, 0u);
    n += k;
  }
  got.resize(n);
  EXPECT_EQ(got, expected);
}

TEST(BufferedRealLink, TcpReadAvailableHandsOutReadByteLeftoversFirst) {
  TLoopbackPeer peer([](const TDataBuffer&) { return Bytes("xyz"); });
  TPosixTcpClient client;
  client.Host = "127.0.0.1";
  client.Port = peer.Port();
  client.Connect(1000);
  const TDataBuffer frame = BuildRequestFrame(0x20, 0x4A, {});
  client.Write(frame.data(), frame.size());
  EXPECT_EQ(client.ReadByte(1000), 'x');
  std::uint8_t buf[8] = {};
  std::size_t n = client.ReadAvailable(buf, sizeof buf, 1000);
  if (n < 2) n += client.ReadAvailable(buf + n, sizeof buf - n, 1000);
  EXPECT_EQ(std::string(buf, buf + n), "yz");
}

}  // namespace
