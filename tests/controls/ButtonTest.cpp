#include "controls/Button.h"

#include "ControlsFixture.h"

namespace tovrik::controls {
namespace {

using platform::MakeWParam;
using platform::Point;
using platform::Rect;
using platform::WParam;

class ButtonTest : public testing::ControlsTest {
 protected:
  // A button in the main window at (100, 100), 80 x 24.
  Button& Make(unsigned style, int id = 7, int x = 100, int y = 100) {
    buttons_.push_back(std::make_unique<Button>("단추", style));
    buttons_.back()->Create(&main_, Rect::FromSize(x, y, 80, 24), id);
    return *buttons_.back();
  }
  std::vector<std::unique_ptr<Button>> buttons_;
};

TEST_F(ButtonTest, AClickSendsBnClickedWithTheIdAndHandle) {
  Button& button = Make(BS_PUSHBUTTON);
  automation_.Click({110, 110});
  EXPECT_EQ(main_.commands, std::vector<WParam>{MakeWParam(7, BN_CLICKED)});
  EXPECT_EQ(loop_.GetCapture(), nullptr);
  EXPECT_EQ(loop_.GetFocus(), &button);
}

TEST_F(ButtonTest, APressReleasedOutsideSendsNothingAndDraggingBackInClicks) {
  Button& button = Make(BS_PUSHBUTTON);
  automation_.Drag({110, 110}, {300, 300});
  EXPECT_TRUE(main_.commands.empty());
  loop_.InjectMouseMove({110, 110});
  loop_.InjectMouseButton({110, 110}, platform::MouseButton::Left, true);
  loop_.InjectMouseMove({300, 300});
  EXPECT_FALSE(button.Pressed());
  loop_.InjectMouseMove({120, 112});
  EXPECT_TRUE(button.Pressed());
  loop_.InjectMouseButton({120, 112}, platform::MouseButton::Left, false);
  EXPECT_EQ(main_.commands.size(), 1u);
}

TEST_F(ButtonTest, SpaceClicksTheFocusedButton) {
  Button& button = Make(BS_PUSHBUTTON);
  button.SetFocus();
  automation_.PressKey(platform::VK_SPACE);
  EXPECT_EQ(main_.commands.size(), 1u);
}

TEST_F(ButtonTest, AnAutoCheckBoxTogglesAndAPlainOneLeavesItToTheParent) {
  Button& automatic = Make(BS_AUTOCHECKBOX, 1);
  Button& plain = Make(BS_CHECKBOX, 2, 300);
  automation_.Click({110, 110});
  EXPECT_EQ(automatic.SendMessage(BM_GETCHECK), BST_CHECKED);
  automation_.Click({110, 110});
  EXPECT_EQ(automatic.SendMessage(BM_GETCHECK), BST_UNCHECKED);
  automation_.Click({310, 110});
  EXPECT_EQ(plain.GetCheck(), 0);
  plain.SendMessage(BM_SETCHECK, BST_CHECKED);
  EXPECT_EQ(plain.SendMessage(BM_GETCHECK), BST_CHECKED);
  EXPECT_EQ(main_.commands.size(), 3u);
}

TEST_F(ButtonTest, ClickingTheThirdRadioOfAGroupUnchecksTheOthersWithOneCommand) {
  Button& first = Make(BS_AUTORADIOBUTTON | WS_GROUP, 1, 100, 100);
  Button& second = Make(BS_AUTORADIOBUTTON, 2, 100, 130);
  Button& third = Make(BS_AUTORADIOBUTTON, 3, 100, 160);
  Button& otherGroup = Make(BS_AUTORADIOBUTTON | WS_GROUP, 4, 100, 190);
  first.SetCheck(1);
  second.SetCheck(1);
  otherGroup.SetCheck(1);
  automation_.Click({110, 170});
  EXPECT_EQ(first.GetCheck(), 0);
  EXPECT_EQ(second.GetCheck(), 0);
  EXPECT_EQ(third.GetCheck(), 1);
  EXPECT_EQ(otherGroup.GetCheck(), 1);  // the next group is left alone
  EXPECT_EQ(main_.commands, std::vector<WParam>{MakeWParam(3, BN_CLICKED)});
}

TEST_F(ButtonTest, ADisabledButtonIgnoresClicks) {
  Button& button = Make(BS_PUSHBUTTON);
  button.EnableWindow(false);
  automation_.Click({110, 110});
  button.SendMessage(BM_CLICK);
  EXPECT_TRUE(main_.commands.empty());
}

}  // namespace
}  // namespace tovrik::controls
