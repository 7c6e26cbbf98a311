// Pen outlines and the filled triangle on 8-bit pages: what each shape
// covers, the dotted and wide pens, and clipping that leaves the pixels
// inside the clip exactly as an unclipped draw would and nothing outside.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "TestImages.h"
#include "gfx/GrpLib8.h"
#include "gfx/Page.h"

namespace tovrik::gfx {
namespace {

constexpr int kInk = 9;

std::uint8_t At(const CPage& page, int x, int y) { return page.bits[static_cast<std::ptrdiff_t>(y) * page.pitchBytes + x]; }

std::vector<std::pair<int, int>> Inked(const CPage& page) {
  std::vector<std::pair<int, int>> out;
  for (int y = 0; y < page.height; ++y)
    for (int x = 0; x < page.width; ++x)
      if (At(page, x, y) == kInk) out.emplace_back(x, y);
  return out;
}

TEST(Shapes8, SolidDottedAndWideLines) {
  CPage page;
  page.Init(40, 12, 8);
  page.DrawPenLine(2, 1, 11, 1, {kInk, 1, false});
  page.DrawPenLine(2, 4, 11, 4, {kInk, 1, true});
  page.DrawPenLine(2, 7, 11, 7, {kInk, 2, false});
  page.DrawPenLine(30, 1, 30, 6, {kInk, 2, false});
  for (int x = 0; x < 25; ++x) {
    const bool onLine = x >= 2 && x <= 11;
    EXPECT_EQ(At(page, x, 1) == kInk, onLine) << x;
    // Two on, two off from the start of the stroke.
    EXPECT_EQ(At(page, x, 4) == kInk, onLine && ((x - 2) & 2) == 0) << x;
    EXPECT_EQ(At(page, x, 7) == kInk && At(page, x, 8) == kInk, onLine) << x;
  }
  // A wide vertical stroke widens sideways.
  for (int y = 1; y <= 6; ++y) EXPECT_TRUE(At(page, 30, y) == kInk && At(page, 31, y) == kInk) << y;
  // A diagonal line reaches both ends and steps one pixel at a time.
  CPage diagonal;
  diagonal.Init(20, 20, 8);
  diagonal.DrawPenLine(17, 2, 3, 9, {kInk, 1, false});
  EXPECT_EQ(At(diagonal, 17, 2), kInk);
  EXPECT_EQ(At(diagonal, 3, 9), kInk);
  EXPECT_EQ(Inked(diagonal).size(), 15u);
}

TEST(Shapes8, CircleLiesOnItsRadiusAndIsClosed) {
  CPage page;
  page.Init(64, 64, 8);
  constexpr int cx = 31, cy = 30, r = 20;
  page.DrawCircle(cx, cy, r, {kInk, 1, false});
  const auto pixels = Inked(page);
  ASSERT_FALSE(pixels.empty());
  for (const auto& [x, y] : pixels) EXPECT_NEAR(std::hypot(x - cx, y - cy), r, 0.75) << x << "," << y;
  for (const auto& [x, y] : {std::pair{cx + r, cy}, {cx - r, cy}, {cx, cy + r}, {cx, cy - r}}) EXPECT_EQ(At(page, x, y), kInk);
  // Every column the circle spans holds a pixel above and below the centre.
  for (int x = cx - r; x <= cx + r; ++x) {
    bool above = false, below = false;
    for (int y = 0; y < 64; ++y) {
      if (At(page, x, y) != kInk) continue;
      (y <= cy ? above : below) = true;
    }
    EXPECT_TRUE(above && below) << x;
  }
}

TEST(Shapes8, ArcsRunCounterClockwiseAndQuartersMakeTheCircle) {
  constexpr int cx = 30, cy = 30, r = 18;
  CPage arc;
  arc.Init(64, 64, 8);
  arc.DrawArc(cx, cy, r, 350.0f, 60.0f, {kInk, 1, false});  // across 0 degrees
  const auto pixels = Inked(arc);
  ASSERT_FALSE(pixels.empty());
  for (const auto& [x, y] : pixels) {
    double a = std::atan2(static_cast<double>(cy - y), static_cast<double>(x - cx)) * 180.0 / std::numbers::pi;
    if (a < 0) a += 360.0;
    EXPECT_TRUE(a >= 349.0 || a <= 51.0) << x << "," << y << " at " << a;
  }
  EXPECT_EQ(At(arc, cx + r, cy), kInk);
  EXPECT_NE(At(arc, cx, cy + r), kInk);  // straight down is not on it

  CPage quarters, circle;
  quarters.Init(64, 64, 8);
  circle.Init(64, 64, 8);
  for (float start : {0.0f, 90.0f, 180.0f, 270.0f}) quarters.DrawArc(cx, cy, r, start, 90.0f, {kInk, 1, false});
  circle.DrawCircle(cx, cy, r, {kInk, 1, false});
  EXPECT_EQ(Inked(quarters), Inked(circle));
}

bool InsideTriangle(double px, double py, const int (&t)[6]) {
  auto edge = [&](int a, int b) {
    return (t[b] - t[a]) * (py - t[a + 1]) - (t[b + 1] - t[a + 1]) * (px - t[a]);
  };
  const double e0 = edge(0, 2), e1 = edge(2, 4), e2 = edge(4, 0);
  return (e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0);
}

TEST(Shapes8, FilledTriangleCoversThePixelsInsideIt) {
  const int triangles[][6] = {{5, 3, 40, 10, 12, 30}, {2, 2, 30, 2, 16, 25}, {20, 1, 4, 28, 36, 28}};
  for (const auto& t : triangles) {
    CPage page;
    page.Init(48, 32, 8);
    page.DrawFillTriangle(t[0], t[1], t[2], t[3], t[4], t[5], kInk);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 48; ++x)
        EXPECT_EQ(At(page, x, y) == kInk, InsideTriangle(x, y, t)) << x << "," << y << " of " << t[0] << "," << t[1];
  }
}

// Every shape drawn across every edge of a clip equals the unclipped shape
// inside the clip and leaves everything outside alone.
TEST(Shapes8, ClippedShapesMatchTheUnclippedOnesInsideTheClip) {
  const std::vector<std::function<void(CPage&, int, int)>> shapes = {
      [](CPage& p, int dx, int dy) { p.DrawPenLine(dx - 10, dy + 3, dx + 50, dy + 40, {kInk, 2, false}); },
      [](CPage& p, int dx, int dy) { p.DrawPenLine(dx + 30, dy - 9, dx + 2, dy + 45, {kInk, 1, true}); },
      [](CPage& p, int dx, int dy) { p.DrawCircle(dx + 5, dy + 20, 14, {kInk, 1, true}); },
      [](CPage& p, int dx, int dy) { p.DrawCircle(dx + 38, dy + 36, 12, {kInk, 2, false}); },
      [](CPage& p, int dx, int dy) { p.DrawArc(dx + 20, dy + 2, 16, 200.0f, 250.0f, {kInk, 1, false}); },
      [](CPage& p, int dx, int dy) { p.DrawFillTriangle(dx - 6, dy + 8, dx + 45, dy - 5, dx + 25, dy + 44, kInk); },
  };
  constexpr int kPad = 20;
  for (std::size_t s = 0; s < shapes.size(); ++s) {
    CPage big, clipped;
    big.Init(40 + 2 * kPad, 40 + 2 * kPad, 8);
    clipped.Init(40, 40, 8);
    std::mt19937 random(static_cast<std::uint32_t>(s));
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) clipped.bits[y * clipped.pitchBytes + x] = static_cast<std::uint8_t>(random() % 8);
    const auto before = std::vector<std::uint8_t>(clipped.bits, clipped.bits + 40 * clipped.pitchBytes);
    shapes[s](big, kPad, kPad);
    clipped.SetTempClip(6, 5, 30, 33);
    clipped.EnableTempClip(1);
    shapes[s](clipped, 0, 0);
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 40; ++x) {
        const bool inside = x >= 6 && x <= 30 && y >= 5 && y <= 33;
        const std::uint8_t old = before[static_cast<std::size_t>(y * clipped.pitchBytes + x)];
        const std::uint8_t expected = inside && At(big, x + kPad, y + kPad) == kInk ? kInk : old;
        ASSERT_EQ(At(clipped, x, y), expected) << "shape " << s << " at " << x << "," << y;
      }
    }
  }
}

