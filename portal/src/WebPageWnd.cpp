#include "portal/WebPageWnd.h"

#include "base/CodePage.h"
#include "platform/EventLoop.h"
#include "portal/SSOWebLib.h"

using namespace tovrik::platform;

namespace tovrik::portal {

CWebPageWnd::~CWebPageWnd() { Destroy(); }

bool CWebPageWnd::Refresh() {
  library_.Pump();
  Rect client = GetClientRect();
  if (client.Width() != width_ || client.Height() != height_) {
    width_ = client.Width();
    height_ = client.Height();
    pixels_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0x7FFF);
  }
  auto copy = library_.Find<SSOWebNEW_CopyPixels_t>("SSOWebNEW_CopyPixels");
  if (!copy || pixels_.empty() || copy(browser_, pixels_.data(), width_, height_, width_ * 2) != 1) return false;
  hasPixels_ = true;
  return true;
}

unsigned CWebPageWnd::Modifiers() const {
  EventLoop* loop = EventLoop::Current();
  if (!loop) return 0;
  unsigned modifiers = 0;
  if (loop->IsKeyDown(VK_SHIFT)) modifiers |= SSO_MOD_SHIFT;
  if (loop->IsKeyDown(VK_CONTROL)) modifiers |= SSO_MOD_CONTROL;
  if (loop->IsKeyDown(VK_MENU)) modifiers |= SSO_MOD_ALT;
  if (loop->IsKeyDown(VK_LBUTTON)) modifiers |= SSO_MOD_LEFT_HELD;
  if (loop->IsKeyDown(VK_RBUTTON)) modifiers |= SSO_MOD_RIGHT_HELD;
  return modifiers;
}

void CWebPageWnd::SendMouse(int kind, LParam l, int button) {
  if (auto mouse = library_.Find<SSOWebNEW_Mouse_t>("SSOWebNEW_Mouse"))
    mouse(browser_, kind, GetXLParam(l), GetYLParam(l), button, Modifiers());
}

LResult CWebPageWnd::WindowProc(MsgId msg, WParam w, LParam l) {
  switch (msg) {
    case WM_CREATE:
      SetTimer(kPumpTimer, kPumpPeriodMs);
      break;
    case WM_TIMER:
      if (w == kPumpTimer) {
        if (Refresh()) Invalidate();
        return 0;
      }
      break;
    case WM_MOUSEMOVE: SendMouse(0, l, 0); return 0;
    case WM_LBUTTONDOWN:
      SetCapture();
      SendMouse(1, l, 1);
      SetFocus();
      return 0;
    case WM_LBUTTONUP:
      if (EventLoop* loop = EventLoop::Current(); loop && loop->GetCapture() == this) loop->ReleaseCapture();
      SendMouse(2, l, 1);
      return 0;
    case WM_LBUTTONDBLCLK: SendMouse(3, l, 1); return 0;
    case WM_RBUTTONDOWN: SendMouse(1, l, 3); return 0;
    case WM_RBUTTONUP: SendMouse(2, l, 3); return 0;
    case WM_MOUSELEAVE: SendMouse(5, l, 0); return 0;
    case WM_MOUSEWHEEL: {
      Point at = ScreenToClient({GetXLParam(l), GetYLParam(l)});
      int delta = static_cast<std::int16_t>((w >> 16) & 0xFFFF);
      SendMouse(4, MakeLParam(at.x, at.y), delta > 0 ? 1 : -1);
      return 0;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (auto key = library_.Find<SSOWebNEW_Key_t>("SSOWebNEW_Key"))
        key(browser_, msg == WM_KEYDOWN ? 1 : 0, static_cast<unsigned>(w), Modifiers());
      return 0;
    case WM_CHAR: {
      // One code page 949 character: a byte, or lead | trail << 8.
      std::string cp949(1, static_cast<char>(w & 0xFF));
      if (w > 0xFF) cp949 += static_cast<char>((w >> 8) & 0xFF);
      if (static_cast<unsigned char>(cp949[0]) < 0x20) return 0;  // control keys went as keys
      if (auto text = library_.Find<SSOWebNEW_Text_t>("SSOWebNEW_Text"))
        text(browser_, tovrik::base::Cp949ToUtf8(cp949).c_str());
      return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (auto focus = library_.Find<SSOWebNEW_Focus_t>("SSOWebNEW_Focus")) focus(browser_, msg == WM_SETFOCUS);
      return 0;
    default: break;
  }
  return Window::WindowProc(msg, w, l);
}

void CWebPageWnd::OnPaint(PaintContext& pc) {
  if (!hasPixels_) {
    pc.Fill(GetClientRect(), {0xFF, 0xFF, 0xFF});
    return;
  }
  PixelView view{pixels_.data(), width_, height_, width_ * 2, PixelFormat::Rgb555, nullptr};
  pc.Blit(0, 0, view);
}

}  // namespace tovrik::portal
