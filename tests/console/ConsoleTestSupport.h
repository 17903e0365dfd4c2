#pragma once

#include <QApplication>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "LogMemo.h"
#include "ScriptedDevice.h"
#include "SimServer.h"
#include "TCPDeviceUnit.h"
#include "uMain.h"

// A TCP device that records every request as handed to SendCommand and, when
// given a counter, counts the links it opened.
class TRecordingTcpDevice : public TTCPDevice {
 public:
  explicit TRecordingTcpDevice(std::vector<TScriptedDevice::TRequest>& log, int* links = nullptr)
      : Log_(log), Links_(links) {}
  bool SendCommand(std::uint8_t code, TDataBuffer& data, TDataBuffer& status) override {
    Log_.push_back({code, data, {}});
    return TTCPDevice::SendCommand(code, data, status);
  }
  bool Connect() override {
    const bool ok = TTCPDevice::Connect();
    if (ok && Links_) ++*Links_;
    return ok;
  }

 private:
  std::vector<TScriptedDevice::TRequest>& Log_;
  int* Links_;
};

// One result block of the log, read back: its title, whether it reads
// "Result - OK ", and the lines of its result or error text.
struct TLoggedBlock {
  QString Title;
  bool Ok = false;
  QStringList Text;
};

// A main window whose files live in a temporary folder and whose device is a
// scripted one (reachable through Scripted).
struct TFormFixture {
  // Before the form: its device may hold a reference to SimRequests.
  std::unique_ptr<TSimServer> Sim;
  std::vector<TScriptedDevice::TRequest> SimRequests;
  int SimLinks = 0;  // links the form's device opened to the simulator
  QTemporaryDir Dir;
  std::unique_ptr<TMainForm> Form;
  TScriptedDevice* Scripted = nullptr;

  QString IniPath() const { return Dir.filePath(QStringLiteral("fprtest.ini")); }
  QString PlacementPath() const { return Dir.filePath(QStringLiteral("fprtest.INI")); }

  // Every test function gets a window of its own; the simulator it starts is
  // stopped when it ends, so nothing outlives the test.
  void Fresh() {
    Release();
    Errors.clear();
    Open();
  }
  void Release() {
    Form.reset();
    Sim.reset();
  }

  // Builds the window (reading the INI if one was written before).
  void Open() {
    Form = std::make_unique<TMainForm>(TConsolePaths{IniPath(), PlacementPath()});
    Form->ShowError = [this](const QString& text) { Errors << text; };
  }

  // Replaces the device by a scripted one.
  void UseScripted() {
    Form->DeviceFactory = [this](const TConnectionSettings&) {
      auto dev = std::make_unique<TScriptedDevice>();
      Scripted = dev.get();
      return dev;
    };
    Form->CreateDevice();
  }

  // The identity answer EnsureConnected asks for once per connection setting.
  void ScriptIdentity() {
    Scripted->Answer("FP-TEST,1.00 01Jan26 1200,ABCD,00000000,QZ999834,44999834");
  }

  // Starts the simulator on a free loopback port and points the form's device
  // at it over TCP; every request is recorded in SimRequests. Separators are
  // '.' and ':', as the simulator reads them.
  void UseSimulator() {
    SimRequests.clear();
    SimLinks = 0;
    Sim = std::make_unique<TSimServer>();
    if (!Sim->StartTcp("127.0.0.1", 0)) qFatal("simulator: %s", Sim->LastError().c_str());
    Form->Settings.Connection = {1,
                                 QStringLiteral("115200"),
                                 QStringLiteral("127.0.0.1"),
                                 QString::number(Sim->Port()),
                                 true,
                                 {}};
    Form->DeviceFactory = [this](const TConnectionSettings&) {
      auto dev = std::make_unique<TRecordingTcpDevice>(SimRequests, &SimLinks);
      dev->Regional = TRegionalSettings{};
      return dev;
    };
    Form->CreateDevice();
  }
  // Requests other than the identity read (5AH "1") that opens each setting.
  std::vector<TScriptedDevice::TRequest> Sent() const {
    std::vector<TScriptedDevice::TRequest> out;
    for (const auto& r : SimRequests) {
      if (!(r.Cmd == 0x5A && r.DataText() == "1")) out.push_back(r);
    }
    return out;
  }
  // "CMD:data" of every request but the identity read, e.g. "4A:W".
  QStringList SentTexts() const {
    QStringList out;
    for (const auto& r : Sent()) {
      out << QStringLiteral("%1:").arg(r.Cmd, 2, 16, QLatin1Char('0')).toUpper() +
                 QString::fromLatin1(r.DataText().data(), static_cast<qsizetype>(r.Data.size()));
    }
    return out;
  }

  QStringList Lines() const { return Form->StatusMemo->Lines(); }
  // Every result block written so far (no log option may be on).
  QList<TLoggedBlock> Blocks() const {
    QList<TLoggedBlock> blocks;
    const QStringList lines = Lines();
    qsizetype start = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
      if (lines[i] != kHyphenLine) continue;
      // Title, duration, "", result line, text..., "", hyphens.
      TLoggedBlock b;
      b.Title = lines.value(start);
      b.Ok = lines.value(start + 3) == QStringLiteral("Result - OK ");
      b.Text = lines.mid(start + 4, i - start - 5);
      blocks << b;
      start = i + 1;
    }
    return blocks;
  }
  TLoggedBlock LastBlock() const {
    const auto b = Blocks();
    return b.isEmpty() ? TLoggedBlock{} : b.last();
  }
  std::vector<TLogLine> Content() const { return Form->StatusMemo->Content(); }

  void CheckAll(bool on) {
    Form->HEX1->setChecked(on);
    Form->chDetailed->setChecked(on);
    Form->cbRaw->setChecked(on);
    Form->cbStatusAsString->setChecked(on);
  }

  QStringList Errors;
};

inline const QString kHyphens = kHyphenLine;
