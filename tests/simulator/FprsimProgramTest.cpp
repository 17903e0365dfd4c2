// The fprsim program itself: starts fast, answers 4AH, stops on SIGTERM.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "SimLinkClient.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The program sits next to this test program in the build tree.
fs::path ProgramPath() {
  return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "src" / "simulator" /
         "fprsim";
}

struct TChild {
  pid_t Pid = -1;
  int Out = -1;
  int Err = -1;
  // Waits for the end; the exit status, or -1 when it did not exit.
  int Wait() {
    int status = 0;
    ::waitpid(Pid, &status, 0);
    ::close(Out);
    ::close(Err);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

TChild Spawn(const std::vector<std::string>& args) {
  int outFds[2], errFds[2];
  if (::pipe(outFds) != 0) return {};
  if (::pipe(errFds) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outFds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errFds[1], 2);
  posix_spawn_file_actions_addclose(&actions, outFds[0]);
  posix_spawn_file_actions_addclose(&actions, errFds[0]);
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  TChild c;
  if (posix_spawn(&c.Pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) c.Pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  ::close(outFds[1]);
  ::close(errFds[1]);
  c.Out = outFds[0];
  c.Err = errFds[0];
  return c;
}

// One line of the child's output, or "" after the time limit.
std::string ReadLine(int fd, int timeoutMs) {
  std::string line;
  auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(timeoutMs)) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    char c = 0;
    if (::read(fd, &c, 1) != 1) break;
    if (c == '\n') return line;
    line.push_back(c);
  }
  return {};
}

}  // namespace

TEST(FprsimProgram, StartsFastAnswersStatusAndStops) {
  fs::path program = ProgramPath();
  if (!fs::exists(program)) GTEST_SKIP() << "not built: " << program;
  auto start = std::chrono::steady_clock::now();
  TChild child = Spawn({program.string(), "--tcp", "127.0.0.1:0"});
  ASSERT_GT(child.Pid, 0);
  std::string line = ReadLine(child.Out, 1000);
  auto prefix = std::string("fprsim: listening on 127.0.0.1:");
  ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
  int port = std::stoi(line.substr(prefix.size()));
  TLinkClient client;
  ASSERT_TRUE(client.ConnectTcp(static_cast<std::uint16_t>(port)));
  TParsedReply reply = ParseReply(client.Exchange(0x20, 0x4A, "W").Frame);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_TRUE(reply.SumOk);
  EXPECT_EQ(reply.Seq, 0x20);
  EXPECT_EQ(reply.Cmd, 0x4A);
  EXPECT_EQ(reply.Status.size(), 6u);
  client.Close();
  ::kill(child.Pid, SIGTERM);
  EXPECT_EQ(child.Wait(), 0);
}

TEST(FprsimProgram, RefusesBadOptions) {
  fs::path program = ProgramPath();
  if (!fs::exists(program)) GTEST_SKIP() << "not built: " << program;
  for (std::vector<std::string> args :
       {std::vector<std::string>{"--fault", "boom"}, std::vector<std::string>{"--tcp", "x:99999"},
        std::vector<std::string>{"--bogus"}}) {
    args.insert(args.begin(), program.string());
    TChild child = Spawn(args);
    ASSERT_GT(child.Pid, 0);
    EXPECT_EQ(child.Wait(), 2) << args[1];
  }
}

TEST(FprsimProgram, AStateFileThatCannotBeSavedIsAnErrorAtStart) {
  fs::path program = ProgramPath();
  if (!fs::exists(program)) GTEST_SKIP() << "not built: " << program;
  const fs::path dir = fs::temp_directory_path() / ("fprsim-start-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "folder");
  struct {
    fs::path State;
    std::string Message;
  } cases[] = {
      {dir / "missing" / "state.txt",
       "fprsim: --state: folder " + (dir / "missing").string() + " does not exist"},
      {dir / "folder", "fprsim: --state: " + (dir / "folder").string() + " is a folder"},
  };
  for (const auto& c : cases) {
    TChild child = Spawn({program.string(), "--tcp", "127.0.0.1:0", "--state", c.State.string()});
    ASSERT_GT(child.Pid, 0);
    EXPECT_EQ(ReadLine(child.Err, 2000), c.Message);
    EXPECT_EQ(child.Wait(), 1) << c.State;
  }
  fs::remove_all(dir);
}

TEST(FprsimProgram, AFailedSaveWhileRunningIsReportedAtOnce) {
  fs::path program = ProgramPath();
  if (!fs::exists(program)) GTEST_SKIP() << "not built: " << program;
  const fs::path dir = fs::temp_directory_path() / ("fprsim-run-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path state = dir / "state.txt";
  TChild child = Spawn({program.string(), "--tcp", "127.0.0.1:0", "--state", state.string()});
  ASSERT_GT(child.Pid, 0);
  const std::string line = ReadLine(child.Out, 2000);
  const std::string prefix = "fprsim: listening on 127.0.0.1:";
  ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
  ASSERT_TRUE(fs::exists(state));
  fs::remove(state);
  fs::create_directory(state);  // the next save cannot replace it
  TLinkClient client;
  ASSERT_TRUE(client.ConnectTcp(static_cast<std::uint16_t>(std::stoi(line.substr(prefix.size())))));
  EXPECT_TRUE(ParseReply(client.Exchange(0x20, 0x26, "").Frame).SumOk);
  EXPECT_EQ(ReadLine(child.Err, 2000),
            "fprsim: state not saved: cannot replace " + state.string() + ": Is a directory");
  client.Close();
  ::kill(child.Pid, SIGTERM);
  child.Wait();
  fs::remove_all(dir);
}
