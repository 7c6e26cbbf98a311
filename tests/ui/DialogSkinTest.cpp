// Sprite-skinned dialogs: the window takes the background's size and shape,
// each skin gets the next timer id, sprite buttons click through the
// dialog's messages, a press on the background drags the dialog, and
// missing files are reported once.

#include <gtest/gtest.h>

#include "UiFixture.h"
#include "platform/MessageBox.h"
#include "ui/BitmapRegion.h"
#include "ui/DialogHelper.h"
#include "ui/UiMessageBox.h"

namespace tovrik::ui {
namespace {
using platform::Point;
using platform::Rect;
using namespace testing;

constexpr std::uint16_t kKey = 0x7C1F;

// A dialog that hands its messages to its skin first.
class SkinnedDialog : public CommandWindow {
 public:
  ~SkinnedDialog() override { Destroy(); }
  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    if (skin && skin->MessageProc(msg, w, l)) return 0;
    return CommandWindow::WindowProc(msg, w, l);
  }
  void OnPaint(platform::PaintContext& pc) override {
    if (skin) skin->Draw(pc);
  }
  CDialogHelper* skin = nullptr;
};

class DialogSkinTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    CDialogHelper::ResetTimerIdsForTests();
    // Background 200 x 100: key-coloured 10-pixel corners cut away.
    gfx::xSprite back;
    std::vector<std::uint16_t> pixels(200 * 100, Rgb5(10, 10, 20));
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) pixels[static_cast<std::size_t>(y * 200 + x)] = kKey;
    back.InsertByCopy(0, 200, 100, pixels, kKey, 0);
    back.Save(folder / "back.spr");
    gfx::xSprite buttons;
    AddSolidFrames(buttons, 40, 20, {Rgb5(31, 0, 0), Rgb5(0, 31, 0), Rgb5(0, 0, 31), Rgb5(8, 8, 8)});
    buttons.Save(folder / "buttons.spr");
    SetUiMessageBoxHandler([this](std::string_view text, unsigned) {
      boxes.emplace_back(text);
      return platform::IDOK;
    });
  }
  void TearDown() override { SetUiMessageBoxHandler({}); }

  ScratchFolder folder{"dialogskin"};
  std::vector<std::string> boxes;
};

