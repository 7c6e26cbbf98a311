#pragma once
// The game between the two seated players of a room: the start from the
// server's record, the opening, the local player's turns and their time-out,
// the items of both players, the stop report after every shot and the
// result. The server decides turns and the end; both clients simulate every
// shot and each reports its own fallen stones.

#include "game/Field.h"
#include "game/GameServices.h"
#include "game/GameSound.h"
#include "game/Player.h"
#include "protocol/Records.h"
#include "protocol/RelayRecords.h"

#include <span>
#include <string_view>

namespace tovrik::gfx {
class CPage;
}

namespace tovrik::game {

// Every turn lasts this long.
inline constexpr int kTurnMilliseconds = 15000;
// The item banner shows this many ticks.
inline constexpr int kItemTitleTicks = 45;
inline constexpr float kMaxGauge = 10.0f;

// Gauge each item button needs, by item kind.
inline constexpr float kItemGaugeNeeded[kItemKindCount] = {2.5f, 5.0f, 7.5f, 10.0f};

class CGame {
public:
    CGame(CField& field, std::span<CPlayer, kPlayerSlots> players);
    virtual ~CGame() = default;
    CGame(const CGame&) = delete;
    CGame& operator=(const CGame&) = delete;

    // Services. The sender and the clock are required: a game without them
    // fails loudly (an assertion in debug builds, an error in the log) when
    // it would send or read the time. Without a room it keeps its own
    // playing flag; without sound it stays silent.
    void SetSender(IGameSender* sender) { sender_ = sender; }
    void SetClock(IGameClock* clock) { clock_ = clock; }
    void SetRoom(IGameRoom* room) { room_ = room; }
    void SetSound(IGameSound* sound);

    // Keeps the game view's drawing page.
    void Init(gfx::CPage* page) { this->page = page; }
    void ResetGame();
    void DoPrepareGame(const protocol::STARTINFO* info);
    void OnTimer();

    int OnLButtonDown(int x, int y);
    int OnMouseMove(int x, int y);
    int OnLButtonUp(int x, int y);

    void UseMyItem(int kind);
    void DoSetEndMyTurn();
    void DoChange(const protocol::CHANGEITEM* item);
    void DoTeleport(const protocol::TELEPORTITEM* item);
    void DoNuclear(const protocol::NUCLEARITEM* item);

    void OnStoneClick(const protocol::STONECLICK* click);
    void OnUseItem(const protocol::USEITEM* item);
    void OnChangeItem(const protocol::CHANGEITEM* item);
    void OnTeleportItem(const protocol::TELEPORTITEM* item);
    void OnNuclearItem(const protocol::NUCLEARITEM* item);
    void OnStoneHit(const protocol::STONEHITINFO* hit);
    void OnNextPlayer(const protocol::NEXTPLAYER* next);
    // `results` holds the two entries of the game-over message.
    void OnGameOver(std::span<const protocol::GAMEOVERRESULT, 2> results);
    void DoExitSubscript(int reserve);

    int GetPlayerPNum(std::string_view id) const;
    int GetPNum_ByServPN(int serverPlayer) const;
    int GetServPNum_ByPN(int slot) const;

    CField& Field() { return field_; }
    CPlayer& Player(int slot) { return players_[slot]; }
    CPlayer& LocalPlayer() { return players_[0]; }
    const CPlayer& LocalPlayer() const { return players_[0]; }
    IGameSender& Sender();
    IGameRoom& Room();
    const IGameRoom& Room() const;
    void PlaySound(int effect);

    gfx::CPage* page = nullptr;
    int seatZeroSlot = 0;
    int myServPNum = 0;
    int resultShowing = 0;
    int tickCount = 0;
    int myTurn = 0;
    int opponentTurn = 0;
    int waitResult = 0;
    unsigned turnStart = 0;
    int turnLeft = 0;
    int itemMode = 0;
    int itemKind = 0;
    int teleportChosen = 0;
    int teleportIndex = 0;

private:
    // The slot of a relayed move's sender: the opponent's, or -1 when the ID
    // is the local player's own or nobody's.
    int OpponentSlotOf(const char (&id)[protocol::kRelayIDSize]) const;
    int SlotOf(const char (&id)[protocol::kRelayIDSize]) const;
    int SideOfSlot(int slot) const;
    unsigned Now();
    bool CheckStartInfo(const protocol::STARTINFO& info);
    void ReportWrongStartInfo(const protocol::STARTINFO& info);
    void SendResultStoneHit(std::span<const int> drops);
    void EndTurnOnTimeOut();
    void EnableItemButtons();
    void ClearStoneMarks();

    CField& field_;
    std::span<CPlayer, kPlayerSlots> players_;
    IGameSender* sender_ = nullptr;
    IGameClock* clock_ = nullptr;
    IGameRoom* room_ = nullptr;
    IGameSound* sound_ = nullptr;
    CStandaloneRoom standaloneRoom_;
};

} // namespace tovrik::game
