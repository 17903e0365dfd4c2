#include "LogTextAttributes.h"

#include <QMap>

#include "ResultBlock.h"

namespace {

QString Rgb(const QColor& c) {
  return QStringLiteral("rgb(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

// A family name is quoted; the separators of the list are escaped inside it.
QString QuotedFamily(QString family) {
  family.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
  family.replace(QLatin1Char(':'), QLatin1String("\\:"));
  family.replace(QLatin1Char(';'), QLatin1String("\\;"));
  family.replace(QLatin1Char(','), QLatin1String("\\,"));
  family.replace(QLatin1Char('"'), QLatin1String("\\\""));
  return QLatin1Char('"') + family + QLatin1Char('"');
}

}  // namespace

QString LogTextAttributes(const QFont& font, unsigned style, const QColor& colour) {
  QMap<QString, QString> attrs;
  const QString family = font.families().value(0, font.family());
  if (!family.isEmpty()) attrs[QStringLiteral("font-family")] = QuotedFamily(family);
  if (font.pointSize() > 0) {
    attrs[QStringLiteral("font-size")] = QStringLiteral("%1pt").arg(font.pointSize());
  }
  attrs[QStringLiteral("font-weight")] =
      style & lsBold ? QStringLiteral("bold") : QStringLiteral("normal");
  attrs[QStringLiteral("font-style")] =
      style & lsItalic ? QStringLiteral("italic") : QStringLiteral("normal");
  if (style & lsUnderline) {
    attrs[QStringLiteral("text-underline-style")] = QStringLiteral("solid");
    attrs[QStringLiteral("text-underline-type")] = QStringLiteral("single");
  }
  attrs[QStringLiteral("color")] = Rgb(colour);
  QString out;
  for (auto it = attrs.cbegin(); it != attrs.cend(); ++it) {
    out += it.key() + QLatin1Char(':') + it.value() + QLatin1Char(';');
  }
  return out;
}
