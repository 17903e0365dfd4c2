#include "SimDevice.h"

#include <algorithm>

#include "SimStateFile.h"

using namespace sim;

namespace {

std::string StatusText(const TStatus& st) { return std::string(st.begin(), st.end()); }

// Writes the four checksum characters again after a header byte was changed,
// so that only the intended field is wrong.
void Rechecksum(std::string& frame) {
  if (frame.size() < 11) return;
  std::size_t sumPos = frame.size() - 5;
  unsigned sum = 0;
  for (std::size_t i = 1; i < sumPos; ++i) sum += static_cast<unsigned char>(frame[i]);
  for (int k = 0; k < 4; ++k)
    frame[sumPos + k] = static_cast<char>(0x30 + ((sum >> (12 - 4 * k)) & 15));
}

}  // namespace

TSimDevice::TSimDevice() = default;

bool TSimDevice::TakeFault(EFault kind, int cmd, TSimFault* out) {
  for (TSimFault& f : Faults_) {
    if (f.Kind != kind || !f.Matches(cmd)) continue;
    if (f.Count > 0) --f.Count;
    if (out) *out = f;
    return true;
  }
  return false;
}

TStatus TSimDevice::Overlay(int cmd, TStatus* clearMask) {
  TStatus set{};
  clearMask->fill(0);
  for (TSimFault& f : Faults_) {
    bool isSet = f.Kind == EFault::StatusSet;
    if ((!isSet && f.Kind != EFault::StatusClear) || !f.Matches(cmd)) continue;
    (isSet ? set : *clearMask)[static_cast<std::size_t>(f.Byte)] |= 1u << f.Bit;
    if (f.Count > 0) --f.Count;
  }
  return set;
}

TModelAnswer TSimDevice::ExecuteLocked(std::uint8_t cmd, const std::string& data) {
  TStatus clear;
  TStatus set = Overlay(cmd, &clear);
  TSimFault forced;
  TModelAnswer a;
  if (TakeFault(EFault::ForceAnswer, cmd, &forced)) {
    a.Data = forced.Text;
    a.Status = Model_.StateStatus();
  } else {
    a = Model_.Execute(cmd, data, set);
    if (a.Executed) ++Executed_[cmd];
  }
  for (std::size_t i = 0; i < a.Status.size(); ++i) {
    a.Status[i] = static_cast<std::uint8_t>(((a.Status[i] | set[i]) & ~clear[i]) | 0x80);
  }
  DropSpent(Faults_);
  return a;
}

std::string TSimDevice::Corrupt(std::string frame, int cmd) {
  if (frame.size() < 11) return frame;
  if (TakeFault(EFault::WrongSeq, cmd)) {
    auto seq = static_cast<std::uint8_t>(frame[2]);
    frame[2] = static_cast<char>(seq >= 0x7F ? 0x20 : seq + 1);
    Rechecksum(frame);
  }
  if (TakeFault(EFault::WrongCmd, cmd)) {
    frame[3] = static_cast<char>(static_cast<std::uint8_t>(frame[3]) + 1);
    Rechecksum(frame);
  }
  if (TakeFault(EFault::WrongLen, cmd)) {
    frame[1] = static_cast<char>(static_cast<std::uint8_t>(frame[1]) + 1);
    Rechecksum(frame);
  }
  if (TakeFault(EFault::WrongChecksum, cmd)) frame[frame.size() - 2] ^= 0x01;
  return frame;
}

