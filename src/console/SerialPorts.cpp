#include "SerialPorts.h"

#include <QDir>
#include <algorithm>
#include <tuple>

namespace {

// ttyS2 before ttyS10: the name without its trailing digits, then their value.
bool NaturalLess(const QString& a, const QString& b) {
  const auto key = [](const QString& s) {
    qsizetype i = s.size();
    while (i > 0 && s.at(i - 1).isDigit()) --i;
    return std::make_tuple(s.left(i), s.mid(i).toULongLong(), s);
  };
  return key(a) < key(b);
}

QStringList Entries(const QString& dir, const QStringList& patterns) {
  QDir d(dir);
  QStringList names = d.entryList(patterns, QDir::System | QDir::Files | QDir::NoDotAndDotDot);
  std::sort(names.begin(), names.end(), NaturalLess);
  QStringList paths;
  for (const QString& n : names) paths << d.absoluteFilePath(n);
  return paths;
}

}  // namespace

QStringList ListSerialDevices(const QString& devRoot) {
  QStringList out;
  out << Entries(devRoot + QStringLiteral("/serial/by-id"), {QStringLiteral("*")});
  out << Entries(devRoot, {QStringLiteral("ttyUSB*")});
  out << Entries(devRoot, {QStringLiteral("ttyACM*")});
  out << Entries(devRoot, {QStringLiteral("ttyS*")});
  return out;
}
