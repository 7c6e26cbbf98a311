#include "gameview/StarField.h"

#include <algorithm>

#include "game/Geometry.h"
#include "gfx/Page.h"

namespace tovrik::gameview {

namespace {
constexpr int kCentreX = 297;
constexpr int kCentreY = 300;
constexpr float kFarthest = 300.0f;
constexpr int kStarFrames = 8;
}  // namespace

void CStar::Spawn(Record& star, float distance, std::mt19937& random) {
  star.active = 1;
  star.originX = star.x = kCentreX;
  star.originY = star.y = kCentreY;
  star.distance = distance;
  star.direction = static_cast<float>(random() % 360);
  star.speed = 1.0f;
}

void CStar::Init(std::mt19937& random) {
  stars_ = {};
  for (int i = 0; i < inUse_; ++i) Spawn(stars_[static_cast<std::size_t>(i)], static_cast<float>(random() % 300), random);
}

void CStar::DrawAllStar(gfx::CPage& page, const gfx::CSprite8* set, std::mt19937& random) {
  for (int i = 0; i < kRecords; ++i) {
    Record& star = stars_[static_cast<std::size_t>(i)];
    if (star.active) {
      if (star.x < 0 || star.x > 598 || star.y < 0 || star.y > 600) {
        star.active = 0;
        continue;
      }
      star.distance += star.speed;
      star.speed = star.distance * 16.0f / kFarthest + 1.0f;
      const game::BoardPoint at = game::GetMovePoint(star.originX, star.originY, star.direction, star.distance);
      star.x = at.x;
      star.y = at.y;
      const int frame = std::min(kStarFrames - 1, static_cast<int>(star.distance * 7.0f / kFarthest));
      if (set) page.PutSprAuto(star.x, star.y, set, frame, gfx::SPR_RXY);
    } else if (i < inUse_) {
      Spawn(star, 0.0f, random);
    }
  }
}

int CStar::ActiveCount() const {
  return static_cast<int>(std::count_if(stars_.begin(), stars_.end(), [](const Record& s) { return s.active != 0; }));
}

}  // namespace tovrik::gameview
