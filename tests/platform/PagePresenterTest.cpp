// Pages flipped to a window through the one presenter show up in the
// composed frame at the flip position and scale, and stay after the page
// is gone.

#include "platform/PagePresenter.h"

#include "gfx/Page.h"
#include "platform/Clock.h"
#include "platform/EventLoop.h"

#include <gtest/gtest.h>

#include <memory>


using namespace tovrik::platform;
using tovrik::platform::CPagePresenter;
using tovrik::gfx::CPage;
using tovrik::gfx::PageRect;

namespace {

class PresentingWindow final : public Window {
 public:
  PresentingWindow() : presenter(*this) {}
  void OnPaint(PaintContext& pc) override { presenter.Paint(pc); }
  CPagePresenter presenter;
};

class PagePresenterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(main.Create(nullptr, Rect::FromSize(0, 0, 200, 100)));
    ASSERT_TRUE(view.Create(&main, Rect::FromSize(50, 10, 100, 60)));
  }
  std::uint16_t At(int x, int y) {
    loop.PaintNow();
    return loop.Frame().Row16(y)[x];
  }

  FakeClock clock;
  EventLoop loop{clock};
  Window main;
  PresentingWindow view;
};

TEST_F(PagePresenterTest, EightBitPageShowsThroughItsPaletteAtTheFlipPositionAndScale) {
  auto board = std::make_unique<CPage>();
  ASSERT_EQ(board->Init(4, 4, 8), 1);
  board->palette[7] = {248, 0, 0, 0};
  board->DrawFillBox(0, 0, 3, 3, 7);
  ASSERT_EQ(board->FlipToGDI(view.presenter, 10, 20, 2), 1);
  board.reset();  // what was flipped stays on screen

  const std::uint16_t red = ToRgb555(RgbColor{248, 0, 0});
  EXPECT_EQ(At(50 + 10, 10 + 20), red);
  EXPECT_EQ(At(50 + 17, 10 + 27), red) << "4 pixels at scale 2 cover 8";
  EXPECT_NE(At(50 + 18, 10 + 27), red);
  EXPECT_NE(At(50 + 9, 10 + 20), red);
}

TEST_F(PagePresenterTest, StretchFlipMapsThePartOntoTheTargetAndClipsToTheWindow) {
  CPage page;
  ASSERT_EQ(page.Init(2, 1, 16), 1);
  page.Bits16()[0] = 0x7C00;
  page.Bits16()[1] = 0x001F;
  const PageRect target{90, 0, 101, 9};  // runs past the window's right edge
  ASSERT_EQ(page.StretchFlip(view.presenter, &target, nullptr), 1);
  EXPECT_EQ(At(50 + 95, 10 + 5), 0x7C00);
  EXPECT_EQ(At(50 + 96, 10 + 9), 0x001F) << "the right half of the target shows the second pixel";
  EXPECT_NE(At(50 + 100, 10 + 5), 0x001F) << "nothing lands beside the window";
  EXPECT_EQ(view.presenter.Picture().width, 100);
}

TEST_F(PagePresenterTest, PagesThatCannotBeShownAreRefused) {
  CPage empty;
  EXPECT_EQ(empty.FlipToGDI(view.presenter, 0, 0, 1), 0);
  CPage fourBit;
  ASSERT_EQ(fourBit.Init(4, 4, 4), 1);
  EXPECT_EQ(fourBit.FlipToGDI(view.presenter, 0, 0, 1), 0);
  EXPECT_FALSE(view.presenter.Picture().IsValid()) << "nothing presented yet";
}

}  // namespace
