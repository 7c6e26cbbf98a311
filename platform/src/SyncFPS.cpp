#include "platform/SyncFPS.h"

#include <algorithm>

namespace tovrik::platform {

void CSyncFPS::Init(int framesPerSecond) {
  framesPerSecond_ = framesPerSecond;
  lastTime_ = nowTime_ = clock_->NowMs();
  realTime_ = idealTime_ = 0;
}

int CSyncFPS::FrameSync(int sleep) {
  // A rate of 0 or less has no frame time; it must not divide by zero.
  const double frameTime = framesPerSecond_ > 0 ? 1000.0 / framesPerSecond_ : 0.0;
  nowTime_ = clock_->NowMs();
  // Unsigned difference: right across the clock's wrap.
  const std::uint32_t elapsed = std::min(nowTime_ - lastTime_, kMaxElapsedMs);
  lastTime_ = nowTime_;
  realTime_ += elapsed;
  idealTime_ += frameTime;
  if (idealTime_ > realTime_) {
    if (sleep) {
      clock_->SleepMs(static_cast<std::uint32_t>(idealTime_ - realTime_));
    } else {
      idealTime_ = realTime_;
    }
    return 0;
  }
  if (idealTime_ < realTime_ && frameTime > 0) {
    const int behind = static_cast<int>((realTime_ - idealTime_) / frameTime);
    idealTime_ += behind * frameTime;
    return behind;
  }
  return 0;
}

}  // namespace tovrik::platform
