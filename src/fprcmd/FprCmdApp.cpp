#include "FprCmdApp.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "FrameCodec.h"
#include "Printer.h"
#include "RS232DeviceUnit.h"
#include "ScriptReader.h"
#include "StepRunner.h"
#include "TCPDeviceUnit.h"

namespace {

using TMode = TFprCmdOptions::TMode;

std::unique_ptr<TPrinter> MakePrinter(const TFprCmdOptions& o, std::ostream& out) {
  return o.Json ? MakeJsonPrinter(out, o.ShowStatus) : MakeTextPrinter(out, o.ShowStatus);
}

bool ReadAll(const std::string& path, std::istream& in, std::string& text, std::string& error) {
  if (path == "-") {
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "cannot read " + path;
    return false;
  }
  text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return true;
}

// Every step the options ask for, read and checked before anything is sent.
bool BuildSteps(const TFprCmdOptions& o, std::istream& in, std::vector<TStep>& steps,
                std::vector<std::string>& errors) {
  TStep step;
  switch (o.Mode) {
    case TMode::Raw:
      step.Source = Hex2(o.Code) + (o.Params.empty() ? "" : " " + o.Params);
      if (!BuildRawStep(o.Code, o.Params, step, errors)) return false;
      steps.push_back(std::move(step));
      return true;
    case TMode::Op:
      if (!BuildStep(o.Words, step, errors)) return false;
      steps.push_back(std::move(step));
      return true;
    case TMode::Script:
      break;
    default:
      return false;
  }
  std::string text, error;
  if (!ReadAll(o.Script, in, text, error)) {
    errors.push_back(error);
    return false;
  }
  const std::string name = o.Script == "-" ? "standard input" : o.Script;
  std::vector<std::string> lineErrors;
  const bool ok = ReadScript(text, steps, lineErrors);
  for (const std::string& e : lineErrors) errors.push_back(name + ":" + e);
  if (ok && steps.empty()) errors.push_back(name + " holds no step");
  return ok && !steps.empty();
}

int RunSteps(const std::vector<TStep>& steps, const TFprCmdOptions& o, TBaseDevice& dev,
             TPrinter& printer) {
  if (!dev.Connect()) {
    printer.Step(steps.front(), ConnectFailure(dev));
    dev.Disconnect();
    return 1;
  }
  int status = 0;
  int run = 0, failed = 0;
  for (const TStep& step : steps) {
    const TStepResult r = RunStep(dev, step);
    printer.Step(step, r);
    ++run;
    status = std::max(status, ExitStatusOf(r));
    if (r.Ok) continue;
    ++failed;
    if (!o.KeepGoing) break;
  }
  dev.Disconnect();
  if (o.Mode == TMode::Script) printer.ScriptEnd(run, failed);
  return status;
}

int PrintErrors(const std::vector<std::string>& errors, std::ostream& err) {
  for (const std::string& e : errors) err << "fprcmd: " << e << "\n";
  err << "fprcmd: nothing was sent\n";
  return 2;
}

// --decode: the words as one text, or every line of standard input.
int RunDecode(const TFprCmdOptions& o, std::istream& in, std::ostream& out, std::ostream& err) {
  std::vector<std::string> texts;
  if (!o.Words.empty()) {
    std::string joined;
    for (const std::string& w : o.Words) joined += w + " ";
    texts.push_back(joined);
  } else {
    for (std::string line; std::getline(in, line);) texts.push_back(line);
  }
  std::vector<std::string> inputs, errors;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    std::string bytes, error;
    if (!ParseHexText(texts[i], bytes, error)) {
      errors.push_back(o.Words.empty() ? "line " + std::to_string(i + 1) + ": " + error : error);
    } else if (!bytes.empty()) {
      inputs.push_back(bytes);
    }
  }
  if (errors.empty() && inputs.empty()) errors.push_back("--decode: no frame given");
  if (!errors.empty()) {
    for (const std::string& e : errors) err << "fprcmd: " << e << "\n";
    return 2;
  }
  const auto printer = MakePrinter(o, out);
  int number = 0;
  int status = 0;
  for (const std::string& bytes : inputs) {
    for (const TFrameReport& f : DecodeFrames(bytes)) {
      if (f.IsFrame) ++number;
      printer->Frame(number, f);
      if (!f.Failures.empty()) status = 1;
    }
  }
  if (number == 0) {
    err << "fprcmd: no frame: no <SOH> in the input\n";
    status = 1;
  }
  return status;
}

}  // namespace

std::unique_ptr<TBaseDevice> CreateFprCmdDevice(const TFprCmdOptions& options) {
  std::unique_ptr<TBaseDevice> dev;
  if (options.Link == TFprCmdOptions::TLink::Tcp) {
    auto tcp = std::make_unique<TTCPDevice>();
    tcp->SetHost(options.Host);
    tcp->SetPort(options.Port);
    dev = std::move(tcp);
  } else {
    auto serial = std::make_unique<TRS32Device>();
    serial->SetPortName(options.SerialPort);
    serial->SetBaudRate(options.Speed);
    dev = std::move(serial);
  }
  // Numbers and times go out with '.' and ':' whatever the machine's locale, so
  // that a script means the same everywhere.
  dev->Regional = TRegionalSettings{};
  return dev;
}

int FprCmdMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err, const TDeviceFactory& factory) {
  TFprCmdOptions o;
  std::string error;
  if (!ParseFprCmdArgs(args, o, error)) {
    err << "fprcmd: " << error << "\nRun fprcmd --help for the options.\n";
    return 2;
  }
  if (o.Help) {
    out << FprCmdUsage();
    return 0;
  }
  if (o.Mode == TMode::List) {
    const auto printer = MakePrinter(o, out);
    for (const TOperation& op : Operations()) printer->Operation(op);
    return 0;
  }
  if (o.Mode == TMode::Decode) return RunDecode(o, in, out, err);
  std::vector<TStep> steps;
  std::vector<std::string> errors;
  if (!BuildSteps(o, in, steps, errors)) return PrintErrors(errors, err);
  const auto device = factory(o);
  const auto printer = MakePrinter(o, out);
  return RunSteps(steps, o, *device, *printer);
}

int RunFprCmd(const TFprCmdOptions& options, TBaseDevice& device, std::istream& in,
              std::ostream& out, std::ostream& err) {
  std::vector<TStep> steps;
  std::vector<std::string> errors;
  if (!BuildSteps(options, in, steps, errors)) return PrintErrors(errors, err);
  const auto printer = MakePrinter(options, out);
  return RunSteps(steps, options, device, *printer);
}

int RunFprCmd(const TFprCmdOptions& options, TBaseDevice& device, std::ostream& out) {
  return RunFprCmd(options, device, std::cin, out, out);
}
