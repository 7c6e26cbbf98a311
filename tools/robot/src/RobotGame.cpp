#include "robot/RobotGame.h"

#include <bit>
#include <chrono>

#include "game/Geometry.h"
#include "protocol/RelayMessages.h"
#include "protocol/TextField.h"

namespace tovrik::robot {

namespace msgid = protocol::msgid;
using protocol::ReadText;

namespace {

class CHash {
public:
    void Add(std::uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8) {
            hash_ ^= (value >> shift) & 0xFFu;
            hash_ *= 0x100000001B3ull;
        }
    }
    void Add(int value) { Add(static_cast<std::uint32_t>(value)); }
    void Add(float value) { Add(std::bit_cast<std::uint32_t>(value)); }
    std::uint64_t Value() const { return hash_; }

private:
    std::uint64_t hash_ = 0xCBF29CE484222325ull;
};

void AddStone(CHash& hash, const game::CStone& s)
{
    hash.Add(s.side);
    hash.Add(s.index);
    hash.Add(s.alive);
    // A stone off the board collides with nothing and never comes back as
    // it is (a change brings it back cleared, at another stone's place);
    // its fall slides on for as many ticks as a client happens to run.
    if (!s.alive)
        return;
    hash.Add(s.kind);
    hash.Add(s.dropping);
    hash.Add(s.moving);
    hash.Add(s.x);
    hash.Add(s.y);
    hash.Add(s.radius);
    hash.Add(s.angle);
    hash.Add(s.power);
    hash.Add(s.speed);
    hash.Add(s.travelled);
    hash.Add(s.originX);
    hash.Add(s.originY);
    hash.Add(s.hitPending);
    hash.Add(s.lastHitSide);
    hash.Add(s.lastHitIndex);
}

} // namespace

std::uint64_t HashStones(const game::CField& field)
{
    CHash hash;
    for (const game::CStone& s : field.hanStones)
        AddStone(hash, s);
    for (const game::CStone& s : field.choStones)
        AddStone(hash, s);
    return hash.Value();
}

unsigned CSteadyGameClock::TimeGetTime()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<unsigned>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

CRobotGame::CRobotGame(FrameSink sink, game::IGameClock& clock)
    : sink_(std::move(sink)), game_(field_, std::span<game::CPlayer, game::kPlayerSlots>(players_))
{
    for (int slot = 0; slot < game::kPlayerSlots; ++slot)
        players_[static_cast<std::size_t>(slot)].SetPlayerNum(slot);
    game_.SetSender(this);
    game_.SetClock(&clock);
    game_.SetRoom(this);
}

template <typename Message, typename... Args>
void CRobotGame::Send(Args&&... args)
{
    if (IsMute())
        return;
    Message message;
    if (message.Set(std::forward<Args>(args)...))
        sink_(message.GetData(), message.GetTotalSize());
}

void CRobotGame::SetSelf(const protocol::USERINFO& user) { players_[0].SetNewPlayer(&user); }

// ---- the room ---------------------------------------------------------------

void CRobotGame::OnCreatedRoom(const protocol::ROOMINFO& room)
{
    game_.ResetGame();
    players_[1].Clear();
    players_[0].seated = 0;
    roomNo_ = room.RoomNo;
    game_.myServPNum = 0;
    game_.seatZeroSlot = 0;
    players_[0].serverNum = game_.GetServPNum_ByPN(0);
    players_[1].serverNum = game_.GetServPNum_ByPN(1);
}

bool CRobotGame::OnEnteredRoom(const protocol::ENTERROOMINFO& info)
{
    const std::string_view master = ReadText(info.GI.RI.MasterID);
    int masterSeat = -1;
    int ownSeat = -1;
    for (int seat = 0; seat < 2; ++seat) {
        const std::string_view id = ReadText(info.GI.UI[seat].ID);
        if (id.empty())
            continue;
        if (id == master)
            masterSeat = seat;
        if (id == players_[0].ID())
            ownSeat = seat;
    }
    players_[0].seated = 0;
    if (masterSeat < 0 || ownSeat < 0 || masterSeat == ownSeat)
        return false;
    game_.ResetGame();
    roomNo_ = info.GI.RI.RoomNo;
    game_.myServPNum = ownSeat;
    game_.seatZeroSlot = game_.GetPNum_ByServPN(0);
    players_[1].Clear();
    players_[0].serverNum = game_.GetServPNum_ByPN(0);
    players_[1].serverNum = game_.GetServPNum_ByPN(1);
    for (int seat = 0; seat < 2; ++seat) {
        if (ReadText(info.GI.UI[seat].ID).empty())
            continue;
        const int slot = game_.GetPNum_ByServPN(seat);
        game::CPlayer& player = players_[static_cast<std::size_t>(slot)];
        if (slot != 0)
            player.SetNewPlayer(&info.GI.UI[seat]);
        player.seated = info.Seat[seat].seated;
        player.inGame = info.Seat[seat].inGame;
    }
    return true;
}

