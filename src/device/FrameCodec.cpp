#include "FrameCodec.h"

#include <algorithm>

#include "ConstUnit.h"

namespace {
const char kHex[] = "0123456789ABCDEF";
}

std::uint8_t NextSequence(std::uint8_t seq) {
  seq = static_cast<std::uint8_t>(seq + 1);
  if (seq < SeqFirst || seq > SeqLast) seq = SeqFirst;
  return seq;
}

std::string Hex2(std::uint8_t b) { return {kHex[b >> 4], kHex[b & 0x0F]}; }

void WriteHexDigits(char* out, std::uint8_t b) {
  out[0] = kHex[b >> 4];
  out[1] = kHex[b & 0x0F];
}

void AssignHexText(std::string& out, const TDataBuffer& buf, std::size_t start, std::size_t count) {
  out.clear();
  AppendHexText(out, buf, start, count);
}

void AppendHexText(std::string& out, const TDataBuffer& buf, std::size_t start, std::size_t count) {
  count = start < buf.size() ? std::min(count, buf.size() - start) : 0;
  const std::size_t at = out.size();
  out.resize(at + 3 * count, ' ');
  for (std::size_t i = 0; i < count; ++i) WriteHexDigits(&out[at + 3 * i], buf[start + i]);
}

void AppendHexByte(std::string& out, std::uint8_t b) {
  const std::size_t at = out.size();
  out.resize(at + 3, ' ');
  WriteHexDigits(&out[at], b);
}

std::string Hex4(std::uint32_t sum) {
  return {kHex[(sum >> 12) & 0xF], kHex[(sum >> 8) & 0xF], kHex[(sum >> 4) & 0xF], kHex[sum & 0xF]};
}

std::string MismatchDetail(std::uint8_t received, std::uint8_t expected) {
  return "[" + Hex2(received) + "/" + Hex2(expected) + "]";
}

std::string ChecksumDigit(std::uint8_t c) {
  const int v = static_cast<int>(c) - 0x30;
  if (v >= 0 && v < 16) return std::string(1, kHex[v]);
  // Out-of-range characters render as a longer hexadecimal text, never as one digit.
  auto u = static_cast<std::uint32_t>(v);
  std::string out;
  do {
    out.insert(out.begin(), kHex[u & 0xF]);
    u >>= 4;
  } while (u != 0);
  return out;
}

void AppendChecksum(TDataBuffer& frame) {
  std::uint16_t sum = 0;
  for (std::uint8_t b : frame) {
    if (b == Ctl::SOH) continue;
    sum = static_cast<std::uint16_t>(sum + b);
    if (b == Ctl::ENQ) break;
  }
  if (sum == 0) throw ECmdException(Err::InvalidInput, "FBCC:[" + Hex2(0) + "]");
  for (int shift = 12; shift >= 0; shift -= 4)
    frame.push_back(static_cast<std::uint8_t>(0x30 + ((sum >> shift) & 0xF)));
}

void CheckRequestDataLength(std::size_t count) {
  if (count <= MaxRequestData) return;
  throw ECmdException(Err::InvalidInput, "[Request too long: " + std::to_string(count) +
                                             " data bytes, at most " +
                                             std::to_string(MaxRequestData) + "]");
}

TDataBuffer BuildRequestFrame(std::uint8_t seq, std::uint8_t cmd, const TDataBuffer& data) {
  TDataBuffer frame;
  BuildRequestFrameInto(frame, seq, cmd, data);
  return frame;
}

void BuildRequestFrameInto(TDataBuffer& frame, std::uint8_t seq, std::uint8_t cmd,
                           const TDataBuffer& data) {
  frame.clear();
  frame.reserve(data.size() * 2 + 10);
  TBaseDevice::AppendByte(Ctl::SOH, frame);
  TBaseDevice::AppendByte(static_cast<std::uint8_t>(data.size() + RequestLenOffset), frame);
  TBaseDevice::AppendByte(seq, frame);
  TBaseDevice::AppendByte(cmd, frame);
  for (std::uint8_t b : data) TBaseDevice::AppendEscaped(b, frame);
  TBaseDevice::AppendByte(Ctl::ENQ, frame);
  AppendChecksum(frame);
  TBaseDevice::AppendByte(Ctl::ETX, frame);
}

TDataBuffer BuildResponseFrame(std::uint8_t seq, std::uint8_t cmd, const TDataBuffer& data,
                               const TDataBuffer& status) {
  TDataBuffer frame{Ctl::SOH, static_cast<std::uint8_t>(LenBase + data.size() + 11), seq, cmd};
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(Ctl::EOT);
  frame.insert(frame.end(), status.begin(), status.end());
  frame.push_back(Ctl::ENQ);
  std::uint32_t sum = 0;
  for (std::size_t i = 1; i < frame.size(); ++i) sum += frame[i];
  for (int shift = 12; shift >= 0; shift -= 4)
    frame.push_back(static_cast<std::uint8_t>(0x30 + ((sum >> shift) & 0xF)));
  frame.push_back(Ctl::ETX);
  return frame;
}

