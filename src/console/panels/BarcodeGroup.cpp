#include "BarcodeGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "DeviceText.h"
#include "uMain.h"

const char* const kBarcodeTypeNames[5] = {"EAN8", "EAN13", "Code 128", "ITF", "ITF - No CS"};

void FillBarcodeTypes(QComboBox& type) {
  type.clear();
  for (const char* name : kBarcodeTypeNames) type.addItem(QString::fromLatin1(name));
  type.setCurrentIndex(0);
}

void SendBarcodeFromGroup(TMainForm& main, const QLineEdit& text, const QComboBox& type,
                          const QCheckBox& showText) {
  const QString barcode = TrimmedText(text.text());
  const int typeNo = type.currentIndex() < 0 ? 1 : type.currentIndex() + 1;
  const bool show = showText.isChecked();
  // Checked on the open link, as every input of the receipt's documents.
  const auto action = [&] {
    if (barcode.isEmpty()) throw EInputError("Barcode is empty.");
    const std::string data = ToDeviceText(barcode, QStringLiteral("Bar code"));
    main.RequireDevice(main.Device->PrintBarcode(typeNo, data, show));
    return "Barcode : " + data;
  };
  main.RunCommand(QStringLiteral("Send barcode (54H)"), action);
}
