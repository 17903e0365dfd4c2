#pragma once

#include <QApplication>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "LogMemo.h"
#include "ScriptedDevice.h"
#include "uMain.h"

// A main window whose files live in a temporary folder and whose device is a
// scripted one (reachable through Scripted).
struct TFormFixture {
  QTemporaryDir Dir;
  std::unique_ptr<TMainForm> Form;
  TScriptedDevice* Scripted = nullptr;

  QString IniPath() const { return Dir.filePath(QStringLiteral("fprtest.ini")); }
  QString PlacementPath() const { return Dir.filePath(QStringLiteral("fprtest.INI")); }

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

  QStringList Lines() const { return Form->StatusMemo->Lines(); }
  std::vector<TLogLine> Content() const { return Form->StatusMemo->Content(); }

  void CheckAll(bool on) {
    Form->HEX1->setChecked(on);
    Form->chDetailed->setChecked(on);
    Form->cbRaw->setChecked(on);
    Form->cbStatusAsString->setChecked(on);
  }

  QStringList Errors;
};

inline const QString kHyphens = QStringLiteral("----------------------------------");
