// The exchange for people, laid out as the console's log lays out its traffic.
#include <ostream>

#include "FrameCodec.h"
#include "TapMonitor.h"
#include "TapText.h"

namespace {

const char kClosingLine[] = "----------------------------------";

std::string Title(const TTapExchange& ex, std::int64_t originUs) {
  if (ex.Number == 0) return "Outside an exchange at " + TapSeconds(ex.TimeUs - originUs) + " s";
  std::string t =
      "Exchange " + std::to_string(ex.Number) + " at " + TapSeconds(ex.TimeUs - originUs) + " s";
  const TTapFrame* f = ex.Request ? &*ex.Request : ex.Answer ? &*ex.Answer : nullptr;
  if (f != nullptr && f->Report.Bytes.size() >= 4) {
    t += ": command " + Hex2(static_cast<std::uint8_t>(f->Report.Bytes[3])) + "H, SEQ " +
         Hex2(static_cast<std::uint8_t>(f->Report.Bytes[2]));
  }
  if (ex.DurationUs >= 0) t += ", answered in " + TapMillis(ex.DurationUs) + " ms";
  return t;
}

class TTapTextPrinter : public ITapPrinter {
 public:
  TTapTextPrinter(std::ostream& out, const TTapViews& views) : Out_(out), Views_(views) {}

  void Exchange(const TTapExchange& ex, std::int64_t originUs) override {
    Out_ << Title(ex, originUs) << "\n";
    if (ex.Request) Frame(*ex.Request, true);
    if (ex.Answer) Frame(*ex.Answer, false);
    if (ex.Answer && Views_.Status) Flags(ex.Answer->Report);
    if (ex.Syns > 0) Out_ << "SYN: " << ex.Syns << " (the device is busy)\n";
    if (ex.Naks > 0) Out_ << "NAK: " << ex.Naks << " (the device refused the frame)\n";
    Noise("host", ex.HostNoise);
    Noise("device", ex.DeviceNoise);
    if (!ex.HostCheck.empty()) Out_ << "A host refuses it: " << ex.HostCheck << "\n";
    for (const TTapCheck& c : ex.Checks) Out_ << "FAILED " << c.Kind << ": " << c.Text << "\n";
    if (ex.Checks.empty()) Out_ << "Checks: OK\n";
    Out_ << kClosingLine << "\n";
  }

  void Summary(const TTapSummary& s) override {
    Out_ << "Summary: " << s.Exchanges << " exchange" << (s.Exchanges == 1 ? "" : "s") << ", "
         << s.Answered << " answered, " << s.Failed << " with failed checks\n";
    Out_ << " Commands:" << (s.Commands.empty() ? " none" : "");
    for (const auto& [cmd, n] : s.Commands) Out_ << " " << Hex2(cmd) << "H " << n;
    Out_ << "\n Errors:" << (s.Errors.empty() ? " none" : "");
    for (const auto& [kind, n] : s.Errors) Out_ << " " << kind << " " << n;
    Out_ << "\n NAK " << s.Naks << ", SYN " << s.Syns << ", bytes outside frames " << s.NoiseBytes
         << "\n";
    if (s.Timed() == 0) {
      Out_ << " Time per exchange: none answered\n";
    } else {
      Out_ << " Time per exchange: median " << TapMillis(s.MedianUs()) << " ms, largest "
           << TapMillis(s.LargestUs()) << " ms\n";
    }
  }

 private:
  void Frame(const TTapFrame& f, bool request) {
    const TFrameReport& r = f.Report;
    if (!(Views_.Raw || Views_.Hex || Views_.Fields)) return;
    Out_ << (request ? "Communication PC->PRN" : "Communication PRN->PC") << "\n";
    if (Views_.Raw) Out_ << "Raw view " << TapPrintable(r.Bytes) << "\n";
    if (Views_.Hex) Out_ << "Hex view: " << r.HexView << "\n";
    if (!Views_.Fields) return;
    Out_ << "Detailed view:\n"
         << " Packet length:" << r.Fields.PacketLength << "\n"
         << " Packet sequence:" << r.Fields.PacketSequence << "\n"
         << " Command:" << r.Fields.PacketCommand << "\n"
         << " Data:" << TapPrintable(r.Fields.PacketData) << "\n";
    if (request && !r.Data.empty() && r.Data != r.Fields.PacketData)
      Out_ << " Data before the frame's escaping:" << TapPrintable(r.Data) << "\n";
    if (!request) Out_ << " Result status:" << r.Fields.PacketStatus << "\n";
    Out_ << " Sum:" << r.Fields.PacketSum << "\n";
  }

  void Flags(const TFrameReport& r) {
    Out_ << "Status flags:" << (r.Flags.empty() ? " none set" : "") << "\n";
    for (const TStatusFlag& flag : r.Flags)
      Out_ << " " << flag.Bit << " " << flag.Code << " " << flag.Text << "\n";
  }

  void Noise(const char* side, const TTapNoise& n) {
    if (n.Count == 0) return;
    Out_ << "Outside frames from the " << side << ": " << n.Count << " byte"
         << (n.Count == 1 ? "" : "s") << ", " << FullHexView(n.Kept)
         << (n.Count > n.Kept.size() ? " ..." : "") << "\n";
  }

  std::ostream& Out_;
  TTapViews Views_;
};

}  // namespace

std::unique_ptr<ITapPrinter> MakeTapTextPrinter(std::ostream& out, const TTapViews& views) {
  return std::make_unique<TTapTextPrinter>(out, views);
}
