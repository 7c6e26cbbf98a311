#include "platform/Window.h"

#include <algorithm>

#include "base/CodePage.h"
#include "platform/Cursors.h"
#include "platform/EventLoop.h"

namespace tovrik::platform {
using base::Cp949Characters;

void PaintContext::Blit(int x, int y, const PixelView& source, Rect from) const {
  CopyToRgb555(target_, {origin_.x + x, origin_.y + y}, source, from, clip_);
}

void PaintContext::Fill(Rect area, RgbColor colour) const {
  FillRect(target_, area.Offset(origin_.x, origin_.y), colour, clip_);
}

Window::~Window() { Destroy(); }

bool Window::Create(Window* parent, const Rect& rect, int id, unsigned style) {
  EventLoop* loop = EventLoop::Current();
  if (IsCreated() || !loop || (parent && !parent->IsCreated())) return false;
  if (!parent && loop->root_) return false;  // one main window
  loop_ = loop;
  parent_ = parent;
  rect_ = rect;
  id_ = id;
  style_ = style;
  visible_ = (style & WS_VISIBLE) != 0;
  enabled_ = (style & WS_DISABLED) == 0;
  handle_ = loop->Register(*this);
  if (parent) {
    parent->children_.push_back(this);
  } else {
    loop->root_ = this;
  }
  loop->InvalidateAll();
  SendMessage(WM_CREATE);
  return true;
}

void Window::Destroy() {
  if (!IsCreated()) return;
  // As on Windows, the window hears WM_DESTROY before its children go.
  SendMessage(WM_DESTROY);
  while (!children_.empty()) children_.back()->Destroy();
  DetachFromParent();
  loop_->Unregister(*this);
  handle_ = WindowHandle::None;
  loop_ = nullptr;
}

void Window::DetachFromParent() {
  if (parent_) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    parent_ = nullptr;
  }
}

Window* Window::GetDlgItem(int id) const {
  for (Window* child : children_)
    if (child->id_ == id) return child;
  return nullptr;
}

Rect Window::GetScreenRect() const {
  Rect r = rect_;
  if (!parent_) return GetClientRect();  // the main window's origin is the surface's
  for (const Window* p = parent_; p && p->parent_; p = p->parent_) r = r.Offset(p->rect_.left, p->rect_.top);
  return r;
}

Point Window::ScreenToClient(Point p) const {
  const Rect r = GetScreenRect();
  return {p.x - r.left, p.y - r.top};
}

void Window::MoveWindow(const Rect& rect) {
  const bool resized = rect.Width() != rect_.Width() || rect.Height() != rect_.Height();
  rect_ = rect;
  Invalidate();
  if (!IsCreated()) return;
  SendMessage(WM_MOVE, 0, MakeLParam(rect.left, rect.top));
  if (resized) SendMessage(WM_SIZE, 0, MakeLParam(rect.Width(), rect.Height()));
}

void Window::CenterInParent() {
  if (!parent_) return;
  const int x = (parent_->rect_.Width() - rect_.Width()) / 2;
  const int y = (parent_->rect_.Height() - rect_.Height()) / 2;
  MoveWindow(Rect::FromSize(x, y, rect_.Width(), rect_.Height()));
}

void Window::ShowWindow(bool show) {
  if (visible_ == show) return;
  visible_ = show;
  // Shown or hidden, the surface changes either way.
  if (loop_) loop_->InvalidateAll();
  if (IsCreated()) SendMessage(WM_SHOWWINDOW, show ? 1 : 0);
}

bool Window::IsWindowVisible() const {
  for (const Window* w = this; w; w = w->parent_)
    if (!w->visible_) return false;
  return IsCreated();
}

void Window::EnableWindow(bool enable) {
  if (enabled_ == enable) return;
  enabled_ = enable;
  Invalidate();
  if (IsCreated()) SendMessage(WM_ENABLE, enable ? 1 : 0);
}

bool Window::IsWindowEnabled() const {
  for (const Window* w = this; w; w = w->parent_)
    if (!w->enabled_) return false;
  return IsCreated();
}

void Window::BringWindowToTop() {
  if (!parent_) return;
  auto& siblings = parent_->children_;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  siblings.push_back(this);
  Invalidate();
}

void Window::SetWindowRgn(std::optional<Region> region) {
  region_ = std::move(region);
  Invalidate();
}

void Window::Invalidate() {
  // A window nobody sees cannot change the picture: its timers and
  // animations cost no repaint while it is hidden.
  if (loop_ && IsWindowVisible()) loop_->InvalidateAll();
}

LResult Window::SendMessage(MsgId msg, WParam w, LParam l) { return loop_ ? loop_->SendMessage(handle_, msg, w, l) : 0; }

bool Window::PostMessage(MsgId msg, WParam w, LParam l) { return loop_ && loop_->PostMessage(handle_, msg, w, l); }

bool Window::SetTimer(std::uintptr_t id, std::uint32_t periodMs) { return loop_ && loop_->SetTimer(handle_, id, periodMs); }

bool Window::KillTimer(std::uintptr_t id) { return loop_ && loop_->KillTimer(handle_, id); }

void Window::SetCapture() {
  if (loop_) loop_->SetCapture(handle_);
}

void Window::SetFocus() {
  if (loop_) loop_->SetFocus(handle_);
}

void Window::SetCaretRect(const Rect& rect) {
  if (loop_) loop_->SetCaretRect(handle_, rect);
}

LResult Window::WindowProc(MsgId msg, WParam w, LParam l) { return DefWindowProc(msg, w, l); }

LResult Window::DefWindowProc(MsgId msg, WParam w, LParam l) {
  switch (msg) {
    case WM_PAINT:
      if (l) OnPaint(*reinterpret_cast<PaintContext*>(l));
      return 0;
    case WM_IME_COMPOSITION:
      if ((l & GCS_RESULTSTR) && loop_) {
        const std::string result = loop_->GetCompositionResult();
        for (std::uint16_t character : Cp949Characters(result)) SendMessage(WM_CHAR, character, 1);
      }
      return 0;
    case WM_SETCURSOR:
      // The parent may decide first; the main window's default is cursor 133.
      if (parent_) return parent_->SendMessage(WM_SETCURSOR, w, l);
      if (loop_ && loop_->GetCursors()) loop_->GetCursors()->Set(CursorSet::kFirstId);
      return 1;
    case WM_NCHITTEST:
      return HTCLIENT;
    case WM_NCLBUTTONDOWN:
      if (w == HTCAPTION && loop_) {
        if (parent_) {
          loop_->BeginChildDrag(*this);
        } else {
          loop_->BeginWindowDrag();
        }
      }
      return 0;
    case WM_CLOSE:
      Destroy();
      return 0;
    default:
      return 0;
  }
}

void Window::OnPaint(PaintContext&) {}

bool Window::PreTranslateMessage(MsgId, WParam, LParam) { return false; }

}  // namespace tovrik::platform
