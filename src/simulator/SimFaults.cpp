#include "SimFaults.h"

#include <algorithm>
#include <charconv>

#include "SimNumbers.h"

namespace sim {

namespace {

struct TKindName {
  const char* Name;
  EFault Kind;
  const char* Help;
};

constexpr TKindName kKinds[] = {
    {"nak", EFault::Nak, "nak[:N]            NAK the next N frames (not executed)"},
    {"silent", EFault::Silent, "silent[:N]         swallow N frames: no answer, not executed"},
    {"lost-answer", EFault::SilentExecuted,
     "lost-answer[:N]    execute but do not answer N frames"},
    {"wrong-seq", EFault::WrongSeq, "wrong-seq[:N]      answer with SEQ+1"},
    {"wrong-cmd", EFault::WrongCmd, "wrong-cmd[:N]      answer with CMD+1"},
    {"wrong-len", EFault::WrongLen, "wrong-len[:N]      answer with LEN+1"},
    {"wrong-sum", EFault::WrongChecksum, "wrong-sum[:N]      answer with a wrong checksum"},
    {"busy", EFault::Busy, "busy=MS[:N]        send SYN for MS milliseconds before answering"},
    {"noise", EFault::Noise, "noise[=HEX][:N]    send these bytes before the answer"},
    {"close-mid", EFault::CloseMidFrame,
     "close-mid[:N]      send half of the answer, then close the link"},
    {"status", EFault::StatusSet, "status=K/B[:N]     report status bit [K/B] set (default N: *)"},
    {"status-clear", EFault::StatusClear,
     "status-clear=K/B[:N] report status bit [K/B] clear (default N: *)"},
    {"answer", EFault::ForceAnswer, "answer=TEXT[:N]    do not execute; answer with TEXT"},
};

bool Fail(std::string* error, const std::string& text) {
  if (error) *error = text;
  return false;
}

bool ParseHexBytes(const std::string& hex, std::string& out) {
  if (hex.size() % 2 != 0) return false;
  out.clear();
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    unsigned v = 0;
    auto [p, ec] = std::from_chars(hex.data() + i, hex.data() + i + 2, v, 16);
    if (ec != std::errc() || p != hex.data() + i + 2) return false;
    out.push_back(static_cast<char>(v));
  }
  return true;
}

bool ApplyArg(TSimFault& f, const std::string& arg, bool hasArg, std::string* error) {
  switch (f.Kind) {
    case EFault::Busy: {
      auto ms = ParseInt(arg);
      if (!hasArg || !ms || *ms < 0 || *ms > 600000) return Fail(error, "busy needs =MS");
      f.Ms = static_cast<int>(*ms);
      return true;
    }
    case EFault::Noise:
      if (!hasArg) {
        f.Text.assign(kDefaultNoise, sizeof kDefaultNoise - 1);
        return true;
      }
      return ParseHexBytes(arg, f.Text) ? true : Fail(error, "noise needs hex bytes");
    case EFault::StatusSet:
    case EFault::StatusClear: {
      auto slash = arg.find('/');
      auto k = ParseInt(arg.substr(0, slash));
      auto b = slash == std::string::npos ? std::nullopt : ParseInt(arg.substr(slash + 1));
      if (!k || !b || *k < 0 || *k > 5 || *b < 0 || *b > 7) return Fail(error, "status needs =K/B");
      f.Byte = static_cast<int>(*k);
      f.Bit = static_cast<int>(*b);
      return true;
    }
    case EFault::ForceAnswer:
      f.Text = arg;
      return true;
    default:
      return hasArg ? Fail(error, "this fault takes no argument") : true;
  }
}

}  // namespace

std::optional<TSimFault> ParseFault(const std::string& text, std::string* error) {
  std::string rest = text;
  TSimFault f;
  // Suffixes are taken only when they read as a code or a count, so that an
  // answer text may hold ':' and '@' itself.
  if (auto at = rest.rfind('@'); at != std::string::npos) {
    unsigned cmd = 0;
    std::string hex = rest.substr(at + 1);
    auto [p, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), cmd, 16);
    if (!hex.empty() && hex.size() <= 2 && ec == std::errc() && p == hex.data() + hex.size()) {
      f.Cmd = static_cast<int>(cmd);
      rest.erase(at);
    }
  }
  std::string count;
  bool hasCount = false;
  if (auto colon = rest.rfind(':'); colon != std::string::npos) {
    std::string tail = rest.substr(colon + 1);
    if (tail == "*" ||
        (!tail.empty() && tail.find_first_not_of("0123456789") == std::string::npos)) {
      count = tail;
      hasCount = true;
      rest.erase(colon);
    }
  }
  auto eq = rest.find('=');
  std::string name = rest.substr(0, eq);
  std::string arg = eq == std::string::npos ? "" : rest.substr(eq + 1);
  auto kind = std::find_if(std::begin(kKinds), std::end(kKinds),
                           [&](const TKindName& k) { return name == k.Name; });
  if (kind == std::end(kKinds)) {
    Fail(error, "unknown fault '" + name + "'");
    return std::nullopt;
  }
  f.Kind = kind->Kind;
  if (!ApplyArg(f, arg, eq != std::string::npos, error)) return std::nullopt;
  bool status = f.Kind == EFault::StatusSet || f.Kind == EFault::StatusClear;
  f.Count = status ? -1 : 1;
  if (hasCount) {
    auto n = count == "*" ? std::optional<std::int64_t>(-1) : ParseInt(count);
    if (!n || *n < -1 || *n == 0 || *n > 1000000) {
      Fail(error, "bad count in '" + text + "'");
      return std::nullopt;
    }
    f.Count = static_cast<int>(*n);
  }
  return f;
}

std::string FaultHelp() {
  std::string out;
  for (const auto& k : kKinds) out += std::string("      ") + k.Help + "\n";
  return out;
}

void DropSpent(std::vector<TSimFault>& faults) {
  faults.erase(
      std::remove_if(faults.begin(), faults.end(), [](const TSimFault& f) { return f.Count == 0; }),
      faults.end());
}

}  // namespace sim
