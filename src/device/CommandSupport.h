#pragma once

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

#include "BaseDeviceUnit.h"

// Shared helpers of the command operations.

// One single-bit test made before CheckStatus/CheckStatusEx: raises `Code` with
// "[k/n]" when the bit is set (FailWhenSet) or clear (!FailWhenSet).
struct TBitCheck {
  int Byte;
  int Bit;
  bool FailWhenSet;
  std::int32_t Code;
};
inline constexpr TBitCheck BitSet(int k, int n, std::int32_t code) { return {k, n, true, code}; }
inline constexpr TBitCheck BitClear(int k, int n, std::int32_t code) { return {k, n, false, code}; }

void RunBitChecks(const TDataBuffer& status, std::initializer_list<TBitCheck> checks);

// "[k/n]"
std::string BitLabel(int k, int n);

// Number of non-empty runs of characters between commas.
int CountCommaFields(std::string_view text);

// Removes every character from 0x00 to 0x20 at both ends.
std::string TrimControl(std::string_view text);

// First `n` characters.
std::string LeftStr(std::string_view text, std::size_t n);

// Conversions that raise ECmdException(201, tag) on failure.
std::int32_t ToInt32Or201(const std::string& field, const std::string& tag);
std::int64_t ToInt64Or201(const std::string& field, const std::string& tag);
double ToFloatOr201(const std::string& field, const std::string& tag, const TRegionalSettings& rs);

// Conversions with a fallback value instead of an error.
std::int32_t ToInt32Def(const std::string& field, std::int32_t def);
std::int64_t ToInt64Def(const std::string& field, std::int64_t def);
double ToFloatDef(const std::string& field, double def, const TRegionalSettings& rs);

// True for the CP1251 VAT group letters 0xC0..0xC7.
bool IsVatGroupLetter(char c);

// Whether HandleCommandError gets the answer's status bytes, so that the error
// text also lists the other set conditions.
enum class TStatusInError { Without, With };

// The request of a command without data.
inline void NoRequestData(TDataBuffer&) {}

// Every command operation goes through here so that all of them fail alike:
// `build` makes the request and may raise before anything is sent; a failed
// exchange keeps the transport's error; whatever `build` or `check` raises goes
// to HandleCommandError, with or without the status bytes, and nothing escapes.
// `build` either fills the buffer (void(TDataBuffer&)) or returns the request
// text. `check(status, answer)` examines the reply: a bool it returns is the
// result, a void one means success once it returns.
template <typename Build, typename Check>
bool RunCommand(TBaseDevice& dev, std::uint8_t code, TStatusInError statusInError, Build&& build,
                Check&& check) {
  TDataBuffer data;
  TDataBuffer status;
  try {
    if constexpr (std::is_invocable_v<Build&, TDataBuffer&>) {
      build(data);
    } else {
      TBaseDevice::AppendEscapedText(build(), data);
    }
    if (!dev.SendCommand(code, data, status)) return false;
    const std::string answer = TBaseDevice::BytesToText(data);
    using TResult = std::invoke_result_t<Check&, const TDataBuffer&, const std::string&>;
    if constexpr (std::is_void_v<TResult>) {
      check(status, answer);
      return true;
    } else {
      return static_cast<bool>(check(status, answer));
    }
  } catch (const std::exception& e) {
    dev.HandleCommandError(e, statusInError == TStatusInError::With ? status : TDataBuffer{}, "");
    return false;
  }
}
