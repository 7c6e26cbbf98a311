#pragma once
// The millisecond clock of the event loop, the timers and the frame pacing.
// Production code uses the system clock; tests drive a FakeClock by hand.

#include <cstdint>

namespace tovrik::platform {

class MillisecondClock {
 public:
  virtual ~MillisecondClock() = default;
  // Milliseconds since an arbitrary start; wraps after 2^32 like timeGetTime.
  virtual std::uint32_t NowMs() = 0;
  virtual void SleepMs(std::uint32_t ms) = 0;
};

class SystemClock final : public MillisecondClock {
 public:
  std::uint32_t NowMs() override;
  void SleepMs(std::uint32_t ms) override;
  static SystemClock& Instance();
};

// A clock that moves only when told to; sleeping advances it at once.
class FakeClock final : public MillisecondClock {
 public:
  explicit FakeClock(std::uint32_t start = 0) : now_(start) {}
  std::uint32_t NowMs() override { return now_; }
  void SleepMs(std::uint32_t ms) override {
    slept_ += ms;
    now_ += ms;
  }
  void Advance(std::uint32_t ms) { now_ += ms; }
  void Set(std::uint32_t ms) { now_ = ms; }
  // Total milliseconds asked for through SleepMs.
  std::uint64_t SleptMs() const { return slept_; }

 private:
  std::uint32_t now_;
  std::uint64_t slept_ = 0;
};

}  // namespace tovrik::platform
