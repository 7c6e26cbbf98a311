// The game view at work: its clock with catch-up, the mouse (the Cho mapping
// as the exact inverse of the drawing, a capture lost mid-aim), the gauges,
// the board shift at the page edge, effects that end in the game tick, the
// star field's cap, and pictures drawn without their sprite sets.

#include <gtest/gtest.h>

#include <cmath>

#include "ViewRig.h"
#include "base/Log.h"
#include "gameview/GameView.h"
#include "platform/EventLoop.h"

namespace tovrik::gameview {
namespace {

using namespace platform;
using testing::FixedHost;
using testing::GeneratedSprites;
using testing::ViewRig;

// The view as the main window of a loop on a fake clock, over one client.
class ViewWindowRig {
 public:
  explicit ViewWindowRig(int localSide = game::kSideHan, const GameSprites& sprites = GeneratedSprites())
      : rig(localSide == game::kSideHan ? "han" : "cho", localSide == game::kSideHan ? "cho" : "han"),
        loop(clock),
        view(rig.game, sprites, host, {testing::kRuntime, false, 7}, clock) {
    view.Create(nullptr, Rect::FromSize(0, 0, kGamePageWidth, kGamePageHeight));
  }

  void StartPlaying(const char* turnOf, float gauge = 0.0f) {
    rig.room.playing = 1;
    // The Cho client sits in the server's second seat.
    rig.game.myServPNum = rig.players[0].ID() == "cho" ? 1 : 0;
    rig.StartAndOpen(rig.StartInfo("han", "cho"));
    ASSERT_EQ(rig.field.phase, game::kPhasePlaying);
    rig.NextPlayer(turnOf, gauge, 0.0f);
  }

  void Tick(std::uint32_t afterMs = 20) {
    clock.Advance(afterMs);
    view.SendMessage(WM_TIMER, CGameView::kTickTimerId);
  }
  void Mouse(MsgId msg, int x, int y) { view.SendMessage(msg, msg == WM_MOUSEMOVE ? 0 : MK_LBUTTON, MakeLParam(x, y)); }

