#pragma once

#include <cstdint>
#include <optional>

// Civil date and time of the simulated device, counted as seconds since
// 1970-01-01 00:00 of the device's own wall clock (no time zones inside).

namespace sim {

struct TCivil {
  int Year = 1970, Month = 1, Day = 1;
  int Hour = 0, Minute = 0, Second = 0;
};

TCivil ToCivil(std::int64_t seconds);
// Empty for a combination that is not a calendar date or a time of day.
std::optional<std::int64_t> FromCivil(const TCivil& c);

// Seconds of the host's local wall clock now.
std::int64_t LocalWallClockNow();

}  // namespace sim
