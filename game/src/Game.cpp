#include "game/Game.h"

#include "base/CodePage.h"
#include "base/Log.h"
#include "game/RelayedFlick.h"
#include "protocol/TextField.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <string>

namespace tovrik::game {
namespace {

using protocol::ReadText;

class CSilentSender : public IGameSender {
public:
    void SendStoneClick(const protocol::STONECLICK&) override {}
    void SendUseItem(const protocol::USEITEM&) override {}
    void SendChangeItem(const protocol::CHANGEITEM&) override {}
    void SendTeleportItem(const protocol::TELEPORTITEM&) override {}
    void SendNuclearItem(const protocol::NUCLEARITEM&) override {}
    void SendStoneHit(const protocol::STONEHITINFO&) override {}
    void SendResultStoneHit(const protocol::RESULTSTONEHITINFO&, const protocol::DROPSTONEINFO&) override {}
    void SendTimeOutMyTurn(std::string_view) override {}
    void SendExitSubscript(int, int, std::string_view, int) override {}
};

// A gauge from the server: anything that is not a number of 0 and up counts
// as 0, and it is capped at the full gauge.
float CapGauge(float gauge)
{
    if (!std::isfinite(gauge) || gauge < 0.0f)
        return 0.0f;
    return std::min(gauge, kMaxGauge);
}

bool IsKnownItem(int kind) { return kind >= 0 && kind < kItemKindCount; }

// A game that was never given a sender or a clock is a wiring fault of the
// program: it would lose the player's moves or stop the turn clock without
// a trace. Debug builds stop at once; others log every occurrence.
void ReportMissingService(const char* service, const char* consequence)
{
    base::Log(base::LogLevel::Error, "game", "the game has no ", service, ": ", consequence);
    assert(!"CGame used without its services");
}

} // namespace

CGame::CGame(CField& field, std::span<CPlayer, kPlayerSlots> players) : field_(field), players_(players)
{
    field_.AttachGame(this);
}

void CGame::SetSound(IGameSound* sound)
{
    sound_ = sound;
    field_.SetSound(sound);
}

IGameSender& CGame::Sender()
{
    static CSilentSender silent;
    if (sender_ == nullptr)
        ReportMissingService("sender", "a message to the server is lost");
    return sender_ != nullptr ? *sender_ : silent;
}

IGameRoom& CGame::Room()
{
    if (room_ != nullptr)
        return *room_;
    return standaloneRoom_;
}

const IGameRoom& CGame::Room() const
{
    if (room_ != nullptr)
        return *room_;
    return standaloneRoom_;
}

void CGame::PlaySound(int effect)
{
    if (sound_ != nullptr)
        sound_->PlayEffect(effect);
}

unsigned CGame::Now()
{
    if (clock_ != nullptr)
        return clock_->TimeGetTime();
    ReportMissingService("clock", "the turn clock stands still");
    return 0u;
}

// ---- seats and slots --------------------------------------------------------

int CGame::GetPlayerPNum(std::string_view id) const
{
    id = protocol::UntilZero(id);
    if (id.empty())
        return -1;
    for (int slot = 0; slot < 2; ++slot) {
        const std::string_view own = players_[slot].ID();
        if (!own.empty() && own == id)
            return slot;
    }
    return -1;
}

int CGame::SlotOf(const char (&id)[protocol::kRelayIDSize]) const { return GetPlayerPNum(ReadText(id)); }

int CGame::OpponentSlotOf(const char (&id)[protocol::kRelayIDSize]) const
{
    const int slot = SlotOf(id);
    return slot == 0 ? -1 : slot;
}

int CGame::SideOfSlot(int slot) const { return slot < 0 ? 0 : players_[slot].side; }

int CGame::GetPNum_ByServPN(int serverPlayer) const
{
    if (serverPlayer < myServPNum)
        return serverPlayer + 1;
    if (serverPlayer > myServPNum)
        return serverPlayer;
    return 0;
}

int CGame::GetServPNum_ByPN(int slot) const
{
    if (slot == 0)
        return myServPNum;
    return myServPNum >= slot ? slot - 1 : slot;
}

// ---- reset and start --------------------------------------------------------

void CGame::ResetGame()
{
    Room().SetPlaying(0);
    resultShowing = 0;
    tickCount = 0;
    field_.Reset();
    players_[0].Reset();
    players_[1].Reset();
    myTurn = opponentTurn = waitResult = 0;
    turnStart = 0;
    turnLeft = 0;
    itemMode = itemKind = teleportChosen = teleportIndex = 0;
}

bool CGame::CheckStartInfo(const protocol::STARTINFO& info)
{
    for (int a = 0; a < 2; ++a) {
        const std::string_view id = ReadText(info.ID[a]);
        if (id.empty())
            continue;
        const int slot = GetPNum_ByServPN(a);
        if (slot < 0 || slot >= kPlayerSlots || players_[slot].ID() != id)
            return false;
        CPlayer& p = players_[slot];
        p.seated = info.Seat[a].seated;
        p.inGame = info.Seat[a].inGame;
        p.side = info.Seat[a].side;
        p.user.Pebble = info.Pebble[a];
    }
    // A side other than Han or Cho would leave the player without stones
    // to report, so it counts as wrong like a missing one.
    const auto isSide = [](int side) { return side == kSideHan || side == kSideCho; };
    const int side0 = players_[0].side;
    const int side1 = players_[1].side;
    return isSide(side0) && isSide(side1) && side0 != side1;
}

void CGame::ReportWrongStartInfo(const protocol::STARTINFO& info)
{
    Room().ExitGame();
    Room().ShowMessageBox("잘못된 게임 시작정보로 인하여 퇴장합니다");
    std::string lines;
    for (int a = 0; a < 2; ++a) {
        const int slot = GetPNum_ByServPN(a);
        const std::string nick =
            (slot >= 0 && slot < kPlayerSlots) ? base::Cp949ToUtf8(ReadText(players_[slot].user.NickName)) : std::string();
        lines += std::to_string(a) + ": " + nick + ", " + std::string(ReadText(info.ID[a])) + "\n";
    }
    Room().ShowMessageBox(lines);
}

void CGame::DoPrepareGame(const protocol::STARTINFO* info)
{
    if (info == nullptr)
        return;
    Room().ClearResetGameTimer();
    ResetGame();
    Room().SetPlaying(1);
    if (!CheckStartInfo(*info)) {
        ReportWrongStartInfo(*info);
        return;
    }
    field_.phaseCounter = 0;
    field_.phase = kPhaseOpening;
    field_.InitStone();
    PlaySound(kSoundGameStart);
}

// ---- the tick ---------------------------------------------------------------

void CGame::SendResultStoneHit(std::span<const int> list)
{
    protocol::RESULTSTONEHITINFO head;
    protocol::SetRelayID(head.ID, LocalPlayer().ID());
    protocol::DROPSTONEINFO drops;
    head.DropCount = static_cast<std::int32_t>(list.size());
    for (std::size_t i = 0; i < list.size(); ++i)
        drops.StoneIndex[i] = list[i];
    Sender().SendResultStoneHit(head, drops);
}

void CGame::ClearStoneMarks()
{
    field_.ForEachStone([](CStone& s) { s.selected = s.hover = s.teleportMark = s.itemHover = 0; });
}

void CGame::EndTurnOnTimeOut()
{
    turnLeft = 0;
    field_.ForEachStone([](CStone& s) { s.selected = s.hover = 0; });
    DoSetEndMyTurn();
    for (CItemBtn& button : field_.itemButtons)
        button.OnClickTimeOut();
    Sender().SendTimeOutMyTurn(LocalPlayer().ID());
}

void CGame::OnTimer()
{
    ++tickCount;
    field_.OnTimer();
    if (field_.phase == kPhaseOpening && field_.phaseCounter >= 100) {
        field_.phase = kPhasePlaying;
        field_.phaseCounter = 0;
        field_.InitStone();
        // The opening's stop report tells the server this client is ready.
        SendResultStoneHit({});
        if (sound_ != nullptr)
            sound_->StopAllMusic();
    }
    // The clock wraps around; the difference of two readings does not.
    turnLeft = kTurnMilliseconds - static_cast<int>(Now() - turnStart);
    if (!Room().IsPlaying())
        return;
    if (waitResult) {
        if (!field_.IsStoneMoving()) {
            SendResultStoneHit(field_.DropList());
            waitResult = 0;
            field_.ClearDropList();
        }
    } else if (myTurn && turnLeft <= 0) {
        EndTurnOnTimeOut();
    }
}

// ---- mouse ------------------------------------------------------------------

int CGame::OnLButtonDown(int x, int y)
{
    field_.OnLButtonDown(x, y);
    return 1;
}

int CGame::OnMouseMove(int x, int y)
{
    field_.OnMouseMove(x, y);
    return 1;
}

int CGame::OnLButtonUp(int x, int y)
{
    field_.OnLButtonUp(x, y);
    return 1;
}

// ---- turns and items --------------------------------------------------------

void CGame::DoSetEndMyTurn()
{
    myTurn = 0;
    field_.aiming = 0;
    itemMode = 0;
}

void CGame::UseMyItem(int kind)
{
    if (!IsKnownItem(kind))
        return;
    PlaySound(kSoundItemArmed + kind);
    itemMode = 1;
    itemKind = kind;
    teleportChosen = 0;
    teleportIndex = 0;
    field_.itemTitleKind = kind;
    field_.itemTitleTimer = kItemTitleTicks;
    for (CItemBtn& button : field_.itemButtons)
        button.enabled = button.pressed = button.mouseState = 0;
    protocol::USEITEM record;
    protocol::SetRelayID(record.ID, LocalPlayer().ID());
    record.ItemKind = kind;
    Sender().SendUseItem(record);
}

void CGame::DoChange(const protocol::CHANGEITEM* item)
{
    if (item == nullptr)
        return;
    const int slot = SlotOf(item->ID);
    if (slot < 0)
        return;
    if (field_.DoChangeStones(SideOfSlot(slot), item->MinorIndex, item->MajorIndex))
        PlaySound(kSoundChange);
}

void CGame::DoTeleport(const protocol::TELEPORTITEM* item)
{
    if (item == nullptr)
        return;
    const int slot = SlotOf(item->ID);
    if (slot < 0)
        return;
    if (field_.DoTeleportStone(SideOfSlot(slot), item->StoneIndex, item->TargetX, item->TargetY))
        PlaySound(kSoundTeleport);
}

void CGame::DoNuclear(const protocol::NUCLEARITEM* item)
{
    if (item == nullptr)
        return;
    const int slot = SlotOf(item->ID);
    if (slot < 0)
        return;
    if (field_.StoneAt(SideOfSlot(slot), item->StoneIndex) == nullptr)
        return;
    field_.StopFallenStones();
    if (!field_.DoNuclearBlast(SideOfSlot(slot), item->StoneIndex))
        return;
    waitResult = 1;
    PlaySound(kSoundNuclear);
}

void CGame::EnableItemButtons()
{
    const float gauge = LocalPlayer().gauge;
    int minorsAlive = 0;
    int majorsAlive = 0;
    const auto own = field_.Stones(LocalPlayer().side);
    for (int i = 1; i < kStonesPerSide; ++i) {
        if (!own[i].alive)
            continue;
        (i <= 8 ? majorsAlive : minorsAlive) += 1;
    }
    for (int k = 0; k < kItemKindCount; ++k) {
        bool enabled = gauge >= kItemGaugeNeeded[k];
        if (k == kItemChange)
            enabled = enabled && minorsAlive >= 1 && majorsAlive < 8;
        field_.itemButtons[k].enabled = enabled ? 1 : 0;
    }
}

// ---- relayed moves ----------------------------------------------------------

void CGame::OnStoneClick(const protocol::STONECLICK* click)
{
    if (click == nullptr)
        return;
    const int slot = OpponentSlotOf(click->ID);
    const int index = click->StoneIndex;
    if (slot < 0 || index < 0 || index >= kStonesPerSide)
        return;
    field_.ForEachStone([](CStone& s) { s.selected = 0; });
    field_.Stones(SideOfSlot(slot))[index].selected = 1;
    PlaySound(kSoundPick);
}

void CGame::OnUseItem(const protocol::USEITEM* item)
{
    if (item == nullptr || OpponentSlotOf(item->ID) < 0 || !IsKnownItem(item->ItemKind))
        return;
    field_.itemTitleKind = item->ItemKind;
    field_.itemTitleTimer = kItemTitleTicks;
    PlaySound(kSoundItemArmed + item->ItemKind);
}

void CGame::OnChangeItem(const protocol::CHANGEITEM* item)
{
    if (item != nullptr && OpponentSlotOf(item->ID) >= 0)
        DoChange(item);
}

void CGame::OnTeleportItem(const protocol::TELEPORTITEM* item)
{
    if (item != nullptr && OpponentSlotOf(item->ID) >= 0)
        DoTeleport(item);
}

void CGame::OnNuclearItem(const protocol::NUCLEARITEM* item)
{
    if (item != nullptr && OpponentSlotOf(item->ID) >= 0)
        DoNuclear(item);
}

void CGame::OnStoneHit(const protocol::STONEHITINFO* hit)
{
    if (hit == nullptr)
        return;
    const int slot = OpponentSlotOf(hit->ID);
    if (slot < 0)
        return;
    field_.ForEachStone([](CStone& s) { s.selected = 0; });
    const int index = hit->StoneIndex;
    if (index < 0 || index >= kStonesPerSide)
        return;
    const RelayedFlick flick = SanitizeRelayedFlick(hit->Angle, hit->Power);
    field_.StopFallenStones();
    field_.Stones(SideOfSlot(slot))[index].SetMove(flick.angle, flick.power);
    waitResult = 1;
    PlaySound(kSoundFlick);
}

void CGame::OnNextPlayer(const protocol::NEXTPLAYER* next)
{
    if (next == nullptr)
        return;
    const int slot = SlotOf(next->ID);
    if (slot < 0)
        return;
    ClearStoneMarks();
    myTurn = opponentTurn = waitResult = 0;
    field_.aiming = 0;
    itemMode = teleportChosen = teleportIndex = 0;
    if (slot == 0) {
        myTurn = 1;
        PlaySound(kSoundMyTurn);
    } else {
        opponentTurn = 1;
    }
    turnLeft = kTurnMilliseconds;
    turnStart = Now();
    players_[slot].gauge = CapGauge(next->Gauge);
    players_[1 - slot].gauge = CapGauge(next->OtherGauge);
    EnableItemButtons();
}

// ---- end of the game --------------------------------------------------------

void CGame::OnGameOver(std::span<const protocol::GAMEOVERRESULT, 2> results)
{
    Room().ClearWait();
    Room().SetPlaying(0);
    myTurn = opponentTurn = waitResult = 0;
    resultShowing = 1;
    if (sound_ != nullptr)
        sound_->StopAllMusic();

    int resultKind = kResultDraw;
    for (const protocol::GAMEOVERRESULT& entry : results) {
        const int slot = SlotOf(entry.ID);
        if (slot < 0)
            continue;
        CPlayer& p = players_[slot];
        p.user.Pebble = entry.Pebble;
        p.user.Point = entry.Point;
        p.user.WinNum = entry.WinNum;
        p.user.LoseNum = entry.LoseNum;
        p.inGame = 0;
        if (slot != 0)
            continue;
        const int change = entry.ChangePoint;
        if (change > 0) {
            resultKind = kResultWin;
            PlaySound(kSoundWin);
        } else if (change < 0) {
            resultKind = kResultLoss;
            PlaySound(kSoundLoss);
        } else {
            resultKind = kResultDraw;
        }
        field_.resultPoints = change;
    }
    field_.phase = kPhaseResult;
    field_.phaseCounter = 200;
    field_.resultKind = resultKind;
    for (CItemBtn& button : field_.itemButtons) {
        button.OnClickTimeOut();
        button.enabled = 0;
    }
    field_.ForEachStone([](CStone& s) {
        if (s.alive) {
            s.dropping = 1;
            s.dropCounter = 40;
        }
    });
    Room().SetResetGameTimer();
    Room().SetButtonState();
    Room().FocusChatInput();
    Room().RefreshCharViews(players_[0], players_[1]);
}

void CGame::DoExitSubscript(int reserve)
{
    Sender().SendExitSubscript(Room().RoomNo(), LocalPlayer().user.UNum, LocalPlayer().ID(), reserve);
}

} // namespace tovrik::game
