// The skinned scroll bar against the chat view it drives: the thumb's size
// and place for the view's range, arrows with their auto-repeat on the fake
// clock, paging from the track, dragging the thumb, and the wheel.

#include <gtest/gtest.h>

#include "UiFixture.h"
#include "platform/Text.h"
#include "ui/GrpChatEdit.h"

namespace tovrik::ui {
namespace {
using platform::Point;
using platform::Rect;
using namespace testing;

const std::filesystem::path kRuntime = TOVRIK_RUNTIME_DIR;
constexpr Rect kViewRect = Rect::FromSize(20, 10, 200, 100);

class ScrollBarTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    ASSERT_TRUE(platform::Font::Default());
    ASSERT_TRUE(panel.Create(&main, Rect::FromSize(100, 100, 400, 300)));
    ASSERT_TRUE(view.Create(&panel, kViewRect, 1100));
    ASSERT_TRUE(view.Init({0, 0}, kRuntime));
  }
  void Fill(int lines) {
    for (int i = 0; i < lines; ++i) view.AppendUtf8("줄 " + std::to_string(i) + "\n", {0, 0, 0});
  }
  CSkinVerticleScrollbar& Bar() { return view.ScrollBar(); }
  // A point of the bar at height y, in main-window pixels.
  Point AtBar(int y) const {
    const Rect r = const_cast<ScrollBarTest*>(this)->view.ScrollBar().GetScreenRect();
    return {r.left + 4, r.top + y};
  }
  void Press(Point p) { loop.InjectMouseButton(p, platform::MouseButton::Left, true); }
  void Release(Point p) { loop.InjectMouseButton(p, platform::MouseButton::Left, false); }
  int Height() { return Bar().GetClientRect().Height(); }
  int DownArrow() { return Height() - Bar().DownArrowHeight() + 2; }

  CommandWindow panel;
  CGrpChatEdit view;
};

TEST_F(ScrollBarTest, BarStandsRightOfTheViewWithTheImagesSizes) {
  EXPECT_EQ(Bar().Id(), CGrpChatEdit::kScrollBarId);
  EXPECT_EQ(Bar().Parent(), &panel);
  EXPECT_EQ(Bar().ThumbWidth(), 16) << "half of the 32-pixel thumb image";
  EXPECT_EQ(Bar().GetWindowRect(), (Rect{kViewRect.right, kViewRect.top, kViewRect.right + 16, kViewRect.bottom}));
  view.MoveWindow(Rect::FromSize(30, 40, 150, 80));
  EXPECT_EQ(Bar().GetWindowRect(), Rect::FromSize(180, 40, 16, 80)) << "follows the view";
  EXPECT_EQ(Bar().LineHeight(), view.LineStep());
}

TEST_F(ScrollBarTest, ThumbStaysBelowTheUpArrowWithoutRange) {
  EXPECT_EQ(view.GetScrollLimit(), 0);
  EXPECT_EQ(Bar().ThumbTop(), Bar().UpArrowHeight());
}

TEST_F(ScrollBarTest, ThumbFollowsTheViewsPosition) {
  Fill(40);
  const int limit = view.GetScrollLimit();
  ASSERT_GT(limit, 0);
  const int up = Bar().UpArrowHeight(), track = Height() - up - Bar().DownArrowHeight();
  const int lowest = Height() - up - Bar().ThumbHeight();
  for (int pos : {0, limit / 3, limit / 2, limit}) {
    view.SetScrollPos(pos);
    const int expected = std::min(up + static_cast<int>(pos * (static_cast<double>(track) / limit)), lowest);
    EXPECT_EQ(Bar().ThumbTop(), expected) << "position " << pos;
  }
}

