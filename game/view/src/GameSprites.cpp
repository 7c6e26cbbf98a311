#include "gameview/GameSprites.h"

#include "base/Log.h"
#include "platform/PathResolver.h"

namespace tovrik::gameview {

const std::vector<GameSpriteFile>& GameSpriteFiles() {
  using S = GameSprites;
  static const std::vector<GameSpriteFile> files = {
      {".\\data\\GameBack8.spr", &S::gameBack},
      {".\\data\\Title8.spr", &S::title},
      {".\\data\\PGage8.spr", &S::pGage},
      {".\\data\\TGage8.spr", &S::tGage},
      {".\\data\\Turn8.spr", &S::turn},
      {".\\data\\ChangeCur8.spr", &S::changeCur},
      {".\\data\\TeleportCur8.spr", &S::teleportCur},
      {".\\data\\NuclearCur8.spr", &S::nuclearCur},
      {".\\data\\StoneFocus8.spr", &S::stoneFocus},
      {".\\data\\HanStone8.spr", &S::hanStone},
      {".\\data\\ChoStone8.spr", &S::choStone},
      {".\\data\\PcRoom.spr", &S::pcRoom},
      {".\\data\\PeakTime.spr", &S::peakTimeEvent},
      {".\\data\\Star8.spr", &S::star},
      {".\\data\\PowerBtn8.spr", nullptr, game::kItemPowerUp},
      {".\\data\\ChangeBtn8.spr", nullptr, game::kItemChange},
      {".\\data\\TeleportBtn8.spr", nullptr, game::kItemTeleport},
      {".\\data\\NuclearBtn8.spr", nullptr, game::kItemNuclear},
      {".\\data\\PowerUpTitle8.spr", nullptr, 4 + game::kItemPowerUp},
      {".\\data\\ChangeTitle8.spr", nullptr, 4 + game::kItemChange},
      {".\\data\\TeleportTitle8.spr", nullptr, 4 + game::kItemTeleport},
      {".\\data\\NuclearTitle8.spr", nullptr, 4 + game::kItemNuclear},
      {".\\data\\ChangeAni8.spr", &S::changeAni},
      {".\\data\\TeleportAni8.spr", &S::teleportAni},
      {".\\data\\NuclearAni8.spr", &S::nuclearAni},
      {".\\data\\TeleportTarget8.spr", &S::teleportTarget},
      {".\\data\\Event_coin.spr", &S::eventCoin},
  };
  return files;
}

int CGameSpriteSets::Load(const std::filesystem::path& runtimeDir) {
  owned_.clear();
  sprites_ = {};
  int loaded = 0;
  for (const GameSpriteFile& file : GameSpriteFiles()) {
    auto set = std::make_unique<gfx::CSprite8>();
    if (!set->Load(platform::ResolvePath(file.path, runtimeDir)) || set->FrameCount() == 0) {
      base::Log(base::LogLevel::Warn, "gameview", "cannot read the sprite set ", file.path);
      continue;
    }
    const gfx::CSprite8* view = set.get();
    if (file.member) sprites_.*(file.member) = view;
    else if (file.itemKind >= 4) sprites_.itemTitle[static_cast<std::size_t>(file.itemKind - 4)] = view;
    else sprites_.itemButton[static_cast<std::size_t>(file.itemKind)] = view;
    owned_.push_back(std::move(set));
    ++loaded;
  }
  return loaded;
}

}  // namespace tovrik::gameview
