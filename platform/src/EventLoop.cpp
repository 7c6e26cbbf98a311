#include "platform/EventLoop.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "base/CodePage.h"
#include "platform/Screen.h"

namespace tovrik::platform {
using base::Cp949Characters;
using base::Utf8ToCp949;

namespace {

EventLoop* g_current = nullptr;

constexpr std::uint32_t kDoubleClickMs = 500;
constexpr int kDoubleClickSlop = 4;
// How long a wait may last while sockets or the SDL queue need polling too.
constexpr std::uint32_t kPollSliceMs = 5;

bool TimeReached(std::uint32_t now, std::uint32_t due) { return static_cast<std::int32_t>(now - due) >= 0; }

bool IsSelfOrDescendant(const Window* window, const Window* ancestor) {
  for (const Window* w = window; w; w = w->Parent())
    if (w == ancestor) return true;
  return false;
}

bool SdlVideoActive() { return SDL_WasInit(SDL_INIT_VIDEO) != 0; }

WParam VirtualKeyFromSdl(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
  switch (key) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN: case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT: case SDLK_RALT: return VK_MENU;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDL_SCANCODE_TO_KEYCODE(SDL_SCANCODE_LANG1): return VK_HANGUL;
    case SDL_SCANCODE_TO_KEYCODE(SDL_SCANCODE_LANG2): return VK_HANJA;
    default: return 0;
  }
}

// Keys whose press also types a control character, as TranslateMessage does.
int ControlCharacterOf(WParam virtualKey) {
  switch (virtualKey) {
    case VK_BACK: return 0x08;
    case VK_TAB: return 0x09;
    case VK_RETURN: return 0x0D;
    case VK_ESCAPE: return 0x1B;
    default: return 0;
  }
}

}  // namespace

EventLoop::EventLoop(MillisecondClock& clock) : clock_(clock), sockets_(*this) { g_current = this; }

EventLoop::~EventLoop() {
  // Windows that outlive the loop become inert.
  for (auto& [handle, window] : windows_) {
    window->handle_ = WindowHandle::None;
    window->loop_ = nullptr;
  }
  if (g_current == this) g_current = nullptr;
}

EventLoop* EventLoop::Current() { return g_current; }

WindowHandle EventLoop::Register(Window& window) {
  const WindowHandle handle{nextHandle_++};
  windows_[static_cast<std::uint32_t>(handle)] = &window;
  return handle;
}

void EventLoop::Unregister(Window& window) {
  const WindowHandle handle = window.handle_;
  windows_.erase(static_cast<std::uint32_t>(handle));
  std::erase_if(timers_, [&](const auto& entry) { return entry.first.first == static_cast<std::uint32_t>(handle); });
  {
    std::lock_guard lock(queueMutex_);
    std::erase_if(queue_, [&](const Posted& p) { return p.window == handle; });
  }
  if (capture_ == handle) capture_ = WindowHandle::None;
  if (focus_ == handle) {
    composition_.Reset();
    focus_ = WindowHandle::None;
  }
  if (hover_ == handle) hover_ = WindowHandle::None;
  if (childDrag_.window == handle) childDrag_.window = WindowHandle::None;
  if (lastClick_.window == handle) lastClick_.pending = false;
  if (root_ == &window) root_ = nullptr;
  dirty_ = true;
}

Window* EventLoop::FromHandle(WindowHandle handle) const {
  auto it = windows_.find(static_cast<std::uint32_t>(handle));
  return it == windows_.end() ? nullptr : it->second;
}

// --- Messages -----------------------------------------------------------------

LResult EventLoop::SendMessage(WindowHandle window, MsgId msg, WParam w, LParam l) {
  Window* target = FromHandle(window);
  return target ? target->WindowProc(msg, w, l) : 0;
}

bool EventLoop::PostMessage(WindowHandle window, MsgId msg, WParam w, LParam l) {
  {
    std::lock_guard lock(queueMutex_);
    queue_.push_back({window, msg, w, l});
  }
  queueSignal_.notify_all();
  WakeSdlWait();
  return true;
}

void EventLoop::WakeSdlWait() {
  // SDL_PushEvent is thread-safe; only a sleeping loop needs the nudge.
  if (sdlWaiting_.load() && SdlVideoActive()) {
    SDL_Event wake{};
    wake.type = SDL_USEREVENT;
    SDL_PushEvent(&wake);
  }
}

