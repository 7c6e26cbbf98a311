#pragma once
// The pixel rules that cut a skinned window to the opaque part of its
// background, as pure functions over a picture: the window regions are
// built from the runs they return.
//
// Corner key: the background's top-left pixel names the transparent colours.
// For each channel v of that pixel (blue, green, red) the transparent range
// is v ... min(2v, 255); a pixel is opaque when one of its channels is
// outside its range. A black corner makes only exact black transparent, a
// grey (100, 100, 100) corner every pixel with all channels in 100 ... 200,
// a magenta corner exact magenta (and nothing else: green must be 0).
//
// Colour key: every pixel of exactly the key colour is transparent.

#include <vector>

#include "platform/Surface.h"

namespace tovrik::ui {

// A picture with eight bits per channel, rows top to bottom.
struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<platform::RgbColor> pixels;

  platform::RgbColor At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The colours of a view (RGB555 channels widened to eight bits, palette
// indices through the palette); empty for an unusable view.
RgbPicture ToRgbPicture(const platform::PixelView& view);

// Opaque pixels of one row: left <= x < right.
struct MaskRun {
  int y = 0;
  int left = 0;
  int right = 0;
  friend bool operator==(const MaskRun&, const MaskRun&) = default;
};

bool IsCornerKeyTransparent(platform::RgbColor corner, platform::RgbColor pixel);
// Runs of opaque pixels by the corner-key rule, row by row, left to right.
std::vector<MaskRun> CornerKeyMask(const RgbPicture& picture);
// Runs of pixels that differ from `key`.
std::vector<MaskRun> ColourKeyMask(const RgbPicture& picture, platform::RgbColor key);

}  // namespace tovrik::ui
