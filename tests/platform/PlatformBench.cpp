// What a frame costs the user-interface thread: composing an 8-bit game
// page and a 16-bit page onto the 800 x 600 surface, and a line of text.

#include <benchmark/benchmark.h>

#include <vector>

#include "platform/Surface.h"
#include "platform/Text.h"

namespace {

using namespace tovrik::platform;

void BM_Copy8BitPageThroughPalette(benchmark::State& state) {
  std::vector<std::uint16_t> frame(800 * 600);
  std::vector<std::uint8_t> page(596 * 600);
  for (std::size_t i = 0; i < page.size(); ++i) page[i] = static_cast<std::uint8_t>(i * 7);
  Palette palette{};
  for (int i = 0; i < 256; ++i) palette[i] = {std::uint8_t(i), std::uint8_t(i / 2), std::uint8_t(255 - i)};
  const PixelView target{frame.data(), 800, 600, 1600, PixelFormat::Rgb555, nullptr};
  const PixelView source{page.data(), 596, 600, 596, PixelFormat::Indexed8, &palette};
  for (auto _ : state) {
    CopyToRgb555(target, {0, 0}, source, Bounds(source), Bounds(target));
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_Copy8BitPageThroughPalette);

void BM_Copy16BitPage(benchmark::State& state) {
  std::vector<std::uint16_t> frame(800 * 600), page(800 * 600, 0x1234);
  const PixelView target{frame.data(), 800, 600, 1600, PixelFormat::Rgb555, nullptr};
  const PixelView source{page.data(), 800, 600, 1600, PixelFormat::Rgb555, nullptr};
  for (auto _ : state) {
    CopyToRgb555(target, {0, 0}, source, Bounds(source), Bounds(target));
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_Copy16BitPage);

void BM_KoreanTextLine(benchmark::State& state) {
  auto font = Font::Default();
  if (!font) {
    state.SkipWithError("no font");
    return;
  }
  std::vector<std::uint16_t> frame(800 * 600);
  const PixelView target{frame.data(), 800, 600, 1600, PixelFormat::Rgb555, nullptr};
  for (auto _ : state) TextOut(target, *font, 72, 40, "[12번방] : 한판 붙자 초보 환영합니다", {255, 255, 200});
}
BENCHMARK(BM_KoreanTextLine);

}  // namespace
