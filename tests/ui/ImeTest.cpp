// Input composition for a window that draws its own text: the syllable
// being composed is readable while composing, and every committed
// character arrives as one WM_CHAR.

#include <gtest/gtest.h>

#include "UiFixture.h"
#include "base/CodePage.h"
#include "ui/Ime.h"

namespace tovrik::ui {
namespace {
using namespace testing;

class ComposingWindow : public platform::Window {
 public:
  ~ComposingWindow() override { Destroy(); }
  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    if (msg == platform::WM_CHAR) chars.push_back(static_cast<std::uint16_t>(w));
    if (ime.OnMessage(msg, w, l)) {
      if (msg == platform::WM_IME_COMPOSITION) seen.emplace_back(ime.GetNowStr());
      return 0;
    }
    return Window::WindowProc(msg, w, l);
  }
  CIME ime;
  std::vector<std::uint16_t> chars;
  std::vector<std::string> seen;
};

class ImeTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    view.Create(&main, platform::Rect::FromSize(0, 0, 100, 100));
    view.ime.Init(view);
    view.SetFocus();
  }
  ComposingWindow view;
};

TEST_F(ImeTest, ComposedSyllableIsShownUntilItIsCommitted) {
  loop.InjectTextEditing("ㅎ");
  EXPECT_EQ(view.ime.IsNowComp(), 1);
  EXPECT_EQ(view.ime.GetNowStr(), base::Utf8ToCp949("ㅎ"));
  loop.InjectTextEditing("하");
  EXPECT_EQ(view.ime.GetNowStr(), base::Utf8ToCp949("하"));
  loop.InjectTextInput("하");
  loop.PumpOnce();
  EXPECT_EQ(view.ime.IsNowComp(), 0);
  EXPECT_TRUE(view.ime.GetNowStr().empty());
  const std::string ha = base::Utf8ToCp949("하");
  ASSERT_EQ(view.chars.size(), 1u) << "one character, typed once";
  EXPECT_EQ(view.chars[0], static_cast<std::uint8_t>(ha[0]) | static_cast<std::uint8_t>(ha[1]) << 8);
}

TEST_F(ImeTest, EveryCommittedCharacterArrives) {
  loop.SendMessage(view.Handle(), platform::WM_IME_STARTCOMPOSITION);
  // A commit of two syllables at once still gives two characters.
  loop.InjectTextEditing("가");
  loop.InjectTextInput("가나");
  loop.PumpOnce();
  loop.Clock().SleepMs(200);
  loop.PumpOnce();
  EXPECT_EQ(view.chars.size(), 2u);
}

TEST_F(ImeTest, OtherMessagesAreNotTaken) {
  CIME ime;
  EXPECT_EQ(ime.OnMessage(platform::WM_CHAR, 'a', 0), 0);
  EXPECT_EQ(ime.OnMessage(platform::WM_KEYDOWN, 'A', 0), 0);
  EXPECT_EQ(ime.IsNowComp(), 0);
}

}  // namespace
}  // namespace tovrik::ui
