#pragma once
// The one view of pixel memory that pages, window surfaces, pictures and the
// presented frame share: drawing pages hand it out, the platform paints,
// writes text on and presents through it, the capture reads it. A view
// never owns what it points at.

#include <cstddef>
#include <cstdint>

#include "gfx/Palette.h"

namespace tovrik::gfx {

enum class PixelFormat { Rgb555, Indexed8 };

// Width and height in pixels, pitch in bytes between rows. An 8-bit view
// names the palette its indices refer to (needed to show it or to pick the
// nearest index for a colour).
struct PixelView {
  void* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
  PixelFormat format = PixelFormat::Rgb555;
  const Palette256* palette = nullptr;

  int BytesPerPixel() const { return format == PixelFormat::Rgb555 ? 2 : 1; }
  bool IsValid() const {
    return pixels && width > 0 && height > 0 && pitch >= width * BytesPerPixel() &&
           (format == PixelFormat::Rgb555 || palette);
  }
  std::uint16_t* Row16(int y) const {
    return reinterpret_cast<std::uint16_t*>(static_cast<std::uint8_t*>(pixels) + static_cast<std::ptrdiff_t>(y) * pitch);
  }
  std::uint8_t* Row8(int y) const { return static_cast<std::uint8_t*>(pixels) + static_cast<std::ptrdiff_t>(y) * pitch; }
  // The part of the view at (x, y) of the given size, clipped to the view;
  // empty when nothing of it is inside.
  PixelView Part(int x, int y, int w, int h) const {
    if (x < 0) w += x, x = 0;
    if (y < 0) h += y, y = 0;
    if (x + w > width) w = width - x;
    if (y + h > height) h = height - y;
    if (!pixels || w <= 0 || h <= 0) return {};
    return {Row8(y) + static_cast<std::ptrdiff_t>(x) * BytesPerPixel(), w, h, pitch, format, palette};
  }
};

}  // namespace tovrik::gfx
