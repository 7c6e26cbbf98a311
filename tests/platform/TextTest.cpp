#include "platform/Text.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/CodePage.h"

namespace tovrik::platform {
namespace {

using base::Utf8ToCp949;

// A page of one kind, filled with a background, that can say which pixels
// a drawing changed.
struct Page {
  Page(int w, int h, PixelFormat format) : width(w), height(h), format(format) {
    for (int i = 0; i < 256; ++i) palette[i] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)};
    palette[200] = {255, 0, 0};
    pixels.assign(static_cast<std::size_t>(w * h * 2), 0x11);
  }
  PixelView View() {
    const int bpp = format == PixelFormat::Rgb555 ? 2 : 1;
    return {pixels.data(), width, height, width * bpp, format, &palette};
  }
  // The smallest rectangle holding every changed pixel (empty when none).
  Rect Changed() const {
    Rect r{width, height, 0, 0};
    const int bpp = format == PixelFormat::Rgb555 ? 2 : 1;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width * bpp; ++x)
        if (pixels[static_cast<std::size_t>(y * width * bpp + x)] != 0x11) {
          r.left = std::min(r.left, x / bpp);
          r.top = std::min(r.top, y);
          r.right = std::max(r.right, x / bpp + 1);
          r.bottom = std::max(r.bottom, y + 1);
        }
    return r.IsEmpty() ? Rect{} : r;
  }
  bool Contains(Rect outer, Rect inner) const {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
  }
  int width, height;
  PixelFormat format;
  Palette palette;
  std::vector<std::uint8_t> pixels;
};

class TextTest : public ::testing::TestWithParam<PixelFormat> {
 protected:
  void SetUp() override {
    font_ = Font::Default();
    ASSERT_TRUE(font_) << "Nanum fonts missing: " << FontFileFor("굴림체", false);
  }
  std::shared_ptr<Font> font_;
};

TEST_P(TextTest, KoreanTextChangesPixelsInsideItsBoxOnly) {
  Page page(200, 60, GetParam());
  const TextSize size = font_->Extent("한글 테스트");
  ASSERT_GT(size.width, 40);
  ASSERT_TRUE(TextOut(page.View(), *font_, 30, 20, "한글 테스트", {255, 0, 0}));
  const Rect changed = page.Changed();
  ASSERT_FALSE(changed.IsEmpty());
  EXPECT_TRUE(page.Contains(Rect::FromSize(30, 20, size.width, size.height), changed));
  // Both syllables and the word after the space left ink.
  EXPECT_LT(changed.left, 30 + size.width / 4);
  EXPECT_GT(changed.right, 30 + size.width * 3 / 4);
  if (GetParam() == PixelFormat::Indexed8) {
    for (auto p : page.pixels) {
      if (p != 0x11) {
        EXPECT_EQ(p, 200);  // the palette's red
      }
    }
  }
}

TEST_P(TextTest, ClipAndPageEdgesAreRespected) {
  Page page(100, 40, GetParam());
  const Rect clip{0, 0, 50, 40};
  ASSERT_TRUE(TextOut(page.View(), *font_, 20, 30, "한글한글한글", {255, 255, 255}, clip));
  const Rect changed = page.Changed();
  ASSERT_FALSE(changed.IsEmpty());
  EXPECT_LE(changed.right, 50);
  EXPECT_LE(changed.bottom, 40);
  // Entirely outside: nothing happens, and it is not an error.
  Page other(100, 40, GetParam());
  EXPECT_TRUE(TextOut(other.View(), *font_, -500, -500, "한글", {255, 255, 255}));
  EXPECT_TRUE(other.Changed().IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(BothPageKinds, TextTest, ::testing::Values(PixelFormat::Rgb555, PixelFormat::Indexed8));

TEST(TextLayoutTest, CentredTextSitsInTheMiddleOfItsBox) {
  auto font = Font::Default();
  ASSERT_TRUE(font);
  Page page(300, 40, PixelFormat::Rgb555);
  const Rect box{0, 0, 300, 40};
  ASSERT_TRUE(DrawText(page.View(), *font, "가운데", box, DT_CENTER | DT_VCENTER | DT_SINGLELINE, {0, 255, 0}));
  const Rect changed = page.Changed();
  const int middle = (changed.left + changed.right) / 2;
  EXPECT_NEAR(middle, 150, 3);
  EXPECT_NEAR((changed.top + changed.bottom) / 2, 20, 4);
}

TEST(TextLayoutTest, TooLongTextEndsWithAnEllipsisInsideTheBox) {
  auto font = Font::Default();
  ASSERT_TRUE(font);
  const std::string longText = "아주 긴 방 제목이 상자를 넘어갑니다";
  const std::string fitted = FitWithEllipsis(*font, longText, 80);
  EXPECT_LE(font->Extent(fitted).width, 80);
  EXPECT_TRUE(fitted.ends_with("..."));
  EXPECT_TRUE(longText.starts_with(fitted.substr(0, fitted.size() - 3)));
  EXPECT_EQ(FitWithEllipsis(*font, "짧다", 80), "짧다");

  Page page(200, 30, PixelFormat::Rgb555);
  ASSERT_TRUE(DrawText(page.View(), *font, longText, {10, 0, 90, 30}, DT_END_ELLIPSIS | DT_SINGLELINE, {255, 255, 0}));
  EXPECT_LE(page.Changed().right, 90);
}

TEST(TextLayoutTest, Cp949TextDrawsLikeItsUtf8) {
  auto font = Font::DefaultBold();
  ASSERT_TRUE(font);
  Page a(120, 30, PixelFormat::Rgb555), b(120, 30, PixelFormat::Rgb555);
  TextOut(a.View(), *font, 2, 2, "승점: +10", {150, 150, 255});
  TextOutCp949(b.View(), *font, 2, 2, Utf8ToCp949("승점: +10"), {150, 150, 255});
  EXPECT_EQ(a.pixels, b.pixels);
  EXPECT_EQ(GetTextExtentCp949(*font, Utf8ToCp949("승점")), font->Extent("승점"));
}

TEST(FontMappingTest, FixedPitchFacesMapToTheCodingFont) {
  EXPECT_EQ(FontFileFor("굴림체", false).filename(), "NanumGothicCoding.ttf");
  EXPECT_EQ(FontFileFor("굴림체", true).filename(), "NanumGothicCodingBold.ttf");
  EXPECT_EQ(FontFileFor("굴림", false).filename(), "NanumGothic.ttf");
}

}  // namespace
}  // namespace tovrik::platform
