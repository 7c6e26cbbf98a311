// Bitmap push buttons driven through the loop like a person's mouse: the
// image drawn in each state (read back from the composed frame by colour),
// the command posted only for a release over the pressed button, the strip
// arithmetic, the fixed disabled image, check styles and flashing.

#include <gtest/gtest.h>

#include "UiFixture.h"
#include "controls/ControlTable.h"
#include "ui/MyButton.h"

namespace tovrik::ui {
namespace {
using platform::Point;
using platform::Rect;
using namespace testing;

// Strip states: normal red, hover green, pressed blue, disabled grey.
const gfx::BmpPixel kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kGrey{128, 128, 128};
const std::uint16_t kRed5 = Rgb5(31, 0, 0), kGreen5 = Rgb5(0, 31, 0), kBlue5 = Rgb5(0, 0, 31),
                    kGrey5 = platform::ToRgb555({128, 128, 128});
constexpr int kId = 1001;

class MyButtonTest : public UiTest {
 public:
  void SetUp() override {
    UiTest::SetUp();
    WriteBands(folder / "strip.bmp", 40, 80, 20, {kRed, kGreen, kBlue, kGrey});
    panel.Create(&main, Rect::FromSize(100, 100, 300, 200));
  }
  void Make(unsigned style = controls::BS_PUSHBUTTON) {
    button = std::make_unique<CMyButton>("", style);
    ASSERT_TRUE(button->Create(&panel, Rect::FromSize(0, 0, 1, 1), kId));
    button->Init(20, 30, folder / "strip.bmp", 4, "click.wav");
  }
  // Screen points: inside the button, and outside it on the panel.
  Point In() const { return {100 + 20 + 5, 100 + 30 + 5}; }
  Point Out() const { return {100 + 200, 100 + 150}; }
  std::uint16_t Shown() {
    loop.PumpOnce();
    loop.PaintNow();
    const platform::PixelView frame = loop.Frame();
    return frame.Row16(In().y)[In().x];
  }
  void Move(Point p) { loop.InjectMouseMove(p); }
  void Press(Point p) { loop.InjectMouseButton(p, platform::MouseButton::Left, true); }
  void Release(Point p) { loop.InjectMouseButton(p, platform::MouseButton::Left, false); }

