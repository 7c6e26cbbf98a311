#include "gfx/Shapes8.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "BlitEngine.h"
#include "gfx/GrpLib.h"

namespace tovrik::gfx {

namespace {

using detail::PageRow;

void Plot(int x, int y, std::uint8_t* dest, int color) {
  if (x < _CX1 || x > _CX2 || y < _CY1 || y > _CY2) return;
  PageRow(dest, y)[x] = static_cast<std::uint8_t>(color);
}

// One pixel of a stroke: `step` counts the pixels along the stroke for the
// dotted pattern; a wide pen adds the neighbour across the stroke's main
// direction.
void Stroke(int x, int y, int step, bool acrossIsY, std::uint8_t* dest, const Pen8& pen) {
  if (pen.dotted && (step & 2) != 0) return;
  Plot(x, y, dest, pen.color);
  if (pen.width >= 2) acrossIsY ? Plot(x, y + 1, dest, pen.color) : Plot(x + 1, y, dest, pen.color);
}

// The eight mirrored points of one step of the midpoint circle; `keep`
// decides per point (for arcs).
template <class Keep>
void CirclePoints(int cx, int cy, int radius, std::uint8_t* dest, const Pen8& pen, Keep keep) {
  if (radius < 0) return;
  int x = radius, y = 0, err = 1 - radius, step = 0;
  while (x >= y) {
    const int px[8] = {x, y, -y, -x, -x, -y, y, x};
    const int py[8] = {y, x, x, y, -y, -x, -x, -y};
    for (int i = 0; i < 8; ++i) {
      // Screen y grows downward; the game's angles grow counter-clockwise.
      if (!keep(px[i], -py[i])) continue;
      // Near the left and right ends the stroke runs vertically, so a wide
      // pen widens it sideways; near the top and bottom, downward.
      Stroke(cx + px[i], cy + py[i], step, std::abs(px[i]) < std::abs(py[i]), dest, pen);
    }
    ++y;
    ++step;
    if (err < 0) {
      err += 2 * y + 1;
    } else {
      --x;
      err += 2 * (y - x) + 1;
    }
  }
}

}  // namespace

void DrawLine8(int x1, int y1, int x2, int y2, std::uint8_t* dest, const Pen8& pen) {
  if (!dest) return;
  const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
  const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  const bool acrossIsY = dx >= -dy;
  int err = dx + dy;
  for (int step = 0;; ++step) {
    Stroke(x1, y1, step, acrossIsY, dest, pen);
    if (x1 == x2 && y1 == y2) break;
    const int e2 = 2 * err;
    if (e2 >= dy) err += dy, x1 += sx;
    if (e2 <= dx) err += dx, y1 += sy;
  }
}

void DrawCircle8(int cx, int cy, int radius, std::uint8_t* dest, const Pen8& pen) {
  if (!dest) return;
  CirclePoints(cx, cy, radius, dest, pen, [](int, int) { return true; });
}

void DrawArc8(int cx, int cy, int radius, float startDeg, float sweepDeg, std::uint8_t* dest, const Pen8& pen) {
  if (!dest || sweepDeg <= 0.0f) return;
  if (sweepDeg >= 360.0f) {
    DrawCircle8(cx, cy, radius, dest, pen);
    return;
  }
  const double start = std::fmod(std::fmod(static_cast<double>(startDeg), 360.0) + 360.0, 360.0);
  const double sweep = static_cast<double>(sweepDeg);
  CirclePoints(cx, cy, radius, dest, pen, [&](int x, int up) {
    double a = std::atan2(static_cast<double>(up), static_cast<double>(x)) * 180.0 / std::numbers::pi;
    if (a < 0) a += 360.0;
    double from = a - start;
    if (from < 0) from += 360.0;
    return from <= sweep;
  });
}

void FillTriangle8(int x1, int y1, int x2, int y2, int x3, int y3, std::uint8_t* dest, int color) {
  if (!dest) return;
  const int xs[3] = {x1, x2, x3}, ys[3] = {y1, y2, y3};
  const int top = std::max(std::min({y1, y2, y3}), _CY1), bottom = std::min(std::max({y1, y2, y3}), _CY2);
  for (int y = top; y <= bottom; ++y) {
    // The row's span runs between the leftmost and rightmost crossing of
    // the edges that reach it; a level edge lies wholly on its row.
    double lo = 1e18, hi = -1e18;
    for (int e = 0; e < 3; ++e) {
      const int ax = xs[e], ay = ys[e], bx = xs[(e + 1) % 3], by = ys[(e + 1) % 3];
      if (y < std::min(ay, by) || y > std::max(ay, by)) continue;
      if (ay == by) {
        lo = std::min({lo, static_cast<double>(ax), static_cast<double>(bx)});
        hi = std::max({hi, static_cast<double>(ax), static_cast<double>(bx)});
        continue;
      }
      const double x = ax + static_cast<double>(bx - ax) * (y - ay) / (by - ay);
      lo = std::min(lo, x);
      hi = std::max(hi, x);
    }
    if (lo > hi) continue;
    const int from = std::max(static_cast<int>(std::ceil(lo - 1e-9)), _CX1);
    const int to = std::min(static_cast<int>(std::floor(hi + 1e-9)), _CX2);
    if (from <= to) std::fill(PageRow(dest, y) + from, PageRow(dest, y) + to + 1, static_cast<std::uint8_t>(color));
  }
}

}  // namespace tovrik::gfx
