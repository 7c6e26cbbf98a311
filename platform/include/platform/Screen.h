#pragma once
// The one SDL window of the program and its presentation: the composed
// page (RGB555, or 8 bits through its palette) is uploaded to a streaming
// RGB555 texture and drawn at an integer scale, nearest neighbour, so the
// picture is never blurred. SDL maps mouse positions back to page pixels.
// Works under SDL's dummy video driver (nothing is shown).

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/Geometry.h"
#include "platform/Surface.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace tovrik::platform {

class Screen {
 public:
  // Opens a window for a `width` x `height` page; SDL video must be
  // initialised. Null with `error` set on failure.
  static std::unique_ptr<Screen> Open(const std::string& titleUtf8, int width, int height, std::string* error = nullptr);
  ~Screen();
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  // Shows the page; it must have the size the screen was opened with. A
  // page identical to the one shown last is not drawn again: a window whose
  // timer repaints an unchanged picture costs a comparison, not a frame.
  bool Present(const PixelView& page);
  // The window's picture was lost or changed size (exposed, restored,
  // scaled): the next page is drawn even if it is unchanged.
  void Refresh() { shown_.clear(); }

  // The largest integer factor at which the window still fits the usable
  // area of its display (at least 1).
  int FittingScale() const;
  // Resizes the window to the page times `factor` (factor >= 1).
  void SetScale(int factor);
  int Scale() const { return scale_; }

  // Full screen at width x height: the display's own mode of that size when
  // it has one, else the desktop's mode with the page centred at an integer
  // scale. False when SDL refuses both.
  bool EnterFullscreen(int width, int height);
  void LeaveFullscreen();
  bool IsFullscreen() const { return fullscreen_; }

  // Where the input method shows its window, in page pixels.
  void SetTextInputRect(const Rect& pageRect);
  Point WindowPosition() const;
  void SetWindowPosition(Point p);
  void SetTitle(const std::string& titleUtf8);
  // Centres the window on the display it is on (nothing in full screen).
  void CentreOnDisplay();
  void Minimise();
  // Shows the window, brings it above the others and gives it the input.
  void ShowAndRaise();
  // The title-bar icon from a BMP file (see WindowIcon.h); false with
  // `error` set when the file cannot be read, the old icon then stays.
  bool SetIcon(const std::filesystem::path& file, std::string* error = nullptr);

  SDL_Window* NativeWindow() const { return window_; }
  int PageWidth() const { return width_; }
  int PageHeight() const { return height_; }

 private:
  Screen() = default;

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int scale_ = 1;
  bool fullscreen_ = false;
  bool Unchanged(const void* pixels, int pitch) const;
  void Remember(const void* pixels, int pitch);

  std::vector<std::uint16_t> converted_;
  std::vector<std::uint16_t> shown_;  // the last page drawn, packed rows
};

}  // namespace tovrik::platform
