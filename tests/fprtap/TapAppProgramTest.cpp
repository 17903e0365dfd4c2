// The fprtap program between the fprcmd program and the simulator: where it
// listens, the summary on Ctrl+C, --read of its capture giving what it showed
// live, and its exit codes.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include "TapAppTestSupport.h"

#if defined(FPRTAP_BINARY) && defined(FPRCMD_BINARY)

namespace {

class TapAppProgramTest : public TTapSimFixture {};

// The first line on standard error and, after Ctrl+C, standard output.
TEST_F(TapAppProgramTest, RelaysForFprcmdAndPrintsTheSummaryOnCtrlC) {
  const std::string capture = ::testing::TempDir() + "fprtap-" + std::to_string(::getpid());
  for (const std::string output : {"--views=hex", "--json"}) {
    std::string args[] = {
        FPRTAP_BINARY, "--listen", "0",   "--device", "127.0.0.1:" + std::to_string(Sim.Port()),
        "--capture",   capture,    output};
    char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(), args[4].data(),
                    args[5].data(), args[6].data(), args[7].data(), nullptr};
    int out[2], err[2];
    ASSERT_EQ(::pipe(out) | ::pipe(err), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv, nullptr), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]), ::close(err[1]);
    std::string line;
    for (std::string c; (c = ReadSome(err[0], 1, 5000)) != "\n" && !c.empty();) line += c;
    const std::string prefix = "fprtap: listening on 127.0.0.1:";
    ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
    const std::string fprcmd = FPRCMD_BINARY " --tcp 127.0.0.1:" + line.substr(prefix.size());
    EXPECT_EQ(std::system((fprcmd + " 4A W >/dev/null").c_str()), 0);
    EXPECT_EQ(std::system((fprcmd + " op GetDiagnosticInfo Option=1 >/dev/null").c_str()), 0);
    ::kill(pid, SIGINT);
    const std::string live = ReadSome(out[0], 1 << 20, 5000);
    int status = -1;
    ::waitpid(pid, &status, 0);
    ::close(out[0]), ::close(err[0]);
    EXPECT_EQ(status, 0);
    EXPECT_NE(
        live.find(output == "--json" ? R"("command":"5A")"
                                     : "Summary: 2 exchanges, 2 answered, 0 with failed checks\n"),
        std::string::npos)
        << live;
    FILE* read = ::popen((FPRTAP_BINARY " --read " + capture + " " + output).c_str(), "r");
    std::string again;
    for (int c; (c = std::fgetc(read)) != EOF;) again += static_cast<char>(c);
    EXPECT_EQ(::pclose(read), 0);
    EXPECT_EQ(again, live);
  }
  std::remove(capture.c_str());
}

TEST(TapAppProgram, ExitCodes) {
  const struct {
    const char* Args;
    int Status;
    const char* Says;  // the start of what it prints
  } cases[] = {
      {"--version", 0, "fprtap " FPR_VERSION "\n"},
      {"--listen 5000", 2, "fprtap: Give the device side"},
      {"--pty --serial /nonexistent/tty", 1, "fprtap: cannot open serial port"},
      {"--listen 256.1.1.1:0 --device h:1", 1, "fprtap: cannot listen: "},
      {"--read /nonexistent.tap", 2, "fprtap: cannot open the capture /nonexistent.tap"},
  };
  for (const auto& c : cases) {
    FILE* p = ::popen((FPRTAP_BINARY " " + std::string(c.Args) + " 2>&1").c_str(), "r");
    std::string says;
    for (int ch; (ch = std::fgetc(p)) != EOF;) says += static_cast<char>(ch);
    EXPECT_EQ(WEXITSTATUS(::pclose(p)), c.Status) << c.Args;
    EXPECT_EQ(says.rfind(c.Says, 0), 0u) << says;
  }
}

}  // namespace

#endif
