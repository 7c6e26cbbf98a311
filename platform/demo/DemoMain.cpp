// A small program that shows what the platform layer does: the 800 x 600
// window with a test picture, Korean text on a 16-bit and an 8-bit page, a
// line that takes Korean input, a game-clock counter that keeps running while
// a modal box is open, and the caption-bar drag.
//
//   tovrik_platform_demo                 opens the window (Esc quits)
//   tovrik_platform_demo --check DIR     drives it headless, saves frames in
//                                        DIR and exits 0 when all went well

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/CodePage.h"
#include "platform/Automation.h"
#include "platform/Cursors.h"
#include "platform/EventLoop.h"
#include "platform/MessageBox.h"
#include "platform/Screen.h"
#include "platform/SdlSession.h"
#include "platform/Text.h"
#include "platform/TickSource.h"

namespace {

using namespace tovrik::platform;
using tovrik::base::Cp949Characters;
using tovrik::base::Cp949ToUtf8;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kOpenBoxButton = 1001;
constexpr int kBoxOkButton = IDOK;
constexpr std::uintptr_t kClockTick = TickSource::kTimerId;

const RgbColor kWhite{255, 255, 255};
const RgbColor kBlack{0, 0, 0};

// A flat push button that sends WM_COMMAND with its id to its parent.
class PushButton : public Window {
 public:
  explicit PushButton(std::string label) : label_(std::move(label)) {}
  ~PushButton() override { Destroy(); }

  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    switch (msg) {
      case WM_LBUTTONDOWN:
        pressed_ = true;
        SetCapture();
        Invalidate();
        return 0;
      case WM_LBUTTONUP: {
        const bool inside = GetClientRect().Contains({GetXLParam(l), GetYLParam(l)});
        const bool wasPressed = pressed_;
        pressed_ = false;
        EventLoop::Current()->ReleaseCapture();
        Invalidate();
        if (wasPressed && inside && Parent()) Parent()->SendMessage(WM_COMMAND, static_cast<WParam>(Id()), 0);
        return 0;
      }
      default:
        return Window::WindowProc(msg, w, l);
    }
  }
  void OnPaint(PaintContext& pc) override {
    const Rect r = GetClientRect();
    pc.Fill(r, pressed_ ? RgbColor{40, 60, 120} : RgbColor{70, 100, 180});
    pc.Fill({r.left, r.top, r.right, r.top + 1}, kWhite);
    pc.Fill({r.left, r.bottom - 1, r.right, r.bottom}, kBlack);
    if (auto font = Font::DefaultBold())
      DrawText(pc.Target(), *font, label_, r.Offset(pc.Origin().x, pc.Origin().y),
               DT_CENTER | DT_VCENTER | DT_SINGLELINE, kWhite, pc.Clip());
  }

 private:
  std::string label_;
  bool pressed_ = false;
};

// The demo's message box: a dialog composited in the main window, run
// modally through the event loop so that the clock keeps ticking behind it.
class MessageDialog : public Window {
 public:
  explicit MessageDialog(std::string text) : text_(std::move(text)), ok_("확인") {}
  ~MessageDialog() override { Destroy(); }

  int DoModal(Window& parent) {
    Create(&parent, Rect::FromSize(0, 0, 360, 150));
    CenterInParent();
    ok_.Create(this, Rect::FromSize(130, 100, 100, 32), kBoxOkButton);
    SetFocus();
    const int result = EventLoop::Current()->RunModal(*this);
    Destroy();
    return result;
  }

  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    if ((msg == WM_COMMAND && (w == static_cast<WParam>(IDOK) || w == static_cast<WParam>(IDCANCEL))) ||
        (msg == WM_KEYDOWN && (w == VK_RETURN || w == VK_ESCAPE))) {
      const int result = msg == WM_COMMAND ? static_cast<int>(w) : (w == VK_RETURN ? IDOK : IDCANCEL);
      EventLoop::Current()->EndModal(*this, result);
      return 0;
    }
    return Window::WindowProc(msg, w, l);
  }
  void OnPaint(PaintContext& pc) override {
    const Rect r = GetClientRect();
    pc.Fill(r, {30, 30, 40});
    pc.Fill({r.left + 2, r.top + 2, r.right - 2, r.top + 26}, {90, 40, 40});
    const Point o = pc.Origin();
    if (auto bold = Font::DefaultBold())
      TextOut(pc.Target(), *bold, o.x + 10, o.y + 6, "알림", kWhite, pc.Clip());
    if (auto font = Font::Default())
      DrawText(pc.Target(), *font, text_, Rect{10, 40, r.right - 10, 90}.Offset(o.x, o.y),
               DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS, kWhite, pc.Clip());
  }

 private:
  std::string text_;
  PushButton ok_;
};

