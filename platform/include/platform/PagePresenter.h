#pragma once
// The one presenter from a drawing page to a window: what a screen flips
// (CPage::Flip, FlipToGDI, StretchFlip) is copied into the window's own
// picture, as a blit to a window's device context would, and the window
// paints that picture whenever the loop composes the frame. The page may
// change or go away after the flip; what was shown stays.

#include "gfx/Page.h"
#include "platform/Window.h"

#include <cstdint>
#include <vector>

namespace tovrik::platform {

class CPagePresenter final : public tovrik::gfx::IPagePresenter {
 public:
  // Presents into `window`'s client area; the window calls Paint from its
  // OnPaint.
  explicit CPagePresenter(Window& window) : window_(window) {}

  // The page at (x, y) of the client area, each pixel scale x scale.
  bool Present(const PixelView& page, int x, int y, int scale) override;
  // `source` of the page (null: all) stretched onto `target` of the client
  // area (null: all of it); rectangles are inclusive, as the pages' are.
  bool StretchPresent(const PixelView& page, const tovrik::gfx::PageRect* target,
                      const tovrik::gfx::PageRect* source) override;

  // Paints what was presented so far (nothing before the first flip).
  void Paint(PaintContext& pc) const;
  // The window's picture as presented (RGB555, client-area sized).
  PixelView Picture() const;

 private:
  bool FitPicture();
  // Nearest-neighbour copy of source (inclusive) onto target (inclusive).
  bool Stretch(const PixelView& page, tovrik::gfx::PageRect target, tovrik::gfx::PageRect source);

  Window& window_;
  std::vector<std::uint16_t> picture_;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace tovrik::platform
