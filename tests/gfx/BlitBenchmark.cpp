// Speed of the hot blits next to memcpy of the same bytes, and of composing a
// whole game-board frame on the 8-bit page (goal: under 1 ms on one core).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "gfx/GrpLib8.h"
#include "gfx/Page.h"

using namespace tovrik::gfx;

namespace {

constexpr std::uint16_t kKey = 0x7C1F;

// A disc on a transparent square, like a stone or a button.
template <class Pixel>
std::vector<Pixel> Disc(int size, Pixel key, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<Pixel> pixels(static_cast<std::size_t>(size) * size, key);
  const double r = size / 2.0;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      if (std::hypot(x + 0.5 - r, y + 0.5 - r) < r) {
        Pixel p;
        do {
          p = static_cast<Pixel>(random());
        } while (p == key);
        pixels[static_cast<std::size_t>(y) * size + x] = static_cast<Pixel>(p & (sizeof(Pixel) == 2 ? 0x7FFF : 0xFF));
        if (pixels[static_cast<std::size_t>(y) * size + x] == key) pixels[static_cast<std::size_t>(y) * size + x] = 1;
      }
    }
  }
  return pixels;
}

std::vector<std::uint16_t> Opaque16(int w, int h) {
  std::vector<std::uint16_t> pixels(static_cast<std::size_t>(w) * h);
  std::mt19937 random(3);
  for (auto& p : pixels) p = static_cast<std::uint16_t>(random() & 0x3FFF);  // never the key
  return pixels;
}

struct Scene16 {
  Scene16(int w, int h) {
    page.Init(800, 600, 16);
    if (w == 64) {
      set.InsertByCopy(0, w, h, Disc<std::uint16_t>(w, kKey, 1), kKey, 1);
    } else {
      set.InsertByCopy(0, w, h, Opaque16(w, h), kKey, 1);
    }
    pixels = static_cast<double>(w) * h;
  }
  CPage page;
  xSprite set;
  double pixels;
};

void Report(benchmark::State& state, double pixelsPerIteration) {
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * pixelsPerIteration));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pixelsPerIteration * 2));
  state.counters["Mpixels"] = benchmark::Counter(state.iterations() * pixelsPerIteration / 1e6, benchmark::Counter::kIsRate);
}

void BM_CspCopy(benchmark::State& state) {
  Scene16 s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    s.page.PutSprAuto(10, 0, &s.set, 0);
    benchmark::ClobberMemory();
  }
  Report(state, s.pixels);
}

void BM_CspGlass(benchmark::State& state) {
  Scene16 s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    s.page.PutSprAuto(10, 0, &s.set, 0, SPR_GB, 12);
    benchmark::ClobberMemory();
  }
  Report(state, s.pixels);
}

// Scaled by 3/4, counted in source pixels.
void BM_CspZoom(benchmark::State& state) {
  Scene16 s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const int tw = static_cast<int>(state.range(0) * 3 / 4), th = static_cast<int>(state.range(1) * 3 / 4);
  for (auto _ : state) {
    s.page.ZoomSprAuto(10, 0, &s.set, 0, tw, th);
    benchmark::ClobberMemory();
  }
  Report(state, s.pixels);
}

void BM_Memcpy(benchmark::State& state) {
  const std::size_t bytes = static_cast<std::size_t>(state.range(0) * state.range(1) * 2);
  std::vector<std::uint8_t> from(bytes, 1), to(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::ClobberMemory();
  }
  Report(state, static_cast<double>(bytes / 2));
}

#define TOVRIK_SIZES ->Args({64, 64})->Args({596, 600})
BENCHMARK(BM_Memcpy) TOVRIK_SIZES;
BENCHMARK(BM_CspCopy) TOVRIK_SIZES;
BENCHMARK(BM_CspGlass) TOVRIK_SIZES;
BENCHMARK(BM_CspZoom) TOVRIK_SIZES;

// One frame of the game view: the board background, 32 stones, their glass
// shadows for the moving ones, an aiming glow and a glass panel.
void BM_GameBoardFrame(benchmark::State& state) {
  CPage board;
  board.Init(596, 600, 8);
  CreateAlphaTable8();
  for (int i = 0; i < kAlphaTableSize; ++i) _pAlpha[i] = static_cast<std::uint8_t>(i * 7);
  CSprite8 background, stones;
  std::vector<std::uint8_t> back(596 * 600);
  std::mt19937 random(5);
  for (auto& p : back) p = static_cast<std::uint8_t>(1 + random() % 255);
  background.Insert(0, 596, 600, std::move(back), 0, 1);
  for (int i = 0; i < 4; ++i) stones.Insert(i, 48, 48, Disc<std::uint8_t>(48, 0, 10 + i), 0, 1);
  for (auto _ : state) {
    board.PutSprAuto(0, 0, &background, 0);
    for (int i = 0; i < 32; ++i) {
      const int x = 20 + (i % 8) * 70, y = 20 + (i / 8) * 140;
      if (i % 8 == 0) board.PutSprAuto(x + 4, y + 6, &stones, i % 4, SPR8_MONO | SPR8_GLASS, 3, 0);  // shadow
      board.PutSprAuto(x, y, &stones, i % 4, i >= 16 ? SPR_LR : 0);
    }
    board.ZoomSprAuto(300, 300, &stones, 1, 72, 72, SPR8_GLASS | SPR_CENTER, 2);
    board.DrawFillBoxGB(150, 520, 450, 580, 20, 4);
    benchmark::ClobberMemory();
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  ClearAlphaTable8();
}
BENCHMARK(BM_GameBoardFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
