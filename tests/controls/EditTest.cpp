#include "controls/Edit.h"

#include <gtest/gtest.h>

#include "ControlRig.h"
#include "GoldenFrame.h"
#include "platform/Clipboard.h"

namespace tovrik::controls {
namespace {

using namespace platform;
using testing::ControlRig;
using testing::Cp;

constexpr int kEditId = 1032;
constexpr Rect kEditRect = Rect::FromSize(20, 30, 160, 19);

class EditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Font::Default()) << "Nanum fonts missing: " << FontFileFor("굴림체", false);
    ASSERT_TRUE(edit.Create(&rig.main, kEditRect, kEditId));
    rig.automation.Click({kEditRect.left + 5, kEditRect.top + 5});
  }
  // A point inside the edit, `x` pixels from its left edge.
  Point At(int x) const { return {kEditRect.left + x, kEditRect.top + 9}; }

  ControlRig rig;
  Edit edit;
};

TEST_F(EditTest, ByteLimitTakesWholeCharactersOnlyWhenTypedComposedOrPasted) {
  struct Case {
    const char* name;
    std::size_t limit;
    const char* before;  // UTF-8
    enum { Type, Compose, Paste } how;
    const char* input;
    const char* after;
    bool refused;
  };
  const Case cases[] = {
      {"two-byte syllable fits the last two bytes", 4, "ab", Case::Type, "한", "ab한", false},
      {"two-byte syllable refused with one byte left", 4, "abc", Case::Type, "한", "abc", true},
      {"one byte fits the last byte", 4, "abc", Case::Type, "d", "abcd", false},
      {"composed syllable refused with one byte left", 4, "abc", Case::Compose, "한", "abc", true},
      {"composed syllable fits", 5, "abc", Case::Compose, "한", "abc한", false},
      {"paste cut before the syllable that would split", 5, "a", Case::Paste, "가나다", "a가나", true},
      {"paste that fits whole", 7, "a", Case::Paste, "가나다", "a가나다", false},
      {"paste stops at the line break", 30, "", Case::Paste, "첫 줄\r\n둘째", "첫 줄", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    edit.LimitText(c.limit);
    edit.SetTextUtf8(c.before);
    rig.main.notifications.clear();
    switch (c.how) {
      case Case::Type: rig.automation.TypeText(c.input); break;
      case Case::Compose: rig.automation.ComposeAndCommit({"ㅎ", "하", c.input}, c.input); break;
      case Case::Paste:
        SetClipboardText(c.input);
        {
          auto control = rig.Hold(VK_CONTROL);
          rig.automation.PressKey('V');
        }
        break;
    }
    EXPECT_EQ(edit.GetTextUtf8(), c.after);
    EXPECT_LE(edit.GetText().size(), c.limit);
    EXPECT_EQ(rig.main.Count(EN_MAXTEXT), c.refused ? 1 : 0);
    EXPECT_EQ(rig.main.Count(EN_CHANGE), std::string(c.before) == c.after ? 0 : 1);
    EXPECT_FALSE(edit.IsComposing());
  }
}

TEST_F(EditTest, CompositionIsShownAtTheCaretAndCommittedOnce) {
  edit.SetTextUtf8("ab");
  rig.main.notifications.clear();
  rig.loop.InjectTextEditing("ㅎ");
  rig.loop.InjectTextEditing("하");
  EXPECT_TRUE(edit.IsComposing());
  EXPECT_EQ(edit.CompositionText(), Cp("하"));
  EXPECT_EQ(edit.GetTextUtf8(), "ab");  // shown, not yet part of the text
  EXPECT_EQ(rig.main.Count(EN_CHANGE), 0);
  rig.loop.InjectTextEditing("한");
  rig.loop.InjectTextInput("한");
  rig.automation.Settle();
  EXPECT_EQ(edit.GetTextUtf8(), "ab한");
  EXPECT_EQ(rig.main.Count(EN_CHANGE), 1);
  EXPECT_FALSE(edit.IsComposing());
  EXPECT_TRUE(edit.CompositionText().empty());
  // The next syllable begins before the first one's commit arrives.
  rig.loop.InjectTextEditing("ㄱ");
  rig.loop.InjectTextEditing("");
  rig.loop.InjectTextEditing("글");
  rig.loop.InjectTextInput("글");
  EXPECT_EQ(edit.GetTextUtf8(), "ab한글");
}

TEST_F(EditTest, CompositionReplacesTheSelection) {
  edit.SetTextUtf8("abcd");
  edit.SetSel(1, 3);
  rig.automation.ComposeAndCommit({"ㄱ", "가"}, "가");
  EXPECT_EQ(edit.GetTextUtf8(), "a가d");
  EXPECT_EQ(edit.GetSel(), (Edit::Selection{3, 3}));
}

TEST_F(EditTest, ShiftArrowsHomeAndEndSelectWholeCharacters) {
  edit.SetTextUtf8("가a나");  // bytes: 가 0-2, a 2-3, 나 3-5
  rig.automation.PressKey(VK_HOME);
  {
    auto shift = rig.Hold(VK_SHIFT);
    rig.automation.PressKey(VK_RIGHT);
    EXPECT_EQ(edit.GetSel(), (Edit::Selection{0, 2}));
    rig.automation.PressKey(VK_END);
    EXPECT_EQ(edit.GetSel(), (Edit::Selection{0, 5}));
    rig.automation.PressKey(VK_LEFT);
    EXPECT_EQ(edit.GetSel(), (Edit::Selection{0, 3}));
  }
  rig.automation.TypeText("x");
  EXPECT_EQ(edit.GetTextUtf8(), "x나");
  rig.automation.PressKey(VK_BACK);
  rig.automation.PressKey(VK_BACK);  // at the start: nothing to delete
  EXPECT_EQ(edit.GetTextUtf8(), "나");
  rig.automation.PressKey(VK_DELETE);
  EXPECT_EQ(edit.GetTextUtf8(), "");
}

TEST_F(EditTest, MouseDragSelectsAndClipboardRoundTrips) {
  edit.SetTextUtf8("hello 세상");
  rig.automation.Drag(At(1), At(150));
  EXPECT_EQ(edit.GetSel(), (Edit::Selection{0, edit.GetText().size()}));
  {
    auto control = rig.Hold(VK_CONTROL);
    rig.automation.PressKey('C');
    rig.automation.PressKey(VK_END);
    rig.automation.PressKey('V');
  }
  EXPECT_EQ(GetClipboardText(), "hello 세상");
  EXPECT_EQ(edit.GetTextUtf8(), "hello 세상hello 세상");
  // A click puts the caret between characters, never inside one.
  rig.automation.Click(At(40));
  const auto sel = edit.GetSel();
  EXPECT_EQ(sel.start, sel.end);
  EXPECT_LT(sel.start, edit.GetText().size());
}

TEST_F(EditTest, PasswordIsNeverCopiedAndReadOnlyRefusesInput) {
  SetClipboardText("before");
  edit.SetPasswordChar('*');
  edit.SetTextUtf8("secret");
  edit.SelectAll();
  {
    auto control = rig.Hold(VK_CONTROL);
    rig.automation.PressKey('C');
    rig.automation.PressKey('X');
  }
  EXPECT_EQ(GetClipboardText(), "before");
  EXPECT_EQ(edit.GetTextUtf8(), "secret");

  edit.SetPasswordChar(0);
  edit.SetReadOnly(true);
  edit.SelectAll();
  rig.automation.TypeText("x");
  rig.automation.ComposeAndCommit({"ㄱ", "가"}, "가");
  rig.automation.PressKey(VK_DELETE);
  rig.automation.PressKey(VK_BACK);
  EXPECT_EQ(edit.GetTextUtf8(), "secret");
  EXPECT_EQ(rig.main.Count(EN_CHANGE), 1);  // SetText's only
  {
    auto control = rig.Hold(VK_CONTROL);
    rig.automation.PressKey('C');
  }
  EXPECT_EQ(GetClipboardText(), "secret");
}

TEST_F(EditTest, InvalidCodePageBytesStayVisibleAndSteppable) {
  // A byte that starts nothing, a lead byte with a bad trail, and a lead
  // byte cut off at the end.
  edit.SetText(std::string("\xFF" "a\xC7\x30" "b\xC7", 6));
  EXPECT_EQ(edit.GetTextUtf8(), "\xEF\xBF\xBD" "a\xEF\xBF\xBD" "0b\xEF\xBF\xBD");
  rig.automation.PressKey(VK_HOME);
  std::vector<std::size_t> stops;
  for (int i = 0; i < 8; ++i) {
    rig.automation.PressKey(VK_RIGHT);
    stops.push_back(edit.GetSel().end);
  }
  EXPECT_EQ(stops, (std::vector<std::size_t>{1, 2, 3, 4, 5, 6, 6, 6}));
  rig.loop.PaintNow();
  // A lead byte typed alone waits for its trail.
  edit.SetText("");
  edit.SendMessage(WM_CHAR, 0xC7);
  EXPECT_EQ(edit.GetText(), "");
  edit.SendMessage(WM_CHAR, 0xD1);
  EXPECT_EQ(edit.GetTextUtf8(), "한");
}

TEST_F(EditTest, UpAndDownGoToTheParent) {
  edit.SetTextUtf8("abc");
  rig.automation.PressKey(VK_HOME);
  rig.automation.PressKey(VK_UP);
  rig.automation.PressKey(VK_DOWN);
  EXPECT_EQ(rig.main.keys, (std::vector<WParam>{VK_UP, VK_DOWN}));
  EXPECT_EQ(edit.GetSel(), (Edit::Selection{0, 0}));
}

TEST_F(EditTest, MessagesSetLimitSelectionAndReplacement) {
  edit.SendMessage(EM_LIMITTEXT, 3);
  EXPECT_EQ(edit.SendMessage(EM_GETLIMITTEXT), 3);
  edit.SetTextUtf8("abc");
  edit.SendMessage(EM_SETSEL, 1, -1);
  EXPECT_EQ(edit.SendMessage(EM_GETSEL), 1 | (3 << 16));
  const std::string replacement = Cp("한글");
  edit.SendMessage(EM_REPLACESEL, 0, reinterpret_cast<LParam>(replacement.c_str()));
  EXPECT_EQ(edit.GetTextUtf8(), "a한");
}

TEST_F(EditTest, GoldenCompositionInProgress) {
  edit.SetBorder(true);
  edit.SetTextUtf8("채팅 ab");
  rig.loop.InjectTextEditing("하");
  rig.loop.InjectTextEditing("한");
  testing::ExpectMatchesGolden(testing::PaintedFrame(rig.loop), kEditRect, "edit_composition");
}

}  // namespace
}  // namespace tovrik::controls
