#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "ConsoleTestSupport.h"

// A new window without the settings an earlier test saved.
inline void Restart(TFormFixture& f) {
  QFile::remove(f.IniPath());
  f.Fresh();
}

// "CMD:data" of a request with every byte outside 20H..7EH as <XX>, so that
// TAB, LF and the VAT group letters can be compared in plain text.
inline QString Readable(const TScriptedDevice::TRequest& r) {
  QString out = QStringLiteral("%1:").arg(r.Cmd, 2, 16, QLatin1Char('0')).toUpper();
  for (std::uint8_t b : r.Data) {
    if (b >= 0x20 && b < 0x7F) {
      out += QLatin1Char(static_cast<char>(b));
    } else {
      out += QStringLiteral("<%1>").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    }
  }
  return out;
}

inline QStringList Readable(const std::vector<TScriptedDevice::TRequest>& requests) {
  QStringList out;
  for (const auto& r : requests) out << Readable(r);
  return out;
}

// A device of the simulator fixture that lets a test act just before a
// request goes out, e.g. to make the simulator refuse the third sale.
class THookedTcpDevice : public TRecordingTcpDevice {
 public:
  using TRecordingTcpDevice::TRecordingTcpDevice;
  std::function<void(std::uint8_t)> BeforeSend;
  bool SendCommand(std::uint8_t code, TDataBuffer& data, TDataBuffer& status) override {
    if (BeforeSend) BeforeSend(code);
    return TRecordingTcpDevice::SendCommand(code, data, status);
  }
};

// Starts the fixture's simulator with a device whose requests can be hooked.
inline THookedTcpDevice* UseHookedSimulator(TFormFixture& f) {
  f.UseSimulator();
  f.Form->DeviceFactory = [&f](const TConnectionSettings&) {
    auto dev = std::make_unique<THookedTcpDevice>(f.SimRequests);
    dev->Regional = TRegionalSettings{};
    return dev;
  };
  f.Form->CreateDevice();
  return dynamic_cast<THookedTcpDevice*>(f.Form->Device.get());
}

// The lines of every log block's title, in order.
inline QStringList Titles(const TFormFixture& f) {
  QStringList out;
  for (const TLoggedBlock& b : f.Blocks()) out << b.Title;
  return out;
}
