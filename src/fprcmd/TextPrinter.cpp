// The report for people: the raw command keeps the form fprcmd always had.
#include <ostream>

#include "ConstUnit.h"
#include "Cp1251.h"
#include "FrameCodec.h"
#include "Printer.h"
#include "StatusDecoding.h"
#include "uPrintData.h"

namespace {

// Log texts use CR LF; a terminal wants LF.
std::string WithoutCr(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != '\r') out += c;
  }
  return out;
}

std::string ForTerminal(const std::string& cp1251) { return WithoutCr(Cp1251ToUtf8(cp1251)); }

// A list of decls with Name[1]..Name[N] of one kind shown as Name[1..N].
std::string DeclList(const std::vector<TValueDecl>& decls) {
  std::string out;
  for (std::size_t i = 0; i < decls.size();) {
    const TValueDecl& s = decls[i];
    std::size_t j = i + 1;
    std::string shown = s.Name;
    if (s.Name.size() > 3 && s.Name.compare(s.Name.size() - 3, 3, "[1]") == 0) {
      const std::string stem = s.Name.substr(0, s.Name.size() - 3);
      while (j < decls.size() && decls[j].Kind == s.Kind &&
             decls[j].Name == stem + "[" + std::to_string(j - i + 1) + "]") {
        ++j;
      }
      if (j - i > 1) shown = stem + "[1.." + std::to_string(j - i) + "]";
    }
    shown += ":" + std::string(KindName(s.Kind));
    if (!out.empty()) out += ' ';
    out += s.Optional ? "[" + shown + "]" : shown;
    i = j;
  }
  return out.empty() ? "-" : out;
}

class TTextPrinter : public TPrinter {
 public:
  TTextPrinter(std::ostream& out, bool showStatus) : Out_(out), ShowStatus_(showStatus) {}

  void Step(const TStep& step, const TStepResult& r) override {
    if (step.Line > 0) Out_ << "Line " << step.Line << ": " << step.Source << "\n";
    if (step.Op != nullptr) {
      Out_ << "Operation: " << step.Op->Name << "\n";
    } else {
      Out_ << "Command: " << Hex2(step.Code) << "H\n";
    }
    for (const TExchange& ex : r.Exchanges) Exchange(ex);
    if (r.Ok) {
      Out_ << "Result: OK\n";
    } else {
      Out_ << "Error: " << WithoutCr(ShownError(r)) << (r.InputError ? " (nothing was sent)" : "")
           << "\n";
    }
    Out_ << "LastErrorCode: " << r.Code << "\n";
    for (const auto& [name, value] : r.Outs) Out_ << name << ": " << FormatValue(value) << "\n";
  }

  void ScriptEnd(int run, int failed) override {
    Out_ << "Script: " << run << " step" << (run == 1 ? "" : "s") << " run, " << failed
         << " failed\n";
  }

  void Operation(const TOperation& op) override {
    Out_ << op.Name << "  (" << op.Command << ")\n"
         << "  in:  " << DeclList(op.Args) << "\n"
         << "  out: " << DeclList(op.Outs) << "\n";
  }

  void Frame(int number, const TFrameReport& f) override {
    if (!f.IsFrame) {
      Out_ << "Outside a frame: " << f.HexView << StrayNote(f.Bytes) << "\n";
      return;
    }
    Out_ << "Frame " << number << ": " << (f.Response ? "response" : "request") << ", "
         << f.Bytes.size() << " bytes\n"
         << " HEX: " << f.HexView << "\n"
         << " Packet length: " << f.Fields.PacketLength << "\n"
         << " Packet sequence: " << f.Fields.PacketSequence << "\n"
         << " Command: " << f.Fields.PacketCommand << "\n"
         << " Data: " << PrintableText(f.Fields.PacketData) << "\n";
    if (!f.Response && f.Data != f.Fields.PacketData) {
      Out_ << " Data before the frame's escaping: " << PrintableText(f.Data) << "\n";
    }
    if (f.Response) {
      Out_ << " Result status: " << f.Fields.PacketStatus << "\n";
      Out_ << " Status flags:" << (f.Flags.empty() ? " none set" : "") << "\n";
      for (const TStatusFlag& flag : f.Flags) Out_ << "  " << flag.Bit << " " << flag.Text << "\n";
    }
    Out_ << " Sum: " << f.Fields.PacketSum << "\n";
    for (const std::string& failure : f.Failures) Out_ << " FAILED " << failure << "\n";
    if (!f.HostCheck.empty()) Out_ << " A host refuses it: " << f.HostCheck << "\n";
    if (f.Failures.empty()) Out_ << " Checks: OK\n";
  }

 private:
  static std::string StrayNote(const std::string& bytes) {
    if (bytes.find_first_not_of(static_cast<char>(Ctl::SYN)) == std::string::npos) {
      return " (SYN: the device is busy)";
    }
    if (bytes.find_first_not_of(static_cast<char>(Ctl::NAK)) == std::string::npos) {
      return " (NAK: the device refused the frame)";
    }
    return "";
  }

  void Exchange(const TExchange& ex) {
    Out_ << "Duration: " << ex.DurationLine << "\n";
    if (!ex.Sent.empty()) Out_ << "Request: " << FrameHexView(ex.Sent) << "\n";
    if (ex.Received.empty()) return;
    Out_ << "Response: " << FrameHexView(ex.Received) << "\n";
    TPrintData frame;
    if (!LastReplyFrame(ex, frame)) return;
    Out_ << "Data: " << ForTerminal(frame.PacketData) << "\n";
    if (!ShowStatus_) return;
    const TDataBuffer status = StatusBytes(frame);
    if (status.size() < StatusByteCount) {
      Out_ << "Status: incomplete (" << frame.PacketStatus << ")\n";
      return;
    }
    Out_ << "Status: " << frame.PacketStatus << "\n" << ForTerminal(StatusBitsText(status)) << "\n";
  }

  std::ostream& Out_;
  bool ShowStatus_;
};

}  // namespace

std::string PrintableText(const std::string& cp1251) {
  std::string out;
  for (char c : Cp1251ToUtf8(cp1251)) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (b < 0x20 || c == '\\') {
      out += c == '\\' ? "\\\\" : "\\x" + Hex2(b);
    } else {
      out += c;
    }
  }
  return out;
}

std::unique_ptr<TPrinter> MakeTextPrinter(std::ostream& out, bool showStatus) {
  return std::make_unique<TTextPrinter>(out, showStatus);
}
