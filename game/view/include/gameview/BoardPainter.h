#pragma once
// The board picture of every frame, drawn on the 8-bit game page from the
// field's and the game's state: the background, the board through the
// opening, play and result, the stones with their marks, the aiming arrow,
// the gauges, the turn marker, the item banner, hint and effects, the star
// field, the room caption and the event bar.
//
// Drawing reads the game and changes nothing of its simulation; what it owns
// are the frame counters of the animations (turn marker, marks, sweep, pulse,
// tremble, gauge brightness, blink), which run on across games. The one
// exception is the aim scrolling: while the arrow tip touches a page edge the
// board offset moves 5 pixels per painted frame, as players expect.

#include <cstdint>
#include <random>
#include <set>
#include <string_view>

#include "game/Game.h"
#include "gameview/GameSprites.h"
#include "gameview/GameViewHost.h"
#include "gameview/ItemButtonPainter.h"
#include "gameview/StarField.h"
#include "gfx/Page.h"
#include "platform/Clock.h"
#include "platform/Surface.h"

namespace tovrik::gameview {

inline constexpr int kGamePageWidth = 596;
inline constexpr int kGamePageHeight = 600;

class CBoardPainter {
 public:
  // `seed` starts the title tremble and the star field, so that a picture
  // can be drawn again exactly; `clock` times the event bar's animation.
  CBoardPainter(game::CGame& game, const GameSprites& sprites, IGameViewHost& host,
                platform::MillisecondClock& clock, std::uint32_t seed = 1);

  void SetItemButtonPainter(IItemButtonPainter* painter) { buttons_ = painter; }
  // The mouse position on the page, which the arrow and the hints follow.
  void SetCursor(int x, int y) { cursorX_ = x, cursorY_ = y; }

  // The whole frame.
  void Paint(gfx::CPage& page);
  void DrawField(gfx::CPage& page);

  // The event bar's point-up mark starts rising at `nowMs`.
  void StartPointUp(std::uint32_t nowMs);
  void Reset();

  // The aim as it is drawn: the picked stone's page point, the direction
  // toward the cursor and the arrow's length.
  struct Aim {
    bool active = false;
    game::BoardPoint from;
    float angle = 0.0f;
    float length = 0.0f;
  };
  Aim CurrentAim() const;
  // How far the arrow may reach: 90, and 3 more per gauge point with the
  // power-up armed.
  int AimLimit() const;
  // The first page row of a gauge's full picture for `value` of `full`.
  static int GaugeTopRow(float value, float full);

  CStar& Stars() { return stars_; }
  int GaugeStep() const { return gaugeStep_; }

 private:
  struct Pens {
    gfx::Pen8 a, b, c, d, e, f;
  };
  bool Have(const gfx::CSprite8* set, std::string_view role);
  void PrepareColours(const gfx::CPage& page);
  std::uint8_t Colour(const gfx::CPage& page, platform::RgbColor colour) const;
  void Text(gfx::CPage& page, int x, int y, std::string_view utf8, platform::RgbColor colour);
  void CentredText(gfx::CPage& page, platform::Rect box, std::string_view utf8, platform::RgbColor colour);

  void DrawBackPieces(gfx::CPage& page);
  void DrawFrameAndControls(gfx::CPage& page);
  void DrawIdle(gfx::CPage& page);
  void DrawStatusLine(gfx::CPage& page);
  void DrawOpening(gfx::CPage& page);
  void DrawPlaying(gfx::CPage& page);
  void DrawResult(gfx::CPage& page);
  void ScrollForAim();
  void DrawTurnMarker(gfx::CPage& page);
  void DrawAllStone(gfx::CPage& page);
  void DrawStone(gfx::CPage& page, const game::CStone& stone);
  void DrawMark(gfx::CPage& page, const gfx::CSprite8* set, std::string_view role, int& counter, int x, int y);
  void DrawFocus(gfx::CPage& page, const game::CStone& stone, int x, int y);
  void DrawArrow(gfx::CPage& page, int x, int y, float angle, float length);
  void DrawGage(gfx::CPage& page);
  void DrawItemButtons(gfx::CPage& page);
  void DrawCaption(gfx::CPage& page);
  // Part of the item decorations.
  void DrawItemAni(gfx::CPage& page);
  void DrawItemCursor(gfx::CPage& page);
  void DrawItemEffect(gfx::CPage& page);
  void DrawEventBar(gfx::CPage& page);
  void DrawInt(gfx::CPage& page, int x, int y, int value, const gfx::CSprite8& set, int firstFrame);

  bool LocalOwns(const game::CStone& stone) const;
  bool ItemArmed(int kind) const;
  bool ItemChannel() const;

  game::CGame& game_;
  game::CField& field_;
  const GameSprites& sprites_;
  IGameViewHost& host_;
  platform::MillisecondClock& clock_;
  IItemButtonPainter* buttons_ = nullptr;
  std::mt19937 random_;
  CStar stars_;
  std::set<std::string_view> missingLogged_;
  Pens pens_;
  const gfx::Palette256* coloursFor_ = nullptr;
  gfx::Palette256 coloursPalette_{};

  int cursorX_ = 0, cursorY_ = 0;
  // Frame counters, kept across frames and games.
  int myTurnFrame_ = 0, opponentTurnFrame_ = 0;
  int changeMark_ = 0, teleportMark_ = 0, nuclearMark_ = 0;
  float sweep_ = 0.0f;
  int pulse_ = 1;
  int gaugeStep_ = 4;
  int blink_ = 0;
  // The event bar's point-up animation.
  bool pointUpOn_ = false;
  std::uint32_t pointUpStart_ = 0;
};

}  // namespace tovrik::gameview
