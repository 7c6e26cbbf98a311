#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "TestImages.h"
#include "gfx/Csp.h"
#include "gfx/GrpLib.h"
#include "gfx/JpegFile.h"
#include "gfx/Page.h"
#include "gfx/PixelFormat.h"
#include "gfx/ScreenCapture.h"

namespace tovrik::gfx {
namespace {

constexpr std::uint16_t kKey = 0x7C1F;

std::uint16_t& At(CPage& page, int x, int y) { return page.Bits16()[static_cast<std::ptrdiff_t>(y) * page.pitch + x]; }

void FillPage(CPage& page, std::uint32_t seed) {
  std::mt19937 random(seed);
  for (int y = 0; y < page.height; ++y) {
    for (int x = 0; x < page.width; ++x) At(page, x, y) = static_cast<std::uint16_t>(random() & 0x7FFF);
  }
}

std::vector<std::uint16_t> PagePixels(CPage& page) {
  std::vector<std::uint16_t> out;
  for (int y = 0; y < page.height; ++y) {
    for (int x = 0; x < page.width; ++x) out.push_back(At(page, x, y));
  }
  return out;
}

// A set with one frame, Csp or raw, built from `pixels`.
xSprite OneFrame(int w, int h, const std::vector<std::uint16_t>& pixels, bool csp) {
  xSprite set;
  EXPECT_EQ(set.InsertByCopy(0, w, h, pixels, kKey, csp ? 1 : 0), 1);
  return set;
}

// Straightforward reference: every opaque pixel of the image lands where the
// geometry says, if it lies inside the clip rectangle.
void ReferenceDraw(CPage& page, int x, int y, int w, int h, const std::vector<std::uint16_t>& pixels, bool lr,
                   bool ud, const PageRect& clip) {
  for (int k = 0; k < h; ++k) {
    for (int i = 0; i < w; ++i) {
      const std::uint16_t s = pixels[static_cast<std::size_t>(k) * w + i];
      if (s == kKey) continue;
      const int dx = lr ? x + w - 1 - i : x + i;
      const int dy = ud ? y + h - 1 - k : y + k;
      if (dx >= clip.x1 && dx <= clip.x2 && dy >= clip.y1 && dy <= clip.y2) At(page, dx, dy) = s;
    }
  }
}

TEST(PageInit, FieldsAndPitch) {
  CPage page;
  EXPECT_EQ(std::tie(page.bitsPerPixel, page.bytesPerPixel, page.flipScale), std::make_tuple(8, 1, 1));
  struct Case {
    int w, bpp, pitchBytes, pitch, entries;
  } cases[] = {{641, 16, 1284, 642, 0}, {640, 16, 1280, 640, 0}, {597, 8, 600, 600, 256}, {5, 24, 16, 5, 0},
               {3, 4, 4, 4, 16}};
  for (const auto& c : cases) {
    ASSERT_EQ(page.Init(c.w, 4, c.bpp), 1) << c.w;
    EXPECT_EQ(std::tie(page.pitchBytes, page.pitch, page.paletteEntries), std::tie(c.pitchBytes, c.pitch, c.entries))
        << c.w << "x" << c.bpp;
  }
  EXPECT_EQ(page.Init(10, 10, 32), 0);
  ASSERT_EQ(page.Init(4, 4, 8), 1);
  EXPECT_EQ(page.palette[255], (PaletteEntry{255, 255, 255, 0}));
  EXPECT_EQ(page.palette[0x24], (PaletteEntry{36, 36, 0, 0}));  // (1, 1, 0) of (7, 7, 3)
}

TEST(PageInit, AttachUsesTheCallersPixels) {
  std::vector<std::uint16_t> pixels(6 * 3, 0);
  CPage page;
  ASSERT_EQ(page.Attach(5, 3, pixels.data(), 12), 1);
  EXPECT_EQ(page.Attach(5, 3, pixels.data(), 12), 0);
  page.DrawFillBox(0, 0, 4, 2, 0x1234);
  EXPECT_EQ(pixels[6 + 4], 0x1234);
  EXPECT_EQ(pixels[5], 0);  // padding of the caller's rows is left alone
  EXPECT_EQ(page.Detach(), 1);
  EXPECT_EQ(page.Detach(), 0);
  CPage owner;
  owner.Init(2, 2, 16);
  EXPECT_EQ(owner.Attach(5, 3, pixels.data(), 12), 0);
}

TEST(PageClip, SetTempClipOrdersAndClamps) {
  CPage page;
  page.Init(640, 480, 16);
  page.SetTempClip(700, -5, 100, 50);
  EXPECT_EQ(page.tempClip, (PageRect{100, 0, 639, 50}));
}

// Csp and raw frames, as is, mirrored and flipped, at positions that cut
// every edge, against the reference.
TEST(Blit16, ClippingAndGeometryMatchTheReference) {
  constexpr int w = 13, h = 7;
  const auto pixels = testing::RandomFrame(w, h, kKey, 21);
  const xSprite csp = OneFrame(w, h, pixels, true);
  const xSprite raw = OneFrame(w, h, pixels, false);
  CPage page, expected;
  page.Init(64, 40, 16);
  expected.Init(64, 40, 16);
  const int xs[] = {-20, -13, -12, -3, 0, 5, 51, 52, 60, 63, 64};
  const int ys[] = {-8, -7, -6, -1, 0, 33, 34, 39, 40};
  struct Geometry {
    int flags;
    bool lr, ud;
  } geometries[] = {{0, false, false}, {SPR_LR, true, false}, {SPR_UD, false, true}, {SPR_LR | SPR_UD, true, false}};
  const PageRect whole{0, 0, 63, 39};
  const PageRect temp{7, 5, 50, 30};
  for (const bool useTemp : {false, true}) {
    for (const auto& g : geometries) {
      for (const int x : xs) {
        for (const int y : ys) {
          FillPage(page, 5);
          FillPage(expected, 5);
          page.SetTempClip(temp.x1, temp.y1, temp.x2, temp.y2);
          const int flags = g.flags | (useTemp ? SPR_TEMPCLIP : 0);
          ASSERT_EQ(page.PutSprAuto(x, y, &csp, 0, flags), 1);
          ReferenceDraw(expected, x, y, w, h, pixels, g.lr, g.ud, useTemp ? temp : whole);
          ASSERT_EQ(PagePixels(page), PagePixels(expected)) << "csp flags " << flags << " at " << x << "," << y;
        }
      }
    }
  }
  // Raw frames ignore the geometry flags.
  for (const int x : xs) {
    FillPage(page, 5);
    FillPage(expected, 5);
    page.PutSprAuto(x, 3, &raw, 0, SPR_LR | SPR_UD);
    ReferenceDraw(expected, x, 3, w, h, pixels, false, false, whole);
    ASSERT_EQ(PagePixels(page), PagePixels(expected)) << "raw at " << x;
  }
}

TEST(Blit16, ClipEdgeCases) {
  CPage page;
  page.Init(640, 480, 16);
  const auto pixels = testing::RandomFrame(10, 3, kKey, 2, 0);  // fully opaque
  const xSprite set = OneFrame(10, 3, pixels, true);
  page.PutSprAuto(-3, 0, &set, 0);
  for (int x = 0; x < 7; ++x) EXPECT_EQ(At(page, x, 0), pixels[static_cast<std::size_t>(x + 3)]);
  EXPECT_EQ(At(page, 7, 0), 0);

  const auto before = PagePixels(page);
  page.PutSprAuto(640, 0, &set, 0);  // right of _CX2
  page.PutSprAuto(0, 480, &set, 0);  // below _CY2
  page.PutSprAuto(-10, 50, &set, 0);  // ends at _CX1 - 1
  page.PutSprAuto(50, -3, &set, 0);   // ends at _CY1 - 1
  EXPECT_EQ(PagePixels(page), before);
}

TEST(Blit16, MirroredRunLandsReversed) {
  std::vector<std::uint16_t> row(10, kKey);
  row[2] = 0x0001, row[3] = 0x0002, row[4] = 0x0003;  // one run: skip 2, length 3
  const xSprite set = OneFrame(10, 1, row, true);
  CPage page;
  page.Init(20, 2, 16);
  page.PutSprAuto(0, 0, &set, 0, SPR_LR);
  EXPECT_EQ(At(page, 5, 0), 0x0003);
  EXPECT_EQ(At(page, 6, 0), 0x0002);
  EXPECT_EQ(At(page, 7, 0), 0x0001);
  EXPECT_EQ(At(page, 4, 0), 0);
  EXPECT_EQ(At(page, 8, 0), 0);

  // Flipped: the last source row is drawn at y.
  const xSprite tall = OneFrame(1, 2, {0x0011, 0x0022}, true);
  page.PutSprAuto(0, 0, &tall, 0, SPR_UD);
  EXPECT_EQ(At(page, 0, 0), 0x0022);
  EXPECT_EQ(At(page, 0, 1), 0x0011);
}

int Ch(std::uint16_t p, int shift) { return p >> shift & 31; }

// Each kernel against its per-channel formula on random source and page pixels.
TEST(Blit16, KernelsAreExactPerChannel) {
  constexpr int n = 256;
  std::vector<std::uint16_t> src(n);
  std::mt19937 random(99);
  for (auto& s : src) {
    do {
      s = static_cast<std::uint16_t>(random() & 0x7FFF);
    } while (s == kKey);
  }
  const xSprite set = OneFrame(n, 1, src, true);
  InitAlphaTable(555);
  using Channel = std::function<int(int s, int d, int c)>;
  struct Case {
    const char* name;
    int flags, level;
    std::uint16_t color;
    Channel channel;
  } cases[] = {
      {"GB 31", SPR_GB, 31, 0, [](int s, int d, int) { return s * 31 / 32 + d * 0 / 32; }},
      {"GB 0", SPR_GB, 0, 0, [](int, int d, int) { return d * 31 / 32; }},
      {"GB 17", SPR_GB, 17, 0, [](int s, int d, int) { return s * 17 / 32 + d * 14 / 32; }},
      {"HB", SPR_HB, 0, 0, [](int s, int d, int) { return s / 2 + d / 2; }},
      {"Glow 9", SPR_GLOW, 9, 0x4A52, [](int s, int, int c) { return s * 9 / 32 + c * 22 / 32; }},
      {"LE", SPR_LE, 0, 0, [](int s, int d, int) { return std::min(d + s * (31 - d) / 32, 31); }},
      {"DE", SPR_DE, 0, 0, [](int s, int d, int) { return std::max(d - d * (31 - s) / 32, 0); }},
  };
  for (const auto& c : cases) {
    for (const int flip : {0, SPR_LR, SPR_UD}) {
      CPage page;
      page.Init(n, 1, 16);
      FillPage(page, 3);
      const auto before = PagePixels(page);
      page.PutSprAuto(0, 0, &set, 0, c.flags | flip, c.level, c.color);
      for (int i = 0; i < n; ++i) {
        const std::uint16_t s = src[static_cast<std::size_t>(flip == SPR_LR ? n - 1 - i : i)];
        const std::uint16_t d = before[static_cast<std::size_t>(i)];
        int expected = 0;
        for (const int shift : {10, 5, 0}) expected |= c.channel(Ch(s, shift), Ch(d, shift), Ch(c.color, shift)) << shift;
        ASSERT_EQ(At(page, i, 0), expected) << c.name << " flip " << flip << " pixel " << i;
      }
    }
  }
}

TEST(Blit16, SingleValueKernels) {
  CPage page;
  page.Init(4, 1, 16);
  struct Case {
    const char* name;
    std::uint16_t source, page;
    int flags, level;
    std::uint16_t color, expected;
  } cases[] = {
      {"Grayscl of pure red", 0x7C00, 0x1234, SPR_GRAYSCL, 0, 0, 0x294A},
      {"GB 31 turns 31 into 30", 0x7FFF, 0, SPR_GB, 31, 0, 0x7BDE},
      {"GB 0 keeps 31/32 of the page", 0x7FFF, 0x7FFF, SPR_GB, 0, 0, 0x7BDE},
      {"GB level above 31 is 31", 0x7FFF, 0, SPR_GB, 99, 0, 0x7BDE},
      {"copy keeps bit 15", 0x8001, 0, 0, 0, 0, 0x8001},
      {"GB clears bit 15", 0x8000 | 0x7FFF, 0x8000, SPR_GB, 31, 0, 0x7BDE},
      {"Mono stores the colour", 0x0001, 0, SPR_MONO, 0, 0xFFFF, 0xFFFF},
      {"Glow level 31 leaves a trace of the colour", 0, 0x7FFF, SPR_GLOW, 31, 0x7FFF, 0},
  };
  for (const auto& c : cases) {
    At(page, 0, 0) = c.page;
    const xSprite set = OneFrame(1, 1, {c.source}, true);
    page.PutSprAuto(0, 0, &set, 0, c.flags, c.level, c.color);
    EXPECT_EQ(At(page, 0, 0), c.expected) << c.name;
  }
}

TEST(Blit16, AntiSoftensRunEdges) {
  // Runs of 1, 2, 3 and 4 pixels of 0x7FFF on a black page.
  const std::uint16_t W = 0x7FFF, K = kKey;
  const std::vector<std::uint16_t> row = {W, K, W, W, K, W, W, W, K, W, W, W, W};
  const xSprite set = OneFrame(13, 1, row, true);
  CPage page;
  page.Init(13, 1, 16);
  page.PutSprAuto(0, 0, &set, 0, SPR_ANTI);
  const std::uint16_t H = 0x3DEF;  // half of white over black
  const std::vector<std::uint16_t> expected = {H, 0, H, 0, 0, H, W, H, 0, H, W, W, H};
  EXPECT_EQ(PagePixels(page), expected);
  page.DrawFillBox(0, 0, 12, 0, 0);
  page.PutSprAuto(0, 0, &set, 0, SPR_ANTI | SPR_LR);  // no effect with mirroring
  EXPECT_EQ(At(page, 12, 0), W);
}

TEST(Blit16, MirrorAboutThePageAxis) {
  auto pixels = testing::RandomFrame(40, 3, kKey, 8, 0);
  xSprite set = OneFrame(40, 3, pixels, true);
  set.Frame(0)->offsetX = 6;
  set.Frame(0)->offsetY = 4;
  CPage page, expected;
  page.Init(640, 20, 16);
  expected.Init(640, 20, 16);
  page.SetMirrorX(320);
  page.PutSprAuto(100, 2, &set, 0, SPR_MIRROR);
  ReferenceDraw(expected, 500, 6, 40, 3, pixels, true, false, {0, 0, 639, 19});
  EXPECT_EQ(PagePixels(page), PagePixels(expected));

  page.DrawFillBox(0, 0, 639, 19, 0);
  expected.DrawFillBox(0, 0, 639, 19, 0);
  page.PutSprAuto(100, 2, &set, 0, SPR_MIRROR | SPR_RXY);
  ReferenceDraw(expected, 494, 6, 40, 3, pixels, true, false, {0, 0, 639, 19});
  EXPECT_EQ(PagePixels(page), PagePixels(expected));
}

TEST(Blit16, RefusalsAndFramesWithoutPixels) {
  CPage page;
  xSprite set = OneFrame(2, 2, {1, 2, 3, 4}, true);
  EXPECT_EQ(page.PutSprAuto(0, 0, &set, 0), 0);  // no bits yet
  page.Init(8, 8, 8);
  EXPECT_EQ(page.PutSprAuto(0, 0, &set, 0), 0);  // wrong depth
  page.Init(8, 8, 16);
  EXPECT_EQ(page.PutSprAuto(0, 0, &set, 1), 0);
  EXPECT_EQ(page.PutSprAuto(0, 0, &set, -1), 0);
  EXPECT_EQ(page.PutSprAuto(0, 0, static_cast<const xSprite*>(nullptr), 0), 0);
  EXPECT_EQ(page.PutSprAuto(0, 0, static_cast<const SPRITE30*>(nullptr)), 0);
  set.ClearSprData(0);  // as after a failed load
  EXPECT_EQ(page.PutSprAuto(0, 0, &set, 0), 1);
  EXPECT_EQ(page.ZoomSprAuto(0, 0, &set, 0, 5, 5), 1);
  EXPECT_EQ(PagePixels(page), std::vector<std::uint16_t>(64, 0));
}

TEST(Zoom16, HundredPercentIsPutSprAuto) {
  const auto pixels = testing::RandomFrame(17, 9, kKey, 31);
  xSprite set = OneFrame(17, 9, pixels, true);
  set.Frame(0)->offsetX = 3;
  set.Frame(0)->offsetY = -2;
  for (const int flags : {0, SPR_GB, SPR_LR | SPR_HB, SPR_UD | SPR_GRAYSCL, SPR_RXY}) {
    CPage a, b;
    a.Init(40, 30, 16);
    b.Init(40, 30, 16);
    FillPage(a, 1);
    FillPage(b, 1);
    a.PutSprAuto(-4, 25, &set, 0, flags, 20, 0x1F);
    b.ZoomSprAuto(-4, 25, &set, 0, 100, 100, flags | SPR_PERCENT, 20, 0x1F);
    EXPECT_EQ(PagePixels(a), PagePixels(b)) << flags;
  }
}

TEST(Zoom16, RawFrameAtAnotherSizeDrawsNothing) {
  const xSprite set = OneFrame(2, 2, {1, 2, 3, 4}, false);
  CPage page;
  page.Init(10, 10, 16);
  EXPECT_EQ(page.ZoomSprAuto(0, 0, &set, 0, 4, 4), 1);
  EXPECT_EQ(PagePixels(page), std::vector<std::uint16_t>(100, 0));
  page.ZoomSprAuto(0, 0, &set, 0, 2, 2);  // same size: drawn as is
  EXPECT_EQ(At(page, 1, 1), 4);
}

TEST(Zoom16, ScalingRepeatsRowsAndColumns) {
  const xSprite set = OneFrame(2, 2, {1, 2, 3, 4}, true);
  CPage page;
  page.Init(6, 6, 16);
  page.ZoomSprAuto(0, 0, &set, 0, 3, 3);
  // Rows: 2 -> 3 repeats the second row; columns likewise.
  const std::vector<std::vector<std::uint16_t>> expected = {{1, 2, 2}, {3, 4, 4}, {3, 4, 4}};
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(page, x, y), expected[y][x]) << x << "," << y;
  }
  EXPECT_EQ(At(page, 3, 0), 0);
  EXPECT_EQ(At(page, 0, 3), 0);

