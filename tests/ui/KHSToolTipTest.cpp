// The lobby's tooltips: code page 949 texts for a whole control or a
// rectangle, kept inside the window near its edges.

#include <gtest/gtest.h>

#include "UiFixture.h"
#include "base/CodePage.h"
#include "ui/KHSToolTip.h"

namespace tovrik::ui {
namespace {
using platform::Point;
using platform::Rect;
using namespace testing;

class KHSToolTipTest : public UiTest {
 protected:
  void Rest(Point p) {
    loop.InjectMouseMove(p);
    Run(controls::ToolTip::kInitialDelayMs);
  }
  CKHSToolTip tip;
};

TEST_F(KHSToolTipTest, WholeControlAndRectangleTools) {
  platform::Window button, panel;
  button.Create(&main, Rect::FromSize(100, 100, 80, 30));
  panel.Create(&main, Rect::FromSize(300, 100, 200, 200));
  EXPECT_TRUE(tip.WndTip(button, base::Utf8ToCp949("귓속말")));
  EXPECT_TRUE(tip.RectTip(panel, base::Utf8ToCp949("방 정보"), Rect::FromSize(20, 20, 40, 40), 7));
  Rest({120, 110});
  ASSERT_TRUE(tip.IsShown());
  EXPECT_EQ(tip.ShownText(), "귓속말");
  Rest({330, 130});
  ASSERT_TRUE(tip.IsShown());
  EXPECT_EQ(tip.ShownText(), "방 정보");
  Rest({310, 110});
  EXPECT_FALSE(tip.IsShown()) << "outside the rectangle";
}

TEST_F(KHSToolTipTest, StaysInsideTheWindowNearItsEdges) {
  platform::Window corner;
  corner.Create(&main, Rect::FromSize(700, 560, 100, 40));
  ASSERT_TRUE(tip.WndTip(corner, base::Utf8ToCp949("아주 긴 도움말 문장입니다")));
  for (Point p : {Point{795, 598}, Point{702, 598}, Point{795, 562}}) {
    loop.InjectMouseMove({10, 10});
    Rest(p);
    ASSERT_TRUE(tip.IsShown()) << p.x << "," << p.y;
    const Rect r = tip.GetWindowRect();
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.right, 800) << p.x << "," << p.y;
    EXPECT_LE(r.bottom, 600) << p.x << "," << p.y;
  }
}

}  // namespace
}  // namespace tovrik::ui
