#pragma once
// Error-diffusion dithering of RGB24 images down to packed 16-bit pixels.

#include <cstdint>
#include <span>

namespace tovrik::gfx {

struct PixelFormatMasks {
  std::uint32_t mask[3] = {0, 0, 0};  // mask[0] takes the third byte of a triple, mask[2] the first
  std::uint32_t unionMask = 0;
  int shift[3] = {0, 0, 0};           // negative: shift right
  std::uint32_t errorMask[3] = {0, 0, 0};
  int bytesPerPixel = 0;
};

// The target that dither_rgb24 quantises to.
extern PixelFormatMasks TargetPixelFormat;

int get_bit_count(std::uint32_t mask);
void setup_dither_mask(std::uint32_t mask0, std::uint32_t mask1, std::uint32_t mask2, int bytesPerPixel);

// Dithers w x h RGB24 pixels into `out` (w x h x TargetPixelFormat.bytesPerPixel
// bytes, least significant byte first). Returns false when a buffer is short.
bool dither_rgb24(std::span<const std::uint8_t> rgb, int width, int height, std::span<std::uint8_t> out);

}  // namespace tovrik::gfx
