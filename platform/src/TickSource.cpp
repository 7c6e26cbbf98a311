#include "platform/TickSource.h"

#include <chrono>

#include "platform/EventLoop.h"

namespace tovrik::platform {

bool MultimediaTimer::Start(std::uint32_t periodMs, std::function<void()> callback) {
  if (thread_.joinable() || periodMs == 0 || !callback) return false;
  stopping_ = false;
  thread_ = std::thread([this, periodMs, callback = std::move(callback)] {
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::milliseconds(periodMs);
    auto next = Clock::now() + period;
    std::unique_lock lock(mutex_);
    while (!wake_.wait_until(lock, next, [this] { return stopping_; })) {
      lock.unlock();
      callback();
      lock.lock();
      next += period;
      if (const auto now = Clock::now(); next <= now) next = now + period;
    }
  });
  return true;
}

void MultimediaTimer::Stop() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

bool PostTickIfNotQueued(EventLoop& loop, WindowHandle window, std::uintptr_t timerId) {
  return loop.PostIfNotQueued(window, WM_TIMER, timerId, 0);
}

}  // namespace tovrik::platform
