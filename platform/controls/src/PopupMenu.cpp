#include "controls/PopupMenu.h"

#include <algorithm>

#include "controls/Look.h"
#include "platform/EventLoop.h"

namespace tovrik::controls {
using platform::EventLoop;
using platform::GetXLParam;
using platform::GetYLParam;
using platform::PaintContext;
using platform::Point;
using platform::Rect;
using platform::Window;
namespace msg = platform;

namespace {
constexpr int kTextLeft = 20;   // room for the check mark
constexpr int kTextRight = 16;
constexpr int kBorder = 2;
}  // namespace

PopupMenu::~PopupMenu() { Close(); }

Point PopupMenu::Measure() const {
  const auto font = platform::Font::Default();
  int width = kMinWidth;
  int height = 2 * kBorder;
  for (const MenuItem& item : popup_.Items()) {
    height += item.IsSeparator() ? kSeparatorHeight : kItemHeight;
    if (font && !item.IsSeparator())
      width = std::max(width, kTextLeft + font->Extent(item.caption).width + kTextRight + 2 * kBorder);
  }
  return {width, height};
}

bool PopupMenu::Track(const Popup& popup, Point at, Window& owner) {
  Close();
  EventLoop* loop = EventLoop::Current();
  if (!loop || !loop->MainWindow() || popup.Items().empty() || !owner.IsCreated()) return false;
  popup_ = popup;
  // Inside the modal window when one runs: only it takes input then.
  Window* parent = loop->TopModal() ? loop->TopModal() : loop->MainWindow();
  const Point size = Measure();
  const Rect room = parent->GetClientRect();
  Point local = parent->ScreenToClient(at);
  // Opens to the left of or above the point where it would leave the page.
  if (local.x + size.x > room.right) local.x -= size.x;
  if (local.y + size.y > room.bottom) local.y -= size.y;
  local.x = std::clamp(local.x, 0, std::max(0, room.right - size.x));
  local.y = std::clamp(local.y, 0, std::max(0, room.bottom - size.y));
  owner_ = owner.Handle();
  previousFocus_ = loop->GetFocus() ? loop->GetFocus()->Handle() : platform::WindowHandle::None;
  highlighted_ = -1;
  armed_ = false;
  openedAt_ = at;
  if (!Create(parent, Rect::FromSize(local.x, local.y, size.x, size.y))) return false;
  SetCapture();
  SetFocus();
  return true;
}

bool PopupMenu::TrackAtCursor(const Popup& popup, Window& owner) {
  EventLoop* loop = EventLoop::Current();
  return loop && Track(popup, loop->LastMousePosition(), owner);
}

void PopupMenu::Close() {
  if (!IsCreated() || closing_) return;
  closing_ = true;
  EventLoop* loop = EventLoop::Current();
  if (loop && loop->GetCapture() == this) loop->ReleaseCapture();
  Destroy();
  if (loop)
    if (Window* focus = loop->FromHandle(previousFocus_)) focus->SetFocus();
  closing_ = false;
}

Rect PopupMenu::ItemRect(std::size_t index) const {
  int y = kBorder;
  const auto& items = popup_.Items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const int h = items[i].IsSeparator() ? kSeparatorHeight : kItemHeight;
    if (i == index) return {kBorder, y, GetClientRect().right - kBorder, y + h};
    y += h;
  }
  return {};
}

Rect PopupMenu::ItemScreenRect(std::size_t index) const {
  if (!IsCreated()) return {};
  const Rect screen = GetScreenRect();
  return ItemRect(index).Offset(screen.left, screen.top);
}

int PopupMenu::ItemAt(Point client) const {
  for (std::size_t i = 0; i < popup_.Items().size(); ++i)
    if (ItemRect(i).Contains(client)) return static_cast<int>(i);
  return -1;
}

bool PopupMenu::Choosable(int index) const {
  if (index < 0 || index >= static_cast<int>(popup_.Items().size())) return false;
  const MenuItem& item = popup_.Items()[static_cast<std::size_t>(index)];
  return !item.IsSeparator() && !item.IsGreyed();
}

void PopupMenu::Choose(int index) {
  if (!Choosable(index)) return;
  const int command = popup_.Items()[static_cast<std::size_t>(index)].command;
  const platform::WindowHandle owner = owner_;
  Close();
  if (EventLoop* loop = EventLoop::Current())
    loop->PostMessage(owner, msg::WM_COMMAND, msg::MakeWParam(static_cast<unsigned>(command), 0), 0);
}

