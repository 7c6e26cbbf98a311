#include "lobby/NoChat.h"

#include "platform/Clock.h"
#include "platform/EventLoop.h"

#include <algorithm>

namespace tovrik::lobby {

CNoChat NoChat;

namespace {
std::uint32_t LoopNowMs() {
  if (platform::EventLoop* loop = platform::EventLoop::Current()) return loop->Clock().NowMs();
  return platform::SystemClock::Instance().NowMs();
}
}  // namespace

int CNoChat::CheckNoChat(std::string_view text) { return CheckNoChat(text, LoopNowMs()); }

int CNoChat::CheckNoChat(std::string_view text, std::uint32_t nowMs) {
  // Unsigned differences keep the comparison right across the clock's wrap.
  if (muted_) {
    if (nowMs - muteStart_ <= kMuteMs) return 1;
    muted_ = false;
  }
  Record(text, nowMs);
  muted_ = Floods();
  muteStart_ = nowMs;
  return 0;
}

void CNoChat::Reset() {
  texts_ = {};
  times_ = {};
  held_ = 0;
  muted_ = false;
  muteStart_ = 0;
}

void CNoChat::Record(std::string_view text, std::uint32_t nowMs) {
  std::move_backward(texts_.begin(), texts_.end() - 1, texts_.end());
  std::move_backward(times_.begin(), times_.end() - 1, times_.end());
  texts_[0] = std::string(text);
  times_[0] = nowMs;
  held_ = std::min(held_ + 1, kKept);
}

bool CNoChat::Floods() const {
  const bool repeats = held_ >= 5 && texts_[0] == texts_[1] && texts_[0] == texts_[2] && texts_[0] == texts_[3] &&
                       times_[0] - times_[4] <= kRepeatWindowMs;
  const bool burst = held_ > 5 && times_[0] - times_[5] < kBurstWindowMs;
  return repeats || burst;
}

}  // namespace tovrik::lobby
