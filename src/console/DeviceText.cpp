#include "DeviceText.h"

#include <QList>

#include "Cp1251.h"
#include "RegionalSettings.h"

QString DevText(std::string_view cp1251) {
  const std::string utf8 = Cp1251ToUtf8(cp1251);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

namespace {

// CP1251 byte of one character (a surrogate pair counts as one); false when none.
bool EncodeOne(const QString& ch, std::string& out) {
  out.clear();
  return Utf8ToCp1251(ch.toStdString(), out) && out.size() == 1;
}

QString CodePointName(const QString& ch) {
  const char32_t cp = ch.toUcs4().value(0);
  return QStringLiteral("U+%1").arg(static_cast<uint>(cp), 4, 16, QLatin1Char('0')).toUpper();
}

// Splits into characters, keeping surrogate pairs together.
template <typename F>
void ForEachChar(const QString& text, F&& f) {
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    f(text.mid(i, n), i);
    i += n;
  }
}

}  // namespace

std::string ToDeviceText(const QString& text, const QString& what) {
  std::string out;
  if (Utf8ToCp1251(text.toStdString(), out)) return out;
  QString bad;
  qsizetype where = 0;
  std::string one;
  ForEachChar(text, [&](const QString& ch, qsizetype pos) {
    if (bad.isEmpty() && !EncodeOne(ch, one)) {
      bad = ch;
      where = pos;
    }
  });
  const QString msg = QStringLiteral(
                          "%1: the character %2 at position %3 has no code page 1251 byte; "
                          "nothing was sent.")
                          .arg(what, CodePointName(bad))
                          .arg(where + 1);
  throw EInputError(msg.toStdString());
}

double ReadTypedNumber(const QString& text, const TRegionalSettings& rs, const char* error) {
  double value = 0;
  if (!TryParseFloat(text.toStdString(), value, rs)) throw EInputError(error);
  return value;
}

QString HexOfText(const QString& text) {
  QString hex;
  std::string one;
  ForEachChar(text, [&](const QString& ch, qsizetype) {
    if (EncodeOne(ch, one)) {
      hex += QStringLiteral("%1")
                 .arg(static_cast<unsigned char>(one[0]), 2, 16, QLatin1Char('0'))
                 .toUpper();
    } else {
      hex += QLatin1Char('<') + CodePointName(ch) + QLatin1Char('>');
    }
  });
  return hex;
}

bool ReadHexCode(const QString& text, std::uint32_t& value) {
  if (text.isEmpty()) return false;
  return TryParseHex(text.toStdString(), value);
}

QString CharOfCode(std::uint8_t code) {
  const char c = static_cast<char>(code);
  return DevText(std::string_view(&c, 1));
}

QString TrimmedText(const QString& text) {
  qsizetype start = 0;
  qsizetype end = text.size();
  while (start < end && text.at(start).unicode() <= 0x20) ++start;
  while (end > start && text.at(end - 1).unicode() <= 0x20) --end;
  return text.mid(start, end - start);
}
