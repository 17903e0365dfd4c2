#pragma once

#include <QString>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

struct TRegionalSettings;

// The console shows UTF-8; the device speaks CP1251. Texts cross here.

// CP1251 bytes (one char per byte) as a UI text.
QString DevText(std::string_view cp1251);

// An operator's input that cannot be sent; the message is plain ASCII.
class EInputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The text as CP1251 bytes. Raises EInputError naming `what` and the first
// character that CP1251 cannot hold, so that nothing is sent.
std::string ToDeviceText(const QString& text, const QString& what);

// A number typed by the operator, read with the device's separators; a text
// that is not one is refused with `error` as an EInputError.
double ReadTypedNumber(const QString& text, const TRegionalSettings& rs, const char* error);

// Two capital hexadecimal digits per CP1251 byte of the text, no separators;
// a character without a CP1251 byte shows as <U+XXXX>.
QString HexOfText(const QString& text);

// Hexadecimal digits only, as "$" + text would be read; false for an empty
// text or any other character.
bool ReadHexCode(const QString& text, std::uint32_t& value);

// The text without the characters 00H..20H at either end (blanks and control
// characters, nothing else).
QString TrimmedText(const QString& text);

// The character whose CP1251 code is `code`.
QString CharOfCode(std::uint8_t code);
