// The field's input and animation counters: picking, aiming and flicking
// with the local player's mouse, item targeting, and the per-tick counters.

#include "game/Field.h"
#include "game/Game.h"
#include "game/Geometry.h"
#include "protocol/TextField.h"

#include <algorithm>

namespace tovrik::game {
namespace {

// A drag this long or longer gives the full power of a plain flick.
constexpr float kFullDrag = 90.0f;
constexpr double kMinFlickPower = 5.0;
constexpr double kFullFlickPower = 30.0;

constexpr int kMinorFirstIndex = 9;
constexpr int kShakeSettle = 2;
constexpr int kViewReturnStep = 2;

int MoveToward(int value, int target, int step)
{
    if (value > target)
        return std::max(target, value - step);
    if (value < target)
        return std::min(target, value + step);
    return value;
}

} // namespace

int CField::LocalSide() const { return game_ != nullptr ? game_->LocalPlayer().side : 0; }

// The exact inverse of the drawing, which turns a board point for a Cho
// player and then adds the view offset: the offset comes off first, then the
// point is turned back. (Turning first would put the shot twice the offset
// away from the arrow whenever the board is scrolled or shaken.)
BoardPoint CField::ToBoardPoint(int x, int y) const
{
    x -= viewOffsetX;
    y -= viewOffsetY;
    if (LocalSide() != kSideHan)
        ReversePos(&x, &y);
    return {x, y};
}

BoardPoint CField::ToPagePoint(int bx, int by) const
{
    if (LocalSide() != kSideHan)
        ReversePos(&bx, &by);
    return {bx + viewOffsetX, by + viewOffsetY};
}

void CField::SetEffectLengths(int changeTicks, int teleportTicks, int nuclearTicks)
{
    effectTicks_ = {0, std::max(1, changeTicks), std::max(1, teleportTicks), std::max(1, nuclearTicks)};
}

int CField::EffectLength(int kind) const
{
    return kind > kEffectNone && kind <= kEffectNuclear ? effectTicks_[static_cast<std::size_t>(kind)] : 0;
}

int CField::FindOwnStoneAt(int side, int bx, int by)
{
    const auto own = Stones(side);
    for (int i = 0; i < kStonesPerSide; ++i) {
        if (own[i].MouseHitCheck(bx, by))
            return i;
    }
    return -1;
}

// ---- picking and item targeting ---------------------------------------------

int CField::OnLButtonDown(int x, int y)
{
    if (game_ == nullptr)
        return 0;
    CGame& game = *game_;
    if (!game.Room().IsPlaying() || !game.myTurn || game.waitResult || aiming)
        return 0;
    for (CItemBtn& button : itemButtons)
        button.OnLButtonDown(x, y);

    const BoardPoint board = ToBoardPoint(x, y);
    mouseX = board.x;
    mouseY = board.y;
    ForEachStone([](CStone& s) { s.selected = 0; });

    const int side = LocalSide();
    if (side == 0)
        return 0;
    if (!game.itemMode || game.itemKind == kItemPowerUp) {
        const int i = FindOwnStoneAt(side, mouseX, mouseY);
        if (i < 0)
            return 0;
        CStone& stone = Stones(side)[i];
        aiming = 1;
        stone.selected = 1;
        aimX = stone.x;
        aimY = stone.y;
        protocol::STONECLICK click;
        protocol::SetRelayID(click.ID, game.LocalPlayer().ID());
        click.StoneIndex = i;
        game.Sender().SendStoneClick(click);
        PlaySound(kSoundPick);
        return 1;
    }
    return ApplyArmedItem(side);
}

int CField::ApplyArmedItem(int side)
{
    CGame& game = *game_;
    CPlayer& local = game.LocalPlayer();
    const auto own = Stones(side);

    if (game.itemKind == kItemTeleport && game.teleportChosen) {
        if (game.teleportIndex < 0 || game.teleportIndex >= kStonesPerSide)
            return 0;
        CStone& subject = own[game.teleportIndex];
        if (!CheckTeleport(subject.x, subject.y, subject.radius, mouseX, mouseY, subject.teleportRange))
            return 0;
        game.teleportChosen = 0;
        game.itemMode = 0;
        local.gauge = 0.0f;
        subject.teleportMark = 0;
        protocol::TELEPORTITEM record;
        protocol::SetRelayID(record.ID, local.ID());
        record.StoneIndex = game.teleportIndex;
        record.TargetX = mouseX;
        record.TargetY = mouseY;
        game.DoTeleport(&record);
        game.Sender().SendTeleportItem(record);
        return 1;
    }

    const int i = FindOwnStoneAt(side, mouseX, mouseY);
    if (i < 0)
        return 0;
    switch (game.itemKind) {
    case kItemChange: {
        if (i < kMinorFirstIndex)
            return 0;
        int lost = -1;
        for (int j = 1; j < kMinorFirstIndex && lost < 0; ++j) {
            if (!own[j].alive)
                lost = j;
        }
        if (lost < 0)
            return 0;
        game.itemMode = 0;
        local.gauge = 0.0f;
        protocol::CHANGEITEM record;
        protocol::SetRelayID(record.ID, local.ID());
        record.MinorIndex = i;
        record.MajorIndex = lost;
        game.DoChange(&record);
        game.Sender().SendChangeItem(record);
        break;
    }
    case kItemTeleport:
        game.teleportChosen = 1;
        game.teleportIndex = i;
        own[i].teleportMark = 1;
        break;
    case kItemNuclear: {
        game.itemMode = 0;
        local.gauge = 0.0f;
        game.DoSetEndMyTurn();
        protocol::NUCLEARITEM record;
        protocol::SetRelayID(record.ID, local.ID());
        record.StoneIndex = i;
        game.DoNuclear(&record);
        game.Sender().SendNuclearItem(record);
        break;
    }
    default:
        break;
    }
    return 1;
}

// ---- hover ------------------------------------------------------------------

int CField::OnMouseMove(int x, int y)
{
    if (game_ == nullptr)
        return 0;
    const CGame& game = *game_;
    if (!game.Room().IsPlaying() || !game.myTurn)
        return 0;
    for (CItemBtn& button : itemButtons)
        button.OnMouseMove(x, y);
    const BoardPoint board = ToBoardPoint(x, y);
    ForEachStone([](CStone& s) { s.hover = s.itemHover = 0; });

    const int side = LocalSide();
    if (game.waitResult || side == 0)
        return 0;
    if (aiming)
        return 1;
    const int i = FindOwnStoneAt(side, board.x, board.y);
    if (i < 0)
        return 0;
    CStone& stone = Stones(side)[i];
    if (!game.itemMode || game.itemKind == kItemPowerUp) {
        stone.hover = 1;
    } else {
        const bool canBeSubject = (game.itemKind == kItemChange && i >= kMinorFirstIndex) ||
                                  (game.itemKind == kItemTeleport && !game.teleportChosen) ||
                                  game.itemKind == kItemNuclear;
        if (canBeSubject)
            stone.itemHover = 1;
    }
    return 0;
}

// ---- flicking ---------------------------------------------------------------

int CField::OnLButtonUp(int x, int y)
{
    if (game_ == nullptr)
        return 0;
    CGame& game = *game_;
    const int side = LocalSide();
    if (!game.Room().IsPlaying() || !game.myTurn || game.waitResult || side == 0)
        return 0;
    if (game.Room().IsItemChannel()) {
        for (int k = 0; k < kItemKindCount; ++k) {
            if (itemButtons[k].OnLButtonUp(x, y)) {
                game.UseMyItem(k);
                return 1;
            }
        }
    }
    if (!aiming)
        return 0;
    aiming = 0;
    const BoardPoint board = ToBoardPoint(x, y);
    mouseX = board.x;
    mouseY = board.y;

    const float drag = std::max(GetDistance(mouseX, mouseY, aimX, aimY), 1.0f);
    const float reach = std::min(drag, kFullDrag);
    // The stone flies away from the mouse, as from a sling.
    const float direction = GetAngle(mouseX, mouseY, aimX, aimY);
    float power = static_cast<float>(kMinFlickPower +
                                     (kFullFlickPower - kMinFlickPower) / 90.0 * static_cast<double>(reach));
    const int itemArmed = game.itemMode;
    if (itemArmed) {
        if (game.itemKind != kItemPowerUp)
            return 0;
        power = static_cast<float>(static_cast<double>(power) + static_cast<double>(game.LocalPlayer().gauge));
    }

    const auto own = Stones(side);
    const auto picked = std::find_if(own.begin(), own.end(), [](const CStone& s) { return s.selected != 0; });
    if (picked == own.end())
        return 0;
    picked->selected = 0;
    StopFallenStones();
    picked->SetMove(direction, power);
    game.waitResult = 1;
    if (itemArmed) {
        game.itemMode = 0;
        game.LocalPlayer().gauge = 0.0f;
    }
    game.DoSetEndMyTurn();
    protocol::STONEHITINFO hit;
    protocol::SetRelayID(hit.ID, game.LocalPlayer().ID());
    hit.StoneIndex = static_cast<std::int32_t>(picked - own.begin());
    hit.Angle = direction;
    hit.Power = power;
    game.Sender().SendStoneHit(hit);
    PlaySound(kSoundFlick);
    return 1;
}

// ---- counters ---------------------------------------------------------------

void CField::AdvanceShake()
{
    if (effectKind == kEffectNuclear) {
        if (shakeStep_ == 0)
            shakeStep_ = -kShakeSettle;
        else if (shakeStep_ > 0)
            shakeStep_ = -4;
        else
            shakeStep_ = 4;
        viewOffsetX += shakeStep_;
    } else if (shakeStep_ != 0) {
        viewOffsetX += shakeStep_ > 0 ? -kShakeSettle : kShakeSettle;
        shakeStep_ = 0;
    }
}

void CField::AdvanceCounters()
{
    for (CItemBtn& button : itemButtons)
        button.OnTimer();
    if (itemTitleTimer > 0)
        --itemTitleTimer;
    // Effects end here, not when they are drawn: an effect lasts its ticks
    // whether or not frames are painted and whether or not the channel shows
    // items (a relayed blast must not shake a plain channel's board for ever).
    if (effectKind > 0 && ++effectFrame >= EffectLength(effectKind))
        effectKind = kEffectNone;
    AdvanceShake();
    switch (phase) {
    case kPhaseIdle:
        titleZoom = std::max(100, titleZoom - 10);
        break;
    case kPhaseOpening:
        phaseCounter = std::min(100, phaseCounter + 3);
        break;
    case kPhaseResult:
        phaseCounter = std::max(0, phaseCounter - 5);
        break;
    default:
        break;
    }
    if (!aiming) {
        viewOffsetX = MoveToward(viewOffsetX, 0, kViewReturnStep);
        viewOffsetY = MoveToward(viewOffsetY, 0, kViewReturnStep);
    }
}

void CField::OnTimer()
{
    AdvanceCounters();
    DoPhysicsTick(LocalSide());
}

} // namespace tovrik::game
