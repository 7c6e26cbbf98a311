// Two-image check boxes and radio groups: a press toggles or selects, the
// target hears one command, and the image follows the check.

#include <gtest/gtest.h>

#include "UiFixture.h"
#include "ui/BmpRadioBtn.h"
#include "ui/CheckButton.h"

namespace tovrik::ui {
namespace {
using platform::Point;
using platform::Rect;
using namespace testing;

class CheckRadioTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    WriteBands(folder / "on.bmp", 16, 16, 16, {{0, 255, 0}});
    WriteBands(folder / "off.bmp", 16, 16, 16, {{255, 0, 0}});
    panel.Create(&main, Rect::FromSize(0, 0, 400, 300));
  }
  std::uint16_t ShownAt(Point p) {
    loop.PaintNow();
    return loop.Frame().Row16(p.y)[p.x];
  }
  void Click(Point p) {
    loop.InjectMouseMove(p);
    loop.InjectMouseButton(p, platform::MouseButton::Left, true);
    loop.InjectMouseButton(p, platform::MouseButton::Left, false);
  }
  ScratchFolder folder{"checkradio"};
  CommandWindow panel, target;
};

TEST_F(CheckRadioTest, CheckBoxTogglesAndTellsItsTarget) {
  target.Create(&main, Rect::FromSize(500, 0, 10, 10));
  CCheckButton check;
  ASSERT_TRUE(check.Create(&panel, Rect::FromSize(0, 0, 1, 1), 77));
  check.Init(30, 40, folder / "on.bmp", folder / "off.bmp", &target, 5);
  EXPECT_EQ(check.GetWindowRect(), Rect::FromSize(30, 40, 16, 16));
  EXPECT_EQ(check.GetValue(), 5);
  EXPECT_EQ(ShownAt({35, 45}), Rgb5(31, 0, 0));
  Click({35, 45});
  EXPECT_EQ(check.GetCheck(), 1);
  EXPECT_EQ(ShownAt({35, 45}), Rgb5(0, 31, 0));
  Click({35, 45});
  EXPECT_EQ(check.GetCheck(), 0);
  EXPECT_EQ(target.commands.size(), 2u);
  EXPECT_EQ(target.commands[0].id, 77);
  EXPECT_TRUE(panel.commands.empty()) << "only the target hears it";
}

TEST_F(CheckRadioTest, GroupOfThreeSelectsOneAndSendsOneCommand) {
  std::array<CBmpRadioBtn, 3> radios;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(radios[static_cast<std::size_t>(i)].Create(&panel, Rect::FromSize(0, 0, 1, 1), 10 + i));
    radios[static_cast<std::size_t>(i)].Init(20 + 30 * i, 20, folder / "on.bmp", folder / "off.bmp", &panel);
  }
  radios[0].AddToGroup(radios[1]);
  radios[1].AddToGroup(radios[2]);
  radios[0].GroupCheck(1);
  for (const auto& r : radios) EXPECT_EQ(r.GetCheck(), 1);
  Click({20 + 60 + 2, 22});
  EXPECT_EQ(radios[0].GetCheck(), 0);
  EXPECT_EQ(radios[1].GetCheck(), 0);
  EXPECT_EQ(radios[2].GetCheck(), 1);
  EXPECT_EQ(panel.commands, (std::vector<Command>{{12, static_cast<LParam>(radios[2].Handle())}}));
  EXPECT_EQ(ShownAt({22, 22}), Rgb5(31, 0, 0));
  EXPECT_EQ(ShownAt({82, 22}), Rgb5(0, 31, 0));
  Click({22, 22});
  EXPECT_EQ(radios[0].GetCheck(), 1);
  EXPECT_EQ(radios[2].GetCheck(), 0);
}

TEST_F(CheckRadioTest, DestroyedButtonLeavesItsGroup) {
  CBmpRadioBtn first, last;
  auto middle = std::make_unique<CBmpRadioBtn>();
  first.AddToGroup(last);
  first.AddToGroup(*middle);
  EXPECT_EQ(first.Next(), middle.get());
  middle.reset();
  EXPECT_EQ(first.Next(), &last);
  EXPECT_EQ(last.Previous(), &first);
  first.GroupCheck(1);
  EXPECT_EQ(last.GetCheck(), 1);
}

}  // namespace
}  // namespace tovrik::ui
