#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QComboBox;

// Serial devices present under `devRoot`: ttyS*, ttyUSB*, ttyACM* and the
// stable names in serial/by-id, each group sorted naturally.
QStringList ListSerialDevices(const QString& devRoot = QStringLiteral("/dev"));

// Why the user may not open `path`; empty when it may (SerialAccessNote).
QString SerialPortNote(const QString& path);

// Puts the ports into the list after an empty first item; a port with a note is
// shown as "path (note)" in the disabled text colour, with the note as its hint.
void FillPortList(QComboBox* box, const QStringList& paths,
                  const std::function<QString(const QString&)>& noteOf = SerialPortNote);
// The path the list's text stands for: a listed port's own path, or the text as typed.
QString PortPathOf(const QComboBox* box);
