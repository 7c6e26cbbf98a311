// Sprite buttons: the hit test with its inclusive edges, the frame of each
// state, the command on a release over the pressed button only, the hover
// sound once per entry, and the list that dispatches by command id and
// survives a handler that removes every button.

#include <gtest/gtest.h>

#include <memory>

#include "UiFixture.h"
#include "ui/GraphButton.h"
#include "ui/GraphButtonList.h"
#include "platform/Text.h"

namespace tovrik::ui {
namespace {
using namespace testing;

// Button 0: normal red, hover green, pressed blue, disabled grey; button 1
// the same in darker shades, so that a frame of the wrong button shows.
constexpr std::uint16_t kNormal = Rgb5(31, 0, 0), kHover = Rgb5(0, 31, 0), kPressed = Rgb5(0, 0, 31),
                        kDisabled = Rgb5(16, 16, 16);
constexpr int kX = 10, kY = 20, kW = 30, kH = 12;

class GraphButtonTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    page.Init(100, 60, 16);
  }
  // A set whose buttons have `frames` frames each, two buttons.
  void MakeSet(int frames) {
    std::vector<std::uint16_t> first{kNormal, kHover, kPressed, kDisabled};
    std::vector<std::uint16_t> second{Rgb5(8, 0, 0), Rgb5(0, 8, 0), Rgb5(0, 0, 8), Rgb5(4, 4, 4)};
    for (const auto& colours : {first, second})
      for (int f = 0; f < frames; ++f) AddSolidFrames(set, kW, kH, {colours[static_cast<std::size_t>(f)]});
  }
  std::uint16_t Drawn(CGraphButton& button) {
    page.DrawFillBox(0, 0, page.width - 1, page.height - 1, 0);
    button.Draw(0, 0);
    return PixelAt(page, kX + 1, kY + 1);
  }

  gfx::CPage page;
  gfx::xSprite set;
  CGraphButton button;
};

TEST_F(GraphButtonTest, BothEdgesOfTheButtonAreOnIt) {
  MakeSet(4);
  button.Init(&main, &page, kX, kY, &set, 0, 7, 4, 0);
  struct Case {
    int x, y;
    bool on;
  };
  for (const Case& c : {Case{kX, kY, true}, Case{kX + kW, kY + kH, true}, Case{kX + kW, kY, true},
                        Case{kX + kW + 1, kY, false}, Case{kX - 1, kY, false}, Case{kX, kY - 1, false},
                        Case{kX, kY + kH + 1, false}}) {
    EXPECT_EQ(button.Contains(c.x, c.y), c.on) << c.x << "," << c.y;
    EXPECT_EQ(button.OnLButtonDown(c.x, c.y), c.on ? 1 : 0) << c.x << "," << c.y;
  }
}

struct Step {
  enum Kind { Move, Down, Up } kind;
  int x, y;
};
struct SequenceCase {
  const char* name;
  std::vector<Step> steps;
  std::vector<Command> commands;
  std::uint16_t shown;
  int state;
};

TEST_F(GraphButtonTest, InputSequencesGiveCommandsAndFrames) {
  MakeSet(4);
  const int inX = kX + 5, inY = kY + 5, outX = kX + kW + 10, outY = kY;
  const std::vector<SequenceCase> cases = {
      {"hover", {{Step::Move, inX, inY}}, {}, kHover, 1},
      {"press", {{Step::Move, inX, inY}, {Step::Down, inX, inY}}, {}, kPressed, 2},
      {"click", {{Step::Move, inX, inY}, {Step::Down, inX, inY}, {Step::Up, inX, inY}}, {{7, 0}}, kHover, 1},
      {"release off",
       {{Step::Down, inX, inY}, {Step::Move, outX, outY}, {Step::Up, outX, outY}},
       {},
       kNormal,
       0},
      {"off and back",
       {{Step::Down, inX, inY}, {Step::Move, outX, outY}, {Step::Move, inX, inY}, {Step::Up, inX, inY}},
       {{7, 0}},
       kHover,
       1},
      {"press off, release on", {{Step::Down, outX, outY}, {Step::Up, inX, inY}}, {}, kNormal, 0},
  };
  for (const SequenceCase& c : cases) {
    main.commands.clear();
    button.Init(&main, &page, kX, kY, &set, 0, 7, 4, 0);
    for (const Step& s : c.steps) {
      if (s.kind == Step::Move) button.OnMouseMove(s.x, s.y);
      if (s.kind == Step::Down) button.OnLButtonDown(s.x, s.y);
      if (s.kind == Step::Up) button.OnLButtonUp(s.x, s.y);
    }
    EXPECT_EQ(main.commands, c.commands) << c.name;
    EXPECT_EQ(Drawn(button), c.shown) << c.name;
    EXPECT_EQ(button.GetButtonState(), c.state) << c.name;
  }
}

