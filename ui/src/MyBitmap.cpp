#include "ui/MyBitmap.h"

#include "base/Log.h"
#include "controls/BitmapResource.h"
#include "platform/PathResolver.h"

namespace tovrik::ui {
using platform::Point;
using platform::Rect;

int CMyBitmap::LoadBitmapFile(std::string_view path) { return LoadBitmapFile(path, std::filesystem::current_path()); }

int CMyBitmap::LoadBitmapFile(std::string_view path, const std::filesystem::path& base) {
  Release();
  if (path.empty()) return 0;
  if (!bitmap_.Load(platform::ResolvePath(path, base))) {
    base::Log(base::LogLevel::Warn, "ui", "bitmap ", path, " cannot be read: ", bitmap_.LastError());
    return 0;
  }
  return 1;
}

int CMyBitmap::LoadBitmapResource(int id, const std::filesystem::path& programDir) {
  Release();
  return controls::LoadBitmapResource(id, bitmap_, programDir) ? 1 : 0;
}

void CMyBitmap::Release() { bitmap_.Release(); }

platform::PixelView CMyBitmap::View() const {
  if (!bitmap_.IsLoaded()) return {};
  // Views are read here; nothing writes through this one.
  auto* pixels = const_cast<std::uint16_t*>(bitmap_.Pixels().data());
  return {pixels, bitmap_.Width(), bitmap_.Height(), bitmap_.Width() * 2, platform::PixelFormat::Rgb555, nullptr};
}

void CMyBitmap::BitBlt(const platform::PaintContext& pc) const {
  if (IsLoaded()) pc.Blit(0, 0, View());
}

void CMyBitmap::Blit(const platform::PaintContext& pc, int x, int y, Rect from) const {
  if (IsLoaded()) pc.Blit(x, y, View(), from);
}

int CMyBitmap::TransDraw(const platform::PaintContext& pc, int x, int y, int width, int height, int sourceX,
                         int sourceY, platform::RgbColor transparent) const {
  const Point o = pc.Origin();
  return TransDraw(pc.Target(), pc.Clip(), o.x + x, o.y + y, width, height, sourceX, sourceY, transparent);
}

int CMyBitmap::TransDraw(const platform::PixelView& target, Rect clip, int x, int y, int width, int height,
                         int sourceX, int sourceY, platform::RgbColor transparent) const {
  if (!IsLoaded()) return 0;
  if (width == 0) width = GetWidth();
  if (height == 0) height = GetHeight();
  if (!target.IsValid() || target.format != platform::PixelFormat::Rgb555) return 1;
  const Rect area = Rect::FromSize(x, y, width, height).Intersect(clip).Intersect(platform::Bounds(target));
  const std::uint16_t key = platform::ToRgb555(transparent);
  for (int ty = area.top; ty < area.bottom; ++ty) {
    const int sy = sourceY + (ty - y);
    if (sy < 0 || sy >= GetHeight()) continue;
    std::uint16_t* out = target.Row16(ty);
    for (int tx = area.left; tx < area.right; ++tx) {
      const int sx = sourceX + (tx - x);
      if (sx < 0 || sx >= GetWidth()) continue;
      const std::uint16_t pixel = bitmap_.At(sx, sy);
      if (pixel != key) out[tx] = pixel;
    }
  }
  return 1;
}

void CMyBitmap::ResizeWnd(platform::Window& window, int dx, int dy, bool centre,
                          const platform::Window* reference) const {
  const platform::Window* parent = window.Parent();
  // Positions are worked out in main-window pixels, then taken into the parent's.
  const Point parentOrigin = parent ? parent->GetScreenRect().TopLeft() : Point{};
  Point at{parentOrigin.x + dx, parentOrigin.y + dy};
  if (reference) {
    const Rect ref = reference->GetScreenRect();
    at = centre ? Point{ref.left + (ref.Width() - GetWidth()) / 2, ref.top + (ref.Height() - GetHeight()) / 2}
                : Point{ref.left + dx, ref.top + dy};
  }
  window.MoveWindow(Rect::FromSize(at.x - parentOrigin.x, at.y - parentOrigin.y, GetWidth(), GetHeight()));
  if (centre && !reference) window.CenterInParent();
}

}  // namespace tovrik::ui
