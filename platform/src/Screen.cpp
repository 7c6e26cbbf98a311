#include "platform/Screen.h"

#include "platform/WindowIcon.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace tovrik::platform {

std::unique_ptr<Screen> Screen::Open(const std::string& titleUtf8, int width, int height, std::string* error) {
  auto fail = [&](const char* what) -> std::unique_ptr<Screen> {
    if (error) *error = std::string(what) + ": " + SDL_GetError();
    return nullptr;
  };
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return fail("SDL video is not initialised");
  std::unique_ptr<Screen> screen(new Screen);
  screen->width_ = width;
  screen->height_ = height;
  screen->window_ = SDL_CreateWindow(titleUtf8.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                     SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
  if (!screen->window_) return fail("SDL_CreateWindow");
  // Nearest-neighbour scaling: the page's pixels stay sharp at any factor.
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  screen->renderer_ = SDL_CreateRenderer(screen->window_, -1, SDL_RENDERER_ACCELERATED);
  if (!screen->renderer_) screen->renderer_ = SDL_CreateRenderer(screen->window_, -1, SDL_RENDERER_SOFTWARE);
  if (!screen->renderer_) return fail("SDL_CreateRenderer");
  SDL_RenderSetLogicalSize(screen->renderer_, width, height);
  SDL_RenderSetIntegerScale(screen->renderer_, SDL_TRUE);
  screen->texture_ =
      SDL_CreateTexture(screen->renderer_, SDL_PIXELFORMAT_RGB555, SDL_TEXTUREACCESS_STREAMING, width, height);
  if (!screen->texture_) return fail("SDL_CreateTexture");
  screen->SetScale(screen->FittingScale());
  SDL_ShowWindow(screen->window_);
  return screen;
}

Screen::~Screen() {
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
}

bool Screen::Present(const PixelView& page) {
  if (!page.IsValid() || page.width != width_ || page.height != height_) return false;
  const void* pixels = page.pixels;
  int pitch = page.pitch;
  if (page.format == PixelFormat::Indexed8) {
    converted_.resize(static_cast<std::size_t>(width_) * height_);
    const PixelView target{converted_.data(), width_, height_, width_ * 2, PixelFormat::Rgb555, nullptr};
    CopyToRgb555(target, {0, 0}, page, Bounds(page), Bounds(target));
    pixels = converted_.data();
    pitch = width_ * 2;
  }
  if (Unchanged(pixels, pitch)) return true;
  if (SDL_UpdateTexture(texture_, nullptr, pixels, pitch) != 0) return false;
  Remember(pixels, pitch);
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
  return true;
}

bool Screen::Unchanged(const void* pixels, int pitch) const {
  if (shown_.empty()) return false;
  const auto* row = static_cast<const std::uint8_t*>(pixels);
  const std::size_t rowBytes = static_cast<std::size_t>(width_) * 2;
  for (int y = 0; y < height_; ++y, row += pitch)
    if (std::memcmp(row, shown_.data() + static_cast<std::size_t>(y) * width_, rowBytes) != 0) return false;
  return true;
}

void Screen::Remember(const void* pixels, int pitch) {
  shown_.resize(static_cast<std::size_t>(width_) * height_);
  const auto* row = static_cast<const std::uint8_t*>(pixels);
  const std::size_t rowBytes = static_cast<std::size_t>(width_) * 2;
  for (int y = 0; y < height_; ++y, row += pitch)
    std::memcpy(shown_.data() + static_cast<std::size_t>(y) * width_, row, rowBytes);
}

int Screen::FittingScale() const {
  SDL_Rect usable{};
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
  if (SDL_GetDisplayUsableBounds(display, &usable) != 0 || usable.w <= 0 || usable.h <= 0) return 1;
  // Leave room for the desktop's own window frame.
  const int factor = std::min((usable.w - 16) / width_, (usable.h - 48) / height_);
  return std::max(1, factor);
}

void Screen::SetScale(int factor) {
  Refresh();
  scale_ = std::max(1, factor);
  if (!fullscreen_) SDL_SetWindowSize(window_, width_ * scale_, height_ * scale_);
}

bool Screen::EnterFullscreen(int width, int height) {
  Refresh();
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
  SDL_DisplayMode wanted{};
  wanted.w = width;
  wanted.h = height;
  SDL_DisplayMode closest{};
  // An exclusive mode only when the display has exactly that size.
  if (SDL_GetClosestDisplayMode(display, &wanted, &closest) && closest.w == width && closest.h == height &&
      SDL_SetWindowDisplayMode(window_, &closest) == 0 && SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) == 0) {
    fullscreen_ = true;
    return true;
  }
  if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0) {
    fullscreen_ = true;
    return true;
  }
  return false;
}

void Screen::LeaveFullscreen() {
  Refresh();
  if (!fullscreen_) return;
  SDL_SetWindowFullscreen(window_, 0);
  fullscreen_ = false;
  SetScale(scale_);
}

void Screen::SetTextInputRect(const Rect& pageRect) {
  int x = 0, y = 0;
  SDL_RenderLogicalToWindow(renderer_, static_cast<float>(pageRect.left), static_cast<float>(pageRect.top), &x, &y);
  SDL_Rect rect{x, y, pageRect.Width() * scale_, pageRect.Height() * scale_};
  SDL_SetTextInputRect(&rect);
}

Point Screen::WindowPosition() const {
  Point p;
  SDL_GetWindowPosition(window_, &p.x, &p.y);
  return p;
}

void Screen::SetWindowPosition(Point p) { SDL_SetWindowPosition(window_, p.x, p.y); }

void Screen::SetTitle(const std::string& titleUtf8) { SDL_SetWindowTitle(window_, titleUtf8.c_str()); }

void Screen::CentreOnDisplay() {
  if (fullscreen_) return;
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
  SDL_SetWindowPosition(window_, int(SDL_WINDOWPOS_CENTERED_DISPLAY(display)), int(SDL_WINDOWPOS_CENTERED_DISPLAY(display)));
}

void Screen::Minimise() { SDL_MinimizeWindow(window_); }

void Screen::ShowAndRaise() {
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
}

bool Screen::SetIcon(const std::filesystem::path& file, std::string* error) { return SetWindowIcon(window_, file, error); }

}  // namespace tovrik::platform
