#include "platform/EventLoop.h"

#include <gtest/gtest.h>

#include "RecordingWindow.h"
#include "platform/TickSource.h"

namespace tovrik::platform {
namespace {

using testing::Only;
using testing::Received;
using testing::RecordingWindow;

class EventLoopTest : public ::testing::Test {
 protected:
  EventLoopTest() : loop_(clock_), main_("main", log_), a_("a", log_), b_("b", log_) {
    main_.Create(nullptr, Rect::FromSize(0, 0, 800, 600));
    a_.Create(&main_, Rect::FromSize(100, 100, 200, 100), 11);
    b_.Create(&main_, Rect::FromSize(250, 150, 200, 100), 12);  // overlaps a, on top
    log_.clear();
  }

  void Pump(int times = 1) {
    for (int i = 0; i < times; ++i) loop_.PumpOnce();
  }

  FakeClock clock_{1000};
  EventLoop loop_;
  std::vector<Received> log_;
  RecordingWindow main_;
  RecordingWindow a_;
  RecordingWindow b_;
};

constexpr MsgId kPing = WM_USER + 1;

TEST_F(EventLoopTest, SentMessagesRunBeforeTheCallReturnsPostedOnesInOrderAfter) {
  a_.PostMessage(kPing, 1);
  b_.PostMessage(kPing, 2);
  a_.PostMessage(kPing, 3);
  EXPECT_EQ(a_.SendMessage(kPing, 9), 0);
  ASSERT_EQ(Only(log_, {kPing}), (std::vector<std::string>{"a:1025:9"}));
  Pump();
  EXPECT_EQ(Only(log_, {kPing}), (std::vector<std::string>{"a:1025:9", "a:1025:1", "b:1025:2", "a:1025:3"}));
}

TEST_F(EventLoopTest, MessagesPostedByAHandlerWaitForTheNextIteration) {
  a_.onMessage = [&](MsgId msg, WParam w, LParam) {
    if (msg == kPing && w < 3) a_.PostMessage(kPing, w + 1);
    return false;
  };
  a_.PostMessage(kPing, 1);
  Pump();
  EXPECT_EQ(Only(log_, {kPing}).size(), 1u);
  Pump(2);
  EXPECT_EQ(Only(log_, {kPing}).size(), 3u);
}

TEST_F(EventLoopTest, MessagesToADestroyedWindowAreDropped) {
  const WindowHandle gone = a_.Handle();
  a_.PostMessage(kPing, 1);
  a_.Destroy();
  EXPECT_EQ(loop_.SendMessage(gone, kPing), 0);
  loop_.PostMessage(gone, kPing, 2);
  Pump();
  EXPECT_TRUE(Only(log_, {kPing}).empty());
}

TEST_F(EventLoopTest, TimerFiresAtItsPeriodAndStopsWhenKilled) {
  a_.SetTimer(7, 100);
  clock_.Advance(99);
  Pump();
  EXPECT_TRUE(Only(log_, {WM_TIMER}).empty());
  clock_.Advance(1);
  Pump();
  EXPECT_EQ(Only(log_, {WM_TIMER}), (std::vector<std::string>{"a:275:7"}));
  clock_.Advance(100);
  Pump();
  EXPECT_EQ(Only(log_, {WM_TIMER}).size(), 2u);
  a_.KillTimer(7);
  clock_.Advance(500);
  Pump();
  EXPECT_EQ(Only(log_, {WM_TIMER}).size(), 2u);
}

TEST_F(EventLoopTest, SettingATimerAgainReplacesItAndRestartsThePeriod) {
  a_.SetTimer(7, 100);
  clock_.Advance(80);
  a_.SetTimer(7, 50);
  clock_.Advance(40);
  Pump();
  EXPECT_TRUE(Only(log_, {WM_TIMER}).empty());
  clock_.Advance(10);
  Pump();
  EXPECT_EQ(Only(log_, {WM_TIMER}).size(), 1u);
}

TEST_F(EventLoopTest, MissedPeriodsAreNotMadeUp) {
  a_.SetTimer(1, 10);
  clock_.Advance(1000);
  Pump(3);
  EXPECT_EQ(Only(log_, {WM_TIMER}).size(), 1u);
}

TEST_F(EventLoopTest, DestroyingAWindowKillsItsTimers) {
  a_.SetTimer(1, 10);
  a_.Destroy();
  clock_.Advance(100);
  Pump();
  EXPECT_TRUE(Only(log_, {WM_TIMER}).empty());
}

TEST_F(EventLoopTest, NestedModalLoopKeepsDeliveringAndReturnsItsResult) {
  RecordingWindow dialog("dialog", log_);
  dialog.Create(&main_, Rect::FromSize(300, 200, 200, 150));
  int timerTicks = 0;
  dialog.onMessage = [&](MsgId msg, WParam, LParam) {
    if (msg == WM_TIMER && ++timerTicks == 3) loop_.EndModal(dialog, 42);
    return false;
  };
  a_.SetTimer(5, 30);
  dialog.SetTimer(1, 100);
  int result = 0;
  int depthInside = 0;
  b_.onMessage = [&](MsgId msg, WParam, LParam) {
    if (msg == kPing) {
      a_.PostMessage(kPing, 77);
      depthInside = loop_.ModalDepth() + 1;
      result = loop_.RunModal(dialog);  // the fake clock moves while it waits
    }
    return false;
  };
  b_.PostMessage(kPing);
  Pump();
  EXPECT_EQ(result, 42);
  EXPECT_EQ(depthInside, 1);
  EXPECT_EQ(loop_.ModalDepth(), 0);
  EXPECT_EQ(timerTicks, 3);
  // The owner's posted message and its timer went on during the modal run.
  EXPECT_EQ(Only(log_, {kPing}), (std::vector<std::string>{"b:1025:0", "a:1025:77"}));
  EXPECT_GE(Only(log_, {WM_TIMER}).size(), 3u + 9u);
}

TEST_F(EventLoopTest, ModalRunsNestAndEndInnermostFirst) {
  RecordingWindow outer("outer", log_), inner("inner", log_);
  outer.Create(&main_, Rect::FromSize(0, 0, 100, 100));
  inner.Create(&main_, Rect::FromSize(0, 0, 50, 50));
  std::vector<int> results;
  outer.onMessage = [&](MsgId msg, WParam, LParam) {
    if (msg == kPing) {
      inner.PostMessage(kPing);
      results.push_back(loop_.RunModal(inner));
      loop_.EndModal(outer, 2);
    }
    return false;
  };
  inner.onMessage = [&](MsgId msg, WParam, LParam) {
    if (msg == kPing) {
      EXPECT_EQ(loop_.ModalDepth(), 2);
      loop_.EndModal(inner, 1);
    }
    return false;
  };
  outer.PostMessage(kPing);
  results.push_back(loop_.RunModal(outer));
  EXPECT_EQ(results, (std::vector<int>{1, 2}));
}

TEST_F(EventLoopTest, ModalRunEndsWhenItsWindowIsDestroyedOrTheProgramQuits) {
  RecordingWindow dialog("dialog", log_);
  dialog.Create(&main_, Rect::FromSize(0, 0, 100, 100));
  dialog.PostMessage(WM_CLOSE);
  EXPECT_EQ(loop_.RunModal(dialog), -1);
  EXPECT_FALSE(dialog.IsCreated());

  RecordingWindow other("other", log_);
  other.Create(&main_, Rect::FromSize(0, 0, 100, 100));
  loop_.PostMessage(other.Handle(), WM_QUIT, 3);
  EXPECT_EQ(loop_.RunModal(other), -1);
  EXPECT_TRUE(loop_.QuitRequested());
}

TEST_F(EventLoopTest, TickSourceNeverQueuesASecondTick) {
  TickSource ticks(loop_, a_.Handle());
  EXPECT_TRUE(ticks.Fire());
  EXPECT_FALSE(ticks.Fire());
  EXPECT_FALSE(ticks.Fire());
  // Another window's tick, or another timer id, is not the same tick.
  TickSource other(loop_, b_.Handle());
  EXPECT_TRUE(other.Fire());
  Pump();
  EXPECT_EQ(Only(log_, {WM_TIMER}), (std::vector<std::string>{"a:275:10", "b:275:10"}));
  EXPECT_TRUE(ticks.Fire());
}

TEST(TickSourceThreadTest, RunningTimerPostsAtMostOneTickWhileTheLoopSleeps) {
  EventLoop loop;  // the real clock: the timer thread runs in real time
  std::vector<Received> log;
  RecordingWindow view("view", log);
  view.Create(nullptr, Rect::FromSize(0, 0, 10, 10));
  TickSource ticks(loop, view.Handle(), 10, 2);
  ASSERT_TRUE(ticks.Start());
  // Not pumping while ~15 periods pass: still only one tick waiting.
  for (int i = 0; i < 300 && !loop.HasQueuedMessage(view.Handle(), WM_TIMER, 10); ++i) SystemClock::Instance().SleepMs(1);
  SystemClock::Instance().SleepMs(30);
  ticks.Stop();
  loop.PumpOnce();
  EXPECT_EQ(Only(log, {WM_TIMER}).size(), 1u);
}

// --- Input routing ---------------------------------------------------------------

TEST_F(EventLoopTest, MouseGoesToTheTopmostWindowUnderThePointerInItsCoordinates) {
  loop_.InjectMouseButton({260, 160}, MouseButton::Left, true);  // a and b overlap here; b is on top
  loop_.InjectMouseButton({110, 105}, MouseButton::Left, true);
  auto downs = Only(log_, {WM_LBUTTONDOWN});
  ASSERT_EQ(downs.size(), 2u);
  // (The press is preceded by its WM_NCHITTEST.)
  const auto& first = *std::find_if(log_.begin(), log_.end(), [](auto& r) { return r.msg == WM_LBUTTONDOWN; });
  EXPECT_EQ(first.window, "b");
  EXPECT_EQ(GetXLParam(first.l), 10);
  EXPECT_EQ(GetYLParam(first.l), 10);
  a_.BringWindowToTop();
  log_.clear();
  loop_.InjectMouseButton({260, 160}, MouseButton::Left, false);
  EXPECT_EQ(Only(log_, {WM_LBUTTONUP}), (std::vector<std::string>{"a:514:0"}));
}

TEST_F(EventLoopTest, CaptureKeepsMouseMessagesOnTheCapturingWindowOutsideItsRectangle) {
  a_.SetCapture();
  loop_.InjectMouseMove({50, 20});
  loop_.InjectMouseButton({300, 180}, MouseButton::Left, false);  // over b
  auto moves = Only(log_, {WM_MOUSEMOVE, WM_LBUTTONUP});
  ASSERT_EQ(moves, (std::vector<std::string>{"a:512:0", "a:514:0"}));
  const auto& move = *std::find_if(log_.begin(), log_.end(), [](auto& r) { return r.msg == WM_MOUSEMOVE; });
  EXPECT_EQ(GetXLParam(move.l), -50);
  EXPECT_EQ(GetYLParam(move.l), -80);
  EXPECT_EQ(loop_.LastMousePosition(), (Point{300, 180}));
  loop_.ReleaseCapture();
  log_.clear();
  loop_.InjectMouseMove({300, 180});
  EXPECT_EQ(Only(log_, {WM_MOUSEMOVE}), (std::vector<std::string>{"b:512:0"}));
}

TEST_F(EventLoopTest, ClickInADisabledWindowDoesNothing) {
  RecordingWindow button("button", log_);
  button.Create(&a_, Rect::FromSize(10, 10, 50, 20), 1, WS_VISIBLE | WS_DISABLED);
  loop_.InjectMouseButton({115, 115}, MouseButton::Left, true);
  loop_.InjectMouseButton({115, 115}, MouseButton::Left, false);
  // Neither the button nor the window under it hears the click.
  EXPECT_TRUE(Only(log_, {WM_LBUTTONDOWN, WM_LBUTTONUP}).empty());
  a_.EnableWindow(false);
  loop_.InjectMouseButton({150, 150}, MouseButton::Left, true);
  EXPECT_TRUE(Only(log_, {WM_LBUTTONDOWN}).empty());
}

TEST_F(EventLoopTest, HiddenWindowsAreNotHit) {
  b_.ShowWindow(false);
  loop_.InjectMouseButton({260, 160}, MouseButton::Left, true);
  EXPECT_EQ(Only(log_, {WM_LBUTTONDOWN}), (std::vector<std::string>{"a:513:1"}));
}

TEST_F(EventLoopTest, EnterAndLeaveFollowThePointer) {
  loop_.InjectMouseMove({110, 110});
  loop_.InjectMouseMove({120, 110});
  loop_.InjectMouseMove({300, 200});
  loop_.InjectMouseMove({10, 10});
  EXPECT_EQ(Only(log_, {WM_MOUSEENTER, WM_MOUSELEAVE}),
            (std::vector<std::string>{"a:676:0", "a:675:0", "b:676:0", "b:675:0", "main:676:0"}));
}

TEST_F(EventLoopTest, CursorRequestClimbsToTheParentsUntilOneSetsIt) {
  RecordingWindow list("list", log_);
  list.Create(&a_, Rect::FromSize(0, 0, 50, 50));
  loop_.InjectMouseMove({110, 110});
  EXPECT_EQ(Only(log_, {WM_SETCURSOR}).size(), 3u);  // list, a, main
  log_.clear();
  a_.onMessage = [](MsgId msg, WParam, LParam) { return msg == WM_SETCURSOR; };  // a sets a hand
  loop_.InjectMouseMove({111, 110});
  EXPECT_EQ(Only(log_, {WM_SETCURSOR}).size(), 2u);
  // The cursor request comes before the move, and only while not captured.
  EXPECT_EQ(log_.front().msg, WM_SETCURSOR);
  log_.clear();
  list.SetCapture();
  loop_.InjectMouseMove({112, 110});
  EXPECT_TRUE(Only(log_, {WM_SETCURSOR}).empty());
}

TEST_F(EventLoopTest, DoubleClickNeedsTheStyleAndTheTimeLimit) {
  RecordingWindow list("list", log_);
  list.Create(&main_, Rect::FromSize(500, 400, 100, 100), 3, WS_VISIBLE | WS_DBLCLKS);
  auto click = [&](Point p) {
    loop_.InjectMouseButton(p, MouseButton::Left, true);
    loop_.InjectMouseButton(p, MouseButton::Left, false);
  };
  click({510, 410});
  clock_.Advance(200);
  click({511, 411});
  clock_.Advance(200);
  click({510, 410});  // a third click starts over
  clock_.Advance(600);
  click({510, 410});  // too late for a double click
  EXPECT_EQ(Only(log_, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
            (std::vector<std::string>{"list:513:1", "list:515:1", "list:513:1", "list:513:1"}));
  log_.clear();
  click({110, 110});  // a window without the style gets two presses
  click({110, 110});
  EXPECT_EQ(Only(log_, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}), (std::vector<std::string>{"a:513:1", "a:513:1"}));
}

TEST_F(EventLoopTest, WheelGoesToTheWindowUnderThePointerWithItsDelta) {
  loop_.InjectMouseWheel({110, 110}, -120);
  ASSERT_EQ(Only(log_, {WM_MOUSEWHEEL}).size(), 1u);
  EXPECT_EQ(GetWheelDelta(log_.back().w), -120);
  EXPECT_EQ(log_.back().window, "a");
  EXPECT_EQ(GetXLParam(log_.back().l), 110);
}

TEST_F(EventLoopTest, ModalWindowTakesAllInput) {
  RecordingWindow dialog("dialog", log_);
  dialog.Create(&main_, Rect::FromSize(600, 0, 100, 100));
  dialog.onMessage = [&](MsgId msg, WParam, LParam) {
    if (msg == kPing) {
      loop_.InjectMouseButton({110, 110}, MouseButton::Left, true);  // a, outside the dialog
      loop_.InjectMouseButton({610, 10}, MouseButton::Left, true);
      a_.SetFocus();
      loop_.InjectKey(VK_RETURN, true);
      loop_.EndModal(dialog, 0);
    }
    return false;
  };
  dialog.PostMessage(kPing);
  loop_.RunModal(dialog);
  EXPECT_EQ(Only(log_, {WM_LBUTTONDOWN, WM_KEYDOWN}), (std::vector<std::string>{"dialog:513:1", "dialog:256:13"}));
}

TEST_F(EventLoopTest, KeysAndTextGoToTheFocusedWindow) {
  a_.SetFocus();
  b_.SetFocus();
  EXPECT_EQ(Only(log_, {WM_SETFOCUS, WM_KILLFOCUS}), (std::vector<std::string>{"a:7:0", "a:8:3", "b:7:2"}));
  log_.clear();
  loop_.InjectKey('A', true);
  loop_.InjectTextInput("a");
  loop_.InjectKey(VK_BACK, true);
  EXPECT_EQ(Only(log_, {WM_KEYDOWN, WM_CHAR}),
            (std::vector<std::string>{"b:256:65", "b:258:97", "b:256:8", "b:258:8"}));
}

// --- Input method ------------------------------------------------------------------

class CompositionTest : public EventLoopTest {
 protected:
  void SetUp() override {
    a_.SetFocus();
    log_.clear();
  }
  std::vector<std::string> ImeLog() {
    std::vector<std::string> out;
    for (const auto& r : log_) {
      if (r.msg == WM_IME_STARTCOMPOSITION) out.push_back("start");
      if (r.msg == WM_IME_ENDCOMPOSITION) out.push_back("end");
      if (r.msg == WM_IME_COMPOSITION && r.l == GCS_COMPSTR) out.push_back("comp " + std::to_string(r.w));
      if (r.msg == WM_IME_COMPOSITION && r.l == GCS_RESULTSTR) out.push_back("result");
      if (r.msg == WM_CHAR) out.push_back("char " + std::to_string(r.w));
    }
    return out;
  }
};

// 한 is C7 D1 in code page 949, 마 is B8 B6, 글 is B1 DB, ㄱ is A4 A1.
TEST_F(CompositionTest, ComposedSyllableReachesTheFocusedWindowThenItsCommit) {
  loop_.InjectTextEditing("ㅎ");
  loop_.InjectTextEditing("하");
  loop_.InjectTextEditing("한");
  loop_.InjectTextInput("한");
  const auto ime = ImeLog();
  ASSERT_EQ(ime.size(), 7u);
  EXPECT_EQ(ime[0], "start");
  EXPECT_EQ(ime[3], "comp " + std::to_string(0xC7D1));  // high byte first
  EXPECT_EQ(ime[4], "result");
  // DefWindowProc turned the result into one WM_CHAR, lead byte lowest.
  EXPECT_EQ(ime[5], "char " + std::to_string(0xD1C7));
  EXPECT_EQ(ime[6], "end");
  EXPECT_EQ(loop_.GetCompositionResult(), "\xC7\xD1");
}

TEST_F(CompositionTest, CommitOvertakenByTheNextCharacterIsPutBackInOrder) {
  // fcitx: "/" typed after 마 is reported before 마 itself.
  loop_.InjectTextEditing("마");
  loop_.InjectTextInput("/");
  loop_.InjectTextInput("마");
  const auto ime = ImeLog();
  EXPECT_EQ(ime, (std::vector<std::string>{"start", "comp " + std::to_string(0xB8B6), "result",
                                           "char " + std::to_string(0xB6B8), "end", "char 47"}));
}

TEST_F(CompositionTest, CommitArrivingAfterTheNextCompositionStartedStaysFirst) {
  // ibus: the next syllable's composition begins before 한 is committed.
  loop_.InjectTextEditing("한");
  loop_.InjectTextEditing("ㄱ");
  loop_.InjectTextInput("한");
  loop_.InjectTextEditing("글");
  loop_.InjectTextInput("글");
  std::vector<std::string> chars;
  for (const auto& r : log_)
    if (r.msg == WM_CHAR) chars.push_back(std::to_string(r.w));
  EXPECT_EQ(chars, (std::vector<std::string>{std::to_string(0xD1C7), std::to_string(0xDBB1)}));
  // After the commit of 한 the composition ㄱ is shown again.
  const auto ime = ImeLog();
  const auto result = std::find(ime.begin(), ime.end(), "result");
  ASSERT_NE(result, ime.end());
  EXPECT_EQ(*(result + 2), "comp " + std::to_string(0xA4A1));
}

TEST_F(CompositionTest, CommitAfterAnEmptyCompositionIsAResult) {
  loop_.InjectTextEditing("소");
  loop_.InjectTextEditing("");
  loop_.InjectTextInput("소");
  loop_.InjectTextInput("1");
  EXPECT_EQ(ImeLog(), (std::vector<std::string>{"start", "comp " + std::to_string(0xBCD2), "end", "result",
                                                "char " + std::to_string(0xD2BC), "char 49"}));
}

TEST_F(CompositionTest, HeldTextIsReleasedWhenTheCommitNeverComes) {
  loop_.InjectTextEditing("마");
  loop_.InjectTextInput("x");
  loop_.PumpOnce();
  EXPECT_TRUE(Only(log_, {WM_CHAR}).empty());
  clock_.Advance(CompositionSequencer::kHoldLimitMs);
  loop_.PumpOnce();
  EXPECT_EQ(Only(log_, {WM_CHAR}), (std::vector<std::string>{"a:258:120"}));
}

TEST_F(CompositionTest, WindowHandlingTheResultItselfGetsNoExtraCharacters) {
  a_.onMessage = [](MsgId msg, WParam, LParam l) { return msg == WM_IME_COMPOSITION && (l & GCS_RESULTSTR); };
  loop_.InjectTextEditing("한");
  loop_.InjectTextInput("한");
  EXPECT_TRUE(Only(log_, {WM_CHAR}).empty());
}

TEST_F(CompositionTest, MovingTheFocusEndsTheComposition) {
  loop_.InjectTextEditing("한");
  b_.SetFocus();
  EXPECT_EQ(Only(log_, {WM_IME_ENDCOMPOSITION}), (std::vector<std::string>{"a:270:0"}));
}

// --- Painting ------------------------------------------------------------------------

class FilledWindow : public Window {
 public:
  explicit FilledWindow(RgbColor colour) : colour_(colour) {}
  void OnPaint(PaintContext& pc) override { pc.Fill(GetClientRect(), colour_); }

