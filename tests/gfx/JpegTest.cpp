#include <gtest/gtest.h>

#include "TestImages.h"
#include "gfx/Dither.h"
#include "gfx/JpegFile.h"
#include "gfx/PixelFormat.h"
#include "gfx/Sprite.h"

namespace tovrik::gfx {
namespace {

std::vector<std::uint8_t> FlatRgb(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  std::vector<std::uint8_t> rgb;
  for (int i = 0; i < w * h; ++i) rgb.insert(rgb.end(), {r, g, b});
  return rgb;
}

// A sprite file whose only frame is the given JPEG stream, declared w x h.
std::vector<std::uint8_t> JpegSpriteFile(const std::vector<std::uint8_t>& jpeg, int w, int h, int compress) {
  xSprite set;
  set.InsertByCopy(0, 1, 1, std::vector<std::uint16_t>{0}, 0, 0);
  auto bytes = set.SaveToMemory();
  bytes.resize(28 + 32);
  bytes[28] = static_cast<std::uint8_t>(compress);
  bytes[28 + 8] = static_cast<std::uint8_t>(w), bytes[28 + 10] = static_cast<std::uint8_t>(h);
  const auto size = static_cast<std::uint32_t>(jpeg.size());
  for (int i = 0; i < 4; ++i) bytes[28 + 20 + i] = static_cast<std::uint8_t>(size >> (8 * i));
  bytes[28 + 26] = 1;
  bytes.insert(bytes.end(), jpeg.begin(), jpeg.end());
  return bytes;
}

class JpegTest : public ::testing::Test {
 protected:
  std::vector<std::uint8_t> Encode(const std::vector<std::uint8_t>& rgb, int w, int h, int color) {
    const auto path = dir_ / "frame.jpg";
    EXPECT_EQ(JpegFile::RGBToJpegFile(path, rgb, w, h, color, 95), 1);
    return testing::ReadBytes(path);
  }
  testing::ScratchDir dir_{"jpeg"};
};

TEST_F(JpegTest, WriteThenReadKeepsSizeAndColour) {
  const auto jpeg = Encode(FlatRgb(16, 8, 200, 40, 120), 16, 8, 1);
  int w = 0, h = 0;
  const auto rgb = JpegFile::JpegMemoryToRGB(jpeg, w, h);
  ASSERT_EQ(std::tie(w, h), std::make_tuple(16, 8));
  EXPECT_NEAR(rgb[0], 200, 3);
  EXPECT_NEAR(rgb[1], 40, 3);
  EXPECT_NEAR(rgb[2], 120, 3);
}

TEST_F(JpegTest, RefusalsWriteNothing) {
  const auto rgb = FlatRgb(4, 4, 1, 2, 3);
  EXPECT_EQ(JpegFile::RGBToJpegFile(dir_ / "a.jpg", rgb, 0, 4, 1, 88), 0);
  EXPECT_EQ(JpegFile::RGBToJpegFile(dir_ / "b.jpg", {}, 4, 4, 1, 88), 0);
  EXPECT_EQ(JpegFile::RGBToJpegFile(dir_ / "no/such/dir/c.jpg", rgb, 4, 4, 1, 88), 0);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "a.jpg"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "b.jpg"));
  int w = 7, h = 7;
  EXPECT_TRUE(JpegFile::JpegFileToRGB(dir_ / "missing.jpg", w, h).empty());
  EXPECT_EQ(std::tie(w, h), std::make_tuple(0, 0));
  const std::vector<std::uint8_t> garbage(100, 0x42);
  EXPECT_TRUE(JpegFile::JpegMemoryToRGB(garbage, w, h).empty());
}

TEST_F(JpegTest, GreyJpegDecodesToEqualChannels) {
  const auto jpeg = Encode(FlatRgb(8, 8, 90, 160, 30), 8, 8, 0);
  int w = 0, h = 0;
  const auto rgb = JpegFile::JpegMemoryToRGB(jpeg, w, h);
  ASSERT_EQ(rgb.size(), 8u * 8 * 3);
  const int grey = static_cast<int>(0.299 * 90 + 0.587 * 160 + 0.114 * 30);
  for (std::size_t i = 0; i < rgb.size(); i += 3) {
    EXPECT_EQ(rgb[i], rgb[i + 1]);
    EXPECT_EQ(rgb[i], rgb[i + 2]);
    EXPECT_NEAR(rgb[i], grey, 2);
  }
}

TEST_F(JpegTest, SpriteJpegFrameLoadsAndSizeMismatchFails) {
  const auto jpeg = Encode(FlatRgb(10, 10, 248, 0, 0), 10, 10, 1);
  xSprite ok;
  ASSERT_EQ(ok.LoadFromMemory(JpegSpriteFile(jpeg, 10, 10, 0)), 1);
  const SPRITE30& f = *ok.Frame(0);
  EXPECT_EQ(f.compress, 0u);
  EXPECT_EQ(f.dataSize, 200);
  EXPECT_GE(Red555(f.data[55]), 29);
  EXPECT_LE(Green555(f.data[55]), 1);
  EXPECT_LE(Blue555(f.data[55]), 1);

  xSprite compressed;
  ASSERT_EQ(compressed.LoadFromMemory(JpegSpriteFile(jpeg, 10, 10, 1)), 1);
  EXPECT_EQ(compressed.Frame(0)->compress, 1u);
  EXPECT_EQ(compressed.CheckData(0), 1);

  xSprite mismatch;
  EXPECT_EQ(mismatch.LoadFromMemory(JpegSpriteFile(jpeg, 10, 12, 0)), 0);
  xSprite broken;
  auto garbage = jpeg;
  garbage.resize(20);
  EXPECT_EQ(broken.LoadFromMemory(JpegSpriteFile(garbage, 10, 10, 0)), 0);
}

