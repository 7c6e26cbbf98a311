#pragma once
// The game clock: a periodic timer on a thread of its own (the stand-in for
// the multimedia timer, timeSetEvent) whose callback only posts a timer
// message to a window, and only when none is already waiting. However late
// the user-interface thread is, at most one tick is ever queued; the game
// catches up by counting missed frames, not by draining a backlog.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/Window.h"

namespace tovrik::platform {

class EventLoop;

// Calls `callback` every `periodMs` on its own thread until stopped. A late
// call is not repeated: the next one keeps to the period from then on.
class MultimediaTimer {
 public:
  MultimediaTimer() = default;
  ~MultimediaTimer() { Stop(); }
  MultimediaTimer(const MultimediaTimer&) = delete;
  MultimediaTimer& operator=(const MultimediaTimer&) = delete;

  // False when already running or the period is 0.
  bool Start(std::uint32_t periodMs, std::function<void()> callback);
  // Returns after the last callback has finished.
  void Stop();
  bool IsRunning() const { return thread_.joinable(); }

 private:
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
};

// WM_TIMER with `timerId` posted to `window` unless one with that id is
// already queued for it. Safe on any thread. True when it posted.
bool PostTickIfNotQueued(EventLoop& loop, WindowHandle window, std::uintptr_t timerId);

// A MultimediaTimer bound to PostTickIfNotQueued: the 20 ms tick (id 10)
// of the game view.
class TickSource {
 public:
  static constexpr std::uintptr_t kTimerId = 10;
  static constexpr std::uint32_t kPeriodMs = 20;

  TickSource(EventLoop& loop, WindowHandle window, std::uintptr_t timerId = kTimerId, std::uint32_t periodMs = kPeriodMs)
      : loop_(loop), window_(window), timerId_(timerId), periodMs_(periodMs) {}

  bool Start() {
    return timer_.Start(periodMs_, [this] { Fire(); });
  }
  void Stop() { timer_.Stop(); }
  bool IsRunning() const { return timer_.IsRunning(); }
  // One run of the callback (tests call it directly).
  bool Fire() { return PostTickIfNotQueued(loop_, window_, timerId_); }

 private:
  EventLoop& loop_;
  WindowHandle window_;
  std::uintptr_t timerId_;
  std::uint32_t periodMs_;
  MultimediaTimer timer_;
};

}  // namespace tovrik::platform