 private:
  RgbColor colour_;
};

TEST(PaintingTest, WindowsPaintInZOrderClippedToTheirParents) {
  FakeClock clock;
  EventLoop loop(clock);
  FilledWindow main({0, 0, 255}), panel({255, 0, 0}), child({0, 255, 0}), hidden({255, 255, 255});
  main.Create(nullptr, Rect::FromSize(0, 0, 80, 60));
  panel.Create(&main, Rect::FromSize(10, 10, 20, 20));
  child.Create(&panel, Rect::FromSize(15, 15, 20, 20));  // sticks out of the panel
  hidden.Create(&main, Rect::FromSize(0, 0, 80, 60), 0, 0);
  loop.PaintNow();
  const PixelView frame = loop.Frame();
  auto at = [&](int x, int y) { return frame.Row16(y)[x]; };
  EXPECT_EQ(at(5, 5), ToRgb555({0, 0, 255}));
  EXPECT_EQ(at(12, 12), ToRgb555({255, 0, 0}));
  EXPECT_EQ(at(27, 27), ToRgb555({0, 255, 0}));
  EXPECT_EQ(at(32, 32), ToRgb555({0, 0, 255}));  // the child is cut at the panel's edge
  EXPECT_FALSE(loop.NeedsPaint());
  panel.MoveWindow(Rect::FromSize(40, 10, 20, 20));
  EXPECT_TRUE(loop.NeedsPaint());
}

// A hidden window's own repaints (an animation timer of a screen not
// shown) cost no frame; hiding and showing it do.
TEST(PaintingTest, OnlyVisibleWindowsAskForARepaint) {
  FakeClock clock;
  EventLoop loop(clock);
  FilledWindow main({0, 0, 255}), screen({255, 0, 0}), figure({0, 255, 0});
  main.Create(nullptr, Rect::FromSize(0, 0, 80, 60));
  screen.Create(&main, Rect::FromSize(0, 0, 80, 60), 0, 0);
  figure.Create(&screen, Rect::FromSize(10, 10, 20, 20));
  loop.PaintNow();
  figure.Invalidate();
  EXPECT_FALSE(loop.NeedsPaint()) << "its screen is hidden";
  screen.ShowWindow(true);
  EXPECT_TRUE(loop.NeedsPaint());
  loop.PaintNow();
  figure.Invalidate();
  EXPECT_TRUE(loop.NeedsPaint());
  loop.PaintNow();
  screen.ShowWindow(false);
  EXPECT_TRUE(loop.NeedsPaint()) << "what was shown must go";
  loop.PaintNow();
  EXPECT_EQ(loop.Frame().Row16(15)[15], ToRgb555({0, 0, 255}));
}

}  // namespace
}  // namespace tovrik::platform