TEST_F(DialogSkinTest, DialogTakesTheBackgroundsSizeShapeAndTimer) {
  SkinnedDialog first, second;
  first.Create(&main, Rect::FromSize(0, 0, 10, 10));
  second.Create(&main, Rect::FromSize(0, 0, 10, 10));
  CDialogHelper a, b;
  a.Init(&first, folder / "back.spr");
  b.Init(&second, folder / "back.spr");
  EXPECT_EQ(a.TimerId(), 12345u);
  EXPECT_EQ(b.TimerId(), 12346u);
  EXPECT_EQ(first.GetWindowRect(), Rect::FromSize(300, 250, 200, 100)) << "centred";
  ASSERT_NE(first.GetWindowRgn(), nullptr);
  EXPECT_FALSE(first.GetWindowRgn()->Contains({5, 5})) << "the key-coloured corner is cut away";
  EXPECT_TRUE(first.GetWindowRgn()->Contains({15, 5}));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(DialogSkinTest, SpriteButtonClicksReachTheDialog) {
  // The skin outlives the dialog that hands it messages.
  CDialogHelper skin;
  SkinnedDialog dialog;
  dialog.Create(&main, Rect::FromSize(0, 0, 10, 10));
  dialog.skin = &skin;
  skin.Init(&dialog, folder / "back.spr");
  skin.AddButton(folder / "buttons.spr", 20, 30, 0, 501);
  const Point at{300 + 25, 250 + 35};
  loop.InjectMouseMove(at);
  loop.InjectMouseButton(at, platform::MouseButton::Left, true);
  loop.PaintNow();
  EXPECT_EQ(loop.Frame().Row16(at.y)[at.x], Rgb5(0, 0, 31)) << "pressed frame";
  loop.InjectMouseButton(at, platform::MouseButton::Left, false);
  EXPECT_EQ(dialog.commands, (std::vector<Command>{{501, 0}}));
  EXPECT_EQ(dialog.GetWindowRect().TopLeft(), (Point{300, 250})) << "a button press does not drag";
}

TEST_F(DialogSkinTest, PressOnTheBackgroundDragsTheDialog) {
  // The skin outlives the dialog that hands it messages.
  CDialogHelper skin;
  SkinnedDialog dialog;
  dialog.Create(&main, Rect::FromSize(0, 0, 10, 10));
  dialog.skin = &skin;
  skin.Init(&dialog, folder / "back.spr");
  loop.InjectMouseMove({400, 300});
  loop.InjectMouseButton({400, 300}, platform::MouseButton::Left, true);
  loop.InjectMouseMove({350, 280});
  loop.InjectMouseButton({350, 280}, platform::MouseButton::Left, false);
  EXPECT_EQ(dialog.GetWindowRect().TopLeft(), (Point{250, 230}));
}

TEST_F(DialogSkinTest, HandlerMayRemoveEveryButtonAndTheSkin) {
  SkinnedDialog dialog;
  dialog.Create(&main, Rect::FromSize(0, 0, 10, 10));
  auto skin = std::make_unique<CDialogHelper>();
  dialog.skin = skin.get();
  skin->Init(&dialog, folder / "back.spr");
  skin->AddButton(folder / "buttons.spr", 20, 30, 0, 501);
  dialog.onCommand = [&](int) {
    skin->RemoveAllButton();
    dialog.skin = nullptr;
    skin.reset();
  };
  const Point at{300 + 25, 250 + 35};
  loop.InjectMouseMove(at);
  loop.InjectMouseButton(at, platform::MouseButton::Left, true);
  loop.InjectMouseButton(at, platform::MouseButton::Left, false);
  EXPECT_EQ(skin, nullptr);
  EXPECT_EQ(dialog.commands.size(), 1u);
}

TEST_F(DialogSkinTest, RepaintTimerAndItsEnd) {
  SkinnedDialog dialog;
  dialog.Create(&main, Rect::FromSize(0, 0, 10, 10));
  {
    CDialogHelper skin;
    skin.Init(&dialog, folder / "back.spr");
    loop.PaintNow();
    skin.MessageProc(platform::WM_TIMER, 99, 0);
    EXPECT_FALSE(loop.NeedsPaint()) << "another timer";
    skin.MessageProc(platform::WM_TIMER, skin.TimerId(), 0);
    EXPECT_TRUE(loop.NeedsPaint());
    EXPECT_EQ(loop.MsUntilNextTimer(), std::optional<std::uint32_t>(CDialogHelper::kRedrawMs));
  }
  EXPECT_FALSE(loop.MsUntilNextTimer().has_value()) << "the skin's timer stops with it";
}

TEST_F(DialogSkinTest, MissingFilesAreReportedOncePerPath) {
  SkinnedDialog dialog;
  dialog.Create(&main, Rect::FromSize(0, 0, 10, 10));
  CDialogHelper skin;
  skin.Init(&dialog, folder / "nothing.spr");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], (folder / "nothing.spr") + " 파일을 읽을 수 없습니다");
  EXPECT_EQ(dialog.GetWindowRect(), Rect::FromSize(0, 0, 10, 10)) << "left as it was";
  skin.Init(&dialog, folder / "back.spr");
  skin.AddButton(folder / "gone.spr", 0, 0, 0, 1);
  skin.AddButton(folder / "gone.spr", 50, 0, 0, 2);
  EXPECT_EQ(boxes.size(), 2u);
}

TEST(BitmapRegion, CornerKeyShapesAndRoundedRectangles) {
  platform::FakeClock clock;
  platform::EventLoop loop(clock);
  platform::Window main;
  main.Create(nullptr, Rect::FromSize(0, 0, 100, 100));
  // Grey corner: greys up to 200 are cut, the darker middle stays.
  std::vector<std::uint16_t> pixels(4 * 2, platform::ToRgb555({104, 104, 104}));
  pixels[5] = platform::ToRgb555({40, 40, 40});
  const platform::PixelView view{pixels.data(), 4, 2, 8, platform::PixelFormat::Rgb555, nullptr};
  CBmpRegion shape;
  EXPECT_EQ(shape.SetWindowRgn(&main, view, {0, 0, 0}, 0x101010), 1);
  ASSERT_NE(main.GetWindowRgn(), nullptr);
  EXPECT_EQ(main.GetWindowRgn()->Runs(), (std::vector<platform::Region::Run>{{1, 1, 2}}));
  EXPECT_EQ(shape.SetWindowRgn(nullptr, view, {0, 0, 0}, 0), 0);
  EXPECT_EQ(shape.SetWindowRgn(&main, {}, {0, 0, 0}, 0), 0);
  CHTransRegion rounded;
  EXPECT_EQ(rounded.SetRgn(0, 10, &main), 0);
  EXPECT_EQ(rounded.SetRgn(40, 30, &main), 1);
  EXPECT_EQ(main.GetWindowRgn()->Bounds(), (Rect{0, 0, 41, 31}));
  EXPECT_FALSE(main.GetWindowRgn()->Contains({0, 0}));
  EXPECT_EQ(rounded.SetRgn(view, &main, platform::FromRgb555(pixels[0])), 1);
  EXPECT_EQ(main.GetWindowRgn()->Runs(), (std::vector<platform::Region::Run>{{1, 1, 2}}));
}

}  // namespace
}  // namespace tovrik::ui
