#pragma once
// The game side of a robot: its own field, player slots and CGame, driven as
// the client drives them. Room events and relayed messages are applied the
// way the client's controller applies them, the robot's moves go in as mouse
// events on the game, and what the game sends leaves as built frames. After
// every shot it keeps a hash of all 32 stones, so that two robots of one game
// can prove they saw the same board.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "game/Field.h"
#include "game/Game.h"
#include "game/GameServices.h"
#include "game/Player.h"
#include "protocol/Records.h"
#include "protocol/RelayRecords.h"

namespace tovrik::robot {

// The hash of the 32 stones' state that matters for the next shots (not the
// marks, the animation counters and the fall of stones off the board, which
// depend on when a client looks).
std::uint64_t HashStones(const game::CField& field);

// The system millisecond clock, as the client reads it.
class CSteadyGameClock final : public game::IGameClock {
public:
    unsigned TimeGetTime() override;
};

class CRobotGame final : public game::IGameSender, public game::IGameRoom {
public:
    // Sends one plain built frame on the game connection.
    using FrameSink = std::function<void(const char* frame, int length)>;

    CRobotGame(FrameSink sink, game::IGameClock& clock);
    CRobotGame(const CRobotGame&) = delete;
    CRobotGame& operator=(const CRobotGame&) = delete;

    // The logged-in user, who always holds slot 0.
    void SetSelf(const protocol::USERINFO& user);
    void SetItemChannel(int itemChannel) { itemChannel_ = itemChannel; }

    // ---- the room, as the controller keeps it ----
    void OnCreatedRoom(const protocol::ROOMINFO& room);
    // False when the acceptance does not seat this user and its master
    // apart; the caller leaves the room then.
    bool OnEnteredRoom(const protocol::ENTERROOMINFO& info);
    void OnUserEnteredRoom(const protocol::USERINFO& user);
    void OnUserLeftRoom(std::string_view id);
    void OnLeftRoom();
    bool InRoom() const { return roomNo_ > 0; }

    // Relayed messages 1000-1013; false for any other id or a frame that
    // does not decode.
    bool OnRelayedFrame(int msgId, char* frame, int length);
    void OnGameOver(std::span<const protocol::GAMEOVERRESULT, 2> results);
    // What the room dialog's reset timer does after a result.
    void ResetAfterResult();

    // ---- the clock ----
    // The field has work that does not wait for the wall clock: the opening,
    // a running shot, or a stop report still to send.
    bool NeedsFastTicks() const;
    void Tick() { game_.OnTimer(); }

    // ---- the robot's own moves ----
    bool CanFlick() const;
    // Presses the mouse on own stone `index` and releases it `drag` pixels
    // away on the far side of `angle`, as a player drags the sling. True
    // when the flick left.
    bool Flick(int index, float angle, float drag);
    // Arms item `kind` as a click on its button does; only in an item
    // channel, in the own turn, and while the button is enabled.
    bool ArmItem(int kind);
    // A click (press and release) on board point (x, y): with an armed
    // change, teleport or nuclear item it picks the stone or the target.
    bool ClickBoard(int x, int y);
    // Items armed so far, by kind.
    const std::array<int, game::kItemKindCount>& ItemsArmed() const { return itemsArmed_; }

    // After this many stop reports of shots, nothing more is sent.
    void SetMuteAfterShots(int shots) { muteAfterShots_ = shots; }
    bool IsMute() const { return muteAfterShots_ >= 0 && shotsReported_ >= muteAfterShots_; }

    // ---- what happened ----
    const std::vector<std::uint64_t>& ShotHashes() const { return shotHashes_; }
    void ClearShotHashes() { shotHashes_.clear(); }
    int ShotsReported() const { return shotsReported_; }
    int OpeningReports() const { return openingReports_; }
    bool StartWasWrong() const { return startWasWrong_; }
    bool ResetPending() const { return resetPending_; }
    const std::vector<std::string>& Messages() const { return messages_; }

    game::CGame& Game() { return game_; }
    const game::CGame& Game() const { return game_; }
    game::CField& Field() { return field_; }
    const game::CField& Field() const { return field_; }
    game::CPlayer& Player(int slot) { return players_[static_cast<std::size_t>(slot)]; }
    const game::CPlayer& Player(int slot) const { return players_[static_cast<std::size_t>(slot)]; }

    // IGameSender
    void SendStoneClick(const protocol::STONECLICK& record) override;
    void SendUseItem(const protocol::USEITEM& record) override;
    void SendChangeItem(const protocol::CHANGEITEM& record) override;
    void SendTeleportItem(const protocol::TELEPORTITEM& record) override;
    void SendNuclearItem(const protocol::NUCLEARITEM& record) override;
    void SendStoneHit(const protocol::STONEHITINFO& record) override;
    void SendResultStoneHit(const protocol::RESULTSTONEHITINFO& head, const protocol::DROPSTONEINFO& drops) override;
    void SendTimeOutMyTurn(std::string_view id) override;
    void SendExitSubscript(int roomNo, int unum, std::string_view id, int reserve) override;

    // IGameRoom
    int IsPlaying() const override { return playing_; }
    void SetPlaying(int playing) override { playing_ = playing; }
    int RoomNo() const override { return roomNo_; }
    int IsItemChannel() const override { return itemChannel_; }
    void ClearWait() override {}
    void SetResetGameTimer() override { resetPending_ = true; }
    void ClearResetGameTimer() override { resetPending_ = false; }
    void ExitGame() override { startWasWrong_ = true; }
    void ShowMessageBox(std::string_view text) override { messages_.emplace_back(text); }
    void SetButtonState() override {}
    void FocusChatInput() override {}
    void RefreshCharViews(const game::CPlayer&, const game::CPlayer&) override {}

private:
    template <typename Message, typename... Args>
    void Send(Args&&... args);
    void SetReady(std::string_view id);
    // The page point the mouse must be at to touch board point (x, y).
    game::BoardPoint PagePoint(int x, int y) const;

    FrameSink sink_;
    game::CField field_;
    std::array<game::CPlayer, game::kPlayerSlots> players_;
    game::CGame game_;
    int playing_ = 0;
    int roomNo_ = 0;
    int itemChannel_ = 0;
    int muteAfterShots_ = -1;
    int shotsReported_ = 0;
    int openingReports_ = 0;
    bool startWasWrong_ = false;
    bool resetPending_ = false;
    std::array<int, game::kItemKindCount> itemsArmed_{};
    std::vector<std::uint64_t> shotHashes_;
    std::vector<std::string> messages_;
};

} // namespace tovrik::robot
