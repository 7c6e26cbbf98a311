#include "ui/BitmapRegion.h"

namespace tovrik::ui {
using platform::Region;

Region RegionOf(const std::vector<MaskRun>& runs) {
  std::vector<Region::Run> out;
  out.reserve(runs.size());
  for (const MaskRun& run : runs) out.push_back({run.y, run.left, run.right});
  return Region::FromRuns(std::move(out));
}

std::optional<Region> BitmapToRegion(const platform::PixelView& bitmap, platform::RgbColor, int) {
  if (!bitmap.IsValid()) return std::nullopt;
  return RegionOf(CornerKeyMask(ToRgbPicture(bitmap)));
}

int CBmpRegion::SetWindowRgn(platform::Window* window, const platform::PixelView& bitmap, platform::RgbColor colour,
                             int tolerance) {
  region_.reset();
  region_ = BitmapToRegion(bitmap, colour, tolerance);
  if (!window || !region_) return 0;
  window->SetWindowRgn(*region_);
  return 1;
}

int CHTransRegion::SetRgn(int width, int height, platform::Window* dialog) {
  if (!dialog || width <= 0 || height <= 0) return 0;
  dialog->SetWindowRgn(Region::RoundRect({0, 0, width + 1, height + 1}, 16, 16));
  return 1;
}

int CHTransRegion::SetRgn(const platform::PixelView& bitmap, platform::Window* dialog, platform::RgbColor key) {
  if (!dialog || !bitmap.IsValid()) return 0;
  dialog->SetWindowRgn(RegionOf(ColourKeyMask(ToRgbPicture(bitmap), key)));
  return 1;
}

}  // namespace tovrik::ui
