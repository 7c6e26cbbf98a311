#pragma once
// A main window on a fake clock with automation, for driving controls as a
// person would. The main window writes down the notifications its children
// send (WM_COMMAND codes) and the keys they pass on to it.

#include <functional>
#include <string>
#include <vector>

#include "base/CodePage.h"
#include "platform/Automation.h"
#include "platform/Clock.h"
#include "platform/EventLoop.h"
#include "platform/Window.h"

namespace tovrik::controls::testing {

struct Notification {
  int id;
  unsigned code;
  friend bool operator==(const Notification&, const Notification&) = default;
};

class RecordingParent : public platform::Window {
 public:
  ~RecordingParent() override { Destroy(); }
  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override {
    if (msg == platform::WM_COMMAND)
      notifications.push_back({static_cast<int>(platform::LowWord(w)), platform::HighWord(w)});
    if (msg == platform::WM_KEYDOWN) keys.push_back(w);
    if (onMessage) onMessage(msg, w, l);
    return Window::WindowProc(msg, w, l);
  }
  void OnPaint(platform::PaintContext& pc) override { pc.Fill(GetClientRect(), {212, 208, 200}); }
  int Count(unsigned code) const {
    int n = 0;
    for (const auto& note : notifications) n += note.code == code ? 1 : 0;
    return n;
  }

  // Sees every message after it is written down.
  std::function<void(platform::MsgId, platform::WParam, platform::LParam)> onMessage;
  std::vector<Notification> notifications;
  std::vector<platform::WParam> keys;
};

class ControlRig {
 public:
  ControlRig() { main.Create(nullptr, platform::Rect::FromSize(0, 0, 320, 240)); }

  // Holds a modifier key down for the lifetime of the returned guard.
  struct Held {
    ControlRig& rig;
    platform::WParam key;
    ~Held() { rig.loop.InjectKey(key, false); }
  };
  Held Hold(platform::WParam key) {
    loop.InjectKey(key, true);
    return Held{*this, key};
  }

  platform::FakeClock clock;
  platform::EventLoop loop{clock};
  platform::Automation automation{loop};
  RecordingParent main;
};

inline std::string Cp(std::string_view utf8) { return base::Utf8ToCp949(utf8); }

// The composed frame, repainted first when something changed.
inline platform::PixelView PaintedFrame(platform::EventLoop& loop) {
  if (loop.NeedsPaint()) loop.PaintNow();
  return loop.Frame();
}

}  // namespace tovrik::controls::testing
