#include "lobby/ChatViewEdit.h"

namespace tovrik::lobby {

void AddChatText(controls::ChatView& view, std::string_view utf8, app::ChatColour colour, bool scroll, bool bold) {
  if (view.GetLineLimit() != kChatViewLines) view.SetLineLimit(kChatViewLines);
  const int shown = view.GetScrollPos();
  view.AppendUtf8(utf8, platform::RgbColor{colour.r, colour.g, colour.b}, bold);
  if (scroll) view.SetScrollPos(view.GetScrollLimit());
  else view.SetScrollPos(shown);
}

CChatViewEdit::CChatViewEdit() {
  SetLineLimit(kChatViewLines);
  SetGivesFocusBack(true);
}

}  // namespace tovrik::lobby
