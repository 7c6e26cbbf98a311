#include "gfx/Dither.h"

#include <algorithm>
#include <bit>
#include <random>
#include <utility>
#include <vector>

namespace tovrik::gfx {

PixelFormatMasks TargetPixelFormat;

int get_bit_count(std::uint32_t mask) { return std::popcount(mask); }

void setup_dither_mask(std::uint32_t mask0, std::uint32_t mask1, std::uint32_t mask2, int bytesPerPixel) {
  PixelFormatMasks& f = TargetPixelFormat;
  f.mask[0] = mask0;
  f.mask[1] = mask1;
  f.mask[2] = mask2;
  f.unionMask = mask0 | mask1 | mask2;
  f.bytesPerPixel = bytesPerPixel;
  for (int i = 0; i < 3; ++i) {
    const int highest = f.mask[i] ? 31 - std::countl_zero(f.mask[i]) : 7;
    f.shift[i] = highest - 7;
    const int keptBits = std::min(get_bit_count(f.mask[i]), 8);
    f.errorMask[i] = (1u << (8 - keptBits)) - 1;
  }
}

namespace {

// Adds up to `amount` to a byte without passing 255; returns what was added.
int AddClamped(std::uint8_t& target, int amount) {
  const int added = std::min(amount, 255 - target);
  target = static_cast<std::uint8_t>(target + added);
  return added;
}

// The mask that the byte at position c of an RGB triple is quantised with.
int MaskIndexOfByte(int c) { return 2 - c; }

}  // namespace

bool dither_rgb24(std::span<const std::uint8_t> rgb, int width, int height, std::span<std::uint8_t> out) {
  const PixelFormatMasks& f = TargetPixelFormat;
  if (width <= 0 || height <= 0 || f.bytesPerPixel <= 0 || f.bytesPerPixel > 4) return false;
  const std::size_t pixels = static_cast<std::size_t>(width) * height;
  if (rgb.size() < pixels * 3 || out.size() < pixels * f.bytesPerPixel) return false;

  std::vector<std::uint8_t> work(rgb.begin(), rgb.begin() + static_cast<std::ptrdiff_t>(pixels * 3));
  const std::ptrdiff_t rowBytes = 3 * static_cast<std::ptrdiff_t>(width);
  // Neighbours in the order below-left, below, below-right, right.
  const std::ptrdiff_t neighbour[4] = {rowBytes - 3, rowBytes, rowBytes + 3, 3};
  int order[4] = {0, 1, 2, 3};
  // A fixed seed keeps the output of a given image the same on every run.
  std::minstd_rand random(0x5EED);
  for (int i = 0; i < 10; ++i) std::swap(order[random() % 4], order[random() % 4]);

  for (int y = 0; y < height; ++y) {
    const bool lastRow = y == height - 1;
    for (int x = 0; x < width; ++x) {
      const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
      std::uint32_t word = ~f.unionMask;
      for (int c = 0; c < 3; ++c) {
        std::uint8_t* p = &work[at + c];
        const int m = MaskIndexOfByte(c);
        const int err = *p & static_cast<int>(f.errorMask[m]);
        if (!lastRow && err > 0) {
          auto at_ = [p](std::ptrdiff_t off) -> std::uint8_t& { return p[off]; };
          if (width == 1) {
            AddClamped(at_(neighbour[1]), err);  // only the pixel below exists
          } else if (x == 0) {
            int added = AddClamped(at_(neighbour[3]), err / 3);
            added += AddClamped(at_(neighbour[1]), err / 3);
            AddClamped(at_(neighbour[2]), err - added);
          } else if (x == width - 1) {
            const int added = AddClamped(at_(neighbour[1]), err / 2);
            AddClamped(at_(neighbour[0]), err - added);
          } else {
            int added = AddClamped(at_(neighbour[0]), err / 3);
            added += AddClamped(at_(neighbour[1]), err / 3);
            AddClamped(at_(neighbour[order[2]]), err - added);
          }
        }
        const std::uint32_t value = *p;
        const std::uint32_t shifted = f.shift[m] >= 0 ? value << f.shift[m] : value >> -f.shift[m];
        word |= shifted & f.mask[m];
      }
      std::uint8_t* dst = out.data() + (static_cast<std::size_t>(y) * width + x) * f.bytesPerPixel;
      for (int b = 0; b < f.bytesPerPixel; ++b) dst[b] = static_cast<std::uint8_t>(word >> (8 * b));
    }
  }
  return true;
}

}  // namespace tovrik::gfx
