#include "gameview/GameView.h"

#include <algorithm>

#include "base/Log.h"
#include "platform/Cursors.h"
#include "platform/EventLoop.h"
#include "platform/PathResolver.h"

namespace tovrik::gameview {

using namespace platform;

namespace {

int FramesOf(const gfx::CSprite8* set) { return set ? std::max(1, set->FrameCount()) : 1; }

}  // namespace

CGameView::CGameView(game::CGame& game, const GameSprites& sprites, IGameViewHost& host, GameViewOptions options,
                     MillisecondClock& clock)
    : game_(game),
      sprites_(sprites),
      host_(host),
      options_(std::move(options)),
      sync_(clock),
      buttonSprites_(sprites),
      painter_(game, sprites, host, clock, options_.seed) {
  painter_.SetItemButtonPainter(&buttonSprites_);
  // The effects last as long as their animations, counted in game ticks; the
  // teleport shows each picture twice.
  game_.Field().SetEffectLengths(FramesOf(sprites.changeAni), 2 * FramesOf(sprites.teleportAni),
                                 FramesOf(sprites.nuclearAni));
}

CGameView::~CGameView() {
  if (ticks_) ticks_->Stop();
  Destroy();
}

void CGameView::OnCreate() {
  page_.Init(kGamePageWidth, kGamePageHeight, 8, {}, ResolvePath(".\\data\\Palette.pal", options_.runtimeDir));
  page_.OpenOrBuildAlphaTable8(ResolvePath(".\\data\\Alpha.alp", options_.runtimeDir));
  for (int slot = 0; slot < 6; ++slot) game_.Player(slot).SetPlayerNum(slot);
  game_.Init(&page_);
  sync_.Init(kFramesPerSecond);
  if (options_.startTimer && EventLoop::Current()) {
    ticks_ = std::make_unique<TickSource>(*EventLoop::Current(), Handle(), kTickTimerId);
    if (!ticks_->Start()) base::Log(base::LogLevel::Error, "gameview", "the game clock did not start");
  }
}

void CGameView::Reset() {
  exitReserved = 0;
  painter_.Reset();
}

void CGameView::OnTick() {
  // Outside the game room the game stands still.
  if (!host_.IsGameRoomShown()) return;
  game_.OnTimer();
  // Ticks missed while painting was slow are run without painting them.
  const int missed = sync_.FrameSync(0);
  for (int i = 0; i < missed; ++i) game_.OnTimer();
  Invalidate();
}

void CGameView::CancelAim() {
  game::CField& field = game_.Field();
  field.aiming = 0;
  field.ForEachStone([](game::CStone& s) { s.selected = 0; });
  for (game::CItemBtn& button : field.itemButtons) button.OnClickTimeOut();
}

void CGameView::OnCaptureLost() {
  if (!captured_) return;
  captured_ = false;
  CancelAim();
}

void CGameView::OnLButtonDown(int x, int y) {
  if (y < kCaptionRows) {
    host_.OnCaptionBarPress(x, y);
    return;
  }
  SetFocus();
  SetCapture();
  captured_ = true;
  game_.OnLButtonDown(x, y);
}

void CGameView::OnLButtonUp(int x, int y) {
  // The flag goes first: giving the capture back is not losing it.
  const bool hadCapture = captured_;
  captured_ = false;
  if (hadCapture) {
    if (EventLoop* loop = EventLoop::Current(); loop && loop->GetCapture() == this) loop->ReleaseCapture();
  }
  host_.FocusChatInput();
  game_.OnLButtonUp(x, y);
}

LResult CGameView::WindowProc(MsgId msg, WParam w, LParam l) {
  const int x = GetXLParam(l);
  const int y = GetYLParam(l);
  switch (msg) {
    case WM_CREATE: OnCreate(); break;
    case WM_DESTROY:
      if (ticks_) ticks_->Stop();
      break;
    case WM_TIMER:
      if (w == kTickTimerId) {
        OnTick();
        return 0;
      }
      break;
    case WM_MOUSEMOVE:
      if (EventLoop* loop = EventLoop::Current(); loop && loop->GetCursors()) loop->GetCursors()->Set(133);
      painter_.SetCursor(x, y);
      game_.OnMouseMove(x, y);
      return 0;
    case WM_LBUTTONDOWN:
      painter_.SetCursor(x, y);
      OnLButtonDown(x, y);
      return 0;
    case WM_LBUTTONUP:
      painter_.SetCursor(x, y);
      OnLButtonUp(x, y);
      return 0;
    case WM_CAPTURECHANGED: OnCaptureLost(); return 0;
    case WM_LBUTTONDBLCLK:
    case WM_SETCURSOR: return 1;
    default: break;
  }
  return Window::WindowProc(msg, w, l);
}

void CGameView::OnPaint(PaintContext& pc) {
  if (!host_.IsGameRoomShown() || !page_.bits) return;
  painter_.Paint(page_);
  pc.Blit(0, 0, page_.View());
}

}  // namespace tovrik::gameview
