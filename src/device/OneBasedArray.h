#pragma once

#include <array>
#include <cstddef>
#include <stdexcept>

// Fixed array indexed from 1, as the device numbers VAT groups and payment types.
template <typename T, std::size_t N>
struct TOneBasedArray {
  std::array<T, N> Items{};

  T& operator[](int i) { return Items.at(static_cast<std::size_t>(i - 1)); }
  const T& operator[](int i) const { return Items.at(static_cast<std::size_t>(i - 1)); }
  static constexpr int Count() { return static_cast<int>(N); }
  bool operator==(const TOneBasedArray&) const = default;
};
