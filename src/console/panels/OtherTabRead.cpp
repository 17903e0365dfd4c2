// The read buttons of the "Other" tab: what they read lands in the controls of
// the same group, ready to be changed and sent back.
#include <QSpinBox>

#include "DeviceDates.h"
#include "DeviceText.h"
#include "OtherTab.h"
#include "uMain.h"
#include "ui_OtherTab.h"

void TOtherTab::btnGetDateClick() {
  const auto action = [this] {
    TDateTime value = 0;
    Main.RequireDevice(Device().GetFPR_DateTime(value));
    ui->c7SysDateTime_DateDateEdit->setDate(DateOfDevice(value));
    ui->c7SysDateTime_TimeDateTimePicker->setTime(TimeOfDevice(value));
    return FormatDateTimeLong(value, Device().Regional);
  };
  Main.RunCommand(QStringLiteral("Get printer date and time"), action);
}

void TOtherTab::btnGetPayNameClick() {
  const int payType = ui->rxPayTypeNo->value();
  const auto action = [this, payType] {
    std::string name;
    Main.RequireDevice(Device().GetPayTypeName(payType, name));
    ui->edtPayNameText->setText(DevText(name));
    return std::string("OK");
  };
  Main.RunCommand(QStringLiteral("Get pay type name [55H]."), action);
}

void TOtherTab::bFunc53GetClick() {
  const auto action = [this] {
    TGeneralPRNSettings settings;
    Main.RequireDevice(Device().GetGeneralPRNSettings(settings));
    ShowSettingsTexts(TextsFromSettings(settings, Device().Regional));
    return std::string();
  };
  Main.RunCommand(QStringLiteral("Get decimal, currency... - [53H]"), action);
}

void TOtherTab::bGetBCodeHeightClick() {
  const auto action = [this] {
    std::int32_t heightMm = 0;
    Main.RequireDevice(Device().GetBarcodeHeight(heightMm));
    QSpinBox* spin = ui->SpinHeight;
    if (heightMm >= spin->minimum() && heightMm <= spin->maximum()) {
      spin->setValue(heightMm);
      return std::string();
    }
    // The box would show its nearest bound as the device's height, and a set
    // would then write that back; say what the device holds instead.
    return "Height[mm]: " + IntToStr(heightMm) + " (outside " + IntToStr(spin->minimum()) + ".." +
           IntToStr(spin->maximum()) + ", not shown)";
  };
  Main.RunCommand(QStringLiteral("Get barcode height .. - [2BH]"), action);
}
