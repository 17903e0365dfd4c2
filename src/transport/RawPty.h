#pragma once

#include <string>

// A pty pair for a program that expects a serial port: the slave in raw mode
// and held open, so the master stays readable while no program has the port,
// and optionally a symbolic link to the slave.
struct TRawPty {
  int Master = -1;
  int Slave = -1;
  std::string Path;  // the slave's name
  std::string Link;  // "" when none was made
};

enum class ERawPtyStep { Master, Slave, Link };

// False with the step that failed and its errno; nothing is left open then
// (`Path` names the slave once the master is open).
// A stale symbolic link at `linkPath` is replaced, never a file.
bool OpenRawPty(const std::string& linkPath, TRawPty& pty, ERawPtyStep& failed, int& err);
// Closes both ends and removes the link.
void CloseRawPty(TRawPty& pty);
