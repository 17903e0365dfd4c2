#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "SimCodec.h"
#include "SimFaults.h"
#include "SimModel.h"

// The simulated device as the link sees it: the fiscal model, the answer of
// the previous request (a host retries with the same SEQ, and a retry must
// not be executed twice, even over a new connection), fault injection, the
// state file and the traffic trace. Every method is thread-safe.

// What the link layer has to send for one request: NAK alone, or SYN while
// busy for `BusyMs`, then `Noise`, then the frame (unless `Silent`); with
// `CloseMidFrame` only the first half of the frame goes out and the link is
// then dropped.
struct TSimReplyPlan {
  bool Nak = false;
  bool Silent = false;
  bool CloseMidFrame = false;
  int BusyMs = 0;
  std::string Noise;
  std::string Frame;
};

class TSimDevice {
 public:
  TSimDevice();

  // ---- Link side (used by the sessions of TSimServer).
  TSimReplyPlan Process(const sim::TSimRequest& req);
  // Interval of SYN bytes while busy, milliseconds (default 300, below the
  // host's 700 ms limit).
  void SetSynInterval(int ms);
  int SynInterval() const;
  // Whether a repeated SEQ+CMD+data is answered from the cache (default on).
  void SetDuplicateDetection(bool on);
  void ForgetLastRequest();

  // ---- Model side.
  // Executes a command directly, without link faults but with the status
  // overlays (for tests and tools). `data` is the request data as the host's
  // command operations build it.
  sim::TModelAnswer Execute(std::uint8_t cmd, const std::string& data);
  sim::TSimState Snapshot() const;
  // Changes the state directly (test set-up); forgets the cached answer.
  void Mutate(const std::function<void(sim::TSimState&)>& change);
  bool FiscalReceiptOpen() const;
  bool CommentReceiptOpen() const;
  std::int64_t Closure() const;
  std::int64_t CashSum() const;  // hundredths
  // How many requests of this code (-1: any) the model has executed.
  int ExecutedCount(int cmd = -1) const;
  std::vector<std::string> Paper() const;
  // Device clock source (seconds, see SimClock.h) and how long reports take.
  void SetClock(std::function<std::int64_t()> clock);
  void SetWorkTime(int ms);

  // ---- Fault injection; `cmd` -1 means any command, `count` -1 no limit.
  void NakNext(int n, int cmd = -1);
  void WrongSeq(int count = 1, int cmd = -1);
  void WrongCmd(int count = 1, int cmd = -1);
  void WrongLen(int count = 1, int cmd = -1);
  void WrongChecksum(int count = 1, int cmd = -1);
  // No answer; with `execute` the command is carried out and only the answer is lost.
  void Silent(int count = 1, int cmd = -1, bool execute = false);
  void Busy(int ms, int count = 1, int cmd = -1);
  void NoiseBeforeFrame(const std::string& noise = std::string(sim::kDefaultNoise, 5),
                        int count = 1, int cmd = -1);
  void CloseMidFrame(int count = 1, int cmd = -1);
  // Reports [k/n] as `on` whatever the state says. With no paper ([2/0]), an
  // open cover ([0/6]) or a printer fault ([0/4]) printing commands are not
  // executed; with [4/0], [4/4] or [5/0] nothing is written to fiscal memory.
  void SetStatusBit(int k, int n, bool on, int cmd = -1, int count = -1);
  // Lets the state decide [k/n] again.
  void ResetStatusBit(int k, int n);
  // Answers `cmd` with this data text instead of executing it.
  void ForceAnswer(int cmd, const std::string& text, int count = 1);
  void AddFault(const sim::TSimFault& fault);
  void ClearFaults();
  std::vector<sim::TSimFault> Faults() const;

  // ---- State file.
  bool SaveState(const std::string& path, std::string* error = nullptr) const;
  // `warning` tells of a file read although it may have been cut short.
  bool LoadState(const std::string& path, std::string* error = nullptr,
                 std::string* warning = nullptr);
  // Saves the state to `path` after every executed command ("" = never).
  void SetStateFile(const std::string& path);
  // Receives the reason whenever saving fails (once while it keeps failing
  // the same way), besides the trace.
  void SetSaveFailureReport(std::function<void(const std::string&)> sink);

  // ---- Trace: one line per frame in each direction, hex with control bytes
  // named ("RX <SOH> 24 20 4A ...", "TX <SYN>").
  void SetTrace(std::function<void(const std::string&)> sink);
  void Trace(const std::string& line) const;

 private:
  bool TakeFault(sim::EFault kind, int cmd, sim::TSimFault* out = nullptr);
  sim::TStatus Overlay(int cmd, sim::TStatus* clearMask);
  sim::TModelAnswer ExecuteLocked(std::uint8_t cmd, const std::string& data);
  std::string Corrupt(std::string frame, int cmd);
  void AutoSave();

  mutable std::mutex Mu_;
  sim::TFiscalModel Model_;
  std::vector<sim::TSimFault> Faults_;
  std::map<int, int> Executed_;
  bool Dedup_ = true;
  bool HaveLast_ = false;
  std::uint8_t LastSeq_ = 0, LastCmd_ = 0;
  std::string LastData_, LastFrame_;
  int SynMs_ = 300;
  std::string StateFile_;
  std::string SavedText_;
  std::string SaveFailure_;  // the last failure reported, "" after a save
  std::function<void(const std::string&)> SaveFailureSink_;
  mutable std::mutex TraceMu_;
  std::function<void(const std::string&)> TraceSink_;
};
