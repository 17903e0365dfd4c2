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
};

TChild Spawn(const std::vector<std::string>& args) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  TChild c;
  if (posix_spawn(&c.Pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) c.Pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  c.Out = pipeFds[0];
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
  int status = 0;
  ::waitpid(child.Pid, &status, 0);
  ::close(child.Out);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
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
    int status = 0;
    ::waitpid(child.Pid, &status, 0);
    ::close(child.Out);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << args[1];
  }
}
