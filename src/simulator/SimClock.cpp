#include "SimClock.h"

#include <ctime>

namespace sim {

namespace {

// Day count from 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

TCivil ToCivil(std::int64_t seconds) {
  std::int64_t days = seconds / 86400;
  std::int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  TCivil c;
  c.Day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  c.Month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  c.Year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (c.Month <= 2));
  c.Hour = static_cast<int>(rest / 3600);
  c.Minute = static_cast<int>(rest / 60 % 60);
  c.Second = static_cast<int>(rest % 60);
  return c;
}

std::optional<std::int64_t> FromCivil(const TCivil& c) {
  if (c.Month < 1 || c.Month > 12 || c.Day < 1 || c.Day > DaysInMonth(c.Year, c.Month)) {
    return std::nullopt;
  }
  if (c.Hour < 0 || c.Hour > 23 || c.Minute < 0 || c.Minute > 59 || c.Second < 0 || c.Second > 59) {
    return std::nullopt;
  }
  return DaysFromCivil(c.Year, static_cast<unsigned>(c.Month), static_cast<unsigned>(c.Day)) *
             86400 +
         c.Hour * 3600 + c.Minute * 60 + c.Second;
}

std::int64_t LocalWallClockNow() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  TCivil c{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
           local.tm_hour,        local.tm_min,     local.tm_sec > 59 ? 59 : local.tm_sec};
  return FromCivil(c).value_or(static_cast<std::int64_t>(now));
}

}  // namespace sim