bool EventLoop::HasQueuedMessage(WindowHandle window, MsgId msg, WParam w, bool anyWParam) const {
  std::lock_guard lock(queueMutex_);
  return std::any_of(queue_.begin(), queue_.end(), [&](const Posted& p) {
    return p.window == window && p.msg == msg && (anyWParam || p.w == w);
  });
}

bool EventLoop::PostIfNotQueued(WindowHandle window, MsgId msg, WParam w, LParam l) {
  {
    std::lock_guard lock(queueMutex_);
    if (std::any_of(queue_.begin(), queue_.end(),
                    [&](const Posted& p) { return p.window == window && p.msg == msg && p.w == w; }))
      return false;
    queue_.push_back({window, msg, w, l});
  }
  queueSignal_.notify_all();
  WakeSdlWait();
  return true;
}

void EventLoop::DeliverPosted() {
  // Only what was queued before this step: a handler that posts again is
  // served on the next iteration, after input and timers.
  std::size_t count;
  {
    std::lock_guard lock(queueMutex_);
    count = queue_.size();
  }
  while (count-- > 0) {
    Posted message;
    {
      std::lock_guard lock(queueMutex_);
      if (queue_.empty()) return;
      message = queue_.front();
      queue_.pop_front();
    }
    if (message.msg == WM_QUIT) {
      Quit(static_cast<int>(message.w));
      continue;
    }
    SendMessage(message.window, message.msg, message.w, message.l);
  }
}

// --- Timers -------------------------------------------------------------------

bool EventLoop::SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t periodMs) {
  if (!FromHandle(window)) return false;
  const std::uint32_t period = std::max<std::uint32_t>(1, periodMs);
  timers_[{static_cast<std::uint32_t>(window), id}] = Timer{period, clock_.NowMs() + period};
  return true;
}

bool EventLoop::KillTimer(WindowHandle window, std::uintptr_t id) {
  return timers_.erase({static_cast<std::uint32_t>(window), id}) != 0;
}

std::optional<std::uint32_t> EventLoop::MsUntilNextTimer() const {
  if (timers_.empty()) return std::nullopt;
  const std::uint32_t now = clock_.NowMs();
  std::uint32_t best = UINT32_MAX;
  for (const auto& [key, timer] : timers_)
    best = std::min(best, TimeReached(now, timer.due) ? 0u : timer.due - now);
  return best;
}

void EventLoop::FireDueTimers() {
  const std::uint32_t now = clock_.NowMs();
  std::vector<std::pair<std::uint32_t, std::uintptr_t>> due;
  for (const auto& [key, timer] : timers_)
    if (TimeReached(now, timer.due)) due.push_back(key);
  for (const auto& key : due) {
    // An earlier handler may have killed or reset this timer.
    auto it = timers_.find(key);
    if (it == timers_.end() || !TimeReached(now, it->second.due)) continue;
    it->second.due = now + it->second.period;
    SendMessage(WindowHandle{key.first}, WM_TIMER, key.second, 0);
  }
}

// --- Running ------------------------------------------------------------------

bool EventLoop::PumpOnce() {
  bool did = false;
  if (SdlVideoActive()) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      if (event.type != SDL_USEREVENT) did = true;
      HandleSdlEvent(event);
    }
  }
  for (const auto& event : composition_.OnIdle(clock_.NowMs())) Deliver(event);
  if (!sockets_.Empty() && sockets_.Poll(0) > 0) did = true;
  {
    std::lock_guard lock(queueMutex_);
    did = did || !queue_.empty();
  }
  DeliverPosted();
  if (auto next = MsUntilNextTimer(); next && *next == 0) {
    did = true;
    FireDueTimers();
  }
  if (dirty_) {
    did = true;
    PaintNow();
  }
  return did;
}

