#include "RawPty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace {

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

bool Failed(ERawPtyStep step, ERawPtyStep& failed, int& err, int& master, int& slave) {
  failed = step;
  err = errno;
  CloseFd(master);
  CloseFd(slave);
  return false;
}

}  // namespace

bool OpenRawPty(const std::string& linkPath, TRawPty& pty, ERawPtyStep& failed, int& err) {
  int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  int slave = -1;
  char name[256] = {};
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
      ::ptsname_r(master, name, sizeof name) != 0) {
    return Failed(ERawPtyStep::Master, failed, err, master, slave);
  }
  pty.Path = name;  // named in a failure of the steps after this one
  slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios tio{};
  if (slave < 0 || ::tcgetattr(slave, &tio) != 0) {
    return Failed(ERawPtyStep::Slave, failed, err, master, slave);
  }
  ::cfmakeraw(&tio);
  ::tcsetattr(slave, TCSANOW, &tio);
  if (!linkPath.empty()) {
    struct stat st {};
    if (::lstat(linkPath.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) ::unlink(linkPath.c_str());
    if (::symlink(name, linkPath.c_str()) != 0) {
      return Failed(ERawPtyStep::Link, failed, err, master, slave);
    }
  }
  pty.Master = master;
  pty.Slave = slave;
  pty.Link = linkPath;
  return true;
}

void CloseRawPty(TRawPty& pty) {
  CloseFd(pty.Master);
  CloseFd(pty.Slave);
  if (!pty.Link.empty()) ::unlink(pty.Link.c_str());
  pty.Link.clear();
}