TSimReplyPlan TSimDevice::Process(const TSimRequest& req) {
  std::lock_guard lock(Mu_);
  TSimReplyPlan plan;
  const int cmd = req.Cmd;
  if (TakeFault(EFault::Nak, cmd)) {
    plan.Nak = true;
  } else if (TakeFault(EFault::Silent, cmd)) {
    plan.Silent = true;
  } else {
    bool repeat =
        Dedup_ && HaveLast_ && req.Seq == LastSeq_ && req.Cmd == LastCmd_ && req.Data == LastData_;
    if (repeat) {
      plan.Frame = LastFrame_;
      Trace("-- repeated SEQ " + TraceHex(std::string(1, static_cast<char>(req.Seq))) +
            ": previous answer sent again, not executed");
    } else {
      TModelAnswer a = ExecuteLocked(req.Cmd, req.Data);
      plan.Frame = EncodeResponse(req.Seq, req.Cmd, a.Data, StatusText(a.Status));
      plan.BusyMs = a.WorkMs;
      HaveLast_ = true;
      LastSeq_ = req.Seq;
      LastCmd_ = req.Cmd;
      LastData_ = req.Data;
      LastFrame_ = plan.Frame;
      AutoSave();
    }
    TSimFault f;
    if (TakeFault(EFault::Busy, cmd, &f)) plan.BusyMs += f.Ms;
    if (TakeFault(EFault::Noise, cmd, &f)) plan.Noise = f.Text;
    plan.Frame = Corrupt(plan.Frame, cmd);
    plan.CloseMidFrame = TakeFault(EFault::CloseMidFrame, cmd);
    plan.Silent = TakeFault(EFault::SilentExecuted, cmd);
  }
  DropSpent(Faults_);
  return plan;
}

void TSimDevice::SetSynInterval(int ms) {
  std::lock_guard lock(Mu_);
  SynMs_ = std::clamp(ms, 10, 650);
}

int TSimDevice::SynInterval() const {
  std::lock_guard lock(Mu_);
  return SynMs_;
}

void TSimDevice::SetDuplicateDetection(bool on) {
  std::lock_guard lock(Mu_);
  Dedup_ = on;
  HaveLast_ = false;
}

void TSimDevice::ForgetLastRequest() {
  std::lock_guard lock(Mu_);
  HaveLast_ = false;
}

TModelAnswer TSimDevice::Execute(std::uint8_t cmd, const std::string& data) {
  std::lock_guard lock(Mu_);
  HaveLast_ = false;
  TModelAnswer a = ExecuteLocked(cmd, data);
  AutoSave();
  return a;
}

TSimState TSimDevice::Snapshot() const {
  std::lock_guard lock(Mu_);
  return Model_.State();
}

void TSimDevice::Mutate(const std::function<void(TSimState&)>& change) {
  std::lock_guard lock(Mu_);
  change(Model_.State());
  HaveLast_ = false;
  AutoSave();
}

bool TSimDevice::FiscalReceiptOpen() const {
  std::lock_guard lock(Mu_);
  return Model_.State().FiscalOpen();
}

bool TSimDevice::CommentReceiptOpen() const {
  std::lock_guard lock(Mu_);
  return Model_.State().CommentOpen();
}

std::int64_t TSimDevice::Closure() const {
  std::lock_guard lock(Mu_);
  return Model_.State().Closure;
}

std::int64_t TSimDevice::CashSum() const {
  std::lock_guard lock(Mu_);
  return Model_.State().Cash;
}

int TSimDevice::ExecutedCount(int cmd) const {
  std::lock_guard lock(Mu_);
  if (cmd >= 0) {
    auto it = Executed_.find(cmd);
    return it == Executed_.end() ? 0 : it->second;
  }
  int n = 0;
  for (const auto& [code, count] : Executed_) n += count;
  return n;
}

std::vector<std::string> TSimDevice::Paper() const {
  std::lock_guard lock(Mu_);
  return {Model_.Paper().begin(), Model_.Paper().end()};
}

void TSimDevice::SetClock(std::function<std::int64_t()> clock) {
  std::lock_guard lock(Mu_);
  Model_.SetClock(std::move(clock));
}

void TSimDevice::SetWorkTime(int ms) {
  std::lock_guard lock(Mu_);
  Model_.SetReportWorkMs(ms);
}

void TSimDevice::AddFault(const TSimFault& fault) {
  std::lock_guard lock(Mu_);
  Faults_.push_back(fault);
  HaveLast_ = false;  // a fault is a new situation: no stale answer for a fresh host
}

