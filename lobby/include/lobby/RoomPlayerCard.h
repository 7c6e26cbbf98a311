#pragma once
// A player's card in the game room, drawn in one of the two wells of the
// room's background: the nickname, the level, the record and the points of
// the seat's user, or nothing while the seat is empty.

#include "platform/Text.h"
#include "platform/Window.h"
#include "protocol/Records.h"

#include <memory>
#include <optional>

namespace tovrik::lobby {

class CRoomPlayerCard : public platform::Window {
 public:
  ~CRoomPlayerCard() override { Destroy(); }

  // Null empties the card.
  void SetUser(const protocol::USERINFO* user);
  const std::optional<protocol::USERINFO>& User() const { return user_; }

  void OnPaint(platform::PaintContext& pc) override;

 private:
  std::optional<protocol::USERINFO> user_;
};

}  // namespace tovrik::lobby
