#include "ui/CheckButton.h"

#include "platform/EventLoop.h"

namespace tovrik::ui {
using platform::LParam;
using platform::LResult;
using platform::MsgId;
using platform::Rect;
using platform::WParam;

void CCheckButton::Init(int x, int y, std::string_view checkedPath, std::string_view uncheckedPath,
                        platform::Window* target, int value) {
  images_[1].LoadBitmapFile(checkedPath);
  images_[0].LoadBitmapFile(uncheckedPath);
  x_ = x;
  y_ = y;
  value_ = value;
  target_ = target ? target->Handle() : platform::WindowHandle::None;
  SetCheck(0);
  MoveWindow(Rect::FromSize(x, y, images_[1].GetWidth(), images_[1].GetHeight()));
}

void CCheckButton::SetCheck(int check) {
  Button::SetCheck(check ? 1 : 0);
  Invalidate();
}

void CCheckButton::SetSizeToBmp() {
  const Rect at = GetWindowRect();
  MoveWindow(Rect::FromSize(at.left, at.top, images_[1].GetWidth(), images_[1].GetHeight()));
}

LResult CCheckButton::WindowProc(MsgId msg, WParam w, LParam l) {
  switch (msg) {
    case platform::WM_LBUTTONDOWN:
      if (GetClientRect().Contains({platform::GetXLParam(l), platform::GetYLParam(l)})) {
        SetCheck(!GetCheck());
        if (platform::EventLoop* loop = platform::EventLoop::Current())
          loop->SendMessage(target_, platform::WM_COMMAND, static_cast<WParam>(Id()), static_cast<LParam>(Handle()));
      }
      return 0;
    // The image is the whole look: no pushed state, no keyboard clicks.
    case platform::WM_LBUTTONUP:
    case platform::WM_LBUTTONDBLCLK:
    case platform::WM_KEYDOWN:
    case platform::WM_KEYUP:
      return 0;
    default:
      return Button::WindowProc(msg, w, l);
  }
}

void CCheckButton::OnPaint(platform::PaintContext& pc) { images_[GetCheck() ? 1 : 0].BitBlt(pc); }

}  // namespace tovrik::ui
