#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

// Why a serial port may not open for this user, and the words that say so.
// The texts are the platform's part of the transport's "Failed open port" error.

// What the device node tells about who may open it.
struct TSerialNodeInfo {
  bool Exists = false;
  mode_t Mode = 0;
  uid_t OwnerUid = 0;
  gid_t OwnerGid = 0;
  std::string OwnerName;  // empty when the user database has none
  std::string GroupName;  // likewise
};

// The process asking: its effective user, name and groups (the supplementary
// ones as the login gave them, which a new group membership does not change).
struct TSerialUser {
  uid_t Uid = 0;
  gid_t Gid = 0;
  std::vector<gid_t> Groups;
  std::string Name;
};

// Whether the node's permission bits let `user` read and write it.
bool SerialNodePermits(const TSerialNodeInfo& node, const TSerialUser& user);

// The message of a failed open() of `path` with `err`; EACCES and EPERM name the
// port's group and the fix, EBUSY says another program has the port.
std::string SerialOpenErrorText(const std::string& path, int err, const TSerialNodeInfo& node,
                                const TSerialUser& user);
// The message when the port opened but another program holds its lock.
std::string SerialBusyText(const std::string& path);
// Short note for a port list: empty when the user may open the port.
std::string SerialAccessNote(const TSerialNodeInfo& node, const TSerialUser& user);

// The live values: stat() and the user database, the process's own ids.
TSerialNodeInfo InspectSerialNode(const std::string& path);
TSerialUser CurrentSerialUser();

// Takes the port for this program alone: flock(LOCK_EX | LOCK_NB), then TIOCEXCL
// so that programs that do not lock are refused too. 0 or the errno of the lock.
int LockSerialPort(int fd);
// Clears TIOCEXCL before the close: a pty keeps the flag while its master lives.
void UnlockSerialPort(int fd);
