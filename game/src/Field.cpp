#include "game/Field.h"

#include "game/Geometry.h"

#include <cstdlib>

namespace tovrik::game {
namespace {

constexpr int kBoardOriginX = 101;
constexpr int kBoardOriginY = 97;

// Offsets of the Cho stones from the top-left grid point; each Han stone
// stands at the turned position of the Cho stone with the same index.
constexpr BoardPoint kChoOffsets[kStonesPerSide] = {
    {196, 45}, {0, 0},    {49, 0},   {98, 0},    {294, 0},   {343, 0},   {392, 0},   {49, 90},
    {343, 90}, {147, 0},  {245, 0},  {0, 135},   {98, 135},  {196, 135}, {294, 135}, {392, 135},
};

// Teleport targets must lie inside these inclusive bounds.
constexpr int kTeleportLeft = 84;
constexpr int kTeleportTop = 80;
constexpr int kTeleportRight = 510;
constexpr int kTeleportBottom = 519;

bool WithinSquare(int ax, int ay, int bx, int by, long long reach)
{
    return std::llabs(static_cast<long long>(ax) - bx) <= reach && std::llabs(static_cast<long long>(ay) - by) <= reach;
}

} // namespace

CField::CField()
{
    Reset();
}

void CField::PlaySound(int effect)
{
    if (sound_ != nullptr)
        sound_->PlayEffect(effect);
}

void CField::Reset()
{
    for (int k = 0; k < kItemKindCount; ++k) {
        itemButtons[k] = CItemBtn{};
        itemButtons[k].Init(k);
        itemButtons[k].Reset();
    }
    itemTitleKind = itemTitleTimer = 0;
    effectKind = kEffectNone;
    effectFrame = effectIndex = 0;
    dropCount = 0;
    phase = kPhaseIdle;
    resultKind = kResultNone;
    titleZoom = 180;
    phaseCounter = 0;
    resultPoints = 0;
    InitStone();
}

void CField::InitStone()
{
    for (int i = 0; i < kStonesPerSide; ++i) {
        int x = kBoardOriginX + kChoOffsets[i].x;
        int y = kBoardOriginY + kChoOffsets[i].y;
        CStone& cho = choStones[i];
        cho.Clear();
        cho.SetStone(kSideCho, i);
        cho.SetPos(x, y);
        cho.alive = 1;

        ReversePos(&x, &y);
        CStone& han = hanStones[i];
        han.Clear();
        han.SetStone(kSideHan, i);
        han.SetPos(x, y);
        han.alive = 1;
    }
}

void CField::ReversePos(int* x, int* y)
{
    *x = 594 - *x;
    *y = 599 - *y;
}

std::span<CStone, kStonesPerSide> CField::Stones(int side)
{
    return side == kSideHan ? std::span<CStone, kStonesPerSide>(hanStones) : std::span<CStone, kStonesPerSide>(choStones);
}

std::span<const CStone, kStonesPerSide> CField::Stones(int side) const
{
    return side == kSideHan ? std::span<const CStone, kStonesPerSide>(hanStones)
                            : std::span<const CStone, kStonesPerSide>(choStones);
}

CStone* CField::StoneAt(int side, int index)
{
    if ((side != kSideHan && side != kSideCho) || index < 0 || index >= kStonesPerSide)
        return nullptr;
    return &Stones(side)[index];
}

int CField::CheckTeleport(int sx, int sy, int r, int tx, int ty, int range) const
{
    if (tx < kTeleportLeft || tx > kTeleportRight || ty < kTeleportTop || ty > kTeleportBottom)
        return 0;
    if (!WithinSquare(sx, sy, tx, ty, range) || GetDistance(sx, sy, tx, ty) > static_cast<float>(range))
        return 0;
    for (const HingeRect& h : {hinge3, hinge4}) {
        const int halfW = (h.right - h.left) / 2;
        const int halfH = (h.bottom - h.top) / 2;
        if (std::abs(tx - (h.left + halfW)) <= r + halfW && std::abs(ty - (h.top + halfH)) <= r + halfH)
            return 0;
    }
    for (const auto* side : {&hanStones, &choStones}) {
        for (const CStone& s : *side) {
            if (!s.alive)
                continue;
            const int reach = r + s.radius;
            if (WithinSquare(tx, ty, s.x, s.y, reach))
                return 0;
            if (GetDistance(tx, ty, s.x, s.y) <= static_cast<float>(reach))
                return 0;
        }
    }
    return 1;
}

int CField::IsStoneMoving() const
{
    for (const auto* side : {&hanStones, &choStones})
        for (const CStone& s : *side)
            if (s.alive && s.moving)
                return 1;
    return 0;
}

void CField::DoPhysicsTick(int localSide)
{
    for (int i = 0; i < kStonesPerSide; ++i) {
        hanStones[i].OnTimer();
        choStones[i].OnTimer();
    }
    RunSubSteps();
    CheckDrops(localSide);
}

void CField::CollideStone(CStone& stone, std::span<CStone, kStonesPerSide> ownSide,
                          std::span<CStone, kStonesPerSide> otherSide)
{
    for (CStone& other : ownSide) {
        if (&other != &stone && stone.DoHitTest(&other))
            PlaySound(kSoundHitStone);
    }
    for (CStone& other : otherSide) {
        if (stone.DoHitTest(&other))
            PlaySound(kSoundHitStone);
    }
    if (stone.DoHitTestWithHinge(kHingeLeftId, hinge3))
        PlaySound(kSoundHitHinge);
    if (stone.DoHitTestWithHinge(kHingeRightId, hinge4))
        PlaySound(kSoundHitHinge);
}

// One-pixel sub-steps with a collision pass before each, so that no stone can
// pass through another even at the highest speed.
void CField::RunSubSteps()
{
    const std::span<CStone, kStonesPerSide> han(hanStones);
    const std::span<CStone, kStonesPerSide> cho(choStones);
    bool anyFullStep = true;
    while (anyFullStep) {
        for (int i = 0; i < kStonesPerSide; ++i) {
            if (hanStones[i].moving && !hanStones[i].hitPending)
                CollideStone(hanStones[i], han, cho);
            if (choStones[i].moving && !choStones[i].hitPending)
                CollideStone(choStones[i], cho, han);
        }
        anyFullStep = false;
        for (int i = 0; i < kStonesPerSide; ++i) {
            if (hanStones[i].DoMoveStep())
                anyFullStep = true;
            if (choStones[i].DoMoveStep())
                anyFullStep = true;
        }
    }
}

void CField::CheckDrops(int localSide)
{
    for (int i = 0; i < kStonesPerSide; ++i) {
        for (CStone* s : {&hanStones[i], &choStones[i]}) {
            if (!s->CheckDrop(kDropLeft, kDropTop, kDropRight, kDropBottom))
                continue;
            s->alive = 0;
            s->dropping = 1;
            s->dropCounter = 5;
            PlaySound(kSoundDrop);
            if (s->side == localSide && dropCount < kStonesPerSide)
                dropList[dropCount++] = i;
        }
    }
}

void CField::StartEffect(int kind, int side, int index, int x, int y)
{
    effectKind = kind;
    effectFrame = 0;
    effectSide = side;
    effectIndex = index;
    effectX = x;
    effectY = y;
}

int CField::DoChangeStones(int side, int minorIndex, int majorIndex)
{
    if ((side != kSideHan && side != kSideCho) || minorIndex < 9 || minorIndex > 15 || majorIndex < 1 ||
        majorIndex > 8)
        return 0;
    CStone& minor = Stones(side)[minorIndex];
    CStone& major = Stones(side)[majorIndex];
    const int x = minor.x;
    const int y = minor.y;
    major.Clear();
    major.alive = 1;
    major.dropping = 0;
    major.SetPos(x, y);
    minor.Clear();
    StartEffect(kEffectChange, side, minorIndex, x, y);
    return 1;
}

int CField::DoTeleportStone(int side, int index, int x, int y)
{
    CStone* stone = StoneAt(side, index);
    if (stone == nullptr)
        return 0;
    effectFromX = stone->x;
    effectFromY = stone->y;
    // Only the position: the next line starts from here when it is flicked.
    stone->x = x;
    stone->y = y;
    StartEffect(kEffectTeleport, side, index, x, y);
    return 1;
}

void CField::StopFallenStones()
{
    ForEachStone([](CStone& s) {
        if (s.alive || !s.moving)
            return;
        s.moving = 0;
        s.speed = 0.0f;
        s.travelled = s.stepLeft = s.stepBudget = 0.0f;
    });
}

int CField::DoNuclearBlast(int side, int index)
{
    CStone* stone = StoneAt(side, index);
    if (stone == nullptr)
        return 0;
    const int cx = stone->x;
    const int cy = stone->y;
    const int reach = stone->blastReach;
    const float blastSpeed = index == 0 ? 39.0f : (index <= 8 ? 33.0f : 27.0f);
    stone->Clear();
    ForEachStone([&](CStone& s) {
        if (!s.alive)
            return;
        const int r = reach + s.radius;
        if (WithinSquare(cx, cy, s.x, s.y, r) && GetDistance(cx, cy, s.x, s.y) <= static_cast<float>(r))
            s.SetMove(GetAngle(cx, cy, s.x, s.y), blastSpeed);
    });
    StartEffect(kEffectNuclear, side, index, cx, cy);
    return 1;
}

} // namespace tovrik::game
