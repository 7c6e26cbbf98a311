#include "game/Player.h"

#include "protocol/TextField.h"

namespace tovrik::game {

void CPlayer::Clear()
{
    user = protocol::USERINFO{};
    readyNext = 0;
    muted = 0;
    Reset();
}

void CPlayer::SetNewPlayer(const protocol::USERINFO* info)
{
    Clear();
    if (info != nullptr)
        user = *info;
}

void CPlayer::Reset()
{
    reserved = 0;
    ready = 0;
    if (readyNext) {
        ready = 1;
        readyNext = 0;
    }
    seated = 0;
    inGame = 0;
    gauge = 0.0f;
}

std::string_view CPlayer::ID() const
{
    return protocol::ReadText(user.ID);
}

} // namespace tovrik::game
