// Dialog layout correction: nothing moves with the layout machine's metrics;
// other metrics scale every control by 1750 / mapped width and 1500 /
// mapped height, truncated.

#include <gtest/gtest.h>

#include "UiFixture.h"
#include "ui/DialogCtrlReposition.h"

namespace tovrik::ui {
namespace {
using platform::Rect;
using namespace testing;

class DialogCtrlRepositionTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    dialog.Create(&main, Rect::FromSize(50, 40, 300, 200));
    button.Create(&dialog, Rect{10, 15, 91, 43});
    inner.Create(&button, Rect{3, 3, 13, 13});
  }
  // Metrics under which 1000 units are `w` x `h` pixels.
  static CDialogCtrlReposition::DialogUnitMapper Metrics(int w, int h) {
    return [w, h](const platform::Window&, Rect units) {
      return std::optional<Rect>(Rect{0, 0, units.Width() * w / 1000, units.Height() * h / 1000});
    };
  }
  platform::Window dialog, button, inner;
};

TEST_F(DialogCtrlRepositionTest, LayoutMachineMetricsChangeNothing) {
  CDialogCtrlReposition reposition;
  reposition.Reposition(dialog, true);
  EXPECT_EQ(reposition.RateX(), 1.0f);
  EXPECT_EQ(reposition.RateY(), 1.0f);
  EXPECT_EQ(dialog.GetWindowRect(), Rect::FromSize(50, 40, 300, 200));
  EXPECT_EQ(button.GetWindowRect(), (Rect{10, 15, 91, 43}));
}

TEST_F(DialogCtrlRepositionTest, LargerFontsAreUndone) {
  // 1000 units became 2000 x 1875 pixels: factors 0.875 and 0.8.
  CDialogCtrlReposition reposition(Metrics(2000, 1875));
  reposition.Reposition(dialog, true);
  EXPECT_FLOAT_EQ(reposition.RateX(), 0.875f);
  EXPECT_FLOAT_EQ(reposition.RateY(), 0.8f);
  EXPECT_EQ(dialog.GetWindowRect(), Rect::FromSize(50, 40, 262, 160)) << "resized in place";
  // 10 * 0.875 = 8.75, 91 * 0.875 = 79.625, 15 * 0.8 = 12, 43 * 0.8 = 34.4.
  EXPECT_EQ(button.GetWindowRect(), (Rect{8, 12, 79, 34}));
  EXPECT_EQ(inner.GetWindowRect(), (Rect{2, 2, 11, 10})) << "grandchildren in their parent's coordinates";
}

TEST_F(DialogCtrlRepositionTest, WithoutResizeOnlyTheControlsMove) {
  CDialogCtrlReposition reposition(Metrics(2000, 1875));
  reposition.Reposition(dialog, false);
  EXPECT_EQ(dialog.GetWindowRect(), Rect::FromSize(50, 40, 300, 200));
  EXPECT_EQ(button.GetWindowRect(), (Rect{8, 12, 79, 34}));
}

TEST_F(DialogCtrlRepositionTest, UnmappableUnitsOrZeroSizesLeaveTheFactorsAtOne) {
  CDialogCtrlReposition failing([](const platform::Window&, Rect) { return std::optional<Rect>(); });
  failing.Reposition(dialog, true);
  EXPECT_EQ(button.GetWindowRect(), (Rect{10, 15, 91, 43}));
  CDialogCtrlReposition zero(Metrics(0, 0));
  zero.Reposition(dialog, true);
  EXPECT_EQ(zero.RateX(), 1.0f);
  EXPECT_EQ(button.GetWindowRect(), (Rect{10, 15, 91, 43}));
}

}  // namespace
}  // namespace tovrik::ui
