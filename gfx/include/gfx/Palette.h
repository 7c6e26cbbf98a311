#pragma once
// Palette entries of 8-bit pages and palette files.

#include <array>
#include <cstdint>

namespace tovrik::gfx {

struct PaletteEntry {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t flags = 0;
  bool operator==(const PaletteEntry&) const = default;
};

using Palette256 = std::array<PaletteEntry, 256>;

}  // namespace tovrik::gfx
