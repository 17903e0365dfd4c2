#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "ConsoleSettings.h"

namespace Ui {
class TfrmSettings;
}

// The connection settings dialog: serial line or TCP.
class TfrmSettings : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmSettings(QWidget* parent = nullptr);
  ~TfrmSettings() override;

  void SetValues(const TConnectionSettings& values);
  TConnectionSettings Values() const;

  // Four '.'-separated parts from the left, each an integer 0..255; whatever
  // follows the fourth part is not looked at.
  static bool IsValidIPAddress(const QString& text);

  // True when the dialog may close with OK; otherwise the operator is told why.
  bool FormCloseQuery();

  // Shows a refusal; tests replace it.
  std::function<void(const QString&)> ShowError;

  std::unique_ptr<Ui::TfrmSettings> ui;

 public slots:
  void rbRS232Click();
  void rbTCPClick();
  void done(int result) override;
};
