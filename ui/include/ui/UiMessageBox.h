#pragma once
// Where the skinned controls report a problem to the player (a sprite file
// that cannot be read). The program routes it to its own skinned message
// dialog; until it does, the plain system box shows it.

#include <functional>
#include <string_view>

namespace tovrik::ui {

// Shows `text` (UTF-8) with the buttons and icon of `type` (platform
// MB_* values) and returns the button chosen.
int UiMessageBox(std::string_view text, unsigned type);

using UiMessageBoxHandler = std::function<int(std::string_view text, unsigned type)>;
// Installs the handler every later box goes to; empty restores the system box.
void SetUiMessageBoxHandler(UiMessageBoxHandler handler);

}  // namespace tovrik::ui
