#include "SimCodec.h"

namespace sim {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendEscapedByte(std::uint8_t b, std::string& out) {
  if (b < 0x20 && b != 0x09 && b != 0x0A) {
    out.push_back(static_cast<char>(kDLE));
    out.push_back(static_cast<char>(b + 0x40));
  } else {
    out.push_back(static_cast<char>(b));
  }
}

void AppendChecksumChars(std::uint16_t sum, std::string& out) {
  for (int shift = 12; shift >= 0; shift -= 4) {
    out.push_back(static_cast<char>(0x30 + ((sum >> shift) & 0x0F)));
  }
}

const char* ControlName(std::uint8_t b) {
  switch (b) {
    case kSOH:
      return "<SOH>";
    case kETX:
      return "<ETX>";
    case kEOT:
      return "<EOT>";
    case kENQ:
      return "<ENQ>";
    case kDLE:
      return "<DLE>";
    case kNAK:
      return "<NAK>";
    case kSYN:
      return "<SYN>";
    default:
      return nullptr;
  }
}

}  // namespace

std::string Unescape(std::string_view data) {
  std::string out;
  out.reserve(data.size());
  for (std::size_t i = 0; i < data.size(); ++i) {
    auto b = static_cast<std::uint8_t>(data[i]);
    if (b == kDLE && i + 1 < data.size() && static_cast<std::uint8_t>(data[i + 1]) >= 0x40) {
      out.push_back(static_cast<char>(static_cast<std::uint8_t>(data[i + 1]) - 0x40));
      ++i;
    } else {
      out.push_back(static_cast<char>(b));
    }
  }
  return out;
}

bool IsValidEscapedData(std::string_view escaped) {
  for (std::size_t i = 0; i < escaped.size(); ++i) {
    auto b = static_cast<std::uint8_t>(escaped[i]);
    if (b == kDLE) {
      if (i + 1 >= escaped.size()) return false;
      auto next = static_cast<std::uint8_t>(escaped[++i]);
      if (next < 0x40 || next > 0x5F) return false;
    } else if (b < 0x20 && b != 0x09 && b != 0x0A) {
      return false;
    }
  }
  return true;
}

std::uint16_t RequestChecksum(std::string_view frame) {
  std::uint16_t sum = 0;
  for (std::size_t i = 0; i < frame.size(); ++i) {
    auto b = static_cast<std::uint8_t>(frame[i]);
    if (b == kSOH) continue;
    sum = static_cast<std::uint16_t>(sum + b);
    if (b == kENQ) break;
  }
  return sum;
}

TRequestAssembler::EEvent TRequestAssembler::Push(std::uint8_t b) {
  if (State_ != EState::Hunt) {
    if (Buf_.size() >= kMaxFrame) return Broken("frame too long");
    Buf_.push_back(static_cast<char>(b));
  }
  switch (State_) {
    case EState::Hunt:
      if (b == kSOH) {
        Buf_.assign(1, static_cast<char>(b));
        State_ = EState::Len;
      }
      return EEvent::None;
    case EState::Len:
      State_ = EState::Seq;
      return EEvent::None;
    case EState::Seq:
      State_ = EState::Cmd;
      return EEvent::None;
    case EState::Cmd:
      State_ = EState::Data;
      DataStart_ = Buf_.size();
      return EEvent::None;
    case EState::Data:
      // Escaped data never holds 0x01: a new frame starts, the old one was cut.
      if (b == kSOH) {
        Buf_.assign(1, static_cast<char>(b));
        State_ = EState::Len;
      } else if (b == kENQ) {
        State_ = EState::Sum;
        SumCount_ = 0;
      }
      return EEvent::None;
    case EState::Sum:
      if (++SumCount_ == 4) State_ = EState::End;
      return EEvent::None;
    case EState::End:
      return b == kETX ? Finish() : Broken("no ETX after the checksum");
  }
  return EEvent::None;
}

TRequestAssembler::EEvent TRequestAssembler::Finish() {
  const std::size_t enqPos = Buf_.size() - 6;
  std::string_view escaped(Buf_.data() + DataStart_, enqPos - DataStart_);
  if (!IsValidEscapedData(escaped)) return Broken("bad escaping in the data");
  Req_.Len = static_cast<std::uint8_t>(Buf_[1]);
  Req_.Seq = static_cast<std::uint8_t>(Buf_[2]);
  Req_.Cmd = static_cast<std::uint8_t>(Buf_[3]);
  Req_.Data = Unescape(escaped);
  Req_.Frame = Buf_;
  // LEN cannot wrap: data it cannot count makes the frame another one than sent.
  if (Req_.Len != Req_.Data.size() + 0x24) return Broken("LEN does not match the data");
  std::uint16_t sum = RequestChecksum(std::string_view(Buf_.data(), enqPos + 1));
  std::string expected;
  AppendChecksumChars(sum, expected);
  if (Buf_.compare(enqPos + 1, 4, expected) != 0) return Broken("checksum differs");
  State_ = EState::Hunt;
  Buf_.clear();
  return EEvent::Frame;
}

TRequestAssembler::EEvent TRequestAssembler::Broken(const std::string& reason) {
  Reason_ = reason;
  Req_.Frame = Buf_;
  State_ = EState::Hunt;
  Buf_.clear();
  return EEvent::Broken;
}

void TRequestAssembler::Reset() {
  State_ = EState::Hunt;
  Buf_.clear();
}

std::string EncodeResponse(std::uint8_t seq, std::uint8_t cmd, std::string_view data,
                           std::string_view status) {
  std::string f;
  f.reserve(data.size() + status.size() + 12);
  f.push_back(static_cast<char>(kSOH));
  f.push_back(static_cast<char>(0x20 + ((data.size() + status.size() + 5) & 0xFF)));
  f.push_back(static_cast<char>(seq));
  f.push_back(static_cast<char>(cmd));
  f.append(data);
  f.push_back(static_cast<char>(kEOT));
  f.append(status);
  f.push_back(static_cast<char>(kENQ));
  std::uint16_t sum = 0;
  for (std::size_t i = 1; i < f.size(); ++i)
    sum = static_cast<std::uint16_t>(sum + static_cast<std::uint8_t>(f[i]));
  AppendChecksumChars(sum, f);
  f.push_back(static_cast<char>(kETX));
  return f;
}

std::string EncodeRequest(std::uint8_t seq, std::uint8_t cmd, std::string_view data) {
  std::string f;
  f.push_back(static_cast<char>(kSOH));
  f.push_back(static_cast<char>((data.size() + 0x24) & 0xFF));
  f.push_back(static_cast<char>(seq));
  f.push_back(static_cast<char>(cmd));
  for (char c : data) AppendEscapedByte(static_cast<std::uint8_t>(c), f);
  f.push_back(static_cast<char>(kENQ));
  AppendChecksumChars(RequestChecksum(f), f);
  f.push_back(static_cast<char>(kETX));
  return f;
}

std::string TraceHex(std::string_view bytes) {
  std::string out;
  for (char c : bytes) {
    auto b = static_cast<std::uint8_t>(c);
    if (!out.empty()) out.push_back(' ');
    if (const char* name = ControlName(b)) {
      out += name;
    } else {
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 0x0F]);
    }
  }
  return out;
}

}  // namespace sim
