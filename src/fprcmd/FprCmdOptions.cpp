#include "FprCmdOptions.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>

#include "ArgReader.h"
#include "OperationTable.h"
#include "RegionalSettings.h"
#include "SerialPort.h"

namespace {

constexpr const char* kUsage =
    "Usage:\n"
    "  fprcmd LINK [--status] [--json] CODE [PARAMS]     one command by its code\n"
    "  fprcmd LINK [--json] op NAME [ARG=VALUE ...]      one operation by its name\n"
    "  fprcmd LINK [--json] [--keep-going] --script FILE|-   a file of steps, one link\n"
    "  fprcmd --list [--json]                            every operation and its arguments\n"
    "  fprcmd --decode [--json] [HEX ...]                take captured frames apart\n"
    "LINK is --tcp HOST:PORT or --serial PORT[@SPEED].\n";

constexpr const char* kDescription =
    "Sends commands and operations to a VELMORA fiscal printer or cash register\n"
    "and prints the result, the last error code and text, the out values, the\n"
    "duration and both frames in hexadecimal with the control bytes named.\n";

constexpr const char* kFooter =
    "CODE is a command code in hexadecimal (4A); PARAMS its parameter text (UTF-8,\n"
    "sent as CP1251; control characters are escaped as the device expects). Put --\n"
    "before a parameter text that begins with --.\n"
    "\n"
    "op NAME runs an operation of the device library with arguments named as in\n"
    "fprcmd --list: record fields as Record.Field (Param.OperatorName=OPER1), letters as\n"
    "themselves (VatGrp=\xD0\x91), dates as YYYY-MM-DD[THH:MM:SS], booleans as 0/1/true/false.\n"
    "A script holds one step a line in the same words ([op] NAME ARG=VALUE ... or\n"
    "CODE [PARAMS]), \"double quotes\" around values with blanks, # for comments.\n"
    "The whole script is checked before the link is opened.\n"
    "\n"
    "Exit status: 0 when every step succeeded (--decode: every frame passed its\n"
    "checks), 1 when one failed, 2 for wrong arguments or input that the device\n"
    "library refused before sending anything.\n"
    "\n"
    "Examples:\n"
    "  fprcmd --tcp 192.168.1.50:4999 --status 4A W\n"
    "  fprcmd --tcp 127.0.0.1:4999 --json op GetFiscalStatus\n"
    "  fprcmd --serial /dev/ttyUSB0@115200 --script examples/device-check.fprcmd\n"
    "  fprcmd --decode '<SOH>24204A<ENQ>30303933<ETX>'\n";

class TUsageFormatter : public CLI::Formatter {
 public:
  std::string make_usage(const CLI::App*, std::string) const override { return kUsage; }
};

struct TRawOptions {
  std::string Tcp;
  std::string Serial;
  bool List = false;
  bool Decode = false;
};

std::unique_ptr<CLI::App> MakeApp(TFprCmdOptions& o, TRawOptions& raw) {
  auto app = std::make_unique<CLI::App>(kDescription, "fprcmd");
  app->formatter(std::make_shared<TUsageFormatter>());
  app->footer(kFooter);
  app->allow_extras();
  app->get_formatter()->column_width(26);
  app->add_option("--tcp", raw.Tcp, "connect over TCP (IP address or host name, port 1..65535)")
      ->type_name("HOST:PORT");
  app->add_option("--serial", raw.Serial,
                  "serial port: COMn (= /dev/ttyS(n-1)), a device path such as\n"
                  "/dev/ttyUSB0, or a name under /dev; SPEED 110..256000, default 9600")
      ->type_name("PORT[@SPEED]");
  app->add_flag("--status", o.ShowStatus, "also list every status flag of a command's answer");
  app->add_flag("--json", o.Json, "one JSON object a line instead of text");
  app->add_option("--script", o.Script, "run the steps of FILE (- for standard input)")
      ->type_name("FILE");
  app->add_flag("--keep-going", o.KeepGoing, "with --script: go on after a step that failed");
  app->add_flag("--list", raw.List, "list every operation, its arguments and out values");
  app->add_flag("--decode", raw.Decode,
                "decode frames given as hexadecimal (or lines on standard input)");
  return app;
}

bool SplitLast(const std::string& text, char sep, std::string& left, std::string& right) {
  const std::size_t p = text.rfind(sep);
  if (p == std::string::npos) return false;
  left = text.substr(0, p);
  right = text.substr(p + 1);
  return true;
}

bool CheckTcp(const std::string& value, TFprCmdOptions& o, std::string& error) {
  o.Link = TFprCmdOptions::TLink::Tcp;
  if (!SplitLast(value, ':', o.Host, o.Port) || o.Host.empty()) {
    error = "--tcp needs HOST:PORT";
    return false;
  }
  std::int32_t port = 0;
  const bool digits =
      !o.Port.empty() && o.Port.find_first_not_of("0123456789") == std::string::npos;
  if (!digits || !TryParseInt32(o.Port, port) || port < 1 || port > 65535) {
    error = "--tcp " + value + ": the port must be a number from 1 to 65535";
    return false;
  }
  return true;
}

bool CheckSerial(const std::string& value, TFprCmdOptions& o, std::string& error) {
  o.Link = TFprCmdOptions::TLink::Serial;
  o.SerialPort = value;
  std::string name, speed;
  if (SplitLast(value, '@', name, speed)) {
    o.SerialPort = name;
    o.Speed = speed;
    const auto& rates = KnownBaudRates();
    if (std::none_of(rates.begin(), rates.end(),
                     [&](int r) { return std::to_string(r) == speed; })) {
      std::string known;
      for (int r : rates) known += (known.empty() ? "" : ", ") + std::to_string(r);
      error = "--serial " + value + ": the speed must be one of " + known;
      return false;
    }
  }
  if (o.SerialPort.empty()) {
    error = "--serial needs a port name (COMn or a device path) before the speed";
    return false;
  }
  return true;
}

// The words after the options. An unknown option is an error: a word with a
// dash before the first word that is not an option, or one with two dashes
// anywhere before "--"; a parameter text such as "-1,2" passes.
bool TakeWords(const std::vector<std::string>& remaining, TFprCmdOptions& o, std::string& error) {
  bool verbatim = false;
  for (const std::string& w : remaining) {
    const bool dashed = w.size() > 1 && w[0] == '-' && (w[1] < '0' || w[1] > '9');
    const bool looksLikeOption = o.Words.empty() ? dashed : w.size() > 2 && w.rfind("--", 0) == 0;
    if (!verbatim && w == "--") {
      verbatim = true;
    } else if (!verbatim && looksLikeOption) {
      error = "Unknown or incomplete option " + w;
      return false;
    } else {
      o.Words.push_back(w);
    }
  }
  return true;
}

bool ChooseMode(const TRawOptions& raw, TFprCmdOptions& o, std::string& error) {
  const int modes = (raw.List ? 1 : 0) + (raw.Decode ? 1 : 0) + (o.Script.empty() ? 0 : 1);
  if (modes > 1) {
    error = "Give only one of --list, --decode and --script";
    return false;
  }
  if (raw.List || raw.Decode) {
    o.Mode = raw.List ? TFprCmdOptions::TMode::List : TFprCmdOptions::TMode::Decode;
    if (raw.List && !o.Words.empty()) error = "--list takes no other words";
    return error.empty();
  }
  if (o.Link == TFprCmdOptions::TLink::None) {
    error = "Give --tcp HOST:PORT or --serial PORT";
    return false;
  }
  if (!o.Script.empty()) {
    o.Mode = TFprCmdOptions::TMode::Script;
    if (!o.Words.empty()) error = "--script takes no command or operation besides";
    return error.empty();
  }
  if (o.Words.empty()) {
    error = "Give a command code and at most one parameter text, or op NAME";
    return false;
  }
  const std::string& first = o.Words[0];
  if (first == "op" || FindOperation(first) != nullptr) {
    o.Mode = TFprCmdOptions::TMode::Op;
    return true;
  }
  o.Mode = TFprCmdOptions::TMode::Raw;
  const bool hex = first.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos;
  std::uint32_t code = 0;
  if (!hex && first.size() > 2) {
    const std::string hint = ClosestName(first, OperationNames());
    error = "unknown operation '" + first + "'" +
            (hint.empty() ? std::string() : " (did you mean " + hint + "?)") +
            "; fprcmd --list shows them all";
  } else if (o.Words.size() > 2) {
    error = "Give a command code and at most one parameter text";
  } else if (first.size() > 2 || !TryParseHex(first, code)) {
    error = "Invalid value for command.";
  }
  o.Code = static_cast<std::uint8_t>(code);
  if (o.Words.size() == 2) o.Params = o.Words[1];
  return error.empty();
}

}  // namespace

std::string FprCmdUsage() {
  TFprCmdOptions o;
  TRawOptions raw;
  return MakeApp(o, raw)->help();
}

bool ParseFprCmdArgs(const std::vector<std::string>& args, TFprCmdOptions& options,
                     std::string& error) {
  TFprCmdOptions o;
  TRawOptions raw;
  auto app = MakeApp(o, raw);
  try {
    std::vector<std::string> reversed(args.rbegin(), args.rend());  // as CLI11 reads them
    app->parse(reversed);
  } catch (const CLI::CallForHelp&) {
    options = TFprCmdOptions{};
    options.Help = true;
    return true;
  } catch (const CLI::ParseError& e) {
    error = e.what();
    return false;
  }
  if (!raw.Tcp.empty() && !raw.Serial.empty()) {
    error = "Give only one of --tcp and --serial";
    return false;
  }
  const bool ok =
      TakeWords(app->remaining(), o, error) && (raw.Tcp.empty() || CheckTcp(raw.Tcp, o, error)) &&
      (raw.Serial.empty() || CheckSerial(raw.Serial, o, error)) && ChooseMode(raw, o, error);
  if (ok) options = o;
  return ok;
}
