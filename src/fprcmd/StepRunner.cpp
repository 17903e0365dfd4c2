#include "StepRunner.h"

#include <chrono>
#include <exception>

#include "ConstUnit.h"
#include "Cp1251.h"
#include "RegionalSettings.h"
#include "StatusDecoding.h"

namespace {

// Collects the exchanges from the device's events; OnDuration ends one.
class TTrafficRecorder {
 public:
  explicit TTrafficRecorder(TBaseDevice& dev) : Dev_(dev) {
    dev.OnFrameSent = [this](const std::string& s) {
      Current().Sent = s;
      ++FramesSent;
    };
    dev.OnByteReceived = [this](const std::string& s) { Current().Received += s; };
    dev.OnDuration = [this](const std::string& s) {
      Current().DurationLine = s;
      Open_ = false;
    };
  }
  ~TTrafficRecorder() {
    Dev_.OnFrameSent = nullptr;
    Dev_.OnByteReceived = nullptr;
    Dev_.OnDuration = nullptr;
  }
  TTrafficRecorder(const TTrafficRecorder&) = delete;
  TTrafficRecorder& operator=(const TTrafficRecorder&) = delete;

  std::vector<TExchange> Exchanges;
  int FramesSent = 0;

 private:
  TExchange& Current() {
    if (!Open_) {
      Exchanges.emplace_back();
      Open_ = true;
    }
    return Exchanges.back();
  }

  TBaseDevice& Dev_;
  bool Open_ = false;
};

}  // namespace

TStepResult RunStep(TBaseDevice& dev, const TStep& step) {
  TStepResult r;
  dev.LastErrorCode = 0;
  dev.LastErrorText.clear();
  TTrafficRecorder traffic(dev);
  const auto start = std::chrono::steady_clock::now();
  try {
    if (step.Op != nullptr) {
      TOpCall call(*step.Op, dev, step.Args);
      r.Ok = step.Op->Call(call);
      if (r.Ok) r.Outs = std::move(call.Outs);
    } else {
      r.Ok = dev.ExecuteCommand(step.Code, step.Params);
    }
  } catch (const std::exception& e) {
    // Only a fault of the operation table gets here; it is reported, not fatal.
    r.Ok = false;
    dev.LastErrorText = std::string("internal error: ") + e.what();
  }
  r.DurationMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now() - start)
                     .count();
  r.Code = dev.LastErrorCode;
  r.Text = dev.LastErrorText;
  // The device's own input checks and the transports' length check refuse with
  // 201 before anything is written; a link failure has a code of its own.
  r.InputError = !r.Ok && traffic.FramesSent == 0 && r.Code == Err::InvalidInput;
  r.Exchanges = std::move(traffic.Exchanges);
  return r;
}

TStepResult ConnectFailure(const TBaseDevice& dev) {
  TStepResult r;
  r.Connected = false;
  r.Code = dev.LastErrorCode;
  r.Text = dev.LastErrorText;
  return r;
}

std::string ShownError(const TStepResult& r) {
  if (!r.Text.empty()) return Cp1251ToUtf8(r.Text);
  if (r.Code != 0) {
    const std::string& message = ErrorMessage(r.Code);
    return message.empty() ? "Error code " + std::to_string(r.Code) : Cp1251ToUtf8(message);
  }
  return "The device refused the command.";
}

int ExitStatusOf(const TStepResult& r) {
  if (r.Ok) return 0;
  return r.InputError ? 2 : 1;
}

bool LastReplyFrame(const TExchange& ex, TPrintData& frame) {
  const std::size_t last = ex.Received.rfind(static_cast<char>(Ctl::SOH));
  if (last == std::string::npos) return false;
  ParseFrameText(ex.Received.substr(last), frame);
  return true;
}

TDataBuffer StatusBytes(const TPrintData& frame) {
  TDataBuffer out;
  for (std::size_t i = 0; i + 1 < frame.PacketStatus.size(); i += 2) {
    std::uint32_t v = 0;
    if (TryParseHex(frame.PacketStatus.substr(i, 2), v))
      out.push_back(static_cast<std::uint8_t>(v));
  }
  return out;
}
