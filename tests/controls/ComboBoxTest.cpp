#include "controls/ComboBox.h"

#include <gtest/gtest.h>

#include "ControlRig.h"
#include "GoldenFrame.h"

namespace tovrik::controls {
namespace {

using namespace platform;
using testing::ControlRig;
using testing::Cp;

constexpr int kComboId = 1048;
constexpr Rect kComboRect = Rect::FromSize(84, 34, 95, 19);

const char* const kLevels[] = {"입문", "초보", "하수", "중수", "고수", "초고수", "달인", "명인", "신선", "지존"};

class ComboBoxTest : public ::testing::TestWithParam<ComboStyle> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Font::Default()) << "Nanum fonts missing: " << FontFileFor("굴림체", false);
    ASSERT_TRUE(combo.Create(&rig.main, kComboRect, kComboId));
    for (const char* level : kLevels) combo.AddString(Cp(level));
  }
  Point Face() const { return {kComboRect.right - 6, kComboRect.top + 9}; }  // on the drop button
  // The centre of a row of the dropped list, in main-window pixels.
  Point Row(int index) const {
    const ListBox& list = combo.GetList();
    const Rect r = list.GetScreenRect();
    return {r.left + 20, r.top + 1 + (index - list.GetTopIndex()) * list.ItemHeight() + list.ItemHeight() / 2};
  }
  int Count(unsigned code) const { return rig.main.Count(code); }

  ControlRig rig;
  ComboBox combo{GetParam()};
};

TEST_P(ComboBoxTest, DropsSelectsWithTheMouseAndCloses) {
  rig.automation.Click(Face());
  ASSERT_TRUE(combo.GetDroppedState());
  EXPECT_EQ(Count(CBN_DROPDOWN), 1);
  const Rect list = combo.GetList().GetScreenRect();
  EXPECT_EQ(list.top, kComboRect.bottom);
  EXPECT_EQ(list.left, kComboRect.left);
  EXPECT_EQ(combo.GetList().VisibleRows(), ComboBox::kDefaultDroppedRows);
  // Hovering follows the pointer; the press picks.
  rig.automation.MoveMouse(Row(4));
  EXPECT_EQ(combo.GetList().GetCurSel(), 4);
  EXPECT_EQ(combo.GetCurSel(), -1);
  rig.automation.Click(Row(3));
  EXPECT_FALSE(combo.GetDroppedState());
  EXPECT_EQ(combo.GetCurSel(), 3);
  EXPECT_EQ(combo.GetTextUtf8(), "중수");
  EXPECT_EQ(Count(CBN_SELCHANGE), 1);
  EXPECT_EQ(Count(CBN_SELENDOK), 1);
  EXPECT_EQ(Count(CBN_CLOSEUP), 1);
  // A press outside closes it and changes nothing.
  rig.automation.Click(Face());
  ASSERT_TRUE(combo.GetDroppedState());
  rig.automation.MoveMouse(Row(6));
  rig.automation.Click({300, 200});
  EXPECT_FALSE(combo.GetDroppedState());
  EXPECT_EQ(combo.GetCurSel(), 3);
  EXPECT_EQ(Count(CBN_SELENDCANCEL), 1);
  EXPECT_EQ(Count(CBN_SELCHANGE), 1);
}

TEST_P(ComboBoxTest, KeysMoveTheSelectionAndWorkTheList) {
  combo.SetCurSel(0);
  rig.automation.Click(Face());  // focus, and the list drops
  rig.automation.PressKey(VK_ESCAPE);
  EXPECT_FALSE(combo.GetDroppedState());
  rig.automation.PressKey(VK_DOWN);
  rig.automation.PressKey(VK_DOWN);
  EXPECT_EQ(combo.GetCurSel(), 2);
  EXPECT_EQ(Count(CBN_SELCHANGE), 2);
  rig.automation.PressKey(VK_F1 + 3);  // F4
  ASSERT_TRUE(combo.GetDroppedState());
  rig.automation.PressKey(VK_DOWN);
  EXPECT_EQ(combo.GetCurSel(), 2);  // only the list's highlight moves while it is open
  rig.automation.PressKey(VK_RETURN);
  EXPECT_FALSE(combo.GetDroppedState());
  EXPECT_EQ(combo.GetCurSel(), 3);
  EXPECT_EQ(Count(CBN_SELCHANGE), 3);
}

