// Golden frames of the skinned controls over the generated artwork: a
// sprite-skinned dialog holding sprite buttons in their four states, bitmap
// buttons (normal, hover or pressed, fixed disabled image), check boxes and
// a radio group.

#include <gtest/gtest.h>

#include "GoldenFrame.h"
#include "UiFixture.h"
#include "ui/BmpRadioBtn.h"
#include "ui/CheckButton.h"
#include "ui/DialogHelper.h"
#include "platform/PathResolver.h"
#include "platform/Text.h"
#include "ui/CJFlatComboBox.h"
#include "ui/GrpChatEdit.h"
#include "ui/MyButton.h"

namespace tovrik::ui {
namespace {
using platform::Point;
using platform::Rect;
using namespace ui::testing;

const std::filesystem::path kRuntime = TOVRIK_RUNTIME_DIR;

std::string Art(std::string_view path) { return platform::ResolvePath(path, kRuntime).string(); }

class SkinnedDialog : public CommandWindow {
 public:
  ~SkinnedDialog() override { Destroy(); }
  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    if (skin.MessageProc(msg, w, l)) return 0;
    return CommandWindow::WindowProc(msg, w, l);
  }
  void OnPaint(platform::PaintContext& pc) override { skin.Draw(pc); }
  CDialogHelper skin;
};

class SkinGoldenTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    CDialogHelper::ResetTimerIdsForTests();
    ASSERT_TRUE(dialog.Create(&main, Rect::FromSize(0, 0, 10, 10)));
    dialog.skin.Init(&dialog, Art(".\\data\\MsgDlg_grade.spr"));
    ASSERT_EQ(dialog.GetWindowRect().Width(), 316);
    const std::string close = Art(".\\data\\BTNClose_Teen.Spr");
    for (int i = 0; i < 4; ++i) dialog.skin.AddButton(close, 4 + 108 * (i % 2), 4 + 30 * (i / 2), 0, 600 + i);
    dialog.skin.GetDlgItem(601)->SetButtonState(1);
    dialog.skin.GetDlgItem(602)->SetButtonState(2);
    dialog.skin.GetDlgItem(603)->Enable(0);
    for (int i = 0; i < 3; ++i) {
      auto& b = buttons[static_cast<std::size_t>(i)];
      ASSERT_TRUE(b.Create(&dialog, Rect::FromSize(0, 0, 1, 1), 700 + i));
      b.Init(4 + 94 * i, 70, Art("image\\Btn_ok.BMP"), 4, "");
    }
    buttons[2].SetFixImage(3);
    for (int i = 0; i < 2; ++i) {
      auto& c = checks[static_cast<std::size_t>(i)];
      ASSERT_TRUE(c.Create(&dialog, Rect::FromSize(0, 0, 1, 1), 710 + i));
      c.Init(10 + 22 * i, 110, Art(".\\Image\\Croom_check01.bmp"), Art(".\\Image\\Croom_check00.bmp"), &dialog, i);
      auto& r = radios[static_cast<std::size_t>(i)];
      ASSERT_TRUE(r.Create(&dialog, Rect::FromSize(0, 0, 1, 1), 720 + i));
      r.Init(70 + 22 * i, 110, Art(".\\Image\\obtn_check2.bmp"), Art(".\\Image\\obtn_check1.bmp"), &dialog);
    }
    checks[1].SetCheck(1);
    radios[0].AddToGroup(radios[1]);
    radios[1].SetCheck(1);
  }
  Point OnButton(int i) const {
    const Rect r = buttons[static_cast<std::size_t>(i)].GetScreenRect();
    return {r.left + 5, r.top + 5};
  }
  void ExpectFrame(const std::string& name) {
    loop.PaintNow();
    controls::testing::ExpectMatchesGolden(loop.Frame(), dialog.GetScreenRect(), name, controls::testing::GoldenDir("ui"));
  }

  SkinnedDialog dialog;
  std::array<CMyButton, 3> buttons;
  std::array<CCheckButton, 2> checks;
  std::array<CBmpRadioBtn, 2> radios;
};

TEST_F(SkinGoldenTest, DialogWithAHoveredBitmapButton) {
  loop.InjectMouseMove(OnButton(1));
  ExpectFrame("skin_dialog_hover");
}

TEST_F(SkinGoldenTest, DialogWithAPressedBitmapButton) {
  loop.InjectMouseMove(OnButton(1));
  loop.InjectMouseButton(OnButton(1), platform::MouseButton::Left, true);
  ExpectFrame("skin_dialog_pressed");
}

}  // namespace
}  // namespace tovrik::ui

namespace tovrik::ui {
namespace {

class ChatAndComboGoldenTest : public ui::testing::UiTest {};

TEST_F(ChatAndComboGoldenTest, ChatViewWithItsSkinnedScrollBar) {
  ASSERT_TRUE(platform::Font::Default());
  CGrpChatEdit view;
  ASSERT_TRUE(view.Create(&main, Rect::FromSize(20, 20, 240, 120), 1100));
  ASSERT_TRUE(view.Init({0, 0}, kRuntime));
  for (int i = 1; i <= 24; ++i)
    view.AppendUtf8("손님" + std::to_string(i) + " : 한 판 두실 분?\n", {20, 20, 20}, i % 4 == 0);
  view.SetScrollPos(view.GetScrollLimit() / 2);
  loop.PaintNow();
  const Rect area{view.GetScreenRect().left, view.GetScreenRect().top, view.ScrollBar().GetScreenRect().right,
                  view.GetScreenRect().bottom};
  controls::testing::ExpectMatchesGolden(loop.Frame(), area, "chat_view_scrollbar",
                                         controls::testing::GoldenDir("ui"));
}

TEST_F(ChatAndComboGoldenTest, FlatComboBoxOpen) {
  ASSERT_TRUE(platform::Font::Default());
  CCJFlatComboBox combo;
  const Rect at = Rect::FromSize(30, 30, 120, 20);
  ASSERT_TRUE(combo.Create(&main, at, 1200));
  for (const char* item : {"입문", "초보", "하수", "중수", "고수"}) combo.AddStringUtf8(item);
  combo.SetCurSel(2);
  const platform::Point button{at.right - 5, at.top + 10};
  loop.InjectMouseMove(button);
  loop.InjectMouseButton(button, platform::MouseButton::Left, true);
  loop.InjectMouseButton(button, platform::MouseButton::Left, false);
  ASSERT_TRUE(combo.GetDroppedState());
  loop.PaintNow();
  const Rect list = combo.GetList().GetScreenRect();
  controls::testing::ExpectMatchesGolden(loop.Frame(), {at.left, at.top, std::max(at.right, list.right), list.bottom},
                                         "flat_combo_open", controls::testing::GoldenDir("ui"));
}

}  // namespace
}  // namespace tovrik::ui