// One line of typed text: committed characters arrive as WM_CHAR in code
// page 949, the syllable being composed as WM_IME_COMPOSITION.
class InputLine : public Window {
 public:
  ~InputLine() override { Destroy(); }
  const std::string& TextCp949() const { return text_; }

  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    switch (msg) {
      case WM_LBUTTONDOWN:
        SetFocus();
        return 0;
      case WM_SETFOCUS:
        SetCaretRect(Rect::FromSize(4, 4, 12, 16));
        Invalidate();
        return 0;
      case WM_IME_COMPOSITION:
        if (l & GCS_COMPSTR) {
          composing_.clear();
          if (w > 0xFF) composing_ += static_cast<char>(w >> 8);
          composing_ += static_cast<char>(w & 0xFF);
          Invalidate();
          return 0;
        }
        break;
      case WM_IME_ENDCOMPOSITION:
        composing_.clear();
        Invalidate();
        return 0;
      case WM_CHAR:
        if (w == 0x08) {
          // Remove one whole character, double-byte ones included.
          auto chars = Cp949Characters(text_);
          if (!chars.empty()) text_.resize(text_.size() - (chars.back() > 0xFF ? 2 : 1));
        } else if (w >= 0x20) {
          text_ += static_cast<char>(w & 0xFF);
          if (w > 0xFF) text_ += static_cast<char>(w >> 8);
        }
        Invalidate();
        return 0;
      default:
        break;
    }
    return Window::WindowProc(msg, w, l);
  }
  void OnPaint(PaintContext& pc) override {
    const Rect r = GetClientRect();
    pc.Fill(r, kWhite);
    auto font = Font::Default();
    if (!font) return;
    const Point o = pc.Origin();
    const std::string shown = Cp949ToUtf8(text_);
    TextOut(pc.Target(), *font, o.x + 4, o.y + 4, shown, kBlack, pc.Clip());
    const int x = 4 + font->Extent(shown).width;
    if (!composing_.empty()) {
      const std::string syllable = Cp949ToUtf8(composing_);
      pc.Fill(Rect::FromSize(x, 3, font->Extent(syllable).width, 16), {0, 0, 128});
      TextOut(pc.Target(), *font, o.x + x, o.y + 4, syllable, kWhite, pc.Clip());
    } else if (EventLoop::Current()->GetFocus() == this) {
      pc.Fill(Rect::FromSize(x, 3, 1, 16), kBlack);
    }
  }

 private:
  std::string text_;
  std::string composing_;
};

class DemoWindow : public Window {
 public:
  DemoWindow() : openBox_("메시지 상자 열기") {
    palette_ = {};
    for (int i = 0; i < 256; ++i) palette_[i] = {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i / 2)};
    page8_.assign(256 * 64, 0);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 256; ++x) page8_[y * 256 + x] = static_cast<std::uint8_t>(x);
    if (auto font = Font::Default()) TextOut(Page8(), *font, 8, 24, "8비트 페이지의 한글", {255, 255, 255});
  }
  ~DemoWindow() override { Destroy(); }

  bool Open() {
    if (!Create(nullptr, Rect::FromSize(0, 0, kWidth, kHeight))) return false;
    openBox_.Create(this, Rect::FromSize(340, 430, 140, 32), kOpenBoxButton);
    input_.Create(this, Rect::FromSize(40, 500, 400, 24), 2);
    input_.SetFocus();
    SetTimer(1, 1000);
    return true;
  }
  int Ticks() const { return ticks_; }
  int BoxesAnswered() const { return answered_; }
  int LastAnswer() const { return lastAnswer_; }
  bool BoxOpen() const { return boxOpen_; }
  const InputLine& Input() const { return input_; }

  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    switch (msg) {
      case WM_TIMER:
        if (w == kClockTick) ++ticks_;
        if (w == 1) ++seconds_;
        Invalidate();
        return 0;
      case WM_COMMAND:
        if (w == kOpenBoxButton && !boxOpen_) {
          // Guarded: a second click while the box is open does nothing.
          boxOpen_ = true;
          MessageDialog box("모달 상자가 열려 있어도 시계는 계속 갑니다.");
          lastAnswer_ = box.DoModal(*this);
          boxOpen_ = false;
          ++answered_;
          Invalidate();
        }
        return 0;
      case WM_LBUTTONDOWN:
        if (GetYLParam(l) < 28) PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, l);
        return 0;
      case WM_KEYDOWN:
        if (w == VK_ESCAPE) EventLoop::Current()->Quit(0);
        return 0;
      case WM_CLOSE:
        EventLoop::Current()->Quit(0);
        return 0;
      default:
        return Window::WindowProc(msg, w, l);
    }
  }

  void OnPaint(PaintContext& pc) override {
    // Caption bar, colour bars, a grey ramp, and the 8-bit page.
    pc.Fill({0, 0, kWidth, 28}, {20, 40, 90});
    const RgbColor bars[] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                             {255, 0, 255},   {255, 0, 0},   {0, 0, 255},   {0, 0, 0}};
    for (int i = 0; i < 8; ++i) pc.Fill(Rect::FromSize(i * 100, 28, 100, 150), bars[i]);
    for (int x = 0; x < kWidth; ++x) {
      const auto v = static_cast<std::uint8_t>(x * 255 / (kWidth - 1));
      pc.Fill(Rect::FromSize(x, 178, 1, 40), {v, v, v});
    }
    pc.Fill({0, 218, kWidth, kHeight}, {40, 40, 48});
    pc.Blit(40, 340, Page8());
    auto font = Font::Default();
    auto bold = Font::DefaultBold();
    if (!font || !bold) return;
    const PixelView& t = pc.Target();
    TextOut(t, *bold, 10, 7, "플랫폼 시험 화면 — 제목 표시줄을 끌면 창이 움직입니다", kWhite, pc.Clip());
    TextOut(t, *bold, 40, 240, "한글 표시 시험: 가나다라마바사아자차카타파하", {255, 255, 200}, pc.Clip());
    TextOut(t, *font, 40, 262, "굴림체 12픽셀 → 나눔고딕코딩, 굴림체 14픽셀 굵게 → 나눔고딕코딩 굵게", kWhite, pc.Clip());
    DrawText(t, *font, "가운데 정렬된 아주 긴 문장은 상자를 넘으면 말줄임표로 끝납니다", {480, 340, 760, 404},
             DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS, {130, 200, 255}, pc.Clip());
    char line[160];
    std::snprintf(line, sizeof line, "게임 시계 틱: %d   초: %d   답한 상자: %d (마지막 답 %d)", ticks_, seconds_,
                  answered_, lastAnswer_);
    TextOut(t, *font, 40, 300, line, {180, 255, 180}, pc.Clip());
    TextOut(t, *font, 40, 480, "입력 줄 (한글 입력 가능):", kWhite, pc.Clip());
  }

 private:
  PixelView Page8() { return {page8_.data(), 256, 64, 256, PixelFormat::Indexed8, &palette_}; }

  PushButton openBox_;
  InputLine input_;
  Palette palette_;
  std::vector<std::uint8_t> page8_;
  int ticks_ = 0;
  int seconds_ = 0;
  int answered_ = 0;
  int lastAnswer_ = 0;
  bool boxOpen_ = false;
};

