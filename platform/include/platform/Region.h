#pragma once
// The shape of a window: the set of its pixels that exist. Painting outside
// the shape leaves what lies below untouched, and the mouse passes through
// it to the window below, as with a window region on Windows.
//
// A region is kept as horizontal runs, one or more per row, sorted and
// never overlapping, in the window's own coordinates.

#include <vector>

#include "platform/Geometry.h"
#include "platform/Surface.h"

namespace tovrik::platform {

class Region {
 public:
  // One horizontal run of pixels: left <= x < right on row y.
  struct Run {
    int y = 0;
    int left = 0;
    int right = 0;
    friend bool operator==(const Run&, const Run&) = default;
  };

  Region() = default;
  static Region FromRect(const Rect& rect);
  // A rectangle whose corners are quarter ellipses `ellipseWidth` x
  // `ellipseHeight` (CreateRoundRectRgn).
  static Region RoundRect(const Rect& rect, int ellipseWidth, int ellipseHeight);
  // Every pixel of the picture whose colour is not `key`, the picture's
  // top-left pixel at (0, 0). On an 8-bit picture the palette colour of each
  // index is compared. An unusable view gives an empty region.
  static Region FromColourKey(const PixelView& picture, RgbColor key);
  // The pixels of `runs`, in any order, overlapping or not.
  static Region FromRuns(std::vector<Run> runs) { return Region(std::move(runs)); }

  // Adds the pixels of `other`.
  void Union(const Region& other);
  Region Offset(int dx, int dy) const;

  bool IsEmpty() const { return runs_.empty(); }
  bool Contains(Point p) const;
  // The smallest rectangle holding every pixel (empty for an empty region).
  Rect Bounds() const;
  const std::vector<Run>& Runs() const { return runs_; }
  friend bool operator==(const Region&, const Region&) = default;

 private:
  explicit Region(std::vector<Run> runs);
  void Normalise();

  std::vector<Run> runs_;
};

}  // namespace tovrik::platform
