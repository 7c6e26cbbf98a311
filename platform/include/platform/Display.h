#pragma once
// Switching the whole screen to the game's 800 x 600 picture and back.

#include <memory>

#include "platform/Window.h"

namespace tovrik::platform {

class Screen;

// What actually changes the display; tests put a recorder here.
class DisplayModeBackend {
 public:
  virtual ~DisplayModeBackend() = default;
  virtual bool SetMode(int width, int height, int bitsPerPixel) = 0;
  virtual void RestoreMode() = 0;
};

// Full screen through a Screen: the display's own mode of that size when it
// offers one, else the desktop's mode with the picture centred and scaled.
class ScreenDisplayBackend final : public DisplayModeBackend {
 public:
  explicit ScreenDisplayBackend(Screen* screen) : screen_(screen) {}
  bool SetMode(int width, int height, int bitsPerPixel) override;
  void RestoreMode() override;

 private:
  Screen* screen_;
};

class CDisplay {
 public:
  // Without a backend, the screen of the current event loop is used.
  explicit CDisplay(std::unique_ptr<DisplayModeBackend> backend = nullptr);
  ~CDisplay();
  CDisplay(const CDisplay&) = delete;
  CDisplay& operator=(const CDisplay&) = delete;

  // 1 when the mode is set, else 0. A mode still held is given back first.
  int InitDirectDraw(WindowHandle window, int width, int height, int bitsPerPixel);
  void CloseDirectDraw();
  int IsOpened() const { return opened_; }
  WindowHandle GetWindow() const { return window_; }

 private:
  std::unique_ptr<DisplayModeBackend> backend_;
  WindowHandle window_ = WindowHandle::None;
  int opened_ = 0;
};

}  // namespace tovrik::platform
