#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <tuple>

#include "TestImages.h"
#include "gfx/GrpLib8.h"
#include "gfx/Page.h"

namespace tovrik::gfx {
namespace {

std::uint8_t& At(CPage& page, int x, int y) { return page.Bits8()[static_cast<std::ptrdiff_t>(y) * page.pitch + x]; }

std::vector<std::uint8_t> PagePixels(CPage& page) {
  std::vector<std::uint8_t> out;
  for (int y = 0; y < page.height; ++y) {
    for (int x = 0; x < page.width; ++x) out.push_back(At(page, x, y));
  }
  return out;
}

void FillPage(CPage& page, std::uint32_t seed) {
  std::mt19937 random(seed);
  for (int y = 0; y < page.height; ++y) {
    for (int x = 0; x < page.width; ++x) At(page, x, y) = static_cast<std::uint8_t>(random());
  }
}

// A blend table whose entries are easy to predict: T[L][d][s] = d + 3s + 17L.
std::uint8_t Predicted(int level, int d, int s) { return static_cast<std::uint8_t>(d + 3 * s + 17 * level); }

class Blit8Test : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateAlphaTable8();
    for (int l = 0; l < kAlphaLevels; ++l) {
      for (int d = 0; d < 256; ++d) {
        for (int s = 0; s < 256; ++s) _pAlpha[l * 65536 + d * 256 + s] = Predicted(l, d, s);
      }
    }
    page_.Init(48, 32, 8);
  }
  void TearDown() override { ClearAlphaTable8(); }

  static CSprite8 OneFrame(int w, int h, const std::vector<std::uint8_t>& pixels, bool csp) {
    CSprite8 set;
    EXPECT_EQ(set.Insert(0, w, h, std::vector<std::uint8_t>(pixels), 0, csp ? 1 : 0), 1);
    return set;
  }

  CPage page_;
};

