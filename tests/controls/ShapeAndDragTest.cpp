// Shaped windows (painting and the mouse cut to a region) and dialogs
// dragged by their surface.
#include "ControlsFixture.h"
#include "controls/Dialog.h"
#include "platform/Region.h"

namespace tovrik::controls {
namespace {

using platform::HTCAPTION;
using platform::LParam;
using platform::LResult;
using platform::MsgId;
using platform::Point;
using platform::Rect;
using platform::Region;
using platform::RgbColor;
using platform::Window;
using platform::WParam;

constexpr RgbColor kMagenta{255, 0, 255};
constexpr RgbColor kRed{255, 0, 0};
constexpr RgbColor kBlue{0, 0, 255};

TEST(RegionTest, AColourKeyMaskKeepsEveryOtherPixel) {
  // 4 x 3: magenta everywhere but a run of two on row 0 and a lone pixel on row 2.
  std::vector<std::uint16_t> pixels(12, platform::ToRgb555(kMagenta));
  pixels[1] = pixels[2] = platform::ToRgb555(kRed);
  pixels[8 + 3] = platform::ToRgb555(kBlue);
  const platform::PixelView view{pixels.data(), 4, 3, 8, platform::PixelFormat::Rgb555, nullptr};
  const Region region = Region::FromColourKey(view, kMagenta);
  EXPECT_EQ(region.Runs(), (std::vector<Region::Run>{{0, 1, 3}, {2, 3, 4}}));
  EXPECT_TRUE(region.Contains({2, 0}));
  EXPECT_FALSE(region.Contains({0, 0}));
  EXPECT_FALSE(region.Contains({3, 1}));
  EXPECT_EQ(region.Bounds(), (Rect{1, 0, 4, 3}));
}

TEST(RegionTest, AnIndexedPictureComparesPaletteColours) {
  platform::Palette palette{};
  palette[3] = {255, 0, 255, 0};
  palette[4] = {1, 2, 3, 0};
  std::vector<std::uint8_t> pixels{3, 4, 4, 3};
  const platform::PixelView view{pixels.data(), 4, 1, 4, platform::PixelFormat::Indexed8, &palette};
  EXPECT_EQ(Region::FromColourKey(view, kMagenta).Runs(), (std::vector<Region::Run>{{0, 1, 3}}));
}

TEST(RegionTest, RoundedCornersCutTheCornerPixelsOnly) {
  const Region round = Region::RoundRect({0, 0, 41, 31}, 16, 16);
  EXPECT_FALSE(round.Contains({0, 0}));
  EXPECT_FALSE(round.Contains({40, 30}));
  EXPECT_TRUE(round.Contains({20, 0}));
  EXPECT_TRUE(round.Contains({0, 15}));
  EXPECT_TRUE(round.Contains({8, 8}));
  EXPECT_EQ(round.Bounds(), (Rect{0, 0, 41, 31}));
  Region both = Region::FromRect({0, 0, 2, 1});
  both.Union(Region::FromRect({1, 0, 5, 1}));
  EXPECT_EQ(both.Runs(), (std::vector<Region::Run>{{0, 0, 5}}));
}

// A window painted in one colour that counts its presses.
class Painted : public Window {
 public:
  explicit Painted(RgbColor colour) : colour_(colour) {}
  ~Painted() override { Destroy(); }
  void OnPaint(platform::PaintContext& pc) override { pc.Fill(GetClientRect(), colour_); }
  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    if (msg == platform::WM_LBUTTONDOWN) ++presses;
    return Window::WindowProc(msg, w, l);
  }
  int presses = 0;

