#pragma once
// Puts the input method's events into the order a Windows input method
// gives them. Under Linux, SDL reports the composition (SDL_TEXTEDITING) and
// the committed text (SDL_TEXTINPUT) as the input-method module sends them,
// and with Korean input under ibus and fcitx the committed syllable may
// arrive after the character that ended it, or after the next syllable's
// composition has begun. A naive reader then types "/마" for "마/", or puts
// the committed syllable behind the one being composed.
//
// The sequencer remembers the composition that is waiting for its commit:
// - a commit equal to it ends that composition (Result, End);
// - a commit equal to the composition before it (the next syllable started
//   first) is delivered, then the current composition is shown again;
// - other text that arrives while a commit is still owed is held back and
//   delivered right after that commit, or after `kHoldLimitMs` without it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tovrik::platform {

class CompositionSequencer {
 public:
  static constexpr std::uint32_t kHoldLimitMs = 100;

  struct Event {
    enum class Kind { Start, Compose, Result, End, Text };
    Kind kind;
    std::string text;  // UTF-8; empty for Start and End
    friend bool operator==(const Event&, const Event&) = default;
  };

  std::vector<Event> OnEditing(std::string_view utf8, std::uint32_t nowMs);
  std::vector<Event> OnTextInput(std::string_view utf8, std::uint32_t nowMs);
  // Releases held text once the commit it waits for is overdue.
  std::vector<Event> OnIdle(std::uint32_t nowMs);
  // Ends everything (the focus moved): the open composition is dropped and
  // held text delivered.
  std::vector<Event> Reset();

  bool IsComposing() const { return composing_; }

 private:
  void ReleaseHeld(std::vector<Event>& out);
  // Ends any composition, forgets owed commits and releases held text.
  std::vector<Event>& Finish(std::vector<Event>& out);

  bool composing_ = false;    // Start sent, End not yet
  std::string current_;       // composition being shown
  std::string previous_;      // replaced by current_ before it was committed
  std::string awaitingEnd_;   // composition cleared by an empty edit, commit still owed
  std::vector<std::string> held_;
  std::uint32_t heldSince_ = 0;
};

}  // namespace tovrik::platform