std::vector<std::uint8_t> NoisyRgb(int w, int h) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
  std::uint32_t state = 12345;
  for (auto& byte : rgb) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<std::uint8_t>(state >> 16);
  }
  return rgb;
}

// Sets the size in the stream's frame header (SOF0: FF C0, length, precision,
// height, width).
void SetStreamSize(std::vector<std::uint8_t>& jpeg, int w, int h) {
  for (std::size_t i = 0; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      jpeg[i + 5] = static_cast<std::uint8_t>(h >> 8), jpeg[i + 6] = static_cast<std::uint8_t>(h);
      jpeg[i + 7] = static_cast<std::uint8_t>(w >> 8), jpeg[i + 8] = static_cast<std::uint8_t>(w);
      return;
    }
  }
  ADD_FAILURE() << "no frame header";
}

// libjpeg fills whatever a cut or corrupt stream lacks with made-up blocks, as
// many as the header claims: a few bytes claiming 30000 x 30000 pixels cost
// seconds and gigabytes. Such streams are refused, and the size can be read
// from the header alone to be checked first.
TEST_F(JpegTest, StreamsThatEndBeforeTheirLastRowAreRefused) {
  const auto jpeg = Encode(NoisyRgb(64, 64), 64, 64, 1);
  int w = 0, h = 0;
  ASSERT_EQ(JpegFile::JpegMemoryToRGB(jpeg, w, h).size(), 64u * 64 * 3);
  const std::vector<std::uint8_t> half(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() / 2));
  EXPECT_TRUE(JpegFile::JpegMemoryToRGB(half, w, h).empty());
  EXPECT_EQ(std::tie(w, h), std::make_tuple(0, 0));

  EXPECT_TRUE(JpegFile::JpegMemorySize(half, w, h));
  EXPECT_EQ(std::tie(w, h), std::make_tuple(64, 64));
  auto huge = half;
  SetStreamSize(huge, 30000, 30000);
  EXPECT_TRUE(JpegFile::JpegMemorySize(huge, w, h));
  EXPECT_EQ(std::tie(w, h), std::make_tuple(30000, 30000));
  EXPECT_TRUE(JpegFile::JpegMemoryToRGB(huge, w, h).empty());
  const std::vector<std::uint8_t> garbage(100, 0x42);
  EXPECT_FALSE(JpegFile::JpegMemorySize(garbage, w, h));
  EXPECT_EQ(std::tie(w, h), std::make_tuple(0, 0));
}

TEST_F(JpegTest, SpriteJpegFrameCutShortIsRefused) {
  const auto jpeg = Encode(NoisyRgb(200, 200), 200, 200, 1);
  xSprite whole;
  ASSERT_EQ(whole.LoadFromMemory(JpegSpriteFile(jpeg, 200, 200, 0)), 1);
  xSprite cut;
  const std::vector<std::uint8_t> half(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() / 2));
  EXPECT_EQ(cut.LoadFromMemory(JpegSpriteFile(half, 200, 200, 0)), 0);
  EXPECT_FALSE(cut.Frame(0)->IsDrawable());
}

TEST(Dither, MasksAndErrorDiffusion) {
  setup_dither_mask(0x001F, 0x03E0, 0x7C00, 2);
  EXPECT_EQ(TargetPixelFormat.shift[0], -3);
  EXPECT_EQ(TargetPixelFormat.shift[1], 2);
  EXPECT_EQ(TargetPixelFormat.shift[2], 7);
  EXPECT_EQ(TargetPixelFormat.errorMask[0], 7u);

  // Every byte 6: the first pixel pushes 2 right, 2 down and 2 down-right,
  // lifting those three to 8 (one step of the 5-bit channels).
  const auto rgb = FlatRgb(2, 2, 6, 6, 6);
  std::vector<std::uint8_t> out(8);
  ASSERT_TRUE(dither_rgb24(rgb, 2, 2, out));
  auto word = [&](int i) { return out[2 * i] | out[2 * i + 1] << 8; };
  EXPECT_EQ(word(0), 0x8000);
  EXPECT_EQ(word(1), 0x8421);
  EXPECT_EQ(word(2), 0x8421);
  EXPECT_EQ(word(3), 0x8421);

  // Values on the 5-bit grid come out exact, with bit 15 set.
  const auto exact = FlatRgb(3, 3, 248, 16, 64);
  std::vector<std::uint8_t> out2(18);
  ASSERT_TRUE(dither_rgb24(exact, 3, 3, out2));
  for (int i = 0; i < 9; ++i) EXPECT_EQ(out2[2 * i] | out2[2 * i + 1] << 8, 0x8000 | RGB555(248, 16, 64));
  EXPECT_FALSE(dither_rgb24(exact, 3, 4, out2));  // input too short
}

}  // namespace
}  // namespace tovrik::gfx
