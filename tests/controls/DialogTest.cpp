#include "controls/Dialog.h"

#include "ControlsFixture.h"
#include "GoldenFrame.h"
#include "controls/Button.h"

namespace tovrik::controls {
namespace {

using platform::IDCANCEL;
using platform::IDOK;
using platform::LParam;
using platform::LResult;
using platform::MsgId;
using platform::Point;
using platform::VK_ESCAPE;
using platform::VK_RETURN;
using platform::VK_TAB;
using platform::Window;
using platform::WParam;

constexpr int kApply = 1001;
constexpr int kName = 1002;
constexpr int kHidden = 1003;
constexpr int kOff = 1004;
constexpr int kLast = 1005;

constexpr ControlSpec kControls[] = {
    {kName, ControlClass::Static, {10, 10, 100, 20}, "이름", 0, 0},
    {IDOK, ControlClass::Button, {10, 60, 60, 24}, "확인", BS_PUSHBUTTON, 2},
    {kApply, ControlClass::Button, {80, 60, 60, 24}, "적용", BS_DEFPUSHBUTTON, 1},
    {IDCANCEL, ControlClass::Button, {150, 60, 60, 24}, "취소", BS_PUSHBUTTON, 3},
    {kHidden, ControlClass::Button, {10, 90, 60, 24}, "숨김", kStartHidden, 4},
    {kOff, ControlClass::Button, {80, 90, 60, 24}, "꺼짐", kStartDisabled, 5},
    {kLast, ControlClass::Button, {150, 90, 60, 24}, "끝", BS_AUTOCHECKBOX, 6},
};
constexpr DialogTemplate kOptions{"options", 220, 130, kControls, 0};
constexpr DialogTemplate kRoom{"room", 220, 130, kControls, kDialogIgnoresEnter | kDialogIgnoresEscape};

// A dialog that writes down its commands and what it saw at WM_INITDIALOG.
class RecordingDialog : public Dialog {
 public:
  using Dialog::Dialog;
  ~RecordingDialog() override { Destroy(); }
  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    if (msg == platform::WM_COMMAND) commands.push_back(static_cast<int>(platform::LowWord(w)));
    return Dialog::WindowProc(msg, w, l);
  }
  std::vector<int> commands;
  bool sawControlsAtInit = false;

