// Arbitrary bytes as a bitmap file: the reader either refuses them with a
// reason and keeps no image, or describes an image inside its size bounds
// whose every pixel is RGB555, without reading past the file.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "gfx/Bitmap.h"

using tovrik::gfx::xBitmap;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> file(data, data + size);  // exact size: ASan sees any overread
  xBitmap bitmap;
  if (!bitmap.LoadFromMemory(file)) {
    if (bitmap.IsLoaded() || !bitmap.Pixels().empty() || bitmap.LastError().empty()) __builtin_trap();
    return 0;
  }
  const int w = bitmap.Width(), h = bitmap.Height();
  if (w <= 0 || h <= 0 || w > xBitmap::kMaxSide || h > xBitmap::kMaxSide ||
      bitmap.Pixels().size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h) ||
      !bitmap.LastError().empty())
    __builtin_trap();
  for (const std::uint16_t pixel : bitmap.Pixels()) {
    if (pixel & 0x8000) __builtin_trap();
  }
  // A failed load after a good one leaves no image behind.
  if (size > 0 && bitmap.LoadFromMemory(std::span(file).first(size / 2)) == 0 && bitmap.IsLoaded()) __builtin_trap();
  return 0;
}
