#include "TapOptions.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <memory>

#include "SerialPort.h"

namespace {

constexpr const char* kDescription =
    "Sits on the link between a host program (a cash-register program) and a\n"
    "VELMORA fiscal printer or cash register, passes every byte on unchanged and\n"
    "shows each exchange: the request and its answer, decoded and checked.\n";

constexpr const char* kFooter =
    "Host side: --listen [HOST:]PORT (the host program connects over TCP; one at\n"
    "a time) or --pty / --link PATH (the host program opens the pty as its serial\n"
    "port). Device side: --device HOST:PORT or --serial PORT[@SPEED] (8N1, no flow\n"
    "control, SPEED 110..256000, default 9600).\n"
    "\n"
    "Exit status: 0 when the tap ended normally (Ctrl+C, or the host program\n"
    "closed with --once), 1 when a link could not be opened, 2 for wrong arguments.\n"
    "\n"
    "Examples:\n"
    "  fprtap --listen 5000 --device 192.168.1.50:4999\n"
    "  fprtap --link /tmp/ttyFPR --serial /dev/ttyUSB0@115200 --json | jq .\n"
    "  fprtap --read session.tap --views hex,status\n";

struct TRawOptions {
  std::string Listen, Device, Serial, Views;
  bool Pty = false;
};

std::unique_ptr<CLI::App> MakeApp(TTapOptions& o, TRawOptions& raw) {
  auto app = std::make_unique<CLI::App>(kDescription, "fprtap");
  app->footer(kFooter);
  app->set_help_flag();
  app->get_formatter()->column_width(26);
  app->add_flag("-h,--help", o.Help, "show this text");
  app->add_flag("--version", o.Version, "show the version");
  app->add_option("--listen", raw.Listen, "accept the host program on TCP (port 0: a free one)")
      ->type_name("[HOST:]PORT");
  app->add_flag("--pty", raw.Pty, "open a pty for the host program and print its path");
  app->add_option("--link", o.Link, "put a symlink to the pty at PATH (implies --pty)")
      ->type_name("PATH");
  app->add_option("--device", raw.Device, "the device on TCP")->type_name("HOST:PORT");
  app->add_option("--serial", raw.Serial, "the device on a serial port")->type_name("PORT[@SPEED]");
  app->add_flag("--json", o.Json, "one JSON object a line instead of text");
  app->add_option("--views", raw.Views, "the views of each frame (default: all)")
      ->type_name("raw,hex,fields,status");
  app->add_option("--capture", o.Capture, "save every byte each way with its time")
      ->type_name("FILE");
  app->add_option("--read", o.Read, "show a saved capture instead of relaying")->type_name("FILE");
  app->add_flag("--once", o.Once, "end when the first host program closes");
  app->add_flag("--quiet", o.Quiet, "show no exchanges, only the summary");
  app->add_flag("--no-summary", o.NoSummary, "show no summary at the end");
  return app;
}

bool ParsePort(const std::string& text, int lowest, int& port) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || p != end || value < lowest || value > 65535)
    return false;
  port = value;
  return true;
}

bool CheckListen(const std::string& value, TTapOptions& o, std::string& error) {
  const std::size_t colon = value.rfind(':');
  std::string port = value;
  if (colon != std::string::npos) {
    o.ListenHost = value.substr(0, colon);
    port = value.substr(colon + 1);
  }
  if (o.ListenHost.empty() || !ParsePort(port, 0, o.ListenPort)) {
    error = "--listen " + value + ": give [HOST:]PORT with a port from 0 to 65535";
    return false;
  }
  return true;
}

bool CheckDevice(const std::string& value, TTapOptions& o, std::string& error) {
  const std::size_t colon = value.rfind(':');
  if (colon == std::string::npos || colon == 0 ||
      !ParsePort(value.substr(colon + 1), 1, o.DevicePort)) {
    error = "--device " + value + ": give HOST:PORT with a port from 1 to 65535";
    return false;
  }
  o.DeviceHost = value.substr(0, colon);
  return true;
}

bool CheckSerial(const std::string& value, TTapOptions& o, std::string& error) {
  const std::size_t at = value.rfind('@');
  o.SerialPort = value.substr(0, at);
  if (at != std::string::npos) {
    const std::string speed = value.substr(at + 1);
    const auto& rates = KnownBaudRates();
    auto known =
        std::find_if(rates.begin(), rates.end(), [&](int r) { return std::to_string(r) == speed; });
    if (known == rates.end()) {
      error = "--serial " + value + ": the speed must be one of";
      for (int r : rates) error += " " + std::to_string(r);
      return false;
    }
    o.Speed = *known;
  }
  if (o.SerialPort.empty()) {
    error = "--serial needs a port name (COMn or a device path)";
    return false;
  }
  return true;
}

bool ChooseSides(const TRawOptions& raw, TTapOptions& o, std::string& error) {
  const bool pty = raw.Pty || !o.Link.empty();
  const int hosts = (raw.Listen.empty() ? 0 : 1) + (pty ? 1 : 0);
  const int devices = (raw.Device.empty() ? 0 : 1) + (raw.Serial.empty() ? 0 : 1);
  if (!o.Read.empty()) {
    if (hosts + devices > 0 || !o.Capture.empty() || o.Once)
      error = "--read shows a saved capture; it takes no link, --capture or --once";
    return error.empty();
  }
  if (hosts != 1) {
    error = hosts == 0 ? "Give the host side: --listen [HOST:]PORT, --pty or --link PATH"
                       : "Give only one host side: --listen or --pty/--link";
    return false;
  }
  if (devices != 1) {
    error = devices == 0 ? "Give the device side: --device HOST:PORT or --serial PORT[@SPEED]"
                         : "Give only one device side: --device or --serial";
    return false;
  }
  o.Host = pty ? TTapOptions::THostSide::Pty : TTapOptions::THostSide::Listen;
  o.Device = raw.Device.empty() ? TTapOptions::TDeviceSide::Serial : TTapOptions::TDeviceSide::Tcp;
  if (!raw.Listen.empty() && !CheckListen(raw.Listen, o, error)) return false;
  if (!raw.Device.empty() && !CheckDevice(raw.Device, o, error)) return false;
  if (!raw.Serial.empty() && !CheckSerial(raw.Serial, o, error)) return false;
  return true;
}

}  // namespace

bool ParseTapArgs(const std::vector<std::string>& args, TTapOptions& options, std::string& error) {
  options = TTapOptions{};
  TRawOptions raw;
  auto app = MakeApp(options, raw);
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app->parse(reversed);
  } catch (const CLI::ParseError& e) {
    error = e.what();
    return false;
  }
  if (options.Help || options.Version) return true;
  if (app->count("--views") > 0 && !ParseTapViews(raw.Views, options.Views, error)) {
    error = "--views: " + error;
    return false;
  }
  if (options.Quiet && options.NoSummary) {
    error = "--quiet with --no-summary would show nothing";
    return false;
  }
  return ChooseSides(raw, options, error);
}

std::string TapUsage() {
  TTapOptions o;
  TRawOptions raw;
  return MakeApp(o, raw)->help();
}
