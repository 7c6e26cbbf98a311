#include "platform/Automation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "RecordingWindow.h"
#include "platform/MessageBox.h"
#include "platform/SdlSession.h"

namespace tovrik::platform {
namespace {

using testing::Only;
using testing::Received;
using testing::RecordingWindow;

constexpr MsgId kOpen = WM_USER + 7;

TEST(AutomationTest, AnswersAModalBoxFromInsideItsRunOnceReady) {
  FakeClock clock;
  EventLoop loop(clock);
  std::vector<Received> log;
  RecordingWindow main("main", log), box("box", log);
  main.Create(nullptr, Rect::FromSize(0, 0, 800, 600));
  int ticks = 0;
  int result = 0;
  box.onMessage = [&](MsgId msg, WParam w, LParam) {
    if (msg == WM_COMMAND) loop.EndModal(box, static_cast<int>(w));
    return false;
  };
  main.onMessage = [&](MsgId msg, WParam, LParam) {
    if (msg == WM_TIMER) ++ticks;
    if (msg == kOpen) {
      box.Create(&main, Rect::FromSize(200, 200, 100, 50));
      result = loop.RunModal(box);
    }
    return false;
  };
  main.SetTimer(1, 20);
  Automation automation(loop);
  automation.AnswerModalWhen(IDCANCEL, [&] { return ticks >= 3; });
  main.PostMessage(kOpen);
  EXPECT_TRUE(automation.WaitUntil([&] { return result != 0; }, 10000));
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_GE(ticks, 3);
  EXPECT_EQ(automation.PendingAnswers(), 0u);
}

TEST(AutomationTest, WaitUntilGivesUpAtItsTimeLimit) {
  FakeClock clock(100);
  EventLoop loop(clock);
  Automation automation(loop);
  EXPECT_FALSE(automation.WaitUntil([] { return false; }, 500));
  EXPECT_GE(clock.NowMs(), 600u);
}

TEST(AutomationTest, ClickAndTypeGoThroughTheNormalRouting) {
  FakeClock clock;
  EventLoop loop(clock);
  std::vector<Received> log;
  RecordingWindow main("main", log), edit("edit", log);
  main.Create(nullptr, Rect::FromSize(0, 0, 800, 600));
  edit.Create(&main, Rect::FromSize(10, 10, 100, 20));
  edit.onMessage = [&](MsgId msg, WParam, LParam) {
    if (msg == WM_LBUTTONDOWN) edit.SetFocus();
    return false;
  };
  Automation automation(loop);
  automation.Click({20, 15});
  automation.TypeText("a한");
  EXPECT_EQ(Only(log, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_CHAR}),
            (std::vector<std::string>{"edit:513:1", "edit:514:0", "edit:258:97", "edit:258:" + std::to_string(0xD1C7)}));
}

TEST(AutomationTest, SavesTheComposedFrame) {
  FakeClock clock;
  EventLoop loop(clock);
  Window main;
  main.Create(nullptr, Rect::FromSize(0, 0, 64, 48));
  Automation automation(loop);
  const auto file = std::filesystem::temp_directory_path() / "tovrik-frame-test.bmp";
  ASSERT_TRUE(automation.SaveFrame(file));
  EXPECT_GT(std::filesystem::file_size(file), 64u * 48u * 2u);
  std::filesystem::remove(file);
}

TEST(InputMethodModuleTest, PicksTheDesktopsModuleBeforeSdlDefaultsToIbus) {
  struct Case {
    std::map<std::string, std::string> env;
    std::string expected;
  };
  const Case cases[] = {
      {{}, ""},
      {{{"SDL_IM_MODULE", "ibus"}, {"XMODIFIERS", "@im=fcitx"}}, "ibus"},
      {{{"XMODIFIERS", "@im=fcitx5"}}, "fcitx"},
      {{{"GTK_IM_MODULE", "fcitx"}}, "fcitx"},
      {{{"QT_IM_MODULE", "ibus"}}, "ibus"},
      {{{"XMODIFIERS", "@im=none"}}, ""},
  };
  for (const auto& c : cases) {
    auto getenv = [&](const char* name) -> const char* {
      auto it = c.env.find(name);
      return it == c.env.end() ? nullptr : it->second.c_str();
    };
    EXPECT_EQ(ChooseInputMethodModule(getenv), c.expected);
  }
}

}  // namespace
}  // namespace tovrik::platform