TEST_F(GraphButtonTest, DisabledAndHiddenButtonsIgnoreTheMouse) {
  MakeSet(4);
  button.Init(&main, &page, kX, kY, &set, 0, 7, 4, 0);
  button.Enable(0);
  EXPECT_EQ(button.OnLButtonDown(kX + 1, kY + 1), 0);
  EXPECT_EQ(button.OnLButtonUp(kX + 1, kY + 1), 0);
  EXPECT_EQ(Drawn(button), kDisabled);
  button.Show(0);
  EXPECT_EQ(button.GetButtonState(), -1);
  EXPECT_EQ(Drawn(button), 0) << "hidden buttons draw nothing";
  button.Show(1);
  button.OnLButtonDown(kX + 1, kY + 1);
  button.OnLButtonUp(kX + 1, kY + 1);
  EXPECT_EQ(main.commands, (std::vector<Command>{{7, 0}}));
}

TEST_F(GraphButtonTest, DisabledFrameDependsOnTheFramesPerButton) {
  // Four frames: its own disabled frame; three: the pressed frame; fewer
  // never reach into the next button's frames.
  struct Case {
    int frames;
    std::uint16_t disabled, pressed;
  };
  for (const Case& c : {Case{4, kDisabled, kPressed}, Case{3, kPressed, kPressed}, Case{2, kHover, kHover},
                        Case{1, kNormal, kNormal}}) {
    set.Remove();
    MakeSet(c.frames);
    button.Init(&main, &page, kX, kY, &set, 0, 7, c.frames, 0);
    button.SetButtonState(2);
    EXPECT_EQ(Drawn(button), c.pressed) << c.frames << " frames, pressed";
    button.Enable(0);
    EXPECT_EQ(Drawn(button), c.disabled) << c.frames << " frames, disabled";
  }
}

TEST_F(GraphButtonTest, SecondButtonOfASetUsesItsOwnFrames) {
  MakeSet(4);
  button.Init(&main, &page, kX, kY, &set, 1, 7, 4, 0);
  EXPECT_EQ(Drawn(button), Rgb5(8, 0, 0));
  button.Enable(0);
  EXPECT_EQ(Drawn(button), Rgb5(4, 4, 4));
}

TEST_F(GraphButtonTest, HoverSoundPlaysOncePerEntry) {
  MakeSet(4);
  button.Init(&main, &page, kX, kY, &set, 0, 7, 4, 1);
  for (int i = 0; i < 5; ++i) button.OnMouseMove(kX + i, kY + 1);
  EXPECT_EQ(sound.played.size(), 1u);
  button.OnMouseMove(0, 0);
  button.OnMouseMove(kX + 1, kY + 1);
  EXPECT_EQ(sound.played.size(), 2u);
  button.SetMouseOverSound(16, 60);
  button.OnMouseMove(0, 0);
  button.OnMouseMove(kX + 1, kY + 1);
  ASSERT_EQ(sound.played.size(), 3u);
  EXPECT_EQ(sound.played.back(), (PlayedSound{16, 60, {}}));
}

TEST_F(GraphButtonTest, NoHoverSoundUnlessAsked) {
  MakeSet(4);
  button.Init(&main, &page, kX, kY, &set, 0, 7, 4, 0);
  button.OnMouseMove(kX + 1, kY + 1);
  EXPECT_TRUE(sound.played.empty());
}

TEST_F(GraphButtonTest, ToolTipStaysOnThePage) {
  MakeSet(4);
  auto font = platform::Font::Default();
  ASSERT_NE(font, nullptr);
  // The button sits at the bottom right of a 100 x 60 page.
  button.Init(&main, &page, 60, 40, &set, 0, 7, 4, 0);
  button.SetToolTip("tip", font);
  EXPECT_TRUE(button.ToolTipRect({65, 45}, 0).IsEmpty()) << "only while hovered";
  button.OnMouseMove(65, 45);
  const int w = platform::GetTextExtentCp949(*font, "tip").width + 10;
  const int h = platform::GetTextExtentCp949(*font, "tip").height + 4;
  struct Case {
    platform::Point cursor;
    int above;
    platform::Rect expected;
  };
  for (const Case& c : {
           // Room enough: right of and below the pointer.
           Case{{2, 2}, 0, platform::Rect::FromSize(7, 25, w, h)},
           // Past the right edge: pushed back onto the page.
           Case{{95, 2}, 0, platform::Rect::FromSize(100 - w, 25, w, h)},
           // Past the bottom: above the pointer, or above the button.
           Case{{2, 50}, 0, platform::Rect::FromSize(7, 25, w, h)},
           Case{{2, 50}, 1, platform::Rect::FromSize(7, 20, w, h)},
       }) {
    EXPECT_EQ(button.ToolTipRect(c.cursor, c.above), c.expected) << c.cursor.x << "," << c.cursor.y;
  }
  button.OnLButtonDown(65, 45);
  EXPECT_TRUE(button.ToolTipRect({2, 2}, 0).IsEmpty()) << "not while pressed";
}

