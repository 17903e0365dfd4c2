#include "GeneralSettingsAnswer.h"

#include "BaseDeviceUnit.h"
#include "CommandSupport.h"
#include "ConstUnit.h"

namespace {

constexpr int kMinFields = 10;

// Character i (1-based) of the mask is "1"; characters past its end are "off".
void ApplyEnableMask(const std::string& mask, TGeneralPRNSettings& out) {
  for (int i = 1; i <= out.TaxEnabled.Count(); ++i) {
    out.TaxEnabled[i] = static_cast<std::size_t>(i) <= mask.size() && mask[i - 1] == '1';
  }
}

}  // namespace

void ParseGeneralPRNSettingsAnswer(const std::string& text, TGeneralPRNSettings& out,
                                   const TRegionalSettings& rs) {
  if (CountCommaFields(text) < kMinFields) throw ECmdException(Err::BadAnswer, "");
  std::string rest = text;
  std::string field;
  TBaseDevice::TakeCommaField(rest, field);
  out.Multiplier = ToInt32Or201(field, "[CaMultipliersh]");
  TBaseDevice::TakeCommaField(rest, field);
  out.Decimals = ToInt32Or201(field, "[Decimals]");
  TBaseDevice::TakeCommaField(rest, field);
  out.CurrencyName = field;
  std::string mask;
  TBaseDevice::TakeCommaField(rest, mask);
  for (int i = 1; i <= out.TaxVals.Count(); ++i) {
    TBaseDevice::TakeCommaField(rest, field);
    out.TaxVals[i] = ToFloatOr201(field, "[PRNSettings.TaxVals]", rs);
  }
  ApplyEnableMask(mask, out);
}
