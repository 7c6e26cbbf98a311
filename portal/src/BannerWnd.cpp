#include "portal/BannerWnd.h"

#include "base/Log.h"
#include "gfx/Bitmap.h"
#include "platform/PathResolver.h"

using namespace tovrik::platform;
namespace base = tovrik::base;

namespace tovrik::portal {

CBannerWnd::~CBannerWnd() {
  browser_.reset();
  Destroy();
}

bool CBannerWnd::SetBmp(std::string_view path) {
  picture_.clear();
  pictureWidth_ = pictureHeight_ = 0;
  tovrik::gfx::xBitmap bitmap;
  if (!bitmap.Load(ResolvePath(path))) {
    base::Log(base::LogLevel::Warn, "portal", "banner picture ", path, " cannot be read: ", bitmap.LastError());
    return false;
  }
  pictureWidth_ = bitmap.Width();
  pictureHeight_ = bitmap.Height();
  picture_ = bitmap.Pixels();
  if (IsCreated()) Invalidate();
  return true;
}

bool CBannerWnd::OpenURL(std::string_view address) {
  if (address.empty()) return false;
  url_ = address;
  if (!IsCreated()) return true;  // opened when the window is created
  return OpenStoredURL();
}

bool CBannerWnd::OpenStoredURL() {
  if (!browser_) {
    auto browser = std::make_unique<CSSOWebBrowser>(library_);
    Rect client = GetClientRect();
    if (!browser->Create(WS_VISIBLE, {client.left, client.top, client.right, client.bottom}, this, kBrowserId))
      return false;
    browser_ = std::move(browser);
  }
  return browser_->Navigate(url_);
}

LResult CBannerWnd::WindowProc(MsgId msg, WParam w, LParam l) {
  if (msg == WM_CREATE && !url_.empty()) OpenStoredURL();
  return Window::WindowProc(msg, w, l);
}

void CBannerWnd::OnPaint(PaintContext& pc) {
  if (picture_.empty()) return;
  PixelView view{picture_.data(), pictureWidth_, pictureHeight_, pictureWidth_ * 2, PixelFormat::Rgb555, nullptr};
  pc.Blit(0, 0, view);
}

}  // namespace tovrik::portal
