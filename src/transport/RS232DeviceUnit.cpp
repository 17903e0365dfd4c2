#include "RS232DeviceUnit.h"

#include "ConstUnit.h"
#include "FrameCodec.h"
#include "StatusDecoding.h"
#include "TransportLimits.h"

namespace {

constexpr int kFirstByteMs = 700;  // wait for the frame start, also after each SYN
constexpr int kNextByteMs = 500;   // between bytes of the frame
constexpr int kDrainByteMs = 300;
constexpr int kDrainLimitMs = 7000;  // since the start of the command
constexpr int kDrainPauseMs = 50;
constexpr int kNoFrameAfterSynMs = 4000;
constexpr int kNoAnswerRetryMs = 4000;
constexpr int kCommandLimitMs = 30000;
constexpr int kEmptyReadWaitMs = 10;
constexpr int kFailedReadWaitMs = 100;

}  // namespace

struct TRS32Device::TReplyState {
  std::int64_t ReadStart = 0;
  std::int64_t LastSyn = 0;
  std::int64_t FrameStart = 0;
  std::size_t FrameBytes = 0;  // from the 0x01 on
};

TRS32Device::TRS32Device()
    : TRS32Device(std::make_unique<TPosixSerialPort>(), std::make_shared<TSteadyClock>()) {}

TRS32Device::TRS32Device(std::unique_ptr<ISerialPort> port, std::shared_ptr<IClock> clock)
    : Port(std::move(port)), Clock(std::move(clock)) {}

TRS32Device::~TRS32Device() {
  try {
    Disconnect();
  } catch (...) {
  }
}

void TRS32Device::SetPortName(const std::string& name) { Name = name; }

void TRS32Device::SetBaudRate(const std::string& text) { Baud = BaudRateFromText(text); }

bool TRS32Device::IsConnected() { return Port->IsOpen(); }

void TRS32Device::Disconnect() {
  DropBuffered();
  if (Port->IsOpen()) Port->Close();
}

bool TRS32Device::Connect() {
  bool result = false;
  try {
    Disconnect();
  } catch (const std::exception& e) {
    LastErrorCode = Err::WriteError;
    LastErrorText = "Failed to close com port \"" + Name + "\": " + e.what();
  }
  try {
    Port->Open(Name, Baud);
    result = Port->IsOpen();
  } catch (const std::exception& e) {
    LastErrorText = "Failed open port " + Name + "/" + BaudRateText();
    LastErrorCode = Err::WriteError;
    LastErrorText += " " + std::string(e.what());
  }
  return result;
}

// The port's read waits up to its own time-out and takes whatever has come;
// the pause after an empty read is a wait for input, so a byte that arrives
// is taken at once.
std::optional<std::uint8_t> TRS32Device::ReadByteTimed(int timeout) {
  if (RxPos < RxEnd) return Rx[RxPos++];
  const std::int64_t start = Clock->NowMs();
  for (;;) {
    try {
      const std::size_t n = Port->ReadAvailable(Rx.data(), Rx.size());
      if (n > 0) {
        RxAt = Clock->NowMs();
        RxEnd = std::min(n, Rx.size());
        RxPos = 1;
        return Rx[0];
      }
      Port->WaitForInput(kEmptyReadWaitMs);
    } catch (const std::exception&) {
      Clock->SleepMs(kFailedReadWaitMs);
    }
    if (Clock->NowMs() - start >= timeout) return std::nullopt;
  }
}

void TRS32Device::DropBuffered() { RxPos = RxEnd = 0; }

