#pragma once
// The chat view of the lobby and the room: at most 90 lines, each appended
// in one colour and weight, scrolled to the bottom when the caller asks.
// It never keeps the keyboard focus, so the chat input goes on typing.

#include "app/Screens.h"
#include "controls/ChatView.h"

#include <cstddef>
#include <string_view>

namespace tovrik::lobby {

inline constexpr std::size_t kChatViewLines = 90;

// Appends `utf8` to `view` in `colour` (bold: the 9-point bold face). The
// view keeps its line limit on every call; with `scroll` it then shows its
// bottom, without it the lines shown stay where they were. For the
// lobby's skinned view as well as for CChatViewEdit.
void AddChatText(controls::ChatView& view, std::string_view utf8, app::ChatColour colour, bool scroll, bool bold);

class CChatViewEdit : public controls::ChatView {
 public:
  CChatViewEdit();
  ~CChatViewEdit() override { Destroy(); }

  void AddText(std::string_view utf8, app::ChatColour colour, bool scroll, bool bold = false) {
    AddChatText(*this, utf8, colour, scroll, bold);
  }
  // Formats come with each line; there is nothing to set beforehand.
  void SetTextFormat() {}
};

}  // namespace tovrik::lobby
