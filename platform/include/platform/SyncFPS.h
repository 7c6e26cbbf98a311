#pragma once
// Frame pacing of the game loop: tells the caller how many fixed-rate steps
// it has fallen behind real time, so that it can run them without drawing.

#include <cstdint>

#include "platform/Clock.h"

namespace tovrik::platform {

class CSyncFPS {
 public:
  explicit CSyncFPS(MillisecondClock& clock = SystemClock::Instance()) : clock_(&clock) {}
  virtual ~CSyncFPS() = default;

  // Restarts the accounting at `framesPerSecond` from now.
  void Init(int framesPerSecond);
  // Called once per step; returns how many steps the caller is behind (0
  // when on time). With `sleep` set, a caller that is ahead sleeps until
  // its time; without it, being ahead is forgiven. A pause counts as 2 s at
  // most.
  int FrameSync(int sleep);

  int FramesPerSecond() const { return framesPerSecond_; }
  double RealTime() const { return realTime_; }
  double IdealTime() const { return idealTime_; }

 private:
  static constexpr std::uint32_t kMaxElapsedMs = 2000;

  MillisecondClock* clock_;
  int framesPerSecond_ = 75;
  std::uint32_t lastTime_ = 0;
  std::uint32_t nowTime_ = 0;
  double realTime_ = 0;
  double idealTime_ = 0;
};

}  // namespace tovrik::platform
