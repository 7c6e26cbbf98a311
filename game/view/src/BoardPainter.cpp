#include "gameview/BoardPainter.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/Log.h"
#include "game/Geometry.h"
#include "platform/Text.h"

namespace tovrik::gameview {

using gfx::SPR_CENTER;
using gfx::SPR_GB;
using gfx::SPR_GLOW;
using gfx::SPR_PERCENT;
using gfx::SPR_RXY;
using gfx::SPR_TEMPCLIP;
using platform::RgbColor;

namespace {

constexpr int kBoardX = 83;
constexpr int kBoardY = 79;
constexpr int kCentreX = 297;
constexpr int kCentreY = 300;
constexpr int kPlainAimLimit = 90;
constexpr int kEdgeScroll = 5;
constexpr int kGaugeTop = 255;
constexpr int kGaugeRows = 90;
constexpr int kPGageX = 9;
constexpr int kTGageX = 560;
constexpr int kMinorFirstIndex = 9;

enum BackFrame : int { kBackWhole = 0, kBackUnderShift = 1, kBackPieces = 2, kBackBoard = 3, kBackFrame = 4 };

int StoneFocusFrame(int index) { return index == 0 ? 0 : (index < kMinorFirstIndex ? 1 : 2); }

}  // namespace

CBoardPainter::CBoardPainter(game::CGame& game, const GameSprites& sprites, IGameViewHost& host,
                             platform::MillisecondClock& clock, std::uint32_t seed)
    : game_(game), field_(game.Field()), sprites_(sprites), host_(host), clock_(clock), random_(seed) {
  stars_.Init(random_);
}

// ---- helpers ------------------------------------------------------------------

bool CBoardPainter::Have(const gfx::CSprite8* set, std::string_view role) {
  if (set) return true;
  if (missingLogged_.insert(role).second)
    base::Log(base::LogLevel::Warn, "gameview", "no sprite set for ", role, ": it is left out of the picture");
  return false;
}

void CBoardPainter::PrepareColours(const gfx::CPage& page) {
  if (coloursFor_ == &page.palette && coloursPalette_ == page.palette) return;
  coloursFor_ = &page.palette;
  coloursPalette_ = page.palette;
  const int green = Colour(page, {0, 255, 0});
  const int red = Colour(page, {255, 80, 80});
  pens_.a = {green, 1, true};
  pens_.b = {green, 1, false};
  pens_.c = {green, 2, false};
  pens_.d = {red, 1, true};
  pens_.e = {red, 1, false};
  pens_.f = {Colour(page, {255, 70, 70}), 2, false};
}

std::uint8_t CBoardPainter::Colour(const gfx::CPage& page, RgbColor colour) const {
  return platform::NearestPaletteIndex(page.palette, colour);
}

void CBoardPainter::Text(gfx::CPage& page, int x, int y, std::string_view utf8, RgbColor colour) {
  const auto font = platform::Font::Default();
  if (!font) {
    if (missingLogged_.insert("font").second) base::Log(base::LogLevel::Warn, "gameview", "no font: texts are left out");
    return;
  }
  platform::TextOut(page.View(), *font, x, y, utf8, colour);
}

void CBoardPainter::CentredText(gfx::CPage& page, platform::Rect box, std::string_view utf8, RgbColor colour) {
  const auto font = platform::Font::Default();
  if (!font) {
    if (missingLogged_.insert("font").second) base::Log(base::LogLevel::Warn, "gameview", "no font: texts are left out");
    return;
  }
  platform::DrawText(page.View(), *font, utf8, box, platform::DT_CENTER | platform::DT_VCENTER | platform::DT_SINGLELINE,
                     colour);
}

bool CBoardPainter::LocalOwns(const game::CStone& stone) const {
  return stone.side != 0 && stone.side == game_.LocalPlayer().side;
}

bool CBoardPainter::ItemArmed(int kind) const { return game_.itemMode && game_.itemKind == kind; }

bool CBoardPainter::ItemChannel() const { return game_.Room().IsItemChannel() != 0; }

int CBoardPainter::AimLimit() const {
  if (ItemArmed(game::kItemPowerUp))
    return kPlainAimLimit + static_cast<int>(3.0f * game_.LocalPlayer().gauge);
  return kPlainAimLimit;
}

CBoardPainter::Aim CBoardPainter::CurrentAim() const {
  Aim aim;
  if (!field_.aiming) return aim;
  aim.active = true;
  aim.from = field_.ToPagePoint(field_.aimX, field_.aimY);
  aim.angle = game::GetAngle(aim.from.x, aim.from.y, cursorX_, cursorY_);
  aim.length = std::min(static_cast<float>(AimLimit()), game::GetDistance(aim.from.x, aim.from.y, cursorX_, cursorY_));
  return aim;
}

int CBoardPainter::GaugeTopRow(float value, float full) {
  const float share = std::max(0.0f, value) / full;
  return kGaugeTop + std::max(0, kGaugeRows - static_cast<int>(share * static_cast<float>(kGaugeRows)));
}

void CBoardPainter::StartPointUp(std::uint32_t nowMs) {
  pointUpOn_ = true;
  pointUpStart_ = nowMs;
}

void CBoardPainter::Reset() { pointUpOn_ = false; }

// ---- the frame ----------------------------------------------------------------

void CBoardPainter::Paint(gfx::CPage& page) {
  PrepareColours(page);
  if (Have(sprites_.gameBack, "the game background")) page.PutSprAuto(0, 0, sprites_.gameBack, kBackWhole);
  page.DrawFillBox(kBoardX, kBoardY, 512, 521, 0);
  DrawField(page);
  DrawCaption(page);
  const EventState events = host_.Events();
  if (events.peakTimeEvent) {
    if (events.peakTimeLabel && Have(sprites_.peakTimeEvent, "the peak-time label"))
      page.PutSprAuto(114, 545, sprites_.peakTimeEvent, 0);
    DrawEventBar(page);
  }
}

void CBoardPainter::DrawCaption(gfx::CPage& page) {
  const RoomCaption caption = host_.Caption();
  if (caption.superRoom) Text(page, 20, 40, "[슈퍼방]", {255, 70, 70});
  const std::string line = "[" + std::to_string(caption.roomNo) + "번방] : " + caption.title;
  // A dark outline one pixel round the light text keeps it readable on any
  // background.
  for (const auto& [dx, dy] : {std::pair{-1, 0}, {0, -1}, {1, 0}, {0, 1}}) Text(page, 72 + dx, 40 + dy, line, {70, 70, 0});
  Text(page, 72, 40, line, {255, 255, 200});
}

void CBoardPainter::DrawField(gfx::CPage& page) {
  PrepareColours(page);
  switch (field_.phase) {
    case game::kPhaseIdle: DrawIdle(page); break;
    case game::kPhaseOpening: DrawOpening(page); break;
    case game::kPhasePlaying: DrawPlaying(page); break;
    case game::kPhaseResult: DrawResult(page); break;
    default: break;
  }
}

void CBoardPainter::DrawBackPieces(gfx::CPage& page) {
  if (!Have(sprites_.gameBack, "the game background")) return;
  page.PutSprAuto(128, 125, sprites_.gameBack, kBackWhole);
  page.PutSprAuto(kBoardX, kBoardY, sprites_.gameBack, kBackUnderShift);
  page.PutSprAuto(0, 34, sprites_.gameBack, kBackPieces);
}

// The frame over everything, the gauges and the item buttons: the end of
// every phase's board picture.
void CBoardPainter::DrawFrameAndControls(gfx::CPage& page) {
  if (Have(sprites_.gameBack, "the game background")) page.PutSprAuto(0, 0, sprites_.gameBack, kBackFrame);
  DrawGage(page);
  DrawItemButtons(page);
}

void CBoardPainter::DrawItemButtons(gfx::CPage& page) {
  if (buttons_ && ItemChannel()) buttons_->DrawItemButtons(page, field_, field_.phase);
}

void CBoardPainter::DrawIdle(gfx::CPage& page) {
  DrawBackPieces(page);
  stars_.DrawAllStar(page, sprites_.star, random_);
  DrawFrameAndControls(page);
  if (Have(sprites_.title, "the title")) {
    if (field_.titleZoom > 100) {
      page.ZoomSprAuto(kCentreX, kCentreY, sprites_.title, 0, field_.titleZoom, field_.titleZoom, SPR_CENTER | SPR_PERCENT);
    } else {
      const int r1 = static_cast<int>(random_() % 6), r2 = static_cast<int>(random_() % 6);
      page.PutSprAuto(kCentreX + r1 - 2, kCentreY + r2 - 2, sprites_.title, 0, SPR_RXY);
    }
  }
  DrawStatusLine(page);
}

void CBoardPainter::DrawStatusLine(gfx::CPage& page) {
  const WaitingState w = host_.Waiting();
  const platform::Rect box{0, 440, 596, 480};
  ++blink_;
  if (w.owner && w.userCount < 2)
    CentredText(page, box, "다른 참여자를 기다리는 중입니다.", {130, 130, 130});
  else if (w.owner && w.otherReady)
    CentredText(page, box, "게임을 시작하려면 START 버튼을 클릭하세요",
                blink_ % 2 ? RgbColor{255, 50, 50} : RgbColor{255, 255, 255});
  else if (w.owner)
    CentredText(page, box, "다른 플레이어가 아직 READY 버튼을 클릭하지 않았습니다.", {50, 130, 160});
  else if (w.selfReady)
    CentredText(page, box, "방장이 START 버튼을 클릭하면 게임이 시작됩니다", {50, 130, 160});
  else
    CentredText(page, box, "준비가 되었으면 READY 버튼을 클릭하세요.", {100, 150, 255});
}

void CBoardPainter::DrawOpening(gfx::CPage& page) {
  DrawBackPieces(page);
  stars_.DrawAllStar(page, sprites_.star, random_);
  if (Have(sprites_.gameBack, "the game background")) {
    const int zoom = field_.phaseCounter;
    const int level = zoom <= 70 ? 7 - zoom / 10 : 0;
    page.ZoomSprAuto(kCentreX, kCentreY, sprites_.gameBack, kBackBoard, zoom, zoom, SPR_CENTER | SPR_PERCENT | SPR_GB,
                     level);
  }
  DrawFrameAndControls(page);
}

void CBoardPainter::ScrollForAim() {
  const Aim aim = CurrentAim();
  if (!aim.active) return;
  const game::BoardPoint tip = game::GetMovePoint(aim.from.x, aim.from.y, aim.angle, aim.length);
  if (tip.x <= 1) field_.viewOffsetX += kEdgeScroll;
  if (tip.y <= 1) field_.viewOffsetY += kEdgeScroll;
  if (tip.x >= kGamePageWidth - 2) field_.viewOffsetX -= kEdgeScroll;
  if (tip.y >= kGamePageHeight - 2) field_.viewOffsetY -= kEdgeScroll;
}

void CBoardPainter::DrawPlaying(gfx::CPage& page) {
  ScrollForAim();
  const int ox = field_.viewOffsetX, oy = field_.viewOffsetY;
  if (Have(sprites_.gameBack, "the game background")) {
    if (ox != 0 || oy != 0) page.PutSprAuto(kBoardX, kBoardY, sprites_.gameBack, kBackUnderShift);
    page.PutSprAuto(0, 34, sprites_.gameBack, kBackPieces);
  }
  stars_.DrawAllStar(page, sprites_.star, random_);
  if (sprites_.gameBack) page.PutSprAuto(kBoardX + ox, kBoardY + oy, sprites_.gameBack, kBackBoard);
  DrawAllStone(page);
  DrawFrameAndControls(page);
  DrawTurnMarker(page);
  if (const Aim aim = CurrentAim(); aim.active) DrawArrow(page, aim.from.x, aim.from.y, aim.angle, aim.length);
  DrawItemCursor(page);
  DrawItemEffect(page);
  DrawItemAni(page);
}

void CBoardPainter::DrawTurnMarker(gfx::CPage& page) {
  if (!Have(sprites_.turn, "the turn marker")) return;
  constexpr int kTurnFrames = 5;
  if (game_.myTurn) {
    page.PutSprAuto(230, 567, sprites_.turn, myTurnFrame_);
    myTurnFrame_ = (myTurnFrame_ + 1) % kTurnFrames;
  } else if (game_.opponentTurn) {
    page.PutSprAuto(230, 2, sprites_.turn, opponentTurnFrame_);
    opponentTurnFrame_ = (opponentTurnFrame_ + 1) % kTurnFrames;
  }
}

void CBoardPainter::DrawResult(gfx::CPage& page) {
  DrawBackPieces(page);
  stars_.DrawAllStar(page, sprites_.star, random_);
  const int fade = std::clamp(7 - field_.phaseCounter / 10, 0, 7);
  if (fade < 7 && sprites_.gameBack)
    page.PutSprAuto(kBoardX + field_.viewOffsetX, kBoardY + field_.viewOffsetY, sprites_.gameBack, kBackBoard, SPR_GB,
                    fade);
  DrawAllStone(page);
  DrawFrameAndControls(page);
  if (!Have(sprites_.title, "the title")) return;
  switch (field_.resultKind) {
    case game::kResultWin: {
      page.PutSprAuto(kCentreX, kCentreY, sprites_.title, 1, SPR_RXY);
      const int pcRoom = host_.LocalPcRoom();
      if ((pcRoom == 19 || pcRoom == 20) && Have(sprites_.pcRoom, "the PC-room badges"))
        page.PutSprAuto(217, 85, sprites_.pcRoom, pcRoom == 20 ? 1 : 0);
      Text(page, 232, 400, "         승점: +" + std::to_string(field_.resultPoints), {150, 150, 255});
      break;
    }
    case game::kResultLoss:
      page.PutSprAuto(kCentreX, kCentreY, sprites_.title, 2, SPR_RXY);
      Text(page, 232, 400, "         승점: " + std::to_string(field_.resultPoints), {255, 150, 160});
      break;
    case game::kResultDraw: page.PutSprAuto(kCentreX, kCentreY, sprites_.title, 3, SPR_RXY); break;
    default: break;
  }
}

// ---- stones -------------------------------------------------------------------

void CBoardPainter::DrawAllStone(gfx::CPage& page) {
  for (int i = 0; i < game::kStonesPerSide; ++i) {
    DrawStone(page, field_.hanStones[static_cast<std::size_t>(i)]);
    DrawStone(page, field_.choStones[static_cast<std::size_t>(i)]);
  }
}

void CBoardPainter::DrawMark(gfx::CPage& page, const gfx::CSprite8* set, std::string_view role, int& counter, int x,
                             int y) {
  if (!Have(set, role)) return;
  // The mark advances one frame every third paint.
  const int frame = (counter / 3) % set->FrameCount();
  counter = (counter + 1) % (3 * set->FrameCount());
  page.ZoomSprAuto(x, y, set, frame, 100, 100, SPR_CENTER | SPR_PERCENT | SPR_GB, 3);
}

void CBoardPainter::DrawStone(gfx::CPage& page, const game::CStone& stone) {
  if (!stone.alive && !stone.dropping) return;
  const gfx::CSprite8* set = stone.side == game::kSideHan ? sprites_.hanStone : sprites_.choStone;
  if (!Have(set, stone.side == game::kSideHan ? "the Han stones" : "the Cho stones")) return;
  const game::BoardPoint at = field_.ToPagePoint(stone.x, stone.y);
  const int frame = stone.kind;
  if (stone.dropping) {
    page.PutSprAuto(at.x, at.y, set, frame, SPR_RXY | SPR_GB, std::max(0, 7 - stone.dropCounter));
  } else if (stone.teleportMark && ItemArmed(game::kItemTeleport)) {
    page.DrawCircle(at.x, at.y, stone.teleportRange, pens_.a);
    sweep_ = std::fmod(sweep_ + 8.0f, 360.0f);
    const int inner = stone.teleportRange - 4;
    page.DrawArc(at.x, at.y, inner, sweep_, 40.0f, pens_.b);
    for (const float end : {sweep_, sweep_ + 40.0f}) {
      const game::BoardPoint p = game::GetMovePoint(at.x, at.y, end, static_cast<float>(inner));
      page.DrawPenLine(at.x, at.y, p.x, p.y, pens_.b);
    }
    page.PutSprAuto(at.x, at.y, set, frame, SPR_RXY);
    DrawMark(page, sprites_.teleportCur, "the teleport mark", teleportMark_, at.x, at.y);
  } else if (stone.itemHover && game_.itemMode && game_.itemKind != game::kItemPowerUp) {
    page.PutSprAuto(at.x, at.y, set, frame, SPR_RXY);
    switch (game_.itemKind) {
      case game::kItemChange: DrawMark(page, sprites_.changeCur, "the change mark", changeMark_, at.x, at.y); break;
      case game::kItemTeleport:
        DrawMark(page, sprites_.teleportCur, "the teleport mark", teleportMark_, at.x, at.y);
        break;
      case game::kItemNuclear:
        DrawMark(page, sprites_.nuclearCur, "the nuclear mark", nuclearMark_, at.x, at.y);
        page.DrawCircle(at.x, at.y, stone.blastReach, pens_.e);
        page.DrawCircle(at.x, at.y, stone.blastReach * pulse_ / 100, pens_.e);
        pulse_ = pulse_ + 5 > 96 ? 1 : pulse_ + 5;
        break;
      default: break;
    }
  } else if (stone.selected) {
    page.PutSprAuto(at.x, at.y, set, frame, SPR_RXY | SPR_GLOW, 3, 0);
    page.PutSprAuto(at.x, at.y, set, frame, SPR_RXY | SPR_GB, 2);
  } else if (stone.hover) {
    page.PutSprAuto(at.x, at.y, set, frame, SPR_RXY | SPR_GB, 3);
  } else {
    page.PutSprAuto(at.x, at.y, set, frame, SPR_RXY);
  }
  if (stone.alive) DrawFocus(page, stone, at.x, at.y);
}

// While an item is armed, every own stone that can take it is outlined.
void CBoardPainter::DrawFocus(gfx::CPage& page, const game::CStone& stone, int x, int y) {
  if (!game_.itemMode || !LocalOwns(stone)) return;
  bool subject = false;
  switch (game_.itemKind) {
    case game::kItemPowerUp: subject = !field_.aiming; break;
    case game::kItemChange: subject = stone.index >= kMinorFirstIndex; break;
    case game::kItemTeleport: subject = !game_.teleportChosen; break;
    case game::kItemNuclear: subject = true; break;
    default: break;
  }
  if (subject && Have(sprites_.stoneFocus, "the stone outlines"))
    page.PutSprAuto(x, y, sprites_.stoneFocus, StoneFocusFrame(stone.index), SPR_RXY);
}

// ---- arrow and gauges ---------------------------------------------------------

void CBoardPainter::DrawArrow(gfx::CPage& page, int x, int y, float angle, float length) {
  const float d = std::max(length, 10.0f);
  const float r = std::min(d, 90.0f);
  const float flight = angle + 180.0f;
  const gfx::Pen8& pen = d > 90.0f ? pens_.e : pens_.b;
  const game::BoardPoint tip = game::GetMovePoint(x, y, flight, d + 15.0f);
  const game::BoardPoint base = game::GetMovePoint(x, y, flight, d + 3.0f);
  const game::BoardPoint left = game::GetMovePoint(base.x, base.y, flight + 90.0f, 8.0f);
  const game::BoardPoint right = game::GetMovePoint(base.x, base.y, flight - 90.0f, 8.0f);
  page.DrawPenLine(tip.x, tip.y, left.x, left.y, pen);
  page.DrawPenLine(left.x, left.y, right.x, right.y, pen);
  page.DrawPenLine(right.x, right.y, tip.x, tip.y, pen);
  for (const float turn : {0.0f, 90.0f, 180.0f, 270.0f}) {
    const game::BoardPoint end = game::GetMovePoint(x, y, angle + turn, d);
    page.DrawPenLine(x, y, end.x, end.y, pen);
  }
  page.DrawCircle(x, y, static_cast<int>(r), pens_.a);
  if (d > 90.0f) page.DrawCircle(x, y, static_cast<int>(d), pens_.d);
}

void CBoardPainter::DrawGage(gfx::CPage& page) {
  const bool lit = field_.phase == game::kPhasePlaying || field_.phase == game::kPhaseResult;
  gaugeStep_ += lit ? (gaugeStep_ > 0 ? -1 : 0) : (gaugeStep_ < 4 ? 1 : 0);
  if (!Have(sprites_.pGage, "the item gauge") || !Have(sprites_.tGage, "the time gauge")) return;
  if (gaugeStep_ != 0) {
    page.PutSprAuto(kPGageX, kGaugeTop, sprites_.pGage, 0, SPR_GB, gaugeStep_);
    page.PutSprAuto(kTGageX, kGaugeTop, sprites_.tGage, 0, SPR_GB, gaugeStep_);
    return;
  }
  page.PutSprAuto(kPGageX, kGaugeTop, sprites_.pGage, 0);
  page.PutSprAuto(kTGageX, kGaugeTop, sprites_.tGage, 0);
  if (game_.Room().IsPlaying()) {
    if (ItemChannel()) {
      page.SetTempClip(0, GaugeTopRow(game_.LocalPlayer().gauge, game::kMaxGauge), page.width - 1, page.height - 1);
      page.PutSprAuto(kPGageX, kGaugeTop, sprites_.pGage, 1, SPR_TEMPCLIP | SPR_GB, 5);
    }
    if (game_.myTurn) {
      page.SetTempClip(0, GaugeTopRow(static_cast<float>(game_.turnLeft), static_cast<float>(game::kTurnMilliseconds)),
                       page.width - 1, page.height - 1);
      page.PutSprAuto(kTGageX, kGaugeTop, sprites_.tGage, 1, SPR_TEMPCLIP | SPR_GB, 6);
    }
  }
  if (!ItemChannel()) Text(page, 12, 295, "NO", {255, 255, 255});
}

}  // namespace tovrik::gameview