TEST_P(ComboBoxTest, FindsAndSelectsStrings) {
  EXPECT_EQ(combo.FindString(-1, Cp("초")), 1);
  EXPECT_EQ(combo.FindString(1, Cp("초")), 5);
  EXPECT_EQ(combo.FindStringExact(-1, Cp("초")), CB_ERR);
  const std::string master = Cp("명인");
  EXPECT_EQ(combo.SendMessage(CB_FINDSTRINGEXACT, static_cast<WParam>(-1), reinterpret_cast<LParam>(master.c_str())), 7);
  EXPECT_EQ(combo.SendMessage(CB_SELECTSTRING, static_cast<WParam>(-1), reinterpret_cast<LParam>(master.c_str())), 7);
  EXPECT_EQ(combo.GetCurSel(), 7);
  EXPECT_EQ(combo.GetTextUtf8(), "명인");
  const std::string nothing = Cp("없음");
  EXPECT_EQ(combo.SendMessage(CB_SELECTSTRING, static_cast<WParam>(-1), reinterpret_cast<LParam>(nothing.c_str())), CB_ERR);
  EXPECT_EQ(combo.GetCurSel(), 7);
  EXPECT_EQ(combo.SendMessage(CB_SETCURSEL, 99), CB_ERR);
  EXPECT_EQ(combo.GetCurSel(), -1);
  EXPECT_TRUE(rig.main.notifications.empty());
}

INSTANTIATE_TEST_SUITE_P(BothStyles, ComboBoxTest, ::testing::Values(ComboStyle::DropDownList, ComboStyle::DropDown),
                         [](const auto& info) { return info.param == ComboStyle::DropDown ? "Editable" : "DropList"; });

class EditableComboTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(combo.Create(&rig.main, kComboRect, kComboId));
    for (const char* name : {"alice", "bob", "carol"}) combo.AddString(name);
  }
  ControlRig rig;
  ComboBox combo{ComboStyle::DropDown};
};

TEST_F(EditableComboTest, TypingEditsTheTextAndNamesTheItem) {
  rig.automation.Click({kComboRect.left + 10, kComboRect.top + 9});  // into the edit
  rig.automation.TypeText("bob");
  EXPECT_EQ(combo.GetText(), "bob");
  EXPECT_EQ(combo.GetCurSel(), 1);
  EXPECT_EQ(rig.main.Count(CBN_EDITCHANGE), 3);
  EXPECT_EQ(rig.main.Count(CBN_EDITUPDATE), 3);
  rig.automation.TypeText("x");
  EXPECT_EQ(combo.GetCurSel(), -1);
  // The program's changes are not edits.
  combo.SetCurSel(2);
  EXPECT_EQ(combo.GetText(), "carol");
  EXPECT_EQ(rig.main.Count(CBN_EDITCHANGE), 4);
  EXPECT_EQ(combo.GetEditSel(), (Edit::Selection{0, 5}));
  EXPECT_EQ(combo.SendMessage(CB_SETEDITSEL, 0, MakeLParam(1, 3)), 1);
  EXPECT_EQ(combo.GetEditSel(), (Edit::Selection{1, 3}));
  combo.SendMessage(CB_SETEDITSEL, 0, MakeLParam(2, -1));
  EXPECT_EQ(combo.SendMessage(CB_GETEDITSEL), 2 | (5 << 16));
}

TEST(ComboBoxPlacementTest, DropsAboveWhenThereIsNoRoomBelowAndClosesWithItsDialog) {
  ControlRig rig;
  Window dialog;
  ASSERT_TRUE(dialog.Create(&rig.main, Rect::FromSize(40, 20, 200, 150)));
  ComboBox combo;
  ASSERT_TRUE(combo.Create(&dialog, Rect::FromSize(20, 120, 100, 19), 1086));
  for (int i = 0; i < 20; ++i) combo.AddString("target " + std::to_string(i));
  combo.ShowDropDown(true);
  ASSERT_TRUE(combo.GetDroppedState());
  const ListBox& list = combo.GetList();
  EXPECT_EQ(list.Parent(), &dialog);
  EXPECT_EQ(list.GetWindowRect().bottom, 120);
  EXPECT_GE(list.GetWindowRect().top, 0);
  combo.Destroy();
  EXPECT_FALSE(list.IsCreated());
  EXPECT_EQ(rig.loop.GetCapture(), nullptr);
}

TEST(ComboBoxGoldenTest, DropListOpen) {
  ControlRig rig;
  ComboBox combo;
  ASSERT_TRUE(combo.Create(&rig.main, kComboRect, kComboId));
  for (const char* level : kLevels) combo.AddString(Cp(level));
  combo.SetCurSel(2);
  combo.SetFocus();
  combo.ShowDropDown(true);
  rig.automation.MoveMouse({kComboRect.left + 20, kComboRect.bottom + 1 + combo.GetList().ItemHeight() * 4 + 3});
  const Rect area{kComboRect.left - 2, kComboRect.top - 2, kComboRect.right + 2, combo.GetList().GetScreenRect().bottom + 2};
  testing::ExpectMatchesGolden(testing::PaintedFrame(rig.loop), area, "combo_droplist");
}

}  // namespace
}  // namespace tovrik::controls
