// The flat combo box: completion of the typed text with the selected rest,
// Backspace that erases instead of completing again, and its three looks.

#include <gtest/gtest.h>

#include "UiFixture.h"
#include "base/CodePage.h"
#include "platform/Automation.h"
#include "platform/Text.h"
#include "ui/CJFlatComboBox.h"

namespace tovrik::ui {
namespace {
using platform::Rect;
using namespace testing;

constexpr Rect kComboRect = Rect::FromSize(50, 40, 120, 20);

class FlatComboTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    ASSERT_TRUE(platform::Font::Default());
    ASSERT_TRUE(combo.Create(&main, kComboRect, 1200));
    for (const char* item : {"apple", "banana", "bandana", "cherry"}) combo.AddString(item);
    combo.GetEdit()->SetFocus();
  }
  controls::Edit::Selection Sel() const { return combo.GetEditSel(); }

  platform::Automation automation{loop};
  CCJFlatComboBox combo;
};

TEST_F(FlatComboTest, TypingCompletesWithTheFirstMatchAndSelectsTheRest) {
  automation.TypeText("b");
  EXPECT_EQ(combo.GetText(), "banana");
  EXPECT_EQ(Sel(), (controls::Edit::Selection{1, 6}));
  automation.TypeText("and");
  EXPECT_EQ(combo.GetText(), "bandana");
  EXPECT_EQ(Sel(), (controls::Edit::Selection{4, 7}));
}

TEST_F(FlatComboTest, BackspaceErasesWithoutCompletingAgain) {
  automation.TypeText("ba");
  ASSERT_EQ(combo.GetText(), "banana");
  automation.PressKey(platform::VK_BACK);
  EXPECT_EQ(combo.GetText(), "ba") << "the completed part goes";
  automation.PressKey(platform::VK_BACK);
  EXPECT_EQ(combo.GetText(), "b");
  automation.TypeText("a");
  EXPECT_EQ(combo.GetText(), "banana") << "typing completes again";
}

TEST_F(FlatComboTest, NoMatchKeepsWhatWasTyped) {
  automation.TypeText("x");
  EXPECT_EQ(combo.GetText(), "x");
  EXPECT_EQ(Sel(), (controls::Edit::Selection{1, 1}));
  combo.SetAutoComplete(false);
  combo.SetText("");
  automation.TypeText("c");
  EXPECT_EQ(combo.GetText(), "c");
}

TEST_F(FlatComboTest, FlatRaisedAndSunkenLooks) {
  main.SetFocus();
  loop.InjectMouseMove({0, 0});
  EXPECT_EQ(combo.CurrentDrawState(), CCJFlatComboBox::kFlat);
  loop.InjectMouseMove({kComboRect.left + 10, kComboRect.top + 5});
  EXPECT_EQ(combo.CurrentDrawState(), CCJFlatComboBox::kRaised) << "under the pointer";
  loop.InjectMouseMove({0, 0});
  combo.GetEdit()->SetFocus();
  EXPECT_EQ(combo.CurrentDrawState(), CCJFlatComboBox::kRaised) << "with the focus";
  const platform::Point button{kComboRect.right - 4, kComboRect.top + 10};
  loop.InjectMouseMove(button);
  loop.InjectMouseButton(button, platform::MouseButton::Left, true);
  EXPECT_EQ(combo.CurrentDrawState(), CCJFlatComboBox::kSunken);
}

TEST_F(FlatComboTest, SystemCharactersAreSwallowed) {
  EXPECT_TRUE(combo.PreTranslateMessage(platform::WM_SYSCHAR, 'x', 0));
}

}  // namespace
}  // namespace tovrik::ui