  page.DrawFillBox(0, 0, 5, 5, 0);
  page.ZoomSprAuto(3, 3, &set, 0, 50, 50, SPR_PERCENT | SPR_CENTER);  // 1x1 centred at (3, 3)
  EXPECT_EQ(At(page, 3, 3), 4);  // the accumulators first fill on the last row and column
  const auto after = PagePixels(page);
  EXPECT_EQ(std::count(after.begin(), after.end(), 0), 35);
}

TEST(Zoom16, ClippedScalingStaysInsideTheClip) {
  const auto pixels = testing::RandomFrame(23, 19, kKey, 4, 10);
  const xSprite set = OneFrame(23, 19, pixels, true);
  CPage page;
  page.Init(50, 40, 16);
  page.SetTempClip(10, 8, 39, 31);
  for (const int x : {-60, -5, 3, 20, 35}) {
    for (const int y : {-50, -2, 6, 25}) {
      for (const auto& size : {std::pair{70, 90}, std::pair{11, 7}, std::pair{46, 19}}) {
        page.DrawFillBox(0, 0, 49, 39, 0);
        page.ZoomSprAuto(x, y, &set, 0, size.first, size.second, SPR_TEMPCLIP);
        for (int py = 0; py < 40; ++py) {
          for (int px = 0; px < 50; ++px) {
            if (px < 10 || px > 39 || py < 8 || py > 31) {
              ASSERT_EQ(At(page, px, py), 0) << px << "," << py;
            }
          }
        }
      }
    }
  }
}

