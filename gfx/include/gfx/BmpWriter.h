#pragma once
// The one BMP writer: screen dumps of a page, the generated artwork and the
// contact sheet all go through it.

#include <cstdint>
#include <span>
#include <vector>

namespace tovrik::gfx {

// One pixel to write, 8 bits a channel; alpha 255 is opaque.
struct BmpPixel {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  std::uint8_t a = 255;
};

// `pixels` holds width x height pixels, top row first. Without alpha the
// file is 24-bit (alpha is dropped); with it, 32-bit with a BITMAPV4HEADER
// whose masks say where alpha is. Rows are stored bottom-up, as readers of
// the format expect. Empty for a size that is not positive or does not match
// the pixels.
std::vector<std::uint8_t> EncodeBmp(int width, int height, std::span<const BmpPixel> pixels, bool withAlpha = false);

}  // namespace tovrik::gfx
