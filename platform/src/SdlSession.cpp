#include "platform/SdlSession.h"

#include <SDL.h>

#include <cstdlib>
#include <string_view>

namespace tovrik::platform {
namespace {

bool Names(const char* value, std::string_view module) {
  return value && std::string_view(value).find(module) != std::string_view::npos;
}

}  // namespace

std::string ChooseInputMethodModule(const std::function<const char*(const char*)>& getenv) {
  if (const char* chosen = getenv("SDL_IM_MODULE"); chosen && *chosen) return chosen;
  const char* sources[] = {getenv("XMODIFIERS"), getenv("GTK_IM_MODULE"), getenv("QT_IM_MODULE")};
  for (const char* value : sources)
    if (Names(value, "fcitx")) return "fcitx";
  for (const char* value : sources)
    if (Names(value, "ibus")) return "ibus";
  return {};
}

std::unique_ptr<SdlSession> SdlSession::Start(std::string* error) {
  std::unique_ptr<SdlSession> session(new SdlSession);
  session->imModule_ = ChooseInputMethodModule([](const char* name) { return std::getenv(name); });
  if (!session->imModule_.empty()) ::setenv("SDL_IM_MODULE", session->imModule_.c_str(), 0);
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  SDL_SetHint(SDL_HINT_IME_SHOW_UI, "1");
  // The caption drag and clicks that activate the window both reach the page.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
    if (error) *error = SDL_GetError();
    return nullptr;
  }
  SDL_StartTextInput();
  return session;
}

SdlSession::~SdlSession() { SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER); }

}  // namespace tovrik::platform
