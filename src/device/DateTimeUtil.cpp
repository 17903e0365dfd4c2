#include "DateTimeUtil.h"

#include <cmath>
#include <cstdint>

namespace {
constexpr std::int64_t kMsPerDay = 86400000;

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

// 1899-12-30 is day 0.
const std::int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);

std::string Two(int v) {
  std::string s = std::to_string(v % 100);
  return s.size() < 2 ? "0" + s : s;
}

std::string Four(int v) {
  std::string s = std::to_string(v);
  while (s.size() < 4) s.insert(s.begin(), '0');
  return s;
}

std::string TimeHM(const TDateTimeParts& p, char sep) { return Two(p.Hour) + sep + Two(p.Minute); }
}  // namespace

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
  if (year < 1 || year > 9999 || month < 1 || month > 12) return false;
  if (day < 1 || day > DaysInMonth(year, month)) return false;
  out = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month),
                                          static_cast<unsigned>(day)) -
                            kEpochOffset);
  return true;
}

bool TryEncodeTime(int hour, int minute, int second, int ms, TDateTime& out) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || ms < 0 ||
      ms > 999)
    return false;
  out = ((hour * 3600.0 + minute * 60.0 + second) * 1000.0 + ms) / kMsPerDay;
  return true;
}

bool TryEncodeDateTime(const TDateTimeParts& p, TDateTime& out) {
  TDateTime date = 0, time = 0;
  if (!TryEncodeDate(p.Year, p.Month, p.Day, date)) return false;
  if (!TryEncodeTime(p.Hour, p.Minute, p.Second, p.MilliSecond, time)) return false;
  // Before day 0 the time of day counts away from zero, as the date value does.
  out = date >= 0 ? date + time : date - time;
  return true;
}

TDateTimeParts DecodeDateTime(TDateTime value) {
  TDateTimeParts p;
  // Outside the years 1..9999 there is no calendar date; such values decode as day 0.
  if (!std::isfinite(value) || value < -693593.0 || value > 2958466.0) value = 0;
  double days = std::trunc(value);
  std::int64_t ms = std::llround(std::fabs(value - days) * kMsPerDay);
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    days += value >= 0 ? 1 : -1;
  }
  CivilFromDays(static_cast<std::int64_t>(days) + kEpochOffset, p.Year, p.Month, p.Day);
  p.Hour = static_cast<int>(ms / 3600000);
  p.Minute = static_cast<int>(ms / 60000 % 60);
  p.Second = static_cast<int>(ms / 1000 % 60);
  p.MilliSecond = static_cast<int>(ms % 1000);
  return p;
}

std::string FormatDateDots(TDateTime value) {
  const auto p = DecodeDateTime(value);
  return Two(p.Day) + "." + Two(p.Month) + "." + Four(p.Year);
}

std::string FormatDateTimeLong(TDateTime value, const TRegionalSettings& rs) {
  const auto p = DecodeDateTime(value);
  return FormatDateDots(value) + " " + TimeHM(p, rs.TimeSeparator) + rs.TimeSeparator +
         Two(p.Second);
}

std::string FormatDateCompact(TDateTime value) {
  const auto p = DecodeDateTime(value);
  return Two(p.Day) + Two(p.Month) + Two(p.Year);
}

std::string FormatDateTimeShort(TDateTime value, const TRegionalSettings& rs) {
  const auto p = DecodeDateTime(value);
  return Two(p.Day) + "-" + Two(p.Month) + "-" + Two(p.Year) + " " + TimeHM(p, rs.TimeSeparator);
}

std::string FormatDateTimeIso(TDateTime value, const TRegionalSettings& rs) {
  const auto p = DecodeDateTime(value);
  return Four(p.Year) + "-" + Two(p.Month) + "-" + Two(p.Day) + "T" + TimeHM(p, rs.TimeSeparator) +
         rs.TimeSeparator + Two(p.Second);
}
