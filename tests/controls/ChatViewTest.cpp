#include "controls/ChatView.h"

#include <gtest/gtest.h>

#include "ControlRig.h"
#include "GoldenFrame.h"
#include "platform/Clipboard.h"

namespace tovrik::controls {
namespace {

using namespace platform;
using testing::ControlRig;
using testing::Cp;

constexpr int kViewId = 1100;
constexpr Rect kViewRect = Rect::FromSize(10, 10, 200, 100);
constexpr RgbColor kBlack{0, 0, 0};

// A sibling that follows the view, as a skinned scroll bar would.
using RecordingBar = testing::RecordingParent;

std::string Numbered(int n) { return "line " + std::to_string(n); }

class ChatViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Font::Default()) << "Nanum fonts missing: " << FontFileFor("굴림체", false);
    ASSERT_TRUE(view.Create(&rig.main, kViewRect, kViewId));
    view.SetLineLimit(90);
  }
  void AddLines(int from, int to) {
    for (int n = from; n < to; ++n) view.Append(Numbered(n) + "\n", kBlack);
  }
  std::string TopLine() const { return view.GetVisualLine(view.GetFirstVisibleLine()); }

  ControlRig rig;
  ChatView view;
};

TEST_F(ChatViewTest, TrimsTheOldestLinesAtItsLimit) {
  AddLines(0, 91);
  EXPECT_EQ(view.GetLineCount(), 90u);
  EXPECT_EQ(view.GetLine(0), Numbered(1));
  EXPECT_EQ(view.GetLine(89), Numbered(90));
  view.SetLineLimit(10);
  EXPECT_EQ(view.GetLineCount(), 10u);
  EXPECT_EQ(view.GetLine(0), Numbered(81));
  EXPECT_EQ(view.GetScrollInfo().max + 1, 10 * view.LineStep());
}

TEST_F(ChatViewTest, FollowsNewLinesUntilTheUserScrollsUp) {
  AddLines(0, 40);
  EXPECT_TRUE(view.IsAtBottom());
  EXPECT_GT(view.GetScrollLimit(), 0);
  EXPECT_EQ(view.GetScrollPos(), view.GetScrollLimit());

  view.SendMessage(WM_VSCROLL, SB_PAGEUP);
  view.SendMessage(WM_VSCROLL, SB_LINEUP);
  const std::string shown = TopLine();
  const int pos = view.GetScrollPos();
  AddLines(40, 60);
  EXPECT_FALSE(view.IsAtBottom());
  EXPECT_EQ(view.GetScrollPos(), pos);
  EXPECT_EQ(TopLine(), shown);
  // Trimming above the shown lines moves the position, not the picture.
  AddLines(60, 110);
  EXPECT_EQ(view.GetLineCount(), 90u);
  EXPECT_LT(view.GetScrollPos(), pos);
  EXPECT_EQ(TopLine(), shown);

  view.SendMessage(WM_VSCROLL, SB_BOTTOM);
  AddLines(110, 111);
  EXPECT_TRUE(view.IsAtBottom());
  EXPECT_EQ(view.GetVisualLine(view.GetVisualLineCount() - 1), Numbered(110));
}

TEST_F(ChatViewTest, ScrollBarMessagesAndTheWheelMoveByLinesAndPages) {
  AddLines(0, 60);
  const int step = view.LineStep();
  const int limit = view.GetScrollLimit();
  const ScrollInfo info = view.GetScrollInfo();
  EXPECT_EQ(info.page, kViewRect.Height());
  EXPECT_EQ(info.Limit(), limit);
  EXPECT_EQ(info.pos, limit);
  struct Step {
    WParam w;
    int expected;
  };
  const Step steps[] = {
      {SB_LINEUP, limit - step},
      {SB_PAGEUP, limit - step - kViewRect.Height()},
      {SB_LINEDOWN, limit - kViewRect.Height()},
      {MakeWParam(SB_THUMBTRACK, 25), 25},
      {SB_TOP, 0},
      {SB_LINEUP, 0},
      {MakeWParam(SB_THUMBPOSITION, 60000), limit},
  };
  for (const auto& s : steps) {
    view.SendMessage(WM_VSCROLL, s.w);
    EXPECT_EQ(view.GetScrollPos(), s.expected) << LowWord(s.w);
  }
  rig.automation.Wheel({50, 50}, 120);
  EXPECT_EQ(view.GetScrollPos(), limit - ChatView::kWheelLines * step);
  rig.automation.Wheel({50, 50}, -60);
  rig.automation.Wheel({50, 50}, -60);
  EXPECT_EQ(view.GetScrollPos(), limit);
  view.SetScrollPos(-5);
  EXPECT_EQ(view.GetScrollPos(), 0);
}

