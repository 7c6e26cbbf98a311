#pragma once
// A rate limit: up to `burst` events at once, then `perSecond` on average.

#include <algorithm>
#include <chrono>

namespace tovrik::server {

class TokenBucket {
 public:
  using Clock = std::chrono::steady_clock;

  TokenBucket(double burst, double perSecond) : burst_(burst), perSecond_(perSecond), tokens_(burst) {}

  // Takes one token when there is one.
  bool Take(Clock::time_point now) {
    Refill(now);
    if (tokens_ < 1.0) return false;
    tokens_ -= 1.0;
    return true;
  }

 private:
  void Refill(Clock::time_point now) {
    if (filled_ != Clock::time_point{}) {
      const double seconds = std::chrono::duration<double>(now - filled_).count();
      tokens_ = std::min(burst_, tokens_ + seconds * perSecond_);
    }
    filled_ = now;
  }

  double burst_;
  double perSecond_;
  double tokens_;
  Clock::time_point filled_{};
};

}  // namespace tovrik::server
