// Pictures drawn with a fixed scene per effect family, compared pixel for
// pixel with the stored ones in golden/, so that any change to a kernel or to
// the clipping shows. Run with TOVRIK_UPDATE_GOLDEN=1 to rewrite them after a
// deliberate change (and look at the difference before committing).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "TestImages.h"
#include "gfx/GrpLib8.h"
#include "gfx/Page.h"

namespace tovrik::gfx {
namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 64;
constexpr std::uint16_t kKey = 0x7C1F;

std::filesystem::path GoldenPath(const std::string& name) {
  return std::filesystem::path(TOVRIK_SOURCE_DIR) / "tests" / "gfx" / "golden" / (name + ".golden");
}

// Rows of the page without padding, little-endian.
std::vector<std::uint8_t> Dump(const CPage& page) {
  std::vector<std::uint8_t> out;
  const int rowBytes = page.width * page.bytesPerPixel;
  for (int y = 0; y < page.height; ++y) {
    const std::uint8_t* row = page.bits + static_cast<std::ptrdiff_t>(y) * page.pitchBytes;
    out.insert(out.end(), row, row + rowBytes);
  }
  return out;
}

void CompareWithGolden(const std::string& name, const CPage& page) {
  const auto actual = Dump(page);
  const auto path = GoldenPath(name);
  if (const char* update = std::getenv("TOVRIK_UPDATE_GOLDEN"); update && *update == '1') {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(actual.data()),
                                                static_cast<std::streamsize>(actual.size()));
    return;
  }
  const auto expected = testing::ReadBytes(path);
  ASSERT_EQ(expected.size(), actual.size()) << "missing or resized golden picture " << path;
  for (std::size_t i = 0; i < actual.size(); ++i) {
    const std::size_t pixel = i / static_cast<std::size_t>(page.bytesPerPixel);
    ASSERT_EQ(actual[i], expected[i]) << name << ": first difference at x " << pixel % kWidth << ", y "
                                      << pixel / kWidth;
  }
}

// A background with structure in every channel.
void Background16(CPage& page) {
  for (int y = 0; y < page.height; ++y) {
    for (int x = 0; x < page.width; ++x) {
      page.Bits16()[y * page.pitch + x] = static_cast<std::uint16_t>((x * 31 / kWidth) << 10 | (y * 31 / kHeight) << 5 |
                                                                     ((x + y) & 31));
    }
  }
}

xSprite Frames16() {
  xSprite set;
  set.InsertByCopy(0, 21, 15, testing::RandomFrame(21, 15, kKey, 100, 35), kKey, 1);
  set.InsertByCopy(1, 9, 30, testing::RandomFrame(9, 30, kKey, 101, 20), kKey, 1);
  set.InsertByCopy(2, 12, 8, testing::RandomFrame(12, 8, kKey, 102, 30), kKey, 0);
  set.Frame(0)->offsetX = 3;
  set.Frame(0)->offsetY = -2;
  return set;
}

class Golden : public ::testing::Test {
 protected:
  void SetUp() override {
    page_.Init(kWidth, kHeight, 16);
    Background16(page_);
  }
  CPage page_;
  xSprite set_ = Frames16();
};

TEST_F(Golden, CopyAndGeometry) {
  page_.PutSprAuto(2, 2, &set_, 0);
  page_.PutSprAuto(26, 2, &set_, 0, SPR_LR);
  page_.PutSprAuto(50, 2, &set_, 0, SPR_UD);
  page_.PutSprAuto(74, 2, &set_, 0, SPR_LR | SPR_UD);
  page_.PutSprAuto(-5, 20, &set_, 1);
  page_.PutSprAuto(90, 40, &set_, 1, SPR_UD);
  page_.PutSprAuto(10, 55, &set_, 0, SPR_RXY);
  page_.SetMirrorX(48);
  page_.PutSprAuto(20, 25, &set_, 0, SPR_MIRROR | SPR_RXY);
  page_.PutSprAuto(40, 40, &set_, 2, SPR_LR);  // raw: geometry ignored
  page_.SetTempClip(60, 20, 80, 35);
  page_.PutSprAuto(55, 18, &set_, 0, SPR_TEMPCLIP);
  CompareWithGolden("copy_geometry", page_);
}

TEST_F(Golden, Blends) {
  page_.PutSprAuto(2, 2, &set_, 0, SPR_HB);
  page_.PutSprAuto(26, 2, &set_, 0, SPR_GB, 0);
  page_.PutSprAuto(50, 2, &set_, 0, SPR_GB | SPR_LR, 12);
  page_.PutSprAuto(74, 2, &set_, 0, SPR_GB | SPR_UD, 31);
  page_.PutSprAuto(2, 22, &set_, 0, SPR_GLOW, 8, 0x03E0);
  page_.PutSprAuto(26, 22, &set_, 0, SPR_GLOW | SPR_LR, 24, 0x7C00);
  page_.PutSprAuto(50, 22, &set_, 0, SPR_ANTI);
  page_.PutSprAuto(74, 22, &set_, 2, SPR_GB, 20);
  page_.PutSprAuto(80, 50, &set_, 1, SPR_HB | SPR_UD);
  CPage small;
  small.Init(17, 9, 16);
  Background16(small);
  page_.PutFromPage(4, 44, &small, 12);
  page_.PutFromPageWithColorKey(30, 44, &small, small.Bits16()[3], 20);
  CompareWithGolden("blends", page_);
}

