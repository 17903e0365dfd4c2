#include "TapExchangeDecoder.h"

#include <algorithm>

#include "FrameCodec.h"

namespace {

int SideIndex(TTapSide s) { return s == TTapSide::Host ? 0 : 1; }

std::uint8_t ByteAt(const std::string& bytes, std::size_t i) {
  return static_cast<std::uint8_t>(bytes[i]);
}

void AddNoise(TTapNoise& noise, const TTapPiece& p) {
  const std::size_t room =
      TTapStreamDecoder::NoiseKeep - std::min(noise.Kept.size(), TTapStreamDecoder::NoiseKeep);
  noise.Kept += p.Bytes.substr(0, room);
  noise.Count += p.Count;
}

void AddFrameChecks(TTapExchange& ex, const TTapFrame& f, bool request) {
  const std::string who = request ? "request: " : "answer: ";
  for (const std::string& failure : f.Report.Failures)
    ex.Checks.push_back({TapFailureKind(failure), who + failure});
  if (f.OverCap) {
    const std::size_t cap = request ? TapHostFrameCap() : TapDeviceFrameCap();
    ex.Checks.push_back({"over-cap", who + "no end within " + std::to_string(cap) +
                                         " bytes; what follows is read as bytes outside frames"});
  }
  if (f.Cut) {
    ex.Checks.push_back(
        {"cut", who + "cut short: a new <SOH> came, or the link closed, before its end"});
  }
  if (f.Report.Bytes.size() < 4) return;
  const bool hasEnq = f.Report.Bytes.find('\x05', 4) != std::string::npos;
  if (request && f.Report.Response) {
    ex.Checks.push_back({"envelope", who + "it has an <EOT>, as an answer has"});
  } else if (!request && !f.Report.Response && hasEnq) {
    ex.Checks.push_back(
        {"envelope", who + "no <EOT> before the <ENQ>: the status part is missing"});
  }
}

// SEQ and CMD of the answer against the request's, and the host's verdict.
void PairChecks(TTapExchange& ex) {
  const std::string& req = ex.Request->Report.Bytes;
  const std::string& ans = ex.Answer->Report.Bytes;
  ex.DurationUs = std::max<std::int64_t>(0, ex.Answer->EndUs - ex.Request->EndUs);
  if (req.size() < 4) {
    ex.HostCheck = ex.Answer->Report.HostCheck;
    return;
  }
  ex.HostCheck = HostCheckAgainst(ans, ByteAt(req, 2), ByteAt(req, 3));
  // Past the cap the bytes in SEQ's and CMD's places may be anything.
  if (ans.size() < 4 || ex.Answer->OverCap) return;
  if (ans[2] != req[2]) {
    ex.Checks.push_back({"seq-mismatch", "answer SEQ " + Hex2(ByteAt(ans, 2)) +
                                             " does not match the request's " +
                                             Hex2(ByteAt(req, 2))});
  }
  if (ans[3] != req[3]) {
    ex.Checks.push_back({"cmd-mismatch", "answer command " + Hex2(ByteAt(ans, 3)) +
                                             " does not match the request's " +
                                             Hex2(ByteAt(req, 3))});
  }
}

}  // namespace

std::string TapFailureKind(const std::string& failure) {
  for (const char* kind : {"checksum", "length", "status", "escape", "sequence"}) {
    if (failure.rfind(std::string(kind) + ":", 0) == 0) return kind;
  }
  return "envelope";
}

TTapExchangeDecoder::TTapExchangeDecoder(THandler onExchange)
    : OnExchange_(std::move(onExchange)),
      Host_(TapHostFrameCap(), false),
      Device_(TapDeviceFrameCap(), true) {}

void TTapExchangeDecoder::Bytes(TTapSide from, std::string_view bytes, std::int64_t timeUs) {
  TTapStreamDecoder& dec = from == TTapSide::Host ? Host_ : Device_;
  const int s = SideIndex(from);
  bool carried = dec.Pending() > 0;
  Pieces_.clear();
  dec.Feed(bytes, Pieces_);
  for (TTapPiece& p : Pieces_) {
    if (p.Kind == TTapPiece::TKind::Frame) {
      if (!carried) FrameStart_[s] = timeUs;
      carried = false;
    }
    Piece(from, p, timeUs);
  }
  if (dec.Pending() > 0 && !carried) FrameStart_[s] = timeUs;
}

