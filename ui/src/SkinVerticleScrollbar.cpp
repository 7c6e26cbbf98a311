#include "ui/SkinVerticleScrollbar.h"

#include "controls/ScrollInfo.h"
#include "platform/EventLoop.h"

namespace tovrik::ui {
using platform::LParam;
using platform::LResult;
using platform::MsgId;
using platform::Point;
using platform::Rect;
using platform::WParam;

void CSkinVerticleScrollbar::SetView(controls::ChatView* view) {
  view_ = view ? view->Handle() : platform::WindowHandle::None;
  if (view) view->SetScrollListener(Handle());
}

controls::ChatView* CSkinVerticleScrollbar::View() const {
  platform::EventLoop* loop = platform::EventLoop::Current();
  return loop ? dynamic_cast<controls::ChatView*>(loop->FromHandle(view_)) : nullptr;
}

void CSkinVerticleScrollbar::LoadBtnImage(const std::filesystem::path& programDir) {
  upArrow_.LoadBitmapFile(".\\Image\\VSUpArrow.bmp", programDir);
  downArrow_.LoadBitmapFile(".\\Image\\VSDownArrow.bmp", programDir);
  thumb_.LoadBitmapFile(".\\Image\\VSThumb.bmp", programDir);
  span_.LoadBitmapFile(".\\Image\\VSSpan.bmp", programDir);
}

void CSkinVerticleScrollbar::CalcImageSize() {
  if (upArrow_.IsLoaded()) upWidth_ = upArrow_.GetWidth() / 2, upHeight_ = upArrow_.GetHeight();
  if (downArrow_.IsLoaded()) downWidth_ = downArrow_.GetWidth() / 2, downHeight_ = downArrow_.GetHeight();
  if (thumb_.IsLoaded()) thumbWidth_ = thumb_.GetWidth() / 2, thumbHeight_ = thumb_.GetHeight();
  if (span_.IsLoaded()) spanWidth_ = span_.GetWidth(), spanHeight_ = span_.GetHeight();
}

void CSkinVerticleScrollbar::SendScroll(unsigned code) {
  if (controls::ChatView* view = View()) view->SendMessage(platform::WM_VSCROLL, code, 0);
  UpdateThumbPosition();
}

void CSkinVerticleScrollbar::ScrollUp() { SendScroll(controls::SB_LINEUP); }
void CSkinVerticleScrollbar::ScrollDown() { SendScroll(controls::SB_LINEDOWN); }
void CSkinVerticleScrollbar::PageUp() { SendScroll(controls::SB_PAGEUP); }
void CSkinVerticleScrollbar::PageDown() { SendScroll(controls::SB_PAGEDOWN); }

void CSkinVerticleScrollbar::UpdateThumbPosition() {
  const controls::ChatView* view = View();
  const int pos = view ? view->GetScrollPos() : 0;
  const int limit = view ? view->GetScrollLimit() : 0;
  const int height = GetClientRect().Height();
  const double track = height - upHeight_ - downHeight_;
  if (limit != 0) {
    pixelsPerUnit_ = track / limit;
    thumbTop_ = upHeight_ + static_cast<int>(pos * pixelsPerUnit_);
  } else {
    thumbTop_ = upHeight_;
  }
  LimitThumbPosition();
  Draw();
}

void CSkinVerticleScrollbar::LimitThumbPosition() {
  const int height = GetClientRect().Height();
  if (thumbTop_ + thumbHeight_ > height - upHeight_) thumbTop_ = height - upHeight_ - thumbHeight_;
  if (thumbTop_ < upHeight_) thumbTop_ = upHeight_;
}

bool CSkinVerticleScrollbar::OnUpArrow(Point p) const { return p.y >= 0 && p.y < upHeight_; }

bool CSkinVerticleScrollbar::OnDownArrow(Point p) const {
  const int height = GetClientRect().Height();
  return p.y >= height - downHeight_ && p.y < height;
}

bool CSkinVerticleScrollbar::OnThumb(Point p) const { return p.y >= thumbTop_ && p.y < thumbTop_ + thumbHeight_; }

void CSkinVerticleScrollbar::StopTimers() {
  KillTimer(kRepeatTimer);
  KillTimer(kFirstDelayTimer);
}

void CSkinVerticleScrollbar::OnLButtonDown(Point p) {
  SetCapture();
  if (OnThumb(p)) {
    thumbDragging_ = true;
  } else if (OnDownArrow(p)) {
    downPressed_ = true;
    SetTimer(kFirstDelayTimer, kFirstDelayMs);
  } else if (OnUpArrow(p)) {
    upPressed_ = true;
    SetTimer(kFirstDelayTimer, kFirstDelayMs);
  } else {
    return;
  }
  Draw();
}

void CSkinVerticleScrollbar::OnLButtonUp(Point p) {
  UpdateThumbPosition();
  // Both timers: a release before the first repeat leaves none behind.
  StopTimers();
  if (platform::EventLoop* loop = platform::EventLoop::Current(); loop && loop->GetCapture() == this)
    loop->ReleaseCapture();
  const bool up = upPressed_, down = downPressed_, dragging = thumbDragging_;
  upPressed_ = downPressed_ = thumbDragging_ = false;
  if (up || down) {
    // An arrow scrolls when the press ends on it; dragged off, it does nothing more.
    if (up && OnUpArrow(p)) ScrollUp();
    if (down && OnDownArrow(p)) ScrollDown();
  } else if (!dragging && !OnThumb(p)) {
    // Only a press on the track pages, towards the release.
    if (thumbTop_ < p.y) {
      PageDown();
    } else {
      PageUp();
    }
  }
  Draw();
}

void CSkinVerticleScrollbar::OnMouseMove(Point p) {
  if (!thumbDragging_) return;
  controls::ChatView* view = View();
  const int height = GetClientRect().Height();
  thumbTop_ = p.y - thumbHeight_ / 2;
  const int limit = view ? view->GetScrollLimit() : 0;
  if (view && limit != 0) {
    pixelsPerUnit_ = static_cast<double>(height - upHeight_ - thumbHeight_) / limit;
    if (lineHeight_ != 0 && pixelsPerUnit_ > 0) {
      const int pixels = static_cast<int>((thumbTop_ - upHeight_) / pixelsPerUnit_ - view->GetScrollPos());
      if (const int lines = pixels / lineHeight_; lines != 0) view->LineScroll(lines);
    }
  }
  LimitThumbPosition();
  Draw();
}

void CSkinVerticleScrollbar::OnTimer(std::uintptr_t id) {
  if (id == kFirstDelayTimer) {
    KillTimer(kFirstDelayTimer);
    if (upPressed_ || downPressed_) SetTimer(kRepeatTimer, kRepeatMs);
    return;
  }
  if (id != kRepeatTimer) return;
  if (upPressed_) ScrollUp();
  if (downPressed_) ScrollDown();
}

LResult CSkinVerticleScrollbar::WindowProc(MsgId msg, WParam w, LParam l) {
  const Point p{platform::GetXLParam(l), platform::GetYLParam(l)};
  switch (msg) {
    case platform::WM_LBUTTONDOWN:
    case platform::WM_LBUTTONDBLCLK:
      OnLButtonDown(p);
      return 0;
    case platform::WM_LBUTTONUP:
      OnLButtonUp(p);
      return 0;
    case platform::WM_MOUSEMOVE:
      OnMouseMove(p);
      return 0;
    case platform::WM_TIMER:
      OnTimer(w);
      return 0;
    case platform::WM_CAPTURECHANGED:
      return 0;
    case platform::WM_COMMAND:
      // The view moved, grew or shrank.
      if (platform::HighWord(w) == controls::EN_VSCROLL) UpdateThumbPosition();
      return 0;
    case platform::WM_SIZE:
      UpdateThumbPosition();
      return 0;
    default:
      return Control::WindowProc(msg, w, l);
  }
}

void CSkinVerticleScrollbar::DrawPart(platform::PaintContext& pc, const CMyBitmap& image, int width, int height, int y,
                                      bool pressed) const {
  if (!image.IsLoaded()) return;
  image.Blit(pc, 0, y, Rect::FromSize(pressed ? width : 0, 0, width, height));
}

void CSkinVerticleScrollbar::OnPaint(platform::PaintContext& pc) {
  const int height = GetClientRect().Height();
  if (span_.IsLoaded() && spanHeight_ > 0)
    for (int y = upHeight_; y < height - upHeight_; y += spanHeight_)
      span_.Blit(pc, 0, y, Rect::FromSize(0, 0, spanWidth_, spanHeight_));
  DrawPart(pc, upArrow_, upWidth_, upHeight_, 0, upPressed_);
  DrawPart(pc, downArrow_, downWidth_, downHeight_, height - upHeight_, downPressed_);
  DrawPart(pc, thumb_, thumbWidth_, thumbHeight_, thumbTop_, thumbDragging_);
}

}  // namespace tovrik::ui
