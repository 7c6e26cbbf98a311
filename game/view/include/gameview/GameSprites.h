#pragma once
// The 8-bit sprite sets the game view draws with, by their role. A set that
// could not be loaded is null; the painter skips what it cannot draw.

#include <array>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "game/ItemBtn.h"
#include "gfx/Sprite8.h"

namespace tovrik::gameview {

struct GameSprites {
  const gfx::CSprite8* gameBack = nullptr;
  const gfx::CSprite8* title = nullptr;
  const gfx::CSprite8* pGage = nullptr;
  const gfx::CSprite8* tGage = nullptr;
  const gfx::CSprite8* turn = nullptr;
  const gfx::CSprite8* changeCur = nullptr;
  const gfx::CSprite8* teleportCur = nullptr;
  const gfx::CSprite8* nuclearCur = nullptr;
  const gfx::CSprite8* stoneFocus = nullptr;
  const gfx::CSprite8* hanStone = nullptr;
  const gfx::CSprite8* choStone = nullptr;
  const gfx::CSprite8* pcRoom = nullptr;
  const gfx::CSprite8* peakTimeEvent = nullptr;
  const gfx::CSprite8* star = nullptr;
  std::array<const gfx::CSprite8*, game::kItemKindCount> itemButton{};
  std::array<const gfx::CSprite8*, game::kItemKindCount> itemTitle{};
  const gfx::CSprite8* changeAni = nullptr;
  const gfx::CSprite8* teleportAni = nullptr;
  const gfx::CSprite8* nuclearAni = nullptr;
  const gfx::CSprite8* teleportTarget = nullptr;
  const gfx::CSprite8* eventCoin = nullptr;
};

// One set of the table below: the file as the client names it and where the
// loaded set goes.
struct GameSpriteFile {
  std::string_view path;
  const gfx::CSprite8* GameSprites::*member = nullptr;
  int itemKind = -1;  // for the per-item arrays
};
const std::vector<GameSpriteFile>& GameSpriteFiles();

// Loads and owns the sets of GameSpriteFiles from a runtime folder.
class CGameSpriteSets {
 public:
  // Every set of the table; a missing or unreadable file leaves its role
  // null and is logged. Returns the number of sets loaded.
  int Load(const std::filesystem::path& runtimeDir);
  const GameSprites& Sprites() const { return sprites_; }

 private:
  std::vector<std::unique_ptr<gfx::CSprite8>> owned_;
  GameSprites sprites_;
};

}  // namespace tovrik::gameview