void CRobotGame::OnUserEnteredRoom(const protocol::USERINFO& user)
{
    if (!InRoom() || !players_[1].ID().empty())
        return;
    players_[1].SetNewPlayer(&user);
    players_[1].serverNum = game_.GetServPNum_ByPN(1);
}

void CRobotGame::OnUserLeftRoom(std::string_view id)
{
    if (!InRoom() || players_[1].ID().empty() || players_[1].ID() != protocol::UntilZero(id))
        return;
    players_[1].ready = 0;
    players_[1].Clear();
}

void CRobotGame::OnLeftRoom()
{
    game_.ResetGame();
    players_[1].Clear();
    roomNo_ = 0;
    resetPending_ = false;
}

// ---- relayed messages -------------------------------------------------------

void CRobotGame::SetReady(std::string_view id)
{
    const int slot = game_.GetPlayerPNum(id);
    if (slot < 0)
        return;
    game::CPlayer& player = players_[static_cast<std::size_t>(slot)];
    if (game_.resultShowing)
        player.readyNext = 1;
    else
        player.ready = 1;
}

bool CRobotGame::OnRelayedFrame(int msgId, char* frame, int length)
{
    // As the client: relayed messages count only in a room, the moves and
    // the next turn only while the room's game is on.
    const auto whilePlaying = [&](auto message, auto handler) {
        if (!message.Get(frame, length))
            return false;
        if (InRoom() && playing_)
            handler(message);
        return true;
    };
    switch (msgId) {
    case msgid::CCL_READYTOSTART: {
        protocol::CCL_READYTOSTART message;
        if (!message.Get(frame, length))
            return false;
        if (InRoom())
            SetReady(ReadText(message.Info->Text));
        return true;
    }
    case msgid::CCL_STARTINFO: {
        protocol::CCL_STARTINFO message;
        if (!message.Get(frame, length))
            return false;
        if (InRoom()) {
            playing_ = 1;
            shotHashes_.clear();
            game_.DoPrepareGame(message.Info);
        }
        return true;
    }
    case msgid::CCL_STONECLICK:
        return whilePlaying(protocol::CCL_STONECLICK{}, [&](auto& m) { game_.OnStoneClick(m.Info); });
    case msgid::CCL_USEITEM:
        return whilePlaying(protocol::CCL_USEITEM{}, [&](auto& m) { game_.OnUseItem(m.Info); });
    case msgid::CCL_CHANGEITEM:
        return whilePlaying(protocol::CCL_CHANGEITEM{}, [&](auto& m) { game_.OnChangeItem(m.Info); });
    case msgid::CCL_TELEPORTITEM:
        return whilePlaying(protocol::CCL_TELEPORTITEM{}, [&](auto& m) { game_.OnTeleportItem(m.Info); });
    case msgid::CCL_NUCLEARITEM:
        return whilePlaying(protocol::CCL_NUCLEARITEM{}, [&](auto& m) { game_.OnNuclearItem(m.Info); });
    case msgid::CCL_STONEHIT:
        return whilePlaying(protocol::CCL_STONEHIT{}, [&](auto& m) { game_.OnStoneHit(m.Info); });
    case msgid::CCL_NEXTPLAYER:
        return whilePlaying(protocol::CCL_NEXTPLAYER{}, [&](auto& m) { game_.OnNextPlayer(m.Info); });
    case msgid::CCL_EXITSUBSCRIPT:
    case msgid::CCL_CHATDATA:
    case msgid::CCL_ASK_STARTGAME:
    case msgid::CCL_RESULTSTONEHIT:
    case msgid::CCL_TIMEOUTMYTURN:
        // Shown in the room chat by the client, or never sent to clients.
        return true;
    default:
        return false;
    }
}

