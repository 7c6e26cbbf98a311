#include "portal/BannerWnd.h"

#include "base/Log.h"
#include "platform/PathResolver.h"

#include <SDL.h>

#include <cstring>

using namespace tovrik::platform;
namespace base = tovrik::base;

CBannerWnd::~CBannerWnd() {
  browser_.reset();
  Destroy();
}

bool CBannerWnd::SetBmp(std::string_view path) {
  picture_.clear();
  pictureWidth_ = pictureHeight_ = 0;
  SDL_Surface* loaded = SDL_LoadBMP(ResolvePath(path).c_str());
  if (!loaded) {
    base::Log(base::LogLevel::Warn, "portal", "banner picture ", path, " cannot be read: ", SDL_GetError());
    return false;
  }
  SDL_Surface* rgb555 = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB555, 0);
  SDL_FreeSurface(loaded);
  if (!rgb555) return false;
  pictureWidth_ = rgb555->w;
  pictureHeight_ = rgb555->h;
  picture_.resize(size_t(pictureWidth_) * size_t(pictureHeight_));
  for (int y = 0; y < pictureHeight_; ++y)
    std::memcpy(picture_.data() + size_t(y) * size_t(pictureWidth_),
                static_cast<const std::uint8_t*>(rgb555->pixels) + std::ptrdiff_t(y) * rgb555->pitch,
                size_t(pictureWidth_) * 2);
  SDL_FreeSurface(rgb555);
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
  SurfaceView view{picture_.data(), pictureWidth_, pictureHeight_, pictureWidth_ * 2, PixelFormat::Rgb555, nullptr};
  pc.Blit(0, 0, view);
}
