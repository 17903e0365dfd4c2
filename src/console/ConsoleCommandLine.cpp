#include "ConsoleCommandLine.h"

#ifndef FPR_VERSION
#define FPR_VERSION ""
#endif

namespace {

constexpr const char* kHelp =
    "Usage: fprtest [--help] [--version] [Qt options]\n"
    "Test console for VELMORA fiscal printers and cash registers: sends the device's\n"
    "commands one at a time, runs test receipts and shows every frame of the exchange.\n"
    "\n"
    "Options:\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n"
    "Qt's own options are taken as well, e.g. -platform offscreen or -style Fusion.\n"
    "\n"
    "Files:\n"
    "  ~/.config/fprtest/fprtest.ini  the settings ($XDG_CONFIG_HOME when set); a\n"
    "                                 program outside /usr, /bin, /sbin, /opt and /snap\n"
    "                                 keeps them beside itself, as fprtest.ini, when\n"
    "                                 that file is there or its folder is writable\n"
    "  ~/.config/fprtest.INI          the window's placement\n"
    "\n"
    "Serial ports:\n"
    "  A port the user may not open is reported with its group; add the user to\n"
    "  that group (usually dialout), then log in again.\n";

}  // namespace

bool AnswerCommandLine(const std::vector<std::string>& args, std::string& text) {
  for (const std::string& a : args) {
    if (a == "--") break;
    if (a == "--help" || a == "-h") {
      text = kHelp;
      return true;
    }
    if (a == "--version") {
      text = std::string("fprtest ") + FPR_VERSION + "\n";
      return true;
    }
  }
  return false;
}
