#pragma once
// A player's card in the game room, in one of the two wells of the room's
// background: the card background, the user's figure from the portal's
// avatar renderer (animated every 100 ms), the nickname, the level with its
// icon and the record (wins, losses, draws, points, win rate). An empty
// seat shows the background alone.

#include "gfx/Page.h"
#include "gfx/Sprite.h"
#include "platform/Window.h"
#include "portal/AvatarDLL.h"
#include "protocol/Records.h"

#include <cstdint>
#include <optional>

namespace tovrik::lobby {

// The artwork the cards draw with (owned by the room).
struct RoomCardArt {
  const gfx::xSprite* charBack = nullptr;  // frame 5: the card
  const gfx::xSprite* level = nullptr;     // one icon per level
};

class CRoomPlayerCard : public platform::Window {
 public:
  static constexpr std::uintptr_t kAnimationTimer = 1;
  static constexpr std::uint32_t kAnimationMs = 100;

  ~CRoomPlayerCard() override { Destroy(); }

  void SetArt(RoomCardArt art) { art_ = art; }
  // Null empties the card.
  void SetUser(const protocol::USERINFO* user);
  const std::optional<protocol::USERINFO>& User() const { return user_; }

  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 private:
  void DrawPage();
  void DrawRecord(platform::PaintContext& pc) const;

  RoomCardArt art_;
  std::optional<protocol::USERINFO> user_;
  portal::CAvatar avatar_;
  gfx::CPage page_;
};

}  // namespace tovrik::lobby
