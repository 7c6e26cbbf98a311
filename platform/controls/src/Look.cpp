#include "controls/Look.h"

#include "controls/TextLayout.h"

namespace tovrik::controls {
using platform::PaintContext;
using platform::Rect;
using platform::RgbColor;

void DrawFrame(const PaintContext& pc, Rect r, RgbColor colour) {
  if (r.IsEmpty()) return;
  pc.Fill({r.left, r.top, r.right, r.top + 1}, colour);
  pc.Fill({r.left, r.bottom - 1, r.right, r.bottom}, colour);
  pc.Fill({r.left, r.top, r.left + 1, r.bottom}, colour);
  pc.Fill({r.right - 1, r.top, r.right, r.bottom}, colour);
}

void DrawEdge(const PaintContext& pc, Rect r, bool raised) {
  if (r.Width() < 2 || r.Height() < 2) return;
  const RgbColor outerLight = raised ? SystemColours::kHighlight : SystemColours::kShadow;
  const RgbColor outerDark = raised ? SystemColours::kDarkShadow : SystemColours::kHighlight;
  const RgbColor innerDark = raised ? SystemColours::kShadow : SystemColours::kDarkShadow;
  pc.Fill({r.left, r.top, r.right - 1, r.top + 1}, outerLight);
  pc.Fill({r.left, r.top, r.left + 1, r.bottom - 1}, outerLight);
  pc.Fill({r.left, r.bottom - 1, r.right, r.bottom}, outerDark);
  pc.Fill({r.right - 1, r.top, r.right, r.bottom}, outerDark);
  pc.Fill({r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1}, innerDark);
  pc.Fill({r.right - 2, r.top + 1, r.right - 1, r.bottom - 1}, innerDark);
}

void DrawCaption(const PaintContext& pc, std::string_view utf8, Rect box, unsigned format, RgbColor colour) {
  const auto font = platform::Font::Default();
  if (!font || utf8.empty()) return;
  Rect placed = box.Offset(pc.Origin().x, pc.Origin().y);
  controls::DrawText(pc.Target(), *font, utf8, placed, format, colour, pc.Clip());
}

}  // namespace tovrik::controls
