#include "platform/Display.h"

#include "platform/EventLoop.h"
#include "platform/Screen.h"

namespace tovrik::platform {

bool ScreenDisplayBackend::SetMode(int width, int height, int bitsPerPixel) {
  if (!screen_ || width <= 0 || height <= 0 || bitsPerPixel <= 0) return false;
  return screen_->EnterFullscreen(width, height);
}

void ScreenDisplayBackend::RestoreMode() {
  if (screen_) screen_->LeaveFullscreen();
}

CDisplay::CDisplay(std::unique_ptr<DisplayModeBackend> backend) : backend_(std::move(backend)) {}

CDisplay::~CDisplay() {
  if (opened_) CloseDirectDraw();
}

int CDisplay::InitDirectDraw(WindowHandle window, int width, int height, int bitsPerPixel) {
  if (opened_) CloseDirectDraw();
  window_ = window;
  if (!backend_) {
    EventLoop* loop = EventLoop::Current();
    Screen* screen = loop ? loop->GetScreen() : nullptr;
    if (!screen) return 0;
    backend_ = std::make_unique<ScreenDisplayBackend>(screen);
  }
  if (!backend_->SetMode(width, height, bitsPerPixel)) return 0;
  opened_ = 1;
  return 1;
}

void CDisplay::CloseDirectDraw() {
  if (opened_ && backend_) backend_->RestoreMode();
  opened_ = 0;
}

}  // namespace tovrik::platform
