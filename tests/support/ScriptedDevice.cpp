#include "ScriptedDevice.h"

#include "ConstUnit.h"
#include "FrameCodec.h"
#include "StatusDecoding.h"

TDataBuffer StatusWith(std::initializer_list<std::pair<int, int>> bits) {
  TDataBuffer status(StatusByteCount, 0x80);
  for (const auto& [k, n] : bits) status.at(static_cast<std::size_t>(k)) |= (1u << n);
  return status;
}

void TScriptedDevice::Answer(const std::string& dataText, const TDataBuffer& status) {
  TReply r;
  r.Type = TReply::Kind::Answer;
  r.Data.assign(dataText.begin(), dataText.end());
  r.Status = status;
  Script.push_back(std::move(r));
}

void TScriptedDevice::AnswerRaw(const TDataBuffer& bytes) {
  TReply r;
  r.Type = TReply::Kind::Raw;
  r.Data = bytes;
  Script.push_back(std::move(r));
}

void TScriptedDevice::Fail(std::int32_t code, const std::string& text) {
  TReply r;
  r.Type = TReply::Kind::Fail;
  r.Code = code;
  r.Text = text;
  Script.push_back(std::move(r));
}

std::vector<std::uint8_t> TScriptedDevice::Commands() const {
  std::vector<std::uint8_t> out;
  for (const auto& r : Requests) out.push_back(r.Cmd);
  return out;
}

bool TScriptedDevice::Connect() {
  ++ConnectCalls;
  Connected = ConnectResult;
  if (!ConnectResult) {
    LastErrorCode = 102;
    LastErrorText = "Failed to connect host. scripted";
  }
  return ConnectResult;
}

void TScriptedDevice::Disconnect() { Connected = false; }

bool TScriptedDevice::IsConnected() { return Connected; }

namespace {
// Collects a raw reply the way the TCP transport reads it.
TDataBuffer Collect(TScriptedDevice& dev, const TDataBuffer& bytes) {
  TDataBuffer reply;
  bool collecting = false;
  for (std::uint8_t b : bytes) {
    if (b == Ctl::SYN) dev.RaiseControlByte(b);
    if (b == Ctl::NAK) {
      dev.RaiseControlByte(b);
      throw ECmdException(106, "<NAK>");
    }
    if (b == Ctl::SOH) collecting = true;
    if (collecting) reply.push_back(b);
    if (b == Ctl::ETX) return reply;
  }
  throw ECmdException(103, "<01>");
}
}  // namespace

bool TScriptedDevice::SendCommand(std::uint8_t code, TDataBuffer& data, TDataBuffer& status) {
  if (!RequestFits(code, data)) return false;
  Sequence = NextSequence(Sequence);
  LastErrorCode = 0;
  LastErrorText.clear();
  ReceivedHex.clear();
  TRequest req{code, data, BuildRequestFrame(Sequence, code, data)};
  SentHex = BytesToHex(req.Frame, 0, req.Frame.size());
  RaiseFrameSent(req.Frame);
  Requests.push_back(req);
  bool ok = false;
  try {
    if (Script.empty()) throw ECmdException(103, "<01>");
    TReply reply = Script.front();
    Script.pop_front();
    if (reply.Type == TReply::Kind::Fail) {
      LastErrorCode = reply.Code;
      LastErrorText = reply.Text;
    } else {
      const TDataBuffer bytes = reply.Type == TReply::Kind::Raw
                                    ? reply.Data
                                    : BuildResponseFrame(Sequence, code, reply.Data, reply.Status);
      const TDataBuffer collected = Collect(*this, bytes);
      RaiseByteReceived(Ctl::SOH);
      const auto parts = CheckCollectedResponse(collected, Sequence, code,
                                                [this](std::uint8_t b) {
                                                  ReceivedHex += Hex2(b) + " ";
                                                  RaiseByteReceived(b);
                                                });
      data = parts.Data;
      status = parts.Status;
      ok = true;
    }
  } catch (const ECmdException& e) {
    LastErrorCode = e.Code;
    LastErrorText = ErrorText(e.Code, e.what());
  }
  return FinishExchange(code, ScriptedDuration, ok);
}
