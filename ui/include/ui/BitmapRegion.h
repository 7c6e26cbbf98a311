#pragma once
// Window shapes cut from bitmaps: a skinned dialog keeps only the opaque
// part of its background (see ShapeMask.h for the pixel rules).

#include <optional>

#include "platform/Region.h"
#include "platform/Surface.h"
#include "platform/Window.h"
#include "ui/ShapeMask.h"

namespace tovrik::ui {

// The opaque part of `bitmap` by the corner-key rule. `colour` and
// `tolerance` are accepted as the callers pass them; the corner decides.
// None for an unusable bitmap.
std::optional<platform::Region> BitmapToRegion(const platform::PixelView& bitmap, platform::RgbColor colour,
                                               int tolerance);

// Runs of a mask as a region.
platform::Region RegionOf(const std::vector<MaskRun>& runs);

// Gives a window the shape of a bitmap.
class CBmpRegion {
 public:
  // 1 when the window got the shape; 0 without a window or a usable bitmap.
  int SetWindowRgn(platform::Window* window, const platform::PixelView& bitmap, platform::RgbColor colour,
                   int tolerance);
  const std::optional<platform::Region>& Region() const { return region_; }

 private:
  std::optional<platform::Region> region_;
};

class CHTransRegion {
 public:
  // A rectangle (0, 0, width + 1, height + 1) with 16 x 16 corner ellipses.
  // 0 without a dialog or for a size that is not positive.
  int SetRgn(int width, int height, platform::Window* dialog);
  // Every pixel of the bitmap that is not exactly `key`.
  int SetRgn(const platform::PixelView& bitmap, platform::Window* dialog, platform::RgbColor key);
};

}  // namespace tovrik::ui
