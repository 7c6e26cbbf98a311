#pragma once
// The message loop of the user-interface thread. One iteration (PumpOnce)
// takes, in this order: the SDL events (turned into input messages), socket
// readiness, the messages posted so far, the timers that are due, and a
// repaint of the main surface when something was invalidated. Modal runs
// nest: RunModal pumps the same loop until EndModal for that window, and
// meanwhile only the modal window and its children get mouse and keyboard
// input; posted messages, timers, sockets and painting go on for everyone.
//
// One loop exists at a time (EventLoop::Current()); windows attach to it when
// created. Everything here runs on the user-interface thread except
// PostMessage, HasQueuedMessage and PostIfNotQueued, which other threads may
// call.
//
// A program starts it like this (tests leave out SDL and the screen and
// drive PumpOnce with a FakeClock):
//
//   auto sdl = SdlSession::Start(&error);
//   EventLoop loop;
//   auto screen = Screen::Open(title, 800, 600, &error);
//   loop.AttachScreen(screen.get());
//   mainDialog.Create(nullptr, Rect::FromSize(0, 0, 800, 600));
//   int result = loop.RunModal(mainDialog);   // the program ends with it

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/Clock.h"
#include "platform/CompositionSequencer.h"
#include "platform/Geometry.h"
#include "platform/Messages.h"
#include "platform/SocketNotifier.h"
#include "platform/Surface.h"
#include "platform/Window.h"

union SDL_Event;

namespace tovrik::platform {

class CursorSet;
class Screen;

enum class MouseButton { Left, Right };

class EventLoop {
 public:
  explicit EventLoop(MillisecondClock& clock = SystemClock::Instance());
  ~EventLoop();
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  // The loop of this process, or null before one is made.
  static EventLoop* Current();
  MillisecondClock& Clock() { return clock_; }

  Window* FromHandle(WindowHandle handle) const;
  Window* MainWindow() const { return root_; }

  // --- Messages -----------------------------------------------------------
  // Calls the window's handler now and returns its result (0 when the
  // window does not exist).
  LResult SendMessage(WindowHandle window, MsgId msg, WParam w = 0, LParam l = 0);
  // Queues the message (FIFO) for a later iteration. Thread-safe.
  bool PostMessage(WindowHandle window, MsgId msg, WParam w = 0, LParam l = 0);
  // Whether a message with this id (and, unless `anyWParam`, this wParam) is
  // queued for the window. Thread-safe.
  bool HasQueuedMessage(WindowHandle window, MsgId msg, WParam w, bool anyWParam = false) const;
  // Posts unless the same message (id and wParam) is already queued for the
  // window; checked and posted under one lock. Thread-safe.
  bool PostIfNotQueued(WindowHandle window, MsgId msg, WParam w = 0, LParam l = 0);

  // --- Running ------------------------------------------------------------
  // One iteration without waiting; true when it delivered anything.
  bool PumpOnce();
  // Waits until something may be ready: an SDL event, a posted message, a
  // socket, the next timer, or at most `maxMs`.
  void WaitForWork(std::uint32_t maxMs = 100);
  // Runs until Quit; returns the exit code.
  int Run();
  // Ends Run and every modal run (each returns -1 from RunModal).
  void Quit(int exitCode = 0);
  bool QuitRequested() const { return quit_; }
  // Runs the loop with `window` modal until EndModal(window, result).
  int RunModal(Window& window);
  void EndModal(Window& window, int result);
  Window* TopModal() const;
  int ModalDepth() const { return static_cast<int>(modal_.size()); }
  // Called when a modal run or Run is about to wait for work (tests move a
  // fake clock there); the wait is skipped when the hook returns true.
  void SetIdleHook(std::function<bool()> hook) { idleHook_ = std::move(hook); }
  // Called at the start of every iteration of every modal run, with the
  // modal window. A caller that started the run cannot act while it lasts;
  // automation answers boxes from here.
  void SetModalHook(std::function<void(Window&)> hook) { modalHook_ = std::move(hook); }

  // --- Timers -------------------------------------------------------------
  // A period of 0 is taken as 1 ms. Setting an existing (window, id) replaces
  // it and restarts its period. Due timers fire once per iteration; periods
  // missed while the loop was busy are not made up.
  bool SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t periodMs);
  bool KillTimer(WindowHandle window, std::uintptr_t id);
  // Milliseconds until the next timer is due (0 when one is due now).
  std::optional<std::uint32_t> MsUntilNextTimer() const;

  // --- Input (positions in main-window pixels) -------------------------------
  void InjectMouseMove(Point p);
  void InjectMouseButton(Point p, MouseButton button, bool down);
  void InjectMouseWheel(Point p, int delta);
  // `repeat` marks a key held down (bit 30 of lParam, as Windows sets it).
  void InjectKey(WParam virtualKey, bool down, bool repeat = false);
  // The input method's composition string (UTF-8; empty ends composing).
  void InjectTextEditing(std::string_view utf8);
  // Committed text (UTF-8).
  void InjectTextInput(std::string_view utf8);
  // Handles one SDL event (input, window and quit events).
  void HandleSdlEvent(const SDL_Event& event);

  // The top rows of the main window that serve as its caption bar: a right
  // click released there opens the system menu (0, the default: none).
  void SetCaptionBarHeight(int rows) { captionBarHeight_ = rows; }

  // Where the pointer was last seen, in main-window pixels (GetCursorPos).
  Point LastMousePosition() const { return lastMouse_; }
  // Whether a modifier (VK_SHIFT, VK_CONTROL, VK_MENU) or a mouse button
  // (VK_LBUTTON, VK_RBUTTON) is held (GetKeyState); false for other keys.
  bool IsKeyDown(WParam virtualKey) const;

