#include "ReceiptInput.h"

#include "Cp1251.h"
#include "DeviceText.h"

std::string ReceiptCountersText(std::int32_t allReceipt, std::int32_t fiscReceipt) {
  return "AllReceipt: " + IntToStr(allReceipt) + ", FiscReceipt: " + IntToStr(fiscReceipt) + " ";
}

std::string TextForLog(const QString& text) {
  std::string out;
  for (const QChar ch : text) {
    if (ch.isLowSurrogate()) continue;  // its pair shows as one '?'
    std::string one;
    const bool ok = !ch.isSurrogate() && Utf8ToCp1251(QString(ch).toStdString(), one);
    out += ok ? one : std::string("?");
  }
  return out;
}

char FirstDeviceChar(const QString& text, const QString& what) {
  if (text.isEmpty()) return 0;
  const qsizetype n = text.at(0).isHighSurrogate() ? 2 : 1;
  return ToDeviceText(text.left(n), what).at(0);
}

std::string SubtotalSumsText(const char* totalLabel, double subTotal, const char* groupLabel,
                             const TTaxValues& vatGrp, const TRegionalSettings& rs) {
  std::string text = totalLabel + Format2(subTotal, rs) + "\r";
  for (int n = 1; n <= vatGrp.Count(); ++n) {
    text += groupLabel + IntToStr(n) + "]=" + Format2(vatGrp[n], rs) + "\r";
  }
  return text;
}

std::string PaymentResultText(double amount2, char paidCode, const TRegionalSettings& rs) {
  return "Current sum: " + Format2(amount2, rs) + " PaidCode: " + std::string(1, paidCode);
}

namespace {

// One two-character field of the mask: one or two digits, blanks around.
bool MaskedField(const QString& field, int& value) {
  const QString digits = field.trimmed();
  if (digits.isEmpty()) return false;
  for (const QChar c : digits) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
  }
  value = digits.toInt();
  return true;
}

}  // namespace

bool ReadMaskedTime(const QString& shown, TDateTime& out) {
  if (shown.size() != 8) return false;
  int hour = 0, minute = 0, second = 0;
  if (!MaskedField(shown.mid(0, 2), hour) || !MaskedField(shown.mid(3, 2), minute) ||
      !MaskedField(shown.mid(6, 2), second)) {
    return false;
  }
  return TryEncodeTime(hour, minute, second, 0, out);
}
