#pragma once

#include <QString>
#include <array>

#include "InfoRecords.h"
#include "RegionalSettings.h"

// The "Decimal, currency, TAX groups " group as texts: what the operator typed
// and what a read shows.
struct TGeneralSettingsTexts {
  QString Multiplier;
  QString Decimals;
  QString Currency;
  std::array<QString, 8> TaxVals;  // groups 1..8
  std::array<bool, 8> TaxEnabled{};
};

// The record to send. Raises EInputError with the first failing check:
// multiplier, decimals, a currency text without CP1251 bytes, then the rates
// in group order.
TGeneralPRNSettings SettingsFromTexts(const TGeneralSettingsTexts& in, const TRegionalSettings& rs);

// What the group shows for a record read from the device.
TGeneralSettingsTexts TextsFromSettings(const TGeneralPRNSettings& s, const TRegionalSettings& rs);
