#pragma once
// The flood limiter that every chat input of the client shares (the lobby's
// and the room's input and the whisper window): a player who repeats one
// line or sends lines in a burst is muted for two minutes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tovrik::lobby {

class CNoChat {
 public:
  static constexpr std::size_t kKept = 10;
  static constexpr std::uint32_t kMuteMs = 120000;
  // The same line four times, with five lines in this window, mutes.
  static constexpr std::uint32_t kRepeatWindowMs = 5000;
  // Six lines in less than this mute.
  static constexpr std::uint32_t kBurstWindowMs = 3000;

  // 1 when `text` must not be sent because the player is muted, else 0.
  // A line that is sent is recorded; the line that earns the mute is still
  // sent, the mute holds from the next one on. The time is the event loop's
  // millisecond clock (the system clock without a loop).
  int CheckNoChat(std::string_view text);
  int CheckNoChat(std::string_view text, std::uint32_t nowMs);

  bool IsMuted() const { return muted_; }
  // Forgets every line and the mute.
  void Reset();

 private:
  void Record(std::string_view text, std::uint32_t nowMs);
  bool Floods() const;

  std::array<std::string, kKept> texts_{};
  std::array<std::uint32_t, kKept> times_{};  // newest first, as texts_
  std::size_t held_ = 0;
  bool muted_ = false;
  std::uint32_t muteStart_ = 0;
};

// The one limiter of the running client.
extern CNoChat NoChat;

}  // namespace tovrik::lobby
