#include "GameRig.h"
#include "game/Field.h"
#include "game/Geometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace tovrik::game {
namespace {

using testing::RecordingSound;

TEST(CFieldLayout, StartingPositions)
{
    CField field;
    EXPECT_EQ(field.choStones[0].x, 297);
    EXPECT_EQ(field.choStones[0].y, 142);
    EXPECT_EQ(field.hanStones[0].x, 297);
    EXPECT_EQ(field.hanStones[0].y, 457);
    EXPECT_EQ(field.choStones[1].x, 101);
    EXPECT_EQ(field.choStones[1].y, 97);
    EXPECT_EQ(field.hanStones[1].x, 493);
    EXPECT_EQ(field.hanStones[1].y, 502);
    EXPECT_EQ(field.choStones[15].x, 493);
    EXPECT_EQ(field.choStones[15].y, 232);
    for (int i = 0; i < kStonesPerSide; ++i) {
        int x = field.choStones[i].x;
        int y = field.choStones[i].y;
        CField::ReversePos(&x, &y);
        EXPECT_EQ(field.hanStones[i].x, x) << i;
        EXPECT_EQ(field.hanStones[i].y, y) << i;
        EXPECT_EQ(field.hanStones[i].side, kSideHan);
        EXPECT_EQ(field.choStones[i].side, kSideCho);
        EXPECT_EQ(field.hanStones[i].alive, 1);
        EXPECT_EQ(field.hanStones[i].moving, 0);
    }
    EXPECT_EQ(field.IsStoneMoving(), 0);
}

TEST(CFieldLayout, ReversePosTurnsTheBoard)
{
    int x = 297, y = 300;
    CField::ReversePos(&x, &y);
    EXPECT_EQ(x, 297);
    EXPECT_EQ(y, 299);
    x = 101;
    y = 97;
    CField::ReversePos(&x, &y);
    EXPECT_EQ(x, 493);
    EXPECT_EQ(y, 502);
}

TEST(CFieldPhysics, FallingStoneIsNotMoving)
{
    CField field;
    field.hanStones[3].SetMove(0.0f, 5.0f);
    EXPECT_EQ(field.IsStoneMoving(), 1);
    field.hanStones[3].alive = 0;
    field.hanStones[3].dropping = 1;
    EXPECT_EQ(field.IsStoneMoving(), 0);
}

TEST(CFieldPhysics, DropListHoldsOnlyTheLocalSideUpToSixteen)
{
    CField field;
    RecordingSound sound;
    field.SetSound(&sound);
    for (int i = 0; i < kStonesPerSide; ++i) {
        field.hanStones[i].SetPos(50, 300);
        field.choStones[i].SetPos(50, 300);
    }
    field.DoPhysicsTick(kSideCho);
    ASSERT_EQ(field.dropCount, 16);
    for (int i = 0; i < kStonesPerSide; ++i)
        EXPECT_EQ(field.dropList[i], i);
    EXPECT_EQ(sound.Count(kSoundDrop), 32);
    EXPECT_EQ(field.choStones[4].alive, 0);
    EXPECT_EQ(field.choStones[4].dropping, 1);
    EXPECT_EQ(field.choStones[4].dropCounter, 5);

    // Brought back and dropped again without emptying: the list stays at 16.
    for (CStone& s : field.choStones)
        s.alive = 1;
    field.DoPhysicsTick(kSideCho);
    EXPECT_EQ(field.dropCount, 16);
}

TEST(CFieldPhysics, DropOrderFollowsTheTickOrder)
{
    CField field;
    field.choStones[9].SetPos(300, 60);
    field.choStones[2].SetPos(300, 540);
    field.hanStones[1].SetPos(20, 20);
    field.DoPhysicsTick(kSideCho);
    ASSERT_EQ(field.dropCount, 2);
    EXPECT_EQ(field.dropList[0], 2);
    EXPECT_EQ(field.dropList[1], 9);
}

TEST(CFieldPhysics, StonesStrikeInsteadOfPassingThrough)
{
    CField field;
    RecordingSound sound;
    field.SetSound(&sound);
    // Han soldier 13 stands right below Cho soldier 13 on the centre file;
    // shot straight up at full speed it must strike it.
    CStone& shooter = field.hanStones[13];
    shooter.SetMove(90.0f, 40.0f);
    int ticks = 0;
    do {
        field.DoPhysicsTick(kSideHan);
    } while (field.IsStoneMoving() && ++ticks < 500);
    EXPECT_LT(ticks, 500);
    EXPECT_GE(sound.Count(kSoundHitStone), 1);
    EXPECT_LE(field.choStones[13].y, 232);
}

TEST(CFieldItems, ChangeBringsBackTheMajorOnTheMinorsPlace)
{
    CField field;
    field.hanStones[2].alive = 0;
    field.hanStones[2].dropping = 1;
    const int x = field.hanStones[12].x;
    const int y = field.hanStones[12].y;
    ASSERT_EQ(field.DoChangeStones(kSideHan, 12, 2), 1);
    EXPECT_EQ(field.hanStones[2].alive, 1);
    EXPECT_EQ(field.hanStones[2].dropping, 0);
    EXPECT_EQ(field.hanStones[2].x, x);
    EXPECT_EQ(field.hanStones[2].y, y);
    EXPECT_EQ(field.hanStones[2].radius, 18);
    EXPECT_EQ(field.hanStones[12].alive, 0);
    EXPECT_EQ(field.hanStones[12].dropping, 0);
    EXPECT_EQ(field.effectKind, kEffectChange);
    EXPECT_EQ(field.effectIndex, 12);
    EXPECT_EQ(field.effectX, x);

    EXPECT_EQ(field.DoChangeStones(kSideHan, 8, 2), 0);
    EXPECT_EQ(field.DoChangeStones(kSideHan, 12, 9), 0);
    EXPECT_EQ(field.DoChangeStones(kSideHan, 16, 1), 0);
}

TEST(CFieldItems, TeleportMovesOnlyThePosition)
{
    CField field;
    CStone& s = field.hanStones[3];
    const int oldX = s.x, oldY = s.y;
    ASSERT_EQ(field.DoTeleportStone(kSideHan, 3, 250, 350), 1);
    EXPECT_EQ(s.x, 250);
    EXPECT_EQ(s.y, 350);
    EXPECT_EQ(s.originX, oldX);
    EXPECT_EQ(field.effectFromX, oldX);
    EXPECT_EQ(field.effectFromY, oldY);
    s.SetMove(0.0f, 5.0f);
    EXPECT_EQ(s.originX, 250);
    EXPECT_EQ(field.DoTeleportStone(kSideHan, 16, 250, 350), 0);
    EXPECT_EQ(field.DoTeleportStone(kSideHan, -1, 250, 350), 0);
}

TEST(CFieldItems, NuclearReachAndSpeed)
{
    CField field;
    for (CStone& s : field.hanStones)
        s.alive = 0;
    for (CStone& s : field.choStones)
        s.alive = 0;
    CStone& king = field.hanStones[0];
    king.alive = 1;
    king.SetPos(300, 300);
    // Soldiers (radius 14) at 140 + 14 = 154 and just beyond.
    field.choStones[11].alive = 1;
    field.choStones[11].SetPos(300 + 154, 300);
    field.choStones[12].alive = 1;
    field.choStones[12].SetPos(300, 300 - 155);
    field.choStones[13].alive = 1;
    field.choStones[13].SetPos(300 - 100, 300 + 100); // 141.4 away
    ASSERT_EQ(field.DoNuclearBlast(kSideHan, 0), 1);
    EXPECT_EQ(king.alive, 0);
    EXPECT_EQ(king.dropping, 0);
    EXPECT_EQ(field.choStones[11].speed, 39.0f);
    EXPECT_EQ(field.choStones[11].angle, 0.0f);
    EXPECT_EQ(field.choStones[12].moving, 0);
    EXPECT_EQ(field.choStones[13].speed, 39.0f);
    EXPECT_EQ(field.choStones[13].angle, GetAngle(300, 300, 200, 400));
    EXPECT_EQ(field.effectKind, kEffectNuclear);
    EXPECT_EQ(field.effectX, 300);

    // A soldier's blast: reach 100, speed 27.
    field.choStones[14].alive = 1;
    field.choStones[14].SetPos(100, 400);
    field.choStones[15].alive = 1;
    field.choStones[15].SetPos(100, 400 - 114);
    ASSERT_EQ(field.DoNuclearBlast(kSideCho, 14), 1);
    EXPECT_EQ(field.choStones[15].speed, 27.0f);
    EXPECT_EQ(field.choStones[15].angle, 90.0f);

    // The exploded stone never enters the drop list.
    int ticks = 0;
    while (field.IsStoneMoving() && ++ticks < 1000)
        field.DoPhysicsTick(kSideHan);
    for (int i : field.DropList())
        EXPECT_NE(i, 0);
}

TEST(CFieldTeleport, TargetRules)
{
    CField field;
    const CStone& s = field.hanStones[15]; // soldier at (101, 367), range 300
    struct Case {
        const char* what;
        int tx, ty, accepted;
    };
    const Case cases[] = {
        {"free point", 150, 340, 1},
        {"left of the board", 83, 380, 0},
        {"beyond range", 420, 80, 0},
        {"over a hinge", 175, 300, 0},
        {"touching a hinge", 175, 299 - 4 - 14, 0},
        {"beside a hinge", 175, 299 - 4 - 14 - 1, 1},
        {"own old place", 101, 367, 0},
        {"touching own old place", 101 + 28, 367, 0},
        {"next to another stone", 101 + 49, 457 - 20, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(field.CheckTeleport(s.x, s.y, s.radius, c.tx, c.ty, s.teleportRange), c.accepted) << c.what;
    }
    // The bounds are inclusive at 84 and 510.
    CField empty;
    for (CStone& st : empty.hanStones)
        st.alive = 0;
    for (CStone& st : empty.choStones)
        st.alive = 0;
    EXPECT_EQ(empty.CheckTeleport(300, 300, 14, 84, 300, 300), 1);
    EXPECT_EQ(empty.CheckTeleport(300, 300, 14, 510, 300, 300), 1);
    EXPECT_EQ(empty.CheckTeleport(300, 300, 14, 300, 80, 300), 1);
    EXPECT_EQ(empty.CheckTeleport(300, 300, 14, 300, 519, 300), 1);
    EXPECT_EQ(empty.CheckTeleport(300, 300, 14, 300, 520, 300), 0);
    EXPECT_EQ(empty.CheckTeleport(300, 300, 14, 300, 79, 300), 0);
}

} // namespace
} // namespace tovrik::game