TEST_F(Golden, Tones) {
  page_.PutSprAuto(2, 2, &set_, 0, SPR_GRAYSCL);
  page_.PutSprAuto(26, 2, &set_, 0, SPR_MONO, 0, 0x7FFF);
  page_.PutSprAuto(50, 2, &set_, 0, SPR_LE);
  page_.PutSprAuto(74, 2, &set_, 0, SPR_DE);
  page_.PutSprAuto(2, 22, &set_, 0, SPR_GRAYSCL | SPR_UD);
  page_.PutSprAuto(26, 22, &set_, 0, SPR_MONO | SPR_LR, 0, 0x001F);
  page_.PutSprAuto(50, 22, &set_, 0, SPR_LE | SPR_LR);
  page_.PutSprAuto(74, 22, &set_, 0, SPR_DE | SPR_UD);
  page_.PutSprAuto(60, 45, &set_, 1, SPR_LE);
  CompareWithGolden("tones", page_);
}

TEST_F(Golden, Zoom) {
  page_.ZoomSprAuto(2, 2, &set_, 0, 42, 30);
  page_.ZoomSprAuto(50, 2, &set_, 0, 10, 7);
  page_.ZoomSprAuto(70, 30, &set_, 0, 150, 150, SPR_PERCENT | SPR_CENTER);
  page_.ZoomSprAuto(-10, 40, &set_, 1, 13, 45);
  page_.ZoomSprAuto(60, 2, &set_, 0, 100, 100, SPR_PERCENT | SPR_GB, 10);
  CompareWithGolden("zoom", page_);
}

TEST_F(Golden, Shapes) {
  page_.DrawFillBox(70, 40, 5, 50, 0x5294);
  page_.DrawFillBoxGB(10, 5, 40, 30, 0x7C00, 9);
  page_.DrawFillBoxGB(30, 20, 90, 35, 0x001F, 25);
  page_.HLine(-4, 2, 30, 0x7FFF);
  page_.VLine(93, -3, 20, 0x7FFF);
  page_.HLine(20, 60, 40, 0, 1);
  page_.DrawEmptyBox(50, 45, 90, 62, 0x03E0);
  page_.DrawEmptyBox(48, 8, 60, 18, 0, 1);
  page_.DrawSelectBox(5, 40, 30, 58, 0x7FE0);
  page_.DrawLine(0, 63, 95, 0, 0x7C1F);
  page_.DrawLine(95, 63, 50, 10, 0x0000);
  CompareWithGolden("shapes", page_);
}

TEST(Golden8, Board) {
  CreateAlphaTable8();
  for (int l = 0; l < kAlphaLevels; ++l) {
    for (int d = 0; d < 256; ++d) {
      for (int s = 0; s < 256; ++s) _pAlpha[l * 65536 + d * 256 + s] = static_cast<std::uint8_t>((d * l + s * (8 - l)) / 8);
    }
  }
  CPage board;
  board.Init(kWidth, kHeight, 8);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) board.Bits8()[y * board.pitch + x] = static_cast<std::uint8_t>(x + 2 * y);
  }
  CSprite8 set;
  set.Insert(0, 19, 13, testing::RandomFrame8(19, 13, 0, 200), 0, 1);
  set.Insert(1, 11, 9, testing::RandomFrame8(11, 9, 0, 201), 0, 0);
  set.Frame(0)->offsetX = 2;
  set.Frame(0)->offsetY = 3;
  const int geometries[] = {0, SPR_LR, SPR_UD, SPR_LR | SPR_UD};
  const int kernels[] = {0, SPR8_MONO, SPR8_GLASS, SPR8_MONO | SPR8_GLASS};
  for (int g = 0; g < 4; ++g) {
    for (int k = 0; k < 4; ++k) {
      board.PutSprAuto(-4 + 24 * g, -3 + 16 * k, &set, (g + k) % 2, geometries[g] | kernels[k], 1 + k, 30 * k);
    }
  }
  board.ZoomSprAuto(60, 30, &set, 0, 40, 27, SPR_LR | SPR8_GLASS, 3);
  board.ZoomSprAuto(10, 50, &set, 1, 200, 200, SPR_PERCENT | SPR_CENTER | SPR_UD);
  board.SetMirrorX(48);
  board.PutSprAuto(70, 5, &set, 0, SPR_MIRROR | SPR_RXY);
  board.DrawFillBoxGB(30, 30, 50, 40, 250, 2);
  board.DrawFillBox(85, 55, 99, 70, 7);
  board.DrawEmptyBox(2, 2, 40, 40, 255);
  CompareWithGolden("board8", board);
  ClearAlphaTable8();
}

}  // namespace
}  // namespace tovrik::gfx