  ScratchFolder folder{"mybutton"};
  CommandWindow panel;
  std::unique_ptr<CMyButton> button;
};

TEST_F(MyButtonTest, StripStatesAreQuartersOfTheImage) {
  Make();
  EXPECT_EQ(button->GetWindowRect(), Rect::FromSize(20, 30, 40, 20));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(button->Entry(i).sourceY, 20 * i);
    EXPECT_EQ(button->Entry(i).height, 20);
  }
}

TEST_F(MyButtonTest, ThirtyPixelStripOfFourGivesSevenPixelStates) {
  WriteBands(folder / "thirty.bmp", 10, 30, 7, {kRed, kGreen, kBlue, kGrey});
  button = std::make_unique<CMyButton>();
  ASSERT_TRUE(button->Create(&panel, Rect::FromSize(5, 5, 1, 1), kId));
  button->Init(folder / "thirty.bmp", 4, "");
  EXPECT_EQ(button->GetWindowRect(), Rect::FromSize(5, 5, 10, 7));
  EXPECT_EQ(button->Entry(3).sourceY, 21);
  EXPECT_EQ(button->Entry(3).height, 7);
}

struct Gesture {
  const char* name;
  std::function<void(MyButtonTest&)> steps;
  std::uint16_t shown;
  bool command;
};

TEST_F(MyButtonTest, MouseGesturesGiveImagesAndCommands) {
  const std::vector<Gesture> gestures = {
      {"nothing", [](MyButtonTest&) {}, kRed5, false},
      {"hover", [](MyButtonTest& t) { t.Move(t.In()); }, kGreen5, false},
      {"press", [](MyButtonTest& t) { t.Move(t.In()), t.Press(t.In()); }, kBlue5, false},
      {"click", [](MyButtonTest& t) { t.Move(t.In()), t.Press(t.In()), t.Release(t.In()); }, kRed5, true},
      {"press, move out",
       [](MyButtonTest& t) { t.Move(t.In()), t.Press(t.In()), t.Move(t.Out()); },
       kGreen5,
       false},
      {"press, move out, release",
       [](MyButtonTest& t) { t.Move(t.In()), t.Press(t.In()), t.Move(t.Out()), t.Release(t.Out()); },
       kRed5,
       false},
      {"press, out, back in, release",
       [](MyButtonTest& t) {
         t.Move(t.In()), t.Press(t.In()), t.Move(t.Out()), t.Move(t.In()), t.Release(t.In());
       },
       kRed5,
       true},
      {"hover, then out",
       [](MyButtonTest& t) { t.Move(t.In()), t.Move(t.Out()); },
       kRed5,
       false},
      {"press, hide, show, release",
       [](MyButtonTest& t) {
         t.Move(t.In()), t.Press(t.In()), t.button->ShowWindow(false), t.button->ShowWindow(true), t.Release(t.In());
       },
       kRed5,
       false},
      {"disabled click",
       [](MyButtonTest& t) { t.button->EnableWindow(0), t.Move(t.In()), t.Press(t.In()), t.Release(t.In()); },
       kRed5,
       false},
  };
  for (const Gesture& g : gestures) {
    Make();
    panel.commands.clear();
    g.steps(*this);
    EXPECT_EQ(Shown(), g.shown) << g.name;
    const std::vector<Command> expected =
        g.command ? std::vector<Command>{{kId, static_cast<LParam>(button->Handle())}} : std::vector<Command>{};
    EXPECT_EQ(panel.commands, expected) << g.name;
    // Leave the pointer outside for the next gesture.
    Release(Out());
    Move({1, 1});
    loop.PumpOnce();
  }
}

TEST_F(MyButtonTest, PressPlaysTheClickSound) {
  Make();
  Move(In());
  Press(In());
  ASSERT_EQ(sound.played.size(), 1u);
  EXPECT_EQ(sound.played[0].file, "click.wav");
}

TEST_F(MyButtonTest, CommandIsPostedNotSent) {
  Make();
  Move(In());
  Press(In());
  Release(In());
  EXPECT_TRUE(panel.commands.empty()) << "not before the loop delivers it";
  loop.PumpOnce();
  EXPECT_EQ(panel.commands.size(), 1u);
}

TEST_F(MyButtonTest, FixedImageWhileDisabledUntilEnabledAgain) {
  Make();
  button->SetFixImage(3);
  EXPECT_FALSE(button->IsWindowEnabled());
  EXPECT_EQ(Shown(), kGrey5);
  button->EnableWindow(1);
  EXPECT_EQ(Shown(), kRed5);
  button->EnableWindow(0);
  EXPECT_EQ(Shown(), kRed5) << "after enabling, the fixed image is forgotten";
}

TEST_F(MyButtonTest, CheckStyleShowsItsCheckAndToggles) {
  Make(controls::BS_AUTOCHECKBOX);
  EXPECT_EQ(Shown(), kRed5);
  Move(In());
  Press(In());
  Release(In());
  EXPECT_EQ(button->GetCheck(), 1);
  EXPECT_EQ(Shown(), kGreen5) << "checked: the second image";
  button->EnableWindow(0);
  EXPECT_EQ(Shown(), kGrey5) << "checked and disabled: the fourth image";
  button->SetCheck(0);
  EXPECT_EQ(Shown(), kBlue5) << "unchecked and disabled: the third image";
}

TEST_F(MyButtonTest, FlashAlternatesWithTheFlashImage) {
  WriteBands(folder / "flash.bmp", 40, 20, 20, {{255, 255, 0}});
  Make();
  button->SetFlash(1, 100, folder / "flash.bmp");
  EXPECT_EQ(Shown(), kRed5);
  clock.Advance(100);
  EXPECT_EQ(Shown(), Rgb5(31, 31, 0));
  clock.Advance(100);
  EXPECT_EQ(Shown(), kRed5);
  button->SetFlash(0, 100, "");
  clock.Advance(100);
  EXPECT_EQ(Shown(), kRed5);
}

TEST_F(MyButtonTest, MissingStripKeepsTheSizeAndDrawsNothing) {
  button = std::make_unique<CMyButton>();
  ASSERT_TRUE(button->Create(&panel, Rect::FromSize(20, 30, 33, 11), kId));
  button->Init(folder / "none.bmp", 4, "");
  EXPECT_EQ(button->GetWindowRect(), Rect::FromSize(20, 30, 33, 11));
  panel.commands.clear();
  EXPECT_EQ(Shown(), 0) << "the panel's black shows through";
}

}  // namespace
}  // namespace tovrik::ui
