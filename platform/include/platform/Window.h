#pragma once
// A window of the user interface: a node of the window tree inside the one
// 800 x 600 main window, with a message handler. The main window is the
// window created without a parent; dialogs are children of the main window
// composited on top of it (modal or modeless); controls are children of
// their dialog.
//
// Windows are named across the program by WindowHandle, which stays safe to
// use after the window is gone: messages to a destroyed window are dropped.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Geometry.h"
#include "platform/Messages.h"
#include "platform/Region.h"
#include "platform/Surface.h"

namespace tovrik::platform {

enum class WindowHandle : std::uint32_t { None = 0 };

// Style bits given to Window::Create.
inline constexpr unsigned WS_VISIBLE = 0x1;
inline constexpr unsigned WS_DISABLED = 0x2;
// The window receives WM_LBUTTONDBLCLK / WM_RBUTTONDBLCLK in place of the
// second press of a double click (the CS_DBLCLKS of window classes).
inline constexpr unsigned WS_DBLCLKS = 0x4;

class EventLoop;

// What a window gets to paint itself: the composed main surface, where the
// window's client origin lies on it, and the part of it the window may touch
// (its rectangle cut by every ancestor's).
class PaintContext {
 public:
  PaintContext(const PixelView& target, Point origin, Rect clip) : target_(target), origin_(origin), clip_(clip) {}

  const PixelView& Target() const { return target_; }
  Point Origin() const { return origin_; }
  Rect Clip() const { return clip_; }

  // Copies a page (or a part of it) to window coordinates (x, y).
  void Blit(int x, int y, const PixelView& source, Rect from) const;
  void Blit(int x, int y, const PixelView& source) const { Blit(x, y, source, Bounds(source)); }
  void Fill(Rect area, RgbColor colour) const;

 private:
  PixelView target_;
  Point origin_;
  Rect clip_;
};

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Creates the window in the tree of the current event loop: a child of
  // `parent` at `rect` (parent client coordinates), or, with no parent, the
  // main window of that size. Sends WM_CREATE. The new child is on top of its
  // siblings. Returns false when already created or when there is no loop.
  bool Create(Window* parent, const Rect& rect, int id = 0, unsigned style = WS_VISIBLE);
  // Sends WM_DESTROY, destroys the children, drops timers, capture, focus
  // and queued messages, and leaves the tree. Runs again harmlessly. The
  // base destructor calls it, when a derived class's handler no longer
  // runs: a class that handles WM_DESTROY calls Destroy in its destructor.
  void Destroy();
  bool IsCreated() const { return handle_ != WindowHandle::None; }

  WindowHandle Handle() const { return handle_; }
  Window* Parent() const { return parent_; }
  int Id() const { return id_; }
  // The first child with this id.
  Window* GetDlgItem(int id) const;
  const std::vector<Window*>& Children() const { return children_; }  // bottom first

  Rect GetWindowRect() const { return rect_; }  // in the parent's client coordinates
  Rect GetClientRect() const { return {0, 0, rect_.Width(), rect_.Height()}; }
  Rect GetScreenRect() const;  // in main-window coordinates
  Point ScreenToClient(Point p) const;
  void MoveWindow(const Rect& rect);
  void CenterInParent();

  void ShowWindow(bool show);
  bool IsVisibleFlag() const { return visible_; }
  // Visible itself and through every ancestor.
  bool IsWindowVisible() const;
  void EnableWindow(bool enable);
  bool IsEnabledFlag() const { return enabled_; }
  // Enabled itself and through every ancestor.
  bool IsWindowEnabled() const;
  bool WantsDoubleClicks() const { return (style_ & WS_DBLCLKS) != 0; }
  void BringWindowToTop();
  // The window's shape (client coordinates): painting, the children's
  // included, is cut to it and the mouse passes through the rest to the
  // window below. None restores the whole rectangle.
  void SetWindowRgn(std::optional<Region> region);
  const Region* GetWindowRgn() const { return region_ ? &*region_ : nullptr; }

  // Asks for a repaint of the whole main surface at the next loop iteration;
  // nothing while the window is not visible (it is not on the surface).
  void Invalidate();

  LResult SendMessage(MsgId msg, WParam w = 0, LParam l = 0);
  bool PostMessage(MsgId msg, WParam w = 0, LParam l = 0);
  bool SetTimer(std::uintptr_t id, std::uint32_t periodMs);
  bool KillTimer(std::uintptr_t id);
  void SetCapture();
  void SetFocus();
  // The rectangle (client coordinates) where text is being typed; the input
  // method shows its candidate window there.
  void SetCaretRect(const Rect& rect);

  // The message handler. Overrides handle what they need and pass the rest
  // to the base class, which calls DefWindowProc.
  virtual LResult WindowProc(MsgId msg, WParam w, LParam l);
  // The default handling: WM_PAINT paints, a committed input-method result
  // becomes WM_CHAR messages, WM_SETCURSOR goes to the parent (the main
  // window shows cursor 133), WM_NCHITTEST answers HTCLIENT,
  // WM_NCLBUTTONDOWN on HTCAPTION drags the window (the main window on the
  // desktop, a child inside its parent), WM_CLOSE destroys the window.
  LResult DefWindowProc(MsgId msg, WParam w, LParam l);

  // Keyboard messages (WM_KEYDOWN, WM_KEYUP and the WM_CHAR a key types)
  // are offered here first, to the window they are for and then to each of
  // its ancestors, before the window gets them; true takes the message
  // (and, for a key press, the character it would type). Dialogs take
  // Enter, Escape and Tab here.
  virtual bool PreTranslateMessage(MsgId msg, WParam w, LParam l);

  // Paints the window's client area; children are painted after it, over it.
  // Reached through WM_PAINT, whose lParam points to the PaintContext.
  virtual void OnPaint(PaintContext& pc);

 private:
  friend class EventLoop;
  void DetachFromParent();

  WindowHandle handle_ = WindowHandle::None;
  EventLoop* loop_ = nullptr;
  Window* parent_ = nullptr;
  std::vector<Window*> children_;
  Rect rect_;
  int id_ = 0;
  unsigned style_ = 0;
  bool visible_ = false;
  bool enabled_ = true;
  std::optional<Region> region_;
};

}  // namespace tovrik::platform
