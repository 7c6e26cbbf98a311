#pragma once
// One client's game with the board painter over it: the generated artwork,
// the game page with the generated palette and blend table, a host of plain
// values and a fake clock, so that every picture can be drawn again exactly.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../GameRig.h"
#include "gameview/BoardPainter.h"
#include "gameview/GameSprites.h"
#include "gameview/ItemButtonSprites.h"
#include "gfx/GrpLib8.h"
#include "gfx/Page.h"
#include "platform/Clock.h"
#include "platform/PathResolver.h"

namespace tovrik::gameview::testing {

inline const std::filesystem::path kRuntime = TOVRIK_RUNTIME_DIR;

// The generated sets, loaded once for the whole test program.
inline const GameSprites& GeneratedSprites() {
  static CGameSpriteSets sets = [] {
    CGameSpriteSets s;
    s.Load(kRuntime);
    return s;
  }();
  return sets.Sprites();
}

class FixedHost : public IGameViewHost {
 public:
  bool IsGameRoomShown() const override { return roomShown; }
  RoomCaption Caption() const override { return caption; }
  WaitingState Waiting() const override { return waiting; }
  int LocalPcRoom() const override { return pcRoom; }
  EventState Events() const override { return events; }
  void OnCaptionBarPress(int x, int y) override { captionPresses.push_back({x, y}); }
  void FocusChatInput() override { ++chatFocused; }

  bool roomShown = true;
  RoomCaption caption{12, "즐거운 한판", false};
  WaitingState waiting{true, 1, false, false};
  int pcRoom = 0;
  EventState events;
  std::vector<game::BoardPoint> captionPresses;
  int chatFocused = 0;
};

inline void InitGamePage(gfx::CPage& page) {
  page.Init(kGamePageWidth, kGamePageHeight, 8, {}, platform::ResolvePath(".\\data\\Palette.pal", kRuntime));
  page.OpenAlphaTable8(platform::ResolvePath(".\\data\\Alpha.alp", kRuntime));
}

// Han ("han") against Cho ("cho"); `localSide` picks which one this client is.
class ViewRig {
 public:
  explicit ViewRig(int localSide = game::kSideHan, std::uint32_t seed = 7)
      : rig(localSide == game::kSideHan ? "han" : "cho", localSide == game::kSideHan ? "cho" : "han"),
        painter(rig.game, GeneratedSprites(), host, clock, seed) {
    InitGamePage(page);
    painter.SetItemButtonPainter(&buttons);
  }

  // Starts a game, runs the opening and gives the turn to `turnOf`.
  void StartPlaying(const char* turnOf, float gauge = 0.0f) {
    rig.room.playing = 1;
    // The Cho client sits in the server's second seat.
    rig.game.myServPNum = rig.players[0].ID() == "cho" ? 1 : 0;
    rig.StartAndOpen(rig.StartInfo("han", "cho"));
    ASSERT_EQ(rig.field.phase, game::kPhasePlaying);
    rig.NextPlayer(turnOf, gauge, 0.0f);
  }

  void Paint() { painter.Paint(page); }

  game::testing::GameRig rig;
  FixedHost host;
  platform::FakeClock clock{100000};
  CBoardPainter painter;
  CItemButtonSprites buttons{GeneratedSprites()};
  gfx::CPage page;
};

}  // namespace tovrik::gameview::testing
