#pragma once
// What the dialog tests share: a loop on a fake clock with an 800 x 600 main
// window, run in the generated artwork's folder (the dialogs open their
// pictures by the program's relative paths), boxes answered through the log.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <functional>

#include "platform/Clock.h"
#include "platform/EventLoop.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "platform/Window.h"

namespace tovrik::lobby::dialogtest {

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    previousFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(TOVRIK_RUNTIME_DIR);
    platform::ResetMessageBoxAutomation();
    ASSERT_TRUE(main.Create(nullptr, platform::Rect::FromSize(0, 0, 800, 600)));
    ASSERT_TRUE(platform::Font::Default()) << "the screens' font is installed";
  }
  void TearDown() override {
    loop.SetModalHook({});
    platform::ResetMessageBoxAutomation();
    std::filesystem::current_path(previousFolder_);
  }
  // Runs `action` once from inside the next modal run.
  void AtNextModal(std::function<void(platform::Window&)> action) {
    loop.SetModalHook([this, action = std::move(action)](platform::Window& modal) mutable {
      auto once = std::move(action);
      loop.SetModalHook({});
      if (once) once(modal);
    });
  }
  void Click(platform::Point p) {
    loop.InjectMouseMove(p);
    loop.InjectMouseButton(p, platform::MouseButton::Left, true);
    loop.InjectMouseButton(p, platform::MouseButton::Left, false);
  }
  void PressKey(platform::WParam key) {
    loop.InjectKey(key, true);
    loop.InjectKey(key, false);
  }

  platform::FakeClock clock{1000000};
  platform::EventLoop loop{clock};
  platform::Window main;

 private:
  std::filesystem::path previousFolder_;
};

inline platform::Point Centre(const platform::Window& w) {
  const platform::Rect r = w.GetScreenRect();
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace tovrik::lobby::dialogtest
