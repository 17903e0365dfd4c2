// The programming buttons of the "Other" tab. The clock and the general
// settings check their inputs before the link is opened; the others open it
// first and close it again on an input error, with nothing sent.
#include <QSpinBox>

#include "DeviceDates.h"
#include "DeviceText.h"
#include "OtherTab.h"
#include "uMain.h"
#include "ui_OtherTab.h"

void TOtherTab::btn03DHClick() {
  TDateTime value = 0;
  const auto checkInput = [&] {
    // An empty box reads as the date value 0.
    if (ui->c7SysDateTime_DateDateEdit->Value() == 0) throw EInputError("Date value is invalid. ");
    value = DeviceDateTime(ui->c7SysDateTime_DateDateEdit->date(),
                           ui->c7SysDateTime_TimeDateTimePicker->time());
  };
  const auto action = [&] {
    Main.RequireDevice(Device().SetDateTime(value));
    return FormatDateTimeLong(value, Device().Regional);
  };
  Main.RunCommand(QStringLiteral("Set printer date and time"), action, checkInput);
}

void TOtherTab::btn028HClick() {
  const std::string typed = ui->c7PayedOutReceivedOnAccountEdit->text().toStdString();
  const auto action = [&] {
    double amount = 0;
    if (!TryParseFloat(typed, amount, Device().Regional) || amount == 0) {
      throw EInputError("Invalid value for Amount.");
    }
    Main.RequireDevice(Device().ImportExportAmount(amount));
    return "Import/Export amount: " + Format2(amount, Device().Regional);
  };
  Main.RunCommand(QStringLiteral("Import or export amount(46H)"), action);
}

void TOtherTab::btnSetUserNameClick() {
  const auto operNo = static_cast<std::uint16_t>(ui->rxOperNo->value());
  const auto action = [&] {
    const std::string name =
        ToDeviceText(TrimmedText(ui->edtOperName->text()), QStringLiteral("Name"));
    const std::string password =
        ToDeviceText(TrimmedText(ui->edtOperPass->text()), QStringLiteral("Password"));
    if (name.empty()) throw EInputError("Operator name is empty.");
    Main.RequireDevice(Device().SetOperator(operNo, password, name));
    return std::string();
  };
  Main.RunCommand(QStringLiteral("Edit operator (66H)"), action);
}

void TOtherTab::btnSetPayNameClick() {
  const auto payType = static_cast<std::uint32_t>(ui->rxPayTypeNo->value());
  const auto action = [&] {
    const std::string name =
        ToDeviceText(TrimmedText(ui->edtPayNameText->text()), QStringLiteral("Pay text"));
    // A refusal comes back as false without a text; RequireDevice logs it as one.
    Main.RequireDevice(Device().SetPayName(payType, name));
    return std::string("OK");
  };
  Main.RunCommand(QStringLiteral("Set pay type name [55H]."), action);
}

void TOtherTab::btnFunc53SetClick() {
  TGeneralPRNSettings settings;
  const auto checkInput = [&] { settings = SettingsFromTexts(SettingsTexts(), Device().Regional); };
  const auto action = [&] {
    Main.RequireDevice(Device().SetGeneralPRNSettings(settings));
    return std::string();
  };
  Main.RunCommand(QStringLiteral("Set decimal, currency... - [53H]"), action, checkInput);
}

void TOtherTab::bSetBCodeHeightClick() {
  const auto heightMm = static_cast<std::uint16_t>(ui->SpinHeight->value());
  const auto action = [&] {
    Main.RequireDevice(Device().SetBarcodeHeight(heightMm));
    return std::string();
  };
  Main.RunCommand(QStringLiteral("Get barcode height .. - [2BH]"), action);
}
