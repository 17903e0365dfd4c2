#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace Ui {
class TAboutDlg;
}

// The about box: program name, version and the vendor's web address.
class TAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutDlg(QWidget* parent = nullptr);
  ~TAboutDlg() override;

  // The ten standard version-information keys; only "FileVersion" is read.
  static const QStringList& VersionInfoKeys();
  // "FileVersion" of the running program: the project version built into it.
  static QString GetVersionString();

  // Hands an address to the desktop; tests replace it.
  std::function<void(const QString&)> OpenUrl;

  std::unique_ptr<Ui::TAboutDlg> ui;

 public slots:
  void FormShow();
  void LabelWebClick();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};
