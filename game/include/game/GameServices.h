#pragma once
// What the game needs from the rest of the client, as small interfaces: the
// messages it sends to the game server, the millisecond clock, and the room
// dialog and controller state it reads and drives. The client connects them
// to its socket manager, system clock and room dialog; tests to recorders.

#include "protocol/RelayRecords.h"

#include <string_view>

namespace tovrik::game {

class CPlayer;

// Outgoing relay messages, each to the game server on the main connection.
class IGameSender {
public:
    virtual ~IGameSender() = default;
    virtual void SendStoneClick(const protocol::STONECLICK& record) = 0;
    virtual void SendUseItem(const protocol::USEITEM& record) = 0;
    virtual void SendChangeItem(const protocol::CHANGEITEM& record) = 0;
    virtual void SendTeleportItem(const protocol::TELEPORTITEM& record) = 0;
    virtual void SendNuclearItem(const protocol::NUCLEARITEM& record) = 0;
    virtual void SendStoneHit(const protocol::STONEHITINFO& record) = 0;
    // Only the first head.DropCount entries of `drops` travel.
    virtual void SendResultStoneHit(const protocol::RESULTSTONEHITINFO& head, const protocol::DROPSTONEINFO& drops) = 0;
    virtual void SendTimeOutMyTurn(std::string_view id) = 0;
    virtual void SendExitSubscript(int roomNo, int unum, std::string_view id, int reserve) = 0;
};

// The system millisecond clock the turns are timed with (wraps around).
class IGameClock {
public:
    virtual ~IGameClock() = default;
    virtual unsigned TimeGetTime() = 0;
};

// The room the game is played in: the controller's room state and the room
// dialog's timer, buttons, chat focus and character views. Texts are UTF-8.
class IGameRoom {
public:
    virtual ~IGameRoom() = default;
    // The room's game is in progress (the room record's Playing flag).
    virtual int IsPlaying() const = 0;
    virtual void SetPlaying(int playing) = 0;
    virtual int RoomNo() const = 0;
    // Items are allowed in the current channel.
    virtual int IsItemChannel() const = 0;
    // No request is outstanding any more.
    virtual void ClearWait() = 0;
    virtual void SetResetGameTimer() = 0;
    virtual void ClearResetGameTimer() = 0;
    virtual void ExitGame() = 0;
    virtual void ShowMessageBox(std::string_view text) = 0;
    virtual void SetButtonState() = 0;
    virtual void FocusChatInput() = 0;
    virtual void RefreshCharViews(const CPlayer& local, const CPlayer& opponent) = 0;
};

// A room that only keeps its Playing flag: for a game that runs without a
// room dialog (tools, tests).
class CStandaloneRoom : public IGameRoom {
public:
    int IsPlaying() const override { return playing_; }
    void SetPlaying(int playing) override { playing_ = playing; }
    int RoomNo() const override { return 0; }
    int IsItemChannel() const override { return 1; }
    void ClearWait() override {}
    void SetResetGameTimer() override {}
    void ClearResetGameTimer() override {}
    void ExitGame() override {}
    void ShowMessageBox(std::string_view) override {}
    void SetButtonState() override {}
    void FocusChatInput() override {}
    void RefreshCharViews(const CPlayer&, const CPlayer&) override {}

private:
    int playing_ = 0;
};

} // namespace tovrik::game
