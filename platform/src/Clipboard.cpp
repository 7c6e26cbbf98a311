#include "platform/Clipboard.h"

#include <SDL.h>

#include <mutex>

namespace tovrik::platform {
namespace {

std::mutex g_mutex;
std::string g_processText;

bool SdlVideoActive() { return SDL_WasInit(SDL_INIT_VIDEO) != 0; }

}  // namespace

bool SetClipboardText(std::string_view utf8) {
  const std::string text(utf8);
  {
    std::lock_guard lock(g_mutex);
    g_processText = text;
  }
  return !SdlVideoActive() || SDL_SetClipboardText(text.c_str()) == 0;
}

std::string GetClipboardText() {
  if (SdlVideoActive()) {
    char* text = SDL_GetClipboardText();
    if (text) {
      std::string copy(text);
      SDL_free(text);
      return copy;
    }
  }
  std::lock_guard lock(g_mutex);
  return g_processText;
}

}  // namespace tovrik::platform
