#pragma once

#include <string>
#include <vector>

// --help and --version of the console, answered before any window or display
// is needed (a manual page is made from --help on a machine without a desktop).
// True when one of them was given: `text` is then what to print, and the
// program ends with exit code 0. Other arguments are left to Qt.
bool AnswerCommandLine(const std::vector<std::string>& args, std::string& text);
