#pragma once
// The program's icon in the title bar and the task bar, read from a BMP
// file: a 32-bit picture keeps its alpha channel, a 24-bit one has magenta
// RGB(255,0,255) cut away, as the cursors and window shapes do. SDL takes
// one picture and the window manager scales it for the small icon.

#include <filesystem>
#include <memory>
#include <string>

struct SDL_Surface;
struct SDL_Window;

namespace tovrik::platform {

struct IconImageDeleter {
  void operator()(SDL_Surface* surface) const;
};
using IconImage = std::unique_ptr<SDL_Surface, IconImageDeleter>;

// The picture as ARGB8888 with its transparency applied; null with `error`
// set when the file cannot be read.
IconImage LoadIconImage(const std::filesystem::path& file, std::string* error = nullptr);

// Gives `window` the picture of `file` as its icon. False with `error` set
// when there is no window or the file cannot be read; the window then keeps
// the icon it had.
bool SetWindowIcon(SDL_Window* window, const std::filesystem::path& file, std::string* error = nullptr);

}  // namespace tovrik::platform
