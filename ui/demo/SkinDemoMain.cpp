// A window that shows the skinned controls over the generated artwork: the
// lobby background with four-state bitmap buttons (one flashing, one with
// its fixed disabled image), bitmap check boxes and a radio group, the chat
// view with its skinned scroll bar, the flat combo box that completes what
// is typed, a tooltip, and a sprite-skinned dialog with sprite buttons that
// is dragged by its background.
//
//   tovrik_ui_demo                 opens the window (Esc quits); run it in
//                                  the runtime folder, where the artwork is
//   tovrik_ui_demo --check DIR     drives it headless, saves frames in DIR
//                                  and exits 0 when all went well

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "base/CodePage.h"
#include "platform/Automation.h"
#include "platform/EventLoop.h"
#include "platform/PathResolver.h"
#include "platform/Screen.h"
#include "platform/SdlSession.h"
#include "platform/Text.h"
#include "ui/BmpRadioBtn.h"
#include "ui/CJFlatComboBox.h"
#include "ui/CheckButton.h"
#include "ui/DialogHelper.h"
#include "ui/GrpChatEdit.h"
#include "ui/KHSToolTip.h"
#include "ui/MyBitmap.h"
#include "ui/MyButton.h"

namespace {

using namespace tovrik::platform;
using namespace tovrik::ui;
using tovrik::base::Utf8ToCp949;

constexpr int kWidth = 800;
constexpr int kHeight = 600;

enum : int {
  kQuickStart = 1001,
  kCreateRoom,
  kGameItem,
  kChannel,
  kShowSkin,
  kCheckFirst = 1010,
  kRadioFirst = 1020,
  kChatView = 1030,
  kCombo = 1031,
  kSkinClose = 2001,
  kSkinHello = 2002,
};

// The sprite-skinned dialog: its skin takes the messages first.
class SkinDialog : public Window {
 public:
  ~SkinDialog() override { Destroy(); }
  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    if (skin.MessageProc(msg, w, l)) return 0;
    if (msg == WM_COMMAND && Parent()) return Parent()->SendMessage(msg, w, l);
    return Window::WindowProc(msg, w, l);
  }
  void OnPaint(PaintContext& pc) override { skin.Draw(pc); }
  CDialogHelper skin;
};

class DemoWindow : public Window {
 public:
  ~DemoWindow() override { Destroy(); }

  bool Open() {
    if (!Create(nullptr, Rect::FromSize(0, 0, kWidth, kHeight))) return false;
    background_.LoadBitmapFile(".\\image\\lobyback.bmp");
    MakeButtons();
    MakeChecks();
    MakeChat();
    MakeCombo();
    MakeSkin();
    return true;
  }

  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    if (msg == WM_COMMAND) {
      // Clicks only; the chat view's and the combo's notifications carry a code.
      if (HighWord(w) == 0) OnCommand(static_cast<int>(LowWord(w)));
      return 0;
    }
    if (msg == WM_KEYDOWN && w == VK_ESCAPE) {
      EventLoop::Current()->Quit(0);
      return 0;
    }
    return Window::WindowProc(msg, w, l);
  }

  void OnPaint(PaintContext& pc) override {
    pc.Fill(GetClientRect(), {40, 40, 60});
    background_.BitBlt(pc);
    if (auto font = Font::Default())
      TextOut(pc.Target(), *font, pc.Origin().x + 20, pc.Origin().y + 575, status_, {255, 255, 255}, pc.Clip());
  }

  int Commands(int id) const { return id >= 0 && id < 3000 ? counts_[static_cast<std::size_t>(id)] : 0; }
  CMyButton& Button(int i) { return buttons_[static_cast<std::size_t>(i)]; }
  CCheckButton& Check(int i) { return checks_[static_cast<std::size_t>(i)]; }
  CBmpRadioBtn& Radio(int i) { return radios_[static_cast<std::size_t>(i)]; }
  CGrpChatEdit& Chat() { return chat_; }
  CCJFlatComboBox& Combo() { return combo_; }
  SkinDialog& Skin() { return skin_; }

 private:
  void MakeButtons() {
    const char* strips[] = {"image\\lbtn_quickstart.bmp", "image\\lbtn_createroom.bmp", "image\\btn_gameitem.bmp",
                            "image\\lbtn_channel.bmp", "image\\tbtn_refresh.bmp"};
    const Point at[] = {{560, 20}, {560, 90}, {560, 170}, {680, 170}, {560, 210}};
    for (int i = 0; i < 5; ++i) {
      CMyButton& b = Button(i);
      b.Create(this, Rect::FromSize(0, 0, 1, 1), kQuickStart + i);
      b.Init(at[i].x, at[i].y, strips[i], 4, ".\\Sound\\click.wav");
    }
    Button(2).SetFlash(1, 500, "image\\lbtn_channel.bmp");
    Button(3).SetFixImage(3);
    tip_.WndTip(Button(0), Utf8ToCp949("빈 방에 바로 들어갑니다"));
  }

  void MakeChecks() {
    for (int i = 0; i < 2; ++i) {
      CCheckButton& c = Check(i);
      c.Create(this, Rect::FromSize(0, 0, 1, 1), kCheckFirst + i);
      c.Init(560, 260 + 20 * i, ".\\Image\\check01.bmp", ".\\Image\\check00.bmp", this, i);
    }
    for (int i = 0; i < 3; ++i) {
      CBmpRadioBtn& r = Radio(i);
      r.Create(this, Rect::FromSize(0, 0, 1, 1), kRadioFirst + i);
      r.Init(620 + 24 * i, 260, ".\\Image\\obtn_check2.bmp", ".\\Image\\obtn_check1.bmp", this);
      if (i > 0) Radio(0).AddToGroup(r);
    }
    Radio(0).SetCheck(1);
  }

  void MakeChat() {
    chat_.Create(this, Rect::FromSize(20, 380, 500, 180), kChatView);
    chat_.Init({0, 0});
    for (int i = 1; i <= 30; ++i)
      chat_.AppendUtf8("손님" + std::to_string(i) + " : 안녕하세요, 한 판 두실 분?\n", {20, 20, 20}, i % 5 == 0);
  }

  void MakeCombo() {
    combo_.Create(this, Rect::FromSize(560, 320, 150, 20), kCombo);
    for (const char* item : {"입문", "초보", "하수", "중수", "고수", "초고수", "달인"}) combo_.AddStringUtf8(item);
  }

  void MakeSkin() {
    skin_.Create(this, Rect::FromSize(0, 0, 10, 10));
    skin_.skin.Init(&skin_, ".\\data\\MsgDlg_grade.spr");
    skin_.skin.AddButton(".\\data\\BTNClose_Teen.Spr", 105, 180, 0, kSkinClose);
    skin_.MoveWindow(Rect::FromSize(40, 40, skin_.GetWindowRect().Width(), skin_.GetWindowRect().Height()));
  }

  void OnCommand(int id) {
    if (id >= 0 && id < 3000) ++counts_[static_cast<std::size_t>(id)];
    if (id == kSkinClose) skin_.ShowWindow(false);
    if (id == kShowSkin) skin_.ShowWindow(true);
    status_ = "명령 " + std::to_string(id);
    chat_.AppendUtf8("알림 : " + status_ + "\n", {160, 0, 0});
    Invalidate();
  }

  CMyBitmap background_;
  std::array<CMyButton, 5> buttons_;
  std::array<CCheckButton, 2> checks_;
  std::array<CBmpRadioBtn, 3> radios_;
  CGrpChatEdit chat_;
  CCJFlatComboBox combo_{tovrik::controls::ComboStyle::DropDown};
  CKHSToolTip tip_;
  SkinDialog skin_;
  std::array<int, 3000> counts_{};
  std::string status_ = "스킨 컨트롤 시험 화면 — Esc로 끝냅니다";
};

