#include "TapApp.h"

#include <fstream>
#include <memory>
#include <ostream>

#include "TapAppLinks.h"
#include "TapCapture.h"
#include "TapMonitor.h"
#include "TapOptions.h"
#include "TapQueuedSink.h"

namespace {

// Swallows what the monitor writes with --quiet.
class TNullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return traits_type::not_eof(c); }
};

TTapMonitorOptions MonitorOptions(const TTapOptions& o) {
  TTapMonitorOptions m;
  m.Views = o.Views;
  m.Json = o.Json;
  return m;
}

void PrintSummary(const TTapOptions& o, TTapMonitor& monitor, std::ostream& out) {
  if (o.NoSummary) return;
  if (!o.Quiet) return monitor.PrintSummary();
  auto printer = o.Json ? MakeTapJsonPrinter(out) : MakeTapTextPrinter(out, o.Views);
  printer->Summary(monitor.Summary());
  out.flush();
}

int Relay(const TTapOptions& o, std::ostream& out, std::ostream& err, const TTapStop& stop) {
  std::ofstream captureFile;
  if (!o.Capture.empty()) {
    captureFile.open(o.Capture, std::ios::binary | std::ios::trunc);
    if (!captureFile) {
      err << "fprtap: cannot write the capture " << o.Capture << std::endl;
      return 2;
    }
  }
  TTapLinks links(o, err);
  if (!links.Open()) return 1;
  TNullBuffer nothing;
  std::ostream quiet(&nothing);
  TTapMonitor monitor(o.Quiet ? quiet : out, MonitorOptions(o));
  TTapFanOut sinks;
  sinks.Add(monitor);
  std::unique_ptr<TTapCaptureWriter> capture;
  if (captureFile.is_open()) {
    capture = std::make_unique<TTapCaptureWriter>(captureFile);
    sinks.Add(*capture);
  }
  int status = 0;
  {
    // A terminal or pipe that is slow to take the output must not hold the
    // host program's traffic.
    TTapQueuedSink queued(sinks);
    status = links.Serve(queued, SteadyTapClock(), stop);
  }  // what is still queued reaches the monitor and the capture here
  monitor.Stop();
  PrintSummary(o, monitor, out);
  capture.reset();
  captureFile.close();
  if (!o.Capture.empty() && captureFile.fail()) {
    err << "fprtap: the capture " << o.Capture << " could not be written whole" << std::endl;
    if (status == 0) status = 1;
  }
  return status;
}

}  // namespace

int TapMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            const TTapStop& stop) {
  TTapOptions o;
  std::string error;
  if (!ParseTapArgs(args, o, error)) {
    err << "fprtap: " << error << "\nRun fprtap --help for the options." << std::endl;
    return 2;
  }
  if (o.Help) {
    out << TapUsage();
    return 0;
  }
  if (o.Version) {
    out << "fprtap " << FPR_VERSION << "\n";
    return 0;
  }
  if (!o.Read.empty()) return RunTapRead(o.Read, MonitorOptions(o), out, err);
  return Relay(o, out, err, stop);
}
