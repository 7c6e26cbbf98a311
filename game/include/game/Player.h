#pragma once
// One player slot of the room: slot 0 is always the local player, slot 1 the
// opponent.

#include "protocol/Records.h"

#include <string_view>

namespace tovrik::game {

inline constexpr int kPlayerSlots = 10;

class CPlayer {
public:
    virtual ~CPlayer() = default;

    // Forgets the user, the mute and a remembered READY, then Reset().
    void Clear();
    void SetNewPlayer(const protocol::USERINFO* info);
    void SetPlayerNum(int n) { playerNum = n; }
    // Back to the state between games; a READY pressed while the last
    // result showed becomes the READY for the next game.
    void Reset();

    // The user ID, up to its zero byte and never past its field.
    std::string_view ID() const;

    protocol::USERINFO user;
    int serverNum = 0;
    int playerNum = 0;
    int muted = 0;
    int reserved = 0;
    int ready = 0;
    int readyNext = 0;
    int seated = 0;
    int inGame = 0;
    int side = 0;
    float gauge = 0.0f;
};

} // namespace tovrik::game
