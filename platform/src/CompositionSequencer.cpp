#include "platform/CompositionSequencer.h"

namespace tovrik::platform {

using Kind = CompositionSequencer::Event::Kind;

void CompositionSequencer::ReleaseHeld(std::vector<Event>& out) {
  for (auto& text : held_) out.push_back({Kind::Text, std::move(text)});
  held_.clear();
}

std::vector<CompositionSequencer::Event> CompositionSequencer::OnEditing(std::string_view utf8, std::uint32_t) {
  std::vector<Event> out;
  if (utf8.empty()) {
    if (composing_) {
      // The composition was cleared; its commit may still be on its way.
      if (!current_.empty()) awaitingEnd_ = current_;
      current_.clear();
      previous_.clear();
      composing_ = false;
      out.push_back({Kind::End, {}});
    }
    return out;
  }
  if (!composing_) {
    composing_ = true;
    out.push_back({Kind::Start, {}});
  } else if (current_ != utf8) {
    previous_ = current_;
  }
  current_ = std::string(utf8);
  out.push_back({Kind::Compose, current_});
  return out;
}

std::vector<CompositionSequencer::Event> CompositionSequencer::OnTextInput(std::string_view utf8, std::uint32_t nowMs) {
  std::vector<Event> out;
  if (utf8.empty()) return out;
  if (composing_ && utf8 == current_) {
    out.push_back({Kind::Result, std::string(utf8)});
    return Finish(out);
  }
  const bool commitsEnded = !awaitingEnd_.empty() && utf8 == awaitingEnd_;
  const bool commitsReplaced = composing_ && !previous_.empty() && utf8 == previous_;
  if (commitsEnded || commitsReplaced) {
    // The syllable that was finished before the current composition began.
    out.push_back({Kind::Result, std::string(utf8)});
    if (commitsEnded) awaitingEnd_.clear();
    previous_.clear();
    if (composing_) out.push_back({Kind::Compose, current_});
    ReleaseHeld(out);
    return out;
  }
  if (composing_ || !awaitingEnd_.empty()) {
    // Typed after the composition ended but overtook its commit.
    if (held_.empty()) heldSince_ = nowMs;
    held_.emplace_back(utf8);
    return out;
  }
  out.push_back({Kind::Text, std::string(utf8)});
  return out;
}

std::vector<CompositionSequencer::Event> CompositionSequencer::OnIdle(std::uint32_t nowMs) {
  std::vector<Event> out;
  if (!held_.empty() && nowMs - heldSince_ >= kHoldLimitMs) {
    // The commit never came (the composition was dropped): nothing typed is lost.
    awaitingEnd_.clear();
    previous_.clear();
    ReleaseHeld(out);
  }
  return out;
}

std::vector<CompositionSequencer::Event> CompositionSequencer::Reset() {
  std::vector<Event> out;
  return Finish(out);
}

std::vector<CompositionSequencer::Event>& CompositionSequencer::Finish(std::vector<Event>& out) {
  if (composing_) out.push_back({Kind::End, {}});
  composing_ = false;
  current_.clear();
  previous_.clear();
  awaitingEnd_.clear();
  ReleaseHeld(out);
  return out;
}

}  // namespace tovrik::platform
