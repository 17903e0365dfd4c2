// The fprtap program itself between the fprcmd program and the simulator:
// where it listens, the exit codes, the summary on Ctrl+C, and --read of its
// capture giving what it showed live.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "TapAppTestSupport.h"

extern char** environ;

#if defined(FPRTAP_BINARY) && defined(FPRCMD_BINARY)

namespace {

namespace fs = std::filesystem;

struct TChild {
  pid_t Pid = -1;
  int Out = -1;
  int Err = -1;
  std::string Output;  // all of stdout, after Wait
  int Wait() {
    char buf[4096];
    for (ssize_t n; (n = ::read(Out, buf, sizeof buf)) > 0;) Output.append(buf, n);
    int status = 0;
    ::waitpid(Pid, &status, 0);
    ::close(Out);
    ::close(Err);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

TChild Spawn(std::vector<std::string> args) {
  args.insert(args.begin(), FPRTAP_BINARY);
  int out[2], err[2];
  if (::pipe(out) != 0 || ::pipe(err) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addclose(&actions, err[0]);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  TChild c;
  if (posix_spawn(&c.Pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) c.Pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  ::close(err[1]);
  c.Out = out[0];
  c.Err = err[0];
  return c;
}

// One line of the child's stderr, or "" after the time limit.
std::string ReadLine(int fd, int timeoutMs = 5000) {
  std::string line;
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0) return {};
    char c = 0;
    if (::read(fd, &c, 1) != 1) return {};
    if (c == '\n') return line;
    line.push_back(c);
  }
}

// fprcmd's exit status, its output dropped.
int RunFprcmd(const std::string& args) {
  const std::string command = std::string(FPRCMD_BINARY) + " " + args + " >/dev/null 2>&1";
  return WEXITSTATUS(std::system(command.c_str()));
}

class TapAppProgramTest : public TTapSimFixture {};

TEST_F(TapAppProgramTest, RelaysForFprcmdAndPrintsTheSummaryOnCtrlC) {
  const fs::path capture =
      fs::temp_directory_path() / ("fprtap-program-" + std::to_string(::getpid()) + ".tap");
  const struct { bool Json; } cases[] = {{false}, {true}};
  for (const auto& c : cases) {
    std::vector<std::string> args = {"--listen",  "0",
                                     "--device",  "127.0.0.1:" + std::to_string(Sim.Port()),
                                     "--capture", capture.string()};
    if (c.Json) args.push_back("--json");
    TChild tap = Spawn(args);
    ASSERT_GT(tap.Pid, 0);
    const std::string line = ReadLine(tap.Err);
    const std::string prefix = "fprtap: listening on 127.0.0.1:";
    ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
    const std::string link = "--tcp 127.0.0.1:" + line.substr(prefix.size());
    EXPECT_EQ(RunFprcmd(link + " 4A W"), 0);
    EXPECT_EQ(RunFprcmd(link + " op GetDiagnosticInfo Option=1"), 0);
    EXPECT_EQ(ReadLine(tap.Err), "fprtap: host program connected");
    EXPECT_EQ(ReadLine(tap.Err), "fprtap: the host program closed the link");
    ::kill(tap.Pid, SIGINT);
    EXPECT_EQ(tap.Wait(), 0);
    if (c.Json) {
      std::vector<nlohmann::json> lines;
      std::istringstream in(tap.Output);
      for (std::string l; std::getline(in, l);) lines.push_back(nlohmann::json::parse(l));
      ASSERT_EQ(lines.size(), 3u) << tap.Output;
      EXPECT_EQ(lines[0]["command"], "4A");
      EXPECT_EQ(lines[1]["command"], "5A");
      EXPECT_EQ(lines[2]["summary"]["exchanges"], 2);
    } else {
      EXPECT_NE(tap.Output.find("Summary: 2 exchanges, 2 answered, 0 with failed checks\n"),
                std::string::npos)
          << tap.Output;
    }
    args = {"--read", capture.string()};
    if (c.Json) args.push_back("--json");
    TChild read = Spawn(args);
    EXPECT_EQ(read.Wait(), 0);
    EXPECT_EQ(read.Output, tap.Output);
  }
  fs::remove(capture);
}

TEST(TapProgram, ExitCodesOfHelpVersionMistakesAndLinksThatCannotOpen) {
  const struct {
    std::vector<std::string> Args;
    int Status;
    const char* Says;  // the first line on stdout or stderr
  } cases[] = {
      {{"--help"}, 0, ""},
      {{"--version"}, 0, "fprtap " FPR_VERSION},
      {{"--listen", "5000"}, 2, "fprtap: Give the device side"},
      {{"--bogus"}, 2, "fprtap: "},
      {{"--pty", "--serial", "/nonexistent/tty@9600"}, 1, "fprtap: cannot open serial port"},
      {{"--listen", "256.1.1.1:0", "--device", "127.0.0.1:1"}, 1, "fprtap: cannot listen: "},
      {{"--read", "/nonexistent.tap"}, 2, "fprtap: cannot open the capture /nonexistent.tap"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Args[0]);
    TChild tap = Spawn(c.Args);
    const std::string err = ReadLine(tap.Err);
    EXPECT_EQ(tap.Wait(), c.Status);
    const std::string& says = c.Status == 0 ? tap.Output : err;
    EXPECT_EQ(says.rfind(c.Says, 0), 0u) << says;
  }
}

}  // namespace

#endif
