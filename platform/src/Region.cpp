#include "platform/Region.h"

#include <algorithm>
#include <cmath>

namespace tovrik::platform {

Region::Region(std::vector<Run> runs) : runs_(std::move(runs)) { Normalise(); }

void Region::Normalise() {
  std::erase_if(runs_, [](const Run& r) { return r.right <= r.left; });
  std::sort(runs_.begin(), runs_.end(),
            [](const Run& a, const Run& b) { return a.y != b.y ? a.y < b.y : a.left < b.left; });
  // Overlapping or touching runs of one row become one.
  std::vector<Run> merged;
  merged.reserve(runs_.size());
  for (const Run& run : runs_) {
    if (!merged.empty() && merged.back().y == run.y && run.left <= merged.back().right) {
      merged.back().right = std::max(merged.back().right, run.right);
    } else {
      merged.push_back(run);
    }
  }
  runs_ = std::move(merged);
}

Region Region::FromRect(const Rect& rect) {
  std::vector<Run> runs;
  if (!rect.IsEmpty())
    for (int y = rect.top; y < rect.bottom; ++y) runs.push_back({y, rect.left, rect.right});
  return Region(std::move(runs));
}

Region Region::RoundRect(const Rect& rect, int ellipseWidth, int ellipseHeight) {
  if (rect.IsEmpty()) return {};
  // Corner radii, never more than half the rectangle.
  const double rx = std::min(std::max(ellipseWidth, 0), rect.Width()) / 2.0;
  const double ry = std::min(std::max(ellipseHeight, 0), rect.Height()) / 2.0;
  std::vector<Run> runs;
  for (int y = rect.top; y < rect.bottom; ++y) {
    // Distance of the row's centre from the nearest horizontal edge.
    const double fromEdge = std::min(y - rect.top + 0.5, rect.bottom - y - 0.5);
    int inset = 0;
    if (ry > 0 && fromEdge < ry) {
      const double t = (ry - fromEdge) / ry;
      inset = static_cast<int>(std::lround(rx - rx * std::sqrt(std::max(0.0, 1.0 - t * t))));
    }
    runs.push_back({y, rect.left + inset, rect.right - inset});
  }
  return Region(std::move(runs));
}

Region Region::FromColourKey(const PixelView& picture, RgbColor key) {
  if (!picture.IsValid()) return {};
  std::vector<Run> runs;
  const std::uint16_t key16 = ToRgb555(key);
  for (int y = 0; y < picture.height; ++y) {
    auto opaque = [&](int x) {
      if (picture.format == PixelFormat::Rgb555) return picture.Row16(y)[x] != key16;
      return ColourOf((*picture.palette)[picture.Row8(y)[x]]) != key;
    };
    for (int x = 0; x < picture.width;) {
      if (!opaque(x)) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < picture.width && opaque(x)) ++x;
      runs.push_back({y, start, x});
    }
  }
  return Region(std::move(runs));
}

void Region::Union(const Region& other) {
  runs_.insert(runs_.end(), other.runs_.begin(), other.runs_.end());
  Normalise();
}

Region Region::Offset(int dx, int dy) const {
  std::vector<Run> runs = runs_;
  for (Run& run : runs) run = {run.y + dy, run.left + dx, run.right + dx};
  return Region(std::move(runs));
}

bool Region::Contains(Point p) const {
  auto it = std::lower_bound(runs_.begin(), runs_.end(), p.y, [](const Run& r, int y) { return r.y < y; });
  for (; it != runs_.end() && it->y == p.y; ++it)
    if (p.x >= it->left && p.x < it->right) return true;
  return false;
}

Rect Region::Bounds() const {
  if (runs_.empty()) return {};
  Rect r{runs_.front().left, runs_.front().y, runs_.front().right, runs_.back().y + 1};
  for (const Run& run : runs_) {
    r.left = std::min(r.left, run.left);
    r.right = std::max(r.right, run.right);
  }
  return r;
}

}  // namespace tovrik::platform
