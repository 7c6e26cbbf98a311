#pragma once
// Wrong secret-room passwords, per user, for one room. A four-digit
// password falls to a few thousand guesses, so after a few free tries each
// further one has to wait longer, and after kMaxFailures the user may not
// try that room again.

#include <chrono>
#include <cstdint>
#include <map>

namespace tovrik::server {

class PasswordGuard {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr int kFreeTries = 3;
  static constexpr int kMaxFailures = 10;
  static constexpr std::chrono::seconds kFirstWait{1};
  static constexpr std::chrono::seconds kLongestWait{60};

  // Whether the user's next try may be checked at all now.
  bool MayTry(std::int64_t userId, Clock::time_point now) const;
  // Counts a wrong password; true when that was the last one allowed.
  bool Failed(std::int64_t userId, Clock::time_point now);
  void Succeeded(std::int64_t userId) { tries_.erase(userId); }
  // How long after its last failure the user must wait: 0 for the free
  // tries, then 1 s doubling up to kLongestWait.
  static Clock::duration WaitAfter(int failures);

 private:
  struct Tries {
    int failures = 0;
    Clock::time_point last;
  };
  std::map<std::int64_t, Tries> tries_;
};

}  // namespace tovrik::server
