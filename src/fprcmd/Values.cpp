#include "Values.h"

#include <charconv>

#include "Cp1251.h"
#include "FrameCodec.h"
#include "RegionalSettings.h"

std::string_view KindName(TValueKind kind) {
  switch (kind) {
    case TValueKind::Int32:
      return "int";
    case TValueKind::UInt8:
      return "uint8";
    case TValueKind::UInt16:
      return "uint16";
    case TValueKind::UInt32:
      return "uint32";
    case TValueKind::Int64:
      return "int64";
    case TValueKind::Double:
      return "double";
    case TValueKind::Bool:
      return "bool";
    case TValueKind::Letter:
      return "letter";
    case TValueKind::Text:
      return "text";
    case TValueKind::Date:
      return "date";
    case TValueKind::Bytes:
      return "bytes";
  }
  return "?";
}

std::string FormatReal(double v) {
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}

std::string FormatDate(TDateTime v) {
  if (v == 0) return "0";
  const TDateTimeParts p = DecodeDateTime(v);
  return IntToStrPadded(p.Year, 4) + "-" + IntToStrPadded(p.Month, 2) + "-" +
         IntToStrPadded(p.Day, 2) + "T" + IntToStrPadded(p.Hour, 2) + ":" +
         IntToStrPadded(p.Minute, 2) + ":" + IntToStrPadded(p.Second, 2);
}

std::string HexOfBytes(std::string_view bytes) {
  std::string out;
  for (char c : bytes) out += Hex2(static_cast<std::uint8_t>(c));
  return out;
}

std::string FormatValue(const TValue& v) {
  switch (v.Kind) {
    case TValueKind::Double:
      return FormatReal(v.Real);
    case TValueKind::Bool:
      return v.Int != 0 ? "true" : "false";
    case TValueKind::Letter:
      return v.Bytes == std::string(1, '\0') ? "" : Cp1251ToUtf8(v.Bytes);
    case TValueKind::Text:
      return Cp1251ToUtf8(v.Bytes);
    case TValueKind::Date:
      return FormatDate(v.Real);
    case TValueKind::Bytes:
      return HexOfBytes(v.Bytes);
    default:
      return std::to_string(v.Int);
  }
}
