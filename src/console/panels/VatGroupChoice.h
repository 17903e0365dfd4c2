#pragma once

class QComboBox;

// The CP1251 byte of the first character of the selected item of a VAT group
// list (А..З give C0H..C7H); 0 when nothing is selected.
char SelectedVatGroup(const QComboBox& box);