void EventLoop::WaitForWork(std::uint32_t maxMs) {
  std::uint32_t timeout = maxMs;
  if (auto next = MsUntilNextTimer()) timeout = std::min(timeout, *next);
  const bool realTime = &clock_ == &SystemClock::Instance();
  // Announced before the queue is looked at, so a post from another thread
  // in between still wakes the SDL wait.
  struct WaitFlag {
    std::atomic<bool>& flag;
    ~WaitFlag() { flag = false; }
  } waitFlag{sdlWaiting_};
  sdlWaiting_ = true;
  {
    std::lock_guard lock(queueMutex_);
    if (!queue_.empty()) return;
  }
  if (dirty_ || timeout == 0) return;
  if (!sockets_.Empty()) {
    // Sockets and the SDL queue cannot be waited on together: poll in slices.
    sockets_.WaitReadable(static_cast<int>(std::min(timeout, kPollSliceMs)));
    if (!realTime) clock_.SleepMs(0);
    return;
  }
  if (SdlVideoActive() && realTime) {
    SDL_WaitEventTimeout(nullptr, static_cast<int>(timeout));
    return;
  }
  if (!realTime) {
    clock_.SleepMs(timeout);
    return;
  }
  std::unique_lock lock(queueMutex_);
  queueSignal_.wait_for(lock, std::chrono::milliseconds(timeout), [this] { return !queue_.empty(); });
}

int EventLoop::Run() {
  while (!quit_) {
    if (PumpOnce()) continue;
    if (idleHook_ && idleHook_()) continue;
    WaitForWork();
  }
  return exitCode_;
}

void EventLoop::Quit(int exitCode) {
  quit_ = true;
  exitCode_ = exitCode;
}

int EventLoop::RunModal(Window& window) {
  if (!window.IsCreated() || window.loop_ != this) return -1;
  const WindowHandle handle = window.Handle();
  modal_.push_back({handle});
  const std::size_t index = modal_.size() - 1;
  // Input that was going elsewhere stops: the modal window owns it now.
  if (Window* captured = GetCapture(); captured && !IsSelfOrDescendant(captured, &window)) ReleaseCapture();
  dirty_ = true;
  while (!modal_[index].ended && !quit_ && FromHandle(handle) == &window) {
    if (modalHook_) {
      modalHook_(window);
      if (modal_[index].ended || quit_ || FromHandle(handle) != &window) break;
    }
    if (PumpOnce()) continue;
    if (idleHook_ && idleHook_()) continue;
    WaitForWork();
  }
  const ModalFrame frame = modal_[index];
  modal_.erase(modal_.begin() + static_cast<std::ptrdiff_t>(index));
  dirty_ = true;
  return frame.ended ? frame.result : -1;
}

void EventLoop::EndModal(Window& window, int result) {
  for (auto it = modal_.rbegin(); it != modal_.rend(); ++it) {
    if (it->window == window.Handle() && !it->ended) {
      it->ended = true;
      it->result = result;
      return;
    }
  }
}

Window* EventLoop::TopModal() const {
  for (auto it = modal_.rbegin(); it != modal_.rend(); ++it)
    if (!it->ended)
      if (Window* w = FromHandle(it->window)) return w;
  return nullptr;
}

// --- Input --------------------------------------------------------------------

Window* EventLoop::HitTest(Window& window, Point p) const {
  if (!window.visible_ || !window.GetScreenRect().Contains(p)) return nullptr;
  // A click on a pixel outside a window's shape reaches what lies below it.
  if (window.region_ && !window.region_->Contains(window.ScreenToClient(p))) return nullptr;
  for (auto it = window.children_.rbegin(); it != window.children_.rend(); ++it)
    if (Window* hit = HitTest(**it, p)) return hit;
  return &window;
}

Window* EventLoop::WindowFromPoint(Point p) const { return root_ ? HitTest(*root_, p) : nullptr; }

bool EventLoop::AcceptsInput(const Window* window) const {
  if (!window || !window->IsWindowEnabled()) return false;
  const Window* modal = TopModal();
  return !modal || IsSelfOrDescendant(window, modal);
}

Window* EventLoop::KeyboardTarget() const {
  if (Window* focus = GetFocus(); AcceptsInput(focus)) return focus;
  if (Window* modal = TopModal()) return modal;
  return root_;
}

WParam EventLoop::MouseKeys() const {
  return (leftDown_ ? MK_LBUTTON : 0) | (rightDown_ ? MK_RBUTTON : 0) | (shiftDown_ ? MK_SHIFT : 0) |
         (controlDown_ ? MK_CONTROL : 0);
}

void EventLoop::SendMouse(Window& target, MsgId msg, Point screenPoint, WParam keys) {
  const Point local = target.ScreenToClient(screenPoint);
  target.SendMessage(msg, keys, MakeLParam(local.x, local.y));
}

