// What a chat line costs the user-interface thread once the view is full:
// the line is appended (the oldest trimmed, the view kept at the bottom)
// and the frame composed again. The counter frame_share is that time (wall
// clock) as a share of one 20 ms frame of the game clock.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

#include "base/CodePage.h"
#include "controls/ChatView.h"
#include "platform/Clock.h"
#include "platform/EventLoop.h"

namespace {

using namespace tovrik;

void BM_AppendLineToFullChatViewAndRepaint(benchmark::State& state) {
  if (!platform::Font::Default()) {
    state.SkipWithError("no font");
    return;
  }
  platform::FakeClock clock;
  platform::EventLoop loop(clock);
  platform::Window main;
  main.Create(nullptr, platform::Rect::FromSize(0, 0, 800, 600));
  controls::ChatView view;
  // The lobby's chat view: 90 lines kept.
  view.Create(&main, platform::Rect::FromSize(12, 420, 480, 150));
  view.SetLineLimit(90);
  const std::string line = base::Utf8ToCp949("손님> 안녕하세요 한판 두실 분 계신가요? 초보 환영합니다 즐거운 게임 되세요\n");
  for (int i = 0; i < 90; ++i) view.Append(line, {0, 0, 0}, i % 5 == 0);
  loop.PaintNow();
  int n = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    view.Append(line, {0, 0, 110}, ++n % 5 == 0);
    loop.PaintNow();
    benchmark::DoNotOptimize(loop.Frame().pixels);
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  const double perLine = elapsed.count() / static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
  state.counters["frame_share"] = perLine / 0.020;
}
BENCHMARK(BM_AppendLineToFullChatViewAndRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace
