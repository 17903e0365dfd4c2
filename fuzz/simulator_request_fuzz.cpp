// Feeds arbitrary byte streams to the device side of the simulator: the link
// session with its frame assembler, the reply plans with fault injection, and
// the fiscal model, all in memory with a virtual clock (no sockets, threads or
// sleeps). Beyond memory and undefined-behaviour faults it fails when
//  - the assembler holds more than one frame's worth of bytes,
//  - a byte that completes nothing is answered, a broken frame gets anything
//    but NAK, or one request gets more output than its busy time, noise and one
//    frame allow,
//  - an answer that no link fault was asked to spoil does not pass the host's
//    own response checks (LEN, SEQ, CMD, status, checksum),
//  - the model's state outgrows its fixed limits, or the state it would save
//    is not read back as it was (a loaded state file too: any text that loads
//    must keep every command within the model's limits).
//
// Input: byte 0 sets up the device (bit 0: no duplicate detection; bit 1: a
// state file text follows, two bytes of length and the text, loaded when it
// reads); then records, each a selector byte (value % 8) and its fields:
//   0 raw bytes: n, n bytes          1 request: SEQ, CMD, n, n data bytes
//   2 the link idles (partial frame dropped)   3 reconnect
//   4 fault: kind, count, cmd, argument        5 setting: which, value
//   6 device wall clock: four bytes           7 direct execution: CMD, n, data

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ConstUnit.h"
#include "FrameCodec.h"
#include "FuzzInput.h"
#include "SimCodec.h"
#include "SimDevice.h"
#include "SimSession.h"
#include "SimStateFile.h"

using namespace sim;

namespace {

using TReader = TFuzzReader;

// Records what the session writes; waits only move a virtual clock.
class TFuzzChannel : public ISimChannel {
 public:
  std::vector<std::string> Writes;
  std::int64_t Now = 0;
  int FailWrites = 0;  // the next n writes fail (peer gone)
  int WaitsLeft = -1;  // the server stops after n waits (-1: never)

  bool Write(std::string_view bytes) override {
    if (FailWrites > 0) {
      --FailWrites;
      return false;
    }
    Writes.emplace_back(bytes);
    return true;
  }
  bool Wait(int ms) override {
    Check(ms > 0 && ms <= 650);  // a wait that never ends the busy phase would spin
    Now += ms;
    if (WaitsLeft == 0) return false;
    if (WaitsLeft > 0) --WaitsLeft;
    return true;
  }
  std::int64_t NowMs() override { return Now; }
};

constexpr std::size_t kMaxNoise = 64;
constexpr int kMaxBusyMs = 5000;
constexpr std::size_t kMaxFrameOut = 255;   // LEN is one byte
constexpr std::size_t kMaxForcedOut = 300;  // a forced answer may be longer
constexpr std::size_t kMaxTraceLine = 8 * TRequestAssembler::kMaxFrame;

bool IsCorrupting(EFault kind) {
  switch (kind) {
    case EFault::WrongSeq:
    case EFault::WrongCmd:
    case EFault::WrongLen:
    case EFault::WrongChecksum:
    case EFault::Noise:
    case EFault::CloseMidFrame:
    case EFault::ForceAnswer:
      return true;
    default:
      return false;
  }
}

class TRun {
 public:
  explicit TRun(std::uint8_t setup) {
    Dev_.SetClock([this] { return WallClock_; });
    Dev_.SetTrace([](const std::string& line) { Check(line.size() <= kMaxTraceLine); });
    if (setup & 1) Dev_.SetDuplicateDetection(false);
    Reconnect();
  }

  // A state file text: refused, or loaded as the state the device goes on with.
  void LoadState(const std::string& text) {
    TSimState loaded;
    if (!ParseState(text, loaded, nullptr)) return;
    CheckSavedReadsBack(loaded);
    LoadedLines_ = loaded.Receipt.Lines.size();
    Dev_.Mutate([&](TSimState& s) { s = std::move(loaded); });
  }

  void Record(TReader& in) {
    switch (in.Byte() % 8) {
      case 0:
        FeedAll(in.Bytes(in.Byte()));
        break;
      case 1: {
        const std::uint8_t seq = in.Byte();
        const std::uint8_t cmd = in.Byte();
        FeedRequest(seq, cmd, in.Bytes(in.Byte()));
        break;
      }
      case 2:
        Session_->DropPartial();
        Shadow_.Reset();
        Check(!Session_->InFrame() && Session_->Buffered() == 0);
        break;
      case 3:
        Reconnect();
        break;
      case 4:
        AddFault(in);
        break;
      case 5:
        Setting(in);
        break;
      case 6:
        // Any local wall clock from 1970 to 2106.
        WallClock_ = in.U32();
        break;
      case 7: {
        const std::uint8_t cmd = in.Byte();
        const TModelAnswer a = Dev_.Execute(cmd, in.Bytes(in.Byte()));
        // LEN = 0x20 + data + 11 must fit its byte.
        if (!Corrupting_) Check(0x20 + a.Data.size() + 11 <= 0xFF);
        break;
      }
    }
  }

  // The state stays within the device's fixed limits however long the input.
  void CheckState() const {
    const TSimState s = Dev_.Snapshot();
    Check(s.Departments.size() <= static_cast<std::size_t>(kMaxDepartment));
    Check(s.Plus.size() <= static_cast<std::size_t>(kMaxPlu));
    Check(s.Operators.size() <= static_cast<std::size_t>(kMaxOperator));
    Check(s.Fm.size() <= static_cast<std::size_t>(std::max(s.FmCapacity, 0)));
    Check(s.Receipt.Lines.size() <=
          LoadedLines_ + 8 * static_cast<std::size_t>(Dev_.ExecutedCount()));
    Check(s.Receipt.Lines.size() <= kMaxReceiptLines);
    Check(Dev_.Paper().size() <= 2000);
    for (const auto& line : s.Lines) Check(line.size() <= TRequestAssembler::kMaxFrame);
    for (const auto& [no, d] : s.Departments) {
      Check(d.Text1.size() + d.Text2.size() <= TRequestAssembler::kMaxFrame);
    }
    for (const auto& [no, p] : s.Plus) Check(p.Name.size() <= TRequestAssembler::kMaxFrame);
    CheckSavedReadsBack(s);
  }

 private:
  // What the device would save loads again, unchanged.
  static void CheckSavedReadsBack(const TSimState& s) {
    const std::string text = SerializeState(s);
    TSimState back;
    Check(ParseState(text, back, nullptr));
    Check(SerializeState(back) == text);
  }

  void Reconnect() {
    Session_ = std::make_unique<TSimSession>(Dev_, Ch_);
    Shadow_ = TRequestAssembler{};
  }

  void FeedAll(const std::string& bytes) {
    for (char c : bytes) FeedByte(c);
  }

  // A request as the host frames it: the device's own encoder agrees byte for
  // byte, and the device reads it back as sent unless a partial frame was
  // pending. Data that LEN cannot count (the host never sends it) is refused.
  void FeedRequest(std::uint8_t seq, std::uint8_t cmd, const std::string& data) {
    const TDataBuffer hostFrame =
        BuildRequestFrame(seq, cmd, TDataBuffer(data.begin(), data.end()));
    const std::string frame(hostFrame.begin(), hostFrame.end());
    Check(frame == EncodeRequest(seq, cmd, data));
    const bool clean = !Shadow_.InFrame();
    const bool countable = data.size() <= MaxRequestData;
    Events_ = 0;
    FeedAll(frame);
    if (!clean) return;
    Check(Events_ == 1 && LastWasFrame_ == countable);
    if (!countable) return;
    const TSimRequest& req = LastRequest_;
    Check(req.Seq == seq && req.Cmd == cmd && req.Data == data);
  }

  void FeedByte(char c) {
    const TRequestAssembler::EEvent ev = Shadow_.Push(static_cast<std::uint8_t>(c));
    Ch_.Writes.clear();
    const bool alive = Session_->Feed(std::string_view(&c, 1));
    Check(Session_->Buffered() <= TRequestAssembler::kMaxFrame);
    Check(Session_->Buffered() == Shadow_.Buffered());
    Check(Session_->InFrame() == Shadow_.InFrame());
    if (ev != TRequestAssembler::EEvent::None) {
      ++Events_;
      LastWasFrame_ = ev == TRequestAssembler::EEvent::Frame;
      LastRequest_ = Shadow_.Request();
    }
    switch (ev) {
      case TRequestAssembler::EEvent::None:
        Check(alive && Ch_.Writes.empty());
        break;
      case TRequestAssembler::EEvent::Broken:
        Check(alive ? Ch_.Writes.size() == 1 && Ch_.Writes[0] == "\x15" : Ch_.Writes.empty());
        break;
      case TRequestAssembler::EEvent::Frame:
        CheckAnswer(Shadow_.Request());
        break;
    }
    if (!alive) Reconnect();
  }

