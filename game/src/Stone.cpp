#include "game/Stone.h"

#include "game/Geometry.h"

#include <cmath>
#include <cstdlib>

namespace tovrik::game {
namespace {

struct WeightClass {
    int radius;
    float friction;
    float speedGain;
    float transferToKing;
    float transferToMajor;
    float transferToMinor;
    int teleportRange;
    int blastReach;
};

constexpr WeightClass kKingClass{24, 1.09f, 0.0f, 1.21f, 1.35f, 1.35f, 150, 140};
constexpr WeightClass kMajorClass{18, 0.75f, 0.15f, 1.05f, 1.05f, 1.10f, 200, 120};
constexpr WeightClass kMinorClass{14, 0.55f, 0.35f, 0.42f, 0.60f, 0.80f, 300, 100};

// Piece kind (and sprite frame) of each stone index.
constexpr int kKindOfIndex[16] = {0, 1, 2, 3, 3, 2, 1, 4, 4, 5, 5, 6, 6, 6, 6, 6};

const WeightClass& ClassOfIndex(int index)
{
    if (index == 0)
        return kKingClass;
    if (index <= 8)
        return kMajorClass;
    return kMinorClass;
}

// Constants the collision rules name as single-precision values.
constexpr float kKeptSpeedBonus = 1.05f;
constexpr float kHingeSpeedFactor = 0.9f;
constexpr float kGlancingBonus = 0.1f;
// Deceleration per tick of speed gain and friction; like the factors above a
// single-precision constant.
constexpr float kDecelerationPerTick = 1.6f;

float Round(double value) { return static_cast<float>(value); }

double D(float value) { return static_cast<double>(value); }

long long Gap(int a, int b) { return std::llabs(static_cast<long long>(a) - b); }

// Regions around a hinge, by where the stone's centre lies.
enum HingeRegion {
    kAboveLeft = 0,
    kAbove = 1,
    kAboveRight = 2,
    kRight = 3,
    kBelowRight = 4,
    kBelow = 5,
    kBelowLeft = 6,
    kLeft = 7,
};

HingeRegion ClassifyAroundHinge(int x, int y, const HingeRect& r)
{
    if (x < r.left && y < r.top)
        return kAboveLeft;
    if (r.left <= x && x <= r.right && y <= r.top)
        return kAbove;
    if (x > r.right && y < r.top)
        return kAboveRight;
    if (x >= r.right && r.top <= y && y <= r.bottom)
        return kRight;
    if (x > r.right && y > r.bottom)
        return kBelowRight;
    if (r.left <= x && x <= r.right && y >= r.bottom)
        return kBelow;
    if (x < r.left && y > r.bottom)
        return kBelowLeft;
    return kLeft;
}

// Direction after bouncing off one face, or a negative value when the stone
// is moving away from that face.
double BounceOffFace(HingeRegion face, float angle)
{
    const double a = D(angle);
    switch (face) {
    case kAbove:
        return (angle == 0.0f || (angle >= 180.0f && angle <= 360.0f)) ? 360.0 - a : -1.0;
    case kBelow:
        return ((angle >= 0.0f && angle <= 180.0f) || angle == 360.0f) ? 360.0 - a : -1.0;
    case kRight:
        return (angle >= 90.0f && angle <= 270.0f) ? 540.0 - a : -1.0;
    default:
        if (!(angle <= 90.0f || angle >= 270.0f))
            return -1.0;
        if (angle > 270.0f && angle < 360.0f)
            return 540.0 - a;
        if (angle > 0.0f && angle < 90.0f)
            return 180.0 - a;
        return 180.0;
    }
}

} // namespace

CStone::CStone() = default;

void CStone::ClearMotionState()
{
    alive = moving = selected = hover = teleportMark = itemHover = 0;
    hitPending = 0;
    hitAngle = hitSpeed = 0.0f;
    lastHitSide = lastHitIndex = 0;
    x = y = 0;
    travelled = stepBudget = stepLeft = 0.0f;
    originX = originY = 0;
    angle = power = speed = 0.0f;
}

void CStone::Clear() { ClearMotionState(); }

void CStone::SetStone(int newSide, int newIndex)
{
    Clear();
    side = newSide;
    index = newIndex;
    const WeightClass& c = ClassOfIndex(newIndex);
    radius = c.radius;
    friction = c.friction;
    speedGain = c.speedGain;
    transferToKing = c.transferToKing;
    transferToMajor = c.transferToMajor;
    transferToMinor = c.transferToMinor;
    teleportRange = c.teleportRange;
    blastReach = c.blastReach;
    kind = (newIndex >= 0 && newIndex < 16) ? kKindOfIndex[newIndex] : 6;
    alive = 1;
    dropping = 0;
    dropCounter = 7;
}

void CStone::SetPos(int newX, int newY)
{
    x = originX = newX;
    y = originY = newY;
    travelled = 0.0f;
    stepLeft = 0.0f;
    angle = 0.0f;
}

void CStone::SetMove(float newAngle, float newPower)
{
    originX = x;
    originY = y;
    moving = 1;
    travelled = stepLeft = stepBudget = 0.0f;
    angle = newAngle;
    speed = power = newPower;
    if (angle < 0.0f)
        angle = Round(D(angle) + 360.0);
    if (angle >= 360.0f)
        angle = Round(D(angle) - 360.0);
}

int CStone::MouseHitCheck(int px, int py) const
{
    return alive && Gap(px, x) <= radius && Gap(py, y) <= radius ? 1 : 0;
}

void CStone::OnTimer()
{
    if (dropping && dropCounter > 0)
        --dropCounter;
    if ((!alive && !dropping) || !moving)
        return;
    if (speed == 0.0f) {
        travelled = 0.0f;
        stepLeft = 0.0f;
        moving = 0;
        lastHitSide = lastHitIndex = 0;
    }
    if (speed <= 0.0f)
        return;
    const float g = Round(D(speed) / 30.0 * D(speedGain) + 1.0);
    stepLeft = Round(D(g) * D(speed));
    stepBudget = stepLeft;
    speed = Round(D(speed) - D(kDecelerationPerTick) * D(g) * D(friction));
    if (speed <= 0.0f)
        speed = 0.0f;
    DoMoveStep();
}

int CStone::DoMoveStep()
{
    if ((!alive && !dropping) || !moving || hitPending || stepLeft <= 0.0f)
        return 0;
    int fullStep = 0;
    if (stepLeft > 1.0f) {
        travelled = Round(D(travelled) + 1.0);
        stepLeft = Round(D(stepLeft) - 1.0);
        fullStep = 1;
    } else {
        travelled = Round(D(travelled) + D(stepLeft));
        stepLeft = 0.0f;
    }
    const BoardPoint p = GetMovePoint(originX, originY, angle, travelled);
    x = p.x;
    y = p.y;
    return fullStep;
}

float CStone::UnearnedDeceleration() const
{
    return Round(D(kDecelerationPerTick) * D(friction) * (D(stepLeft) / D(stepBudget)));
}

int CStone::DoHitTest(CStone* other)
{
    if (!alive || !moving || other == nullptr || !other->alive || hitPending || other->hitPending)
        return 0;
    if (lastHitSide != 0 && lastHitSide == other->side && lastHitIndex == other->index)
        return 0;
    if (other->lastHitSide != 0 && other->lastHitSide == side && other->lastHitIndex == index && other->moving &&
        speed < other->speed)
        return 0;

    const int reach = radius + other->radius;
    if (Gap(x, other->x) > reach || Gap(y, other->y) > reach)
        return 0;
    if (GetDistance(x, y, other->x, other->y) > static_cast<float>(reach))
        return 0;

    const float centreLine = GetAngle(x, y, other->x, other->y);
    const float cross = GetCrossAngle(angle, centreLine);
    if (!(cross > -89.0f && cross < 89.0f))
        return 0;

    float leaveAngle = Round(D(centreLine) + (cross >= 0.0f ? 270.0 : 90.0));
    if (leaveAngle >= 360.0f)
        leaveAngle = Round(D(leaveAngle) - 360.0);

    const float a = std::fabs(cross);
    if (stepBudget > 0.0f)
        speed = Round(D(speed) + D(UnearnedDeceleration()));
    const float v = speed;
    const float k = Round(D(kGlancingBonus) - std::fabs(D(a) - 45.0) * D(kGlancingBonus) / 45.0);
    const float givenShare = Round((90.0 - D(a)) / 90.0);
    const float keptShare = Round(D(a) / 90.0);

    const float transfer = other->index == 0 ? transferToKing : (other->index <= 8 ? transferToMajor : transferToMinor);
    const float given = Round(D(Round(D(givenShare) * D(v) * (1.0 + D(k)))) * D(transfer));
    const float kept = Round(D(Round(D(keptShare) * D(v) * (1.0 + D(k)))) * D(kKeptSpeedBonus));

    hitPending = 1;
    hitAngle = leaveAngle;
    hitSpeed = kept;
    stepLeft = Round(D(keptShare) * D(stepLeft));

    other->hitPending = 1;
    other->hitAngle = centreLine;
    other->hitSpeed = given;
    other->stepLeft = Round(D(givenShare) * D(other->stepLeft));

    DoHitMove();
    other->DoHitMove();

    lastHitSide = other->side;
    lastHitIndex = other->index;
    other->lastHitSide = side;
    other->lastHitIndex = index;
    return 1;
}

int CStone::DoHitTestWithHinge(int hingeId, const HingeRect& r)
{
    if (!alive || !moving || hitPending)
        return 0;
    if (lastHitSide == hingeId)
        return 0;
    const long long cx = x;
    const long long cy = y;
    if (cx - radius > r.right || cx + radius < r.left || cy - radius > r.bottom || cy + radius < r.top)
        return 0;

    HingeRegion face = ClassifyAroundHinge(x, y, r);
    double newAngle = -1.0;
    if (face == kAboveLeft || face == kAboveRight || face == kBelowRight || face == kBelowLeft) {
        const int cornerX = (face == kAboveLeft || face == kBelowLeft) ? r.left : r.right;
        const int cornerY = (face == kAboveLeft || face == kAboveRight) ? r.top : r.bottom;
        if (GetDistance(x, y, cornerX, cornerY) > static_cast<float>(radius))
            return 0;
        const long long dx = Gap(x, cornerX);
        const long long dy = Gap(y, cornerY);
        if (dx == dy) {
            constexpr double kDiagonal[] = {135.0, 0.0, 45.0, 0.0, 315.0, 0.0, 225.0};
            newAngle = kDiagonal[face];
        } else if (dx > dy) {
            face = (face == kAboveLeft || face == kBelowLeft) ? kLeft : kRight;
        } else {
            face = (face == kAboveLeft || face == kAboveRight) ? kAbove : kBelow;
        }
    }
    float leaveAngle = 0.0f;
    if (newAngle >= 0.0) {
        leaveAngle = Round(newAngle);
    } else {
        const double bounced = BounceOffFace(face, angle);
        if (bounced < 0.0)
            return 0;
        leaveAngle = Round(bounced);
    }
    if (leaveAngle < 0.0f)
        leaveAngle = Round(D(leaveAngle) + 360.0);
    if (leaveAngle >= 360.0f)
        leaveAngle = Round(D(leaveAngle) - 360.0);

    if (stepBudget > 0.0f) {
        speed = Round(D(speed) + D(UnearnedDeceleration()));
        stepBudget = 0.0f;
    }
    hitPending = 1;
    hitAngle = leaveAngle;
    hitSpeed = Round(D(speed) * D(kHingeSpeedFactor));
    DoHitMove();
    lastHitSide = hingeId;
    lastHitIndex = 0;
    return 1;
}

int CStone::DoHitMove()
{
    if (!alive || !hitPending)
        return 0;
    const float owed = stepLeft;
    SetMove(hitAngle, hitSpeed);
    stepLeft = owed;
    stepBudget = owed;
    hitPending = 0;
    hitAngle = 0.0f;
    hitSpeed = 0.0f;
    return 1;
}

int CStone::CheckDrop(int left, int top, int right, int bottom) const
{
    if (!alive)
        return 0;
    const bool inside = left < x && x < right && top < y && y < bottom;
    return inside ? 0 : 1;
}

} // namespace tovrik::game
