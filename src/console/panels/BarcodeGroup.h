#pragma once

class QCheckBox;
class QComboBox;
class QLineEdit;
class TMainForm;

// The items of both barcode type lists; the type number is the index plus one.
extern const char* const kBarcodeTypeNames[5];

// Fills a barcode type list with its items, the first one selected.
void FillBarcodeTypes(QComboBox& type);

// "Send barcode - [54H]" of either "Send barcode" group, on that group's
// controls: the trimmed text, the type of the list (none selected: 1) and
// "Show as text". A text of blanks is refused before the link is opened.
void SendBarcodeFromGroup(TMainForm& main, const QLineEdit& text, const QComboBox& type,
                          const QCheckBox& showText);