  // At most: SYN while busy, noise, then NAK or one frame (or its half).
  void CheckAnswer(const TSimRequest& req) {
    const int interval = Dev_.SynInterval();
    const std::size_t maxSyn = static_cast<std::size_t>(MaxBusyMs_ / interval + 2);
    std::size_t syn = 0, out = 0;
    for (const std::string& w : Ch_.Writes) {
      out += w.size();
      if (w == "\x16") ++syn;
    }
    Check(syn <= maxSyn);
    Check(out <= maxSyn + kMaxNoise + kMaxForcedOut);
    if (Corrupting_ || Ch_.Writes.empty()) return;
    for (std::size_t i = 0; i + 1 < Ch_.Writes.size(); ++i) Check(Ch_.Writes[i] == "\x16");
    const std::string& last = Ch_.Writes.back();
    if (last == "\x16" || last == "\x15") return;  // silent after busy, or NAK
    Check(last.size() <= kMaxFrameOut);
    // SEQ and CMD 0 are not sent by a host; its checks take them for missing bytes.
    if (req.Seq == 0 || req.Cmd == 0) return;
    try {
      CheckCollectedResponse(TDataBuffer(last.begin(), last.end()), req.Seq, req.Cmd, {});
    } catch (const ECmdException&) {
      std::abort();  // an answer the host cannot read
    }
  }

  void AddFault(TReader& in) {
    TSimFault f;
    f.Kind = static_cast<EFault>(in.Byte() % 13);
    f.Count = static_cast<int>(in.Byte() % 4) - 1;
    const std::uint8_t cmd = in.Byte();
    f.Cmd = cmd == 0xFF ? -1 : cmd;
    switch (f.Kind) {
      case EFault::Busy:
        f.Ms = in.U16() % (kMaxBusyMs + 1);
        MaxBusyMs_ = std::max(MaxBusyMs_, ReportMs_ + f.Ms);
        break;
      case EFault::Noise:
        f.Text = in.Bytes(in.Byte() % (kMaxNoise + 1));
        break;
      case EFault::ForceAnswer:
        f.Text = in.Bytes(in.Byte());
        break;
      case EFault::StatusSet:
      case EFault::StatusClear: {
        const std::uint8_t b = in.Byte();
        f.Byte = b % 6;
        f.Bit = (b >> 3) & 7;
        break;
      }
      default:
        break;
    }
    Corrupting_ = Corrupting_ || IsCorrupting(f.Kind);
    Dev_.AddFault(f);
  }

  void Setting(TReader& in) {
    const std::uint8_t which = in.Byte();
    const std::uint16_t value = in.U16();
    switch (which % 6) {
      case 0:
        Dev_.SetSynInterval(value);
        break;
      case 1:
        Dev_.SetDuplicateDetection(value & 1);
        break;
      case 2:
        Dev_.ForgetLastRequest();
        break;
      case 3:
        ReportMs_ = value % (kMaxBusyMs + 1);
        Dev_.SetWorkTime(ReportMs_);
        MaxBusyMs_ = std::max(MaxBusyMs_, ReportMs_ + kMaxBusyMs);
        break;
      case 4:
        Ch_.FailWrites = value % 4;
        break;
      case 5:
        Ch_.WaitsLeft = static_cast<int>(value % 8) - 1;
        break;
    }
  }

  TSimDevice Dev_;
  TFuzzChannel Ch_;
  std::unique_ptr<TSimSession> Session_;
  TRequestAssembler Shadow_;  // the same assembler, to know what each byte completed
  std::int64_t WallClock_ = 1'700'000'000;
  bool Corrupting_ = false;
  int Events_ = 0;  // frames and broken frames since FeedRequest began
  bool LastWasFrame_ = false;
  TSimRequest LastRequest_;  // kept: a dropped link resets the assembler
  int ReportMs_ = 0;
  int MaxBusyMs_ = 0;
  std::size_t LoadedLines_ = 0;  // receipt lines that came with a loaded state
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  TRun run(data[0]);
  TReader in(data + 1, size - 1);
  if (data[0] & 2) run.LoadState(in.Bytes(in.U16()));
  while (!in.Empty()) run.Record(in);
  run.CheckState();
  return 0;
}
