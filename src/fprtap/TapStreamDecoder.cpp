#include "TapStreamDecoder.h"

#include "ConstUnit.h"
#include "TransportLimits.h"

namespace {

TTapPiece::TKind KindOf(std::uint8_t b, bool controlBytes) {
  if (controlBytes && b == Ctl::NAK) return TTapPiece::TKind::Nak;
  if (controlBytes && b == Ctl::SYN) return TTapPiece::TKind::Syn;
  return TTapPiece::TKind::Noise;
}

}  // namespace

std::size_t TapHostFrameCap() {
  // <SOH> LEN SEQ CMD, every data byte escaped into two, <ENQ>, four sum characters, <ETX>.
  return 4 + 2 * MaxRequestData + 6;
}

std::size_t TapDeviceFrameCap() { return Limits::MaxFrameBytes; }

TTapStreamDecoder::TTapStreamDecoder(std::size_t cap, bool controlBytes)
    : Cap_(cap < 8 ? 8 : cap), ControlBytes_(controlBytes) {
  Frame_.reserve(Cap_);
}

void TTapStreamDecoder::Feed(std::string_view bytes, std::vector<TTapPiece>& out) {
  Fed_ += bytes.size();
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (!Frame_.empty()) {
      i += TakeFrameBytes(bytes.substr(i), out);
      continue;
    }
    std::size_t soh = bytes.find(static_cast<char>(Ctl::SOH), i);
    if (soh == std::string_view::npos) soh = bytes.size();
    if (soh > i) EmitOutside(bytes.substr(i, soh - i), out);
    i = soh;
    if (i < bytes.size()) {
      Frame_.push_back(static_cast<char>(Ctl::SOH));
      Enq_ = 0;
      ++i;
    }
  }
}

void TTapStreamDecoder::Flush(std::vector<TTapPiece>& out) {
  if (!Frame_.empty()) EndFrame(true, false, out);
}

std::size_t TTapStreamDecoder::TakeFrameBytes(std::string_view bytes, std::vector<TTapPiece>& out) {
  for (std::size_t j = 0; j < bytes.size(); ++j) {
    const auto b = static_cast<std::uint8_t>(bytes[j]);
    // A new frame start ends the one under way; it begins the next frame.
    if (b == Ctl::SOH) {
      EndFrame(true, false, out);
      return j;
    }
    Frame_.push_back(static_cast<char>(b));
    const std::size_t at = Frame_.size() - 1;
    if (Enq_ == 0 && b == Ctl::ENQ && at >= 4) Enq_ = at;
    // After the <ENQ>: four sum characters and the <ETX>; an early <ETX> ends it too.
    if (Enq_ != 0 && ((b == Ctl::ETX && at > Enq_) || Frame_.size() == Enq_ + 6)) {
      EndFrame(false, false, out);
      return j + 1;
    }
    if (Frame_.size() >= Cap_) {
      EndFrame(false, true, out);
      return j + 1;
    }
  }
  return bytes.size();
}

void TTapStreamDecoder::EndFrame(bool cut, bool overCap, std::vector<TTapPiece>& out) {
  TTapPiece p;
  p.Kind = TTapPiece::TKind::Frame;
  p.Bytes = Frame_;
  p.Count = Frame_.size();
  p.Cut = cut;
  p.OverCap = overCap;
  Accounted_ += p.Count;
  Frame_.clear();
  Enq_ = 0;
  out.push_back(std::move(p));
}

void TTapStreamDecoder::EmitOutside(std::string_view run, std::vector<TTapPiece>& out) {
  std::size_t start = 0;
  while (start < run.size()) {
    const TTapPiece::TKind kind = KindOf(static_cast<std::uint8_t>(run[start]), ControlBytes_);
    std::size_t end = start + 1;
    while (end < run.size() && KindOf(static_cast<std::uint8_t>(run[end]), ControlBytes_) == kind)
      ++end;
    EmitRun(kind, run.substr(start, end - start), out);
    start = end;
  }
}

void TTapStreamDecoder::EmitRun(TTapPiece::TKind kind, std::string_view run,
                                std::vector<TTapPiece>& out) {
  TTapPiece p;
  p.Kind = kind;
  if (kind == TTapPiece::TKind::Noise) p.Bytes = std::string(run.substr(0, NoiseKeep));
  p.Count = run.size();
  Accounted_ += p.Count;
  out.push_back(std::move(p));
}
