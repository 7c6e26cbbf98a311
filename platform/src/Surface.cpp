#include "platform/Surface.h"

#include <algorithm>

namespace tovrik::platform {

std::uint8_t NearestPaletteIndex(const Palette& palette, RgbColor colour) {
  int best = 0;
  long bestDistance = -1;
  for (int i = 0; i < 256; ++i) {
    const long dr = long(palette[i].red) - colour.r, dg = long(palette[i].green) - colour.g, db = long(palette[i].blue) - colour.b;
    const long distance = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
      if (distance == 0) break;
    }
  }
  return static_cast<std::uint8_t>(best);
}

bool CopyToRgb555(const PixelView& target, Point to, const PixelView& source, Rect from, Rect clip) {
  if (!target.IsValid() || !source.IsValid() || target.format != PixelFormat::Rgb555) return false;
  // Clip the source rectangle to the source, then the destination to target
  // and clip, carrying each cut over to the other side.
  Rect src = from.Intersect(Bounds(source));
  if (src.IsEmpty()) return true;
  to.x += src.left - from.left;
  to.y += src.top - from.top;
  const Rect dst = Rect::FromSize(to.x, to.y, src.Width(), src.Height()).Intersect(Bounds(target)).Intersect(clip);
  if (dst.IsEmpty()) return true;
  const int sx = src.left + (dst.left - to.x);
  const int sy = src.top + (dst.top - to.y);
  std::array<std::uint16_t, 256> lookup{};
  if (source.format == PixelFormat::Indexed8)
    for (int i = 0; i < 256; ++i) lookup[i] = ToRgb555(ColourOf((*source.palette)[i]));
  for (int row = 0; row < dst.Height(); ++row) {
    std::uint16_t* out = target.Row16(dst.top + row) + dst.left;
    if (source.format == PixelFormat::Rgb555) {
      std::copy_n(source.Row16(sy + row) + sx, dst.Width(), out);
    } else {
      const std::uint8_t* in = source.Row8(sy + row) + sx;
      for (int x = 0; x < dst.Width(); ++x) out[x] = lookup[in[x]];
    }
  }
  return true;
}

void FillRect(const PixelView& target, Rect area, RgbColor colour, Rect clip) {
  if (!target.IsValid()) return;
  const Rect r = area.Intersect(Bounds(target)).Intersect(clip);
  if (r.IsEmpty()) return;
  if (target.format == PixelFormat::Rgb555) {
    const std::uint16_t value = ToRgb555(colour);
    for (int y = r.top; y < r.bottom; ++y) std::fill_n(target.Row16(y) + r.left, r.Width(), value);
  } else {
    const std::uint8_t index = NearestPaletteIndex(*target.palette, colour);
    for (int y = r.top; y < r.bottom; ++y) std::fill_n(target.Row8(y) + r.left, r.Width(), index);
  }
}

}  // namespace tovrik::platform
