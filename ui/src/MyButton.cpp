#include "ui/MyButton.h"

#include <algorithm>

#include "platform/EventLoop.h"
#include "ui/UiSound.h"

namespace tovrik::ui {
using platform::LParam;
using platform::LResult;
using platform::MsgId;
using platform::Point;
using platform::Rect;
using platform::WParam;

namespace {
enum ResourceImage { kNormalImage = 0, kHoverImage = 1, kPressedImage = 2, kDisabledImage = 3 };
}

void CMyButton::Init(int normalId, int hoverId, int pressedId, int disabledId, std::string_view clickSound) {
  stripMode_ = 0;
  const int ids[4] = {normalId, hoverId, pressedId, disabledId};
  for (std::size_t i = 0; i < resources_.size(); ++i) {
    resources_[i].Release();
    if (ids[i]) resources_[i].LoadBitmapResource(ids[i]);
  }
  clickSound_ = std::string(clickSound);
  const CMyBitmap& normal = resources_[kNormalImage];
  if (normal.IsLoaded()) {
    const Rect at = GetWindowRect();
    MoveWindow(Rect::FromSize(at.left, at.top, normal.GetWidth(), normal.GetHeight()));
  }
  Invalidate();
}

void CMyButton::Init(std::string_view stripPath, int states, std::string_view clickSound) {
  stripMode_ = 1;
  clickSound_ = std::string(clickSound);
  entries_ = {};
  states = std::clamp(states, 1, kMaxStates);
  if (strip_.LoadBitmapFile(stripPath)) {
    const int height = strip_.GetHeight() / states;
    for (int i = 0; i < states; ++i) entries_[static_cast<std::size_t>(i)] = {1, 0, i * height, strip_.GetWidth(), height};
    const Rect at = GetWindowRect();
    MoveWindow(Rect::FromSize(at.left, at.top, strip_.GetWidth(), height));
  }
  Invalidate();
}

void CMyButton::Init(int x, int y, std::string_view stripPath, int states, std::string_view clickSound) {
  Init(stripPath, states, clickSound);
  const Rect at = GetWindowRect();
  MoveWindow(Rect::FromSize(x, y, at.Width(), at.Height()));
}

void CMyButton::EnableWindow(int enable) {
  enabled_ = enable ? 1 : 0;
  if (captured_) LetGoOfCapture();
  Button::EnableWindow(enabled_ != 0);
  visualState_ = kNormal;
  armed_ = false;
  if (enabled_) fixImage_ = 0;
  Invalidate();
}

void CMyButton::SetFixImage(int entry) {
  fixImage_ = entry;
  EnableWindow(0);
}

void CMyButton::SetFlash(int on, std::uint32_t intervalMs, std::string_view path) {
  if (!path.empty()) flash_.LoadBitmapFile(path);
  flashing_ = on ? 1 : 0;
  flashPhase_ = 0;
  if (flashing_) {
    SetTimer(kFlashTimer, intervalMs);
  } else {
    KillTimer(kFlashTimer);
  }
  Invalidate();
}

void CMyButton::TakeCapture() {
  captured_ = true;
  SetCapture();
}

void CMyButton::LetGoOfCapture() {
  // Cleared first: the WM_CAPTURECHANGED of our own release is no loss.
  captured_ = false;
  platform::EventLoop* loop = platform::EventLoop::Current();
  if (loop && loop->GetCapture() == this) loop->ReleaseCapture();
}

void CMyButton::SetVisualState(int state) {
  if (visualState_ == state) return;
  visualState_ = state;
  Invalidate();
}

void CMyButton::ResetInput() {
  armed_ = false;
  SetVisualState(kNormal);
}

void CMyButton::OnMouseMove(Point p) {
  if (!captured_) TakeCapture();
  if (GetClientRect().Contains(p)) {
    if (visualState_ == kNormal) SetVisualState(kHover);
    if (armed_ && visualState_ != kPressed) SetVisualState(kPressed);
    return;
  }
  if (armed_) {
    SetVisualState(kHover);
  } else {
    LetGoOfCapture();
    SetVisualState(kNormal);
  }
}

void CMyButton::OnLButtonDown() {
  TakeCapture();
  armed_ = true;
  SetVisualState(kPressed);
  if (!clickSound_.empty()) UiSound().PlayFile(clickSound_);
}

void CMyButton::OnLButtonUp() {
  LetGoOfCapture();
  if (!armed_) return;
  armed_ = false;
  const bool clicked = visualState_ == kPressed;
  SetVisualState(kNormal);
  if (!clicked) return;
  if (IsCheckStyle()) SetCheck(!GetCheck());
  if (platform::Window* parent = Parent())
    parent->PostMessage(platform::WM_COMMAND, platform::MakeWParam(static_cast<unsigned>(Id()), 0),
                        static_cast<LParam>(Handle()));
}

LResult CMyButton::WindowProc(MsgId msg, WParam w, LParam l) {
  const Point p{platform::GetXLParam(l), platform::GetYLParam(l)};
  switch (msg) {
    case platform::WM_MOUSEMOVE:
      if (enabled_) OnMouseMove(p);
      return 0;
    case platform::WM_LBUTTONDOWN:
      if (!enabled_) return 0;
      if (!GetClientRect().Contains(p)) {
        // Held for the hover only, and the pointer is elsewhere now.
        LetGoOfCapture();
        ResetInput();
        return 0;
      }
      OnLButtonDown();
      return 0;
    case platform::WM_LBUTTONUP:
      if (enabled_) OnLButtonUp();
      return 0;
    case platform::WM_CAPTURECHANGED:
      // Taken away by another window: nothing is held any more.
      if (captured_) {
        captured_ = false;
        ResetInput();
      }
      return 0;
    case platform::WM_SHOWWINDOW:
      // A hidden button lets go of the mouse and can no longer be clicked.
      if (!w) {
        if (captured_) LetGoOfCapture();
        ResetInput();
      }
      return 0;
    case platform::WM_TIMER:
      if (w == kFlashTimer) {
        flashPhase_ ^= 1;
        Invalidate();
        return 0;
      }
      return Button::WindowProc(msg, w, l);
    case platform::WM_LBUTTONDBLCLK:
    case platform::WM_RBUTTONDOWN:
    case platform::WM_RBUTTONUP:
    case platform::WM_RBUTTONDBLCLK:
    case platform::WM_KEYDOWN:
    case platform::WM_KEYUP:
    case platform::WM_CHAR:
    case platform::WM_MOUSEENTER:
    case platform::WM_MOUSELEAVE:
      return 0;
    default:
      return Button::WindowProc(msg, w, l);
  }
}

CMyButton::Image CMyButton::StripImage(int entry) const {
  if (entry < 0 || entry >= kMaxStates) return {};
  const StripEntry& e = entries_[static_cast<std::size_t>(entry)];
  if (!e.valid) return {};
  return {&strip_, Rect::FromSize(e.sourceX, e.sourceY, e.width, e.height)};
}

CMyButton::Image CMyButton::FirstValid(std::initializer_list<int> entries) const {
  for (int entry : entries)
    if (Image image = StripImage(entry); image.bitmap) return image;
  return {};
}

CMyButton::Image CMyButton::Resource(const CMyBitmap& bitmap) const {
  if (!bitmap.IsLoaded()) return {};
  return {&bitmap, Rect::FromSize(0, 0, bitmap.GetWidth(), bitmap.GetHeight())};
}

CMyButton::Image CMyButton::ChooseEnabled() const {
  const CMyBitmap& normal = resources_[kNormalImage];
  const CMyBitmap& hover = resources_[kHoverImage];
  const CMyBitmap& pressed = resources_[kPressedImage];
  auto firstLoaded = [&](std::initializer_list<const CMyBitmap*> images) -> Image {
    for (const CMyBitmap* image : images)
      if (image->IsLoaded()) return Resource(*image);
    return {};
  };
  if (IsCheckStyle()) {
    if (stripMode_) return StripImage(GetCheck() ? 1 : 0);
    return Resource(GetCheck() ? hover : normal);
  }
  switch (visualState_) {
    case kHover:
      return stripMode_ ? FirstValid({1, 0}) : firstLoaded({&hover, &normal});
    case kPressed:
      return stripMode_ ? FirstValid({2, 1, 0}) : firstLoaded({&pressed, &hover, &normal});
    default:
      if (flashing_ && flashPhase_ == 1 && flash_.IsLoaded()) {
        const StripEntry& first = entries_[0];
        return {&flash_, Rect::FromSize(first.sourceX, first.sourceY, flash_.GetWidth(), flash_.GetHeight())};
      }
      return stripMode_ ? StripImage(0) : Resource(normal);
  }
}

CMyButton::Image CMyButton::ChooseDisabled() const {
  if (stripMode_) {
    if (IsCheckStyle()) return GetCheck() ? FirstValid({3, 1}) : FirstValid({2, 0});
    return FirstValid({fixImage_, 0});
  }
  const CMyBitmap& disabled = resources_[kDisabledImage];
  if (disabled.IsLoaded()) return Resource(disabled);
  if (IsCheckStyle()) {
    if (GetCheck()) return Resource(resources_[kHoverImage]);
    if (resources_[kPressedImage].IsLoaded()) return Resource(resources_[kPressedImage]);
  }
  return Resource(resources_[kNormalImage]);
}

CMyButton::Image CMyButton::ChooseImage() const { return enabled_ ? ChooseEnabled() : ChooseDisabled(); }

void CMyButton::OnPaint(platform::PaintContext& pc) {
  const Image image = ChooseImage();
  if (!image.bitmap) return;
  const Rect client = GetClientRect();
  const Rect from = Rect::FromSize(image.source.left, image.source.top, std::min(image.source.Width(), client.Width()),
                                   std::min(image.source.Height(), client.Height()));
  image.bitmap->Blit(pc, 0, 0, from);
}

}  // namespace tovrik::ui
