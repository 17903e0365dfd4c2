// Why a serial port does not open: permissions, a port that another program
// holds, and the texts that say so.
#include <fcntl.h>
#include <grp.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "RS232DeviceUnit.h"
#include "SerialAccess.h"
#include "SerialPort.h"

namespace {

TSerialNodeInfo Node(mode_t mode, uid_t uid, gid_t gid, const char* group = "dialout") {
  TSerialNodeInfo n;
  n.Exists = true;
  n.Mode = S_IFCHR | mode;
  n.OwnerUid = uid;
  n.OwnerGid = gid;
  n.OwnerName = uid == 0 ? "root" : "";
  n.GroupName = group;
  return n;
}

TSerialUser User(uid_t uid, gid_t gid, std::vector<gid_t> groups = {}) {
  return {uid, gid, std::move(groups), "alice"};
}

TEST(SerialAccess, PermissionBitsDecideForEachKindOfUser) {
  const struct {
    const char* name;
    TSerialNodeInfo node;
    TSerialUser user;
    bool permits;
  } cases[] = {
      {"root always", Node(0000, 0, 0), User(0, 0), true},
      {"not in the group", Node(0660, 0, 20), User(1000, 1000), false},
      {"group by supplementary id", Node(0660, 0, 20), User(1000, 1000, {20}), true},
      {"group as primary id", Node(0660, 0, 20), User(1000, 20), true},
      {"group may only read", Node(0640, 0, 20), User(1000, 1000, {20}), false},
      {"owner", Node(0600, 1000, 20), User(1000, 1000), true},
      {"owner without write", Node(0466, 1000, 20), User(1000, 1000), false},
      {"others", Node(0666, 0, 20), User(1000, 1000), true},
  };
  for (const auto& c : cases) EXPECT_EQ(SerialNodePermits(c.node, c.user), c.permits) << c.name;
}

TEST(SerialAccess, OpenErrorTextsNameTheCauseAndTheFix) {
  const struct {
    int err;
    TSerialNodeInfo node;
    const char* text;
  } cases[] = {
      {EACCES, Node(0660, 0, 20),
       "/dev/ttyUSB0: Permission denied. The port belongs to group \"dialout\": add the user to "
       "that group, then log in again (sudo usermod -aG dialout alice)."},
      {EACCES, Node(0660, 0, 4321, ""),
       "/dev/ttyUSB0: Permission denied. The port belongs to group \"4321\": add the user to "
       "that group, then log in again (sudo usermod -aG 4321 alice)."},
      {EACCES, Node(0600, 0, 20),
       "/dev/ttyUSB0: Permission denied. Only its owner \"root\" may open the port; ask the "
       "administrator."},
      {EPERM, Node(0600, 7, 20),
       "/dev/ttyUSB0: Operation not permitted. Only its owner \"7\" may open the port; ask the "
       "administrator."},
      {EBUSY, Node(0660, 0, 20),
       "/dev/ttyUSB0: Device or resource busy. Another program has the port open; close it "
       "there, then try again."},
      {ENOENT, TSerialNodeInfo{}, "/dev/ttyUSB0: No such file or directory"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SerialOpenErrorText("/dev/ttyUSB0", c.err, c.node, User(1000, 1000)), c.text);
  }
}

TEST(SerialAccess, PortListNotesOnlyPortsTheUserCannotOpen) {
  EXPECT_EQ(SerialAccessNote(Node(0660, 0, 20), User(1000, 1000, {20})), "");
  EXPECT_EQ(SerialAccessNote(TSerialNodeInfo{}, User(1000, 1000)), "");
  EXPECT_EQ(SerialAccessNote(Node(0660, 0, 20), User(1000, 1000)),
            "no access: add the user to group dialout, then log in again");
  EXPECT_EQ(SerialAccessNote(Node(0600, 0, 20), User(1000, 1000)),
            "no access: only root may open it");
}

struct TPty {
  TPty() {
    char name[128] = {};
    if (::openpty(&Master, &Slave, name, nullptr, nullptr) == 0) Path = name;
  }
  ~TPty() {
    if (Slave >= 0) ::close(Slave);
    if (Master >= 0) ::close(Master);
  }
  int Master = -1;
  int Slave = -1;
  std::string Path;
};

TEST(SerialAccess, SecondOpenOfALockedPortSaysItIsBusyAndTheFirstLockEndsWithClose) {
  TPty pty;
  ASSERT_FALSE(pty.Path.empty());
  TPosixSerialPort first;
  first.Open(pty.Path, 9600);

  TRS32Device second;
  second.SetPortName(pty.Path);
  EXPECT_FALSE(second.Connect());
  EXPECT_EQ(second.LastErrorCode, 102);
  EXPECT_EQ(second.LastErrorText, "Failed open port " + pty.Path + "/9600 " + pty.Path +
                                      ": Device or resource busy. Another program has the port "
                                      "open; close it there, then try again.");

  first.Close();
  EXPECT_TRUE(second.Connect()) << second.LastErrorText;
}

// Connect() of a child that gave up root for nobody: "opened", or the code and text.
std::string ConnectAsNobody(const std::string& path) {
  int out[2];
  if (::pipe(out) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(out[0]);
    std::string text = "cannot drop root";
    if (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0) {
      TRS32Device dev;
      dev.SetPortName(path);
      text = dev.Connect() ? "opened" : std::to_string(dev.LastErrorCode) + " " + dev.LastErrorText;
    }
    (void)!::write(out[1], text.data(), text.size());
    ::_exit(0);
  }
  ::close(out[1]);
  std::string text;
  char buf[512];
  for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;) text.append(buf, n);
  ::close(out[0]);
  if (child > 0) ::waitpid(child, nullptr, 0);
  return text;
}

// Root opens any node, so the refusal is seen by a child that gives up root.
TEST(SerialAccess, UserOutsideThePortsGroupIsToldToJoinIt) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to change users";
  TPty pty;
  ASSERT_FALSE(pty.Path.empty());
  const group* dialout = ::getgrnam("dialout");
  const gid_t gid = dialout ? dialout->gr_gid : 20;
  ASSERT_EQ(::chown(pty.Path.c_str(), 0, gid), 0);
  ASSERT_EQ(::chmod(pty.Path.c_str(), 0660), 0);
  const std::string group = dialout ? "dialout" : "20";

  const std::string text = ConnectAsNobody(pty.Path);
  if (text == "cannot drop root") GTEST_SKIP() << text;
  const std::string head = "102 Failed open port " + pty.Path + "/9600 " + pty.Path +
                           ": Permission denied. The port belongs to group \"" + group +
                           "\": add the user to that group, then log in again (sudo usermod -aG " +
                           group + " ";
  EXPECT_EQ(text.substr(0, head.size()), head) << text;
}

// The exclusive flag would otherwise stay on the pty and refuse every later user.
TEST(SerialAccess, ClosedPortOpensAgainForAnotherUser) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to change users";
  TPty pty;
  ASSERT_FALSE(pty.Path.empty());
  ASSERT_EQ(::chmod(pty.Path.c_str(), 0666), 0);
  TPosixSerialPort port;
  port.Open(pty.Path, 9600);
  port.Close();
  const std::string text = ConnectAsNobody(pty.Path);
  if (text == "cannot drop root") GTEST_SKIP() << text;
  EXPECT_EQ(text, "opened");
}

}  // namespace
