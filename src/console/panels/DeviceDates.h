#pragma once

#include <QDate>
#include <QTime>

#include "DateTimeUtil.h"

// The panels' dates and times as the device library's date-time values and back.

// The date plus the time of day (seconds, no milliseconds); 0 for a date that
// is not valid, as an empty date box reads.
TDateTime DeviceDateTime(const QDate& date, const QTime& time);
QDate DateOfDevice(TDateTime value);
QTime TimeOfDevice(TDateTime value);
