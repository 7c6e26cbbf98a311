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
