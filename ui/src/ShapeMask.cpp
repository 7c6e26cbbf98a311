#include "ui/ShapeMask.h"

#include <algorithm>

namespace tovrik::ui {
using platform::RgbColor;

namespace {

bool InRange(std::uint8_t corner, std::uint8_t value) {
  const int high = std::min(2 * static_cast<int>(corner), 255);
  return value >= corner && value <= high;
}

template <typename IsOpaque>
std::vector<MaskRun> RunsWhere(const RgbPicture& picture, IsOpaque opaque) {
  std::vector<MaskRun> runs;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width;) {
      if (!opaque(picture.At(x, y))) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < picture.width && opaque(picture.At(x, y))) ++x;
      runs.push_back({y, start, x});
    }
  }
  return runs;
}

}  // namespace

RgbPicture ToRgbPicture(const platform::PixelView& view) {
  RgbPicture picture;
  if (!view.IsValid()) return picture;
  picture.width = view.width;
  picture.height = view.height;
  picture.pixels.reserve(static_cast<std::size_t>(view.width) * static_cast<std::size_t>(view.height));
  for (int y = 0; y < view.height; ++y) {
    for (int x = 0; x < view.width; ++x) {
      picture.pixels.push_back(view.format == platform::PixelFormat::Rgb555
                                   ? platform::FromRgb555(view.Row16(y)[x])
                                   : platform::ColourOf((*view.palette)[view.Row8(y)[x]]));
    }
  }
  return picture;
}

bool IsCornerKeyTransparent(RgbColor corner, RgbColor pixel) {
  return InRange(corner.r, pixel.r) && InRange(corner.g, pixel.g) && InRange(corner.b, pixel.b);
}

std::vector<MaskRun> CornerKeyMask(const RgbPicture& picture) {
  if (picture.width <= 0 || picture.height <= 0) return {};
  const RgbColor corner = picture.At(0, 0);
  return RunsWhere(picture, [&](RgbColor c) { return !IsCornerKeyTransparent(corner, c); });
}

std::vector<MaskRun> ColourKeyMask(const RgbPicture& picture, RgbColor key) {
  return RunsWhere(picture, [&](RgbColor c) { return c != key; });
}

}  // namespace tovrik::ui
