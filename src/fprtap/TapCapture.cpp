#include "TapCapture.h"

#include <charconv>
#include <fstream>
#include <istream>
#include <ostream>

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

char SideLetter(TTapSide s) { return s == TTapSide::Host ? 'H' : 'D'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The next blank-separated word of `line` from `pos`.
std::string_view Word(std::string_view line, std::size_t& pos) {
  while (pos < line.size() && line[pos] == ' ') ++pos;
  const std::size_t start = pos;
  while (pos < line.size() && line[pos] != ' ') ++pos;
  return line.substr(start, pos - start);
}

bool ParseHex(std::string_view hex, std::string& bytes, std::string& error) {
  if (hex.size() % 2 != 0) {
    error = "odd number of hexadecimal digits";
    return false;
  }
  bytes.clear();
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int hi = HexValue(hex[i]);
    const int lo = HexValue(hex[i + 1]);
    if (hi < 0 || lo < 0) {
      error = "'" + std::string(hex.substr(hi < 0 ? i : i + 1, 1)) + "' is not a hexadecimal digit";
      return false;
    }
    bytes += static_cast<char>(hi * 16 + lo);
  }
  return true;
}

// One line after the header; false with `error` when malformed.
bool ReplayLine(std::string_view line, ITapSink& sink, std::string& bytes, std::string& error) {
  std::size_t pos = 0;
  const std::string_view time = Word(line, pos);
  const std::string_view side = Word(line, pos);
  const std::string_view payload = Word(line, pos);
  std::int64_t us = 0;
  const auto [end, ec] = std::from_chars(time.data(), time.data() + time.size(), us);
  if (ec != std::errc() || end != time.data() + time.size() || us < 0) {
    error = "the time stamp '" + std::string(time) + "' is not a whole number of microseconds";
    return false;
  }
  if (side != "H" && side != "D") {
    error = "the side '" + std::string(side) + "' is neither H (host) nor D (device)";
    return false;
  }
  if (payload.empty() || !Word(line, pos).empty()) {
    error = payload.empty() ? "no bytes and no 'close'" : "more than three fields";
    return false;
  }
  const TTapSide from = side == "H" ? TTapSide::Host : TTapSide::Device;
  if (payload == "close") {
    sink.OnClose(from, us);
    return true;
  }
  if (!ParseHex(payload, bytes, error)) return false;
  sink.OnBytes(from, bytes, us);
  return true;
}

}  // namespace

TTapCaptureWriter::TTapCaptureWriter(std::ostream& out) : Out_(out) {
  Out_ << kTapCaptureHeader << "\n";
}

TTapCaptureWriter::~TTapCaptureWriter() { Out_.flush(); }

void TTapCaptureWriter::OnBytes(TTapSide from, std::string_view bytes, std::int64_t timeUs) {
  if (bytes.empty()) return;
  std::string line = std::to_string(timeUs);
  line += ' ';
  line += SideLetter(from);
  line += ' ';
  for (char c : bytes) {
    const auto b = static_cast<std::uint8_t>(c);
    line += kHexDigits[b >> 4];
    line += kHexDigits[b & 0x0F];
  }
  line += '\n';
  Out_ << line;
}

void TTapCaptureWriter::OnClose(TTapSide side, std::int64_t timeUs) {
  Out_ << timeUs << ' ' << SideLetter(side) << " close\n";
  Out_.flush();
}

bool TTapCaptureWriter::Good() const { return Out_.good(); }

bool ReadTapCapture(std::istream& in, ITapSink& sink, std::string& error) {
  std::string line, bytes, why;
  const std::string prefix = "fprtap capture ";
  const bool read = static_cast<bool>(std::getline(in, line));
  if (read && !line.empty() && line.back() == '\r') line.pop_back();
  if (!read || line.rfind(prefix, 0) != 0) {
    error = "line 1: not an fprtap capture (the first line must be '" +
            std::string(kTapCaptureHeader) + "')";
    return false;
  }
  if (line != kTapCaptureHeader) {
    error = "line 1: capture version '" + line.substr(prefix.size()) +
            "' is not known (this fprtap reads version 1)";
    return false;
  }
  for (std::size_t number = 2; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (!ReplayLine(line, sink, bytes, why)) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    }
  }
  if (in.bad()) {
    error = "read error";
    return false;
  }
  return true;
}

int RunTapRead(const std::string& path, const TTapMonitorOptions& options, std::ostream& out,
               std::ostream& err) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    err << "fprtap: cannot open the capture " << path << "\n";
    return 2;
  }
  TTapMonitor monitor(out, options);
  std::string error;
  const bool ok = ReadTapCapture(file, monitor, error);
  monitor.Stop();  // a capture ends where the tap stopped
  monitor.PrintSummary();
  if (!ok) {
    err << "fprtap: " << path << ": " << error << "\n";
    return 2;
  }
  return monitor.Summary().Errors.empty() ? 0 : 1;
}
