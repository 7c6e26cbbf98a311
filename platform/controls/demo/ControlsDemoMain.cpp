// A window that shows the standard controls at work: push buttons, check
// boxes and a radio group from one control table, a modal dialog (Enter,
// Escape, default button, Tab), a shaped dialog dragged by its surface, a
// context menu on a right click, tooltips, laid-out text, and the text
// controls: a chat input (Korean composition, a byte limit, Enter sends
// the line to the chat view), a password edit, two combo boxes, a list box
// and a list view with check boxes.
//
//   tovrik_controls_demo                 opens the window (Esc quits)
//   tovrik_controls_demo --check DIR     drives it headless, saves frames in
//                                        DIR and exits 0 when all went well

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "controls/Button.h"
#include "controls/ChatView.h"
#include "controls/ComboBox.h"
#include "controls/Dialog.h"
#include "controls/Edit.h"
#include "controls/ListBox.h"
#include "controls/ListView.h"
#include "controls/Look.h"
#include "controls/PopupMenu.h"
#include "controls/TextLayout.h"
#include "controls/ToolTip.h"
#include "base/CodePage.h"
#include "platform/Automation.h"
#include "platform/EventLoop.h"
#include "platform/Region.h"
#include "platform/Screen.h"
#include "platform/SdlSession.h"

