// Saving the state file: where it may live, what a failed save leaves, and
// how the device reports one.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "SimDevice.h"
#include "SimStateFile.h"

using namespace sim;

namespace {

namespace fs = std::filesystem;

class SimStateSave : public ::testing::Test {
 protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() /
          ("fprsim-save-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }

  std::string PathOf(const std::string& name) const { return (Dir / name).string(); }
  static std::string Read(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream text;
    text << f.rdbuf();
    return text.str();
  }

  fs::path Dir;
};

// Lowers the file size limit for one scope; writing past it fails with EFBIG
// instead of killing the process.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    Old_ = ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &Saved_);
    rlimit lower = Saved_;
    lower.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &lower);
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &Saved_);
    ::signal(SIGXFSZ, Old_);
  }

 private:
  rlimit Saved_{};
  sighandler_t Old_;
};

}  // namespace

TEST_F(SimStateSave, StatePathMustBeAFileInAFolderThatExists) {
  std::ofstream(PathOf("plain")) << "x";
  struct {
    std::string Path;
    std::string Error;  // "" when accepted
  } cases[] = {
      {PathOf("state.txt"), ""},
      {"state.txt", ""},  // the current folder
      {PathOf("missing/state.txt"), "folder " + PathOf("missing") + " does not exist"},
      {Dir.string(), Dir.string() + " is a folder"},
      {PathOf("plain/state.txt"), PathOf("plain") + " is not a folder"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_EQ(CheckStatePath(c.Path, &error), c.Error.empty()) << c.Path;
    EXPECT_EQ(error, c.Error) << c.Path;
  }
}

TEST_F(SimStateSave, AFailedSaveLeavesNoTemporaryFileAndTheOldFileWhole) {
  const std::string path = PathOf("state.txt");
  TSimState s;
  std::string error;
  ASSERT_TRUE(SaveStateFile(s, path, &error)) << error;
  const std::string saved = Read(path);
  EXPECT_EQ(saved.substr(saved.size() - 4), "end\n");
  EXPECT_FALSE(fs::exists(path + ".tmp"));

  s.Closure = 5;
  {
    TFileSizeLimit limit(100);  // the text is longer
    EXPECT_FALSE(SaveStateFile(s, path, &error));
  }
  EXPECT_EQ(error, "cannot write " + path + ".tmp: File too large");
  EXPECT_FALSE(fs::exists(path + ".tmp"));
  EXPECT_EQ(Read(path), saved);

  const std::string folder = PathOf("folder");
  fs::create_directory(folder);
  EXPECT_FALSE(SaveStateFile(s, folder, &error));
  EXPECT_EQ(error, "cannot replace " + folder + ": Is a directory");
  EXPECT_FALSE(fs::exists(folder + ".tmp"));
}

TEST_F(SimStateSave, DeviceReportsAFailedSaveOnceWhileItKeepsFailing) {
  const std::string path = PathOf("state.txt");
  std::vector<std::string> reports;
  TSimDevice dev;
  dev.SetSaveFailureReport([&](const std::string& why) { reports.push_back(why); });
  dev.SetStateFile(path);
  ASSERT_TRUE(fs::exists(path));

  fs::remove(path);
  fs::create_directory(path);  // the file cannot be replaced now
  dev.Execute(0x46, "1.00");
  dev.Execute(0x46, "2.00");
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], "state not saved: cannot replace " + path + ": Is a directory");

  fs::remove(path);
  dev.Execute(0x46, "3.00");
  TSimDevice other;
  ASSERT_TRUE(other.LoadState(path));
  EXPECT_EQ(other.CashSum(), 600);

  fs::remove(path);
  fs::create_directory(path);
  dev.Execute(0x46, "4.00");
  EXPECT_EQ(reports.size(), 2u);  // failing again after a save is news again
}