TEST(Fill16, CornersInAnyOrderAndGlassFill) {
  CPage a, b;
  a.Init(16, 16, 16);
  b.Init(16, 16, 16);
  a.DrawFillBox(10, 10, 5, 5, 0x0421);
  b.DrawFillBox(5, 5, 10, 10, 0x0421);
  const auto filled = PagePixels(a);
  EXPECT_EQ(filled, PagePixels(b));
  EXPECT_EQ(std::count(filled.begin(), filled.end(), 0x0421), 36);
  a.DrawFillBox(-5, -5, 100, 100, 0x7FFF);
  const auto full = PagePixels(a);
  EXPECT_EQ(std::count(full.begin(), full.end(), 0x7FFF), 256);
  // d x (31 - L) / 32 + C x L / 32 per channel.
  a.DrawFillBoxGB(0, 0, 0, 0, 0x0000, 8);
  EXPECT_EQ(At(a, 0, 0), (31 * 23 / 32) * 0x421);
  a.DrawFillBoxGB(1, 0, 1, 0, 0x7C00, 31);
  EXPECT_EQ(At(a, 1, 0), (31 * 0 / 32 + 31 * 31 / 32) << 10);
}

TEST(Lines16, ClipAndXor) {
  CPage page;
  page.Init(10, 4, 16);
  page.HLine(-3, 0, 5, 0x0001);  // start moves to the edge, length stays
  const auto all = PagePixels(page);
  const auto row0 = std::vector<std::uint16_t>(all.begin(), all.begin() + 10);
  EXPECT_EQ(row0, (std::vector<std::uint16_t>{1, 1, 1, 1, 1, 0, 0, 0, 0, 0}));
  page.HLine(7, 1, 10, 0x0002);
  EXPECT_EQ(At(page, 9, 1), 2);
  page.HLine(2, 2, 4, 0, 1);  // inverts 3 pixels from x = 3
  EXPECT_EQ(At(page, 2, 2), 0);
  EXPECT_EQ(At(page, 3, 2), 0xFFFF);
  EXPECT_EQ(At(page, 5, 2), 0xFFFF);
  EXPECT_EQ(At(page, 6, 2), 0);
  page.VLine(9, -2, 3, 0x0003);
  EXPECT_EQ(At(page, 9, 0), 3);
  EXPECT_EQ(At(page, 9, 2), 3);
  EXPECT_EQ(At(page, 9, 3), 0);

  // An inverted outline drawn twice leaves the page as it was.
  CPage box;
  box.Init(12, 12, 16);
  FillPage(box, 9);
  const auto before = PagePixels(box);
  box.DrawEmptyBox(2, 3, 8, 9, 0, 1);
  EXPECT_EQ(At(box, 2, 3), static_cast<std::uint16_t>(~before[3 * 12 + 2]));  // corner inverted once
  box.DrawEmptyBox(2, 3, 8, 9, 0, 1);
  EXPECT_EQ(PagePixels(box), before);
  box.DrawSelectBox(0, 0, 11, 11, 0x1111);
  EXPECT_EQ(At(box, 0, 0), before[0]);  // the corner is the centre of its square
  EXPECT_EQ(At(box, 1, 1), 0x1111);
  EXPECT_EQ(At(box, 11, 10), 0x1111);
  EXPECT_EQ(At(box, 2, 2), before[2 * 12 + 2]);
  box.DrawLine(0, 11, 11, 0, 0x2222);
  EXPECT_EQ(At(box, 5, 6), 0x2222);
}

