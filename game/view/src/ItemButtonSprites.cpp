#include "gameview/ItemButtonSprites.h"

#include "base/Log.h"
#include "game/Field.h"
#include "gfx/Page.h"

namespace tovrik::gameview {

namespace {
constexpr int kHolderFrame = 0;
constexpr int kNormalFrame = 1;
// The button sits this far below the top of its holder.
constexpr int kButtonDrop = 11;
}  // namespace

void CItemButtonSprites::DrawItemButtons(gfx::CPage& page, const game::CField& field, int phase) {
  for (const game::CItemBtn& button : field.itemButtons) {
    const auto kind = static_cast<std::size_t>(button.itemKind);
    const gfx::CSprite8* set = kind < sprites_.itemButton.size() ? sprites_.itemButton[kind] : nullptr;
    if (!set) {
      if (kind < missingLogged_.size() && !missingLogged_[kind]) {
        missingLogged_[kind] = true;
        base::Log(base::LogLevel::Warn, "gameview", "no sprite set for item button ", button.itemKind,
                  ": it is left out of the picture");
      }
      continue;
    }
    const bool gameOn = phase != game::kPhaseIdle && phase != game::kPhaseOpening;
    const int frame = gameOn ? kNormalFrame + button.mouseState : kNormalFrame;
    page.PutSprAuto(button.x + button.slide, button.y + kButtonDrop, set, frame);
    page.PutSprAuto(button.x, button.y, set, kHolderFrame);
  }
}

}  // namespace tovrik::gameview