TEST(Shapes8, OnlyEightBitPagesTakeThem) {
  CPage page16;
  page16.Init(16, 16, 16);
  page16.DrawCircle(8, 8, 4, {kInk, 1, false});
  page16.DrawFillTriangle(0, 0, 15, 0, 0, 15, kInk);
  for (int i = 0; i < 16 * 16; ++i) EXPECT_EQ(page16.Bits16()[i], 0) << i;
}

// Without a usable table file the table is built from the page's palette.
TEST(Shapes8, MissingBlendTableIsBuiltFromThePalette) {
  std::array<PaletteEntry, 256> palette{};
  std::mt19937 random(5);
  for (auto& e : palette) e = {static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()), 0};
  CPage page;
  page.Init(8, 8, 8, palette);
  ClearAlphaTable8();
  EXPECT_EQ(page.OpenOrBuildAlphaTable8("/nonexistent/Alpha.alp"), 2);
  ASSERT_NE(_pAlpha, nullptr);
  EXPECT_EQ(page.alphaLoaded, 1);
  for (const auto& [level, d, s] : {std::tuple{0, 3, 200}, {3, 17, 99}, {6, 250, 1}, {5, 128, 128}})
    EXPECT_EQ(_pAlpha[level * 65536 + d * 256 + s], FindBlendColor(d, s, palette, level)) << level << " " << d << " " << s;
  // Glass drawing works with it.
  page.bits[0] = 3;
  page.DrawFillBoxGB(0, 0, 0, 0, 200, 0);
  EXPECT_EQ(page.bits[0], FindBlendColor(3, 200, palette, 0));
  ClearAlphaTable8();
}

}  // namespace
}  // namespace tovrik::gfx
