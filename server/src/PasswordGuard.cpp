#include "server/PasswordGuard.h"

#include <algorithm>

namespace tovrik::server {

PasswordGuard::Clock::duration PasswordGuard::WaitAfter(int failures) {
  if (failures < kFreeTries) return Clock::duration::zero();
  const int doublings = std::min(failures - kFreeTries, 16);
  return std::min<Clock::duration>(kFirstWait * (1 << doublings), kLongestWait);
}

bool PasswordGuard::MayTry(std::int64_t userId, Clock::time_point now) const {
  const auto it = tries_.find(userId);
  if (it == tries_.end()) return true;
  const Tries& tries = it->second;
  return tries.failures < kMaxFailures && now >= tries.last + WaitAfter(tries.failures);
}

bool PasswordGuard::Failed(std::int64_t userId, Clock::time_point now) {
  Tries& tries = tries_[userId];
  ++tries.failures;
  tries.last = now;
  return tries.failures == kMaxFailures;
}

}  // namespace tovrik::server