TEST(PageToPage, CopiesAtTheSourcePitch) {
  CPage source, target;
  source.Init(3, 2, 16);  // pitch 4: rows are padded
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) At(source, x, y) = static_cast<std::uint16_t>(y * 3 + x + 1);
  }
  target.Init(5, 5, 16);
  EXPECT_EQ(target.PutFromPage(1, 1, &source), 1);
  EXPECT_EQ(At(target, 1, 2), 4);
  EXPECT_EQ(At(target, 3, 2), 6);
  EXPECT_EQ(At(target, 4, 2), 0);
  EXPECT_EQ(target.PutFromPageWithColorKey(0, 0, &source, 2), 1);
  EXPECT_EQ(At(target, 1, 0), 0);  // key left out
  EXPECT_EQ(At(target, 2, 0), 3);
  CPage empty;
  EXPECT_EQ(target.PutFromPage(0, 0, &empty), 0);
}

TEST(PageFiles, BitmapAndJpeg) {
  testing::ScratchDir dir("page-files");
  CPage page;
  page.Init(3, 2, 16);
  page.DrawFillBox(0, 0, 2, 1, 0x7FFF);
  At(page, 0, 0) = 0x7C00;
  ASSERT_EQ(page.SaveToBitmap(dir / "p.bmp"), 1);
  const auto bmp = testing::ReadBytes(dir / "p.bmp");
  ASSERT_EQ(bmp.size(), 54u + 2 * 12);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[10], 54);
  EXPECT_EQ(bmp[22], 2);                           // positive height: bottom-up
  EXPECT_EQ(bmp[28], 24);
  const std::size_t topRow = 54 + 12;               // the top row comes last
  EXPECT_EQ(std::vector<int>(bmp.begin() + topRow, bmp.begin() + topRow + 6), (std::vector<int>{0, 0, 248, 248, 248, 248}));

  page.DrawFillBox(0, 0, 2, 1, 0x7FFF);
  ASSERT_EQ(page.SaveToJpeg(dir / "p.jpg", 88), 1);
  int w = 0, h = 0;
  const auto rgb = JpegFile::JpegFileToRGB(dir / "p.jpg", w, h);
  ASSERT_EQ(std::tie(w, h), std::make_tuple(3, 2));
  EXPECT_NEAR(rgb[0], 248, 2);
  CPage palettePage;
  palettePage.Init(2, 2, 8);
  EXPECT_EQ(palettePage.SaveToJpeg(dir / "q.jpg", 88), 0);
}

