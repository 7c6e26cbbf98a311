#include "gfx/Csp.h"

#include <gtest/gtest.h>

#include "TestImages.h"

namespace tovrik::gfx {
namespace {

constexpr std::uint16_t K = 0x7C1F;
constexpr std::uint16_t A = 0x1234;
constexpr std::uint16_t B = 0x0ABC;

TEST(CspEncode, RowsEncodeAsDocumented) {
  struct Case {
    const char* name;
    int width, height;
    std::vector<std::uint16_t> pixels;
    std::vector<std::uint16_t> expected;  // row table included
  };
  const Case cases[] = {
      {"fully transparent 4x2", 4, 2, {K, K, K, K, K, K, K, K},
       {4, 0, 7, 0, /*row0*/ 1, 4, 0, /*row1*/ 1, 4, 0}},
      {"K A K K B ends opaque", 5, 1, {K, A, K, K, B}, {2, 0, 2, 1, 1, A, 2, 1, B}},
      {"A K ends with an empty run", 2, 1, {A, K}, {2, 0, 2, 0, 1, A, 1, 0}},
      {"opaque row starts with skip 0", 3, 1, {A, A, B}, {2, 0, 1, 0, 3, A, A, B}},
  };
  for (const auto& c : cases) {
    std::vector<std::uint16_t> out;
    const int bytes = EncodeSpr0(c.pixels, c.width, c.height, out, K);
    EXPECT_EQ(out, c.expected) << c.name;
    EXPECT_EQ(bytes, static_cast<int>(c.expected.size() * 2)) << c.name;
  }
}

TEST(CspEncode, RefusesEmptyAndShortInput) {
  std::vector<std::uint16_t> out{1, 2, 3};
  EXPECT_EQ(EncodeSpr0({}, 4, 4, out, K), 0);
  EXPECT_TRUE(out.empty());
  const std::vector<std::uint16_t> three(3, A);
  EXPECT_EQ(EncodeSpr0(three, 0, 3, out, K), 0);
  EXPECT_EQ(EncodeSpr0(three, 2, 2, out, K), 0);  // fewer pixels than the size says
}

TEST(CspEncode, TooManyRunsInOneRowFails) {
  std::vector<std::uint16_t> row(2 * (kMaxRunsPerRow + 1));
  for (std::size_t i = 0; i < row.size(); ++i) row[i] = i % 2 ? A : K;
  std::vector<std::uint16_t> out;
  EXPECT_EQ(EncodeSpr0(row, static_cast<int>(row.size()), 1, out, K), 0);
  row.resize(2 * kMaxRunsPerRow);
  EXPECT_GT(EncodeSpr0(row, static_cast<int>(row.size()), 1, out, K), 0);
}

TEST(CspRoundTrip, DecodeOfEncodeIsIdentity) {
  const struct {
    int width, height, keyPercent;
  } sizes[] = {{1, 1, 50}, {7, 3, 0}, {7, 3, 100}, {64, 64, 40}, {301, 17, 70}, {596, 20, 30}};
  std::uint32_t seed = 1;
  for (const auto& s : sizes) {
    const auto pixels = testing::RandomFrame(s.width, s.height, K, seed++, s.keyPercent);
    std::vector<std::uint16_t> csp;
    ASSERT_GT(EncodeSpr0(pixels, s.width, s.height, csp, K), 0);
    EXPECT_TRUE(CspIsDrawable16(csp, s.width, s.height));
    std::vector<std::uint16_t> back(pixels.size());
    ASSERT_TRUE(DecodeSpr0(back, s.width, s.height, csp, K));
    EXPECT_EQ(back, pixels) << s.width << "x" << s.height;
  }
}

TEST(CspRoundTrip, EightBitRunsSplitAt255) {
  const struct {
    int width, height;
  } sizes[] = {{1, 1}, {255, 2}, {256, 3}, {596, 40}, {1000, 5}};
  std::uint32_t seed = 7;
  for (const auto& s : sizes) {
    const auto pixels = testing::RandomFrame8(s.width, s.height, 0, seed++);
    std::vector<std::uint8_t> csp;
    ASSERT_GT(EncodeSpr8(pixels, s.width, s.height, csp, 0), 0);
    EXPECT_TRUE(CspIsDrawable8(csp, s.width, s.height));
    std::vector<std::uint8_t> back(pixels.size());
    ASSERT_TRUE(DecodeSpr8(back, s.width, s.height, csp, 0));
    EXPECT_EQ(back, pixels) << s.width << "x" << s.height;
  }
  // A fully transparent row of 600 needs three runs: 255, 255 and 90.
  std::vector<std::uint8_t> csp;
  EncodeSpr8(std::vector<std::uint8_t>(600, 0), 600, 1, csp, 0);
  EXPECT_EQ(csp, (std::vector<std::uint8_t>{4, 0, 0, 0, 3, 0, 255, 0, 255, 0, 90, 0}));
}

TEST(CspDrawable, RejectsRowsOutsideDataOrPastWidth) {
  const std::vector<std::uint16_t> good = {2, 0, 2, 1, 1, A, 2, 1, B};  // K A K K B
  EXPECT_TRUE(CspIsDrawable16(good, 5, 1));
  struct Case {
    const char* name;
    std::vector<std::uint16_t> data;
    int width;
  } cases[] = {
      {"row entry beyond the data", {40, 0, 1, 5, 0}, 5},
      {"row entry high word", {2, 1, 1, 5, 0}, 5},
      {"run longer than the data", {2, 0, 1, 0, 9, A}, 9},
      {"runs past the width", good, 4},
      {"run count beyond the data", {2, 0, 3, 0, 1, A}, 5},
      {"table shorter than the height", {2}, 5},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(CspIsDrawable16(c.data, c.width, 1)) << c.name;
  }
  const std::vector<std::uint8_t> bad8 = {4, 0, 0, 0, 1, 0, 3, 4, 1, 2, 3, 4};  // 3 + 4 > width 6
  EXPECT_FALSE(CspIsDrawable8(bad8, 6, 1));
  EXPECT_TRUE(CspIsDrawable8(bad8, 7, 1));
  const std::vector<std::uint8_t> negativeCount = {4, 0, 0, 0, 0xFF, 0xFF};
  EXPECT_FALSE(CspIsDrawable8(negativeCount, 6, 1));
}

TEST(CspDecode, TruncatedDataFailsAndLeavesOnlyKey) {
  std::vector<std::uint16_t> csp;
  const std::vector<std::uint16_t> pixels = {K, A, K, K, B, A, A, A, K, B};
  EncodeSpr0(pixels, 5, 2, csp, K);
  for (std::size_t cut = 0; cut < csp.size(); ++cut) {
    std::vector<std::uint16_t> dst(pixels.size(), 0);
    EXPECT_FALSE(DecodeSpr0(dst, 5, 2, std::span(csp).first(cut), K)) << cut;
    EXPECT_EQ(dst, std::vector<std::uint16_t>(pixels.size(), K)) << cut;
  }
}

}  // namespace
}  // namespace tovrik::gfx
