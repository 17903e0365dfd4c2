#include "SerialPorts.h"

#include <QComboBox>
#include <QDir>
#include <QPalette>
#include <algorithm>
#include <tuple>

#include "SerialAccess.h"

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

QString SerialPortNote(const QString& path) {
  const std::string p = path.toStdString();
  return QString::fromStdString(SerialAccessNote(InspectSerialNode(p), CurrentSerialUser()));
}

void FillPortList(QComboBox* box, const QStringList& paths,
                  const std::function<QString(const QString&)>& noteOf) {
  box->addItem(QString());
  const QColor dim = box->palette().color(QPalette::Disabled, QPalette::Text);
  for (const QString& path : paths) {
    const QString note = noteOf(path);
    if (note.isEmpty()) {
      box->addItem(path, path);
      continue;
    }
    box->addItem(path + QStringLiteral(" (") + note + QLatin1Char(')'), path);
    const int i = box->count() - 1;
    box->setItemData(i, note, Qt::ToolTipRole);
    box->setItemData(i, dim, Qt::ForegroundRole);
  }
}

QString PortPathOf(const QComboBox* box) {
  const QString text = box->currentText().trimmed();
  const int i = box->findText(text, Qt::MatchExactly);
  const QVariant path = i >= 0 ? box->itemData(i) : QVariant();
  return path.isValid() ? path.toString() : text;
}