void TTapExchangeDecoder::Close(TTapSide side, std::int64_t timeUs) {
  End(timeUs, side == TTapSide::Host ? "no answer: the host closed the link"
                                     : "no answer: the device closed the link");
}

void TTapExchangeDecoder::Stop(std::int64_t timeUs) {
  End(timeUs, "no answer: the tap stopped before it came");
}

void TTapExchangeDecoder::End(std::int64_t timeUs, const std::string& noAnswer) {
  // An answer under way belongs to the request already waiting: the device first.
  for (TTapSide s : {TTapSide::Device, TTapSide::Host}) {
    Pieces_.clear();
    (s == TTapSide::Host ? Host_ : Device_).Flush(Pieces_);
    for (TTapPiece& p : Pieces_) Piece(s, p, timeUs);
  }
  if (Open_) FinishOpen(noAnswer);
  FlushIdle();
}

void TTapExchangeDecoder::Piece(TTapSide from, TTapPiece& p, std::int64_t timeUs) {
  switch (p.Kind) {
    case TTapPiece::TKind::Frame: {
      TTapFrame f;
      f.Report = DecodeFrame(p.Bytes);
      f.StartUs = FrameStart_[SideIndex(from)];
      f.EndUs = timeUs;
      f.OverCap = p.OverCap;
      f.Cut = p.Cut;
      if (from == TTapSide::Host) {
        HostFrame(std::move(f));
      } else {
        DeviceFrame(std::move(f));
      }
      break;
    }
    case TTapPiece::TKind::Noise:
      AddNoise(from == TTapSide::Host ? Current(timeUs).HostNoise : Current(timeUs).DeviceNoise, p);
      break;
    case TTapPiece::TKind::Nak:
      Nak(p.Count, timeUs);
      break;
    case TTapPiece::TKind::Syn:
      Current(timeUs).Syns += static_cast<int>(p.Count);
      break;
  }
}

void TTapExchangeDecoder::HostFrame(TTapFrame f) {
  if (Open_) FinishOpen("no answer: the host sent the next request");
  FlushIdle();
  Open_.emplace();
  Open_->Number = Next_++;
  Open_->TimeUs = f.StartUs;
  AddFrameChecks(*Open_, f, true);
  Open_->Request = std::move(f);
}

void TTapExchangeDecoder::DeviceFrame(TTapFrame f) {
  if (!Open_) {
    FlushIdle();
    Open_.emplace();
    Open_->Number = Next_++;
    Open_->TimeUs = f.StartUs;
    Open_->Checks.push_back({"no-request", "an answer with no request waiting for it"});
  }
  AddFrameChecks(*Open_, f, false);
  Open_->Answer = std::move(f);
  if (Open_->Request) {
    PairChecks(*Open_);
  } else {
    Open_->HostCheck = Open_->Answer->Report.HostCheck;
  }
  Emit(*Open_);
  Open_.reset();
}

void TTapExchangeDecoder::Nak(std::size_t count, std::int64_t timeUs) {
  TTapExchange& ex = Current(timeUs);
  ex.Naks += static_cast<int>(count);
  if (!Open_) return;
  Open_->Checks.push_back({"nak", "the device refused the request (NAK)"});
  Emit(*Open_);
  Open_.reset();
}

TTapExchange& TTapExchangeDecoder::Current(std::int64_t timeUs) {
  if (Open_) return *Open_;
  if (!Idle_) {
    Idle_.emplace();
    Idle_->TimeUs = timeUs;
  }
  return *Idle_;
}

void TTapExchangeDecoder::FinishOpen(const std::string& noAnswer) {
  Open_->Checks.push_back({"no-answer", noAnswer});
  Emit(*Open_);
  Open_.reset();
}

void TTapExchangeDecoder::FlushIdle() {
  if (!Idle_) return;
  if (Idle_->Naks > 0) {
    Idle_->Checks.push_back(
        {"nak", std::to_string(Idle_->Naks) + " NAK with no request waiting for an answer"});
  }
  Emit(*Idle_);
  Idle_.reset();
}

void TTapExchangeDecoder::Emit(TTapExchange& ex) {
  if (ex.HostNoise.Count > 0) {
    ex.Checks.push_back(
        {"noise", std::to_string(ex.HostNoise.Count) + " bytes outside frames from the host"});
  }
  if (ex.DeviceNoise.Count > 0) {
    ex.Checks.push_back(
        {"noise", std::to_string(ex.DeviceNoise.Count) + " bytes outside frames from the device"});
  }
  OnExchange_(ex);
}
