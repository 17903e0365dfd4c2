#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Shared by the text and JSON output.

// "12.345678": microseconds as seconds, six decimals, no locale.
std::string TapSeconds(std::int64_t us);
// "1.234": microseconds as milliseconds, three decimals.
std::string TapMillis(std::int64_t us);
// Device bytes (CP1251) for a terminal, in UTF-8: control bytes, DEL and the
// byte that maps to a C1 control are written as \xNN, a backslash as \\, so no
// byte from the line can drive the terminal.
std::string TapPrintable(std::string_view cp1251);