namespace {
// Walks a collected reply part by part, reporting every byte it takes.
class TReplyWalker {
 public:
  TReplyWalker(const TDataBuffer& reply, const std::function<void(std::uint8_t)>& onByte)
      : Reply(reply), OnByte(onByte) {}

  bool AtEnd() const { return Pos >= Reply.size(); }
  std::uint8_t Take() {
    const std::uint8_t b = Reply[Pos++];
    if (OnByte) OnByte(b);
    return b;
  }
  // Takes a counted byte (LEN through the closing 0x05).
  std::uint8_t TakeCounted() {
    const std::uint8_t b = Take();
    Sum += b;
    ++Count;
    return b;
  }
  bool Has(std::uint8_t b) const {
    for (std::size_t i = Pos; i < Reply.size(); ++i)
      if (Reply[i] == b) return true;
    return false;
  }

  const TDataBuffer& Reply;
  const std::function<void(std::uint8_t)>& OnByte;
  std::size_t Pos = 1;
  std::uint32_t Sum = 0;
  int Count = 0;
};

void CheckHeader(TReplyWalker& w, std::uint8_t seq, std::uint8_t cmd, std::uint8_t& len) {
  len = w.TakeCounted();
  if (len == 0) throw ECmdException(Err::ReadData, "<LEN>");
  const std::uint8_t rxSeq = w.TakeCounted();
  if (rxSeq == 0) throw ECmdException(Err::ReadByte, "<SEQ>");
  if (rxSeq != seq) throw ECmdException(Err::WrongSeq, MismatchDetail(rxSeq, seq));
  const std::uint8_t rxCmd = w.TakeCounted();
  if (rxCmd == 0) throw ECmdException(Err::ReadByte, "<CMD>");
  if (rxCmd != cmd) throw ECmdException(Err::WrongCmdTcp, MismatchDetail(rxCmd, cmd));
}

void CheckBody(TReplyWalker& w, TResponseParts& parts) {
  if (!w.Has(Ctl::EOT)) {
    while (!w.AtEnd()) w.TakeCounted();
    throw ECmdException(Err::ReadByte, "data");
  }
  for (std::uint8_t b = 0; b != Ctl::EOT;) {
    b = w.TakeCounted();
    if (b > Ctl::EOT) parts.Data.push_back(b);
  }
  // Too short: fewer than six bytes after the 0x04, or no 0x05 at all.
  std::size_t enq = w.Pos;
  while (enq < w.Reply.size() && w.Reply[enq] != Ctl::ENQ) ++enq;
  if (enq >= w.Reply.size() || w.Reply.size() - w.Pos < StatusByteCount) {
    while (!w.AtEnd()) w.TakeCounted();
    throw ECmdException(Err::ReadByte, "status");
  }
  for (std::uint8_t b = 0; b != Ctl::ENQ;) {
    b = w.TakeCounted();
    if (b > Ctl::ENQ) parts.Status.push_back(b);
  }
  if (parts.Status.size() != StatusByteCount) throw ECmdException(Err::ReadData, "<STATUS>");
}
}  // namespace

TResponseParts CheckCollectedResponse(const TDataBuffer& reply, std::uint8_t expectedSeq,
                                      std::uint8_t expectedCmd,
                                      const std::function<void(std::uint8_t)>& onByte) {
  if (reply.size() < 4) throw ECmdException(Err::ReadData, "LEN1");
  TReplyWalker w(reply, onByte);
  TResponseParts parts;
  parts.Data.reserve(reply.size());
  parts.Status.reserve(StatusByteCount);
  std::uint8_t len = 0;
  CheckHeader(w, expectedSeq, expectedCmd, len);
  CheckBody(w, parts);
  if (!w.Has(Ctl::ETX)) {
    while (!w.AtEnd()) w.Take();
    throw ECmdException(Err::ReadByte, "contr.sum");
  }
  std::string text;
  for (std::uint8_t b = 0; b != Ctl::ETX;) {
    b = w.Take();
    if (b > Ctl::ETX) text += ChecksumDigit(b);
  }
  if (text.size() != 4) throw ECmdException(Err::ReadByte, "[" + text + "]");
  if (w.Count != len - LenBase)
    throw ECmdException(Err::BadLength,
                        std::to_string(len - LenBase) + "/" + std::to_string(w.Count));
  const std::string computed = Hex4(w.Sum);
  if (text != computed) throw ECmdException(Err::ReadByte, "[" + text + "/" + computed + "]");
  return parts;
}
