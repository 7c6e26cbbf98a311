#pragma once
// Starting and stopping SDL for the program, with the settings every run
// needs: the input-method module picked before SDL starts (SDL reads it only
// then), nearest-neighbour scaling and text input for the Korean screens.

#include <functional>
#include <memory>
#include <string>

namespace tovrik::platform {

// The input-method module SDL should use, from the desktop's own settings:
// SDL_IM_MODULE when set; else "fcitx" when XMODIFIERS, GTK_IM_MODULE or
// QT_IM_MODULE names fcitx (SDL would fall back to IBus and Korean typing
// would go nowhere); else "ibus" when they name ibus; else empty (leave SDL
// to its default). `getenv` is the environment to read.
std::string ChooseInputMethodModule(const std::function<const char*(const char*)>& getenv);

class SdlSession {
 public:
  // Initialises SDL video and timers (audio is the sound system's). Null
  // with `error` set when SDL cannot start.
  static std::unique_ptr<SdlSession> Start(std::string* error = nullptr);
  ~SdlSession();
  SdlSession(const SdlSession&) = delete;
  SdlSession& operator=(const SdlSession&) = delete;

  const std::string& InputMethodModule() const { return imModule_; }

 private:
  SdlSession() = default;
  std::string imModule_;
};

}  // namespace tovrik::platform