 private:
  RgbColor colour_;
};

class ShapeTest : public testing::ControlsTest {
 protected:
  std::uint16_t FramePixel(Point p) {
    loop_.PaintNow();
    return loop_.Frame().Row16(p.y)[p.x];
  }
};

TEST_F(ShapeTest, AClickOnATransparentPixelOfAShapedChildReachesTheWindowBelow) {
  Painted below(kBlue), shaped(kRed);
  below.Create(&main_, Rect::FromSize(100, 100, 200, 200));
  shaped.Create(&main_, Rect::FromSize(150, 150, 100, 100));
  // Only a 20 x 20 square in the middle of the shaped window exists.
  shaped.SetWindowRgn(Region::FromRect({40, 40, 60, 60}));
  automation_.Click({155, 155});
  EXPECT_EQ(below.presses, 1);
  EXPECT_EQ(shaped.presses, 0);
  automation_.Click({200, 200});
  EXPECT_EQ(shaped.presses, 1);
  shaped.SetWindowRgn(std::nullopt);
  automation_.Click({155, 155});
  EXPECT_EQ(shaped.presses, 2);
}

TEST_F(ShapeTest, PaintingOfAShapedWindowAndItsChildrenStaysInsideTheShape) {
  Painted below(kBlue), shaped(kRed), child(kMagenta);
  below.Create(&main_, Rect::FromSize(100, 100, 200, 200));
  shaped.Create(&main_, Rect::FromSize(150, 150, 100, 100));
  child.Create(&shaped, Rect::FromSize(0, 0, 100, 50));
  shaped.SetWindowRgn(Region::RoundRect({0, 0, 100, 100}, 30, 30));
  EXPECT_EQ(FramePixel({150, 150}), platform::ToRgb555(kBlue));    // cut corner, under the child too
  EXPECT_EQ(FramePixel({200, 151}), platform::ToRgb555(kMagenta)); // the child inside the shape
  EXPECT_EQ(FramePixel({200, 220}), platform::ToRgb555(kRed));
  EXPECT_EQ(FramePixel({249, 249}), platform::ToRgb555(kBlue));
}

// A dialog that is dragged wherever its surface is pressed.
class DraggableDialog : public Dialog {
 public:
  using Dialog::Dialog;
  ~DraggableDialog() override { Destroy(); }
  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    if (msg == platform::WM_NCHITTEST) return static_cast<LResult>(HTCAPTION);
    if (msg == platform::WM_LBUTTONDOWN) ++presses;
    return Dialog::WindowProc(msg, w, l);
  }
  int presses = 0;
};

constexpr DialogTemplate kBare{"bare", 200, 100, {}, 0};

TEST_F(ShapeTest, ADialogDraggedByItsSurfaceMovesAndTheMainWindowDoesNot) {
  DraggableDialog dialog(kBare);
  ASSERT_TRUE(dialog.CreateModeless(&main_, Point{100, 100}));
  automation_.Drag({150, 150}, {230, 190});
  EXPECT_EQ(dialog.GetWindowRect(), Rect::FromSize(180, 140, 200, 100));
  EXPECT_EQ(main_.GetWindowRect(), Rect::FromSize(0, 0, 800, 600));
  EXPECT_EQ(dialog.presses, 0);
  // Released, the mouse moves without dragging.
  loop_.InjectMouseMove({400, 400});
  EXPECT_EQ(dialog.GetWindowRect().TopLeft(), (Point{180, 140}));
}

TEST_F(ShapeTest, ALabelIsPartOfTheDraggedSurfaceUnlessItAsksForTheMouse) {
  static constexpr ControlSpec kLabels[] = {
      {1, ControlClass::Static, {10, 10, 80, 20}, "끌기", SS_LEFT, 0},
      {2, ControlClass::Static, {100, 10, 80, 20}, "알림", SS_NOTIFY, 0},
  };
  static constexpr DialogTemplate kWithLabels{"labels", 200, 100, kLabels, 0};
  DraggableDialog dialog(kWithLabels);
  ASSERT_TRUE(dialog.CreateModeless(&main_, Point{100, 100}));
  automation_.Drag({120, 115}, {140, 135});  // on label 1
  EXPECT_EQ(dialog.GetWindowRect().TopLeft(), (Point{120, 120}));
  automation_.Drag({230, 135}, {260, 160});  // on label 2, which keeps the press
  EXPECT_EQ(dialog.GetWindowRect().TopLeft(), (Point{120, 120}));
  EXPECT_EQ(dialog.GetDlgItem(2)->GetWindowRect(), Rect::FromSize(100, 10, 80, 20));
}

TEST_F(ShapeTest, ADraggedDialogStaysInsideTheMainWindow) {
  DraggableDialog dialog(kBare);
  ASSERT_TRUE(dialog.CreateModeless(&main_, Point{100, 100}));
  automation_.Drag({150, 150}, {-300, 900});
  EXPECT_EQ(dialog.GetWindowRect(), Rect::FromSize(0, 500, 200, 100));
}

TEST_F(ShapeTest, AChildDragCanAlsoStartFromTheDialogsOwnPress) {
  class PressDrag : public Dialog {
   public:
    using Dialog::Dialog;
    ~PressDrag() override { Destroy(); }
    LResult WindowProc(MsgId msg, WParam w, LParam l) override {
      if (msg == platform::WM_LBUTTONDOWN) return SendMessage(platform::WM_NCLBUTTONDOWN, HTCAPTION, l);
      return Dialog::WindowProc(msg, w, l);
    }
  } dialog(kBare);
  ASSERT_TRUE(dialog.CreateModeless(&main_, Point{100, 100}));
  automation_.Drag({150, 150}, {160, 170});
  EXPECT_EQ(dialog.GetWindowRect().TopLeft(), (Point{110, 120}));
}

}  // namespace
}  // namespace tovrik::controls
