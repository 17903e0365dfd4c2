#pragma once

#include <QString>

// How the console reaches the device; what the settings dialog edits.
struct TConnectionSettings {
  int PortNo = 1;
  QString BaudNo = QStringLiteral("115200");
  QString IPAddress;
  QString TCPPort;
  bool UseTCP = false;
  // A serial device path chosen on this system; when set it replaces "COM" + PortNo.
  QString PortPath;

  bool operator==(const TConnectionSettings&) const = default;
};

// Size in points of the log font at first start and after "Reset".
inline constexpr int kDefaultLogFontSize = 11;

// Everything the console keeps in its INI file.
struct TConsoleSettings {
  TConnectionSettings Connection;
  // Operator
  int OperatorNo = 1;
  QString OperatorPassword;
  int POSNo = 1;
  QString OperatorName;
  // Options
  bool ShowHex = false;
  bool ShowDetailed = false;
  bool ShowRaw = false;
  bool ShowStatus = false;
  int FontSize = kDefaultLogFontSize;
  QString FMIN = QStringLiteral("44999834");
  QString LastUNP = QStringLiteral("QZ999834-1234-1234567");

  bool operator==(const TConsoleSettings&) const = default;
};

// Placement of the main window, kept in a second INI file.
struct TWindowPlacement {
  int Flags = 0;
  int ShowCmd = 1;  // 1 normal, 2 minimised, 3 maximised
  int PixelsPerInch = 96;
  int MinMaxPos[4] = {-1, -1, -1, -1};
  int NormPos[4] = {0, 0, 0, 0};  // left, top, right, bottom
  int Splitter[2] = {0, 0};       // heights of the pages and of the log; 0: not stored

  bool operator==(const TWindowPlacement&) const = default;
};

// Where the console keeps its files; injectable so that tests never touch the user's.
struct TConsolePaths {
  QString IniPath;
  QString PlacementPath;
};