  // Listeners see every mouse event (WM_MOUSEMOVE, the button and wheel
  // messages, point in main-window pixels) before it is routed, whichever
  // window gets it; a tooltip watches the pointer this way. A listener may
  // remove itself; it must not inject input.
  using MouseListener = std::function<void(MsgId msg, Point screenPoint)>;
  int AddMouseListener(MouseListener listener);
  void RemoveMouseListener(int id);

  void SetCapture(WindowHandle window);
  void ReleaseCapture();
  Window* GetCapture() const { return FromHandle(capture_); }
  void SetFocus(WindowHandle window);
  Window* GetFocus() const { return FromHandle(focus_); }
  // The text of the last WM_IME_COMPOSITION with GCS_RESULTSTR, code page 949.
  const std::string& GetCompositionResult() const { return compositionResult_; }
  void SetCaretRect(WindowHandle window, const Rect& clientRect);
  // The window under a point (visible, in the top modal window's subtree
  // when a modal run is active), or null.
  Window* WindowFromPoint(Point p) const;

  // --- Painting -------------------------------------------------------------
  void InvalidateAll() { dirty_ = true; }
  bool NeedsPaint() const { return dirty_; }
  // Composes every visible window onto the main surface (and presents it
  // when a screen is attached).
  void PaintNow();
  // The composed main surface (RGB555, the main window's size).
  PixelView Frame();

  // --- Attachments ----------------------------------------------------------
  SocketNotifier& Sockets() { return sockets_; }
  void AttachScreen(Screen* screen) { screen_ = screen; }
  // The cursors shown where no window sets its own: every mouse move sends
  // WM_SETCURSOR to the window under the pointer; unhandled, it climbs to
  // the main window, whose default shows the first cursor (133).
  void AttachCursors(CursorSet* cursors) { cursors_ = cursors; }
  CursorSet* GetCursors() const { return cursors_; }
  Screen* GetScreen() const { return screen_; }
  // Starts dragging the main window with the mouse; ends when the left button
  // is released.
  void BeginWindowDrag();
  // Starts dragging a child window inside its parent with the mouse (kept
  // wholly inside the parent where it fits); ends when the left button is
  // released.
  void BeginChildDrag(Window& window);

 private:
  friend class Window;
  struct Posted {
    WindowHandle window;
    MsgId msg;
    WParam w;
    LParam l;
  };
  struct Timer {
    std::uint32_t period;
    std::uint32_t due;
  };
  struct ModalFrame {
    WindowHandle window;
    bool ended = false;
    int result = 0;
  };

  WindowHandle Register(Window& window);
  void Unregister(Window& window);
  void DeliverPosted();
  void FireDueTimers();
  void PaintTree(Window& window, const PixelView& frame, Point origin, Rect clip);
  void PaintWindowAndChildren(Window& window, const PixelView& frame, Point origin, Rect visible);
  void NotifyMouseListeners(MsgId msg, Point p);
  // Offers a keyboard message to the target and its ancestors; true when one took it.
  bool PreTranslate(Window& target, MsgId msg, WParam w, LParam l);
  void DragChildTo(Point p);
  bool AcceptsInput(const Window* window) const;
  Window* KeyboardTarget() const;
  Window* HitTest(Window& window, Point p) const;
  void UpdateHover(Window* target, Point p);
  void SendMouse(Window& target, MsgId msg, Point screenPoint, WParam keys);
  WParam MouseKeys() const;
  void Deliver(const CompositionSequencer::Event& event);
  void WakeSdlWait();
  // Alt+Space and a right click on the caption bar: WM_SYSCOMMAND
  // SC_KEYMENU to the main window, as the window manager would send it.
  void PostSystemMenuGesture(LParam key);

  MillisecondClock& clock_;
  std::unordered_map<std::uint32_t, Window*> windows_;
  std::uint32_t nextHandle_ = 1;
  Window* root_ = nullptr;

  mutable std::mutex queueMutex_;
  std::condition_variable queueSignal_;
  std::deque<Posted> queue_;
  // Set while the loop sleeps in SDL's event wait, which only an SDL event ends.
  std::atomic<bool> sdlWaiting_{false};

  std::map<std::pair<std::uint32_t, std::uintptr_t>, Timer> timers_;
  std::vector<ModalFrame> modal_;
  bool quit_ = false;
  int exitCode_ = 0;
  std::function<bool()> idleHook_;
  std::function<void(Window&)> modalHook_;

  WindowHandle capture_ = WindowHandle::None;
  WindowHandle focus_ = WindowHandle::None;
  WindowHandle hover_ = WindowHandle::None;
  Point lastMouse_;
  bool leftDown_ = false;
  bool rightDown_ = false;
  bool shiftDown_ = false;
  bool controlDown_ = false;
  bool altDown_ = false;
  int captionBarHeight_ = 0;
  struct LastClick {
    WindowHandle window = WindowHandle::None;
    MouseButton button = MouseButton::Left;
    Point at;
    std::uint32_t time = 0;
    bool pending = false;
  } lastClick_;
  CompositionSequencer composition_;
  std::string compositionResult_;

  std::vector<std::uint16_t> frame_;
  int frameWidth_ = 0;
  int frameHeight_ = 0;
  bool dirty_ = true;

  SocketNotifier sockets_;
  Screen* screen_ = nullptr;
  CursorSet* cursors_ = nullptr;
  bool dragging_ = false;
  Point dragStartMouse_;
  Point dragStartWindow_;
  struct ChildDrag {
    WindowHandle window = WindowHandle::None;
    Point startMouse;
    Rect startRect;
  } childDrag_;
  std::vector<std::pair<int, MouseListener>> mouseListeners_;
  int nextMouseListener_ = 1;
};

}  // namespace tovrik::platform