// Counts its destruction, to see a replaced button go.
class CountedButton : public CGraphButton {
 public:
  explicit CountedButton(int& destroyed) : destroyed_(destroyed) {}
  ~CountedButton() override { ++destroyed_; }

 private:
  int& destroyed_;
};

class GraphButtonListTest : public GraphButtonTest {};

TEST_F(GraphButtonListTest, SameCommandIdReplacesTheButton) {
  MakeSet(4);
  CGraphButtonList list;
  int destroyed = 0;
  list.Add(std::make_unique<CountedButton>(destroyed), &main, &page, 0, 0, &set, 0, 5, 4, 0);
  CGraphButton* second = list.Add(std::make_unique<CountedButton>(destroyed), &main, &page, 50, 30, &set, 1, 5, 4, 0);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(list.Size(), 1u);
  EXPECT_EQ(list.GetButton(5), second);
  EXPECT_EQ(list.OnLButtonDown(1, 1), 0) << "the first button is gone";
}

TEST_F(GraphButtonListTest, LowestCommandIdTakesAPressFirst) {
  MakeSet(4);
  CGraphButtonList list;
  list.Add(std::make_unique<CGraphButton>(), &main, &page, 0, 0, &set, 0, 9, 4, 0);
  list.Add(std::make_unique<CGraphButton>(), &main, &page, 0, 0, &set, 0, 3, 4, 0);
  EXPECT_EQ(list.OnLButtonDown(5, 5), 1);
  EXPECT_EQ(list.OnLButtonUp(5, 5), 1);
  EXPECT_EQ(main.commands, (std::vector<Command>{{3, 0}}));
  EXPECT_EQ(list.GetButton(9)->IsPressed(), 0);
}

TEST_F(GraphButtonListTest, ReleasedOffEveryButtonSendsNothing) {
  MakeSet(4);
  CGraphButtonList list;
  list.Add(std::make_unique<CGraphButton>(), &main, &page, 0, 0, &set, 0, 3, 4, 0);
  list.OnLButtonDown(5, 5);
  EXPECT_EQ(list.OnLButtonUp(80, 50), 0);
  EXPECT_TRUE(main.commands.empty());
  EXPECT_EQ(list.GetButton(3)->GetButtonState(), 0);
}

TEST_F(GraphButtonListTest, HandlerMayRemoveEveryButton) {
  MakeSet(4);
  CGraphButtonList list;
  for (int id : {1, 2, 3}) list.Add(std::make_unique<CGraphButton>(), &main, &page, 0, 0, &set, 0, id, 4, 0);
  main.onCommand = [&](int) { list.Init(); };
  list.OnLButtonDown(5, 5);
  EXPECT_EQ(list.OnLButtonUp(5, 5), 1);
  EXPECT_TRUE(list.Empty());
  EXPECT_EQ(main.commands, (std::vector<Command>{{1, 0}}));
}

TEST_F(GraphButtonListTest, HandlerMayDestroyTheListItself) {
  MakeSet(4);
  auto list = std::make_unique<CGraphButtonList>();
  CGraphButtonList::SetButtonCursor(133, 134);
  list->Add(std::make_unique<CGraphButton>(), &main, &page, 0, 0, &set, 0, 1, 4, 0);
  main.onCommand = [&](int) { list.reset(); };
  CGraphButtonList* raw = list.get();
  raw->OnLButtonDown(5, 5);
  EXPECT_EQ(raw->OnLButtonUp(5, 5), 1);
  EXPECT_EQ(list, nullptr);
  CGraphButtonList::ClearButtonCursor();
}

TEST_F(GraphButtonListTest, UnknownCommandIdsAreIgnored) {
  CGraphButtonList list;
  EXPECT_EQ(list.GetButton(42), nullptr);
  list.Enable(42, 0);
  list.ShowWindow(42, 0);
}

}  // namespace
}  // namespace tovrik::ui
