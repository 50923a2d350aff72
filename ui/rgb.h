#pragma once

#include <cstdint>

namespace sinkview {

// A 24-bit colour. Colours given as one number follow the platform's
// convention red + 256 * green + 65536 * blue, so 8 is red 8, green 0, blue 0.
struct Rgb {
  std::uint8_t red = 0, green = 0, blue = 0;
  static constexpr Rgb FromLong(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>((value >> 8) & 0xFF),
            static_cast<std::uint8_t>((value >> 16) & 0xFF)};
  }
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

} // namespace sinkview