void CRobotGame::OnGameOver(std::span<const protocol::GAMEOVERRESULT, 2> results)
{
    if (!InRoom())
        return;
    game_.OnGameOver(results);
}

void CRobotGame::ResetAfterResult()
{
    // The room dialog's reset timer resets only while no game is on.
    resetPending_ = false;
    if (!playing_)
        game_.ResetGame();
}

// ---- the clock ----------------------------------------------------------------

bool CRobotGame::NeedsFastTicks() const
{
    if (field_.phase == game::kPhaseOpening)
        return true;
    return playing_ && (game_.waitResult || field_.IsStoneMoving());
}

// ---- the robot's moves --------------------------------------------------------

bool CRobotGame::CanFlick() const { return playing_ && game_.myTurn && !game_.waitResult && !field_.aiming; }

game::BoardPoint CRobotGame::PagePoint(int x, int y) const
{
    return field_.ToPagePoint(x, y);
}

bool CRobotGame::Flick(int index, float angle, float drag)
{
    if (!CanFlick() || index < 0 || index >= game::kStonesPerSide)
        return false;
    const game::CStone& stone = field_.Stones(players_[0].side)[static_cast<std::size_t>(index)];
    if (!stone.alive)
        return false;
    const game::BoardPoint press = PagePoint(stone.x, stone.y);
    // The stone flies away from the mouse: pull to the opposite side.
    const game::BoardPoint pull = game::GetMovePoint(stone.x, stone.y, angle + 180.0f, drag);
    const game::BoardPoint release = PagePoint(pull.x, pull.y);
    game_.OnMouseMove(press.x, press.y);
    game_.OnLButtonDown(press.x, press.y);
    game_.OnMouseMove(release.x, release.y);
    game_.OnLButtonUp(release.x, release.y);
    return game_.waitResult != 0;
}

bool CRobotGame::ArmItem(int kind)
{
    if (!CanFlick() || !itemChannel_ || kind < 0 || kind >= game::kItemKindCount ||
        !field_.itemButtons[static_cast<std::size_t>(kind)].enabled)
        return false;
    game_.UseMyItem(kind);
    ++itemsArmed_[static_cast<std::size_t>(kind)];
    return true;
}

bool CRobotGame::ClickBoard(int x, int y)
{
    if (!playing_ || !game_.myTurn || game_.waitResult)
        return false;
    const game::BoardPoint at = PagePoint(x, y);
    game_.OnMouseMove(at.x, at.y);
    game_.OnLButtonDown(at.x, at.y);
    game_.OnLButtonUp(at.x, at.y);
    return true;
}

// ---- IGameSender --------------------------------------------------------------

void CRobotGame::SendStoneClick(const protocol::STONECLICK& r) { Send<protocol::CCL_STONECLICK>(r); }
void CRobotGame::SendUseItem(const protocol::USEITEM& r) { Send<protocol::CCL_USEITEM>(r); }
void CRobotGame::SendChangeItem(const protocol::CHANGEITEM& r) { Send<protocol::CCL_CHANGEITEM>(r); }
void CRobotGame::SendTeleportItem(const protocol::TELEPORTITEM& r) { Send<protocol::CCL_TELEPORTITEM>(r); }
void CRobotGame::SendNuclearItem(const protocol::NUCLEARITEM& r) { Send<protocol::CCL_NUCLEARITEM>(r); }
void CRobotGame::SendStoneHit(const protocol::STONEHITINFO& r) { Send<protocol::CCL_STONEHIT>(r); }

void CRobotGame::SendResultStoneHit(const protocol::RESULTSTONEHITINFO& head, const protocol::DROPSTONEINFO& drops)
{
    // The game reports the end of the opening with waitResult clear, and
    // the end of a shot while it is still set.
    if (!game_.waitResult) {
        ++openingReports_;
        Send<protocol::CCL_RESULTSTONEHIT>(head, drops);
        return;
    }
    shotHashes_.push_back(HashStones(field_));
    Send<protocol::CCL_RESULTSTONEHIT>(head, drops);
    ++shotsReported_;
}

void CRobotGame::SendTimeOutMyTurn(std::string_view id) { Send<protocol::CCL_TIMEOUTMYTURN>(id); }

void CRobotGame::SendExitSubscript(int roomNo, int unum, std::string_view id, int reserve)
{
    Send<protocol::CCL_EXITSUBSCRIPT>(roomNo, unum, id, reserve);
}

} // namespace tovrik::robot