TEST(ScreenCaptureTest, RateLimitAndRefusals) {
  testing::ScratchDir dir("capture");
  CPage page;
  page.Init(8, 6, 16);
  const PixelView view = page.View();
  const std::uint32_t t0 = 5'000'000;
  EXPECT_EQ(ScreenCapture(nullptr, dir.Path(), "a.jpg", t0), 0);
  EXPECT_EQ(ScreenCapture(&view, dir.Path(), "a.jpg", t0), 1);
  EXPECT_EQ(ScreenCapture(&view, dir.Path(), "b.jpg", t0 + 30), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "b.jpg"));
  EXPECT_EQ(ScreenCapture(&view, dir.Path(), "c.jpg", t0 + 60), 1);
  PixelView minimised = view;
  minimised.width = 0;
  EXPECT_EQ(ScreenCapture(&minimised, dir.Path(), "d.jpg", t0 + 200), 0);

  CPage board;  // an 8-bit frame goes through its palette
  board.Init(4, 4, 8);
  board.DrawFillBox(0, 0, 3, 3, 255);
  const PixelView boardView = board.View();
  ASSERT_EQ(ScreenCapture(&boardView, dir.Path(), "e.jpg", t0 + 400), 1);
  int w = 0, h = 0;
  const auto rgb = JpegFile::JpegFileToRGB(dir / "e.jpg", w, h);
  ASSERT_FALSE(rgb.empty());
  EXPECT_NEAR(rgb[0], 248, 2);
}

