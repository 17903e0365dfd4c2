#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "TapExchangeDecoder.h"
#include "TapSink.h"
#include "TapSummary.h"

// The views of the text output, as the console's log offers them.
struct TTapViews {
  bool Raw = true;
  bool Hex = true;
  bool Fields = true;
  bool Status = true;
};

// "raw,hex,fields,status" in any order and any subset; false with `error` for
// an unknown or empty name.
bool ParseTapViews(const std::string& text, TTapViews& views, std::string& error);

struct TTapMonitorOptions {
  TTapViews Views;
  bool Json = false;  // one object a line instead of text blocks
};

// Writes exchanges and the summary; the time stamps shown are counted from
// `originUs`, the first byte the monitor saw.
class ITapPrinter {
 public:
  virtual ~ITapPrinter() = default;
  virtual void Exchange(const TTapExchange& ex, std::int64_t originUs) = 0;
  virtual void Summary(const TTapSummary& s) = 0;
};

std::unique_ptr<ITapPrinter> MakeTapTextPrinter(std::ostream& out, const TTapViews& views);
std::unique_ptr<ITapPrinter> MakeTapJsonPrinter(std::ostream& out);

// The sink the relay feeds: decodes both directions and writes each exchange
// as soon as it is complete, flushing the stream so that it can be watched live.
class TTapMonitor : public ITapSink {
 public:
  TTapMonitor(std::ostream& out, const TTapMonitorOptions& options);

  void OnBytes(TTapSide from, std::string_view bytes, std::int64_t timeUs) override;
  void OnClose(TTapSide side, std::int64_t timeUs) override;

  // Shows what the link still had under way when the tap stops.
  void Stop();

  const TTapSummary& Summary() const { return Summary_; }
  void PrintSummary();
  const TTapExchangeDecoder& Decoder() const { return Decoder_; }

 private:
  void Exchange(const TTapExchange& ex);

  std::ostream& Out_;
  std::unique_ptr<ITapPrinter> Printer_;
  TTapSummary Summary_;
  TTapExchangeDecoder Decoder_;
  std::int64_t Origin_ = 0;
  std::int64_t Last_ = 0;  // the time of the last run seen
  bool Started_ = false;
};