TEST_F(ScrollBarTest, DownArrowScrollsOnceOnAQuickRelease) {
  Fill(40);
  view.SetScrollPos(0);
  Press(AtBar(DownArrow()));
  EXPECT_TRUE(Bar().DownPressed());
  Run(200);
  EXPECT_EQ(view.GetScrollPos(), 0);
  Release(AtBar(DownArrow()));
  EXPECT_EQ(view.GetScrollPos(), view.LineStep());
  Run(300, 4);
  EXPECT_EQ(view.GetScrollPos(), view.LineStep()) << "no timer is left behind";
  EXPECT_FALSE(loop.MsUntilNextTimer().has_value());
}

TEST_F(ScrollBarTest, HeldArrowRepeatsEveryFiftyMillisecondsAfterAQuarterSecond) {
  Fill(40);
  view.SetScrollPos(0);
  const int step = view.LineStep();
  Press(AtBar(DownArrow()));
  Run(250);
  EXPECT_EQ(view.GetScrollPos(), 0) << "the first delay only switches to repeating";
  Run(50);
  EXPECT_EQ(view.GetScrollPos(), step);
  Run(50, 3);
  EXPECT_EQ(view.GetScrollPos(), 4 * step);
  Release(AtBar(DownArrow()));
  EXPECT_EQ(view.GetScrollPos(), 5 * step);
  Run(50, 3);
  EXPECT_EQ(view.GetScrollPos(), 5 * step);
}

TEST_F(ScrollBarTest, UpArrowScrollsUp) {
  Fill(40);
  const int limit = view.GetScrollLimit();
  Press(AtBar(2));
  Release(AtBar(2));
  EXPECT_EQ(view.GetScrollPos(), limit - view.LineStep());
}

TEST_F(ScrollBarTest, TrackReleasePagesTowardsThePointer) {
  Fill(60);
  view.SetScrollPos(0);
  const int page = view.GetClientRect().Height();
  const int below = Bar().ThumbTop() + Bar().ThumbHeight() + 4;
  Press(AtBar(below));
  Release(AtBar(below));
  EXPECT_EQ(view.GetScrollPos(), page);
  const int above = Bar().ThumbTop() - 2;
  ASSERT_GT(above, Bar().UpArrowHeight());
  Press(AtBar(above));
  Release(AtBar(above));
  EXPECT_EQ(view.GetScrollPos(), 0);
}

TEST_F(ScrollBarTest, DraggingTheThumbScrollsByWholeLines) {
  Fill(60);
  view.SetScrollPos(0);
  const int step = view.LineStep();
  const int grab = Bar().ThumbTop() + Bar().ThumbHeight() / 2;
  Press(AtBar(grab));
  EXPECT_TRUE(Bar().ThumbDragging());
  loop.InjectMouseMove(AtBar(grab + 20));
  EXPECT_EQ(view.GetScrollPos() % step, 0);
  EXPECT_GT(view.GetScrollPos(), 0);
  loop.InjectMouseMove(AtBar(Height()));
  const int atEnd = view.GetScrollPos();
  EXPECT_GE(atEnd + step, view.GetScrollLimit() - step);
  Release(AtBar(Height() + 30));
  EXPECT_FALSE(Bar().ThumbDragging());
  EXPECT_EQ(view.GetScrollPos(), atEnd) << "ending a drag past the bar does not page";
}

TEST_F(ScrollBarTest, WheelScrollsOneLineANotch) {
  Fill(40);
  const int step = view.LineStep();
  view.SetScrollPos(5 * step);
  struct Case {
    int delta;
    int lines;
  };
  for (const Case& c : {Case{-120, 1}, Case{120, -1}, Case{-60, 1}, Case{60, -1}, Case{-360, 1}}) {
    const int before = view.GetScrollPos();
    view.SendMessage(platform::WM_MOUSEWHEEL, platform::MakeWParam(0, static_cast<unsigned>(c.delta) & 0xFFFF), 0);
    EXPECT_EQ(view.GetScrollPos() - before, c.lines * step) << "delta " << c.delta;
  }
}

}  // namespace
}  // namespace tovrik::ui
