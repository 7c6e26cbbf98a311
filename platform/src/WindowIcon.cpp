#include "platform/WindowIcon.h"

#include <SDL.h>

namespace tovrik::platform {

void IconImageDeleter::operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }

IconImage LoadIconImage(const std::filesystem::path& file, std::string* error) {
  IconImage loaded(SDL_LoadBMP(file.c_str()));
  if (!loaded) {
    if (error) *error = file.string() + ": " + SDL_GetError();
    return nullptr;
  }
  // Without an alpha channel the conversion would make every pixel opaque;
  // the colour key turns magenta into alpha 0 on the way.
  if (loaded->format->Amask == 0) SDL_SetColorKey(loaded.get(), SDL_TRUE, SDL_MapRGB(loaded->format, 255, 0, 255));
  IconImage argb(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_ARGB8888, 0));
  if (!argb && error) *error = file.string() + ": " + SDL_GetError();
  return argb;
}

bool SetWindowIcon(SDL_Window* window, const std::filesystem::path& file, std::string* error) {
  if (!window) {
    if (error) *error = "no window";
    return false;
  }
  IconImage icon = LoadIconImage(file, error);
  if (!icon) return false;
  // SDL keeps its own copy of the pixels.
  SDL_SetWindowIcon(window, icon.get());
  return true;
}

}  // namespace tovrik::platform
