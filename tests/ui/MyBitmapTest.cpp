// Bitmap holder: loading (also by a path in other letter case), transparent
// copies that leave the key colour's pixels alone, and sizing a window to
// the image.

#include <gtest/gtest.h>

#include "UiFixture.h"
#include "ui/MyBitmap.h"

namespace tovrik::ui {
namespace {
using platform::Rect;
using namespace testing;

class MyBitmapTest : public UiTest {
 protected:
  ScratchFolder folder{"bitmap"};
};

TEST_F(MyBitmapTest, LoadsAndReleasesOnFailure) {
  WriteBands(folder / "strip.bmp", 8, 6, 3, {{255, 0, 0}, {0, 255, 0}});
  CMyBitmap bitmap;
  EXPECT_EQ(bitmap.LoadBitmapFile(folder / "STRIP.BMP"), 1);
  EXPECT_EQ(bitmap.GetWidth(), 8);
  EXPECT_EQ(bitmap.GetHeight(), 6);
  EXPECT_EQ(bitmap.LoadBitmapFile(folder / "missing.bmp"), 0);
  EXPECT_FALSE(bitmap.IsLoaded()) << "a failed load leaves no image";
  EXPECT_EQ(bitmap.LoadBitmapFile(""), 0);
}

TEST_F(MyBitmapTest, TransDrawLeavesTheKeyColourUnchanged) {
  // Magenta left half, blue right half.
  WriteBmp(folder / "key.bmp", 4, 2, [](int x, int) {
    return x < 2 ? gfx::BmpPixel{255, 0, 255} : gfx::BmpPixel{0, 0, 255};
  });
  CMyBitmap bitmap;
  ASSERT_EQ(bitmap.LoadBitmapFile(folder / "key.bmp"), 1);
  std::vector<std::uint16_t> target(10 * 4, Rgb5(1, 2, 3));
  const platform::PixelView view{target.data(), 10, 4, 20, platform::PixelFormat::Rgb555, nullptr};
  EXPECT_EQ(bitmap.TransDraw(view, Rect{0, 0, 10, 4}, 3, 1, 0, 0, 0, 0, {255, 0, 255}), 1);
  EXPECT_EQ(target[1 * 10 + 3], Rgb5(1, 2, 3));
  EXPECT_EQ(target[1 * 10 + 4], Rgb5(1, 2, 3));
  EXPECT_EQ(target[1 * 10 + 5], Rgb5(0, 0, 31));
  EXPECT_EQ(target[2 * 10 + 6], Rgb5(0, 0, 31));
  EXPECT_EQ(target[3 * 10 + 6], Rgb5(1, 2, 3)) << "only the image's height";
  CMyBitmap empty;
  EXPECT_EQ(empty.TransDraw(view, Rect{0, 0, 10, 4}, 0, 0, 0, 0, 0, 0, {255, 0, 255}), 0);
}

TEST_F(MyBitmapTest, ResizeWndPlacesTheWindowOnTheImageSize) {
  WriteBands(folder / "back.bmp", 120, 80, 80, {{1, 2, 3}});
  CMyBitmap bitmap;
  ASSERT_EQ(bitmap.LoadBitmapFile(folder / "back.bmp"), 1);
  platform::Window reference, window;
  reference.Create(&main, Rect::FromSize(100, 50, 400, 300));
  window.Create(&main, Rect::FromSize(0, 0, 10, 10));
  bitmap.ResizeWnd(window, 7, 9, false, nullptr);
  EXPECT_EQ(window.GetWindowRect(), Rect::FromSize(7, 9, 120, 80));
  bitmap.ResizeWnd(window, 7, 9, false, &reference);
  EXPECT_EQ(window.GetWindowRect(), Rect::FromSize(107, 59, 120, 80));
  bitmap.ResizeWnd(window, 0, 0, true, &reference);
  EXPECT_EQ(window.GetWindowRect(), Rect::FromSize(240, 160, 120, 80));
}

}  // namespace
}  // namespace tovrik::ui
