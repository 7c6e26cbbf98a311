// The window-shape rules: which pixels a corner key or a colour key cuts
// away, as runs of the opaque rest.

#include <gtest/gtest.h>

#include "ui/ShapeMask.h"

namespace tovrik::ui {
namespace {
using platform::RgbColor;

// One row: the corner pixel, then the pixels under test.
RgbPicture Row(RgbColor corner, std::vector<RgbColor> rest) {
  RgbPicture p;
  p.pixels.push_back(corner);
  p.pixels.insert(p.pixels.end(), rest.begin(), rest.end());
  p.width = static_cast<int>(p.pixels.size());
  p.height = 1;
  return p;
}

TEST(CornerKey, TransparentRangeRunsFromTheCornerToTwiceIt) {
  struct Case {
    const char* name;
    RgbColor corner, pixel;
    bool transparent;
  };
  const RgbColor black{0, 0, 0}, grey{100, 100, 100}, magenta{255, 0, 255};
  for (const Case& c : {
           Case{"black: black", black, {0, 0, 0}, true},
           Case{"black: near black", black, {1, 0, 0}, false},
           Case{"grey: itself", grey, {100, 100, 100}, true},
           Case{"grey: top of range", grey, {200, 200, 200}, true},
           Case{"grey: mixed inside", grey, {150, 120, 200}, true},
           Case{"grey: one channel above", grey, {100, 201, 100}, false},
           Case{"grey: one channel below", grey, {99, 100, 100}, false},
           Case{"magenta: itself", magenta, {255, 0, 255}, true},
           Case{"magenta: some green", magenta, {255, 1, 255}, false},
           Case{"magenta: less red", magenta, {254, 0, 255}, false},
       }) {
    EXPECT_EQ(IsCornerKeyTransparent(c.corner, c.pixel), c.transparent) << c.name;
  }
}

TEST(CornerKey, MaskKeepsRunsOfOpaquePixelsPerRow) {
  const RgbColor k{255, 0, 255}, o{10, 20, 30};
  RgbPicture p;
  p.width = 6;
  p.height = 3;
  p.pixels = {k, o, o, k, o, k,   // two runs
              k, k, k, k, k, k,   // none
              o, o, o, o, o, o};  // the whole row
  EXPECT_EQ(CornerKeyMask(p), (std::vector<MaskRun>{{0, 1, 3}, {0, 4, 5}, {2, 0, 6}}));
}

TEST(CornerKey, GreyCornerCutsTheWholeBandOfGreys) {
  const RgbPicture p = Row({100, 100, 100}, {{150, 150, 150}, {201, 150, 150}, {200, 200, 200}, {0, 0, 0}});
  EXPECT_EQ(CornerKeyMask(p), (std::vector<MaskRun>{{0, 2, 3}, {0, 4, 5}}));
}

TEST(ColourKey, OnlyTheExactColourIsCut) {
  const RgbColor key{255, 0, 255};
  const RgbPicture p = Row(key, {{255, 0, 254}, key, {0, 0, 0}});
  EXPECT_EQ(ColourKeyMask(p, key), (std::vector<MaskRun>{{0, 1, 2}, {0, 3, 4}}));
}

TEST(ShapePicture, SixteenBitPixelsWidenToEightBitChannels) {
  std::uint16_t pixels[2] = {0x7C1F, 0x0000};
  const platform::PixelView view{pixels, 2, 1, 4, platform::PixelFormat::Rgb555, nullptr};
  const RgbPicture p = ToRgbPicture(view);
  ASSERT_EQ(p.width, 2);
  EXPECT_EQ(p.At(0, 0), (RgbColor{255, 0, 255}));
  EXPECT_EQ(p.At(1, 0), (RgbColor{0, 0, 0}));
  EXPECT_EQ(CornerKeyMask(p), (std::vector<MaskRun>{{0, 1, 2}}));
  EXPECT_TRUE(CornerKeyMask(ToRgbPicture({})).empty());
}

}  // namespace
}  // namespace tovrik::ui
