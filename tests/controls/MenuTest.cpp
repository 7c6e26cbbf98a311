#include "controls/PopupMenu.h"

#include <unistd.h>

#include <fstream>

#include "ControlsFixture.h"
#include "GoldenFrame.h"
#include "base/Log.h"
#include "controls/Dialog.h"

namespace tovrik::controls {
namespace {

using platform::MakeWParam;
using platform::MouseButton;
using platform::Point;
using platform::Rect;
using platform::WParam;

constexpr std::string_view kGenerated =
    "; Context menu 235: popups in order, items as \"command,caption\".\n"
    "[popup0]\n"
    "item0 = 1036,참여자 정보\n"
    "item1 = separator\n"
    "item2 = 1030,참여하기\r\n"
    "[popup1]\n"
    "item0 = 1034,프로필 보기\n";

TEST(MenuResourceTest, ReadsThePopupsOfAGeneratedFile) {
  std::string error;
  auto menu = ParseMenuResource(kGenerated, error);
  ASSERT_TRUE(menu) << error;
  ASSERT_EQ(menu->popups.size(), 2u);
  const auto& items = menu->popups[0].Items();
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].command, 1036);
  EXPECT_EQ(items[0].caption, "참여자 정보");
  EXPECT_TRUE(items[1].IsSeparator());
  EXPECT_EQ(items[2].caption, "참여하기");
  EXPECT_EQ(menu->GetSubMenu(1)->Items()[0].command, 1034);
  EXPECT_EQ(menu->GetSubMenu(2), nullptr);
}

