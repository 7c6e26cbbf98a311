#pragma once
// The playing field: the 32 stones of a game, their layout, the physics tick,
// the local player's mouse (picking, aiming, flicking, item targeting) and the
// field's own animation counters. Positions are board coordinates, those of
// the Han player; a Cho player's view is turned by 180 degrees for input only.

#include "game/GameSound.h"
#include "game/Geometry.h"
#include "game/ItemBtn.h"
#include "game/Stone.h"

#include <array>
#include <span>

namespace tovrik::game {

class CGame;

inline constexpr int kStonesPerSide = 16;

// A stone stays on the board while strictly inside this rectangle.
inline constexpr int kDropLeft = 83;
inline constexpr int kDropTop = 79;
inline constexpr int kDropRight = 511;
inline constexpr int kDropBottom = 520;

enum FieldPhase : int { kPhaseIdle = 0, kPhaseOpening = 1, kPhasePlaying = 2, kPhaseResult = 3 };
enum ResultKind : int { kResultNone = 0, kResultWin = 1, kResultLoss = 2, kResultDraw = 3 };
enum EffectKind : int { kEffectNone = 0, kEffectChange = 1, kEffectTeleport = 2, kEffectNuclear = 3 };

class CField {
public:
    CField();
    virtual ~CField() = default;
    CField(const CField&) = delete;
    CField& operator=(const CField&) = delete;

    // The game whose turn and item state the mouse handling reads; without
    // one the field only simulates.
    void AttachGame(CGame* game) { game_ = game; }
    void SetSound(IGameSound* sound) { sound_ = sound; }

    void Reset();
    void InitStone();
    static void ReversePos(int* x, int* y);
    int CheckTeleport(int sx, int sy, int r, int tx, int ty, int range) const;

    // Mouse events of the game view in page coordinates; 1 if used.
    int OnLButtonDown(int x, int y);
    int OnMouseMove(int x, int y);
    int OnLButtonUp(int x, int y);
    // The board point of a page point for the local player's view, and
    // back: the page point where a board point is drawn.
    BoardPoint ToBoardPoint(int x, int y) const;
    BoardPoint ToPagePoint(int bx, int by) const;

    // How many ticks each item effect lasts (the view sets them from its
    // animations); the effect ends in the tick that reaches its length.
    void SetEffectLengths(int changeTicks, int teleportTicks, int nuclearTicks);
    int EffectLength(int kind) const;

    // Counters, then physics; once per game tick.
    void OnTimer();

    // The physics of one tick: the stones' motion, collisions and the drop
    // check. Fallen stones of `localSide` enter the drop list.
    void DoPhysicsTick(int localSide);
    int IsStoneMoving() const;
    // Called as a flick or a blast begins. A stone that fell keeps sliding
    // for a while, and its steps keep the sub-step loop of a tick going; how
    // far it has slid depends on how many idle ticks a client ran since the
    // last shot, which differs between the two clients. Stopping fallen
    // stones here makes every shot start from the same state on both.
    void StopFallenStones();

    // The stone effects of the items, shared by the local use and the
    // opponent's relayed use. They refuse a side other than 1 or 2 and
    // indices out of range (return 0).
    int DoChangeStones(int side, int minorIndex, int majorIndex);
    int DoTeleportStone(int side, int index, int x, int y);
    int DoNuclearBlast(int side, int index);

    // Side 1 is the Han array, any other side the Cho array.
    std::span<CStone, kStonesPerSide> Stones(int side);
    std::span<const CStone, kStonesPerSide> Stones(int side) const;
    CStone* StoneAt(int side, int index);
    void ForEachStone(auto&& action)
    {
        for (CStone& s : hanStones) action(s);
        for (CStone& s : choStones) action(s);
    }

    std::span<const int> DropList() const { return {dropList.data(), static_cast<size_t>(dropCount)}; }
    void ClearDropList() { dropCount = 0; }

    std::array<CStone, kStonesPerSide> hanStones;
    std::array<CStone, kStonesPerSide> choStones;
    int dropCount = 0;
    std::array<int, kStonesPerSide> dropList{};
    int phase = kPhaseIdle;
    int resultKind = kResultNone;
    int titleZoom = 180;
    int phaseCounter = 0;
    int resultPoints = 0;
    std::array<CItemBtn, kItemKindCount> itemButtons;
    int viewOffsetX = 0;
    int viewOffsetY = 0;
    HingeRect hinge3 = kHingeLeft;
    HingeRect hinge4 = kHingeRight;
    int itemTitleKind = 0;
    int itemTitleTimer = 0;
    int effectKind = kEffectNone;
    int effectFrame = 0;
    int effectSide = 0;
    int effectIndex = 0;
    int effectX = 0;
    int effectY = 0;
    int effectFromX = 0;
    int effectFromY = 0;
    int aiming = 0;
    int aimX = 0;
    int aimY = 0;
    int mouseX = 0;
    int mouseY = 0;

private:
    void PlaySound(int effect);
    int LocalSide() const;
    int FindOwnStoneAt(int side, int bx, int by);
    int ApplyArmedItem(int side);
    void AdvanceCounters();
    void AdvanceShake();
    void RunSubSteps();
    void CollideStone(CStone& stone, std::span<CStone, kStonesPerSide> ownSide,
                      std::span<CStone, kStonesPerSide> otherSide);
    void CheckDrops(int localSide);
    void StartEffect(int kind, int side, int index, int x, int y);

    CGame* game_ = nullptr;
    IGameSound* sound_ = nullptr;
    // The last step of the nuclear board shake; persists across ticks.
    int shakeStep_ = 0;
    // Ticks of each effect kind, indexed by EffectKind: as long as the
    // client's animations run, until a view says otherwise.
    std::array<int, 4> effectTicks_{0, 16, 24, 20};
};

} // namespace tovrik::game