void EventLoop::UpdateHover(Window* target, Point p) {
  const WindowHandle next = target ? target->Handle() : WindowHandle::None;
  if (next == hover_) return;
  const WindowHandle previous = hover_;
  hover_ = next;
  SendMessage(previous, WM_MOUSELEAVE);
  if (target) SendMouse(*target, WM_MOUSEENTER, p, MouseKeys());
}

void EventLoop::InjectMouseMove(Point p) {
  lastMouse_ = p;
  NotifyMouseListeners(WM_MOUSEMOVE, p);
  if (childDrag_.window != WindowHandle::None) {
    DragChildTo(p);
    return;
  }
  if (dragging_) {
    if (screen_) {
      int x = 0, y = 0;
      SDL_GetGlobalMouseState(&x, &y);
      screen_->SetWindowPosition({dragStartWindow_.x + x - dragStartMouse_.x, dragStartWindow_.y + y - dragStartMouse_.y});
    }
    return;
  }
  Window* hit = WindowFromPoint(p);
  if (!AcceptsInput(hit)) hit = nullptr;
  UpdateHover(hit, p);
  Window* target = GetCapture();
  if (!target) {
    target = hit;
    if (target) {
      const WindowHandle handle = target->Handle();
      target->SendMessage(WM_SETCURSOR, static_cast<WParam>(handle), MakeLParam(HTCLIENT, WM_MOUSEMOVE));
      if (FromHandle(handle) != target) return;
    }
  }
  if (target) SendMouse(*target, WM_MOUSEMOVE, p, MouseKeys());
}

void EventLoop::PostSystemMenuGesture(LParam key) {
  if (root_) PostMessage(root_->Handle(), WM_SYSCOMMAND, SC_KEYMENU, key);
}

void EventLoop::InjectMouseButton(Point p, MouseButton button, bool down) {
  lastMouse_ = p;
  (button == MouseButton::Left ? leftDown_ : rightDown_) = down;
  const bool left = button == MouseButton::Left;
  NotifyMouseListeners(left ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP) : (down ? WM_RBUTTONDOWN : WM_RBUTTONUP), p);
  if (left && !down && (dragging_ || childDrag_.window != WindowHandle::None)) {
    dragging_ = false;
    childDrag_.window = WindowHandle::None;
    return;
  }
  if (button == MouseButton::Right && !down && p.y >= 0 && p.y < captionBarHeight_) PostSystemMenuGesture(0);
  Window* target = GetCapture();
  if (!target) {
    target = WindowFromPoint(p);
    if (!AcceptsInput(target)) target = nullptr;
  }
  if (!target) {
    lastClick_.pending = false;
    return;
  }
  if (left && down && !GetCapture()) {
    // A window that answers HTCAPTION is dragged by this press (a dialog
    // dragged by its background) instead of being clicked.
    const WindowHandle handle = target->Handle();
    if (target->SendMessage(WM_NCHITTEST, 0, MakeLParam(p.x, p.y)) == static_cast<LResult>(HTCAPTION)) {
      lastClick_.pending = false;
      SendMessage(handle, WM_NCLBUTTONDOWN, HTCAPTION, MakeLParam(p.x, p.y));
      return;
    }
    if (FromHandle(handle) != target) return;
  }
  MsgId msg = left ? WM_LBUTTONUP : WM_RBUTTONUP;
  if (down) {
    const std::uint32_t now = clock_.NowMs();
    const bool second = lastClick_.pending && lastClick_.window == target->Handle() && lastClick_.button == button &&
                        now - lastClick_.time <= kDoubleClickMs && std::abs(p.x - lastClick_.at.x) <= kDoubleClickSlop &&
                        std::abs(p.y - lastClick_.at.y) <= kDoubleClickSlop;
    if (second) {
      lastClick_.pending = false;
      msg = target->WantsDoubleClicks() ? (left ? WM_LBUTTONDBLCLK : WM_RBUTTONDBLCLK)
                                        : (left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN);
    } else {
      lastClick_ = {target->Handle(), button, p, now, true};
      msg = left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
    }
  }
  SendMouse(*target, msg, p, MouseKeys());
}

