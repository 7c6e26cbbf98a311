// The item decorations of the board picture: the banner of an armed item,
// the hint line and the teleport target mark while an item is aimed, and the
// animations of an applied item.

#include <algorithm>

#include "game/Geometry.h"
#include "gameview/BoardPainter.h"

namespace tovrik::gameview {

using gfx::SPR_CENTER;
using gfx::SPR_GB;
using gfx::SPR_PERCENT;
using gfx::SPR_RXY;

namespace {

constexpr int kBannerX = 297;
constexpr int kUpperBannerY = 280;
constexpr int kLowerBannerY = 320;

int FramesOf(const gfx::CSprite8* set) { return set ? std::max(1, set->FrameCount()) : 1; }

}  // namespace

void CBoardPainter::DrawItemAni(gfx::CPage& page) {
  const int t = field_.itemTitleTimer;
  const int kind = field_.itemTitleKind;
  if (t <= 0 || kind < 0 || kind >= game::kItemKindCount) return;
  const gfx::CSprite8* set = sprites_.itemTitle[static_cast<std::size_t>(kind)];
  if (!Have(set, "an item banner")) return;
  constexpr int kFlags = SPR_CENTER | SPR_PERCENT;
  if (t >= 35) {
    // The lower banner unfolds from a line while the upper one stands.
    const int w = std::max(1, (45 - t) * 10);
    page.ZoomSprAuto(kBannerX, kUpperBannerY, set, 1, 100, 100, kFlags);
    page.ZoomSprAuto(kBannerX, kLowerBannerY, set, 0, 200 - w, w, kFlags);
  } else if (t >= 8) {
    page.ZoomSprAuto(kBannerX, kUpperBannerY, set, 1, 100, 100, kFlags);
    page.ZoomSprAuto(kBannerX, kLowerBannerY, set, 0, 100, 100, kFlags);
  } else {
    // Both swell and fade away.
    const int zoom = 100 + 12 * (7 - t);
    page.ZoomSprAuto(kBannerX, kUpperBannerY, set, 1, zoom, zoom, kFlags | SPR_GB, 7 - t);
    page.ZoomSprAuto(kBannerX, kLowerBannerY, set, 0, zoom, zoom, kFlags | SPR_GB, 7 - t);
  }
}

void CBoardPainter::DrawItemCursor(gfx::CPage& page) {
  if (!game_.itemMode || !ItemChannel()) return;
  const platform::Rect box{0, 550, 596, 570};
  const platform::RgbColor green{100, 255, 100};
  switch (game_.itemKind) {
    case game::kItemChange: CentredText(page, box, "졸 또는 사를 선택하세요.", green); break;
    case game::kItemTeleport:
      CentredText(page, box, "TELEPORT할 장기알을 선택한후 이동 지점을 선택하세요.", green);
      break;
    case game::kItemNuclear: CentredText(page, box, "NUCLEAR를 적용할 장기알을 선택하세요.", green); break;
    default: break;
  }
  if (game_.itemKind != game::kItemTeleport || !game_.teleportChosen) return;
  const game::CStone* subject = field_.StoneAt(game_.LocalPlayer().side, game_.teleportIndex);
  if (!subject) return;
  const game::BoardPoint target = field_.ToBoardPoint(cursorX_, cursorY_);
  if (!field_.CheckTeleport(subject->x, subject->y, subject->radius, target.x, target.y, subject->teleportRange)) return;
  if (Have(sprites_.teleportTarget, "the teleport target"))
    page.PutSprAuto(cursorX_, cursorY_, sprites_.teleportTarget,
                    (game_.tickCount / 2) % sprites_.teleportTarget->FrameCount(), SPR_RXY);
}

void CBoardPainter::DrawItemEffect(gfx::CPage& page) {
  if (field_.effectKind == game::kEffectNone || !ItemChannel()) return;
  const int e = field_.effectFrame;
  const game::BoardPoint at = field_.ToPagePoint(field_.effectX, field_.effectY);
  constexpr int kFlags = SPR_CENTER | SPR_PERCENT;
  switch (field_.effectKind) {
    case game::kEffectChange: {
      const int n = FramesOf(sprites_.changeAni);
      if (e < n && Have(sprites_.changeAni, "the change animation"))
        page.ZoomSprAuto(at.x, at.y, sprites_.changeAni, e, 100, 100, kFlags | SPR_GB, std::min(5, e * 7 / n));
      break;
    }
    case game::kEffectTeleport: {
      const int n = FramesOf(sprites_.teleportAni);
      if (e >= 2 * n || !Have(sprites_.teleportAni, "the teleport animation")) break;
      page.ZoomSprAuto(at.x, at.y, sprites_.teleportAni, e / 2, 100, 100, kFlags);
      // The moved stone fades away where it stood.
      const game::CStone* stone = field_.StoneAt(field_.effectSide, field_.effectIndex);
      const gfx::CSprite8* set = field_.effectSide == game::kSideHan ? sprites_.hanStone : sprites_.choStone;
      if (stone && set) {
        const game::BoardPoint from = field_.ToPagePoint(field_.effectFromX, field_.effectFromY);
        page.ZoomSprAuto(from.x, from.y, set, stone->kind, 100, 100, kFlags | SPR_GB, (e / 2) * 7 / n);
      }
      break;
    }
    case game::kEffectNuclear: {
      const int n = FramesOf(sprites_.nuclearAni);
      if (e >= n || !Have(sprites_.nuclearAni, "the nuclear animation")) break;
      // The bigger the stone, the bigger the blast.
      const int zoom = field_.effectIndex == 0 ? 180 : (field_.effectIndex <= 8 ? 150 : 100);
      page.ZoomSprAuto(at.x, at.y, sprites_.nuclearAni, e, zoom, zoom, kFlags | SPR_GB, std::min(5, e * 7 / n));
      break;
    }
    default: break;
  }
}

}  // namespace tovrik::gameview
