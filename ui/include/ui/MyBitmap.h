#pragma once
// A bitmap file held for painting a skinned window: the dialog backgrounds,
// the button strips and the check images. Pixels are kept in RGB555, the
// form every page and window surface of the client uses.

#include <filesystem>
#include <string_view>

#include "gfx/Bitmap.h"
#include "platform/Geometry.h"
#include "platform/Surface.h"
#include "platform/Window.h"

namespace tovrik::ui {

class CMyBitmap {
 public:
  // Loads a BMP file (a Windows-style path, folders matched without regard
  // to letter case). Any previous image is released first. 1 on success; 0
  // for an empty path or an unreadable file, which leaves no image.
  int LoadBitmapFile(std::string_view path);
  // The same with a relative path taken from `base`.
  int LoadBitmapFile(std::string_view path, const std::filesystem::path& base);
  // Numbered bitmap resource `id` of the program in `programDir`.
  int LoadBitmapResource(int id, const std::filesystem::path& programDir = ".");
  void Release();

  bool IsLoaded() const { return bitmap_.IsLoaded(); }
  int GetWidth() const { return bitmap_.Width(); }
  int GetHeight() const { return bitmap_.Height(); }
  // The image as a view (empty without one).
  platform::PixelView View() const;

  // Copies the whole image to the window's (0, 0).
  void BitBlt(const platform::PaintContext& pc) const;
  // Copies `from` of the image to (x, y) of the window.
  void Blit(const platform::PaintContext& pc, int x, int y, platform::Rect from) const;
  // Copies the area (sourceX, sourceY, width, height) of the image to (x, y),
  // leaving the target untouched where the image has exactly `transparent`.
  // A width or height of 0 means the image's. 0 without an image.
  int TransDraw(const platform::PaintContext& pc, int x, int y, int width, int height, int sourceX, int sourceY,
                platform::RgbColor transparent) const;
  // The same onto any view; `clip` is in the target's coordinates.
  int TransDraw(const platform::PixelView& target, platform::Rect clip, int x, int y, int width, int height,
                int sourceX, int sourceY, platform::RgbColor transparent) const;

  // Sizes `window` to the image and moves it to (dx, dy) of its parent, or
  // relative to the top-left of `reference` when one is given; with
  // `centre` it is centred on `reference` (on its parent without one).
  void ResizeWnd(platform::Window& window, int dx, int dy, bool centre, const platform::Window* reference) const;

 private:
  gfx::xBitmap bitmap_;
};

}  // namespace tovrik::ui