TEST(Presenter, FlipHandsOverThePageAndConvertsPositions) {
  struct Recorder : IPagePresenter {
    bool Present(const PixelView& page, int x, int y, int scale) override {
      seen = page;
      at = {x, y, scale};
      return true;
    }
    bool StretchPresent(const PixelView& page, const PageRect*, const PageRect* source) override {
      seen = page;
      stretchedSource = source ? *source : PageRect{};
      return true;
    }
    PixelView seen;
    std::tuple<int, int, int> at;
    PageRect stretchedSource;
  } recorder;
  CPage page;
  page.Init(10, 10, 8);
  EXPECT_EQ(page.FlipToGDI(recorder, 20, 30, 2), 1);
  EXPECT_EQ(recorder.at, std::make_tuple(20, 30, 2));
  EXPECT_EQ(recorder.seen.pixels, page.bits);
  EXPECT_EQ(recorder.seen.palette, &page.palette);
  int px = 0, py = 0;
  page.ToPagePos(25, 41, px, py);
  EXPECT_EQ(std::tie(px, py), std::make_tuple(2, 5));
  const PageRect part{1, 1, 4, 4};
  EXPECT_EQ(page.StretchFlip(recorder, nullptr, &part), 1);
  EXPECT_EQ(recorder.stretchedSource, part);
}

}  // namespace
}  // namespace tovrik::gfx
