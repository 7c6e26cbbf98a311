// The BMP writer against the BMP reader: what one writes, the other reads
// back pixel for pixel, in both forms, with odd widths that need row padding.

#include <gtest/gtest.h>

#include <vector>

#include "gfx/Bitmap.h"
#include "gfx/BmpWriter.h"
#include "gfx/PixelFormat.h"

namespace tovrik::gfx {
namespace {

std::vector<BmpPixel> Gradient(int width, int height)
{
    std::vector<BmpPixel> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back({static_cast<std::uint8_t>(x * 40), static_cast<std::uint8_t>(y * 60),
                              static_cast<std::uint8_t>(255 - x * 20), static_cast<std::uint8_t>(x * 50)});
    return pixels;
}

TEST(BmpWriter, WhatItWritesReadsBackTopRowFirstInBothForms)
{
    struct Case {
        int width;
        int height;
        bool withAlpha;
    };
    for (const Case c : {Case{1, 1, false}, Case{3, 2, false}, Case{5, 3, true}, Case{2, 4, true}}) {
        const std::vector<BmpPixel> pixels = Gradient(c.width, c.height);
        const std::vector<std::uint8_t> file = EncodeBmp(c.width, c.height, pixels, c.withAlpha);
        xBitmap bitmap;
        ASSERT_EQ(bitmap.LoadFromMemory(file), 1) << bitmap.LastError() << " " << c.width << "x" << c.height;
        ASSERT_EQ(bitmap.Width(), c.width);
        ASSERT_EQ(bitmap.Height(), c.height);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const BmpPixel& p = pixels[static_cast<std::size_t>(y * c.width + x)];
                EXPECT_EQ(bitmap.At(x, y), RGB555(p.r, p.g, p.b)) << x << "," << y;
            }
    }
}

TEST(BmpWriter, RefusesSizesThatDoNotMatchThePixels)
{
    const std::vector<BmpPixel> four(4);
    EXPECT_TRUE(EncodeBmp(3, 1, four).empty());
    EXPECT_TRUE(EncodeBmp(0, 4, four).empty());
    EXPECT_TRUE(EncodeBmp(-2, -2, four).empty());
    EXPECT_FALSE(EncodeBmp(2, 2, four).empty());
}

}  // namespace
}  // namespace tovrik::gfx
