// Why a serial port does not open: its permissions, or another program holding it.
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

TSerialNodeInfo Node(mode_t mode, uid_t uid = 0, const char* group = "dialout") {
  return {true, S_IFCHR | mode, uid, 20, uid == 0 ? "root" : "", group};
}

TEST(SerialAccess, PermissionBitsAndTextsForEachKindOfUser) {
  const TSerialUser alice{1000, 1000, {}, "alice"};
  const struct {
    TSerialNodeInfo node;
    TSerialUser user;
    bool permits;
  } cases[] = {
      {Node(0000), {0, 0, {}, "root"}, true},     {Node(0660), alice, false},
      {Node(0660), {1000, 1000, {20}, ""}, true}, {Node(0640), {1000, 20, {}, ""}, false},
      {Node(0466, 1000), alice, false},           {Node(0666), alice, true},
  };
  for (const auto& c : cases) EXPECT_EQ(SerialNodePermits(c.node, c.user), c.permits);

  const std::string busy =
      "/dev/ttyUSB0: Device or resource busy. Another program has the port "
      "open; close it there, then try again.";
  EXPECT_EQ(SerialOpenErrorText("/dev/ttyUSB0", EACCES, Node(0660), alice),
            "/dev/ttyUSB0: Permission denied. The port belongs to group \"dialout\": add the "
            "user to that group, then log in again (sudo usermod -aG dialout alice).");
  EXPECT_EQ(SerialOpenErrorText("/dev/ttyUSB0", EPERM, Node(0600, 7, ""), alice),
            "/dev/ttyUSB0: Operation not permitted. Only its owner \"7\" may open the port; ask "
            "the administrator.");
  EXPECT_EQ(SerialOpenErrorText("/dev/ttyUSB0", EBUSY, Node(0660), alice),
            SerialBusyText("/dev/ttyUSB0"));
  EXPECT_EQ(SerialOpenErrorText("/dev/ttyUSB0", ENOENT, {}, alice),
            "/dev/ttyUSB0: No such file or directory");
  EXPECT_EQ(SerialAccessNote(Node(0660, 0, ""), alice),
            "no access: add the user to group 20, then log in again");
  EXPECT_EQ(SerialAccessNote(Node(0600), alice), "no access: only root may open it");
  EXPECT_EQ(SerialAccessNote(Node(0666), alice), "");
}

struct TPty {
  TPty() { ::openpty(&Master, &Slave, Name, nullptr, nullptr); }
  ~TPty() { ::close(Slave), ::close(Master); }
  int Master = -1, Slave = -1;
  char Name[128] = {};
};

TEST(SerialAccess, SecondOpenOfALockedPortSaysItIsBusyUntilTheFirstCloses) {
  TPty pty;
  TPosixSerialPort first;
  first.Open(pty.Name, 9600);
  TRS32Device second;
  second.SetPortName(pty.Name);
  EXPECT_FALSE(second.Connect());
  EXPECT_EQ(second.LastErrorCode, 102);
  const std::string path = pty.Name;
  EXPECT_EQ(second.LastErrorText, "Failed open port " + path + "/9600 " + path +
                                      ": Device or resource busy. Another program has the port "
                                      "open; close it there, then try again.");
  first.Close();
  EXPECT_TRUE(second.Connect()) << second.LastErrorText;
}

// Root opens any node: the refusal is seen by a child that becomes nobody.
// Returns "opened", or the code and text of Connect().
std::string ConnectAsNobody(const std::string& path) {
  int out[2];
  if (::pipe(out) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
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

TEST(SerialAccess, UserOutsideThePortsGroupIsToldToJoinIt) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to change users";
  TPty pty;
  const group* dialout = ::getgrnam("dialout");
  ASSERT_EQ(::chown(pty.Name, 0, dialout ? dialout->gr_gid : 20), 0);
  ASSERT_EQ(::chmod(pty.Name, 0660), 0);
  const std::string group = dialout ? "dialout" : "20", path = pty.Name;
  const std::string text = ConnectAsNobody(path);
  if (text == "cannot drop root") GTEST_SKIP() << text;
  EXPECT_EQ(text, "102 Failed open port " + path + "/9600 " + path +
                      ": Permission denied. The port belongs to group \"" + group +
                      "\": add the user to that group, then log in again (sudo usermod -aG " +
                      group + " nobody).");
}

// The exclusive flag would otherwise stay on the pty and refuse every later user.
TEST(SerialAccess, ClosedPortOpensAgainForAnotherUser) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to change users";
  TPty pty;
  ASSERT_EQ(::chmod(pty.Name, 0666), 0);
  TPosixSerialPort port;
  port.Open(pty.Name, 9600);
  port.Close();
  const std::string text = ConnectAsNobody(pty.Name);
  if (text == "cannot drop root") GTEST_SKIP() << text;
  EXPECT_EQ(text, "opened");
}

}  // namespace
