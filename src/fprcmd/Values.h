#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "DateTimeUtil.h"

// The kinds of the arguments and out values of the device operations.
enum class TValueKind {
  Int32,
  UInt8,
  UInt16,
  UInt32,
  Int64,
  Double,
  Bool,
  Letter,  // one CP1251 byte, typed as one UTF-8 character
  Text,    // CP1251, typed as UTF-8
  Date,    // YYYY-MM-DD[THH:MM:SS], or 0 for none
  Bytes,   // out only: raw bytes, shown in hexadecimal
};

// The name --list shows for a kind ("int", "uint8", ...).
std::string_view KindName(TValueKind kind);

// One argument or out value. Integers and booleans live in Int, doubles and
// dates in Real, texts, letters and bytes in Bytes (CP1251 for texts).
struct TValue {
  TValueKind Kind = TValueKind::Int32;
  std::int64_t Int = 0;
  double Real = 0;
  std::string Bytes;

  static TValue Integer(TValueKind kind, std::int64_t v) { return {kind, v, 0, {}}; }
  static TValue Flag(bool v) { return {TValueKind::Bool, v ? 1 : 0, 0, {}}; }
  static TValue Number(double v) { return {TValueKind::Double, 0, v, {}}; }
  static TValue DateTime(TDateTime v) { return {TValueKind::Date, 0, v, {}}; }
  static TValue Letter(char c) { return {TValueKind::Letter, 0, 0, std::string(1, c)}; }
  static TValue Text(std::string cp1251) { return {TValueKind::Text, 0, 0, std::move(cp1251)}; }
  static TValue Raw(std::string bytes) { return {TValueKind::Bytes, 0, 0, std::move(bytes)}; }
};

// Name and kind of an argument or out value; an optional argument is a record
// field that may be left at the record's default.
struct TValueDecl {
  std::string Name;
  TValueKind Kind;
  bool Optional = false;
};

using TNamedValues = std::vector<std::pair<std::string, TValue>>;

// Shortest text that reads back as the same double, always with '.'.
std::string FormatReal(double v);
// YYYY-MM-DDTHH:MM:SS, or "0" for no date.
std::string FormatDate(TDateTime v);
// Uppercase hexadecimal, two digits a byte, no separators.
std::string HexOfBytes(std::string_view bytes);
// How a value is printed: numbers in decimal with '.', booleans true/false,
// texts and letters in UTF-8 (a letter 0 as nothing), dates as above, bytes in hex.
std::string FormatValue(const TValue& v);
