// One JSON object a line, for jq and other programs.
#include <nlohmann/json.hpp>
#include <ostream>

#include "ConstUnit.h"
#include "Cp1251.h"
#include "FrameCodec.h"
#include "JsonFields.h"
#include "Printer.h"
#include "StatusDecoding.h"
#include "uPrintData.h"

namespace {

// Keys stay in the order written, as people read them.
using json = nlohmann::ordered_json;

json ValueJson(const TValue& v) {
  switch (v.Kind) {
    case TValueKind::Double:
      return v.Real;
    case TValueKind::Bool:
      return v.Int != 0;
    case TValueKind::Letter:
    case TValueKind::Text:
    case TValueKind::Date:
    case TValueKind::Bytes:
      return FormatValue(v);
    default:
      return v.Int;
  }
}

json ValuesJson(const TNamedValues& values) {
  json out = json::object();
  for (const auto& [name, value] : values) out[name] = ValueJson(value);
  return out;
}

json DeclsJson(const std::vector<TValueDecl>& decls, bool withOptional) {
  json out = json::array();
  for (const TValueDecl& s : decls) {
    json item = {{"name", s.Name}, {"kind", KindName(s.Kind)}};
    if (withOptional) item["optional"] = s.Optional;
    out.push_back(item);
  }
  return out;
}

json FlagsJson(const std::vector<TStatusFlag>& flags) {
  json out = json::array();
  for (const TStatusFlag& f : flags)
    out.push_back({{"bit", f.Bit}, {"code", f.Code}, {"text", f.Text}});
  return out;
}

class TJsonPrinter : public TPrinter {
 public:
  TJsonPrinter(std::ostream& out, bool showStatus) : Out_(out), ShowStatus_(showStatus) {}

  void Step(const TStep& step, const TStepResult& r) override {
    json j = json::object();
    if (step.Line > 0) j["line"] = step.Line;
    if (step.Op != nullptr) {
      j["op"] = step.Op->Name;
      j["args"] = ValuesJson(step.Args);
    } else {
      j["command"] = Hex2(step.Code);
      j["params"] = Cp1251ToUtf8(step.Params);
    }
    j["connected"] = r.Connected;
    j["result"] = r.Ok;
    j["code"] = r.Code;
    // A true result may still carry the code an inner step left (a status read
    // that failed after the work was done): the code never goes without its text.
    j["text"] = r.Ok && r.Code == 0 ? std::string() : ShownError(r);
    j["input_error"] = r.InputError;
    if (step.Op != nullptr) j["out"] = ValuesJson(r.Outs);
    if (step.Op == nullptr) AddReply(r, j);
    j["duration_ms"] = r.DurationMs;
    json exchanges = json::array();
    for (const TExchange& ex : r.Exchanges) {
      exchanges.push_back({{"request", HexOfBytes(ex.Sent)},
                           {"reply", HexOfBytes(ex.Received)},
                           {"duration", ex.DurationLine}});
    }
    j["exchanges"] = exchanges;
    Write(j);
  }

  void ScriptEnd(int, int) override {}

  void Operation(const TOperation& op) override {
    Write({{"name", op.Name},
           {"command", op.Command},
           {"args", DeclsJson(op.Args, true)},
           {"outs", DeclsJson(op.Outs, false)}});
  }

  void Frame(int number, const TFrameReport& f) override {
    if (!f.IsFrame) {
      Write({{"stray", HexOfBytes(f.Bytes)}, {"hex", f.HexView}});
      return;
    }
    json j = {{"frame", number},
              {"direction", f.Response ? "response" : "request"},
              {"bytes", HexOfBytes(f.Bytes)},
              {"hex", f.HexView},
              {"fields", PacketFieldsJson(f.Fields)},
              {"failures", f.Failures},
              {"ok", f.Failures.empty()}};
    if (f.Response) {
      j["flags"] = FlagsJson(f.Flags);
      j["host_check"] = f.HostCheck;
    } else {
      j["data"] = Cp1251ToUtf8(f.Data);
    }
    Write(j);
  }

 private:
  // A raw command's answer: the data and status of the last reply frame.
  void AddReply(const TStepResult& r, json& j) const {
    j["data"] = "";
    j["status"] = "";
    TPrintData frame;
    if (r.Exchanges.empty() || !LastReplyFrame(r.Exchanges.back(), frame)) return;
    j["data"] = Cp1251ToUtf8(frame.PacketData);
    j["status"] = frame.PacketStatus;
    const TDataBuffer status = StatusBytes(frame);
    if (ShowStatus_ && status.size() >= StatusByteCount)
      j["flags"] = FlagsJson(SetStatusFlags(status));
  }

  void Write(const json& j) {
    Out_ << j.dump(-1, ' ', false, json::error_handler_t::replace) << "\n";
  }

  std::ostream& Out_;
  bool ShowStatus_;
};

}  // namespace

std::unique_ptr<TPrinter> MakeJsonPrinter(std::ostream& out, bool showStatus) {
  return std::make_unique<TJsonPrinter>(out, showStatus);
}
