// Bitmap files into RGB555: every pixel depth the artwork may come in, and
// files whose header lies about what follows.

#include "gfx/Bitmap.h"
#include "gfx/PixelFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

using tovrik::gfx::RGB555;
using tovrik::gfx::xBitmap;

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& out, std::uint32_t v) {
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
}
void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

struct BmpLayout {
  int width = 2;
  int height = 2;  // negative: top-down
  int bits = 24;
  std::uint32_t compression = 0;
  std::uint32_t headerBytes = 40;
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB
  std::vector<std::uint32_t> masks;    // red, green, blue for bit fields
  Bytes rows;                          // stored rows, padded as in the file
};

Bytes Build(const BmpLayout& s) {
  Bytes header;
  Put32(header, s.headerBytes);
  if (s.headerBytes == 12) {
    Put16(header, std::uint32_t(s.width));
    Put16(header, std::uint32_t(s.height));
    Put16(header, 1);
    Put16(header, std::uint32_t(s.bits));
  } else {
    Put32(header, std::uint32_t(s.width));
    Put32(header, std::uint32_t(s.height));
    Put16(header, 1);
    Put16(header, std::uint32_t(s.bits));
    Put32(header, s.compression);
    Put32(header, std::uint32_t(s.rows.size()));
    Put32(header, 2835);
    Put32(header, 2835);
    Put32(header, std::uint32_t(s.palette.size()));
    Put32(header, 0);
    for (std::uint32_t mask : s.masks) Put32(header, mask);
    header.resize(std::max<std::size_t>(header.size(), s.headerBytes), 0);
  }
  for (std::uint32_t c : s.palette) {
    header.push_back(std::uint8_t(c));
    header.push_back(std::uint8_t(c >> 8));
    header.push_back(std::uint8_t(c >> 16));
    if (s.headerBytes != 12) header.push_back(0);
  }
  Bytes out = {'B', 'M'};
  Put32(out, std::uint32_t(14 + header.size() + s.rows.size()));
  Put32(out, 0);
  Put32(out, std::uint32_t(14 + header.size()));
  out.insert(out.end(), header.begin(), header.end());
  out.insert(out.end(), s.rows.begin(), s.rows.end());
  return out;
}

constexpr std::uint16_t kRed = RGB555(255, 0, 0);
constexpr std::uint16_t kGreen = RGB555(0, 255, 0);
constexpr std::uint16_t kBlue = RGB555(0, 0, 255);
constexpr std::uint16_t kWhite = RGB555(255, 255, 255);
constexpr std::uint16_t kMagenta = RGB555(255, 0, 255);

struct DecodeCase {
  const char* name;
  BmpLayout layout;
  // Top row first.
  std::vector<std::uint16_t> expected;
};

class BitmapDecodes : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(BitmapDecodes, IntoTopDownRgb555) {
  const DecodeCase& c = GetParam();
  xBitmap bitmap;
  ASSERT_EQ(bitmap.LoadFromMemory(Build(c.layout)), 1) << bitmap.LastError();
  EXPECT_EQ(bitmap.Width(), c.layout.width);
  EXPECT_EQ(bitmap.Height(), std::abs(c.layout.height));
  EXPECT_EQ(bitmap.Pixels(), c.expected);
}

