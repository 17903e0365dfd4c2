// The state file on disk: written so that a crash or a full disk leaves the
// previous file whole.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "SimStateFile.h"

namespace sim {

namespace {

namespace fs = std::filesystem;

std::string SystemText(int err) { return std::error_code(err, std::generic_category()).message(); }

bool Fail(std::string* error, const std::string& text) {
  if (error) *error = text;
  return false;
}

// 0 or the errno of the first failure.
int WriteAll(int fd, const std::string& text) {
  const char* p = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return ::fsync(fd) == 0 ? 0 : errno;
}

// Makes the rename itself last; a folder that cannot be synced is no failure.
void SyncFolder(const std::string& path) {
  fs::path folder = fs::path(path).parent_path();
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

}  // namespace

bool SaveStateFile(const TSimState& s, const std::string& path, std::string* error) {
  const std::string tmp = path + ".tmp";
  const std::string text = SerializeState(s);
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return Fail(error, "cannot create " + tmp + ": " + SystemText(errno));
  int err = WriteAll(fd, text);
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err != 0) {
    ::unlink(tmp.c_str());
    return Fail(error, "cannot write " + tmp + ": " + SystemText(err));
  }
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    err = errno;
    ::unlink(tmp.c_str());
    return Fail(error, "cannot replace " + path + ": " + SystemText(err));
  }
  SyncFolder(path);
  return true;
}

bool LoadStateFile(const std::string& path, TSimState& out, std::string* error,
                   std::string* warning) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return Fail(error, "cannot open " + path);
  std::ostringstream text;
  text << f.rdbuf();
  return ParseState(text.str(), out, error, warning);
}

bool CheckStatePath(const std::string& path, std::string* error) {
  std::error_code ec;
  if (path.empty()) return Fail(error, "no state file named");
  if (fs::is_directory(path, ec)) return Fail(error, path + " is a folder");
  fs::path folder = fs::path(path).parent_path();
  if (folder.empty()) folder = ".";
  if (!fs::exists(folder, ec)) return Fail(error, "folder " + folder.string() + " does not exist");
  if (!fs::is_directory(folder, ec)) return Fail(error, folder.string() + " is not a folder");
  return true;
}

}  // namespace sim
