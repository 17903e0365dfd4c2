#include "DeviceDates.h"

TDateTime DeviceDateTime(const QDate& date, const QTime& time) {
  if (!date.isValid()) return 0;
  TDateTimeParts p;
  p.Year = date.year();
  p.Month = date.month();
  p.Day = date.day();
  if (time.isValid()) {
    p.Hour = time.hour();
    p.Minute = time.minute();
    p.Second = time.second();
  }
  TDateTime out = 0;
  return TryEncodeDateTime(p, out) ? out : 0;
}

QDate DateOfDevice(TDateTime value) {
  const TDateTimeParts p = DecodeDateTime(value);
  return QDate(p.Year, p.Month, p.Day);
}

QTime TimeOfDevice(TDateTime value) {
  const TDateTimeParts p = DecodeDateTime(value);
  return QTime(p.Hour, p.Minute, p.Second);
}
