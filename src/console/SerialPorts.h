#pragma once

#include <QString>
#include <QStringList>

// Serial devices present under `devRoot`: ttyS*, ttyUSB*, ttyACM* and the
// stable names in serial/by-id, each group sorted naturally.
QStringList ListSerialDevices(const QString& devRoot = QStringLiteral("/dev"));
