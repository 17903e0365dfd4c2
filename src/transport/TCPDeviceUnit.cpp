#include "TCPDeviceUnit.h"

#include <cxxabi.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <typeinfo>

#include "ConstUnit.h"
#include "FrameCodec.h"
#include "StatusDecoding.h"
#include "TransportLimits.h"

namespace {

constexpr int kConnectPassOnAfterS = 3;  // attempt failures after this are reported
constexpr int kConnectGiveUpAfterS = 4;
constexpr int kNoAnswerRetryMs = 5000;  // 101/103 are retried only this long
constexpr int kCommandLimitS = 30;

std::string WithoutHash(std::string text) {
  for (char& c : text) {
    if (c == '#') c = ' ';
  }
  return text;
}

std::string ClassNameOf(const std::exception& e) {
  const char* mangled = typeid(e).name();
  int status = 0;
  char* plain = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = (status == 0 && plain != nullptr) ? plain : mangled;
  std::free(plain);
  return name;
}

}  // namespace

TTCPDevice::TTCPDevice()
    : TTCPDevice(std::make_unique<TPosixTcpClient>(), std::make_shared<TSteadyClock>()) {}

TTCPDevice::TTCPDevice(std::unique_ptr<ITcpClient> client, std::shared_ptr<IClock> clock)
    : Client(std::move(client)), Clock(std::move(clock)) {}

TTCPDevice::~TTCPDevice() {
  try {
    Disconnect();
  } catch (...) {
  }
}

void TTCPDevice::SetHost(const std::string& host) { Client->Host = host; }

void TTCPDevice::SetPort(const std::string& port) {
  int value = 0;
  auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
  Client->Port = (ec == std::errc() && end == port.data() + port.size()) ? value : 0;
}

std::string TTCPDevice::Host() const { return Client->Host; }
int TTCPDevice::Port() const { return Client->Port; }

bool TTCPDevice::IsConnected() { return Client->Connected(); }

void TTCPDevice::Disconnect() {
  RxPos = RxEnd = 0;
  if (Client->Connected()) Client->Disconnect();
}

std::int64_t TTCPDevice::WholeSecondsSince(std::int64_t start) {
  return (Clock->NowMs() - start) / 1000;
}

bool TTCPDevice::Connect() {
  bool result = false;
  const std::int64_t start = Clock->NowMs();
  Disconnect();
  std::string failure;
  bool passedOn = false;
  for (;;) {
    const std::int64_t attemptStart = Clock->NowMs();
    try {
      Client->Connect(ConnectTimeout);
      if (Client->Connected()) {
        result = true;
        break;
      }
    } catch (const std::exception& e) {
      if (WholeSecondsSince(start) > kConnectPassOnAfterS) {
        failure = e.what();
        passedOn = true;
        break;
      }
      // A refused connection fails at once; do not hammer the peer with attempts.
      const std::int64_t spent = Clock->NowMs() - attemptStart;
      if (spent < Limits::ConnectRetrySpacingMs) {
        Clock->SleepMs(static_cast<int>(Limits::ConnectRetrySpacingMs - spent));
      }
    }
    if (WholeSecondsSince(start) > kConnectGiveUpAfterS) break;
  }
  if (passedOn) {
    LastErrorCode = Err::WriteError;
    LastErrorText = "Failed to connect host. " + failure;
  }
  return result;
}

bool TTCPDevice::SendCommand(std::uint8_t code, TDataBuffer& data, TDataBuffer& status) {
  if (!RequestFits(code, data)) return false;
  Sequence = NextSequence(Sequence);
  SentHex.clear();
  ReceivedHex.clear();
  LastErrorText.clear();
  const std::int64_t start = Clock->NowMs();
  int retries = 0;
  LastErrorCode = 0;
  bool success = false;
  for (;;) {
    bool retry = false;
    try {
      RunAttempt(code, data, status, retries);
      success = true;
    } catch (const ECmdException& e) {
      retry = RetryAfter(e, start, retries);
    } catch (const ETcpLinkError& e) {
      LastErrorCode = Err::NoResponse;
      LastErrorText = std::string(e.ClassName()) + "/" + e.what();
      if (e.Retryable()) {
        LastErrorText += "[RETRY->]";
        ++retries;
        retry = true;
      }
    } catch (const std::exception& e) {
      LastErrorText = "Unexpected error: " + ClassNameOf(e) + " / " + e.what();
      LastErrorCode = Err::NoResponse;
    }
    if (success || !retry || WholeSecondsSince(start) > kCommandLimitS) break;
  }
  return FinishExchange(code, static_cast<std::int32_t>(Clock->NowMs() - start), success);
}