namespace {

using namespace tovrik::controls;
using namespace tovrik::platform;

constexpr int kWidth = 800;
constexpr int kHeight = 600;

enum : int {
  kOpenModal = 1001,
  kShowShaped,
  kSecret,
  kModeNormal,
  kModeItem,
  kModeFree,
  kQuit,
  kTitle,
  kStatus,
  kMenuSecret = 1100,
  kShapedClose = 2001,
  kModalName = 3001,
  kTextCaption = 4001,
  kChat,
  kChatInput,
  kPassword,
  kLevel,
  kNickname,
  kAmounts,
  kMuted,
};

constexpr ControlSpec kMainControls[] = {
    {kTitle, ControlClass::Static, {20, 12, 760, 20}, "컨트롤 시험 화면 — 오른쪽 단추로 누르면 메뉴가 열립니다", SS_LEFT, 0},
    {kOpenModal, ControlClass::Button, {20, 50, 150, 28}, "모달 대화상자", BS_DEFPUSHBUTTON, 1},
    {kShowShaped, ControlClass::Button, {180, 50, 150, 28}, "모양 있는 대화상자", BS_PUSHBUTTON, 2},
    {kQuit, ControlClass::Button, {340, 50, 100, 28}, "끝내기", BS_PUSHBUTTON, 3},
    {kSecret, ControlClass::Button, {20, 100, 200, 20}, "비밀방 (확인란)", BS_AUTOCHECKBOX, 4},
    {kModeNormal, ControlClass::Button, {20, 130, 200, 20}, "일반 게임", BS_AUTORADIOBUTTON | WS_GROUP, 5},
    {kModeItem, ControlClass::Button, {20, 152, 200, 20}, "아이템 게임", BS_AUTORADIOBUTTON, 6},
    {kModeFree, ControlClass::Button, {20, 174, 200, 20}, "자유 게임", BS_AUTORADIOBUTTON, 7},
    {kTextCaption, ControlClass::Static, {28, 284, 744, 20},
     "텍스트 컨트롤: 입력 줄에서 Enter를 누르면 대화 창에 들어갑니다 (30바이트까지)", SS_LEFT, 0},
    {kChat, ControlClass::ChatView, {28, 308, 400, 150}, "", 0, 0},
    {kChatInput, ControlClass::Edit, {28, 464, 400, 20}, "", 0, 8},
    {kPassword, ControlClass::Edit, {28, 492, 150, 20}, "", ES_PASSWORD, 9},
    {kLevel, ControlClass::ComboBox, {440, 308, 150, 20}, "", CBS_DROPDOWNLIST, 10},
    {kNickname, ControlClass::ComboBox, {600, 308, 170, 20}, "", CBS_DROPDOWN | CBS_SORT, 11},
    {kAmounts, ControlClass::ListBox, {440, 340, 150, 120}, "", 0, 12},
    {kMuted, ControlClass::ListView, {600, 340, 170, 120}, "", 0, 13},
    {kStatus, ControlClass::Static, {20, 560, 760, 20}, "", SS_LEFT, 0},
};

// The chat input: Enter sends the line to the chat view instead of
// pressing the dialog's default button.
class ChatInput : public Edit {
 public:
  ~ChatInput() override { Destroy(); }
  std::function<void(const std::string&)> onSend;
  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    if (msg == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
    if (msg == WM_KEYDOWN && w == VK_RETURN) {
      if (!GetText().empty() && onSend) onSend(GetText());
      SetText({});
      return 0;
    }
    if (msg == WM_CHAR && w == '\r') return 0;
    return Edit::WindowProc(msg, w, l);
  }
};
constexpr DialogTemplate kMain{"controls demo", kWidth, kHeight, kMainControls, 0};

constexpr ControlSpec kModalControls[] = {
    {kModalName, ControlClass::Static, {12, 12, 256, 40}, "Enter는 기본 단추(확인), Esc는 취소, Tab은 다음 단추입니다.",
     SS_LEFT, 0},
    {IDOK, ControlClass::Button, {60, 64, 70, 24}, "확인", BS_DEFPUSHBUTTON, 1},
    {IDCANCEL, ControlClass::Button, {150, 64, 70, 24}, "취소", BS_PUSHBUTTON, 2},
};
constexpr DialogTemplate kModal{"modal", 280, 100, kModalControls, 0};

constexpr ControlSpec kShapedControls[] = {
    {kShapedClose, ControlClass::Button, {70, 70, 80, 24}, "닫기", BS_PUSHBUTTON, 1},
};
constexpr DialogTemplate kShaped{"shaped", 220, 120, kShapedControls, kDialogIgnoresEnter};

// A dialog with rounded corners, dragged wherever its surface is pressed.
class ShapedDialog : public Dialog {
 public:
  ShapedDialog() : Dialog(kShaped) {}
  ~ShapedDialog() override { Destroy(); }
  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    if (msg == WM_NCHITTEST) return static_cast<LResult>(HTCAPTION);
    if (msg == WM_COMMAND && LowWord(w) == kShapedClose) {
      ShowWindow(false);
      return 0;
    }
    return Dialog::WindowProc(msg, w, l);
  }
  void OnPaint(PaintContext& pc) override {
    pc.Fill(GetClientRect(), {60, 90, 160});
    DrawCaption(pc, "끌어서 옮기세요. 모서리는 뚫려 있습니다.", {12, 12, 208, 60}, DT_WORDBREAK | DT_CENTER,
                {255, 255, 255});
  }

 protected:
  bool OnInitDialog() override {
    SetWindowRgn(Region::RoundRect(GetClientRect(), 40, 40));
    return true;
  }
};

class DemoDialog : public Dialog {
 public:
  explicit DemoDialog(std::filesystem::path programDir) : Dialog(kMain), programDir_(std::move(programDir)) {}
  ~DemoDialog() override { Destroy(); }

