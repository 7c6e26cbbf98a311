#pragma once
// A game with recording stand-ins for the server connection, the clock, the
// room dialog and the sound, for tests of the game flow.

#include "game/Game.h"
#include "protocol/TextField.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace tovrik::game::testing {

struct SentResult {
    std::string id;
    std::vector<int> drops;
};

class RecordingSender : public IGameSender {
public:
    void SendStoneClick(const protocol::STONECLICK& r) override { clicks.push_back(r); Forward(); }
    void SendUseItem(const protocol::USEITEM& r) override { useItems.push_back(r); Forward(); }
    void SendChangeItem(const protocol::CHANGEITEM& r) override { changes.push_back(r); Forward(); }
    void SendTeleportItem(const protocol::TELEPORTITEM& r) override { teleports.push_back(r); Forward(); }
    void SendNuclearItem(const protocol::NUCLEARITEM& r) override { nuclears.push_back(r); Forward(); }
    void SendStoneHit(const protocol::STONEHITINFO& r) override { hits.push_back(r); Forward(); }
    void SendResultStoneHit(const protocol::RESULTSTONEHITINFO& head, const protocol::DROPSTONEINFO& drops) override
    {
        SentResult result{std::string(protocol::ReadText(head.ID)), {}};
        for (int i = 0; i < head.DropCount; ++i)
            result.drops.push_back(drops.StoneIndex[i]);
        results.push_back(result);
    }
    void SendTimeOutMyTurn(std::string_view id) override { timeOuts.emplace_back(id); }
    void SendExitSubscript(int roomNo, int unum, std::string_view id, int reserve) override
    {
        exits.push_back({roomNo, unum, reserve});
        exitIds.emplace_back(id);
    }

    // Called after every relayed move, to hand it to the other client.
    std::function<void()> onRelayed;
    std::vector<protocol::STONECLICK> clicks;
    std::vector<protocol::USEITEM> useItems;
    std::vector<protocol::CHANGEITEM> changes;
    std::vector<protocol::TELEPORTITEM> teleports;
    std::vector<protocol::NUCLEARITEM> nuclears;
    std::vector<protocol::STONEHITINFO> hits;
    std::vector<SentResult> results;
    std::vector<std::string> timeOuts;
    std::vector<std::array<int, 3>> exits;
    std::vector<std::string> exitIds;

private:
    void Forward()
    {
        if (onRelayed)
            onRelayed();
    }
};

class FakeClock : public IGameClock {
public:
    unsigned TimeGetTime() override { return now; }
    unsigned now = 1000;
};

class RecordingRoom : public IGameRoom {
public:
    int IsPlaying() const override { return playing; }
    void SetPlaying(int p) override { playing = p; }
    int RoomNo() const override { return 77; }
    int IsItemChannel() const override { return itemChannel; }
    void ClearWait() override { ++waitCleared; }
    void SetResetGameTimer() override { ++resetTimerSet; }
    void ClearResetGameTimer() override { ++resetTimerCleared; }
    void ExitGame() override { ++exited; }
    void ShowMessageBox(std::string_view text) override { boxes.emplace_back(text); }
    void SetButtonState() override { ++buttonRefreshes; }
    void FocusChatInput() override { ++chatFocused; }
    void RefreshCharViews(const CPlayer&, const CPlayer&) override { ++charViewRefreshes; }

    int playing = 0;
    int itemChannel = 1;
    int waitCleared = 0;
    int resetTimerSet = 0;
    int resetTimerCleared = 0;
    int exited = 0;
    std::vector<std::string> boxes;
    int buttonRefreshes = 0;
    int chatFocused = 0;
    int charViewRefreshes = 0;
};

class RecordingSound : public IGameSound {
public:
    void PlayEffect(int effect) override { played.push_back(effect); }
    void StopAllMusic() override { ++musicStops; }
    int Count(int effect) const
    {
        int n = 0;
        for (int e : played)
            n += e == effect;
        return n;
    }
    std::vector<int> played;
    int musicStops = 0;
};

template <class Record>
void SetId(Record& record, std::string_view id)
{
    protocol::SetRelayID(record.ID, id);
}

// One client: its field, slots and game, wired to the recorders. Slot 0 is
// `localId`, slot 1 `opponentId`.
class GameRig {
public:
    GameRig(std::string_view localId, std::string_view opponentId)
    {
        game.SetSender(&sender);
        game.SetClock(&clock);
        game.SetRoom(&room);
        game.SetSound(&sound);
        protocol::USERINFO local;
        local.UNum = 501;
        protocol::CopyAtMost(local.ID, localId, 15);
        protocol::CopyAtMost(local.NickName, "local", 19);
        players[0].SetNewPlayer(&local);
        protocol::USERINFO opponent;
        protocol::CopyAtMost(opponent.ID, opponentId, 15);
        protocol::CopyAtMost(opponent.NickName, "opponent", 19);
        players[1].SetNewPlayer(&opponent);
    }

    // The start record as the server sends it, server player 0 being Han.
    protocol::STARTINFO StartInfo(std::string_view hanId, std::string_view choId) const
    {
        protocol::STARTINFO info;
        protocol::SetRelayID(info.ID[0], hanId);
        protocol::SetRelayID(info.ID[1], choId);
        info.Seat[0].seated = info.Seat[1].seated = 1;
        info.Seat[0].inGame = info.Seat[1].inGame = 1;
        info.Seat[0].side = 1;
        info.Seat[1].side = 2;
        info.Pebble[0] = 1000;
        info.Pebble[1] = 2000;
        return info;
    }

    // Starts the game and runs the opening to its end.
    void StartAndOpen(const protocol::STARTINFO& info)
    {
        game.DoPrepareGame(&info);
        for (int i = 0; i < 34; ++i)
            game.OnTimer();
    }

    void NextPlayer(std::string_view id, float gauge, float otherGauge)
    {
        protocol::NEXTPLAYER next;
        SetId(next, id);
        next.Gauge = gauge;
        next.OtherGauge = otherGauge;
        game.OnNextPlayer(&next);
    }

    // A page point of a board point, for this client's view.
    BoardPoint PagePoint(int bx, int by) const
    {
        if (players[0].side != kSideHan)
            CField::ReversePos(&bx, &by);
        return {bx, by};
    }

    // Presses on the board point, drags and releases at another board point.
    void Drag(int fromX, int fromY, int toX, int toY)
    {
        const BoardPoint down = PagePoint(fromX, fromY);
        const BoardPoint up = PagePoint(toX, toY);
        game.OnLButtonDown(down.x, down.y);
        game.OnMouseMove(up.x, up.y);
        game.OnLButtonUp(up.x, up.y);
    }

    void Click(int bx, int by)
    {
        const BoardPoint p = PagePoint(bx, by);
        game.OnLButtonDown(p.x, p.y);
        game.OnLButtonUp(p.x, p.y);
    }

    CField field;
    std::array<CPlayer, kPlayerSlots> players;
    CGame game{field, players};
    RecordingSender sender;
    FakeClock clock;
    RecordingRoom room;
    RecordingSound sound;
};

} // namespace tovrik::game::testing
