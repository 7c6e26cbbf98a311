#pragma once
// The artwork the main window loads once at start-up for the game room and
// the result screens: the 8-bit and 16-bit sprite sets in the order they are
// loaded, and the event prize picture. Files that could not be read are
// present as empty sets (the drawing operations refuse them silently).

#include "gfx/Bitmap.h"
#include "gfx/Sprite.h"
#include "gfx/Sprite8.h"

#include <memory>
#include <vector>

namespace tovrik::app {

struct CommonSprites {
  std::vector<std::unique_ptr<tovrik::gfx::CSprite8>> sprites8;
  std::vector<std::unique_ptr<tovrik::gfx::xSprite>> sprites16;
  tovrik::gfx::xBitmap eventPrize;
};

const CommonSprites& GetCommonSprites();

}  // namespace tovrik::app
