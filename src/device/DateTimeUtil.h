#pragma once

#include <string>

#include "RegionalSettings.h"

// Date-time as a day count since 1899-12-30; the fraction is the time of day.
using TDateTime = double;

struct TDateTimeParts {
  int Year = 0, Month = 0, Day = 0;
  int Hour = 0, Minute = 0, Second = 0, MilliSecond = 0;
};

// False for a combination that is not a calendar date or a time of day.
bool TryEncodeDateTime(const TDateTimeParts& parts, TDateTime& out);
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
bool TryEncodeTime(int hour, int minute, int second, int ms, TDateTime& out);
TDateTimeParts DecodeDateTime(TDateTime value);

// "dd.mm.yyyy hh:nn:ss" with the regional time separator.
std::string FormatDateTimeLong(TDateTime value, const TRegionalSettings& rs);
// "dd.mm.yyyy"
std::string FormatDateDots(TDateTime value);
// "ddmmyy"
std::string FormatDateCompact(TDateTime value);
// "dd-mm-yy hh:nn" with the regional time separator.
std::string FormatDateTimeShort(TDateTime value, const TRegionalSettings& rs);
// "yyyy-mm-ddThh:nn:ss" with the regional time separator.
std::string FormatDateTimeIso(TDateTime value, const TRegionalSettings& rs);
