#include "platform/Cursors.h"

#include <SDL.h>

#include <string>

#include "platform/PathResolver.h"

namespace tovrik::platform {
namespace {

SDL_Cursor* FromImage(const std::filesystem::path& file) {
  SDL_Surface* image = SDL_LoadBMP(file.c_str());
  if (!image) return nullptr;
  SDL_SetColorKey(image, SDL_TRUE, SDL_MapRGB(image->format, 255, 0, 255));
  SDL_Surface* rgba = SDL_ConvertSurfaceFormat(image, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(image);
  if (!rgba) return nullptr;
  SDL_Cursor* cursor = SDL_CreateColorCursor(rgba, 0, 0);
  SDL_FreeSurface(rgba);
  return cursor;
}

SDL_SystemCursor SystemKind(int index) {
  constexpr SDL_SystemCursor kinds[CursorSet::kCount] = {SDL_SYSTEM_CURSOR_ARROW, SDL_SYSTEM_CURSOR_HAND,
                                                         SDL_SYSTEM_CURSOR_SIZEALL, SDL_SYSTEM_CURSOR_WAIT,
                                                         SDL_SYSTEM_CURSOR_CROSSHAIR};
  return kinds[index];
}

}  // namespace

CursorSet::CursorSet(const std::filesystem::path& base) {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  for (int i = 0; i < kCount; ++i) {
    const std::string name = ".\\image\\cursor" + std::to_string(kFirstId + i) + ".bmp";
    cursors_[i] = FromImage(ResolvePath(name, base));
    if (!cursors_[i]) cursors_[i] = SDL_CreateSystemCursor(SystemKind(i));
  }
}

CursorSet::~CursorSet() {
  for (SDL_Cursor* cursor : cursors_)
    if (cursor) SDL_FreeCursor(cursor);
}

bool CursorSet::Has(int id) const {
  return id >= kFirstId && id < kFirstId + kCount && cursors_[id - kFirstId] != nullptr;
}

bool CursorSet::Set(int id) {
  if (!Has(id)) return false;
  if (current_ != id) SDL_SetCursor(cursors_[id - kFirstId]);
  current_ = id;
  return true;
}

}  // namespace tovrik::platform
