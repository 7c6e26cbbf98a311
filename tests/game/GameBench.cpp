// Time of the stone simulation: a whole break shot, and one field tick with
// all 32 stones sliding.

#include "game/Field.h"

#include <benchmark/benchmark.h>

namespace tovrik::game {
namespace {

// A power-30 flick of the Han centre soldier straight into the Cho
// formation, ticked until every stone rests.
void BM_BreakShot(benchmark::State& state)
{
    CField field;
    int ticks = 0;
    for (auto _ : state) {
        field.InitStone();
        field.ClearDropList();
        field.hanStones[13].SetMove(90.0f, 30.0f);
        ticks = 0;
        do {
            field.DoPhysicsTick(kSideHan);
            ++ticks;
        } while (field.IsStoneMoving() && ticks < 5000);
        benchmark::DoNotOptimize(field.hanStones[13].y);
    }
    state.counters["ticks"] = ticks;
}
BENCHMARK(BM_BreakShot);

// Every stone of the starting layout sliding at once, in a spread of
// directions, so that each sub-step pass tests every pair.
void BM_TickAllStonesMoving(benchmark::State& state)
{
    CField field;
    for (int i = 0; i < kStonesPerSide; ++i) {
        field.hanStones[i].SetMove(static_cast<float>(i * 22.5), 20.0f);
        field.choStones[i].SetMove(static_cast<float>(i * 22.5 + 11.25), 20.0f);
    }
    const auto han = field.hanStones;
    const auto cho = field.choStones;
    for (auto _ : state) {
        field.hanStones = han;
        field.choStones = cho;
        field.ClearDropList();
        field.DoPhysicsTick(kSideHan);
        benchmark::DoNotOptimize(field.hanStones[0].x);
    }
}
BENCHMARK(BM_TickAllStonesMoving);

} // namespace
} // namespace tovrik::game