 protected:
  bool OnInitDialog() override {
    sawControlsAtInit = GetDlgItem(kApply) && GetDlgItem(kLast);
    return true;
  }
};

// A control that wants every key, as a multi-line edit does.
class KeyHungry : public Control {
 public:
  ~KeyHungry() override { Destroy(); }
  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    if (msg == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
    if (msg == platform::WM_KEYDOWN) keys.push_back(w);
    return Control::WindowProc(msg, w, l);
  }
  std::vector<WParam> keys;
};

class DialogTest : public testing::ControlsTest {
 protected:
  int Focused() const { return loop_.GetFocus() ? loop_.GetFocus()->Id() : 0; }
};

TEST_F(DialogTest, CreatesTheTableAndFocusesTheFirstTabStopAfterInitDialog) {
  RecordingDialog dialog(kOptions);
  ASSERT_TRUE(dialog.CreateModeless(&main_, Point{100, 100}));
  EXPECT_TRUE(dialog.sawControlsAtInit);
  EXPECT_EQ(dialog.GetWindowRect(), platform::Rect::FromSize(100, 100, 220, 130));
  ASSERT_NE(dialog.GetDlgItem(kApply), nullptr);
  EXPECT_EQ(dialog.GetDlgItem(kApply)->GetWindowRect(), platform::Rect::FromSize(80, 60, 60, 24));
  EXPECT_FALSE(dialog.GetDlgItem(kHidden)->IsWindowVisible());
  EXPECT_FALSE(dialog.GetDlgItem(kOff)->IsWindowEnabled());
  EXPECT_EQ(dynamic_cast<Control*>(dialog.GetDlgItem(IDOK))->GetWindowText(), "확인");
  EXPECT_EQ(dialog.GetDefID(), kApply);
  EXPECT_EQ(Focused(), kApply);  // tab order 1
}

TEST_F(DialogTest, TabAndShiftTabFollowTheTabOrderPastHiddenAndDisabledControls) {
  RecordingDialog dialog(kOptions);
  ASSERT_TRUE(dialog.CreateModeless(&main_));
  std::vector<int> forward;
  for (int i = 0; i < 5; ++i) {
    Key(VK_TAB);
    forward.push_back(Focused());
  }
  EXPECT_EQ(forward, (std::vector<int>{IDOK, IDCANCEL, kLast, kApply, IDOK}));
  std::vector<int> backward;
  for (int i = 0; i < 3; ++i) {
    ShiftKey(VK_TAB);
    backward.push_back(Focused());
  }
  EXPECT_EQ(backward, (std::vector<int>{kApply, kLast, IDCANCEL}));
  EXPECT_TRUE(dialog.commands.empty());
}

struct EnterCase {
  const char* name;
  int focusId;  // 0: the focus stays where the dialog put it
  WParam key;
  int expectedCommand;
};

TEST_F(DialogTest, EnterAndEscapeSendTheirCommands) {
  const EnterCase cases[] = {
      {"Enter on a non-button goes to the default button", kLast, VK_RETURN, kApply},
      {"Enter on a push button clicks that button", IDCANCEL, VK_RETURN, IDCANCEL},
      {"Enter on the default button", kApply, VK_RETURN, kApply},
      {"Escape anywhere cancels", IDOK, VK_ESCAPE, IDCANCEL},
  };
  for (const EnterCase& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingDialog dialog(kOptions);
    ASSERT_TRUE(dialog.CreateModeless(&main_));
    if (c.focusId) dialog.GetDlgItem(c.focusId)->SetFocus();
    Key(c.key);
    EXPECT_EQ(dialog.commands, std::vector<int>{c.expectedCommand});
  }
}

TEST_F(DialogTest, EnterWithoutADefaultButtonIsIdOkAndEndsTheModalRun) {
  static constexpr ControlSpec controls[] = {{kLast, ControlClass::Button, {10, 10, 60, 20}, "끝", BS_AUTOCHECKBOX, 1}};
  constexpr DialogTemplate plain{"plain", 100, 50, controls, 0};
  RecordingDialog dialog(plain);
  int result = 0;
  loop_.SetIdleHook([&] {
    if (loop_.TopModal() == &dialog) automation_.PressKey(VK_RETURN);
    return true;
  });
  result = dialog.DoModal(&main_);
  loop_.SetIdleHook({});
  EXPECT_EQ(result, IDOK);
  EXPECT_FALSE(dialog.IsCreated());
}

TEST_F(DialogTest, EscapeEndsAModalRunWithIdCancelAndTheFocusReturns) {
  Window field;
  field.Create(&main_, platform::Rect::FromSize(0, 0, 50, 20));
  field.SetFocus();
  RecordingDialog dialog(kOptions);
  automation_.AnswerModalWhen(0, [&] {
    automation_.PressKey(VK_ESCAPE);
    return true;
  });
  EXPECT_EQ(dialog.DoModal(&main_), IDCANCEL);
  EXPECT_EQ(loop_.GetFocus(), &field);
}

TEST_F(DialogTest, ADialogThatIgnoresEnterAndEscapeTakesThemWithoutACommand) {
  RecordingDialog room(kRoom);
  ASSERT_TRUE(room.CreateModeless(&main_));
  Key(VK_RETURN);
  Key(VK_ESCAPE);
  EXPECT_TRUE(room.commands.empty());
  EXPECT_TRUE(room.IsWindowVisible());
  Key(VK_TAB);  // Tab still moves on
  EXPECT_EQ(Focused(), IDOK);
}

TEST_F(DialogTest, AControlThatWantsAllKeysGetsEnterEscapeAndTab) {
  KeyHungry edit;
  class WithEdit : public RecordingDialog {
   public:
    WithEdit(const DialogTemplate& t, KeyHungry& e) : RecordingDialog(t), edit_(e) {}
    ~WithEdit() override { Destroy(); }

   protected:
    Window* ProvideControl(const ControlSpec& spec) override { return spec.id == kLast ? &edit_ : nullptr; }

   private:
    KeyHungry& edit_;
  } dialog(kOptions, edit);
  ASSERT_TRUE(dialog.CreateModeless(&main_));
  edit.SetFocus();
  Key(VK_RETURN);
  Key(VK_ESCAPE);
  Key(VK_TAB);
  EXPECT_EQ(edit.keys, (std::vector<WParam>{VK_RETURN, VK_ESCAPE, VK_TAB}));
  EXPECT_TRUE(dialog.commands.empty());
  EXPECT_EQ(edit.GetWindowText(), "끝");  // the record's caption reached the provided control
}

TEST_F(DialogTest, ModelessOkHidesTheDialogAndKeepsTheResult) {
  RecordingDialog dialog(kOptions);
  ASSERT_TRUE(dialog.CreateModeless(&main_));
  automation_.Click({dialog.GetScreenRect().left + 15, dialog.GetScreenRect().top + 65});  // 확인
  EXPECT_EQ(dialog.commands, std::vector<int>{IDOK});
  EXPECT_FALSE(dialog.IsWindowVisible());
  EXPECT_EQ(dialog.Result(), IDOK);
  EXPECT_EQ(loop_.GetFocus(), &main_);  // no key goes on to the hidden dialog
}

TEST_F(DialogTest, AModalDialogEndedWhileItInitialisesReturnsAtOnce) {
  class EndsAtOnce : public RecordingDialog {
   public:
    using RecordingDialog::RecordingDialog;
    ~EndsAtOnce() override { Destroy(); }

   protected:
    bool OnInitDialog() override {
      EndDialog(IDCANCEL);
      return true;
    }
  } dialog(kOptions);
  EXPECT_EQ(dialog.DoModal(&main_), IDCANCEL);
  EXPECT_EQ(loop_.ModalDepth(), 0);
}

TEST_F(DialogTest, SetDefIdMovesTheDefaultButton) {
  RecordingDialog dialog(kOptions);
  ASSERT_TRUE(dialog.CreateModeless(&main_));
  dialog.SendMessage(DM_SETDEFID, IDOK);
  EXPECT_EQ(dialog.SendMessage(DM_GETDEFID), IDOK);
  EXPECT_FALSE(dynamic_cast<Button*>(dialog.GetDlgItem(kApply))->IsDefault());
  EXPECT_TRUE(dynamic_cast<Button*>(dialog.GetDlgItem(IDOK))->IsDefault());
  dialog.GetDlgItem(kLast)->SetFocus();
  Key(VK_RETURN);
  EXPECT_EQ(dialog.commands, std::vector<int>{IDOK});
}

}  // namespace
}  // namespace tovrik::controls