  int ModalResult() const { return modalResult_; }
  ShapedDialog& Shaped() { return shaped_; }
  PopupMenu& Menu() { return menu_; }
  ToolTip& Tips() { return tips_; }
  int LastMenuCommand() const { return lastMenuCommand_; }

  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    switch (msg) {
      case WM_COMMAND:
        OnCommand(static_cast<int>(LowWord(w)));
        return 0;
      case WM_RBUTTONUP:
        menu_.Track(popup_, {GetXLParam(l), GetYLParam(l)}, *this);
        return 0;
      case WM_CLOSE:
        EventLoop::Current()->Quit(0);
        return 0;
      default:
        return Dialog::WindowProc(msg, w, l);
    }
  }

  void OnPaint(PaintContext& pc) override {
    Dialog::OnPaint(pc);
    const auto font = Font::Default();
    if (!font) return;
    // Laid-out text: word breaks, a word ellipsis and the measured box.
    const Rect panel{460, 100, 780, 260};
    pc.Fill(panel, SystemColours::kWindow);
    DrawFrame(pc, panel, SystemColours::kShadow);
    Rect text = panel.Offset(pc.Origin().x + 6, pc.Origin().y + 6);
    text.right -= 12;
    const std::string sample =
        "줄바꿈 시험: 긴 문장은 단어 사이에서 나뉩니다. 너무긴단어는글자사이에서나뉘거나말줄임표로줄어듭니다.";
    Rect measured = text;
    const int height = tovrik::controls::DrawText(pc.Target(), *font, sample, measured, DT_WORDBREAK | DT_CALCRECT, {});
    tovrik::controls::DrawText(pc.Target(), *font, sample, text, DT_WORDBREAK, SystemColours::kText, pc.Clip());
    Rect ellipsis = Rect::FromSize(text.left, text.top + height + 8, text.Width(), 40);
    tovrik::controls::DrawText(pc.Target(), *font, sample, ellipsis, DT_WORDBREAK | DT_WORD_ELLIPSIS, {160, 0, 0}, pc.Clip());
    DrawFrame(pc, {20, 280, 780, 540}, SystemColours::kShadow);
  }

  ChatView& Chat() { return *dynamic_cast<ChatView*>(GetDlgItem(kChat)); }
  ChatInput& Input() { return input_; }
  ComboBox& Level() { return *dynamic_cast<ComboBox*>(GetDlgItem(kLevel)); }
  ListView& Muted() { return *dynamic_cast<ListView*>(GetDlgItem(kMuted)); }

 protected:
  bool OnInitDialog() override {
    if (auto menu = LoadMenuResource(235, programDir_); menu && !menu->popups.empty()) {
      popup_ = menu->popups[0];
    } else {
      popup_.Append(1036, "참여자 정보");
      popup_.Append(1030, "참여하기");
    }
    popup_.AppendSeparator();
    popup_.Append(kMenuSecret, "비밀방", 0);
    popup_.Append(9999, "흐린 항목", MF_GRAYED);
    shaped_.CreateModeless(this, Point{500, 300});
    shaped_.ShowWindow(false);
    tips_.AddTool(*GetDlgItem(kOpenModal), "Enter, Esc, Tab을 시험하는 모달 대화상자를 엽니다");
    tips_.AddTool(*GetDlgItem(kSecret), "확인란: 누를 때마다 바뀝니다");
    GetDlgItem(kModeNormal)->SendMessage(BM_SETCHECK, BST_CHECKED);
    FillTextControls();
    return true;
  }
  Window* ProvideControl(const ControlSpec& spec) override { return spec.id == kChatInput ? &input_ : nullptr; }
  void OnCancel() override { EventLoop::Current()->Quit(0); }
  void OnOK() override {}

 private:
  void OnCommand(int id) {
    switch (id) {
      case kOpenModal: {
        Dialog modal(kModal);
        modalResult_ = modal.DoModal(this);
        SetStatus(modalResult_ == IDOK ? "모달 대화상자: 확인" : "모달 대화상자: 취소");
        break;
      }
      case kShowShaped:
        shaped_.ShowWindow(true);
        shaped_.BringWindowToTop();
        break;
      case kQuit:
        EventLoop::Current()->Quit(0);
        break;
      case IDCANCEL:
        OnCancel();
        break;
      default:
        lastMenuCommand_ = id;
        SetStatus("명령 " + std::to_string(id));
        if (id == kMenuSecret) {
          auto* box = GetDlgItem(kSecret);
          box->SendMessage(BM_SETCHECK, box->SendMessage(BM_GETCHECK) ? BST_UNCHECKED : BST_CHECKED);
        }
        if (id == kSecret || id == kMenuSecret)
          popup_.CheckMenuItem(kMenuSecret, GetDlgItem(kSecret)->SendMessage(BM_GETCHECK) ? MF_CHECKED : 0);
        break;
    }
  }
  void FillTextControls() {
    auto cp = [](std::string_view utf8) { return tovrik::base::Utf8ToCp949(utf8); };
    ChatView& chat = Chat();
    chat.SetLineLimit(90);
    chat.Append(cp("[서버 알림] 대화 창은 90줄까지 보여 주고, 위로 올려 두면 그 자리를 지킵니다.\n"), {200, 0, 0}, true);
    chat.Append(cp("손님> "), {0, 0, 0});
    chat.Append(cp("안녕하세요, 긴 줄은 단어 사이에서 나뉘어 창의 폭에 맞춰집니다. 끌어서 고르고 Ctrl+C로 복사하세요.\n"),
                {0, 0, 110});
    input_.LimitText(30);
    input_.SetBorder(true);
    input_.onSend = [this](const std::string& line) { Chat().Append("> " + line + "\n", {0, 0, 0}); };
    if (auto* password = dynamic_cast<Edit*>(GetDlgItem(kPassword))) password->SetBorder(true);
    for (int level = 0; level < 15; ++level) Level().AddString(cp("레벨 ") + std::to_string(level + 1));
    Level().SetCurSel(0);
    if (auto* names = dynamic_cast<ComboBox*>(GetDlgItem(kNickname)))
      for (const char* name : {"고수", "초보", "손님", "alice", "bob"}) names->AddString(cp(name));
    if (auto* amounts = dynamic_cast<ListBox*>(GetDlgItem(kAmounts)))
      for (int amount = 100; amount <= 1500; amount += 100) amounts->AddString(std::to_string(amount));
    ListView& muted = Muted();
    muted.SetCheckBoxes(true);
    muted.InsertColumn(0, "NickName", 110);
    muted.InsertColumn(1, "ID", 50);
    for (const char* name : {"고수", "손님"}) muted.SetItemText(muted.InsertItem(-1, cp(name)), 1, "id");
  }
  void SetStatus(const std::string& text) {
    if (auto* status = dynamic_cast<Control*>(GetDlgItem(kStatus))) status->SetWindowText(text);
  }

  std::filesystem::path programDir_;
  ShapedDialog shaped_;
  PopupMenu menu_;
  ToolTip tips_;
  ChatInput input_;
  Popup popup_;
  int modalResult_ = 0;
  int lastMenuCommand_ = 0;
};

