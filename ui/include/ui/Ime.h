#pragma once
// Follows the input method for a window that draws its own text (the game
// view): while a Korean syllable is being composed it is available as
// GetNowStr, and each committed character reaches the window as one
// WM_CHAR (code page 949; a double-byte character as lead byte | trail
// byte << 8). The window hands its input-method messages to OnMessage and
// skips its default handling of those it took, which would type the
// committed text a second time.

#include <array>
#include <string_view>

#include "platform/Messages.h"
#include "platform/Window.h"

namespace tovrik::ui {

class CIME {
 public:
  static constexpr int kComposing = 128;
  static constexpr int kIdle = 129;

  void Init(platform::Window& window);
  // 1 when it handled an input-method message.
  int OnMessage(platform::MsgId msg, platform::WParam w, platform::LParam l);
  int IsNowComp() const { return compState_ == kComposing ? 1 : 0; }
  // The character being composed (code page 949); empty when idle.
  std::string_view GetNowStr() const;

 private:
  void SendCommitted();

  platform::WindowHandle window_ = platform::WindowHandle::None;
  int compState_ = kIdle;
  // The composed character and its terminator.
  std::array<char, 5> text_{};
};

}  // namespace tovrik::ui
