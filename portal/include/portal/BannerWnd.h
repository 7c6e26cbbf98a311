#pragma once
// The banner strip of the lobby and the game room: a picture painted over
// the whole client area, or, once an address is opened, an embedded page of
// the portal browser in its place.

#include "platform/Window.h"
#include "portal/SSOWebLib.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tovrik::portal {

class CBannerWnd : public tovrik::platform::Window {
 public:
  static constexpr int kBrowserId = 61321;

  explicit CBannerWnd(CSSOWebLibMan& library = g_SSOWebLibMan) : library_(library) {}
  ~CBannerWnd() override;

  // Names the picture (a BMP file, path written the Windows way relative to
  // the program folder) painted over the client area. False when it cannot
  // be read; the banner then paints nothing of its own.
  bool SetBmp(std::string_view path);

  // Opens the address in the banner's page, making the page on first use
  // (before the window exists, the address waits for its creation). False
  // for an empty address or when the page cannot be made.
  bool OpenURL(std::string_view address);

  const std::string& url() const { return url_; }
  CSSOWebBrowser* browser() const { return browser_.get(); }

  tovrik::platform::LResult WindowProc(tovrik::platform::MsgId msg, tovrik::platform::WParam w,
                                       tovrik::platform::LParam l) override;
  void OnPaint(tovrik::platform::PaintContext& pc) override;

 private:
  bool OpenStoredURL();

  CSSOWebLibMan& library_;
  std::string url_;
  std::unique_ptr<CSSOWebBrowser> browser_;
  std::vector<std::uint16_t> picture_;  // RGB555
  int pictureWidth_ = 0;
  int pictureHeight_ = 0;
};

}  // namespace tovrik::portal
