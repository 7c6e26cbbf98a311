#include "ui/Ime.h"

#include <cstring>

#include "base/CodePage.h"
#include "platform/EventLoop.h"

namespace tovrik::ui {
using platform::LParam;
using platform::MsgId;
using platform::WParam;

void CIME::Init(platform::Window& window) {
  window_ = window.Handle();
  compState_ = kIdle;
  text_ = {};
}

std::string_view CIME::GetNowStr() const {
  if (compState_ != kComposing) return {};
  return {text_.data(), ::strnlen(text_.data(), text_.size())};
}

void CIME::SendCommitted() {
  platform::EventLoop* loop = platform::EventLoop::Current();
  if (!loop) return;
  // Every character of the commit arrives, however many there were.
  for (std::uint16_t character : base::Cp949Characters(loop->GetCompositionResult()))
    loop->SendMessage(window_, platform::WM_CHAR, character, 1);
}

int CIME::OnMessage(MsgId msg, WParam w, LParam l) {
  switch (msg) {
    case platform::WM_IME_STARTCOMPOSITION:
      compState_ = kComposing;
      return 1;
    case platform::WM_IME_ENDCOMPOSITION:
      compState_ = kIdle;
      text_ = {};
      return 1;
    case platform::WM_IME_COMPOSITION:
      if (l & platform::GCS_RESULTSTR) {
        text_ = {};
        SendCommitted();
      } else {
        // The character in wParam, high byte first.
        const unsigned character = static_cast<unsigned>(w) & 0xFFFF;
        text_ = {};
        if (character > 0xFF) {
          text_[0] = static_cast<char>(character >> 8);
          text_[1] = static_cast<char>(character & 0xFF);
        } else {
          text_[0] = static_cast<char>(character);
        }
      }
      return 1;
    default:
      return 0;
  }
}

}  // namespace tovrik::ui
