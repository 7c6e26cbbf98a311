#include "platform/Screen.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "RecordingWindow.h"
#include "platform/Display.h"
#include "platform/SdlSession.h"

namespace tovrik::platform {
namespace {

using testing::Only;
using testing::Received;
using testing::RecordingWindow;

// Runs under SDL's dummy video driver: a window exists, nothing is shown.
class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    sdl_ = SdlSession::Start(&error);
    ASSERT_TRUE(sdl_) << error;
    screen_ = Screen::Open("test", 800, 600, &error);
    ASSERT_TRUE(screen_) << error;
    loop_.AttachScreen(screen_.get());
  }
  void TearDown() override { loop_.AttachScreen(nullptr); }

  std::unique_ptr<SdlSession> sdl_;
  std::unique_ptr<Screen> screen_;
  EventLoop loop_;
};

TEST_F(ScreenTest, PresentsBothPageKindsOfItsSizeOnly) {
  std::vector<std::uint16_t> page16(800 * 600, ToRgb555({255, 0, 0}));
  std::vector<std::uint8_t> page8(800 * 600, 7);
  Palette palette{};
  EXPECT_TRUE(screen_->Present({page16.data(), 800, 600, 1600, PixelFormat::Rgb555, nullptr}));
  EXPECT_TRUE(screen_->Present({page8.data(), 800, 600, 800, PixelFormat::Indexed8, &palette}));
  EXPECT_FALSE(screen_->Present({page16.data(), 400, 300, 800, PixelFormat::Rgb555, nullptr}));
  EXPECT_GE(screen_->FittingScale(), 1);
}

TEST_F(ScreenTest, MousePositionsAreMappedBackToPagePixelsAtAnyScale) {
  std::vector<Received> log;
  RecordingWindow main("main", log);
  main.Create(nullptr, Rect::FromSize(0, 0, 800, 600));
  screen_->SetScale(2);
  loop_.PaintNow();
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.windowID = SDL_GetWindowID(screen_->NativeWindow());
  motion.motion.x = 300;
  motion.motion.y = 500;
  SDL_PushEvent(&motion);
  loop_.PumpOnce();
  const auto moves = std::find_if(log.begin(), log.end(), [](auto& r) { return r.msg == WM_MOUSEMOVE; });
  ASSERT_NE(moves, log.end());
  int w = 0, h = 0;
  SDL_GetWindowSize(screen_->NativeWindow(), &w, &h);
  if (w == 1600) {
    EXPECT_EQ(GetXLParam(moves->l), 150);
    EXPECT_EQ(GetYLParam(moves->l), 250);
  } else {
    GTEST_SKIP() << "the video driver kept the window at " << w << "x" << h;
  }
}

TEST_F(ScreenTest, FullScreenThroughTheLoopsScreenAndBack) {
  CDisplay display;
  EXPECT_EQ(display.InitDirectDraw(WindowHandle{1}, 800, 600, 16), 1);
  EXPECT_TRUE(screen_->IsFullscreen());
  EXPECT_EQ(display.InitDirectDraw(WindowHandle{1}, 800, 600, 16), 1);
  display.CloseDirectDraw();
  EXPECT_FALSE(screen_->IsFullscreen());
}

TEST_F(ScreenTest, CaptionDragTakesTheMouseUntilTheButtonIsReleased) {
  std::vector<Received> log;
  RecordingWindow main("main", log);
  main.onMessage = [&](MsgId msg, WParam, LParam l) {
    if (msg == WM_LBUTTONDOWN && GetYLParam(l) < 28) main.PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, l);
    return false;
  };
  main.Create(nullptr, Rect::FromSize(0, 0, 800, 600));
  loop_.InjectMouseButton({100, 10}, MouseButton::Left, true);
  loop_.PumpOnce();  // the posted drag start
  loop_.InjectMouseMove({150, 40});
  loop_.InjectMouseButton({150, 40}, MouseButton::Left, false);
  // While dragging, the page hears nothing of the mouse; afterwards it does.
  EXPECT_TRUE(Only(log, {WM_MOUSEMOVE, WM_LBUTTONUP}).empty());
  loop_.InjectMouseMove({150, 41});
  EXPECT_EQ(Only(log, {WM_MOUSEMOVE}).size(), 1u);
}

}  // namespace
}  // namespace tovrik::platform