void TSimDevice::NakNext(int n, int cmd) { AddFault(MakeFault(EFault::Nak, cmd, n)); }
void TSimDevice::WrongSeq(int count, int cmd) { AddFault(MakeFault(EFault::WrongSeq, cmd, count)); }
void TSimDevice::WrongCmd(int count, int cmd) { AddFault(MakeFault(EFault::WrongCmd, cmd, count)); }
void TSimDevice::WrongLen(int count, int cmd) { AddFault(MakeFault(EFault::WrongLen, cmd, count)); }
void TSimDevice::WrongChecksum(int count, int cmd) {
  AddFault(MakeFault(EFault::WrongChecksum, cmd, count));
}
void TSimDevice::Silent(int count, int cmd, bool execute) {
  AddFault(MakeFault(execute ? EFault::SilentExecuted : EFault::Silent, cmd, count));
}
void TSimDevice::Busy(int ms, int count, int cmd) {
  AddFault(MakeFault(EFault::Busy, cmd, count, ms));
}
void TSimDevice::NoiseBeforeFrame(const std::string& noise, int count, int cmd) {
  TSimFault f = MakeFault(EFault::Noise, cmd, count);
  f.Text = noise;
  AddFault(f);
}
void TSimDevice::CloseMidFrame(int count, int cmd) {
  AddFault(MakeFault(EFault::CloseMidFrame, cmd, count));
}

void TSimDevice::SetStatusBit(int k, int n, bool on, int cmd, int count) {
  {
    std::lock_guard lock(Mu_);
    std::erase_if(Faults_, [&](const TSimFault& f) {
      bool status = f.Kind == EFault::StatusSet || f.Kind == EFault::StatusClear;
      return status && f.Byte == k && f.Bit == n && f.Cmd == cmd;
    });
  }
  TSimFault f = MakeFault(on ? EFault::StatusSet : EFault::StatusClear, cmd, count);
  f.Byte = k;
  f.Bit = n;
  AddFault(f);
}

void TSimDevice::ResetStatusBit(int k, int n) {
  std::lock_guard lock(Mu_);
  std::erase_if(Faults_, [&](const TSimFault& f) {
    bool status = f.Kind == EFault::StatusSet || f.Kind == EFault::StatusClear;
    return status && f.Byte == k && f.Bit == n;
  });
  HaveLast_ = false;
}

void TSimDevice::ForceAnswer(int cmd, const std::string& text, int count) {
  TSimFault f = MakeFault(EFault::ForceAnswer, cmd, count);
  f.Text = text;
  AddFault(f);
}

void TSimDevice::ClearFaults() {
  std::lock_guard lock(Mu_);
  Faults_.clear();
  HaveLast_ = false;
}

std::vector<TSimFault> TSimDevice::Faults() const {
  std::lock_guard lock(Mu_);
  return Faults_;
}

bool TSimDevice::SaveState(const std::string& path, std::string* error) const {
  std::lock_guard lock(Mu_);
  return SaveStateFile(Model_.State(), path, error);
}

bool TSimDevice::LoadState(const std::string& path, std::string* error, std::string* warning) {
  std::lock_guard lock(Mu_);
  if (!LoadStateFile(path, Model_.State(), error, warning)) return false;
  HaveLast_ = false;
  SavedText_ = SerializeState(Model_.State());
  return true;
}

void TSimDevice::SetStateFile(const std::string& path) {
  std::lock_guard lock(Mu_);
  StateFile_ = path;
  SavedText_.clear();
  AutoSave();
}

void TSimDevice::AutoSave() {
  if (StateFile_.empty()) return;
  std::string text = SerializeState(Model_.State());
  if (text == SavedText_) return;
  std::string error;
  if (SaveStateFile(Model_.State(), StateFile_, &error)) {
    SavedText_ = std::move(text);
    SaveFailure_.clear();
    return;
  }
  Trace("-- state not saved: " + error);
  if (error != SaveFailure_ && SaveFailureSink_) SaveFailureSink_("state not saved: " + error);
  SaveFailure_ = error;
}

void TSimDevice::SetSaveFailureReport(std::function<void(const std::string&)> sink) {
  std::lock_guard lock(Mu_);
  SaveFailureSink_ = std::move(sink);
}

void TSimDevice::SetTrace(std::function<void(const std::string&)> sink) {
  std::lock_guard lock(TraceMu_);
  TraceSink_ = std::move(sink);
}

void TSimDevice::Trace(const std::string& line) const {
  std::lock_guard lock(TraceMu_);
  if (TraceSink_) TraceSink_(line);
}
