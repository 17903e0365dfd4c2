#pragma once

#include <QString>

#include "ConsoleSettings.h"
#include "FileReplace.h"

// The INI files of the console. Booleans are written as 1 and 0; keys that are
// missing or unreadable give the defaults; keys of others in the same file are kept.

// Reads the settings; a missing file gives every default.
TConsoleSettings LoadSettingsFile(const QString& path);
// Writes every key (the file is replaced only once the new one is complete).
bool SaveSettingsFile(const QString& path, const TConsoleSettings& settings, QString* error);

// Section "MAIN WINDOW". False when the file or the section is missing.
bool LoadPlacementFile(const QString& path, TWindowPlacement& placement);
bool SavePlacementFile(const QString& path, const TWindowPlacement& placement, QString* error);

// Where the settings INI lives: <user configuration folder>/fprtest/fprtest.ini
// for a program installed in a system folder (/usr, /bin, /sbin, /opt, /snap),
// whatever lies beside it and even when (as for root) that folder is writable.
// Elsewhere (a build folder, a copied program) the program's path with ".ini"
// when such a file is there already or the folder is writable.
QString IniPathFor(const QString& programPath, const QString& configDir, bool iniBeside,
                   bool folderWritable);
// The same with the file system asked.
QString DefaultIniPath(const QString& programPath, const QString& configDir);
// <user configuration folder>/<program name>.INI, the profile store's own folder.
QString DefaultPlacementPath(const QString& programPath, const QString& configDir);
TConsolePaths DefaultConsolePaths();
