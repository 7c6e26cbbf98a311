#include "platform/PagePresenter.h"

#include <array>

using tovrik::gfx::PageRect;

namespace tovrik::platform {

bool CPagePresenter::FitPicture() {
  const Rect client = window_.GetClientRect();
  if (client.Width() <= 0 || client.Height() <= 0) return false;
  if (client.Width() != width_ || client.Height() != height_) {
    width_ = client.Width();
    height_ = client.Height();
    picture_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
  }
  return true;
}

PixelView CPagePresenter::Picture() const {
  if (picture_.empty()) return {};
  return {const_cast<std::uint16_t*>(picture_.data()), width_, height_, width_ * 2, PixelFormat::Rgb555, nullptr};
}

bool CPagePresenter::Present(const PixelView& page, int x, int y, int scale) {
  if (scale < 1) scale = 1;
  if (!page.IsValid()) return false;
  const PageRect target{x, y, x + page.width * scale - 1, y + page.height * scale - 1};
  return Stretch(page, target, PageRect{0, 0, page.width - 1, page.height - 1});
}

bool CPagePresenter::StretchPresent(const PixelView& page, const PageRect* target, const PageRect* source) {
  if (!page.IsValid() || !FitPicture()) return false;
  const PageRect to = target ? *target : PageRect{0, 0, width_ - 1, height_ - 1};
  const PageRect from = source ? *source : PageRect{0, 0, page.width - 1, page.height - 1};
  return Stretch(page, to, from);
}

bool CPagePresenter::Stretch(const PixelView& page, PageRect target, PageRect source) {
  if (!page.IsValid() || !FitPicture()) return false;
  const int targetW = target.x2 - target.x1 + 1, targetH = target.y2 - target.y1 + 1;
  const int sourceW = source.x2 - source.x1 + 1, sourceH = source.y2 - source.y1 + 1;
  if (targetW <= 0 || targetH <= 0 || sourceW <= 0 || sourceH <= 0) return false;
  std::array<std::uint16_t, 256> lookup{};
  if (page.format == PixelFormat::Indexed8)
    for (int i = 0; i < 256; ++i) lookup[i] = ToRgb555(ColourOf((*page.palette)[i]));
  for (int ty = std::max(target.y1, 0); ty <= std::min(target.y2, height_ - 1); ++ty) {
    const int sy = source.y1 + static_cast<int>(static_cast<long long>(ty - target.y1) * sourceH / targetH);
    if (sy < 0 || sy >= page.height) continue;
    std::uint16_t* out = picture_.data() + static_cast<std::size_t>(ty) * static_cast<std::size_t>(width_);
    for (int tx = std::max(target.x1, 0); tx <= std::min(target.x2, width_ - 1); ++tx) {
      const int sx = source.x1 + static_cast<int>(static_cast<long long>(tx - target.x1) * sourceW / targetW);
      if (sx < 0 || sx >= page.width) continue;
      out[tx] = page.format == PixelFormat::Rgb555 ? page.Row16(sy)[sx] : lookup[page.Row8(sy)[sx]];
    }
  }
  window_.Invalidate();
  return true;
}

void CPagePresenter::Paint(PaintContext& pc) const {
  const PixelView picture = Picture();
  if (picture.IsValid()) pc.Blit(0, 0, picture);
}

}  // namespace tovrik::platform