TEST_F(ChatViewTest, TellsItsListenerWhenRangeOrPositionChange) {
  AddLines(0, 3);
  const int fromParent = rig.main.Count(EN_VSCROLL);
  EXPECT_GT(fromParent, 0);
  RecordingBar bar;
  bar.Create(&rig.main, Rect::FromSize(210, 10, 12, 100));
  view.SetScrollListener(bar.Handle());
  AddLines(3, 20);
  const int seen = bar.Count(EN_VSCROLL);
  EXPECT_GT(seen, 0);
  view.SendMessage(WM_VSCROLL, SB_TOP);
  EXPECT_EQ(bar.Count(EN_VSCROLL), seen + 1);
  view.SendMessage(WM_VSCROLL, SB_TOP);  // nothing changed, nothing said
  EXPECT_EQ(bar.Count(EN_VSCROLL), seen + 1);
  EXPECT_EQ(rig.main.Count(EN_VSCROLL), fromParent);
}

TEST_F(ChatViewTest, WrapsKoreanTextAtSpacesWithinItsWidth) {
  const std::string text = Cp("가나다라 마바사 아자차카타 파하 가나다라마바사아자차카타파하가나다라마바사아자차카타파하 끝");
  view.Append(text + "\n", kBlack);
  ASSERT_GT(view.GetVisualLineCount(), 2u);
  std::string joined;
  const std::size_t rows = view.GetVisualLineCount();
  for (std::size_t i = 0; i < rows; ++i) {
    const std::string row = view.GetVisualLine(i);
    EXPECT_LE(GetTextExtentCp949(*Font::Default(), row.substr(0, row.find_last_not_of(' ') + 1)).width,
              kViewRect.Width() - 4)
        << i;
    joined += row;
  }
  EXPECT_EQ(joined, text);
  // The short words stay whole: the first row ends after a space.
  EXPECT_EQ(view.GetVisualLine(0).back(), ' ');
}

TEST_F(ChatViewTest, HundredThousandLinesStayAtTheLimit) {
  for (int n = 0; n < 100000; ++n) view.Append(Cp("[귓말:손님] 안녕하세요 ") + std::to_string(n) + "\n", kBlack, n % 7 == 0);
  EXPECT_EQ(view.GetLineCount(), 90u);
  EXPECT_EQ(view.GetVisualLineCount(), 90u);
  EXPECT_EQ(view.GetLine(89), Cp("[귓말:손님] 안녕하세요 99999"));
  EXPECT_TRUE(view.IsAtBottom());
  EXPECT_LE(view.GetScrollInfo().max, 90 * 20);
}

TEST_F(ChatViewTest, MouseSelectsAcrossLinesAndCopies) {
  view.Append("first line\nsecond line\n", kBlack);
  const int step = view.LineStep();
  const Point start{kViewRect.left + 1, kViewRect.top + step / 2};
  const Point end{kViewRect.left + 150, kViewRect.top + step + step / 2};
  rig.automation.Drag(start, end);
  EXPECT_EQ(view.GetSelectedText(), "first line\nsecond line");
  {
    auto control = rig.Hold(VK_CONTROL);
    rig.automation.PressKey('C');
  }
  EXPECT_EQ(GetClipboardText(), "first line\nsecond line");
  // Lines trimmed under a selection shorten it instead of leaving it dangling.
  view.SetLineLimit(1);
  EXPECT_EQ(view.GetSelectedText(), "second line");
}

TEST_F(ChatViewTest, InvalidBytesShowAsReplacementCharacters) {
  view.Append(std::string("\xFF" "a\xC7", 3), kBlack);
  view.Append("\x01tab\there\n", kBlack);
  EXPECT_EQ(view.GetLine(0), std::string("\xFF" "a\xC7" " tab here", 12));
  rig.loop.PaintNow();
  view.SelectAll();
  view.Copy();
  EXPECT_EQ(GetClipboardText(), "\xEF\xBF\xBD" "a\xEF\xBF\xBD" " tab here");
}

TEST_F(ChatViewTest, GoldenColouredAndBoldRunsWrapKoreanText) {
  view.Append(Cp("[서버 알림] 채팅 도배를 하시면 2분간 채팅이 금지됩니다.\n"), {200, 0, 0}, true);
  view.Append(Cp("손님> "), kBlack);
  view.Append(Cp("안녕하세요 반갑습니다 한판 두실 분 계신가요? 초보 환영합니다\n"), {0, 0, 110});
  view.Append(Cp("[귓말:고수] 잠시 후에 들어갈게요\n"), {100, 100, 100});
  testing::ExpectMatchesGolden(testing::PaintedFrame(rig.loop), kViewRect, "chatview_runs");
}

}  // namespace
}  // namespace tovrik::controls
