#pragma once
// Colours and the operations on pixel views. The view itself is the
// graphics engine's (gfx/PixelView.h): pages, window surfaces and the
// presented frame are one type.

#include <array>
#include <cstdint>

#include "gfx/PixelView.h"
#include "platform/Geometry.h"

namespace tovrik::platform {

// A colour as GDI gave it: red, green and blue bytes.
struct RgbColor {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const RgbColor&, const RgbColor&) = default;
};

using Palette = gfx::Palette256;
using gfx::PixelFormat;
using gfx::PixelView;

constexpr std::uint16_t ToRgb555(RgbColor c) {
  return static_cast<std::uint16_t>(((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3));
}
// The colour of a palette entry (its flags byte aside).
constexpr RgbColor ColourOf(const gfx::PaletteEntry& e) { return {e.red, e.green, e.blue}; }
// Expands the five-bit channels to eight bits (0x1F becomes 0xFF).
constexpr RgbColor FromRgb555(std::uint16_t p) {
  auto expand = [](unsigned v) { return static_cast<std::uint8_t>((v << 3) | (v >> 2)); };
  return {expand((p >> 10) & 0x1F), expand((p >> 5) & 0x1F), expand(p & 0x1F)};
}

// A view's rectangle in its own coordinates.
inline Rect Bounds(const PixelView& view) { return {0, 0, view.width, view.height}; }

// The palette index whose colour is nearest (squared distance, lowest index
// on a tie).
std::uint8_t NearestPaletteIndex(const Palette& palette, RgbColor colour);

// Copies `source` (its rectangle `from`) to `target` at `to`, clipped to both
// views and to `clip` (target coordinates). An 8-bit source is converted
// through its palette; the target must be RGB555. Returns false when a view
// is unusable or the target is not RGB555.
bool CopyToRgb555(const PixelView& target, Point to, const PixelView& source, Rect from, Rect clip);

// Fills `area` ∩ `clip` with a colour (nearest palette index on 8-bit views).
void FillRect(const PixelView& target, Rect area, RgbColor colour, Rect clip);

}  // namespace tovrik::platform
