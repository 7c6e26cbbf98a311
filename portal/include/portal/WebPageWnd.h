#pragma once
// The window an embedded page is shown in: it pumps the browser library
// from the event loop, paints the page's pixels when the page changed, and
// hands the mouse, the keys, typed text and the focus over to the page.

#include "platform/Window.h"

#include <cstdint>
#include <vector>

namespace tovrik::portal {

class CSSOWebLibMan;

class CWebPageWnd : public tovrik::platform::Window {
 public:
  // How often the page's work is pumped while the window exists.
  static constexpr std::uint32_t kPumpPeriodMs = 10;
  static constexpr std::uintptr_t kPumpTimer = 1;

  CWebPageWnd(CSSOWebLibMan& library, void* browser) : library_(library), browser_(browser) {}
  ~CWebPageWnd() override;

  // Pumps the library and takes the page's new pixels; true when they changed.
  bool Refresh();
  const std::vector<std::uint16_t>& Pixels() const { return pixels_; }

  tovrik::platform::LResult WindowProc(tovrik::platform::MsgId msg, tovrik::platform::WParam w,
                                       tovrik::platform::LParam l) override;
  void OnPaint(tovrik::platform::PaintContext& pc) override;

 private:
  void SendMouse(int kind, tovrik::platform::LParam l, int button);
  unsigned Modifiers() const;

  CSSOWebLibMan& library_;
  void* browser_;
  std::vector<std::uint16_t> pixels_;
  int width_ = 0;
  int height_ = 0;
  bool hasPixels_ = false;
};

}  // namespace tovrik::portal
