#include "controls/TextLayout.h"

#include <gtest/gtest.h>

#include <memory>

namespace tovrik::controls {
namespace {

using platform::Font;
using platform::Rect;
using Lines = std::vector<std::string>;

class TextLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    font_ = Font::Default();
    if (!font_) GTEST_SKIP() << "no font installed";
  }
  int W(std::string_view s) const { return font_->Extent(s).width; }
  std::shared_ptr<Font> font_;
};

TEST_F(TextLayoutTest, LinesBreakAsDrawTextBreaksThem) {
  struct Case {
    const char* name;
    std::string text;
    int width;
    unsigned format;
    Lines expected;
  };
  const Case cases[] = {
      {"fits on one line", "한글 채팅", W("한글 채팅"), DT_WORDBREAK, {"한글 채팅"}},
      {"breaks at the space", "한글 채팅 방", W("한글 채팅"), DT_WORDBREAK, {"한글 채팅", "방"}},
      {"the broken line starts at its word", "ab   cd", W("ab "), DT_WORDBREAK, {"ab", "cd"}},
      {"leading spaces of a paragraph stay", "  ab", W("  ab"), DT_WORDBREAK, {"  ab"}},
      {"a word too wide is broken between characters", "가나다라", W("가나"), DT_WORDBREAK, {"가나", "다라"}},
      {"a word too wide is shortened with word ellipsis", "가나다라마바 사", W("가나다라"),
       DT_WORDBREAK | DT_WORD_ELLIPSIS, {platform::FitWithEllipsis(*font_, "가나다라마바", W("가나다라")), "사"}},
      {"line breaks, CR dropped", "a\r\nb\n\nc", 1000, 0, {"a", "b", "", "c"}},
      {"single line ignores breaks", "a\nb c", W("a"), DT_SINGLELINE | DT_WORDBREAK, {"ab c"}},
      {"no word break keeps long lines", "한글 채팅 방", W("한글"), 0, {"한글 채팅 방"}},
      {"end ellipsis shortens the line", "한글 채팅 방", W("한글 채"), DT_SINGLELINE | DT_END_ELLIPSIS,
       {platform::FitWithEllipsis(*font_, "한글 채팅 방", W("한글 채"))}},
      {"empty text has no lines", "", 100, DT_WORDBREAK, {}},
      {"a zero width does not loop", "ab cd", 0, DT_WORDBREAK, {"ab cd"}},
      {"a one-pixel width gives a character a line", "가나", 1, DT_WORDBREAK, {"가", "나"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LayoutLines(*font_, c.text, c.width, c.format), c.expected);
  }
}

TEST_F(TextLayoutTest, CalcRectMeasuresWithoutDrawing) {
  const int lh = font_->LineHeight();
  Rect box = Rect::FromSize(10, 20, W("한글 채팅") + 5, 0);
  EXPECT_EQ(controls::DrawText({}, *font_, "한글 채팅 방 안", box, DT_WORDBREAK | DT_CALCRECT, {}), 2 * lh);
  EXPECT_EQ(box, Rect::FromSize(10, 20, W("한글 채팅"), 2 * lh));
  Rect single = Rect::FromSize(0, 0, 5, 5);
  controls::DrawText({}, *font_, "abc", single, DT_SINGLELINE | DT_CALCRECT, {});
  EXPECT_EQ(single, Rect::FromSize(0, 0, W("abc"), lh));
  Rect none = Rect::FromSize(3, 4, 50, 50);
  EXPECT_EQ(controls::DrawText({}, *font_, "", none, DT_CALCRECT, {}), 0);
  EXPECT_EQ(none, Rect::FromSize(3, 4, 0, 0));
}

// The columns and rows that drawing touched on a page.
struct Inked {
  int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
};

class DrawnTextTest : public TextLayoutTest {
 protected:
  static constexpr int kW = 200, kH = 80;
  Inked Draw16(std::string_view text, Rect box, unsigned format) {
    std::vector<std::uint16_t> page(kW * kH, 0);
    const platform::PixelView view{page.data(), kW, kH, kW * 2, platform::PixelFormat::Rgb555, nullptr};
    controls::DrawText(view, *font_, text, box, format, {255, 255, 255});
    Inked ink;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        if (page[y * kW + x]) ink = {std::min(ink.left, x), std::max(ink.right, x), std::min(ink.top, y), std::max(ink.bottom, y)};
    return ink;
  }
};

TEST_F(DrawnTextTest, AlignmentPlacesEachLine) {
  const Rect box = Rect::FromSize(20, 10, 160, 60);
  const Inked left = Draw16("가", box, DT_LEFT | DT_SINGLELINE);
  const Inked right = Draw16("가", box, DT_RIGHT | DT_SINGLELINE);
  const Inked centre = Draw16("가", box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  const Inked bottom = Draw16("가", box, DT_BOTTOM | DT_SINGLELINE);
  EXPECT_LT(left.left, 20 + 4);
  EXPECT_GE(left.left, 20);
  EXPECT_LE(right.right, 179);
  EXPECT_GT(right.right, 179 - 4);
  EXPECT_NEAR((centre.left + centre.right) / 2.0, 100, 3);
  EXPECT_NEAR((centre.top + centre.bottom) / 2.0, 40, 4);
  EXPECT_GT(bottom.bottom, 60);
  EXPECT_LT(bottom.bottom, 70);
}

TEST_F(DrawnTextTest, WrappedTextIsClippedToItsBox) {
  const Rect box = Rect::FromSize(10, 10, W("가나"), font_->LineHeight());  // room for one line
  const Inked ink = Draw16("가나 다라 마바", box, DT_WORDBREAK);
  EXPECT_GE(ink.top, 10);
  EXPECT_LT(ink.bottom, 10 + font_->LineHeight());
  EXPECT_LT(ink.right, box.right);
  const Inked free = Draw16("가나 다라 마바", box, DT_WORDBREAK | DT_NOCLIP);
  EXPECT_GT(free.bottom, 10 + 2 * font_->LineHeight());
}

TEST_F(DrawnTextTest, EightBitPagesGetTheNearestPaletteIndex) {
  platform::Palette palette{};
  palette[7] = {250, 250, 250, 0};
  std::vector<std::uint8_t> page(kW * kH, 0);
  const platform::PixelView view{page.data(), kW, kH, kW, platform::PixelFormat::Indexed8, &palette};
  Rect box = Rect::FromSize(0, 0, kW, kH);
  controls::DrawText(view, *font_, "가나 다라", box, DT_WORDBREAK, {255, 255, 255});
  EXPECT_NE(std::count(page.begin(), page.end(), 7), 0);
  EXPECT_EQ(std::count_if(page.begin(), page.end(), [](std::uint8_t v) { return v != 0 && v != 7; }), 0);
}

TEST_F(DrawnTextTest, InvalidCp949IsDrawnAsAReplacementAndNothingPastTheEndIsRead) {
  // "가" then a stray byte, then a lead byte cut off by the end of the view.
  const char bytes[] = {'\xB0', '\xA1', '\x80', 'a', '\xB0', '\xA1'};
  const std::string_view text(bytes, 5);
  Rect box = Rect::FromSize(0, 0, 1000, 100);
  controls::DrawTextCp949({}, *font_, text, box, DT_SINGLELINE | DT_CALCRECT, {}, {});
  EXPECT_EQ(box.Width(), W("가\uFFFDa\uFFFD"));
  std::vector<std::uint16_t> page(kW * kH, 0);
  const platform::PixelView view{page.data(), kW, kH, kW * 2, platform::PixelFormat::Rgb555, nullptr};
  Rect draw = Rect::FromSize(0, 0, kW, kH);
  EXPECT_GT(controls::DrawTextCp949(view, *font_, text, draw, DT_SINGLELINE, {255, 255, 255}, platform::Bounds(view)), 0);
}

}  // namespace
}  // namespace tovrik::controls
