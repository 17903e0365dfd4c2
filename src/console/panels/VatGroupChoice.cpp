#include "VatGroupChoice.h"

#include <QComboBox>

#include "DeviceText.h"

char SelectedVatGroup(const QComboBox& box) {
  const QString first = box.currentText().left(1);
  if (first.isEmpty()) return 0;
  return ToDeviceText(first, QStringLiteral("VAT group")).front();
}
