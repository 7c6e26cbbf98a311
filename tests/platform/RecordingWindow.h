#pragma once
// A window that writes down every message it gets, for the loop tests.

#include <functional>
#include <string>
#include <vector>

#include "platform/EventLoop.h"
#include "platform/Window.h"

namespace tovrik::platform::testing {

struct Received {
  std::string window;
  MsgId msg;
  WParam w;
  LParam l;
};

class RecordingWindow : public Window {
 public:
  RecordingWindow(std::string name, std::vector<Received>& log) : name_(std::move(name)), log_(log) {}
  ~RecordingWindow() override { Destroy(); }

  // Runs before the message is logged; returning true stops the default handling.
  std::function<bool(MsgId, WParam, LParam)> onMessage;

  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    if (msg != WM_PAINT) log_.push_back({name_, msg, w, l});
    if (onMessage && onMessage(msg, w, l)) return 1;
    return Window::WindowProc(msg, w, l);
  }

  const std::string& Name() const { return name_; }

 private:
  std::string name_;
  std::vector<Received>& log_;
};

// The messages of one kind in the log, as "window:msg:wParam".
inline std::vector<std::string> Only(const std::vector<Received>& log, std::initializer_list<MsgId> kinds) {
  std::vector<std::string> out;
  for (const auto& r : log)
    for (MsgId k : kinds)
      if (r.msg == k) out.push_back(r.window + ":" + std::to_string(r.msg) + ":" + std::to_string(r.w));
  return out;
}

}  // namespace tovrik::platform::testing
