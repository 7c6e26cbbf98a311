// The text controls inside a dialog made from a control table: made by the
// factory from their records, and sharing the keyboard with the dialog.
#include <gtest/gtest.h>

#include "ControlRig.h"
#include "controls/ChatView.h"
#include "controls/ComboBox.h"
#include "controls/Dialog.h"
#include "controls/Edit.h"
#include "controls/ListBox.h"
#include "controls/ListView.h"
#include "platform/Clipboard.h"

namespace tovrik::controls {
namespace {

using namespace platform;

constexpr int kTitle = 1032;
constexpr int kPassword = 1046;
constexpr int kLevel = 1048;
constexpr int kAmounts = 1050;
constexpr int kMuted = 1020;
constexpr int kChat = 1100;

constexpr ControlSpec kControls[] = {
    {kTitle, ControlClass::Edit, {84, 53, 201, 17}, "아무나 들어오세요", 0, 1},
    {kPassword, ControlClass::Edit, {84, 104, 62, 17}, "", ES_PASSWORD, 2},
    {kLevel, ControlClass::ComboBox, {84, 134, 95, 17}, "", CBS_DROPDOWNLIST, 3},
    {kAmounts, ControlClass::ListBox, {0, 0, 10, 10}, "", LBS_SORT, 0},
    {kMuted, ControlClass::ListView, {23, 160, 245, 60}, "", 0, 0},
    {kChat, ControlClass::ChatView, {10, 230, 280, 60}, "", 0, 0},
    {IDOK, ControlClass::Button, {62, 300, 60, 20}, "만들기", BS_DEFPUSHBUTTON, 4},
};
constexpr DialogTemplate kCreateRoom{"create room", 300, 330, kControls, 0};

class RoomDialog : public Dialog {
 public:
  using Dialog::Dialog;
  ~RoomDialog() override { Destroy(); }
  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    if (msg == WM_COMMAND && LowWord(w) == IDOK) ++oks;
    return Dialog::WindowProc(msg, w, l);
  }
  int oks = 0;

 protected:
  void OnOK() override {}  // stays open, so that the test can go on
};

class TextDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dialog.CreateModeless(&rig.main, Point{0, 0}));
    combo = dynamic_cast<ComboBox*>(dialog.GetDlgItem(kLevel));
    ASSERT_NE(combo, nullptr);
    for (const char* level : {"입문", "초보", "하수"}) combo->AddString(testing::Cp(level));
  }
  int Focused() const { return rig.loop.GetFocus() ? rig.loop.GetFocus()->Id() : 0; }

  testing::ControlRig rig;
  RoomDialog dialog{kCreateRoom};
  ComboBox* combo = nullptr;
};

TEST_F(TextDialogTest, TheFactoryMakesEveryTextControlFromItsRecord) {
  auto* title = dynamic_cast<Edit*>(dialog.GetDlgItem(kTitle));
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->GetTextUtf8(), "아무나 들어오세요");
  EXPECT_EQ(title->GetWindowText(), "아무나 들어오세요");
  title->SetWindowText("멋진 한판 승부!");
  EXPECT_EQ(title->GetTextUtf8(), "멋진 한판 승부!");
  auto* amounts = dynamic_cast<ListBox*>(dialog.GetDlgItem(kAmounts));
  ASSERT_NE(amounts, nullptr);
  amounts->AddString("300");
  amounts->AddString("100");
  EXPECT_EQ(amounts->GetText(0), "100");  // LBS_SORT
  EXPECT_NE(dynamic_cast<ListView*>(dialog.GetDlgItem(kMuted)), nullptr);
  EXPECT_NE(dynamic_cast<ChatView*>(dialog.GetDlgItem(kChat)), nullptr);
  EXPECT_EQ(combo->Style(), ComboStyle::DropDownList);
  // The password edit shows stars, never its text.
  auto* password = dynamic_cast<Edit*>(dialog.GetDlgItem(kPassword));
  ASSERT_NE(password, nullptr);
  password->SetTextUtf8("1234");
  password->SelectAll();
  password->Copy();
  EXPECT_NE(platform::GetClipboardText(), "1234");
}

TEST_F(TextDialogTest, EnterAndEscapeWorkTheOpenListBeforeTheDialog) {
  EXPECT_EQ(Focused(), kTitle);
  rig.automation.PressKey(VK_RETURN);  // an edit leaves Enter to the dialog
  EXPECT_EQ(dialog.oks, 1);
  rig.automation.PressKey(VK_TAB);
  rig.automation.PressKey(VK_TAB);
  ASSERT_EQ(Focused(), kLevel);
  rig.automation.PressKey(VK_F1 + 3);
  ASSERT_TRUE(combo->GetDroppedState());
  rig.automation.PressKey(VK_DOWN);
  rig.automation.PressKey(VK_RETURN);
  EXPECT_FALSE(combo->GetDroppedState());
  EXPECT_EQ(combo->GetCurSel(), 0);
  EXPECT_EQ(dialog.oks, 1);
  rig.automation.PressKey(VK_F1 + 3);
  rig.automation.PressKey(VK_ESCAPE);
  EXPECT_FALSE(combo->GetDroppedState());
  EXPECT_TRUE(dialog.IsWindowVisible());  // Escape closed the list, not the dialog
  rig.automation.PressKey(VK_DOWN);       // closed, the arrows still reach the combo
  EXPECT_EQ(combo->GetCurSel(), 1);
}

TEST_F(TextDialogTest, AClickDropsTheListAndAnotherPicksFromIt) {
  const Rect face = combo->GetScreenRect();
  rig.automation.Click({face.right - 8, face.top + 8});
  ASSERT_TRUE(combo->GetDroppedState());
  const ListBox& list = combo->GetList();
  const Rect rows = list.GetScreenRect();
  rig.automation.Click({rows.left + 20, rows.top + 1 + list.ItemHeight() * 2 + list.ItemHeight() / 2});
  EXPECT_FALSE(combo->GetDroppedState());
  EXPECT_EQ(combo->GetCurSel(), 2);
}

}  // namespace
}  // namespace tovrik::controls