int Check(EventLoop& loop, DemoDialog& demo, const std::filesystem::path& dir) {
  Automation automation(loop);
  std::filesystem::create_directories(dir);
  int failures = 0;
  auto expect = [&](bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) ++failures;
  };
  automation.Settle();
  expect(automation.SaveFrame(dir / "controls-main.bmp"), "main picture saved");

  automation.Click({30, 110});
  expect(demo.GetDlgItem(kSecret)->SendMessage(BM_GETCHECK) == BST_CHECKED, "the check box checks");
  automation.Click({30, 184});
  expect(demo.GetDlgItem(kModeFree)->SendMessage(BM_GETCHECK) == BST_CHECKED &&
             demo.GetDlgItem(kModeNormal)->SendMessage(BM_GETCHECK) == BST_UNCHECKED,
         "the radio group moves its check");

  // The modal dialog: Tab to Cancel, then Enter chooses Cancel.
  bool modalSaved = false;
  automation.AnswerModalWhen(0, [&] {
    loop.PaintNow();
    modalSaved = automation.SaveFrame(dir / "controls-modal.bmp");
    automation.PressKey(VK_TAB);
    automation.PressKey(VK_RETURN);
    return true;
  });
  automation.Click({95, 64});
  expect(modalSaved && demo.ModalResult() == IDCANCEL, "Tab and Enter in the modal dialog chose Cancel");

  automation.Click({255, 64});
  automation.Settle();
  const Rect before = demo.Shaped().GetWindowRect();
  automation.Drag({before.left + 100, before.top + 40}, {before.left + 40, before.top + 10});
  const Rect after = demo.Shaped().GetWindowRect();
  expect(after.left == before.left - 60 && after.top == before.top - 30, "the shaped dialog was dragged");
  expect(loop.WindowFromPoint({after.left + 1, after.top + 1}) == &demo, "a cut corner of the shaped dialog lets the mouse through");

  automation.Click({620, 200}, MouseButton::Right);
  automation.Settle();
  expect(demo.Menu().IsOpen(), "a right click opens the menu");
  loop.PaintNow();
  expect(automation.SaveFrame(dir / "controls-menu.bmp"), "menu picture saved");
  const Rect first = demo.Menu().ItemScreenRect(0);
  automation.Click({first.left + 10, first.top + 5});
  automation.Settle();
  expect(!demo.Menu().IsOpen() && demo.LastMenuCommand() != 0, "choosing an item sent its command");

  automation.MoveMouse({60, 64});
  expect(automation.WaitUntil([&] { return demo.Tips().IsShown(); }, 3000), "the tooltip shows after resting");
  loop.PaintNow();
  expect(automation.SaveFrame(dir / "controls-tooltip.bmp"), "tooltip picture saved");
  automation.MoveMouse({300, 420});
  expect(!demo.Tips().IsShown(), "the tooltip hides on leaving");

  // The text controls: composing and sending a line, a combo's list, a check.
  demo.Shaped().ShowWindow(false);
  automation.Click({40, 474});
  automation.TypeText("hi ");
  automation.ComposeAndCommit({"ㅎ", "하", "한"}, "한");
  expect(demo.Input().GetTextUtf8() == "hi 한", "the chat input takes typing and composition");
  automation.PressKey(VK_RETURN);
  const ChatView& chat = demo.Chat();
  expect(chat.GetLine(chat.GetLineCount() - 1) == tovrik::base::Utf8ToCp949("> hi 한"), "Enter sent the line to the chat view");
  automation.Click({580, 318});
  expect(demo.Level().GetDroppedState(), "the combo box drops its list");
  loop.PaintNow();
  expect(automation.SaveFrame(dir / "controls-text.bmp"), "text controls picture saved");
  const ListBox& list = demo.Level().GetList();
  const Rect rows = list.GetScreenRect();
  automation.Click({rows.left + 20, rows.top + 1 + list.ItemHeight() * 2 + list.ItemHeight() / 2});
  expect(!demo.Level().GetDroppedState() && demo.Level().GetCurSel() == 2, "a click in the list picks the item");
  const Rect box = demo.Muted().CheckBoxRect(1);
  const Rect view = demo.Muted().GetScreenRect();
  automation.Click({view.left + box.left + 3, view.top + box.top + 3});
  expect(demo.Muted().GetCheck(1), "a click on a row's box checks it");
  return failures == 0 ? 0 : 1;
}

std::filesystem::path ProgramDir() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::current_path() : exe.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path checkDir;
  if (argc == 3 && std::string(argv[1]) == "--check") checkDir = argv[2];

  std::string error;
  auto sdl = SdlSession::Start(&error);
  if (!sdl) {
    std::fprintf(stderr, "SDL could not start: %s\n", error.c_str());
    return 2;
  }
  EventLoop loop;
  auto screen = Screen::Open("Tovrik controls demo", kWidth, kHeight, &error);
  if (!screen) {
    std::fprintf(stderr, "No window: %s\n", error.c_str());
    return 2;
  }
  loop.AttachScreen(screen.get());
  DemoDialog demo(ProgramDir());
  if (!demo.CreateModeless(nullptr, Point{0, 0})) return 2;
  const int result = checkDir.empty() ? loop.Run() : Check(loop, demo, checkDir);
  loop.AttachScreen(nullptr);
  return result;
}
