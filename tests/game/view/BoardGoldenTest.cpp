// The board picture through every phase, drawn from a fixed game with the
// generated artwork, seeded random numbers and a fake clock, compared pixel
// for pixel with the golden pages.

#include <gtest/gtest.h>

#include "GoldenPage.h"
#include "ViewRig.h"

namespace tovrik::gameview {
namespace {

using testing::ExpectGoldenPage;
using testing::ViewRig;

// ---- idle -----------------------------------------------------------------------

struct IdleCase {
  const char* name;
  WaitingState waiting;
  int titleZoom;
  int frames;  // painted before the compared one
};

class IdleGolden : public ::testing::TestWithParam<IdleCase> {};

TEST_P(IdleGolden, StatusLineAndTitle) {
  const IdleCase& c = GetParam();
  ViewRig view;
  view.host.waiting = c.waiting;
  view.rig.field.titleZoom = c.titleZoom;
  for (int i = 0; i < c.frames; ++i) view.Paint();
  view.Paint();
  ExpectGoldenPage(c.name, view.page);
}

INSTANTIATE_TEST_SUITE_P(
    Board, IdleGolden,
    ::testing::Values(IdleCase{"idle_waiting_zoomed", {true, 1, false, false}, 150, 0},
                      IdleCase{"idle_owner_start", {true, 2, true, false}, 100, 0},
                      IdleCase{"idle_owner_start_blink", {true, 2, true, false}, 100, 1},
                      IdleCase{"idle_owner_not_ready", {true, 2, false, false}, 100, 0},
                      IdleCase{"idle_guest_ready", {false, 2, false, true}, 100, 0},
                      IdleCase{"idle_guest_not_ready", {false, 2, false, false}, 100, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- opening --------------------------------------------------------------------

class OpeningGolden : public ::testing::TestWithParam<int> {};

TEST_P(OpeningGolden, BoardGrowsAndFadesIn) {
  ViewRig view;
  view.rig.room.playing = 1;
  const protocol::STARTINFO start = view.rig.StartInfo("han", "cho");
  view.rig.game.DoPrepareGame(&start);
  ASSERT_EQ(view.rig.field.phase, game::kPhaseOpening);
  view.rig.field.phaseCounter = GetParam();
  view.Paint();
  ExpectGoldenPage("opening_" + std::to_string(GetParam()), view.page);
}

INSTANTIATE_TEST_SUITE_P(Board, OpeningGolden, ::testing::Values(0, 30, 70, 100));

// ---- play -----------------------------------------------------------------------

struct PlayCase {
  const char* name;
  int side;
  int offset;
  bool longArrow;  // with the power-up armed and a full gauge
};

class PlayGolden : public ::testing::TestWithParam<PlayCase> {};

TEST_P(PlayGolden, StonesArrowAndGauges) {
  const PlayCase& c = GetParam();
  ViewRig view(c.side);
  view.StartPlaying(c.side == game::kSideHan ? "han" : "cho", c.longArrow ? 10.0f : 2.0f);
  ASSERT_EQ(view.rig.players[0].side, c.side);
  ASSERT_TRUE(view.rig.game.myTurn);
  game::CField& field = view.rig.field;
  field.viewOffsetX = field.viewOffsetY = c.offset;
  if (c.longArrow) {
    view.rig.game.itemMode = 1;
    view.rig.game.itemKind = game::kItemPowerUp;
  }
  // Own stone 0, the king, pulled down and to the left on the page.
  const game::BoardPoint king = field.ToPagePoint(field.Stones(c.side)[0].x, field.Stones(c.side)[0].y);
  const int pull = c.longArrow ? 110 : 40;
  view.painter.SetCursor(king.x, king.y);
  ASSERT_EQ(view.rig.game.OnLButtonDown(king.x, king.y), 1);
  view.painter.SetCursor(king.x - pull * 3 / 5, king.y + pull * 4 / 5);
  view.rig.game.OnMouseMove(king.x - pull * 3 / 5, king.y + pull * 4 / 5);
  view.rig.game.turnLeft = 9000;
  // The gauges brighten over four frames first.
  for (int i = 0; i < 4; ++i) view.Paint();
  ExpectGoldenPage(c.name, view.page);
}

INSTANTIATE_TEST_SUITE_P(Board, PlayGolden,
                         ::testing::Values(PlayCase{"play_han_offset0_short", game::kSideHan, 0, false},
                                           PlayCase{"play_han_offset0_long", game::kSideHan, 0, true},
                                           PlayCase{"play_han_offset10_short", game::kSideHan, 10, false},
                                           PlayCase{"play_han_offset10_long", game::kSideHan, 10, true},
                                           PlayCase{"play_cho_offset0_short", game::kSideCho, 0, false},
                                           PlayCase{"play_cho_offset0_long", game::kSideCho, 0, true},
                                           PlayCase{"play_cho_offset10_short", game::kSideCho, 10, false},
                                           PlayCase{"play_cho_offset10_long", game::kSideCho, 10, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- result ---------------------------------------------------------------------

struct ResultCase {
  const char* name;
  int kind;
  int points;
  int pcRoom;
  int counter;
};

class ResultGolden : public ::testing::TestWithParam<ResultCase> {};

TEST_P(ResultGolden, TitleBadgeAndPoints) {
  const ResultCase& c = GetParam();
  ViewRig view;
  view.StartPlaying("han");
  view.host.pcRoom = c.pcRoom;
  game::CField& field = view.rig.field;
  field.phase = game::kPhaseResult;
  field.resultKind = c.kind;
  field.resultPoints = c.points;
  field.phaseCounter = c.counter;
  view.Paint();
  ExpectGoldenPage(c.name, view.page);
}

INSTANTIATE_TEST_SUITE_P(Board, ResultGolden,
                         ::testing::Values(ResultCase{"result_win", game::kResultWin, 12, 0, 200},
                                           ResultCase{"result_win_pcroom19", game::kResultWin, 12, 19, 200},
                                           ResultCase{"result_win_pcroom20", game::kResultWin, 12, 20, 40},
                                           ResultCase{"result_loss", game::kResultLoss, -8, 20, 200},
                                           ResultCase{"result_draw", game::kResultDraw, 0, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovrik::gameview
