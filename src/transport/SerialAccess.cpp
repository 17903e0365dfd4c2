#include "SerialAccess.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr mode_t kGroupRW = S_IRGRP | S_IWGRP;

bool InGroup(const TSerialUser& user, gid_t gid) {
  return user.Gid == gid ||
         std::find(user.Groups.begin(), user.Groups.end(), gid) != user.Groups.end();
}

// A numeric id stands in for a name the user database does not know.
std::string GroupOf(const TSerialNodeInfo& node) {
  return node.GroupName.empty() ? std::to_string(node.OwnerGid) : node.GroupName;
}

std::string OwnerOf(const TSerialNodeInfo& node) {
  return node.OwnerName.empty() ? std::to_string(node.OwnerUid) : node.OwnerName;
}

std::string PermissionText(const std::string& path, int err, const TSerialNodeInfo& node,
                           const TSerialUser& user) {
  std::string text = path + ": " + std::strerror(err) + ".";
  if (!node.Exists) return text;
  if ((node.Mode & kGroupRW) == kGroupRW && !InGroup(user, node.OwnerGid)) {
    const std::string group = GroupOf(node);
    text += " The port belongs to group \"" + group +
            "\": add the user to that group, then log in again (sudo usermod -aG " + group + " " +
            (user.Name.empty() ? std::string("$USER") : user.Name) + ").";
  } else {
    text += " Only its owner \"" + OwnerOf(node) + "\" may open the port; ask the administrator.";
  }
  return text;
}

}  // namespace

bool SerialNodePermits(const TSerialNodeInfo& node, const TSerialUser& user) {
  if (user.Uid == 0) return true;
  constexpr mode_t kOwnerRW = S_IRUSR | S_IWUSR;
  constexpr mode_t kOtherRW = S_IROTH | S_IWOTH;
  if (user.Uid == node.OwnerUid) return (node.Mode & kOwnerRW) == kOwnerRW;
  if (InGroup(user, node.OwnerGid)) return (node.Mode & kGroupRW) == kGroupRW;
  return (node.Mode & kOtherRW) == kOtherRW;
}

std::string SerialOpenErrorText(const std::string& path, int err, const TSerialNodeInfo& node,
                                const TSerialUser& user) {
  if (err == EACCES || err == EPERM) return PermissionText(path, err, node, user);
  if (err == EBUSY) return SerialBusyText(path);
  return path + ": " + std::strerror(err);
}

std::string SerialBusyText(const std::string& path) {
  return path + ": " + std::strerror(EBUSY) +
         ". Another program has the port open; close it there, then try again.";
}

std::string SerialAccessNote(const TSerialNodeInfo& node, const TSerialUser& user) {
  if (!node.Exists || SerialNodePermits(node, user)) return {};
  if ((node.Mode & kGroupRW) == kGroupRW) {
    return "no access: add the user to group " + GroupOf(node) + ", then log in again";
  }
  return "no access: only " + OwnerOf(node) + " may open it";
}

TSerialNodeInfo InspectSerialNode(const std::string& path) {
  TSerialNodeInfo info;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return info;
  info.Exists = true;
  info.Mode = st.st_mode;
  info.OwnerUid = st.st_uid;
  info.OwnerGid = st.st_gid;
  if (const passwd* pw = ::getpwuid(st.st_uid)) info.OwnerName = pw->pw_name;
  if (const group* gr = ::getgrgid(st.st_gid)) info.GroupName = gr->gr_name;
  return info;
}

TSerialUser CurrentSerialUser() {
  TSerialUser user;
  user.Uid = ::geteuid();
  user.Gid = ::getegid();
  const int count = ::getgroups(0, nullptr);
  if (count > 0) {
    user.Groups.resize(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, user.Groups.data());
    user.Groups.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  }
  if (const passwd* pw = ::getpwuid(user.Uid)) user.Name = pw->pw_name;
  return user;
}

int LockSerialPort(int fd) {
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EINTR) return errno;
  }
  // Not every file takes TIOCEXCL (a plain file in a test); the lock above is what counts.
  ::ioctl(fd, TIOCEXCL);
  return 0;
}

void UnlockSerialPort(int fd) { ::ioctl(fd, TIOCNXCL); }
