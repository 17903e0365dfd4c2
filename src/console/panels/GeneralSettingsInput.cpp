#include "GeneralSettingsInput.h"

#include <string>

#include "DeviceText.h"

namespace {

// -1 stands for "not a number", so that one check below 0 covers both.
std::int32_t IntOrMinusOne(const QString& text) {
  std::int32_t v = -1;
  return TryParseInt32(text.toStdString(), v) ? v : -1;
}

double RateOrMinusOne(const QString& text, const TRegionalSettings& rs) {
  double v = -1;
  return TryParseFloat(text.toStdString(), v, rs) ? v : -1;
}

}  // namespace

TGeneralPRNSettings SettingsFromTexts(const TGeneralSettingsTexts& in,
                                      const TRegionalSettings& rs) {
  TGeneralPRNSettings s;
  s.Multiplier = IntOrMinusOne(in.Multiplier);
  if (s.Multiplier < 0) throw EInputError("Invalid value for Multiplier");
  s.Decimals = IntOrMinusOne(in.Decimals);
  if (s.Decimals < 0) throw EInputError("Invalid value for Decimals");
  s.CurrencyName = ToDeviceText(TrimmedText(in.Currency), QStringLiteral("Currency"));
  for (int i = 1; i <= 8; ++i) {
    s.TaxEnabled[i] = in.TaxEnabled[static_cast<std::size_t>(i - 1)];
    s.TaxVals[i] = RateOrMinusOne(in.TaxVals[static_cast<std::size_t>(i - 1)], rs);
  }
  for (int i = 1; i <= 8; ++i) {
    if (s.TaxVals[i] < 0) {
      throw EInputError("Invalid value for : WatGrp[" + std::to_string(i) + "]");
    }
  }
  return s;
}

TGeneralSettingsTexts TextsFromSettings(const TGeneralPRNSettings& s, const TRegionalSettings& rs) {
  TGeneralSettingsTexts out;
  out.Multiplier = QString::fromStdString(IntToStr(s.Multiplier));
  out.Decimals = QString::fromStdString(IntToStr(s.Decimals));
  out.Currency = DevText(s.CurrencyName);
  for (int i = 1; i <= 8; ++i) {
    out.TaxVals[static_cast<std::size_t>(i - 1)] =
        QString::fromStdString(Format2(s.TaxVals[i], rs));
    out.TaxEnabled[static_cast<std::size_t>(i - 1)] = s.TaxEnabled[i];
  }
  return out;
}
