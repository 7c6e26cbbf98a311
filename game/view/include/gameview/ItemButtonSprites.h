#pragma once
// The item buttons drawn from their 8-bit sprite sets, from the state the
// field keeps for them: the holder at the button's place, and the button
// slid in or out over it, pictured by its mouse state (before a game is on,
// always the normal picture). The game view uses it unless given another
// painter.

#include <array>

#include "gameview/GameSprites.h"
#include "gameview/ItemButtonPainter.h"

namespace tovrik::gameview {

class CItemButtonSprites final : public IItemButtonPainter {
 public:
  explicit CItemButtonSprites(const GameSprites& sprites) : sprites_(sprites) {}

  void DrawItemButtons(gfx::CPage& page, const game::CField& field, int phase) override;

 private:
  const GameSprites& sprites_;
  std::array<bool, game::kItemKindCount> missingLogged_{};
};

}  // namespace tovrik::gameview
