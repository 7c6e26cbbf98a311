#include "game/Stone.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

namespace tovrik::game {
namespace {

std::uint32_t Bits(float v) { return std::bit_cast<std::uint32_t>(v); }

CStone MakeStone(int side, int index, int x, int y)
{
    CStone s;
    s.SetStone(side, index);
    s.SetPos(x, y);
    return s;
}

TEST(CStone, FreshStoneDefaults)
{
    const CStone s;
    EXPECT_EQ(s.radius, 14);
    EXPECT_EQ(s.friction, 1.0f);
    EXPECT_EQ(s.transferToKing, 1.0f);
    EXPECT_EQ(s.speedGain, 0.0f);
    EXPECT_EQ(s.teleportRange, 300);
    EXPECT_EQ(s.blastReach, 50);
    EXPECT_EQ(s.alive, 0);
    EXPECT_EQ(s.kind, 0);
}

TEST(CStone, SetStoneGivesClassConstants)
{
    struct Case {
        int index, kind, radius;
        float friction, speedGain, toKing, toMajor, toMinor;
        int teleportRange, blastReach;
    };
    const Case cases[] = {
        {0, 0, 24, 1.09f, 0.0f, 1.21f, 1.35f, 1.35f, 150, 140},  {1, 1, 18, 0.75f, 0.15f, 1.05f, 1.05f, 1.10f, 200, 120},
        {5, 2, 18, 0.75f, 0.15f, 1.05f, 1.05f, 1.10f, 200, 120}, {4, 3, 18, 0.75f, 0.15f, 1.05f, 1.05f, 1.10f, 200, 120},
        {8, 4, 18, 0.75f, 0.15f, 1.05f, 1.05f, 1.10f, 200, 120}, {10, 5, 14, 0.55f, 0.35f, 0.42f, 0.60f, 0.80f, 300, 100},
        {15, 6, 14, 0.55f, 0.35f, 0.42f, 0.60f, 0.80f, 300, 100},
    };
    for (const Case& c : cases) {
        CStone s;
        s.hover = 1;
        s.SetStone(2, c.index);
        EXPECT_EQ(s.side, 2);
        EXPECT_EQ(s.index, c.index);
        EXPECT_EQ(s.kind, c.kind) << c.index;
        EXPECT_EQ(s.radius, c.radius) << c.index;
        EXPECT_EQ(s.friction, c.friction) << c.index;
        EXPECT_EQ(s.speedGain, c.speedGain) << c.index;
        EXPECT_EQ(s.transferToKing, c.toKing) << c.index;
        EXPECT_EQ(s.transferToMajor, c.toMajor) << c.index;
        EXPECT_EQ(s.transferToMinor, c.toMinor) << c.index;
        EXPECT_EQ(s.teleportRange, c.teleportRange) << c.index;
        EXPECT_EQ(s.blastReach, c.blastReach) << c.index;
        EXPECT_EQ(s.alive, 1);
        EXPECT_EQ(s.hover, 0);
        EXPECT_EQ(s.dropping, 0);
        EXPECT_EQ(s.dropCounter, 7);
    }
}

TEST(CStone, ClearKeepsIdentityAndFallAnimation)
{
    CStone s = MakeStone(1, 3, 200, 300);
    s.dropping = 1;
    s.dropCounter = 4;
    s.SetMove(45.0f, 20.0f);
    s.Clear();
    EXPECT_EQ(s.alive, 0);
    EXPECT_EQ(s.moving, 0);
    EXPECT_EQ(s.x, 0);
    EXPECT_EQ(s.speed, 0.0f);
    EXPECT_EQ(s.dropping, 1);
    EXPECT_EQ(s.dropCounter, 4);
    EXPECT_EQ(s.index, 3);
    EXPECT_EQ(s.radius, 18);
}

TEST(CStone, SetMoveFoldsTheAngleOnce)
{
    struct Case {
        float in, out;
    };
    const Case cases[] = {{-30.0f, 330.0f}, {360.0f, 0.0f}, {359.5f, 359.5f}, {0.0f, 0.0f}, {725.0f, 365.0f}};
    for (const Case& c : cases) {
        CStone s = MakeStone(1, 0, 100, 100);
        s.SetMove(c.in, 12.0f);
        EXPECT_EQ(s.angle, c.out) << c.in;
        EXPECT_EQ(s.speed, 12.0f);
        EXPECT_EQ(s.power, 12.0f);
        EXPECT_EQ(s.moving, 1);
    }
}

TEST(CStone, MouseHitCheckIsASquare)
{
    CStone s = MakeStone(1, 11, 100, 100); // radius 14
    EXPECT_EQ(s.MouseHitCheck(114, 114), 1);
    EXPECT_EQ(s.MouseHitCheck(115, 100), 0);
    s.alive = 0;
    EXPECT_EQ(s.MouseHitCheck(100, 100), 0);
}

TEST(CStone, OneTickOfKingAndMinorStone)
{
    CStone king = MakeStone(1, 0, 300, 300);
    king.SetMove(0.0f, 30.0f);
    king.OnTimer();
    EXPECT_EQ(king.stepBudget, 30.0f);
    EXPECT_EQ(Bits(king.speed), 0x41e20c4au); // 30 - 1.6 * 1.09
    EXPECT_EQ(king.travelled, 1.0f);

    CStone minor = MakeStone(1, 12, 300, 300);
    minor.SetMove(0.0f, 30.0f);
    minor.OnTimer();
    EXPECT_EQ(minor.stepBudget, 40.5f);
    EXPECT_EQ(minor.speed, 28.812000274658203f);
}

TEST(CStone, ComesToRestOneTickAfterSpeedZero)
{
    CStone s = MakeStone(1, 0, 300, 300);
    s.SetMove(0.0f, 1.0f);
    s.lastHitSide = 2;
    s.OnTimer();
    EXPECT_EQ(s.speed, 0.0f);
    EXPECT_EQ(s.moving, 1);
    s.OnTimer();
    EXPECT_EQ(s.moving, 0);
    EXPECT_EQ(s.lastHitSide, 0);
}

TEST(CStone, CheckDropBounds)
{
    struct Case {
        int x, y, drops;
    };
    const Case cases[] = {{83, 300, 1}, {84, 300, 0}, {510, 300, 0}, {511, 300, 1},
                          {300, 79, 1}, {300, 80, 0}, {300, 519, 0}, {300, 520, 1}};
    for (const Case& c : cases) {
        const CStone s = MakeStone(1, 0, c.x, c.y);
        EXPECT_EQ(s.CheckDrop(83, 79, 511, 520), c.drops) << c.x << "," << c.y;
    }
    CStone dead = MakeStone(1, 0, 0, 0);
    dead.alive = 0;
    EXPECT_EQ(dead.CheckDrop(83, 79, 511, 520), 0);
}

TEST(CStoneHit, HeadOnStrikeHandsOverTheWholeSpeed)
{
    CStone king = MakeStone(1, 0, 200, 300);
    CStone soldier = MakeStone(2, 11, 230, 300);
    king.SetMove(0.0f, 20.0f);
    ASSERT_EQ(king.DoHitTest(&soldier), 1);
    EXPECT_EQ(king.speed, 0.0f);
    EXPECT_EQ(king.angle, 270.0f);
    EXPECT_EQ(soldier.moving, 1);
    EXPECT_EQ(soldier.angle, 0.0f);
    EXPECT_NEAR(soldier.speed, 27.0f, 1e-4f); // 20 times the king's 1.35 toward a minor stone
    EXPECT_EQ(king.lastHitSide, 2);
    EXPECT_EQ(king.lastHitIndex, 11);
    EXPECT_EQ(soldier.lastHitSide, 1);
    EXPECT_EQ(soldier.lastHitIndex, 0);
    EXPECT_EQ(king.hitPending, 0);
    EXPECT_EQ(soldier.hitPending, 0);
}

TEST(CStoneHit, CollisionsThatMustNotHappen)
{
    struct Case {
        const char* what;
        float angle;
        int partnersMarked;
    };
    // The soldier lies straight to the right of the mover, overlapping it.
    const Case cases[] = {
        {"heading away", 180.0f, 0},
        {"heading at right angles", 90.0f, 0},
        {"partners that just collided", 0.0f, 1},
    };
    for (const Case& c : cases) {
        CStone mover = MakeStone(1, 12, 200, 300);
        CStone soldier = MakeStone(2, 11, 220, 300);
        mover.SetMove(c.angle, 10.0f);
        if (c.partnersMarked) {
            mover.lastHitSide = 2;
            mover.lastHitIndex = 11;
            soldier.lastHitSide = 1;
            soldier.lastHitIndex = 12;
        }
        EXPECT_EQ(mover.DoHitTest(&soldier), 0) << c.what;
        EXPECT_EQ(soldier.moving, 0) << c.what;
    }
    // The control: straight at it, no marks.
    CStone mover = MakeStone(1, 12, 200, 300);
    CStone soldier = MakeStone(2, 11, 220, 300);
    mover.SetMove(0.0f, 10.0f);
    EXPECT_EQ(mover.DoHitTest(&soldier), 1);
}

TEST(CStoneHit, FasterPartnerStillMovingIsNotStruckAgain)
{
    CStone slow = MakeStone(1, 12, 200, 300);
    CStone fast = MakeStone(2, 11, 220, 300);
    slow.SetMove(0.0f, 5.0f);
    fast.SetMove(0.0f, 9.0f);
    fast.lastHitSide = 1;
    fast.lastHitIndex = 12;
    EXPECT_EQ(slow.DoHitTest(&fast), 0);
    fast.speed = 4.0f;
    EXPECT_EQ(slow.DoHitTest(&fast), 1);
}

TEST(CStoneHinge, CornerBouncesOnlyWithinOneRadius)
{
    const HingeRect& h = kHingeLeft;
    CStone s = MakeStone(1, 12, h.left - 3, h.top - 4);
    s.radius = 5; // a 3-4-5 triangle: exactly one radius from the corner
    s.SetMove(270.0f, 10.0f);
    ASSERT_EQ(s.DoHitTestWithHinge(kHingeLeftId, h), 1);
    EXPECT_EQ(s.angle, 90.0f); // dx < dy: the top face turns 270 into 90
    EXPECT_EQ(s.speed, 9.0f);

    CStone beyond = MakeStone(1, 12, h.left - 4, h.top - 4); // 5.66 away
    beyond.radius = 5;
    beyond.SetMove(270.0f, 10.0f);
    EXPECT_EQ(beyond.DoHitTestWithHinge(kHingeLeftId, h), 0);
}

TEST(CStoneHinge, EqualCornerOffsetsLeaveDiagonally)
{
    const HingeRect& h = kHingeRight;
    CStone s = MakeStone(1, 12, h.right + 5, h.bottom + 5);
    s.SetMove(135.0f, 10.0f);
    ASSERT_EQ(s.DoHitTestWithHinge(kHingeRightId, h), 1);
    EXPECT_EQ(s.angle, 315.0f);
}

TEST(CStoneHinge, FacesAndTheirAcceptedDirections)
{
    const HingeRect& h = kHingeLeft; // 154,295 - 196,304
    struct Case {
        const char* what;
        int x, y;
        float angle;
        int bounces;
        float leaves;
    };
    const Case cases[] = {
        {"right face, straight down", 200, 300, 270.0f, 1, 270.0f},
        {"left face, straight down", 150, 300, 270.0f, 1, 180.0f},
        {"left face, straight right", 150, 300, 0.0f, 1, 180.0f},
        {"left face, up-right", 150, 300, 30.0f, 1, 150.0f},
        {"left face, down-right", 150, 300, 300.0f, 1, 240.0f},
        {"left face, moving away", 150, 300, 180.0f, 0, 0.0f},
        {"right face, moving away", 200, 300, 0.0f, 0, 0.0f},
        {"top face, down", 170, 285, 300.0f, 1, 60.0f},
        {"top face, moving away", 170, 285, 90.0f, 0, 0.0f},
        {"bottom face, up", 170, 314, 60.0f, 1, 300.0f},
        {"bottom face, moving away", 170, 314, 270.0f, 0, 0.0f},
    };
    for (const Case& c : cases) {
        CStone s = MakeStone(1, 12, c.x, c.y);
        s.SetMove(c.angle, 10.0f);
        EXPECT_EQ(s.DoHitTestWithHinge(kHingeLeftId, h), c.bounces) << c.what;
        if (c.bounces) {
            EXPECT_EQ(s.angle, c.leaves) << c.what;
            EXPECT_EQ(s.lastHitSide, kHingeLeftId) << c.what;
        }
    }
}

TEST(CStoneHinge, SameHingeIsNotTestedAgainUntilSomethingElse)
{
    CStone s = MakeStone(1, 12, 200, 300);
    s.SetMove(180.0f, 10.0f);
    ASSERT_EQ(s.DoHitTestWithHinge(kHingeLeftId, kHingeLeft), 1);
    s.SetMove(180.0f, 10.0f);
    EXPECT_EQ(s.DoHitTestWithHinge(kHingeLeftId, kHingeLeft), 0);
    EXPECT_EQ(s.DoHitTestWithHinge(kHingeRightId, kHingeRight), 0); // too far away anyway
    s.lastHitSide = 0;
    EXPECT_EQ(s.DoHitTestWithHinge(kHingeLeftId, kHingeLeft), 1);
}

TEST(CStoneHinge, UnearnedDecelerationIsGivenBackBeforeTheBounce)
{
    CStone s = MakeStone(1, 0, 210, 300); // king, radius 24, right of hinge 3
    s.SetMove(180.0f, 20.0f);
    s.OnTimer(); // budget 20, one pixel covered, speed 20 - 1.744
    const float before = s.speed;
    const float owed = s.stepLeft;
    ASSERT_EQ(s.DoHitTestWithHinge(kHingeLeftId, kHingeLeft), 1);
    const float givenBack = static_cast<float>(static_cast<double>(1.6f) * static_cast<double>(1.09f) * (static_cast<double>(owed) / 20.0));
    const float restored = static_cast<float>(static_cast<double>(before) + static_cast<double>(givenBack));
    EXPECT_EQ(s.speed, static_cast<float>(static_cast<double>(restored) * static_cast<double>(0.9f)));
    EXPECT_EQ(s.stepLeft, owed);
    EXPECT_EQ(s.stepBudget, owed);
    EXPECT_EQ(s.angle, 0.0f);
}

} // namespace
} // namespace tovrik::game
