// The item and event decorations of the board, drawn from a fixed game with
// the generated artwork, compared pixel for pixel with the golden pages:
// each item armed, each effect at its start, middle and end, the item
// banner as it unfolds, stands and fades, and the event bar.

#include <gtest/gtest.h>

#include "GoldenPage.h"
#include "ViewRig.h"

namespace tovrik::gameview {
namespace {

using testing::ExpectGoldenPage;
using testing::ViewRig;

// ---- items armed ------------------------------------------------------------------

struct ArmedCase {
  const char* name;
  int kind;
  int hoverIndex;  // own stone under the cursor (-1: none)
  bool subjectChosen;
};

class ArmedGolden : public ::testing::TestWithParam<ArmedCase> {};

TEST_P(ArmedGolden, FocusMarksAndHint) {
  const ArmedCase& c = GetParam();
  ViewRig view;
  view.StartPlaying("han", 10.0f);
  game::CGame& game = view.rig.game;
  game::CField& field = view.rig.field;
  game.UseMyItem(c.kind);
  field.itemTitleTimer = 0;  // the banner has its own pictures
  if (c.hoverIndex >= 0) {
    const game::CStone& stone = field.hanStones[static_cast<std::size_t>(c.hoverIndex)];
    view.painter.SetCursor(stone.x, stone.y);
    game.OnMouseMove(stone.x, stone.y);
  }
  if (c.subjectChosen) {
    const game::CStone& subject = field.hanStones[3];
    game.OnLButtonDown(subject.x, subject.y);
    game.OnLButtonUp(subject.x, subject.y);
    ASSERT_TRUE(game.teleportChosen);
    // A free target in reach.
    view.painter.SetCursor(subject.x - 45, subject.y - 82);
  }
  for (int i = 0; i < 4; ++i) view.Paint();
  ExpectGoldenPage(c.name, view.page);
}

INSTANTIATE_TEST_SUITE_P(Decor, ArmedGolden,
                         ::testing::Values(ArmedCase{"armed_powerup", game::kItemPowerUp, 0, false},
                                           ArmedCase{"armed_change", game::kItemChange, 12, false},
                                           ArmedCase{"armed_teleport", game::kItemTeleport, 5, false},
                                           ArmedCase{"armed_teleport_target", game::kItemTeleport, -1, true},
                                           ArmedCase{"armed_nuclear", game::kItemNuclear, 13, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- item buttons -------------------------------------------------------------------

struct ButtonsCase {
  const char* name;
  int ticks;  // since the turn enabled them
  bool hoverAndPress;
};

class ButtonsGolden : public ::testing::TestWithParam<ButtonsCase> {};

// Enabled at the turn's start, the buttons glide in; the one under the
// mouse and the one pressed show their pictures.
TEST_P(ButtonsGolden, GlideInAndFollowTheMouse) {
  const ButtonsCase& c = GetParam();
  ViewRig view;
  view.StartPlaying("han", 10.0f);
  game::CField& field = view.rig.field;
  for (int i = 0; i < c.ticks; ++i) view.rig.game.OnTimer();
  if (c.hoverAndPress) {
    const game::CItemBtn& nuclear = field.itemButtons[game::kItemNuclear];
    const game::CItemBtn& power = field.itemButtons[game::kItemPowerUp];
    view.rig.game.OnLButtonDown(nuclear.x + nuclear.slide + 20, nuclear.y + 30);
    ASSERT_EQ(nuclear.mouseState, 2);
    view.rig.game.OnMouseMove(power.x + power.slide + 20, power.y + 30);
    ASSERT_EQ(power.mouseState, 1);
  }
  view.Paint();
  ExpectGoldenPage(c.name, view.page);
}

INSTANTIATE_TEST_SUITE_P(Decor, ButtonsGolden,
                         ::testing::Values(ButtonsCase{"buttons_gliding", 12, false},
                                           ButtonsCase{"buttons_hover_and_press", 40, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- effects ------------------------------------------------------------------------

struct EffectCase {
  const char* name;
  int kind;
  int index;  // the stone the effect concerns (Cho's)
  int stage;  // 0 start, 1 middle, 2 last frame
};

class EffectGolden : public ::testing::TestWithParam<EffectCase> {};

TEST_P(EffectGolden, AnimationAtItsStage) {
  const EffectCase& c = GetParam();
  ViewRig view;
  view.StartPlaying("cho");
  game::CField& field = view.rig.field;
  if (c.kind == game::kEffectChange) field.DoChangeStones(game::kSideCho, c.index, 2);
  if (c.kind == game::kEffectTeleport) field.DoTeleportStone(game::kSideCho, c.index, 330, 240);
  if (c.kind == game::kEffectNuclear) field.DoNuclearBlast(game::kSideCho, c.index);
  const int length = field.EffectLength(c.kind);
  field.effectFrame = c.stage == 0 ? 0 : (c.stage == 1 ? length / 2 : length - 1);
  view.Paint();
  ExpectGoldenPage(c.name, view.page);
}

INSTANTIATE_TEST_SUITE_P(Decor, EffectGolden,
                         ::testing::Values(EffectCase{"effect_change_start", game::kEffectChange, 11, 0},
                                           EffectCase{"effect_change_middle", game::kEffectChange, 11, 1},
                                           EffectCase{"effect_change_end", game::kEffectChange, 11, 2},
                                           EffectCase{"effect_teleport_start", game::kEffectTeleport, 7, 0},
                                           EffectCase{"effect_teleport_middle", game::kEffectTeleport, 7, 1},
                                           EffectCase{"effect_teleport_end", game::kEffectTeleport, 7, 2},
                                           EffectCase{"effect_nuclear_king_start", game::kEffectNuclear, 0, 0},
                                           EffectCase{"effect_nuclear_king_middle", game::kEffectNuclear, 0, 1},
                                           EffectCase{"effect_nuclear_major_end", game::kEffectNuclear, 3, 2},
                                           EffectCase{"effect_nuclear_minor_middle", game::kEffectNuclear, 13, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// In a channel without items the effect is not drawn at all.
TEST(DecorGolden, NoEffectPicturesInAPlainChannel) {
  ViewRig plain, none;
  for (ViewRig* view : {&plain, &none}) {
    view->rig.room.itemChannel = 0;
    view->StartPlaying("cho");
  }
  plain.rig.field.DoNuclearBlast(game::kSideCho, 0);
  plain.rig.field.effectFrame = 5;
  // The same blast's stones, without the effect.
  none.rig.field.DoNuclearBlast(game::kSideCho, 0);
  none.rig.field.effectKind = game::kEffectNone;
  plain.Paint();
  none.Paint();
  EXPECT_EQ(testing::PageIndices(plain.page), testing::PageIndices(none.page));
}

// ---- item banner ------------------------------------------------------------------

class BannerGolden : public ::testing::TestWithParam<int> {};

TEST_P(BannerGolden, UnfoldsStandsAndFades) {
  ViewRig view;
  view.StartPlaying("cho");
  view.rig.field.itemTitleKind = GetParam() % 4;
  view.rig.field.itemTitleTimer = GetParam();
  view.Paint();
  ExpectGoldenPage("banner_" + std::to_string(GetParam()), view.page);
}

// 45 and 40 unfold, 35 and 20 stand, 7 and 3 fade.
INSTANTIATE_TEST_SUITE_P(Decor, BannerGolden, ::testing::Values(45, 40, 35, 20, 7, 3));

// ---- event bar ----------------------------------------------------------------------

struct EventCase {
  const char* name;
  EventState events;
  int risingMs;  // since the point-up started; -1: none
};

class EventGolden : public ::testing::TestWithParam<EventCase> {};

TEST_P(EventGolden, BarNumberAndRisingMark) {
  const EventCase& c = GetParam();
  ViewRig view;
  view.host.events = c.events;
  view.rig.field.titleZoom = 100;
  if (c.risingMs >= 0) {
    view.painter.StartPointUp(view.clock.NowMs());
    view.clock.Advance(static_cast<std::uint32_t>(c.risingMs));
  }
  view.Paint();
  ExpectGoldenPage(c.name, view.page);
}

INSTANTIATE_TEST_SUITE_P(Decor, EventGolden,
                         ::testing::Values(EventCase{"event_empty", {true, false, 0, 0, 0}, -1},
                                           EventCase{"event_label_3_7", {true, true, 3, 4, 3}, -1},
                                           EventCase{"event_5_42_rising", {true, true, 5, 40, 2}, 200},
                                           EventCase{"event_10_123_risen", {true, true, 10, 100, 23}, 600},
                                           EventCase{"event_10_123_over", {true, true, 10, 100, 23}, 700}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovrik::gameview