TEST(MenuResourceTest, MalformedFilesAreRefusedWithTheReason) {
  struct Case {
    std::string_view text;
    std::string_view reason;
  };
  const Case cases[] = {
      {"", "no [popupN]"},
      {"item0 = 1,a\n", "line 1: an item before"},
      {"[popup0\nitem0 = 1,a\n", "line 1: unclosed"},
      {"[menu]\n", "not [popupN]"},
      {"[popup0]\nitem0 = abc\n", "line 2: an item that is neither"},
      {"[popup0]\nitem0 = 0,zero\n", "neither"},
      {"[popup0]\nitem0 = 99999999999,big\n", "neither"},
      {"[popup0]\nitem0\n", "without '='"},
      {"[popup0]\nentry0 = 1,a\n", "not itemN"},
      {"[popup0]\nitem0 = 1,a\nitem0 = 2,b\n", "given twice"},
      {"[popup0]\nitem0 = 1,a\nitem2 = 2,b\n", "popup0 has no item1"},
      {"[popup1]\nitem0 = 1,a\n", "popup0 is missing"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text));
    std::string error;
    EXPECT_FALSE(ParseMenuResource(c.text, error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

TEST(MenuResourceTest, LoadsTheGeneratedMenusAndLogsAMissingOne) {
  auto menu = LoadMenuResource(244, TOVRIK_RUNTIME_DIR);
  ASSERT_TRUE(menu);
  EXPECT_EQ(menu->id, 244);
  EXPECT_EQ(menu->popups[0].Items().size(), 3u);
  std::vector<std::string> logged;
  auto previous = base::SetLogSink([&](const base::LogRecord& r) { logged.emplace_back(r.text); });
  EXPECT_FALSE(LoadMenuResource(999, TOVRIK_RUNTIME_DIR));
  base::SetLogSink(previous);
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_NE(logged[0].find("menu999.ini"), std::string::npos) << logged[0];
}

TEST(MenuResourceTest, TheFileNameIsMatchedWithoutLetterCase) {
  const auto dir = std::filesystem::temp_directory_path() / ("tovrik-menu-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir / "DATA");
  std::ofstream(dir / "DATA" / "Menu7.INI") << "[popup0]\nitem0 = 5,five\n";
  auto menu = LoadMenuResource(7, dir);
  std::filesystem::remove_all(dir);
  ASSERT_TRUE(menu);
  EXPECT_EQ(menu->popups[0].Items()[0].caption, "five");
}

class PopupMenuTest : public testing::ControlsTest {
 protected:
  PopupMenuTest() {
    popup_.Append(1036, "참여자 정보");
    popup_.Append(1030, "참여하기", MF_CHECKED);
    popup_.AppendSeparator();
    popup_.Append(1031, "방 만들기");
    popup_.EnableMenuItem(1031, MF_GRAYED);
  }
  Point ItemCentre(std::size_t index) const {
    const Rect r = menu_.ItemScreenRect(index);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  Popup popup_;
  PopupMenu menu_;
};

TEST_F(PopupMenuTest, ChoosingAnItemPostsItsCommandToTheOwnerAndCloses) {
  ASSERT_TRUE(menu_.Track(popup_, {200, 150}, main_));
  EXPECT_EQ(menu_.GetWindowRect().TopLeft(), (Point{200, 150}));
  automation_.Click(ItemCentre(1));
  EXPECT_FALSE(menu_.IsOpen());
  Settle();
  EXPECT_EQ(main_.commands, std::vector<WParam>{MakeWParam(1030, 0)});
}

TEST_F(PopupMenuTest, GreyedItemsAndSeparatorsDoNothingAndTheMenuStaysOpen) {
  ASSERT_TRUE(menu_.Track(popup_, {200, 150}, main_));
  automation_.Click(ItemCentre(3));
  automation_.Click(ItemCentre(2));
  Settle();
  EXPECT_TRUE(menu_.IsOpen());
  EXPECT_TRUE(main_.commands.empty());
}

TEST_F(PopupMenuTest, APressOutsideClosesItWithoutACommandAndWithoutClickingBelow) {
  ASSERT_TRUE(menu_.Track(popup_, {200, 150}, main_));
  automation_.Click({50, 50});
  Settle();
  EXPECT_FALSE(menu_.IsOpen());
  EXPECT_TRUE(main_.commands.empty());
  EXPECT_EQ(main_.presses, 0);
  automation_.Click({50, 50});  // the next press reaches the window again
  EXPECT_EQ(main_.presses, 1);
}

TEST_F(PopupMenuTest, EscapeClosesItAndNoDialogAroundHearsIt) {
  static constexpr DialogTemplate kPlain{"plain", 400, 300, {}, 0};
  class Recording : public Dialog {
   public:
    using Dialog::Dialog;
    ~Recording() override { Destroy(); }
    LResult WindowProc(platform::MsgId m, WParam w, platform::LParam l) override {
      if (m == platform::WM_COMMAND) ++commands;
      return Dialog::WindowProc(m, w, l);
    }
    int commands = 0;
  } dialog(kPlain);
  ASSERT_TRUE(dialog.CreateModeless(&main_, Point{0, 0}));
  dialog.SetFocus();
  ASSERT_TRUE(menu_.Track(popup_, {100, 100}, dialog));
  automation_.PressKey(platform::VK_ESCAPE);
  Settle();
  EXPECT_FALSE(menu_.IsOpen());
  EXPECT_EQ(dialog.commands, 0);
  EXPECT_TRUE(dialog.IsWindowVisible());
  EXPECT_EQ(loop_.GetFocus(), &dialog);  // the focus went back
}

TEST_F(PopupMenuTest, TheKeyboardWalksPastSeparatorsAndEnterChooses) {
  ASSERT_TRUE(menu_.Track(popup_, {200, 150}, main_));
  automation_.PressKey(platform::VK_DOWN);
  automation_.PressKey(platform::VK_DOWN);
  EXPECT_EQ(menu_.Highlighted(), 1);
  automation_.PressKey(platform::VK_DOWN);
  EXPECT_EQ(menu_.Highlighted(), 3);
  automation_.PressKey(platform::VK_RETURN);  // greyed: nothing
  EXPECT_TRUE(menu_.IsOpen());
  automation_.PressKey(platform::VK_DOWN);
  automation_.PressKey(platform::VK_RETURN);
  Settle();
  EXPECT_EQ(main_.commands, std::vector<WParam>{MakeWParam(1036, 0)});
}

TEST_F(PopupMenuTest, TheReleaseOfTheOpeningRightClickDoesNotChoose) {
  loop_.InjectMouseMove({200, 150});
  loop_.InjectMouseButton({200, 150}, MouseButton::Right, true);
  ASSERT_TRUE(menu_.TrackAtCursor(popup_, main_));
  loop_.InjectMouseButton({200, 150}, MouseButton::Right, false);
  Settle();
  EXPECT_TRUE(menu_.IsOpen());
  EXPECT_TRUE(main_.commands.empty());
  // Dragged onto an item and released there, it chooses.
  loop_.InjectMouseMove(ItemCentre(0));
  loop_.InjectMouseButton(ItemCentre(0), MouseButton::Right, false);
  Settle();
  EXPECT_EQ(main_.commands, std::vector<WParam>{MakeWParam(1036, 0)});
}

TEST_F(PopupMenuTest, NearThePageCornerItOpensLeftAndAboveThePoint) {
  ASSERT_TRUE(menu_.Track(popup_, {790, 590}, main_));
  const Rect r = menu_.GetWindowRect();
  EXPECT_EQ(r.right, 790);
  EXPECT_EQ(r.bottom, 590);
}

TEST_F(PopupMenuTest, GoldenFrameOfAnOpenMenu) {
  ASSERT_TRUE(menu_.Track(popup_, {20, 10}, main_));
  loop_.InjectMouseMove(ItemCentre(0));
  loop_.PaintNow();
  const Rect r = menu_.GetWindowRect();
  testing::ExpectMatchesGolden(loop_.Frame(), {r.left - 4, r.top - 4, r.right + 4, r.bottom + 4}, "popup_menu");
}

}  // namespace
}  // namespace tovrik::controls