namespace tovrik::controls {
namespace {

constexpr ControlSpec kLookControls[] = {
    {100, ControlClass::Static, {10, 8, 200, 16}, "방 만들기 설정", SS_LEFT, 0},
    {101, ControlClass::Button, {10, 30, 120, 18}, "비밀방", BS_AUTOCHECKBOX, 1},
    {102, ControlClass::Button, {10, 52, 120, 18}, "일반", BS_AUTORADIOBUTTON | WS_GROUP, 2},
    {103, ControlClass::Button, {10, 74, 120, 18}, "아이템", BS_AUTORADIOBUTTON, 3},
    {platform::IDOK, ControlClass::Button, {10, 100, 70, 24}, "확인", BS_DEFPUSHBUTTON, 4},
    {platform::IDCANCEL, ControlClass::Button, {90, 100, 70, 24}, "취소", BS_PUSHBUTTON, 5},
    {104, ControlClass::Button, {170, 100, 70, 24}, "꺼짐", kStartDisabled, 6},
};
constexpr DialogTemplate kLook{"look", 250, 134, kLookControls, 0};

TEST_F(DialogTest, GoldenFrameOfADialogWithButtons) {
  RecordingDialog dialog(kLook);
  ASSERT_TRUE(dialog.CreateModeless(&main_, platform::Point{40, 30}));
  dialog.GetDlgItem(101)->SendMessage(BM_SETCHECK, BST_CHECKED);
  dialog.GetDlgItem(103)->SendMessage(BM_SETCHECK, BST_CHECKED);
  dialog.GetDlgItem(platform::IDCANCEL)->SetFocus();
  loop_.PaintNow();
  testing::ExpectMatchesGolden(loop_.Frame(), dialog.GetScreenRect(), "dialog_buttons");
}

}  // namespace
}  // namespace tovrik::controls
