// One full frame of the game view in its busiest phase: the board with all
// 32 stones, the aiming arrow of a charged power-up, the gauges, a nuclear
// blast, the item banner, the stars and the texts, then the page converted
// to the window's RGB555 format as presentation does. The frame's share of
// the 20 ms game tick is reported as "share_of_tick" (it must stay under
// 0.05).

#include <benchmark/benchmark.h>

#include <vector>

#include "ViewRig.h"
#include "platform/Surface.h"

namespace tovrik::gameview {
namespace {

void BM_BusiestGameViewFrame(benchmark::State& state) {
  testing::ViewRig view(game::kSideHan);
  view.rig.room.playing = 1;
  view.rig.StartAndOpen(view.rig.StartInfo("han", "cho"));
  view.rig.NextPlayer("han", 10.0f, 0.0f);
  game::CGame& game = view.rig.game;
  game::CField& field = view.rig.field;
  game.itemMode = 1;
  game.itemKind = game::kItemPowerUp;
  game.turnLeft = 8000;
  field.itemTitleKind = game::kItemPowerUp;
  field.itemTitleTimer = 20;
  // A blast on the opponent's side, halfway through.
  field.DoNuclearBlast(game::kSideCho, 0);
  field.effectFrame = 8;
  const game::CStone& king = field.hanStones[0];
  game.OnLButtonDown(king.x, king.y);
  view.painter.SetCursor(king.x - 60, king.y + 80);

  std::vector<std::uint16_t> window(static_cast<std::size_t>(kGamePageWidth) * kGamePageHeight);
  const platform::PixelView target{window.data(), kGamePageWidth, kGamePageHeight, kGamePageWidth * 2,
                                   gfx::PixelFormat::Rgb555, nullptr};
  const platform::Rect all{0, 0, kGamePageWidth, kGamePageHeight};
  for (auto _ : state) {
    view.painter.Paint(view.page);
    platform::CopyToRgb555(target, {0, 0}, view.page.View(), all, all);
    benchmark::DoNotOptimize(window.data());
    benchmark::ClobberMemory();
  }
  // Seconds per frame over the 20 ms tick.
  state.counters["share_of_tick"] = benchmark::Counter(static_cast<double>(state.iterations()) * 0.020,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BusiestGameViewFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tovrik::gameview
