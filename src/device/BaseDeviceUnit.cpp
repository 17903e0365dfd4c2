#include "BaseDeviceUnit.h"

#include <algorithm>

#include "ConstUnit.h"
#include "FrameCodec.h"
#include "StatusDecoding.h"

TBaseDevice::TBaseDevice() : Regional(TRegionalSettings::System()) {}

TBaseDevice::~TBaseDevice() = default;

void TBaseDevice::AppendByte(std::uint8_t b, TDataBuffer& buf) { buf.push_back(b); }

void TBaseDevice::AppendEscaped(std::uint8_t b, TDataBuffer& buf) {
  if (b < 0x20 && b != Ctl::TAB && b != Ctl::LF) {
    buf.push_back(Ctl::DLE);
    buf.push_back(static_cast<std::uint8_t>(b + 0x40));
  } else {
    buf.push_back(b);
  }
}

void TBaseDevice::AppendEscapedText(std::string_view text, TDataBuffer& buf) {
  for (char c : text) AppendEscaped(static_cast<std::uint8_t>(c), buf);
}

void TBaseDevice::AppendBytes(const TDataBuffer& src, TDataBuffer& dst) {
  dst.insert(dst.end(), src.begin(), src.end());
}

std::string TBaseDevice::BytesToHex(const TDataBuffer& buf, std::size_t start, std::size_t count) {
  std::string out;
  AssignHexText(out, buf, start, count);
  return out;
}

std::string TBaseDevice::BytesToTextRange(const TDataBuffer& buf, std::size_t start,
                                          std::size_t count) {
  std::string out;
  for (std::size_t i = start, taken = 0; i < buf.size() && taken < count; ++i, ++taken)
    out += static_cast<char>(buf[i]);
  return out;
}

std::string TBaseDevice::BytesToText(const TDataBuffer& buf) {
  return BytesToTextRange(buf, 0, buf.size());
}

namespace {
void TakeField(std::string& S, std::string& F, char sep) {
  const std::size_t pos = S.find(sep);
  if (pos == std::string::npos) {
    F = S;
    S.clear();
    return;
  }
  F = S.substr(0, pos);
  std::string rest = S.substr(pos);
  const std::size_t first = rest.find_first_not_of(' ');
  rest = first == std::string::npos ? std::string() : rest.substr(first);
  if (!rest.empty() && rest[0] == sep) rest.erase(0, 1);
  S = rest;
}
}  // namespace

void TBaseDevice::TakeCommaField(std::string& S, std::string& F) { TakeField(S, F, ','); }

// With ' ' as separator the leading-blank removal swallows the separator itself,
// so runs of blanks count as one.
void TBaseDevice::TakeSpaceField(std::string& S, std::string& F) { TakeField(S, F, ' '); }

bool TBaseDevice::TestStatusBit(const TDataBuffer& status, int k, int n) {
  return (status.at(static_cast<std::size_t>(k)) >> n) & 1;
}

void TBaseDevice::CheckStatus(const TDataBuffer& status) {
  if (status.size() != StatusByteCount)
    throw ECmdException(Err::BadAnswer, "[6/" + std::to_string(status.size()) + "]");
  if (TestStatusBit(status, 0, 0)) throw ECmdException(Err::SyntaxError, "[0/0]");
  if (TestStatusBit(status, 0, 1)) throw ECmdException(Err::InvalidCommand, "[0/1]");
}

void TBaseDevice::CheckStatusEx(const TDataBuffer& status) {
  CheckStatus(status);
  static const struct {
    int bit;
    int code;
  } kChecks[] = {{4, Err::RamDestroyed},
                 {3, Err::LowBattery},
                 {2, Err::RamCleared},
                 {1, Err::NotAllowedInRegime},
                 {0, Err::Overflow}};
  for (const auto& c : kChecks)
    if (TestStatusBit(status, 1, c.bit))
      throw ECmdException(c.code, "[1/" + std::to_string(c.bit) + "]");
}

void TBaseDevice::HandleCommandError(const std::exception& e, const TDataBuffer& status,
                                     const std::string& deviceText) {
  const auto* cmd = dynamic_cast<const ECmdException*>(&e);
  if (!cmd) {
    LastErrorText = e.what();
    return;
  }
  LastErrorCode = cmd->Code;
  LastErrorText = ErrorText(cmd->Code, cmd->what());
  std::string text = deviceText;
  if (text.find_first_not_of(' ') != std::string::npos) {
    // Each occurrence once: an "E:" that only forms by a removal stays.
    for (std::size_t p = 0; (p = text.find("E:", p)) != std::string::npos;) text.erase(p, 2);
    std::erase(text, static_cast<char>(0xA2));
    if (!text.empty()) LastErrorText += "#" + text;
  }
  if (!status.empty()) LastErrorText += " " + StatusConditionText(status, cmd->Code);
}

bool TBaseDevice::ReadStatusConditions(const TDataBuffer& status, std::string& text) {
  std::int32_t code = LastErrorCode;
  text = StatusConditionTextAll(status, code);
  LastErrorCode = code;
  return text.find_first_not_of(' ') == std::string::npos;
}

std::string TBaseDevice::DurationLine(std::uint8_t code, std::int32_t duration) {
  if (duration > 0)
    return "Command No: " + Hex2(code) + "h. Duration: " + std::to_string(duration) + " ms.";
  return "Command No: " + Hex2(code) + ". Duration: Less than 1 ms";
}

void TBaseDevice::RaiseFrameSent(const TDataBuffer& frame) {
  if (OnFrameSent) OnFrameSent(BytesToText(frame));
}

void TBaseDevice::RaiseByteReceived(std::uint8_t b) {
  if (b == Ctl::NAK || b == Ctl::SYN) return;
  if (OnByteReceived) OnByteReceived(std::string(1, static_cast<char>(b)));
}

void TBaseDevice::RaiseControlByte(std::uint8_t b) {
  if (OnControlByte) OnControlByte(std::string(1, static_cast<char>(b)));
}

void TBaseDevice::RaiseDuration(std::uint8_t code) {
  if (OnDuration) OnDuration(DurationLine(code, Duration));
}

bool TBaseDevice::RequestFits(std::uint8_t code, const TDataBuffer& data) {
  try {
    CheckRequestDataLength(data.size());
    return true;
  } catch (const ECmdException& e) {
    SentHex.clear();
    ReceivedHex.clear();
    LastErrorCode = e.Code;
    LastErrorText = ErrorText(e.Code, e.what());
    return FinishExchange(code, 0, false);
  }
}

bool TBaseDevice::FinishExchange(std::uint8_t code, std::int32_t duration, bool success) {
  Duration = duration;
  RaiseDuration(code);
  if (success) {
    LastErrorText.clear();
    LastErrorCode = 0;
  }
  return success;
}
