#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Device texts are single-byte CP1251; the console works in UTF-8.

// Every byte has a mapping (the unassigned 0x98 maps to U+0098).
std::string Cp1251ToUtf8(std::string_view cp1251);

// False when a character has no CP1251 byte (or the UTF-8 is malformed);
// `badOffset` then holds the byte offset of it in the input. Nothing is replaced.
bool Utf8ToCp1251(std::string_view utf8, std::string& out, std::size_t* badOffset = nullptr);
