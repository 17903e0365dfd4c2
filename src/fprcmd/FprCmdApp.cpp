#include "FprCmdApp.h"

#include <ostream>

#include "ConstUnit.h"
#include "Cp1251.h"
#include "FrameCodec.h"
#include "RS232DeviceUnit.h"
#include "RegionalSettings.h"
#include "StatusDecoding.h"
#include "TCPDeviceUnit.h"
#include "uPrintData.h"

namespace {

bool ParseCode(const std::string& text, std::uint8_t& code) {
  std::uint32_t value = 0;
  if (text.empty() || text.size() > 2 || !TryParseHex(text, value)) return false;
  code = static_cast<std::uint8_t>(value);
  return true;
}

bool SplitLast(const std::string& text, char sep, std::string& left, std::string& right) {
  const std::size_t p = text.rfind(sep);
  if (p == std::string::npos) return false;
  left = text.substr(0, p);
  right = text.substr(p + 1);
  return true;
}

// Log texts use CR LF; a terminal wants LF.
std::string ForTerminal(const std::string& cp1251) {
  std::string out;
  for (char c : Cp1251ToUtf8(cp1251)) {
    if (c != '\r') out += c;
  }
  return out;
}

TDataBuffer HexToBytes(const std::string& hex) {
  TDataBuffer out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    std::uint32_t v = 0;
    if (TryParseHex(hex.substr(i, 2), v)) out.push_back(static_cast<std::uint8_t>(v));
  }
  return out;
}

struct TTraffic {
  std::string Sent;      // the last request frame
  std::string Received;  // every reply byte reported, all attempts
  std::string DurationLine;
};

void PrintReply(const TTraffic& t, bool showStatus, std::ostream& out) {
  if (t.Received.empty()) return;
  out << "Response: " << FrameHexView(t.Received) << "\n";
  const std::size_t last = t.Received.rfind('\x01');
  if (last == std::string::npos) return;
  TPrintData frame;
  try {
    ParseFrameText(t.Received.substr(last), frame);
  } catch (const ESilentAbort&) {
    return;
  }
  out << "Data: " << ForTerminal(frame.PacketData) << "\n";
  if (!showStatus) return;
  const TDataBuffer status = HexToBytes(frame.PacketStatus);
  if (status.size() < StatusByteCount) {
    out << "Status: incomplete (" << frame.PacketStatus << ")\n";
    return;
  }
  out << "Status: " << frame.PacketStatus << "\n" << ForTerminal(StatusBitsText(status)) << "\n";
}

}  // namespace

std::string FprCmdUsage() {
  return "Usage: fprcmd (--tcp HOST:PORT | --serial PORT[@SPEED]) [--status] CODE [PARAMS]\n"
         "\n"
         "Sends one command to a VELMORA fiscal printer or cash register and prints\n"
         "the result, the last error code, the duration, both frames in hexadecimal\n"
         "with the control bytes named, and the answer's data as text.\n"
         "\n"
         "  --tcp HOST:PORT        connect over TCP (IP address or host name)\n"
         "  --serial PORT[@SPEED]  serial port: COMn (= /dev/ttyS(n-1)), a device path\n"
         "                         such as /dev/ttyUSB0, or a name under /dev;\n"
         "                         SPEED defaults to 9600\n"
         "  --status               also list every status flag of the answer\n"
         "  CODE                   command code in hexadecimal, one or two digits (4A)\n"
         "  PARAMS                 parameter text (UTF-8, sent as CP1251); control\n"
         "                         characters are escaped as the device expects\n"
         "  --help                 this text\n"
         "\n"
         "Exit status: 0 when the command succeeded, 1 when it failed, 2 for wrong\n"
         "arguments.\n"
         "\n"
         "Example: fprcmd --tcp 192.168.1.50:4999 --status 4A W\n";
}

bool ParseFprCmdArgs(const std::vector<std::string>& args, TFprCmdOptions& options,
                     std::string& error) {
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--help" || a == "-h") {
      options.Help = true;
    } else if (a == "--status") {
      options.ShowStatus = true;
    } else if (a == "--tcp" && hasValue) {
      options.Link = TFprCmdOptions::TLink::Tcp;
      if (!SplitLast(args[++i], ':', options.Host, options.Port) || options.Host.empty()) {
        error = "--tcp needs HOST:PORT";
        return false;
      }
    } else if (a == "--serial" && hasValue) {
      options.Link = TFprCmdOptions::TLink::Serial;
      options.SerialPort = args[++i];
      std::string name, speed;
      if (SplitLast(options.SerialPort, '@', name, speed)) {
        options.SerialPort = name;
        options.Speed = speed;
      }
    } else if (a.size() > 1 && a[0] == '-' && positional.empty()) {
      error = "Unknown or incomplete option " + a;
      return false;
    } else {
      positional.push_back(a);
    }
  }
  if (options.Help) return true;
  if (options.Link == TFprCmdOptions::TLink::None) {
    error = "Give --tcp HOST:PORT or --serial PORT";
    return false;
  }
  if (positional.empty() || positional.size() > 2) {
    error = "Give a command code and at most one parameter text";
    return false;
  }
  if (!ParseCode(positional[0], options.Code)) {
    error = "Invalid value for command.";
    return false;
  }
  if (positional.size() == 2) options.Params = positional[1];
  return true;
}

std::unique_ptr<TBaseDevice> CreateFprCmdDevice(const TFprCmdOptions& options) {
  if (options.Link == TFprCmdOptions::TLink::Tcp) {
    auto dev = std::make_unique<TTCPDevice>();
    dev->SetHost(options.Host);
    dev->SetPort(options.Port);
    return dev;
  }
  auto dev = std::make_unique<TRS32Device>();
  dev->SetPortName(options.SerialPort);
  dev->SetBaudRate(options.Speed);
  return dev;
}

int RunFprCmd(const TFprCmdOptions& options, TBaseDevice& device, std::ostream& out) {
  std::string params;
  std::size_t bad = 0;
  if (!Utf8ToCp1251(options.Params, params, &bad)) {
    out << "Error: the parameter text has a character without a CP1251 code at byte " << bad
        << "; nothing was sent\n";
    return 2;
  }
  TTraffic traffic;
  device.OnFrameSent = [&](const std::string& s) { traffic.Sent = s; };
  device.OnByteReceived = [&](const std::string& s) { traffic.Received += s; };
  device.OnDuration = [&](const std::string& s) { traffic.DurationLine = s; };

  out << "Command: " << Hex2(options.Code) << "H\n";
  bool ok = device.Connect();
  if (ok) {
    ok = device.ExecuteCommand(options.Code, params);
    out << "Duration: " << traffic.DurationLine << "\n";
    if (!traffic.Sent.empty()) out << "Request: " << FrameHexView(traffic.Sent) << "\n";
    PrintReply(traffic, options.ShowStatus, out);
  }
  if (ok) {
    out << "Result: OK\n";
  } else {
    out << "Error: " << ForTerminal(device.LastErrorText) << "\n";
  }
  out << "LastErrorCode: " << device.LastErrorCode << "\n";
  device.Disconnect();
  return ok ? 0 : 1;
}
