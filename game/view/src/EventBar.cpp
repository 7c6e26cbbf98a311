// The event bar under the board: the bar that fills in tenths, the number
// of event points and the mark that rises when points were won.

#include "gameview/BoardPainter.h"

#include <algorithm>
#include <cstdlib>

namespace tovrik::gameview {

namespace {

constexpr int kDigitFrame = 2;
constexpr int kPointsFrame = 12;
constexpr int kRisingFrame = 13;
constexpr int kRisingSteps = 13;
constexpr int kRisingEnd = 16;
constexpr std::uint32_t kRisingStepMs = 40;

int DigitCount(int value) {
  int n = 1;
  for (long long v = std::llabs(static_cast<long long>(value)); v >= 10; v /= 10) ++n;
  return n;
}

}  // namespace

void CBoardPainter::DrawInt(gfx::CPage& page, int x, int y, int value, const gfx::CSprite8& set, int firstFrame) {
  if (value < 0) return;
  const gfx::SPRITE8* digit = set.Frame(firstFrame);
  if (!digit) return;
  const int w = digit->width;
  const int n = DigitCount(value);
  // Two-digit numbers sit one digit further left.
  if (n == 2) x -= w;
  int divisor = 1;
  for (int i = 1; i < n; ++i) divisor *= 10;
  for (; divisor > 0; divisor /= 10, x += w) page.PutSprAuto(x, y, &set, firstFrame + (value / divisor) % 10);
}

void CBoardPainter::DrawEventBar(gfx::CPage& page) {
  if (!Have(sprites_.eventCoin, "the event bar")) return;
  const gfx::CSprite8& set = *sprites_.eventCoin;
  const gfx::SPRITE8* bar = set.Frame(1);
  const gfx::SPRITE8* digit = set.Frame(kDigitFrame);
  if (!bar || !digit) return;
  const int W = bar->width, H = bar->height, w = digit->width;
  const EventState events = host_.Events();

  page.PutSprAuto(2, 544, &set, 0);
  const int filled = events.eventCount * (W / 10);
  if (filled > 0) {
    page.SetTempClip(2, 573, 2 + filled - 1, 573 + H - 1);
    page.PutSprAuto(2, 573, &set, 1, gfx::SPR_TEMPCLIP);
  }
  const int value = events.eventValue1 + events.eventValue2;
  const int n = DigitCount(value);
  const int x = W / 2 - (w / 2) * n + 5;
  DrawInt(page, x, 578, value, set, kDigitFrame);
  page.PutSprAuto(x + 9 * (n == 2 ? 1 : n), 578, &set, kPointsFrame);

  if (!pointUpOn_) return;
  const std::uint32_t m = (clock_.NowMs() - pointUpStart_) / kRisingStepMs;
  if (m > kRisingEnd) return;
  const int step = std::min(static_cast<int>(m), kRisingSteps);
  page.PutSprAuto(37, 573 - 29 - 4 * step, &set, kRisingFrame + step);
}

}  // namespace tovrik::gameview
