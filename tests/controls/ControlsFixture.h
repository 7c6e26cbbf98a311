#pragma once
// A main window of 800 x 600 on a loop with a fake clock, driven through
// the automation interface, for the control tests.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Automation.h"
#include "platform/Clock.h"
#include "platform/EventLoop.h"
#include "platform/Window.h"

namespace tovrik::controls::testing {

// A window that records the WM_COMMAND messages it gets.
class CommandSink : public platform::Window {
 public:
  ~CommandSink() override { Destroy(); }
  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override {
    if (msg == platform::WM_COMMAND) commands.push_back(w);
    if (msg == platform::WM_LBUTTONDOWN) ++presses;
    return Window::WindowProc(msg, w, l);
  }
  std::vector<platform::WParam> commands;
  int presses = 0;
};

class ControlsTest : public ::testing::Test {
 protected:
  ControlsTest() : loop_(clock_), automation_(loop_) {
    main_.Create(nullptr, platform::Rect::FromSize(0, 0, 800, 600));
  }
  ~ControlsTest() override { main_.Destroy(); }

  void Settle() { automation_.Settle(); }
  void Key(platform::WParam vk) { automation_.PressKey(vk); }
  void ShiftKey(platform::WParam vk) {
    loop_.InjectKey(platform::VK_SHIFT, true);
    automation_.PressKey(vk);
    loop_.InjectKey(platform::VK_SHIFT, false);
  }
  // Moves the fake clock on, running the loop at every millisecond.
  void Advance(std::uint32_t ms) {
    for (std::uint32_t i = 0; i < ms; ++i) {
      clock_.Advance(1);
      loop_.PumpOnce();
    }
  }

  platform::FakeClock clock_;
  platform::EventLoop loop_;
  platform::Automation automation_;
  CommandSink main_;
};

}  // namespace tovrik::controls::testing