  game::testing::GameRig rig;
  FixedHost host;
  FakeClock clock{50000};
  EventLoop loop;
  CGameView view;
};

// ---- clock ----------------------------------------------------------------------

TEST(GameViewClock, CatchesUpMissedFramesAndStandsStillOutsideTheRoom) {
  ViewWindowRig w;
  w.StartPlaying("han");
  const int start = w.rig.game.tickCount;
  w.Tick(20);
  EXPECT_EQ(w.rig.game.tickCount, start + 1);
  // 80 ms since the last tick: three frames were missed.
  w.Tick(80);
  EXPECT_EQ(w.rig.game.tickCount, start + 5);
  w.Tick(20);
  EXPECT_EQ(w.rig.game.tickCount, start + 6);

  w.host.roomShown = false;
  w.Tick(20);
  w.Tick(200);
  EXPECT_EQ(w.rig.game.tickCount, start + 6);
  // Other timers of the view are not game ticks.
  w.host.roomShown = true;
  w.view.SendMessage(WM_TIMER, 11);
  EXPECT_EQ(w.rig.game.tickCount, start + 6);
}

TEST(GameViewClock, CreationPreparesThePageAndTheSlots) {
  ViewWindowRig w;
  EXPECT_EQ(w.view.Page().width, kGamePageWidth);
  EXPECT_EQ(w.view.Page().bitsPerPixel, 8);
  EXPECT_EQ(w.view.Page().alphaLoaded, 1);
  EXPECT_EQ(w.rig.game.page, &w.view.Page());
  for (int slot = 0; slot < 6; ++slot) EXPECT_EQ(w.rig.players[static_cast<std::size_t>(slot)].playerNum, slot);
}

// ---- mouse ----------------------------------------------------------------------

struct MappingCase {
  int side;
  int offset;
  int index;  // own stone picked
  int dragX, dragY;  // cursor relative to where the stone is drawn
};

// For either side and a scrolled board, the stone drawn under the cursor is
// the one picked, and the shot leaves the way the drawn arrow points.
TEST(GameViewMouse, ChoAndHanInputIsTheInverseOfTheDrawing) {
  const MappingCase cases[] = {
      {game::kSideHan, 0, 1, -30, 40},  {game::kSideHan, 10, 1, -30, 40}, {game::kSideHan, 10, 11, 50, -10},
      {game::kSideCho, 0, 1, -30, 40},  {game::kSideCho, 10, 1, -30, 40}, {game::kSideCho, 10, 11, 50, -10},
      {game::kSideCho, -7, 14, 20, 60},
  };
  for (const MappingCase& c : cases) {
    SCOPED_TRACE("side " + std::to_string(c.side) + " offset " + std::to_string(c.offset) + " stone " +
                 std::to_string(c.index));
    ViewWindowRig w(c.side);
    w.StartPlaying(c.side == game::kSideHan ? "han" : "cho");
    game::CField& field = w.rig.field;
    field.viewOffsetX = field.viewOffsetY = c.offset;
    const game::CStone& stone = field.Stones(c.side)[static_cast<std::size_t>(c.index)];
    // Where the board picture puts it: turned for Cho, then moved by the offset.
    int px = stone.x, py = stone.y;
    if (c.side == game::kSideCho) game::CField::ReversePos(&px, &py);
    px += c.offset;
    py += c.offset;

    w.Mouse(WM_MOUSEMOVE, px, py);
    w.Mouse(WM_LBUTTONDOWN, px, py);
    ASSERT_EQ(w.rig.sender.clicks.size(), 1u);
    EXPECT_EQ(w.rig.sender.clicks[0].StoneIndex, c.index);
    const int cx = px + c.dragX, cy = py + c.dragY;
    w.Mouse(WM_MOUSEMOVE, cx, cy);
    const CBoardPainter::Aim aim = w.view.Painter().CurrentAim();
    ASSERT_TRUE(aim.active);
    EXPECT_EQ(aim.from, (game::BoardPoint{px, py}));
    w.Mouse(WM_LBUTTONUP, cx, cy);
    ASSERT_EQ(w.rig.sender.hits.size(), 1u);
    EXPECT_EQ(w.rig.sender.hits[0].StoneIndex, c.index);
    // The arrowhead points away from the cursor on the page; on the board a
    // Cho player's page is turned by half a turn.
    float expected = game::GetAngle(px, py, cx, cy) + 180.0f + (c.side == game::kSideCho ? 180.0f : 0.0f);
    expected = std::fmod(expected, 360.0f);
    const float turned = std::fmod(std::fabs(w.rig.sender.hits[0].Angle - expected), 360.0f);
    EXPECT_LT(std::min(turned, 360.0f - turned), 0.01f) << w.rig.sender.hits[0].Angle << " against " << expected;
    const float drag = std::hypot(static_cast<float>(c.dragX), static_cast<float>(c.dragY));
    EXPECT_NEAR(w.rig.sender.hits[0].Power, 5.0f + 25.0f / 90.0f * std::min(drag, 90.0f), 0.05f);
  }
}

TEST(GameViewMouse, LostCaptureCancelsTheAim) {
  for (const bool lose : {false, true}) {
    SCOPED_TRACE(lose ? "capture lost" : "capture kept");
    ViewWindowRig w;
    w.StartPlaying("han");
    Window box;
    ASSERT_TRUE(box.Create(&w.view, Rect::FromSize(200, 200, 100, 60)));
    const game::CStone& king = w.rig.field.hanStones[0];
    w.Mouse(WM_LBUTTONDOWN, king.x, king.y);
    ASSERT_TRUE(w.view.MouseCaptured());
    ASSERT_EQ(w.rig.field.aiming, 1);
    w.Mouse(WM_MOUSEMOVE, king.x + 20, king.y + 30);
    if (lose) {
      // A message box takes the mouse; the release happens over it.
      box.SetCapture();
      EXPECT_FALSE(w.view.MouseCaptured());
      EXPECT_EQ(w.rig.field.aiming, 0);
      w.loop.ReleaseCapture();
      // The next click anywhere on the board.
      w.Mouse(WM_LBUTTONDOWN, 300, 300);
      w.Mouse(WM_LBUTTONUP, 300, 300);
      EXPECT_TRUE(w.rig.sender.hits.empty());
      EXPECT_EQ(w.rig.game.waitResult, 0);
    } else {
      w.Mouse(WM_LBUTTONUP, king.x + 20, king.y + 30);
      EXPECT_EQ(w.rig.sender.hits.size(), 1u);
      EXPECT_FALSE(w.view.MouseCaptured());
      EXPECT_EQ(w.loop.GetCapture(), nullptr);
    }
  }
}

TEST(GameViewMouse, CaptionRowsMoveTheWindowAndReleasesFocusTheChat) {
  ViewWindowRig w;
  w.StartPlaying("han");
  w.Mouse(WM_LBUTTONDOWN, 300, 27);
  ASSERT_EQ(w.host.captionPresses.size(), 1u);
  EXPECT_EQ(w.host.captionPresses[0], (game::BoardPoint{300, 27}));
  EXPECT_FALSE(w.view.MouseCaptured());
  w.Mouse(WM_LBUTTONDOWN, 300, 28);
  EXPECT_EQ(w.host.captionPresses.size(), 1u);
  EXPECT_TRUE(w.view.MouseCaptured());
  w.Mouse(WM_LBUTTONUP, 300, 28);
  EXPECT_EQ(w.host.chatFocused, 1);
}

// ---- gauges and the board shift --------------------------------------------------

TEST(GameViewGauges, TimeGaugeStartsAtTheRowOfTheTimeLeft) {
  EXPECT_EQ(CBoardPainter::GaugeTopRow(15000.0f, 15000.0f), 255);
  EXPECT_EQ(CBoardPainter::GaugeTopRow(7500.0f, 15000.0f), 300);
  EXPECT_EQ(CBoardPainter::GaugeTopRow(0.0f, 15000.0f), 345);
  EXPECT_EQ(CBoardPainter::GaugeTopRow(-1.0f, 15000.0f), 345);
  EXPECT_EQ(CBoardPainter::GaugeTopRow(10.0f, 10.0f), 255);

  // On the page: the full gauge changes nothing above its first row.
  struct Row {
    int left;
    int top;  // first row that may change; past the gauge: nothing changes
  };
  for (const auto& [left, top] : {Row{15000, 255}, Row{7500, 300}, Row{0, 345}, Row{-1, 345}}) {
    SCOPED_TRACE(left);
    auto paint = [&](bool myTurn) {
      ViewRig view;
      view.StartPlaying("han");
      view.rig.game.myTurn = myTurn;
      view.rig.game.turnLeft = left;
      for (int i = 0; i < 5; ++i) view.Paint();
      std::vector<std::uint8_t> column;
      for (int y = 0; y < kGamePageHeight; ++y)
        for (int x = 560; x < 590; ++x) column.push_back(view.page.bits[y * view.page.pitchBytes + x]);
      return column;
    };
    const auto with = paint(true), without = paint(false);
    int first = -1;
    for (std::size_t i = 0; i < with.size() && first < 0; ++i)
      if (with[i] != without[i]) first = static_cast<int>(i / 30);
    // The pictures' top rows are the gauge's rim, alike in both frames.
    EXPECT_GE(first, top);
    EXPECT_LE(first, top + 6);
  }
}

TEST(GameViewGauges, BoardShiftsFivePixelsAFrameWhileTheArrowTipTouchesTheEdge) {
  ViewRig view;
  view.StartPlaying("han", 10.0f);
  view.rig.game.itemMode = 1;
  view.rig.game.itemKind = game::kItemPowerUp;
  game::CField& field = view.rig.field;
  const game::CStone& leftmost = field.hanStones[6];
  ASSERT_EQ(leftmost.x, 101);
  ASSERT_EQ(view.rig.game.OnLButtonDown(leftmost.x, leftmost.y), 1);
  // Pulled far to the left: the arrow reaches 120 pixels.
  view.painter.SetCursor(-200, leftmost.y);
  std::vector<int> offsets;
  for (int i = 0; i < 6; ++i) {
    view.Paint();
    offsets.push_back(field.viewOffsetX);
  }
  // Until the tip, 120 pixels left of the stone, is off the edge.
  EXPECT_EQ(offsets, (std::vector<int>{5, 10, 15, 20, 20, 20}));
  EXPECT_EQ(field.viewOffsetY, 0);
  // After the release the board glides back 2 pixels a tick.
  view.rig.game.OnLButtonUp(-200 + 20, leftmost.y);
  EXPECT_EQ(view.rig.sender.hits.size(), 1u);
  view.rig.game.OnTimer();
  EXPECT_EQ(field.viewOffsetX, 18);
  view.rig.game.OnTimer();
  EXPECT_EQ(field.viewOffsetX, 16);
}

// ---- effects --------------------------------------------------------------------

// Every effect ends in the tick that reaches its length, drawn or not, in
// channels with and without items.
TEST(GameViewEffects, EffectsLastTheirTicksWhetherDrawnOrNotInAnyChannel) {
  const GameSprites& art = GeneratedSprites();
  ASSERT_NE(art.changeAni, nullptr);
  const int lengths[] = {0, art.changeAni->FrameCount(), 2 * art.teleportAni->FrameCount(), art.nuclearAni->FrameCount()};
  for (const int itemChannel : {1, 0}) {
    for (const bool drawn : {false, true}) {
      for (const int kind : {game::kEffectChange, game::kEffectTeleport, game::kEffectNuclear}) {
        SCOPED_TRACE("channel " + std::to_string(itemChannel) + (drawn ? " drawn" : " not drawn") + " effect " +
                     std::to_string(kind));
        ViewWindowRig w;
        w.rig.room.itemChannel = itemChannel;
        w.StartPlaying("cho");
        game::CField& field = w.rig.field;
        if (kind == game::kEffectChange) field.DoChangeStones(game::kSideCho, 9, 1);
        if (kind == game::kEffectTeleport) field.DoTeleportStone(game::kSideCho, 3, 250, 200);
        if (kind == game::kEffectNuclear) field.DoNuclearBlast(game::kSideCho, 12);
        ASSERT_EQ(field.effectKind, kind);
        int ticks = 0;
        while (field.effectKind != game::kEffectNone && ticks < 1000) {
          if (drawn) w.view.Painter().Paint(w.view.Page());
          w.Tick();
          ++ticks;
        }
        EXPECT_EQ(ticks, lengths[kind]);
        // The shake is over too: the board is back in place within a few ticks.
        for (int i = 0; i < 3; ++i) w.Tick();
        EXPECT_EQ(field.viewOffsetX, 0);
      }
    }
  }
}

// ---- stars ------------------------------------------------------------------------

TEST(GameViewStars, NeverMoreThanThirtyStarsOverTenThousandFrames) {
  gfx::CPage page;
  testing::InitGamePage(page);
  std::mt19937 random(3);
  CStar stars;
  stars.Init(random);
  int most = 0, fewest = CStar::kRecords;
  for (int frame = 0; frame < 10000; ++frame) {
    stars.DrawAllStar(page, GeneratedSprites().star, random);
    most = std::max(most, stars.ActiveCount());
    fewest = std::min(fewest, stars.ActiveCount());
    for (int i = CStar::kInUse; i < CStar::kRecords; ++i) ASSERT_EQ(stars.Records()[static_cast<std::size_t>(i)].active, 0);
  }
  EXPECT_EQ(most, CStar::kInUse);
  EXPECT_GE(fewest, CStar::kInUse - 10) << "stars that leave must come back";
}

// ---- missing artwork --------------------------------------------------------------

TEST(GameViewArt, MissingSpriteSetsAreSkippedAndLoggedOnce) {
  std::vector<std::string> warnings;
  const auto previous = base::SetLogSink([&](const base::LogRecord& r) {
    if (r.subsystem == "gameview") warnings.emplace_back(r.text);
  });
  const GameSprites none;
  {
    ViewWindowRig w(game::kSideHan, none);
    w.host.events.peakTimeEvent = true;
    w.host.events.peakTimeLabel = true;
    auto paintAll = [&] {
      for (const int phase : {game::kPhaseIdle, game::kPhaseOpening, game::kPhasePlaying, game::kPhaseResult}) {
        w.rig.field.phase = phase;
        w.rig.field.resultKind = game::kResultWin;
        w.view.Painter().Paint(w.view.Page());
      }
    };
    w.StartPlaying("han", 10.0f);
    w.rig.game.itemMode = 1;
    w.rig.game.itemKind = game::kItemNuclear;
    w.rig.field.itemTitleTimer = 20;
    w.rig.field.hanStones[3].itemHover = 1;
    w.rig.field.DoNuclearBlast(game::kSideCho, 0);
    paintAll();
    const std::size_t once = warnings.size();
    EXPECT_GT(once, 3u);
    paintAll();
    EXPECT_EQ(warnings.size(), once);
    // The game still runs: the effect ends in its ticks.
    for (int i = 0; i < 100; ++i) w.Tick();
    EXPECT_EQ(w.rig.field.effectKind, game::kEffectNone);
  }
  base::SetLogSink(previous);
}

}  // namespace
}  // namespace tovrik::gameview
