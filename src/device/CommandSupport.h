#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

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
