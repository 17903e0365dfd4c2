#pragma once

#include <QString>
#include <cstdint>
#include <string>

#include "DateTimeUtil.h"
#include "InfoRecords.h"
#include "RegionalSettings.h"

// Values typed on the receipt pages and the texts their results are shown in.

// The two counters that opening and closing a receipt hand back, as the log
// shows them (with the trailing blank).
std::string ReceiptCountersText(std::int32_t allReceipt, std::int32_t fiscReceipt);

// A typed text inside a log message; characters without a CP1251 byte show as '?'.
std::string TextForLog(const QString& text);

// The first character of a typed text as one CP1251 byte, 0 for an empty text.
char FirstDeviceChar(const QString& text, const QString& what);

// The subtotal and the eight VAT group sums as "0.00", each after its label and
// followed by CR: totalLabel 12.34 CR, groupLabel 1 "]=" 1.00 CR, ... groupLabel 8 ...
std::string SubtotalSumsText(const char* totalLabel, double subTotal, const char* groupLabel,
                             const TTaxValues& vatGrp, const TRegionalSettings& rs);

// What a payment hands back: "Current sum: 123.45 PaidCode: D".
std::string PaymentResultText(double amount2, char paidCode, const TRegionalSettings& rs);

// The time shown by a "hh:nn:ss" masked edit, blanks where nothing was typed;
// false when it is not a time of day.
bool ReadMaskedTime(const QString& shown, TDateTime& out);
