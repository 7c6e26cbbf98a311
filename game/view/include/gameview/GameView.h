#pragma once
// The game view: the child window of the game room in which the board is
// shown and played. It owns the 8-bit game page, runs the game clock (a
// 20 ms tick with catch-up so that the game advances 50 ticks a second
// however slowly frames are drawn), routes the mouse to the game and paints
// the board picture on every tick.

#include <filesystem>
#include <memory>

#include "game/Game.h"
#include "gameview/BoardPainter.h"
#include "gameview/GameSprites.h"
#include "gameview/GameViewHost.h"
#include "gameview/ItemButtonSprites.h"
#include "gfx/Page.h"
#include "platform/Clock.h"
#include "platform/SyncFPS.h"
#include "platform/TickSource.h"
#include "platform/Window.h"

namespace tovrik::gameview {

struct GameViewOptions {
  // The folder holding ".\data\Palette.pal" and ".\data\Alpha.alp".
  std::filesystem::path runtimeDir;
  // Start the 20 ms timer thread at creation; tests deliver ticks by hand.
  bool startTimer = true;
  std::uint32_t seed = 1;
};

class CGameView : public platform::Window {
 public:
  static constexpr std::uintptr_t kTickTimerId = platform::TickSource::kTimerId;
  static constexpr int kFramesPerSecond = 50;
  // A press above this row moves the main window.
  static constexpr int kCaptionRows = 28;

  CGameView(game::CGame& game, const GameSprites& sprites, IGameViewHost& host, GameViewOptions options,
            platform::MillisecondClock& clock = platform::SystemClock::Instance());
  ~CGameView() override;

  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

  // Between games: the exit reservation and the event bar's animation end.
  void Reset();
  void StartPointUp(std::uint32_t nowMs) { painter_.StartPointUp(nowMs); }
  // Another way to draw the item buttons; null restores their sprite sets.
  void SetItemButtonPainter(IItemButtonPainter* painter) {
    painter_.SetItemButtonPainter(painter ? painter : &buttonSprites_);
  }

  // One tick message: the game tick and the ticks missed since the last.
  void OnTick();
  // The mouse capture went elsewhere (a message box, a modal window): an aim
  // in progress is dropped so that no later release can fire it.
  void OnCaptureLost();

  gfx::CPage& Page() { return page_; }
  CBoardPainter& Painter() { return painter_; }
  bool MouseCaptured() const { return captured_; }
  int exitReserved = 0;

 private:
  void OnCreate();
  void OnLButtonDown(int x, int y);
  void OnLButtonUp(int x, int y);
  void CancelAim();

  game::CGame& game_;
  const GameSprites& sprites_;
  IGameViewHost& host_;
  GameViewOptions options_;
  gfx::CPage page_;
  platform::CSyncFPS sync_;
  CItemButtonSprites buttonSprites_;
  CBoardPainter painter_;
  std::unique_ptr<platform::TickSource> ticks_;
  bool captured_ = false;
};

}  // namespace tovrik::gameview