void PopupMenu::MoveHighlight(int step) {
  const int count = static_cast<int>(popup_.Items().size());
  int at = highlighted_;
  for (int tries = 0; tries < count; ++tries) {
    at = at < 0 ? (step > 0 ? 0 : count - 1) : (at + step + count) % count;
    if (!popup_.Items()[static_cast<std::size_t>(at)].IsSeparator()) {
      highlighted_ = at;
      Invalidate();
      return;
    }
  }
}

bool PopupMenu::PreTranslateMessage(msg::MsgId message, msg::WParam w, msg::LParam) {
  // The open menu holds the keyboard: no dialog around it sees a key.
  if (message == msg::WM_KEYDOWN) {
    switch (w) {
      case msg::VK_ESCAPE: Close(); break;
      case msg::VK_UP: MoveHighlight(-1); break;
      case msg::VK_DOWN: MoveHighlight(1); break;
      case msg::VK_RETURN: Choose(highlighted_); break;
      default: break;
    }
  }
  return true;
}

platform::LResult PopupMenu::WindowProc(msg::MsgId message, msg::WParam w, msg::LParam l) {
  const Point client{GetXLParam(l), GetYLParam(l)};
  const bool inside = GetClientRect().Contains(client);
  switch (message) {
    case msg::WM_MOUSEMOVE: {
      const Rect screen = GetScreenRect();
      if (Point{client.x + screen.left, client.y + screen.top} != openedAt_ && inside) armed_ = true;
      const int at = inside ? ItemAt(client) : -1;
      if (at != highlighted_ && (at < 0 || !popup_.Items()[static_cast<std::size_t>(at)].IsSeparator())) {
        highlighted_ = at;
        Invalidate();
      }
      return 0;
    }
    case msg::WM_LBUTTONDOWN:
    case msg::WM_RBUTTONDOWN:
    case msg::WM_LBUTTONDBLCLK:
    case msg::WM_RBUTTONDBLCLK:
      if (!inside) {
        Close();  // the press that dismisses a menu does nothing else
      } else {
        armed_ = true;
      }
      return 0;
    case msg::WM_LBUTTONUP:
    case msg::WM_RBUTTONUP:
      if (inside && armed_) Choose(ItemAt(client));
      return 0;
    case msg::WM_CAPTURECHANGED:
      // Something else took the mouse: the menu cannot go on.
      if (!closing_) Close();
      return 0;
    case msg::WM_MOUSEWHEEL:
      return 0;
    default:
      return Window::WindowProc(message, w, l);
  }
}

void PopupMenu::OnPaint(PaintContext& pc) {
  const Rect client = GetClientRect();
  pc.Fill(client, SystemColours::kFace);
  DrawEdge(pc, client, true);
  const auto& items = popup_.Items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const MenuItem& item = items[i];
    const Rect r = ItemRect(i);
    if (item.IsSeparator()) {
      const int y = r.top + r.Height() / 2 - 1;
      pc.Fill({r.left + 1, y, r.right - 1, y + 1}, SystemColours::kShadow);
      pc.Fill({r.left + 1, y + 1, r.right - 1, y + 2}, SystemColours::kHighlight);
      continue;
    }
    const bool lit = static_cast<int>(i) == highlighted_;
    if (lit) pc.Fill(r, SystemColours::kSelection);
    const auto colour = item.IsGreyed() ? SystemColours::kGreyText
                        : lit           ? SystemColours::kSelectionText
                                        : SystemColours::kText;
    if (item.IsChecked()) {
      // A tick in the margin.
      static constexpr int kTick[7] = {2, 3, 4, 3, 2, 1, 0};
      for (int k = 0; k < 7; ++k) {
        const int x = r.left + 6 + k;
        const int y = r.top + 6 + kTick[k];
        pc.Fill({x, y, x + 1, y + 3}, colour);
      }
    }
    DrawCaption(pc, item.caption, {r.left + kTextLeft, r.top, r.right - kTextRight, r.bottom},
                DT_LEFT | DT_VCENTER | DT_SINGLELINE, colour);
  }
}

}  // namespace tovrik::controls