void TTCPDevice::RunAttempt(std::uint8_t code, TDataBuffer& data, TDataBuffer& status,
                            int retries) {
  if (LastErrorCode == Err::PortNotActive || LastErrorCode == Err::NoResponse) Disconnect();
  if (!Client->Connected() && !Connect()) {
    throw ECmdException(Err::PortNotActive, "[" + Client->Host + "]");
  }
  if (retries > Limits::MaxRetries) throw ECmdException(Err::ReadPort, "[" + Client->Host + "]");
  BuildRequestFrameInto(Frame, Sequence, code, data);
  const TDataBuffer& frame = Frame;
  AssignHexText(SentHex, frame, 0, frame.size());
  try {
    Client->CheckForDisconnect();
    Client->Write(frame.data(), frame.size());
  } catch (const std::exception& e) {
    throw ECmdException(Err::WriteError, WithoutHash(e.what()));
  }
  RaiseFrameSent(frame);
  status.clear();
  const TDataBuffer& reply = CollectReply();
  RaiseByteReceived(Ctl::SOH);
  // The checks report the bytes from LEN on in frame order; their hexadecimal
  // text is written in one go, also when a check fails.
  std::size_t reported = 0;
  TResponseParts parts;
  try {
    parts = CheckCollectedResponse(reply, Sequence, code, [this, &reported](std::uint8_t b) {
      ++reported;
      RaiseByteReceived(b);
    });
  } catch (...) {
    AppendHexText(ReceivedHex, reply, 1, reported);
    throw;
  }
  AppendHexText(ReceivedHex, reply, 1, reported);
  // A reply cut short by the length or time limit never passes as whole.
  if (reply.empty() || reply.back() != Ctl::ETX) throw ECmdException(Err::ReadByte, "contr.sum");
  status = std::move(parts.Status);
  data = std::move(parts.Data);
}

// Reads up to the closing 0x03. Only the frame from its 0x01 on is kept, and it
// is cut at the longest possible frame or after the stream limit; the checks
// then reject what was cut.
const TDataBuffer& TTCPDevice::CollectReply() {
  const std::int64_t readStart = Clock->NowMs();
  std::int64_t lastSyn = readStart;
  std::int64_t frameStart = 0;
  bool collecting = false;
  TDataBuffer& reply = Reply;
  reply.clear();
  reply.reserve(Limits::MaxFrameBytes);
  for (;;) {
    const std::uint8_t b = NextByte(collecting ? NextByteTimeout : FirstByteTimeout);
    const std::int64_t now = RxAt;  // when the byte came
    if (b == Ctl::SYN) {
      if ((now - readStart) / 1000 >= Limits::BusyLimitS) throw ECmdException(Err::Busy, "");
      lastSyn = now;
    }
    if (b == Ctl::NAK) throw ECmdException(Err::Nak, "<NAK>");
    if (b == Ctl::SOH && !collecting) {
      collecting = true;
      frameStart = now;
    }
    if (collecting) reply.push_back(b);
    if (b == Ctl::ETX) break;
    if (collecting) {
      if (reply.size() >= Limits::MaxFrameBytes || now - frameStart > Limits::StreamLimitMs) break;
    } else if (b != Ctl::SYN && now - lastSyn > Limits::StreamLimitMs) {
      throw ECmdException(Err::NoResponse, "<01>");
    }
  }
  return reply;
}

// The next byte of the connection: from what the last read brought, or from a
// new read of whatever has arrived. The clock is read once per read.
std::uint8_t TTCPDevice::NextByte(int timeoutMs) {
  if (RxPos < RxEnd) return Rx[RxPos++];
  RxPos = RxEnd = 0;
  const std::size_t n = Client->ReadAvailable(Rx.data(), Rx.size(), timeoutMs);
  RxAt = Clock->NowMs();
  RxEnd = std::min(n, Rx.size());
  if (RxEnd == 0) throw ETcpReadTimeout();
  return Rx[RxPos++];
}

// Step after a failed attempt; true to try again.
bool TTCPDevice::RetryAfter(const ECmdException& e, std::int64_t start, int& retries) {
  LastErrorText += e.what();
  LastErrorCode = e.Code;
  switch (e.Code) {
    case Err::PortNotActive:
    case Err::NoResponse:
      if (Clock->NowMs() - start > kNoAnswerRetryMs) return false;
      LastErrorText += "\r\n[RETRY->]";
      ++retries;
      return true;
    case Err::ReadByte:
    case Err::ReadData:
    case Err::Nak:
    case Err::WrongSeq:
    case Err::BadChecksum:
    case Err::BadLength:
      Clock->SleepMs(Limits::RetryPauseMs);
      LastErrorText += "\r\n[RETRY->>]";
      ++retries;
      return true;
    default:
      return false;
  }
}