void EventLoop::InjectMouseWheel(Point p, int delta) {
  NotifyMouseListeners(WM_MOUSEWHEEL, p);
  Window* target = GetCapture();
  if (!target) {
    target = WindowFromPoint(p);
    if (!AcceptsInput(target)) target = nullptr;
  }
  if (target)
    target->SendMessage(WM_MOUSEWHEEL, MakeWParam(static_cast<unsigned>(MouseKeys()), static_cast<std::uint16_t>(delta)),
                        MakeLParam(p.x, p.y));
}

void EventLoop::InjectKey(WParam virtualKey, bool down, bool repeat) {
  if (virtualKey == VK_SHIFT) shiftDown_ = down;
  if (virtualKey == VK_CONTROL) controlDown_ = down;
  if (virtualKey == VK_MENU) altDown_ = down;
  if (virtualKey == VK_SPACE && down && !repeat && altDown_) PostSystemMenuGesture(' ');
  Window* target = KeyboardTarget();
  if (!target) return;
  const WindowHandle handle = target->Handle();
  const LParam flags = down ? (repeat ? 0x40000001 : 1) : static_cast<LParam>(0xC0000001u);
  const MsgId msg = down ? WM_KEYDOWN : WM_KEYUP;
  // A key taken before the window sees it types nothing either.
  if (PreTranslate(*target, msg, virtualKey, flags)) return;
  if (FromHandle(handle) != target) return;
  target->SendMessage(msg, virtualKey, flags);
  if (!down) return;
  if (int character = ControlCharacterOf(virtualKey)) {
    Window* typedInto = FromHandle(handle);
    if (!typedInto || PreTranslate(*typedInto, WM_CHAR, static_cast<WParam>(character), 1)) return;
    SendMessage(handle, WM_CHAR, static_cast<WParam>(character), 1);
  }
}

bool EventLoop::PreTranslate(Window& target, MsgId msg, WParam w, LParam l) {
  std::vector<WindowHandle> chain;
  for (Window* window = &target; window; window = window->Parent()) chain.push_back(window->Handle());
  for (WindowHandle handle : chain)
    if (Window* window = FromHandle(handle); window && window->PreTranslateMessage(msg, w, l)) return true;
  return false;
}

bool EventLoop::IsKeyDown(WParam virtualKey) const {
  switch (virtualKey) {
    case VK_SHIFT: return shiftDown_;
    case VK_CONTROL: return controlDown_;
    case VK_MENU: return altDown_;
    case VK_LBUTTON: return leftDown_;
    case VK_RBUTTON: return rightDown_;
    default: return false;
  }
}

int EventLoop::AddMouseListener(MouseListener listener) {
  const int id = nextMouseListener_++;
  mouseListeners_.emplace_back(id, std::move(listener));
  return id;
}

void EventLoop::RemoveMouseListener(int id) {
  std::erase_if(mouseListeners_, [id](const auto& entry) { return entry.first == id; });
}

void EventLoop::NotifyMouseListeners(MsgId msg, Point p) {
  // A listener may remove itself (or another) while it runs.
  const auto listeners = mouseListeners_;
  for (const auto& [id, listener] : listeners)
    if (std::any_of(mouseListeners_.begin(), mouseListeners_.end(), [&](const auto& e) { return e.first == id; }))
      listener(msg, p);
}

void EventLoop::InjectTextEditing(std::string_view utf8) {
  for (const auto& event : composition_.OnEditing(utf8, clock_.NowMs())) Deliver(event);
}

void EventLoop::InjectTextInput(std::string_view utf8) {
  for (const auto& event : composition_.OnTextInput(utf8, clock_.NowMs())) Deliver(event);
}

