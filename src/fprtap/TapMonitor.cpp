#include "TapMonitor.h"

#include <ostream>

bool ParseTapViews(const std::string& text, TTapViews& views, std::string& error) {
  TTapViews v{false, false, false, false};
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    const std::string name =
        text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (name == "raw") {
      v.Raw = true;
    } else if (name == "hex") {
      v.Hex = true;
    } else if (name == "fields") {
      v.Fields = true;
    } else if (name == "status") {
      v.Status = true;
    } else {
      error = "unknown view '" + name + "': the views are raw, hex, fields and status";
      return false;
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  views = v;
  return true;
}

TTapMonitor::TTapMonitor(std::ostream& out, const TTapMonitorOptions& options)
    : Out_(out),
      Printer_(options.Json ? MakeTapJsonPrinter(out) : MakeTapTextPrinter(out, options.Views)),
      Decoder_([this](const TTapExchange& ex) { Exchange(ex); }) {}

void TTapMonitor::OnBytes(TTapSide from, std::string_view bytes, std::int64_t timeUs) {
  if (bytes.empty()) return;
  if (!Started_) {
    Started_ = true;
    Origin_ = timeUs;
  }
  Last_ = timeUs;
  Decoder_.Bytes(from, bytes, timeUs);
}

void TTapMonitor::OnClose(TTapSide side, std::int64_t timeUs) {
  Last_ = timeUs;
  Decoder_.Close(side, timeUs);
}

void TTapMonitor::Stop() {
  if (Started_) Decoder_.Stop(Last_);
}

void TTapMonitor::PrintSummary() {
  Printer_->Summary(Summary_);
  Out_.flush();
}

void TTapMonitor::Exchange(const TTapExchange& ex) {
  Summary_.Add(ex);
  Printer_->Exchange(ex, Origin_);
  Out_.flush();
}
