// One JSON object a line, for jq and other programs.
#include <nlohmann/json.hpp>
#include <ostream>

#include "Cp1251.h"
#include "FrameCodec.h"
#include "JsonFields.h"
#include "TapMonitor.h"
#include "Values.h"

namespace {

// Keys stay in the order written, as people read them.
using json = nlohmann::ordered_json;

json FrameJson(const TTapFrame& f, bool request) {
  const TFrameReport& r = f.Report;
  // A request's data with the frame's escaping undone; an answer's as it came.
  const std::string& data = request ? r.Data : r.Fields.PacketData;
  json j = {{"direction", request ? "PC->PRN" : "PRN->PC"},
            {"time_us", f.StartUs},
            {"end_us", f.EndUs},
            {"bytes", HexOfBytes(r.Bytes)},
            {"hex", r.HexView},
            {"fields", PacketFieldsJson(r.Fields)},
            {"data", Cp1251ToUtf8(data)},
            {"data_hex", HexOfBytes(data)}};
  if (!request) {
    j["status"] = r.Fields.PacketStatus;
    json flags = json::array();
    for (const TStatusFlag& fl : r.Flags)
      flags.push_back({{"bit", fl.Bit}, {"code", fl.Code}, {"text", fl.Text}});
    j["flags"] = flags;
  }
  return j;
}

std::string ByteField(const TTapExchange& ex, std::size_t at) {
  const TTapFrame* f = ex.Request ? &*ex.Request : ex.Answer ? &*ex.Answer : nullptr;
  if (f == nullptr || f->Report.Bytes.size() < 4) return "";
  return Hex2(static_cast<std::uint8_t>(f->Report.Bytes[at]));
}

class TTapJsonPrinter : public ITapPrinter {
 public:
  explicit TTapJsonPrinter(std::ostream& out) : Out_(out) {}

  void Exchange(const TTapExchange& ex, std::int64_t originUs) override {
    json checks = json::array();
    for (const TTapCheck& c : ex.Checks) checks.push_back({{"kind", c.Kind}, {"text", c.Text}});
    json j = {{"exchange", ex.Number},
              {"time_us", ex.TimeUs},
              {"at_s", static_cast<double>(ex.TimeUs - originUs) / 1e6},
              {"command", ByteField(ex, 3)},
              {"seq", ByteField(ex, 2)},
              {"request", ex.Request ? FrameJson(*ex.Request, true) : json()},
              {"answer", ex.Answer ? FrameJson(*ex.Answer, false) : json()},
              {"duration_us", ex.DurationUs < 0 ? json() : json(ex.DurationUs)},
              {"naks", ex.Naks},
              {"syns", ex.Syns},
              {"noise", {{"host", ex.HostNoise.Count}, {"device", ex.DeviceNoise.Count}}},
              {"host_check", ex.HostCheck},
              {"checks", checks},
              {"ok", ex.Checks.empty()}};
    Write(j);
  }

  void Summary(const TTapSummary& s) override {
    json commands = json::object();
    for (const auto& [cmd, n] : s.Commands) commands[Hex2(cmd)] = n;
    json errors = json::object();
    for (const auto& [kind, n] : s.Errors) errors[kind] = n;
    Write({{"summary",
            {{"exchanges", s.Exchanges},
             {"answered", s.Answered},
             {"failed", s.Failed},
             {"commands", commands},
             {"errors", errors},
             {"naks", s.Naks},
             {"syns", s.Syns},
             {"noise_bytes", s.NoiseBytes},
             {"median_us", s.Timed() == 0 ? json() : json(s.MedianUs())},
             {"largest_us", s.Timed() == 0 ? json() : json(s.LargestUs())}}}});
  }

 private:
  void Write(const json& j) {
    Out_ << j.dump(-1, ' ', false, json::error_handler_t::replace) << "\n";
  }

  std::ostream& Out_;
};

}  // namespace

std::unique_ptr<ITapPrinter> MakeTapJsonPrinter(std::ostream& out) {
  return std::make_unique<TTapJsonPrinter>(out);
}
