#pragma once
// One stone of the board: a disc sliding along straight lines, slowed by
// friction, striking other stones and bouncing off the hinges.
//
// Both clients of a game run this simulation from the same relayed flicks
// and must agree to the last bit: every float is stored in single precision,
// each step computes in double precision in a fixed order, and rounds where a
// value is stored or named.

namespace tovrik::game {

// Sides of the board; the hinge ids can never be a side.
inline constexpr int kSideHan = 1;
inline constexpr int kSideCho = 2;
inline constexpr int kHingeLeftId = 3;
inline constexpr int kHingeRightId = 4;

struct HingeRect {
    int left;
    int top;
    int right;
    int bottom;
};

inline constexpr HingeRect kHingeLeft{154, 295, 196, 304};
inline constexpr HingeRect kHingeRight{398, 295, 440, 304};

class CStone {
public:
    CStone();
    virtual ~CStone() = default;
    CStone(const CStone&) = default;
    CStone& operator=(const CStone&) = default;

    // Clears the stone and gives it its identity and the constants of its
    // weight class; it is alive and at rest.
    void SetStone(int side, int index);
    // Zeroes the motion and marking state; identity, class constants,
    // dropping and dropCounter stay.
    void Clear();
    void SetPos(int x, int y);
    void SetMove(float angle, float power);
    int MouseHitCheck(int px, int py) const;

    void OnTimer();
    int DoMoveStep();
    // Stone-to-stone collision; returns 1 when one was applied (the caller
    // plays the collision sound).
    int DoHitTest(CStone* other);
    // Bounce off a hinge; returns 1 when one was applied.
    int DoHitTestWithHinge(int hingeId, const HingeRect& rect);
    int DoHitMove();
    int CheckDrop(int left, int top, int right, int bottom) const;

    int side = 0;
    int index = 0;
    int radius = 14;
    float friction = 1.0f;
    float transferToKing = 1.0f;
    float transferToMajor = 1.0f;
    float transferToMinor = 1.0f;
    float speedGain = 0.0f;
    int teleportRange = 300;
    int blastReach = 50;

    int alive = 0;
    int moving = 0;
    int selected = 0;
    int hover = 0;
    int teleportMark = 0;
    int itemHover = 0;
    int dropping = 0;
    int dropCounter = 0;
    int hitPending = 0;
    float hitAngle = 0.0f;
    float hitSpeed = 0.0f;
    int lastHitSide = 0;
    int lastHitIndex = 0;
    int x = 0;
    int y = 0;
    float travelled = 0.0f;
    float stepBudget = 0.0f;
    float stepLeft = 0.0f;
    int originX = 0;
    int originY = 0;
    float angle = 0.0f;
    float power = 0.0f;
    float speed = 0.0f;
    int kind = 0;

private:
    void ClearMotionState();
    // Deceleration not yet earned in this tick, handed back before a bounce.
    float UnearnedDeceleration() const;
};

} // namespace tovrik::game