bool TRS32Device::SendCommand(std::uint8_t code, TDataBuffer& data, TDataBuffer& status) {
  if (!RequestFits(code, data)) return false;
  LastErrorText.clear();
  const std::int64_t start = Clock->NowMs();
  int retries = 0;
  LastErrorCode = 0;
  bool success = false;
  Sequence = NextSequence(Sequence);
  SentHex.clear();
  ReceivedHex.clear();
  for (;;) {
    bool retry = false;
    try {
      RunAttempt(code, data, status, retries);
      success = true;
    } catch (const ECmdException& e) {
      retry = RetryAfter(e, start, retries);
    } catch (const std::exception& e) {
      LastErrorText = "Unexpected error: " + std::string(e.what());
    }
    if (success || !retry || Clock->NowMs() - start > kCommandLimitMs) break;
  }
  return FinishExchange(code, static_cast<std::int32_t>(Clock->NowMs() - start), success);
}

void TRS32Device::RunAttempt(std::uint8_t code, TDataBuffer& data, TDataBuffer& status,
                             int retries) {
  if (!Port->IsOpen()) throw ECmdException(Err::PortNotActive, "[" + Name + "]");
  if (retries > Limits::MaxRetries) throw ECmdException(Err::ReadPort, "[" + Name + "]");
  if (!ReceivedHex.empty()) ReceivedHex += "\r";
  BuildRequestFrameInto(Frame, Sequence, code, data);
  const TDataBuffer& frame = Frame;
  std::size_t written = 0;
  try {
    DropBuffered();  // emptying the port's input includes what was taken from it
    Port->Purge();
    AssignHexText(SentHex, frame, 0, frame.size());
    written = Port->Write(frame.data(), frame.size());
  } catch (const std::exception& e) {
    throw ECmdException(Err::WriteError, e.what());
  }
  if (written < frame.size()) {
    throw ECmdException(Err::WriteError,
                        std::to_string(written) + "/" + std::to_string(frame.size()));
  }
  RaiseFrameSent(frame);
  status.clear();
  TDataBuffer response = ReadReply(code, status);
  data = std::move(response);
}

void TRS32Device::NoteByte(std::uint8_t b) { AppendHexByte(ReceivedHex, b); }

std::uint8_t TRS32Device::WaitFrameStart(TReplyState& st) {
  for (;;) {
    const std::optional<std::uint8_t> b = ReadByteTimed(kFirstByteMs);
    if (!b) throw ECmdException(Err::NoResponse, "<01>");
    RaiseByteReceived(*b);
    const std::int64_t now = RxAt;  // when the byte came
    if (*b == Ctl::SYN) {
      st.LastSyn = now;
      RaiseControlByte(*b);
      if ((now - st.ReadStart) / 1000 >= Limits::BusyLimitS) throw ECmdException(Err::Busy, "");
    } else if (now - st.LastSyn >= kNoFrameAfterSynMs) {
      throw ECmdException(Err::NoResponse, "<01>");
    }
    if (*b == Ctl::SOH || *b == Ctl::NAK) return *b;
  }
}

// The next byte of the frame. Silence, a frame longer than any real one, or a
// frame still not whole after the stream limit all end the part being read.
// The limit is measured to the last byte's arrival, which costs no clock read.
std::uint8_t TRS32Device::FrameByte(TReplyState& st, std::int32_t code, const char* detail) {
  if (st.FrameBytes >= Limits::MaxFrameBytes || RxAt - st.FrameStart > Limits::StreamLimitMs) {
    throw ECmdException(code, detail);
  }
  const std::optional<std::uint8_t> b = ReadByteTimed(kNextByteMs);
  if (!b) throw ECmdException(code, detail);
  ++st.FrameBytes;
  return *b;
}