// Two rows, stored bottom row first unless the height is negative. Row
// padding to four bytes is part of the stored rows.
INSTANTIATE_TEST_SUITE_P(
    Depths, BitmapDecodes,
    ::testing::Values(
        DecodeCase{"Rgb24WithRowPadding",
                   {3, 2, 24, 0, 40, {}, {},
                    {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0,  // bottom: red green blue, 3 padding bytes
                     255, 255, 255, 255, 0, 255, 0, 0, 0, 0, 0, 0}},
                   {kWhite, kMagenta, 0, kRed, kGreen, kBlue}},
        DecodeCase{"TopDownRows", {1, -2, 24, 0, 40, {}, {}, {0, 0, 255, 0, 0, 255, 0, 0}}, {kRed, kGreen}},
        DecodeCase{"Palette8", {2, 1, 8, 0, 40, {0xFF0000, 0x0000FF}, {}, {1, 0, 0, 0}}, {kBlue, kRed}},
        DecodeCase{"Palette4HighNibbleFirst", {3, 1, 4, 0, 40, {0xFF0000, 0x00FF00, 0x0000FF}, {}, {0x21, 0x00, 0, 0}},
                   {kBlue, kGreen, kRed}},
        DecodeCase{"Palette1HighBitFirst", {3, 1, 1, 0, 40, {0x000000, 0xFFFFFF}, {}, {0b1010'0000, 0, 0, 0}},
                   {kWhite, 0, kWhite}},
        DecodeCase{"IndexBeyondTheShortPaletteIsBlack", {2, 1, 8, 0, 40, {0xFFFFFF}, {}, {0, 7, 0, 0}}, {kWhite, 0}},
        DecodeCase{"CoreHeaderWithThreeBytePalette", {2, 1, 8, 0, 12, {0x00FF00, 0xFF00FF}, {}, {1, 0, 0, 0}},
                   {kMagenta, kGreen}},
        DecodeCase{"Rgb16Is555", {2, 1, 16, 0, 40, {}, {}, {0x00, 0x7C, 0x1F, 0x00}}, {kRed, kBlue}},
        DecodeCase{"BitFields565", {2, 1, 16, 3, 40, {}, {0xF800, 0x07E0, 0x001F}, {0xE0, 0x07, 0x00, 0xF8}},
                   {kGreen, kRed}},
        DecodeCase{"Rgb32", {1, 1, 32, 0, 40, {}, {}, {255, 0, 255, 0}}, {kMagenta}},
        DecodeCase{"BitFields32InTheLargeHeader",
                   {1, 1, 32, 3, 124, {}, {0x000000FF, 0x0000FF00, 0x00FF0000}, {255, 0, 0, 0}},
                   {kRed}}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
  const char* name;
  Bytes bytes;
};

Bytes Valid() { return Build({2, 2, 24, 0, 40, {}, {}, Bytes(16, 0)}); }

Bytes With(Bytes bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = std::uint8_t(value >> (8 * i));
  return bytes;
}

Bytes Cut(Bytes bytes, std::size_t size) {
  bytes.resize(size);
  return bytes;
}

class BitmapRefuses : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(BitmapRefuses, WithAReasonAndNoImage) {
  xBitmap bitmap;
  ASSERT_EQ(bitmap.LoadFromMemory(Valid()), 1);
  EXPECT_EQ(bitmap.LoadFromMemory(GetParam().bytes), 0);
  EXPECT_FALSE(bitmap.IsLoaded());
  EXPECT_TRUE(bitmap.Pixels().empty());
  EXPECT_FALSE(bitmap.LastError().empty());
}

// Offsets: 10 data offset, 14 header size, 18 width, 22 height, 28 bits,
// 30 compression, 46 colours used.
INSTANTIATE_TEST_SUITE_P(
    Lies, BitmapRefuses,
    ::testing::Values(RefusalCase{"Empty", {}}, RefusalCase{"NotBM", With(Valid(), 0, 0x4D42 ^ 0x0101)},
                      RefusalCase{"HeaderCutShort", Cut(Valid(), 30)},
                      RefusalCase{"PixelsCutShort", Cut(Valid(), 54 + 8 + 5)},
                      RefusalCase{"DataOffsetPastTheEnd", With(Valid(), 10, 0xFFFFFFF0)},
                      RefusalCase{"DataOffsetInsideTheHeader", With(Valid(), 10, 20)},
                      RefusalCase{"UnknownHeaderSize", With(Valid(), 14, 41)},
                      RefusalCase{"ZeroWidth", With(Valid(), 18, 0)},
                      RefusalCase{"NegativeWidth", With(Valid(), 18, 0xFFFFFFFE)},
                      RefusalCase{"HugeHeight", With(Valid(), 22, 0x7FFFFFFF)},
                      RefusalCase{"MostNegativeHeight", With(Valid(), 22, 0x80000000)},
                      RefusalCase{"HugeWidthAgainstFewBytes", With(Valid(), 18, 8000)},
                      RefusalCase{"RunLengthCompressed", With(Valid(), 30, 1)},
                      RefusalCase{"BitFieldsOn24Bits", With(Valid(), 30, 3)},
                      RefusalCase{"TwoBitsPerPixel", With(Valid(), 28, 2)},
                      RefusalCase{"PaletteLargerThanItsIndices",
                                  With(Build({2, 1, 1, 0, 40, {0, 0}, {}, Bytes(4, 0)}), 46, 3)},
                      RefusalCase{"BrokenMask", Build({1, 1, 16, 3, 40, {}, {0x7C01, 0x03E0, 0x001F}, Bytes(4, 0)})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BitmapFile, LoadsFromDiskAndNamesTheFileWhenItCannot) {
  const auto dir = std::filesystem::temp_directory_path() / ("tovrik-bitmap-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const Bytes bytes = Build({1, 1, 24, 0, 40, {}, {}, {0, 255, 0, 0}});
  std::ofstream(dir / "green.bmp", std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  xBitmap bitmap;
  ASSERT_EQ(bitmap.Load(dir / "green.bmp"), 1) << bitmap.LastError();
  EXPECT_EQ(bitmap.At(0, 0), kGreen);
  EXPECT_EQ(bitmap.Load(dir / "missing.bmp"), 0);
  EXPECT_NE(bitmap.LastError().find("missing.bmp"), std::string::npos) << bitmap.LastError();
  EXPECT_FALSE(bitmap.IsLoaded());
  std::filesystem::remove_all(dir);
}

}  // namespace