// Every geometry of raw and Csp frames at positions cutting each edge, with
// the copy kernel, against a straightforward reference.
TEST_F(Blit8Test, GeometryAndClippingMatchTheReference) {
  constexpr int w = 11, h = 6;
  const auto pixels = testing::RandomFrame8(w, h, 0, 4);
  const struct {
    int flags;
    bool lr, ud;
  } geometries[] = {{0, false, false}, {SPR_LR, true, false}, {SPR_UD, false, true}, {SPR_LR | SPR_UD, true, true}};
  CPage expected;
  expected.Init(48, 32, 8);
  for (const bool csp : {false, true}) {
    const CSprite8 set = OneFrame(w, h, pixels, csp);
    for (const auto& g : geometries) {
      for (const int x : {-11, -10, -4, 0, 20, 37, 40, 47, 48}) {
        for (const int y : {-6, -5, -2, 0, 26, 29, 31, 32}) {
          FillPage(page_, 1);
          FillPage(expected, 1);
          ASSERT_EQ(page_.PutSprAuto(x, y, &set, 0, g.flags), 1);
          for (int k = 0; k < h; ++k) {
            for (int i = 0; i < w; ++i) {
              const std::uint8_t s = pixels[static_cast<std::size_t>(k * w + i)];
              const int dx = g.lr ? x + w - 1 - i : x + i, dy = g.ud ? y + h - 1 - k : y + k;
              if (s && dx >= 0 && dx < 48 && dy >= 0 && dy < 32) At(expected, dx, dy) = s;
            }
          }
          ASSERT_EQ(PagePixels(page_), PagePixels(expected)) << csp << " " << g.flags << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST_F(Blit8Test, IndexZeroOfRawFramesNeverChangesThePage) {
  const std::vector<std::uint8_t> hollow = {5, 0, 6, 0, 0, 0, 7, 0, 8};
  const CSprite8 set = OneFrame(3, 3, hollow, false);
  for (const int kernel : {0, SPR8_MONO, SPR8_GLASS, SPR8_MONO | SPR8_GLASS}) {
    for (const int geometry : {0, SPR_LR, SPR_UD, SPR_LR | SPR_UD}) {
      FillPage(page_, 2);
      const auto before = PagePixels(page_);
      page_.PutSprAuto(4, 4, &set, 0, kernel | geometry, 2, 9);
      page_.ZoomSprAuto(10, 10, &set, 0, 7, 5, kernel | geometry, 2, 9);
      const bool lr = geometry & SPR_LR, ud = geometry & SPR_UD;
      for (const auto& [i, k] : {std::pair{1, 0}, std::pair{0, 1}, std::pair{1, 1}, std::pair{2, 1}, std::pair{1, 2}}) {
        const int dx = 4 + (lr ? 2 - i : i), dy = 4 + (ud ? 2 - k : k);
        EXPECT_EQ(At(page_, dx, dy), before[static_cast<std::size_t>(dy * 48 + dx)])
            << "kernel " << kernel << " geometry " << geometry;
      }
    }
  }
}

TEST_F(Blit8Test, GlassAndMonoKernels) {
  const std::vector<std::uint8_t> pixels = {10, 20, 30, 40};
  for (const bool csp : {false, true}) {
    const CSprite8 set = OneFrame(4, 1, pixels, csp);
    struct Case {
      const char* name;
      int flags, level, color;
      std::function<int(int d, int s)> expected;
    } cases[] = {
        {"glass level 0", SPR8_GLASS, 0, 0, [](int d, int s) { return Predicted(0, d, s); }},
        {"glass level 6", SPR8_GLASS, 6, 0, [](int d, int s) { return Predicted(6, d, s); }},
        {"glass level 7 draws nothing", SPR8_GLASS, 7, 0, [](int d, int) { return d; }},
        {"glass level -5 is level 0", SPR8_GLASS, -5, 0, [](int d, int s) { return Predicted(0, d, s); }},
        {"glass level 40 is 31: nothing", SPR8_GLASS, 40, 0, [](int d, int) { return d; }},
        {"mono with colour 0", SPR8_MONO, 3, 0, [](int, int) { return 0; }},
        {"mono-glass", SPR8_MONO | SPR8_GLASS, 2, 77, [](int d, int) { return Predicted(2, d, 77); }},
    };
    for (const auto& c : cases) {
      FillPage(page_, 3);
      const auto before = PagePixels(page_);
      page_.PutSprAuto(1, 1, &set, 0, c.flags, c.level, c.color);
      for (int i = 0; i < 4; ++i) {
        const int d = before[static_cast<std::size_t>(48 + 1 + i)];
        EXPECT_EQ(At(page_, 1 + i, 1), c.expected(d, pixels[static_cast<std::size_t>(i)])) << c.name << " csp " << csp;
      }
    }
  }
  // Without a table glass draws nothing.
  ClearAlphaTable8();
  const CSprite8 set = OneFrame(4, 1, pixels, true);
  FillPage(page_, 3);
  const auto before = PagePixels(page_);
  page_.PutSprAuto(0, 0, &set, 0, SPR8_GLASS, 0);
  page_.DrawFillBoxGB(0, 0, 47, 31, 5, 0);
  EXPECT_EQ(PagePixels(page_), before);
}

TEST_F(Blit8Test, ZoomAtHundredPercentCentredDrawsUnscaled) {
  const auto pixels = testing::RandomFrame8(9, 5, 0, 8);
  const CSprite8 set = OneFrame(9, 5, pixels, true);
  CPage expected;
  expected.Init(48, 32, 8);
  page_.ZoomSprAuto(20, 10, &set, 0, 100, 100, SPR_PERCENT | SPR_CENTER);
  expected.PutSprAuto(20 - 4, 10 - 2, &set, 0);
  EXPECT_EQ(PagePixels(page_), PagePixels(expected));
}

TEST_F(Blit8Test, ScaledMirroredAndFlipped) {
  const CSprite8 set = OneFrame(2, 2, {1, 2, 3, 4}, true);
  page_.ZoomSprAuto(0, 0, &set, 0, 4, 4, SPR_LR | SPR_UD);
  const std::vector<std::vector<int>> expected = {{4, 4, 3, 3}, {4, 4, 3, 3}, {2, 2, 1, 1}, {2, 2, 1, 1}};
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(page_, x, y), expected[y][x]) << x << "," << y;
  }
  // Scaled glass goes through the table as well.
  const CSprite8 raw = OneFrame(1, 1, {9}, false);
  At(page_, 10, 10) = At(page_, 11, 10) = 100;
  page_.ZoomSprAuto(10, 10, &raw, 0, 2, 1, SPR8_GLASS, 1);
  EXPECT_EQ(At(page_, 10, 10), Predicted(1, 100, 9));
  EXPECT_EQ(At(page_, 11, 10), Predicted(1, 100, 9));
}

TEST_F(Blit8Test, ScaledDrawsStayInsideTheTempClip) {
  const auto pixels = testing::RandomFrame8(15, 12, 0, 9);
  for (const bool csp : {false, true}) {
    const CSprite8 set = OneFrame(15, 12, pixels, csp);
    for (const int flags : {0, SPR_LR, SPR_UD, SPR_LR | SPR_UD | SPR8_GLASS}) {
      for (const int x : {-40, -3, 5, 30}) {
        page_.DrawFillBox(0, 0, 47, 31, 0);
        page_.SetTempClip(6, 4, 40, 25);
        page_.EnableTempClip(1);
        page_.ZoomSprAuto(x, x / 2, &set, 0, 50, 37, flags, 1);
        page_.EnableTempClip(0);
        for (int py = 0; py < 32; ++py) {
          for (int px = 0; px < 48; ++px) {
            if (px < 6 || px > 40 || py < 4 || py > 25) {
              ASSERT_EQ(At(page_, px, py), 0) << px << "," << py;
            }
          }
        }
      }
    }
  }
}

TEST_F(Blit8Test, FillsAndOutlines) {
  FillPage(page_, 4);
  const auto before = PagePixels(page_);
  page_.DrawFillBoxGB(5, 5, 2, 2, 40, 3);  // corners in any order
  EXPECT_EQ(At(page_, 2, 2), Predicted(3, before[2 * 48 + 2], 40));
  EXPECT_EQ(At(page_, 5, 5), Predicted(3, before[5 * 48 + 5], 40));
  EXPECT_EQ(At(page_, 6, 5), before[5 * 48 + 6]);
  page_.DrawFillBoxGB(0, 0, 47, 31, 40, 7);  // level 7: nothing
  EXPECT_EQ(At(page_, 0, 0), before[0]);
  page_.DrawFillBox(-3, -3, 1, 1, 200);
  EXPECT_EQ(At(page_, 0, 0), 200);
  EXPECT_EQ(At(page_, 1, 1), 200);
  EXPECT_EQ(At(page_, 2, 1), before[48 + 2]);
  page_.DrawEmptyBox(10, 10, 14, 12, 99);
  EXPECT_EQ(At(page_, 12, 10), 99);
  EXPECT_EQ(At(page_, 14, 11), 99);
  EXPECT_NE(At(page_, 12, 11), 99);
}

TEST_F(Blit8Test, AlphaTableFile) {
  testing::ScratchDir dir("alpha");
  ASSERT_EQ(SaveAlphaTable8(dir / "Alpha.alp"), 1);
  const auto bytes = testing::ReadBytes(dir / "Alpha.alp");
  ASSERT_EQ(bytes.size(), 28u + 0x70000);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 11), "Alpha Table");
  EXPECT_EQ(bytes[16], 7);
  EXPECT_EQ(bytes[20] | bytes[21] << 8 | bytes[22] << 16, 0x70000);
  EXPECT_EQ(SaveAlphaTable8(dir / "no" / "such" / "dir.alp"), -1);

  ClearAlphaTable8();
  EXPECT_EQ(SaveAlphaTable8(dir / "x.alp"), -2);
  EXPECT_EQ(LoadAlphaTable8(dir / "missing.alp"), -1);
  ASSERT_EQ(LoadAlphaTable8(dir / "Alpha.alp"), 1);
  EXPECT_EQ(_pAlpha[5 * 65536 + 7 * 256 + 9], Predicted(5, 7, 9));

  for (std::size_t i = 0; i < 11; ++i) {
    auto broken = bytes;
    broken[i] ^= 1;
    std::ofstream(dir / "broken.alp", std::ios::binary).write(reinterpret_cast<const char*>(broken.data()), 64);
    EXPECT_EQ(LoadAlphaTable8(dir / "broken.alp"), -2) << i;
  }
  std::ofstream(dir / "short.alp", std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 1000);
  EXPECT_EQ(LoadAlphaTable8(dir / "short.alp"), -3);

  CPage board;
  board.Init(8, 8, 8);
  EXPECT_EQ(board.OpenAlphaTable8(dir / "short.alp"), 0);
  EXPECT_EQ(board.alphaLoaded, 0);
  EXPECT_EQ(board.OpenAlphaTable8(dir / "Alpha.alp"), 1);
  EXPECT_EQ(board.alphaLoaded, 1);
  board.Init(16, 16, 8);  // resizing keeps the table
  EXPECT_NE(_pAlpha, nullptr);
  board.Destroy();  // the page that loaded it releases it
  EXPECT_EQ(_pAlpha, nullptr);
}

TEST(AlphaTableConstruction, NearestColourAndBlend) {
  Palette256 palette{};
  for (int i = 0; i < 256; ++i) {
    palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                            static_cast<std::uint8_t>(i / 2), 0};
  }
  palette[200] = palette[100];  // a duplicate: the lower index wins
  ALPHA_STARTVAL = 0;
  ALPHA_ENDVAL = 255;
  EXPECT_EQ(NearColor(100, 155, 50, palette), 100);
  // distance = dr + dg + db + (max - min): (2, 2, 1) -> 5 + 1
  EXPECT_EQ(NearColor(102, 153, 51, palette), 102);
  ALPHA_STARTVAL = 150;  // only 150...199 may be chosen
  ALPHA_ENDVAL = 199;
  EXPECT_EQ(NearColor(100, 155, 50, palette), 150);
  ALPHA_STARTVAL = 0;
  ALPHA_ENDVAL = 255;
  // Level 0 is the sprite's colour, each level adds an eighth of the page's.
  EXPECT_EQ(FindBlendColor(10, 90, palette, 0), 90);
  EXPECT_EQ(FindBlendColor(10, 90, palette, 4), 50);
  EXPECT_EQ(FindBlendColor(0, 80, palette, 6), 20);  // 80 x 2 / 8

  InitAlphaTable8(palette, 0, 255);
  ASSERT_NE(_pAlpha, nullptr);
  EXPECT_EQ(_pAlpha[0 * 65536 + 10 * 256 + 90], 90);
  EXPECT_EQ(_pAlpha[4 * 65536 + 10 * 256 + 90], 50);
  EXPECT_EQ(_pAlpha[0 * 65536 + 3 * 256 + 200], 100);
  ClearAlphaTable8();
}

}  // namespace
}  // namespace tovrik::gfx
