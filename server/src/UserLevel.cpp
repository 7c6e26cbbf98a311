#include "server/UserLevel.h"

#include <array>

namespace tovrik::server {

int LevelOfPoints(int points) {
  static constexpr std::array<int, 15> kGaps{0,    330,   660,   1320,  2310,  3630,  5280, 7620,
                                             9570, 12210, 15180, 18480, 22110, 26070, 30360};
  if (points < 0) points = 0;
  int level = 0;
  int threshold = 0;
  for (std::size_t i = 1; i < kGaps.size(); ++i) {
    threshold += kGaps[i];
    if (threshold < points) ++level;
  }
  return level;
}

int MaxBetOfLevel(int level) { return 100 * level + 100; }

}  // namespace tovrik::server