bool Expect(bool ok, const char* what) {
  if (!ok) std::fprintf(stderr, "check failed: %s\n", what);
  return ok;
}

Point Centre(const Window& w) {
  const Rect r = w.GetScreenRect();
  return {r.left + r.Width() / 2, r.top + r.Height() / 2};
}

int Check(EventLoop& loop, DemoWindow& demo, const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  Automation automation(loop);
  bool ok = true;
  automation.Settle();
  ok &= Expect(automation.SaveFrame(dir / "start.bmp"), "first frame saved");

  automation.Click(Centre(demo.Button(0)));
  automation.Settle();
  ok &= Expect(demo.Commands(kQuickStart) == 1, "a click on a bitmap button sends its command");
  automation.Click(Centre(demo.Button(3)));
  automation.Settle();
  ok &= Expect(demo.Commands(kChannel) == 0, "the disabled button sends nothing");

  automation.Click(Centre(demo.Radio(2)));
  ok &= Expect(demo.Radio(2).GetCheck() == 1 && demo.Radio(0).GetCheck() == 0, "the radio group moves");
  automation.Click(Centre(demo.Check(0)));
  ok &= Expect(demo.Check(0).GetCheck() == 1, "the check box toggles");

  const int before = demo.Chat().GetScrollPos();
  automation.Wheel(Centre(demo.Chat()), 120);
  ok &= Expect(demo.Chat().GetScrollPos() < before, "the wheel scrolls the chat up");

  demo.Combo().GetEdit()->SetFocus();
  automation.TypeText("초고");
  ok &= Expect(demo.Combo().GetTextUtf8() == "초고수", "the combo completes what is typed");

  const Point title{demo.Skin().GetScreenRect().left + 150, demo.Skin().GetScreenRect().top + 60};
  automation.Drag(title, {title.x + 30, title.y + 20});
  ok &= Expect(demo.Skin().GetWindowRect().TopLeft() == (Point{70, 60}), "the skinned dialog is dragged");
  automation.Settle();
  ok &= Expect(automation.SaveFrame(dir / "used.bmp"), "frame after use saved");

  CGraphButton* close = demo.Skin().skin.GetDlgItem(kSkinClose);
  const Rect skinRect = demo.Skin().GetScreenRect();
  ok &= Expect(close != nullptr, "the sprite button exists");
  if (close) {
    const Point p = close->GetButtonPoint();
    automation.Click({skinRect.left + p.x + 10, skinRect.top + p.y + 10});
    automation.Settle();
  }
  ok &= Expect(!demo.Skin().IsVisibleFlag(), "the sprite close button hides the dialog");
  ok &= Expect(automation.SaveFrame(dir / "closed.bmp"), "last frame saved");
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path checkDir;
  if (argc == 3 && std::string(argv[1]) == "--check") checkDir = argv[2];
  // The artwork sits beside the program.
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) std::filesystem::current_path(exe.parent_path(), ec);

  std::string error;
  auto sdl = SdlSession::Start(&error);
  if (!sdl) {
    std::fprintf(stderr, "SDL could not start: %s\n", error.c_str());
    return 2;
  }
  EventLoop loop;
  auto screen = Screen::Open("Tovrik skinned controls", kWidth, kHeight, &error);
  if (!screen) {
    std::fprintf(stderr, "No window: %s\n", error.c_str());
    return 2;
  }
  loop.AttachScreen(screen.get());
  DemoWindow demo;
  if (!demo.Open()) return 2;
  const int result = checkDir.empty() ? loop.Run() : Check(loop, demo, checkDir);
  loop.AttachScreen(nullptr);
  return result;
}
