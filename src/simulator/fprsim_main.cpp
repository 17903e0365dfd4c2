// fprsim: a simulated VELMORA fiscal printer on TCP and/or a pseudo-terminal.
#include <csignal>
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "SimFaults.h"
#include "SimNumbers.h"
#include "SimServer.h"
#include "SimStateFile.h"

namespace {

struct TOptions {
  bool Tcp = false;
  std::string Host = "127.0.0.1";
  int Port = TSimServer::kDefaultPort;
  bool Pty = false;
  std::string Link;
  std::string StateFile;
  bool Verbose = false;
  bool Dedup = true;
  int WorkMs = 200;
  int SynMs = 300;
  std::vector<sim::TSimFault> Faults;
};

void PrintHelp() {
  std::cout << "Usage: fprsim [options]\n"
               "A simulated VELMORA fiscal printer. It answers the request frames of the\n"
               "device protocol with a fiscal model (receipts, reports, registers) and\n"
               "serves one client at a time. Stop it with Ctrl+C (the state file, if any,\n"
               "is saved once more). --tcp and --pty may be given together.\n"
               "\n"
               "  --tcp [HOST:]PORT  listen on TCP (default 127.0.0.1:4999 when neither\n"
               "                     --tcp nor --pty is given; PORT 0 picks a free port)\n"
               "  --pty              open a pseudo-terminal and print the path of its slave\n"
               "  --link PATH        put a symlink to the pty slave at PATH (implies --pty)\n"
               "  --state FILE       load the device state from FILE if it exists and save\n"
               "                     it there after every command that changes it (its\n"
               "                     folder must exist; a failed save is told on stderr)\n"
               "  --verbose          print every frame in hex, control bytes named, one line each\n"
               "  --work-ms MS       how long reports keep the device busy (default 200)\n"
               "  --syn-ms MS        interval of SYN bytes while busy, 10 to 650 (default 300)\n"
               "  --no-dedup         execute a repeated SEQ again instead of answering it\n"
               "                     from the previous answer\n"
               "  --fault FAULT      inject a fault; may be repeated. FAULT is\n"
               "                     KIND[=ARG][:COUNT][@CMD], COUNT a number or * (no limit),\n"
               "                     CMD the command code in hex (default: any command):\n"
            << sim::FaultHelp()
            << "                     e.g. --fault nak:2 --fault busy=1500@45 --fault status=2/0\n"
               "  --help             show this text\n";
}

bool ParseHostPort(const std::string& arg, TOptions& o) {
  auto colon = arg.rfind(':');
  std::string port = colon == std::string::npos ? arg : arg.substr(colon + 1);
  if (colon != std::string::npos) o.Host = arg.substr(0, colon);
  auto n = sim::ParseInt(port);
  if (!n || *n < 0 || *n > 65535) return false;
  o.Port = static_cast<int>(*n);
  return true;
}

std::optional<int> Millis(const std::string& text) {
  auto n = sim::ParseInt(text);
  if (!n || *n < 0 || *n > 600000) return std::nullopt;
  return static_cast<int>(*n);
}

// Returns 0 to go on, otherwise the exit code.
int ParseArgs(int argc, char** argv, TOptions& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= argc) return std::nullopt;
      return std::string(argv[++i]);
    };
    std::optional<std::string> v;
    std::string error;
    if (a == "--help" || a == "-h") {
      PrintHelp();
      return -1;
    } else if (a == "--tcp") {
      if (!(v = value()) || !ParseHostPort(*v, o)) return std::cerr << "fprsim: bad --tcp\n", 2;
      o.Tcp = true;
    } else if (a == "--pty") {
      o.Pty = true;
    } else if (a == "--link") {
      if (!(v = value())) return std::cerr << "fprsim: --link needs a path\n", 2;
      o.Link = *v;
      o.Pty = true;
    } else if (a == "--state") {
      if (!(v = value())) return std::cerr << "fprsim: --state needs a file\n", 2;
      o.StateFile = *v;
    } else if (a == "--verbose" || a == "-v") {
      o.Verbose = true;
    } else if (a == "--no-dedup") {
      o.Dedup = false;
    } else if (a == "--work-ms" || a == "--syn-ms") {
      auto ms = (v = value()) ? Millis(*v) : std::nullopt;
      if (!ms) return std::cerr << "fprsim: " << a << " needs milliseconds\n", 2;
      (a == "--work-ms" ? o.WorkMs : o.SynMs) = *ms;
    } else if (a == "--fault") {
      auto f = (v = value()) ? sim::ParseFault(*v, &error) : std::nullopt;
      if (!f) return std::cerr << "fprsim: --fault: " << (v ? error : "needs a FAULT") << "\n", 2;
      o.Faults.push_back(*f);
    } else {
      std::cerr << "fprsim: unknown option " << a << " (see --help)\n";
      return 2;
    }
  }
  if (!o.Tcp && !o.Pty) o.Tcp = true;
  return 0;
}

// A state file that can never be saved is an error at once, not a surprise
// at the first command.
bool SetupStateFile(TSimDevice& dev, const std::string& path) {
  std::string error, warning;
  if (!sim::CheckStatePath(path, &error)) {
    std::cerr << "fprsim: --state: " << error << "\n";
    return false;
  }
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) {
    if (!dev.LoadState(path, &error, &warning)) {
      std::cerr << "fprsim: " << path << ": " << error << "\n";
      return false;
    }
    if (!warning.empty()) std::cerr << "fprsim: " << path << ": warning: " << warning << "\n";
  }
  dev.SetSaveFailureReport(
      [](const std::string& why) { std::cerr << "fprsim: " << why << std::endl; });
  dev.SetStateFile(path);
  return true;
}

bool Setup(TSimServer& server, const TOptions& o) {
  TSimDevice& dev = server.Device();
  if (!o.StateFile.empty() && !SetupStateFile(dev, o.StateFile)) return false;
  if (o.Verbose) {
    dev.SetTrace([](const std::string& line) { std::cout << line << std::endl; });
  }
  dev.SetWorkTime(o.WorkMs);
  dev.SetSynInterval(o.SynMs);
  dev.SetDuplicateDetection(o.Dedup);
  for (const auto& f : o.Faults) dev.AddFault(f);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  TOptions o;
  if (int rc = ParseArgs(argc, argv, o); rc != 0) return rc < 0 ? 0 : rc;

  // Threads started below inherit the blocked signals; main waits for them.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  // A closed stdout (the trace piped into a program that ended) must not kill the device.
  std::signal(SIGPIPE, SIG_IGN);

  TSimServer server;
  if (!Setup(server, o)) return 1;
  if (o.Tcp) {
    if (!server.StartTcp(o.Host, static_cast<std::uint16_t>(o.Port))) {
      std::cerr << "fprsim: cannot listen: " << server.LastError() << "\n";
      return 1;
    }
    std::cout << "fprsim: listening on " << o.Host << ":" << server.Port() << std::endl;
  }
  if (o.Pty) {
    std::string path = server.StartPty(o.Link);
    if (path.empty()) {
      std::cerr << "fprsim: " << server.LastError() << "\n";
      return 1;
    }
    std::cout << "fprsim: pty " << path << (o.Link.empty() ? "" : " (link " + o.Link + ")")
              << std::endl;
  }
  int sig = 0;
  sigwait(&signals, &sig);
  server.Stop();
  if (!o.StateFile.empty()) {
    std::string error;
    if (!server.Device().SaveState(o.StateFile, &error)) {
      std::cerr << "fprsim: " << error << "\n";
      return 1;
    }
  }
  std::cout << "fprsim: stopped" << std::endl;
  return 0;
}