int Check(EventLoop& loop, DemoWindow& demo, const std::filesystem::path& dir) {
  Automation automation(loop);
  std::filesystem::create_directories(dir);
  int failures = 0;
  auto expect = [&](bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) ++failures;
  };
  automation.Settle();
  expect(automation.SaveFrame(dir / "demo-main.bmp"), "main picture saved");
  automation.Click({60, 510});
  automation.ComposeAndCommit({"ㅎ", "하", "한"}, "한");
  automation.ComposeAndCommit({"ㄱ", "그", "글"}, "글");
  automation.TypeText(" ok");
  expect(Cp949ToUtf8(demo.Input().TextCp949()) == "한글 ok", "Korean input reached the line in order");
  // The box is answered from inside its modal run, once the game clock has
  // ticked five times behind it and the frame with the box is saved.
  int ticksAtOpen = -1;
  bool boxFrameSaved = false;
  automation.AnswerModalWhen(IDOK, [&] {
    if (ticksAtOpen < 0) ticksAtOpen = demo.Ticks();
    if (demo.Ticks() < ticksAtOpen + 5) return false;
    loop.PaintNow();
    boxFrameSaved = automation.SaveFrame(dir / "demo-box.bmp");
    return true;
  });
  automation.Click({400, 446});  // the button that opens the box
  expect(automation.WaitUntil([&] { return demo.BoxesAnswered() == 1 && !demo.BoxOpen(); }, 3000),
         "modal box opened, answered and closed");
  expect(ticksAtOpen >= 0 && demo.Ticks() >= ticksAtOpen + 5, "game clock ticked while the box was open");
  expect(boxFrameSaved, "frame with the box saved");
  expect(demo.LastAnswer() == IDOK, "the box returned OK");
  return failures == 0 ? 0 : 1;
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
  auto screen = Screen::Open("Tovrik platform demo", kWidth, kHeight, &error);
  if (!screen) {
    std::fprintf(stderr, "No window: %s\n", error.c_str());
    return 2;
  }
  loop.AttachScreen(screen.get());
  CursorSet cursors(std::filesystem::current_path());
  loop.AttachCursors(&cursors);

  DemoWindow demo;
  if (!demo.Open()) return 2;
  TickSource clock(loop, demo.Handle());
  clock.Start();

  const int result = checkDir.empty() ? loop.Run() : Check(loop, demo, checkDir);
  clock.Stop();
  loop.AttachCursors(nullptr);
  loop.AttachScreen(nullptr);
  return result;
}