void EventLoop::Deliver(const CompositionSequencer::Event& event) {
  Window* target = KeyboardTarget();
  if (!target) return;
  using Kind = CompositionSequencer::Event::Kind;
  switch (event.kind) {
    case Kind::Start:
      target->SendMessage(WM_IME_STARTCOMPOSITION);
      break;
    case Kind::End:
      target->SendMessage(WM_IME_ENDCOMPOSITION);
      break;
    case Kind::Compose: {
      const auto characters = Cp949Characters(Utf8ToCp949(event.text));
      if (characters.empty()) break;
      // The character being composed, high byte first as the input method
      // manager gives it.
      const std::uint16_t c = characters.back();
      const WParam packed = c > 0xFF ? static_cast<WParam>(((c & 0xFF) << 8) | (c >> 8)) : c;
      target->SendMessage(WM_IME_COMPOSITION, packed, GCS_COMPSTR);
      break;
    }
    case Kind::Result:
      compositionResult_ = Utf8ToCp949(event.text);
      target->SendMessage(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
      break;
    case Kind::Text: {
      const WindowHandle handle = target->Handle();
      for (std::uint16_t character : Cp949Characters(Utf8ToCp949(event.text))) SendMessage(handle, WM_CHAR, character, 1);
      break;
    }
  }
}

void EventLoop::SetCapture(WindowHandle window) {
  const WindowHandle previous = capture_;
  capture_ = window;
  if (previous != window) SendMessage(previous, WM_CAPTURECHANGED, 0, 0);
}

void EventLoop::ReleaseCapture() {
  const WindowHandle previous = capture_;
  capture_ = WindowHandle::None;
  SendMessage(previous, WM_CAPTURECHANGED, 0, 0);
}

void EventLoop::SetFocus(WindowHandle window) {
  if (window == focus_ || (window != WindowHandle::None && !FromHandle(window))) return;
  // A composition belongs to the window it was typed into.
  for (const auto& event : composition_.Reset()) Deliver(event);
  const WindowHandle previous = focus_;
  focus_ = window;
  SendMessage(previous, WM_KILLFOCUS, static_cast<WParam>(window), 0);
  SendMessage(window, WM_SETFOCUS, static_cast<WParam>(previous), 0);
  if (SdlVideoActive() && window != WindowHandle::None && !SDL_IsTextInputActive()) SDL_StartTextInput();
}

void EventLoop::SetCaretRect(WindowHandle window, const Rect& clientRect) {
  Window* w = FromHandle(window);
  if (!w || !screen_) return;
  const Rect screenRect = w->GetScreenRect();
  screen_->SetTextInputRect(clientRect.Offset(screenRect.left, screenRect.top));
}

void EventLoop::BeginWindowDrag() {
  if (!leftDown_ || !screen_) return;
  dragging_ = true;
  SDL_GetGlobalMouseState(&dragStartMouse_.x, &dragStartMouse_.y);
  dragStartWindow_ = screen_->WindowPosition();
}

void EventLoop::BeginChildDrag(Window& window) {
  if (!leftDown_ || !window.IsCreated() || !window.Parent()) return;
  childDrag_ = {window.Handle(), lastMouse_, window.rect_};
}

void EventLoop::DragChildTo(Point p) {
  Window* window = FromHandle(childDrag_.window);
  if (!window || !window->Parent()) {
    childDrag_.window = WindowHandle::None;
    return;
  }
  const Rect start = childDrag_.startRect;
  const Rect room = window->Parent()->GetClientRect();
  auto keepInside = [](int at, int size, int roomSize) { return size > roomSize ? 0 : std::clamp(at, 0, roomSize - size); };
  const int x = keepInside(start.left + p.x - childDrag_.startMouse.x, start.Width(), room.Width());
  const int y = keepInside(start.top + p.y - childDrag_.startMouse.y, start.Height(), room.Height());
  if (x != window->rect_.left || y != window->rect_.top) window->MoveWindow(Rect::FromSize(x, y, start.Width(), start.Height()));
}

void EventLoop::HandleSdlEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      if (root_) {
        PostMessage(root_->Handle(), WM_CLOSE);
      } else {
        Quit(0);
      }
      break;
    case SDL_MOUSEMOTION:
      InjectMouseMove({event.motion.x, event.motion.y});
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (event.button.button == SDL_BUTTON_LEFT || event.button.button == SDL_BUTTON_RIGHT)
        InjectMouseButton({event.button.x, event.button.y},
                          event.button.button == SDL_BUTTON_LEFT ? MouseButton::Left : MouseButton::Right,
                          event.type == SDL_MOUSEBUTTONDOWN);
      break;
    case SDL_MOUSEWHEEL: {
      int x = 0, y = 0;
      SDL_GetMouseState(&x, &y);
      float fx = 0, fy = 0;
      if (screen_ && SDL_GetRenderer(screen_->NativeWindow())) {
        SDL_RenderWindowToLogical(SDL_GetRenderer(screen_->NativeWindow()), x, y, &fx, &fy);
        x = static_cast<int>(fx);
        y = static_cast<int>(fy);
      }
      const int notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
      if (notches != 0) InjectMouseWheel({x, y}, notches * 120);
      break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      // The modifier state travels with every key, also when the Alt press
      // itself went to another program.
      altDown_ = (event.key.keysym.mod & KMOD_ALT) != 0;
      if (WParam vk = VirtualKeyFromSdl(event.key.keysym.sym))
        InjectKey(vk, event.type == SDL_KEYDOWN, event.key.repeat != 0);
      break;
    case SDL_TEXTEDITING:
      InjectTextEditing(event.edit.text);
      break;
    case SDL_TEXTINPUT:
      InjectTextInput(event.text.text);
      break;
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_RESTORED:
          if (screen_) screen_->Refresh();
          dirty_ = true;
          break;
        case SDL_WINDOWEVENT_LEAVE:
          UpdateHover(nullptr, {});
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          for (const auto& e : composition_.Reset()) Deliver(e);
          dragging_ = false;
          childDrag_.window = WindowHandle::None;
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
}

// --- Painting -----------------------------------------------------------------

PixelView EventLoop::Frame() {
  const int width = root_ ? root_->rect_.Width() : 0;
  const int height = root_ ? root_->rect_.Height() : 0;
  if (width != frameWidth_ || height != frameHeight_) {
    frameWidth_ = width;
    frameHeight_ = height;
    frame_.assign(static_cast<std::size_t>(std::max(0, width * height)), 0);
  }
  return PixelView{frame_.data(), frameWidth_, frameHeight_, frameWidth_ * 2, PixelFormat::Rgb555, nullptr};
}

void EventLoop::PaintTree(Window& window, const PixelView& frame, Point origin, Rect clip) {
  if (!window.visible_) return;
  const Rect area = Rect::FromSize(origin.x, origin.y, window.rect_.Width(), window.rect_.Height());
  const Rect visible = clip.Intersect(area);
  if (visible.IsEmpty()) return;
  if (!window.region_) {
    PaintWindowAndChildren(window, frame, origin, visible);
    return;
  }
  // A shaped window and its children paint their whole rectangle; then every
  // pixel outside the shape gets back what was below.
  const Region shape = *window.region_;
  const int width = visible.Width();
  std::vector<std::uint16_t> below(static_cast<std::size_t>(width) * visible.Height());
  auto saved = [&](int y) { return below.data() + static_cast<std::size_t>(y - visible.top) * width; };
  for (int y = visible.top; y < visible.bottom; ++y) std::copy_n(frame.Row16(y) + visible.left, width, saved(y));
  PaintWindowAndChildren(window, frame, origin, visible);
  const auto& runs = shape.Runs();
  auto run = runs.begin();
  for (int y = visible.top; y < visible.bottom; ++y) {
    const int shapeY = y - origin.y;
    while (run != runs.end() && run->y < shapeY) ++run;
    int x = visible.left;  // the next pixel not yet known to be inside
    for (auto r = run; r != runs.end() && r->y == shapeY; ++r) {
      const int left = std::clamp(r->left + origin.x, visible.left, visible.right);
      const int right = std::clamp(r->right + origin.x, visible.left, visible.right);
      if (left > x) std::copy(saved(y) + (x - visible.left), saved(y) + (left - visible.left), frame.Row16(y) + x);
      x = std::max(x, right);
    }
    if (x < visible.right) std::copy(saved(y) + (x - visible.left), saved(y) + width, frame.Row16(y) + x);
  }
}

void EventLoop::PaintWindowAndChildren(Window& window, const PixelView& frame, Point origin, Rect visible) {
  PaintContext pc(frame, origin, visible);
  const WindowHandle handle = window.Handle();
  window.SendMessage(WM_PAINT, 0, reinterpret_cast<LParam>(&pc));
  if (FromHandle(handle) != &window) return;
  const std::vector<Window*> children = window.children_;
  for (Window* child : children)
    if (IsSelfOrDescendant(child, &window))
      PaintTree(*child, frame, {origin.x + child->rect_.left, origin.y + child->rect_.top}, visible);
}

void EventLoop::PaintNow() {
  dirty_ = false;
  if (!root_) return;
  const PixelView frame = Frame();
  if (!frame.IsValid()) return;
  PaintTree(*root_, frame, {0, 0}, Bounds(frame));
  if (screen_) screen_->Present(frame);
}

}  // namespace tovrik::platform
