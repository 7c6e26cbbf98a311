#pragma once
// The star field behind the board: stars fly out of the centre, speeding up
// and growing as they go, and a new one starts when one leaves the page.

#include <array>
#include <cstdint>
#include <random>

namespace tovrik::gfx {
class CPage;
class CSprite8;
}  // namespace tovrik::gfx

namespace tovrik::gameview {

class CStar {
 public:
  static constexpr int kRecords = 40;
  static constexpr int kInUse = 30;

  virtual ~CStar() = default;

  // Scatters the stars in use along their paths.
  void Init(std::mt19937& random);
  // Moves every star one frame and draws it with `set` (frame by distance);
  // with no set the stars still move.
  void DrawAllStar(gfx::CPage& page, const gfx::CSprite8* set, std::mt19937& random);
  int ActiveCount() const;

  struct Record {
    int active = 0;
    int x = 0, y = 0;
    int originX = 0, originY = 0;
    float distance = 0.0f;
    float speed = 0.0f;
    float direction = 0.0f;
  };
  const std::array<Record, kRecords>& Records() const { return stars_; }

 private:
  void Spawn(Record& star, float distance, std::mt19937& random);

  std::array<Record, kRecords> stars_{};
  int inUse_ = kInUse;
};

}  // namespace tovrik::gameview
