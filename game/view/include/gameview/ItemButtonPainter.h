#pragma once
// Where the four item buttons get drawn. The buttons' state (slide, mouse
// state, enabled) belongs to the field; what pictures them plugs in here
// (CItemButtonSprites draws their sprite sets). Without a painter the board
// is drawn without them.

namespace tovrik::gfx {
class CPage;
}
namespace tovrik::game {
class CField;
}

namespace tovrik::gameview {

class IItemButtonPainter {
 public:
  virtual ~IItemButtonPainter() = default;
  // Called where the board picture lays the buttons, only in channels with
  // items; `phase` is the field's phase.
  virtual void DrawItemButtons(gfx::CPage& page, const game::CField& field, int phase) = 0;
};

}  // namespace tovrik::gameview
