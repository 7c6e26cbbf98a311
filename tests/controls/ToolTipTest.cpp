#include "controls/ToolTip.h"

#include "ControlsFixture.h"

namespace tovrik::controls {
namespace {

using platform::Point;
using platform::Rect;
using platform::Window;

class ToolTipTest : public testing::ControlsTest {
 protected:
  ToolTipTest() {
    button_.Create(&main_, Rect::FromSize(100, 100, 80, 30));
    inner_.Create(&button_, Rect::FromSize(10, 10, 20, 10));
    panel_.Create(&main_, Rect::FromSize(400, 100, 300, 300));
    EXPECT_TRUE(tip_.AddTool(button_, "대화내용 신고"));
    EXPECT_TRUE(tip_.AddTool(panel_, 1, Rect::FromSize(50, 50, 40, 40), "영역"));
  }
  Window button_, inner_, panel_;
  ToolTip tip_;
};

TEST_F(ToolTipTest, ShowsAfterTheInitialDelayBelowThePointer) {
  loop_.InjectMouseMove({120, 110});
  Advance(ToolTip::kInitialDelayMs - 1);
  EXPECT_FALSE(tip_.IsShown());
  Advance(1);
  ASSERT_TRUE(tip_.IsShown());
  EXPECT_EQ(tip_.ShownText(), "대화내용 신고");
  EXPECT_EQ(tip_.GetWindowRect().TopLeft(), (Point{120, 110 + ToolTip::kBelowPointer}));
  // Moving on the same tool keeps it.
  loop_.InjectMouseMove({125, 112});
  EXPECT_TRUE(tip_.IsShown());
}

TEST_F(ToolTipTest, MovingBeforeTheDelayStartsItAgainAndChildrenBelongToTheirTool) {
  loop_.InjectMouseMove({105, 105});
  Advance(300);
  loop_.InjectMouseMove({115, 115});  // onto the child window: the same tool
  Advance(300);
  EXPECT_FALSE(tip_.IsShown());
  Advance(200);
  EXPECT_TRUE(tip_.IsShown());
}

TEST_F(ToolTipTest, LeavingTheToolHidesItAtOnce) {
  loop_.InjectMouseMove({120, 110});
  Advance(ToolTip::kInitialDelayMs);
  ASSERT_TRUE(tip_.IsShown());
  loop_.InjectMouseMove({300, 300});
  EXPECT_FALSE(tip_.IsShown());
  Advance(2000);
  EXPECT_FALSE(tip_.IsShown());
}

TEST_F(ToolTipTest, AClickHidesItUntilThePointerLeavesAndComesBack) {
  loop_.InjectMouseMove({120, 110});
  Advance(ToolTip::kInitialDelayMs);
  ASSERT_TRUE(tip_.IsShown());
  automation_.Click({121, 111});
  EXPECT_FALSE(tip_.IsShown());
  Advance(2000);
  EXPECT_FALSE(tip_.IsShown());
  loop_.InjectMouseMove({300, 300});
  loop_.InjectMouseMove({120, 110});
  Advance(ToolTip::kInitialDelayMs);
  EXPECT_TRUE(tip_.IsShown());
}

TEST_F(ToolTipTest, AClickBeforeTheDelayKeepsItAway) {
  loop_.InjectMouseMove({120, 110});
  Advance(200);
  automation_.Click({120, 110});
  Advance(1000);
  EXPECT_FALSE(tip_.IsShown());
}

TEST_F(ToolTipTest, ItPopsAwayAfterItsTime) {
  loop_.InjectMouseMove({120, 110});
  Advance(ToolTip::kInitialDelayMs);
  Advance(ToolTip::kAutoPopMs - 1);
  EXPECT_TRUE(tip_.IsShown());
  Advance(1);
  EXPECT_FALSE(tip_.IsShown());
}

TEST_F(ToolTipTest, ARectangleToolCoversOnlyItsRectangle) {
  loop_.InjectMouseMove({410, 110});
  Advance(1000);
  EXPECT_FALSE(tip_.IsShown());
  loop_.InjectMouseMove({460, 160});
  Advance(ToolTip::kInitialDelayMs);
  ASSERT_TRUE(tip_.IsShown());
  EXPECT_EQ(tip_.ShownText(), "영역");
}

TEST_F(ToolTipTest, NearThePageEdgeItStaysOnThePage) {
  Window corner;
  corner.Create(&main_, Rect::FromSize(760, 570, 40, 30));
  tip_.AddTool(corner, "구석에 있는 단추의 설명");
  loop_.InjectMouseMove({795, 595});
  Advance(ToolTip::kInitialDelayMs);
  ASSERT_TRUE(tip_.IsShown());
  const Rect r = tip_.GetWindowRect();
  EXPECT_LE(r.right, 800);
  EXPECT_LE(r.bottom, 595);  // above the pointer
  EXPECT_GE(r.left, 0);
  EXPECT_FALSE(r.Contains({795, 595}));
}

TEST_F(ToolTipTest, ARemovedOrDestroyedToolShowsNothing) {
  tip_.DelTool(button_);
  loop_.InjectMouseMove({120, 110});
  Advance(1000);
  EXPECT_FALSE(tip_.IsShown());
  panel_.Destroy();
  loop_.InjectMouseMove({460, 160});
  Advance(1000);
  EXPECT_FALSE(tip_.IsShown());
}

}  // namespace
}  // namespace tovrik::controls
