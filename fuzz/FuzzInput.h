#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

// A broken invariant ends the run, so that libFuzzer keeps the input.
inline void Check(bool ok) {
  if (!ok) std::abort();
}

// Reads a fuzz input front to back; once exhausted it yields zeros and empty texts.
class TFuzzReader {
 public:
  TFuzzReader(const std::uint8_t* data, std::size_t size) : Data_(data), Size_(size) {}

  bool Empty() const { return Pos_ >= Size_; }
  std::uint8_t Byte() { return Pos_ < Size_ ? Data_[Pos_++] : 0; }
  std::uint16_t U16() {
    const std::uint16_t lo = Byte();
    return static_cast<std::uint16_t>(lo | (Byte() << 8));
  }
  std::uint32_t U32() {
    const std::uint32_t lo = U16();
    return lo | (static_cast<std::uint32_t>(U16()) << 16);
  }
  std::uint64_t Raw64() {
    const std::uint64_t lo = U32();
    return lo | (static_cast<std::uint64_t>(U32()) << 32);
  }
  bool Bool() { return (Byte() & 1) != 0; }
  char Char() { return static_cast<char>(Byte()); }
  std::string Bytes(std::size_t n) {
    n = std::min(n, Size_ - std::min(Pos_, Size_));
    std::string s(reinterpret_cast<const char*>(Data_) + Pos_, n);
    Pos_ += n;
    return s;
  }

 private:
  const std::uint8_t* Data_;
  std::size_t Size_;
  std::size_t Pos_ = 0;
};
