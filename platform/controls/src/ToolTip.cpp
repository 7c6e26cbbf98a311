#include "controls/ToolTip.h"

#include <algorithm>

#include "controls/Look.h"
#include "controls/TextLayout.h"

namespace tovrik::controls {
using platform::EventLoop;
using platform::Point;
using platform::Rect;
using platform::Window;
using platform::WindowHandle;
namespace msg = platform;

namespace {
constexpr int kPadX = 4;
constexpr int kPadY = 2;
constexpr int kMaxTextWidth = 300;

bool IsSelfOrDescendant(const Window* window, const Window* ancestor) {
  for (const Window* w = window; w; w = w->Parent())
    if (w == ancestor) return true;
  return false;
}
}  // namespace

ToolTip::~ToolTip() { Destroy(); }

bool ToolTip::EnsureWindow() {
  EventLoop* loop = EventLoop::Current();
  if (!loop || !loop->MainWindow()) return false;
  if (IsCreated()) return true;
  if (!Create(loop->MainWindow(), {}, 0, 0)) return false;
  loop_ = loop;
  listener_ = loop->AddMouseListener([this](msg::MsgId m, Point p) { OnMouse(m, p); });
  return true;
}

bool ToolTip::AddTool(Window& tool, std::string text) {
  if (!tool.IsCreated() || !EnsureWindow()) return false;
  DelTool(tool);
  tools_.push_back({tool.Handle(), -1, {}, std::move(text)});
  return true;
}

bool ToolTip::AddTool(Window& owner, int id, Rect rect, std::string text) {
  if (!owner.IsCreated() || id < 0 || !EnsureWindow()) return false;
  DelTool(owner, id);
  tools_.push_back({owner.Handle(), id, rect, std::move(text)});
  return true;
}

void ToolTip::DelTool(Window& tool) { DelTool(tool, -1); }

void ToolTip::DelTool(Window& owner, int id) {
  const auto gone = std::find_if(tools_.begin(), tools_.end(),
                                 [&](const Tool& t) { return t.window == owner.Handle() && t.id == id; });
  if (gone == tools_.end()) return;
  if (hovered_ == gone - tools_.begin()) {
    Hide();
    hovered_ = -1;
  } else if (hovered_ > gone - tools_.begin()) {
    --hovered_;
  }
  tools_.erase(gone);
}

void ToolTip::UpdateTipText(Window& tool, std::string text) {
  for (std::size_t i = 0; i < tools_.size(); ++i) {
    if (tools_[i].window != tool.Handle() || tools_[i].id != -1) continue;
    tools_[i].text = std::move(text);
    if (IsShown() && hovered_ == static_cast<int>(i)) Show();
    return;
  }
}

int ToolTip::ToolAt(Point p) const {
  if (!loop_) return -1;
  const Window* hit = loop_->WindowFromPoint(p);
  for (std::size_t i = 0; i < tools_.size(); ++i) {
    const Window* window = loop_->FromHandle(tools_[i].window);
    if (!window || !window->IsWindowVisible() || !IsSelfOrDescendant(hit, window)) continue;
    if (tools_[i].id < 0 || tools_[i].rect.Contains(window->ScreenToClient(p))) return static_cast<int>(i);
  }
  return -1;
}

void ToolTip::OnMouse(msg::MsgId message, Point p) {
  if (message != msg::WM_MOUSEMOVE) {
    // Any press or wheel turn puts the tip away until the pointer leaves.
    Hide();
    KillTimer(kShowTimer);
    suppressed_ = hovered_ >= 0;
    return;
  }
  const int tool = ToolAt(p);
  if (tool != hovered_) {
    Hide();
    KillTimer(kShowTimer);
    hovered_ = tool;
    suppressed_ = false;
    pointer_ = p;
    if (tool >= 0) SetTimer(kShowTimer, kInitialDelayMs);
    return;
  }
  // Resting is what counts: a move before the tip shows starts the delay again.
  if (tool >= 0 && !IsShown() && !suppressed_ && p != pointer_) {
    pointer_ = p;
    SetTimer(kShowTimer, kInitialDelayMs);
  }
}

void ToolTip::Show() {
  if (hovered_ < 0 || !loop_ || !Parent()) return;
  shownText_ = tools_[static_cast<std::size_t>(hovered_)].text;
  const auto font = platform::Font::Default();
  Rect text = Rect::FromSize(0, 0, kMaxTextWidth, 0);
  if (font) controls::DrawText({}, *font, shownText_, text, DT_WORDBREAK | DT_CALCRECT, {});
  const int width = text.Width() + 2 * kPadX + 2;
  const int height = std::max(text.Height(), font ? font->LineHeight() : 0) + 2 * kPadY + 2;
  const Rect room = Parent()->GetClientRect();
  int x = pointer_.x;
  int y = pointer_.y + kBelowPointer;
  // Kept on the page: pushed left at the right edge, above the pointer at the bottom.
  if (x + width > room.right) x = room.right - width;
  if (y + height > room.bottom) y = pointer_.y - height - 2;
  x = std::max(0, x);
  y = std::max(0, y);
  MoveWindow(Rect::FromSize(x, y, width, height));
  BringWindowToTop();
  ShowWindow(true);
  SetTimer(kPopTimer, kAutoPopMs);
  Invalidate();
}

void ToolTip::Hide() {
  if (!IsCreated()) return;
  KillTimer(kPopTimer);
  if (IsVisibleFlag()) ShowWindow(false);
}

platform::LResult ToolTip::WindowProc(msg::MsgId message, msg::WParam w, msg::LParam l) {
  if (message == msg::WM_DESTROY) {
    if (loop_ && listener_) loop_->RemoveMouseListener(listener_);
    listener_ = 0;
    loop_ = nullptr;
    hovered_ = -1;
    tools_.clear();
  }
  if (message == msg::WM_TIMER) {
    KillTimer(w);
    if (w == kShowTimer && !suppressed_ && hovered_ >= 0) Show();
    if (w == kPopTimer) {
      Hide();
      suppressed_ = true;
    }
    return 0;
  }
  return Window::WindowProc(message, w, l);
}

void ToolTip::OnPaint(platform::PaintContext& pc) {
  const Rect client = GetClientRect();
  pc.Fill(client, SystemColours::kInfoBackground);
  DrawFrame(pc, client, SystemColours::kText);
  DrawCaption(pc, shownText_, {kPadX + 1, kPadY + 1, client.right - kPadX - 1, client.bottom - kPadY - 1},
              DT_WORDBREAK, SystemColours::kText);
}

}  // namespace tovrik::controls
