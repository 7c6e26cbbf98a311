#include "ui/BmpRadioBtn.h"

#include "platform/EventLoop.h"

namespace tovrik::ui {
using platform::LParam;
using platform::LResult;
using platform::MsgId;
using platform::Rect;
using platform::WParam;

CBmpRadioBtn::~CBmpRadioBtn() {
  Unlink();
  Destroy();
}

void CBmpRadioBtn::Unlink() {
  if (previous_) previous_->next_ = next_;
  if (next_) next_->previous_ = previous_;
  previous_ = next_ = nullptr;
}

void CBmpRadioBtn::Init(int x, int y, std::string_view checkedPath, std::string_view uncheckedPath,
                        platform::Window* target) {
  images_[1].LoadBitmapFile(checkedPath);
  images_[0].LoadBitmapFile(uncheckedPath);
  target_ = target ? target->Handle() : platform::WindowHandle::None;
  Button::SetCheck(0);
  MoveWindow(Rect::FromSize(x, y, images_[1].GetWidth(), images_[1].GetHeight()));
}

void CBmpRadioBtn::AddToGroup(CBmpRadioBtn& button) {
  if (&button == this) return;
  button.Unlink();
  button.previous_ = this;
  button.next_ = next_;
  if (next_) next_->previous_ = &button;
  next_ = &button;
}

template <typename Visit>
void CBmpRadioBtn::ForEachOther(Visit visit) {
  int steps = 0;
  for (CBmpRadioBtn* b = previous_; b && b != this && steps < kMaxLinks; b = b->previous_, ++steps) visit(*b);
  steps = 0;
  for (CBmpRadioBtn* b = next_; b && b != this && steps < kMaxLinks; b = b->next_, ++steps) visit(*b);
}

void CBmpRadioBtn::SetCheck(int check) {
  Button::SetCheck(check ? 1 : 0);
  Invalidate();
}

void CBmpRadioBtn::GroupCheck(int check) {
  SetCheck(check);
  ForEachOther([check](CBmpRadioBtn& b) { b.SetCheck(check); });
}

void CBmpRadioBtn::SelectInGroup() {
  ForEachOther([](CBmpRadioBtn& b) { b.SetCheck(0); });
  SetCheck(1);
  if (platform::EventLoop* loop = platform::EventLoop::Current())
    loop->SendMessage(target_, platform::WM_COMMAND, static_cast<WParam>(Id()), static_cast<LParam>(Handle()));
}

LResult CBmpRadioBtn::WindowProc(MsgId msg, WParam w, LParam l) {
  switch (msg) {
    case platform::WM_LBUTTONDOWN:
      if (GetClientRect().Contains({platform::GetXLParam(l), platform::GetYLParam(l)})) SelectInGroup();
      return 0;
    case platform::WM_LBUTTONUP:
    case platform::WM_LBUTTONDBLCLK:
    case platform::WM_KEYDOWN:
    case platform::WM_KEYUP:
      return 0;
    default:
      return Button::WindowProc(msg, w, l);
  }
}

void CBmpRadioBtn::OnPaint(platform::PaintContext& pc) { images_[GetCheck() ? 1 : 0].BitBlt(pc); }

}  // namespace tovrik::ui
