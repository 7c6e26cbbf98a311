#pragma once
// Plain views of pixel memory. The drawing pages of the graphics engine are
// free of SDL; they hand their pixels to text drawing, painting and
// presentation through these views.

#include <array>
#include <cstdint>

#include "platform/Geometry.h"

namespace tovrik::platform {

// A colour as GDI gave it: red, green and blue bytes.
struct RgbColor {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const RgbColor&, const RgbColor&) = default;
};

using Palette = std::array<RgbColor, 256>;

constexpr std::uint16_t ToRgb555(RgbColor c) {
  return static_cast<std::uint16_t>(((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3));
}
// Expands the five-bit channels to eight bits (0x1F becomes 0xFF).
constexpr RgbColor FromRgb555(std::uint16_t p) {
  auto expand = [](unsigned v) { return static_cast<std::uint8_t>((v << 3) | (v >> 2)); };
  return {expand((p >> 10) & 0x1F), expand((p >> 5) & 0x1F), expand(p & 0x1F)};
}

enum class PixelFormat { Rgb555, Indexed8 };

// Width and height in pixels, pitch in bytes between rows. An 8-bit view
// names the palette its indices refer to (needed to present it or to pick
// the nearest index for a colour); the view never owns anything.
struct SurfaceView {
  void* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
  PixelFormat format = PixelFormat::Rgb555;
  const Palette* palette = nullptr;

  bool IsValid() const {
    const int bytesPerPixel = format == PixelFormat::Rgb555 ? 2 : 1;
    return pixels && width > 0 && height > 0 && pitch >= width * bytesPerPixel &&
           (format == PixelFormat::Rgb555 || palette);
  }
  Rect Bounds() const { return {0, 0, width, height}; }
  std::uint16_t* Row16(int y) const {
    return reinterpret_cast<std::uint16_t*>(static_cast<std::uint8_t*>(pixels) + static_cast<std::ptrdiff_t>(y) * pitch);
  }
  std::uint8_t* Row8(int y) const { return static_cast<std::uint8_t*>(pixels) + static_cast<std::ptrdiff_t>(y) * pitch; }
};

// The palette index whose colour is nearest (squared distance, lowest index
// on a tie).
std::uint8_t NearestPaletteIndex(const Palette& palette, RgbColor colour);

// Copies `source` (its rectangle `from`) to `target` at `to`, clipped to both
// views and to `clip` (target coordinates). An 8-bit source is converted
// through its palette; the target must be RGB555. Returns false when a view
// is unusable or the target is not RGB555.
bool CopyToRgb555(const SurfaceView& target, Point to, const SurfaceView& source, Rect from, Rect clip);

// Fills `area` ∩ `clip` with a colour (nearest palette index on 8-bit views).
void FillRect(const SurfaceView& target, Rect area, RgbColor colour, Rect clip);

}  // namespace tovrik::platform