TDataBuffer TRS32Device::ReadReply(std::uint8_t code, TDataBuffer& status) {
  TReplyState st;
  st.ReadStart = st.LastSyn = Clock->NowMs();
  const std::uint8_t first = WaitFrameStart(st);
  NoteByte(first);
  if (first == Ctl::NAK) {
    RaiseControlByte(first);
    throw ECmdException(Err::Nak, "<NAK>");
  }
  st.FrameStart = RxAt;
  st.FrameBytes = 1;
  std::uint32_t sum = 0;
  int count = 0;

  const std::uint8_t len = FrameByte(st, Err::ReadByte, "<LEN>");
  sum += len;
  ++count;
  NoteByte(len);
  RaiseByteReceived(len);

  const std::uint8_t seq = FrameByte(st, Err::ReadByte, "<SEQ>");
  RaiseByteReceived(seq);
  NoteByte(seq);
  if (seq != Sequence) throw ECmdException(Err::WrongSeq, MismatchDetail(seq, Sequence));
  sum += seq;
  ++count;

  const std::uint8_t cmd = FrameByte(st, Err::ReadByte, "<CMD>");
  NoteByte(cmd);
  if (cmd != code) throw ECmdException(Err::WrongCmdSerial, MismatchDetail(cmd, code));
  sum += cmd;
  ++count;
  RaiseByteReceived(cmd);

  TDataBuffer response;
  response.reserve(len > LenBase ? len - LenBase : 0);
  status.reserve(StatusByteCount);
  for (std::uint8_t b = 0; b != Ctl::EOT;) {
    b = FrameByte(st, Err::ReadData, "<DATA>");
    NoteByte(b);
    sum += b;
    ++count;
    if (b > Ctl::EOT) response.push_back(b);
    RaiseByteReceived(b);
  }

  int statusCount = 0;
  for (std::uint8_t b = 0; b != Ctl::ENQ;) {
    b = FrameByte(st, Err::ReadData, "<STATUS>");
    NoteByte(b);
    sum += b;
    ++count;
    ++statusCount;
    if (b > Ctl::ENQ) status.push_back(b);
    RaiseByteReceived(b);
  }
  if (statusCount != StatusByteCount + 1) throw ECmdException(Err::ReadData, "<STATUS>");

  std::string checksum;
  for (std::uint8_t b = 0; b != Ctl::ETX;) {
    b = FrameByte(st, Err::ReadData, "<BCC>");
    NoteByte(b);
    if (b > Ctl::ETX) checksum += ChecksumDigit(b);
    RaiseByteReceived(b);
  }

  if (count != len - LenBase) {
    throw ECmdException(Err::BadLength,
                        std::to_string(len - LenBase) + "/" + std::to_string(count));
  }
  if (checksum.size() != 4) throw ECmdException(Err::BadChecksum, "[" + checksum + "]");
  const std::string computed = Hex4(sum);
  if (checksum != computed) {
    throw ECmdException(Err::BadChecksum, "[" + checksum + "/" + computed + "]");
  }
  return response;
}

// Step after a failed attempt; true to try again.
bool TRS32Device::RetryAfter(const ECmdException& e, std::int64_t start, int& retries) {
  LastErrorText += ErrorText(e.Code, "") + e.what();
  LastErrorCode = e.Code;
  switch (e.Code) {
    case Err::NoResponse:
      if (Clock->NowMs() - start > kNoAnswerRetryMs) return false;
      LastErrorText += "\r\n[RETRY->]";
      ++retries;
      return true;
    case Err::ReadByte:
    case Err::ReadData:
    case Err::Nak:
    case Err::BadChecksum:
    case Err::BadLength:
      Clock->SleepMs(Limits::RetryPauseMs);
      LastErrorText += "\r\n[RETRY->>]";
      return true;
    case Err::WrongSeq:
    case Err::WrongCmdSerial:
      DrainLine(start);
      Clock->SleepMs(kDrainPauseMs);
      LastErrorText += "\r\n[RETRY->>>]";
      return true;
    case Err::ReadPort:
      LastErrorText += "\r\n[" + std::to_string(retries) + "]";
      return false;
    default:
      return false;
  }
}

// Skips the rest of a reply that belongs to another request.
void TRS32Device::DrainLine(std::int64_t start) {
  while (ReadByteTimed(kDrainByteMs)) {
    if (Clock->NowMs() - start > kDrainLimitMs) break;
  }
}
