#include "GameRig.h"

#include "game/GameGlobals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tovrik::game {
namespace {

using testing::GameRig;
using testing::SetId;

// The local player "han" plays Han from server seat 0 against "cho".
class HanGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig.StartAndOpen(rig.StartInfo("han", "cho"));
        rig.NextPlayer("han", 0.0f, 0.0f);
    }
    CField& field() { return rig.field; }
    CGame& game() { return rig.game; }

    GameRig rig{"han", "cho"};
};

TEST(SeatMapping, ServerPlayersAndSlots)
{
    GameRig rig("a", "b");
    struct Case {
        int myServ, serverPlayer, slot;
    };
    const Case cases[] = {{1, 0, 1}, {1, 1, 0}, {0, 0, 0}, {0, 1, 1}, {2, 0, 1}, {2, 1, 2}, {2, 2, 0}, {2, 3, 3}};
    for (const Case& c : cases) {
        rig.game.myServPNum = c.myServ;
        EXPECT_EQ(rig.game.GetPNum_ByServPN(c.serverPlayer), c.slot) << c.myServ << " " << c.serverPlayer;
        EXPECT_EQ(rig.game.GetServPNum_ByPN(c.slot), c.serverPlayer) << c.myServ << " " << c.slot;
    }
}

TEST(SeatMapping, PlayerNumberOfAnId)
{
    GameRig rig("alice", "bob");
    EXPECT_EQ(rig.game.GetPlayerPNum("alice"), 0);
    EXPECT_EQ(rig.game.GetPlayerPNum("bob"), 1);
    EXPECT_EQ(rig.game.GetPlayerPNum(""), -1);
    EXPECT_EQ(rig.game.GetPlayerPNum("carol"), -1);
    EXPECT_EQ(rig.game.GetPlayerPNum("ali"), -1);
    rig.players[1].user = protocol::USERINFO{};
    EXPECT_EQ(rig.game.GetPlayerPNum(""), -1);
}

TEST(GameStart, StartInfoSeatsThePlayersAndRunsTheOpening)
{
    GameRig rig("cho", "han");
    rig.game.myServPNum = 1; // the local player sits in server seat 1
    const auto info = rig.StartInfo("han", "cho");
    rig.game.DoPrepareGame(&info);
    EXPECT_EQ(rig.room.playing, 1);
    EXPECT_EQ(rig.room.resetTimerCleared, 1);
    EXPECT_EQ(rig.players[0].side, kSideCho);
    EXPECT_EQ(rig.players[1].side, kSideHan);
    EXPECT_EQ(rig.players[0].user.Pebble, 2000);
    EXPECT_EQ(rig.players[1].inGame, 1);
    EXPECT_EQ(rig.field.phase, kPhaseOpening);
    EXPECT_EQ(rig.sound.Count(kSoundGameStart), 1);

    for (int i = 0; i < 33; ++i)
        rig.game.OnTimer();
    EXPECT_EQ(rig.field.phase, kPhaseOpening);
    EXPECT_TRUE(rig.sender.results.empty());
    rig.game.OnTimer();
    EXPECT_EQ(rig.field.phase, kPhasePlaying);
    EXPECT_EQ(rig.field.phaseCounter, 0);
    ASSERT_EQ(rig.sender.results.size(), 1u);
    EXPECT_EQ(rig.sender.results[0].id, "cho");
    EXPECT_TRUE(rig.sender.results[0].drops.empty());
    EXPECT_EQ(rig.sound.musicStops, 1);
}

TEST(GameStart, WrongStartInfoLeavesTheRoom)
{
    struct Case {
        const char* what;
        const char* seat0;
        const char* seat1;
        int side0, side1;
    };
    const Case cases[] = {
        {"unknown id", "han", "mallory", 1, 2},
        {"equal sides", "han", "cho", 1, 1},
        {"missing side", "han", "cho", 1, 0},
        {"no such side", "han", "cho", 1, 3},
        {"opponent missing", "han", "", 1, 2},
    };
    for (const Case& c : cases) {
        GameRig rig("han", "cho");
        auto info = rig.StartInfo(c.seat0, c.seat1);
        info.Seat[0].side = static_cast<std::int8_t>(c.side0);
        info.Seat[1].side = static_cast<std::int8_t>(c.side1);
        rig.game.DoPrepareGame(&info);
        EXPECT_EQ(rig.room.exited, 1) << c.what;
        ASSERT_EQ(rig.room.boxes.size(), 2u) << c.what;
        EXPECT_EQ(rig.room.boxes[0], "잘못된 게임 시작정보로 인하여 퇴장합니다");
        EXPECT_EQ(rig.room.boxes[1], std::string("0: local, ") + c.seat0 + "\n1: opponent, " + c.seat1 + "\n")
            << c.what;
        EXPECT_EQ(rig.field.phase, kPhaseIdle) << c.what;
        EXPECT_EQ(rig.sound.Count(kSoundGameStart), 0) << c.what;
    }
    GameRig rig("han", "cho");
    rig.game.DoPrepareGame(nullptr);
    EXPECT_EQ(rig.room.resetTimerCleared, 0);
}

TEST(GameReset, ReadyPressedDuringTheResultBecomesReady)
{
    GameRig rig("han", "cho");
    rig.players[1].readyNext = 1;
    rig.players[0].ready = 1;
    rig.players[1].gauge = 4.0f;
    rig.players[1].side = 2;
    rig.room.playing = 1;
    rig.game.resultShowing = 1;
    rig.game.ResetGame();
    EXPECT_EQ(rig.players[1].ready, 1);
    EXPECT_EQ(rig.players[1].readyNext, 0);
    EXPECT_EQ(rig.players[0].ready, 0);
    EXPECT_EQ(rig.players[1].gauge, 0.0f);
    EXPECT_EQ(rig.players[1].side, 2);
    EXPECT_EQ(rig.room.playing, 0);
    EXPECT_EQ(rig.game.resultShowing, 0);
}

TEST_F(HanGame, NextPlayerStoresCappedGaugesByWhoseTurnItIs)
{
    rig.NextPlayer("cho", 12.0f, 3.0f);
    EXPECT_EQ(game().myTurn, 0);
    EXPECT_EQ(game().opponentTurn, 1);
    EXPECT_EQ(rig.players[1].gauge, 10.0f);
    EXPECT_EQ(rig.players[0].gauge, 3.0f);
    rig.NextPlayer("han", std::numeric_limits<float>::quiet_NaN(), -2.0f);
    EXPECT_EQ(game().myTurn, 1);
    EXPECT_EQ(rig.players[0].gauge, 0.0f);
    EXPECT_EQ(rig.players[1].gauge, 0.0f);
    EXPECT_EQ(rig.sound.Count(kSoundMyTurn), 2);
    const int before = game().myTurn;
    rig.NextPlayer("nobody", 5.0f, 5.0f);
    EXPECT_EQ(game().myTurn, before);
}

TEST_F(HanGame, ItemButtonsFollowTheGaugeAndTheChangeRule)
{
    struct Case {
        const char* what;
        float gauge;
        int lostMajor;   // -1: none lost
        bool noMinors;
        int enabled[4];
    };
    const Case cases[] = {
        {"empty", 2.4f, -1, false, {0, 0, 0, 0}},
        {"power-up", 2.5f, -1, false, {1, 0, 0, 0}},
        {"change needs a lost major", 6.0f, -1, false, {1, 0, 0, 0}},
        {"change", 6.0f, 3, false, {1, 1, 0, 0}},
        {"change needs a minor", 6.0f, 3, true, {1, 0, 0, 0}},
        {"teleport", 7.5f, -1, false, {1, 0, 1, 0}},
        {"full", 10.0f, 5, false, {1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        field().InitStone();
        if (c.lostMajor >= 0)
            field().hanStones[c.lostMajor].alive = 0;
        if (c.noMinors)
            for (int i = 9; i < 16; ++i)
                field().hanStones[i].alive = 0;
        rig.NextPlayer("cho", 0.0f, c.gauge); // also at the opponent's turn
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(field().itemButtons[k].enabled, c.enabled[k]) << c.what << " button " << k;
    }
}

TEST_F(HanGame, TurnTimesOutAfterFifteenSeconds)
{
    rig.clock.now = 1000 + 14999;
    game().OnTimer();
    EXPECT_EQ(game().myTurn, 1);
    EXPECT_EQ(game().turnLeft, 1);
    EXPECT_TRUE(rig.sender.timeOuts.empty());
    field().hanStones[3].selected = 1;
    field().itemButtons[0].pressed = 1;
    rig.clock.now = 1000 + 15000;
    game().OnTimer();
    EXPECT_EQ(game().myTurn, 0);
    EXPECT_EQ(game().turnLeft, 0);
    ASSERT_EQ(rig.sender.timeOuts.size(), 1u);
    EXPECT_EQ(rig.sender.timeOuts[0], "han");
    EXPECT_EQ(field().hanStones[3].selected, 0);
    EXPECT_EQ(field().itemButtons[0].pressed, 0);
    rig.clock.now += 5000;
    game().OnTimer();
    EXPECT_EQ(rig.sender.timeOuts.size(), 1u);
}

TEST_F(HanGame, TurnTimerSurvivesTheClockWrapping)
{
    rig.clock.now = 0xFFFFF000u;
    rig.NextPlayer("han", 0.0f, 0.0f);
    rig.clock.now = 0xFFFFF000u + 20000u; // wrapped past zero
    game().OnTimer();
    EXPECT_EQ(rig.sender.timeOuts.size(), 1u);
}

TEST_F(HanGame, RunningShotIsReportedNotTimedOut)
{
    const CStone& king = field().hanStones[0];
    rig.Drag(king.x, king.y, king.x, king.y + 60);
    ASSERT_EQ(rig.sender.hits.size(), 1u);
    EXPECT_EQ(game().waitResult, 1);
    rig.clock.now += 20000;
    int ticks = 0;
    while (game().waitResult && ++ticks < 1000)
        game().OnTimer();
    EXPECT_TRUE(rig.sender.timeOuts.empty());
    ASSERT_EQ(rig.sender.results.size(), 2u); // the opening's and this shot's
    EXPECT_EQ(rig.sender.results[1].id, "han");
}

TEST_F(HanGame, FlickPowerFromTheDragLength)
{
    struct Case {
        int dragDown;
        bool powerUp;
        float gauge;
        float power;
    };
    const float least = static_cast<float>(5.0 + 25.0 / 90.0 * 1.0);
    const Case cases[] = {
        {0, false, 0.0f, least},
        {1, false, 0.0f, least},
        {45, false, 0.0f, static_cast<float>(5.0 + 25.0 / 90.0 * 45.0)},
        {90, false, 0.0f, 30.0f},
        {200, false, 0.0f, 30.0f},
        {90, true, 10.0f, 40.0f},
        {45, true, 2.5f, static_cast<float>(static_cast<double>(static_cast<float>(5.0 + 25.0 / 90.0 * 45.0)) + 2.5)},
    };
    for (const Case& c : cases) {
        field().InitStone();
        rig.NextPlayer("han", c.gauge, 0.0f);
        if (c.powerUp)
            game().UseMyItem(kItemPowerUp);
        const CStone& king = field().hanStones[0];
        rig.Drag(king.x, king.y, king.x, king.y + c.dragDown);
        ASSERT_FALSE(rig.sender.hits.empty());
        const auto& hit = rig.sender.hits.back();
        EXPECT_EQ(static_cast<float>(hit.Power), c.power) << c.dragDown;
        EXPECT_EQ(hit.StoneIndex, 0);
        // Pulled down, the stone flies up; no drag flies along angle 0.
        EXPECT_EQ(static_cast<float>(hit.Angle), c.dragDown == 0 ? 0.0f : 90.0f);
        EXPECT_EQ(field().hanStones[0].power, c.power);
        EXPECT_EQ(game().waitResult, 1);
        EXPECT_EQ(game().myTurn, 0);
        EXPECT_EQ(game().itemMode, 0);
        if (c.powerUp) {
            EXPECT_EQ(rig.players[0].gauge, 0.0f);
        }
    }
}

TEST(FieldInput, ChoPlayersPointsAreTurned)
{
    GameRig rig("cho", "han");
    rig.game.myServPNum = 1;
    rig.StartAndOpen(rig.StartInfo("han", "cho"));
    rig.NextPlayer("cho", 0.0f, 0.0f);
    // Page (101, 97) is board (493, 502): a Han stone, not ours.
    rig.game.OnLButtonDown(101, 97);
    EXPECT_EQ(rig.field.mouseX, 493);
    EXPECT_EQ(rig.field.mouseY, 502);
    EXPECT_EQ(rig.field.aiming, 0);
    // Page (493, 502) is board (101, 97): Cho stone 1.
    rig.game.OnLButtonDown(493, 502);
    EXPECT_EQ(rig.field.aiming, 1);
    EXPECT_EQ(rig.field.choStones[1].selected, 1);
    ASSERT_EQ(rig.sender.clicks.size(), 1u);
    EXPECT_EQ(rig.sender.clicks[0].StoneIndex, 1);
    // Pulled toward the bottom of the Cho player's screen: up the board.
    rig.game.OnLButtonUp(493, 502 + 50);
    ASSERT_EQ(rig.sender.hits.size(), 1u);
    EXPECT_EQ(static_cast<float>(rig.sender.hits[0].Angle), 270.0f);
}

TEST(FieldInput, NotSeatedMeansNoPickHoverOrFlick)
{
    GameRig rig("watcher", "cho");
    rig.room.playing = 1;
    rig.game.myTurn = 1;
    const CStone& s = rig.field.hanStones[0];
    EXPECT_EQ(rig.field.OnLButtonDown(s.x, s.y), 0);
    EXPECT_EQ(rig.field.OnMouseMove(s.x, s.y), 0);
    EXPECT_EQ(rig.field.OnLButtonUp(s.x, s.y + 40), 0);
    EXPECT_EQ(rig.field.aiming, 0);
    EXPECT_TRUE(rig.sender.clicks.empty());
}

TEST_F(HanGame, InputOutsideTheTurnIsIgnored)
{
    rig.NextPlayer("cho", 0.0f, 0.0f);
    const CStone& king = field().hanStones[0];
    EXPECT_EQ(field().OnLButtonDown(king.x, king.y), 0);
    rig.NextPlayer("han", 0.0f, 0.0f);
    // An opponent's stone cannot be picked.
    EXPECT_EQ(field().OnLButtonDown(field().choStones[0].x, field().choStones[0].y), 0);
    EXPECT_EQ(field().OnLButtonDown(king.x, king.y), 1);
    // A second press while aiming is ignored.
    EXPECT_EQ(field().OnLButtonDown(king.x, king.y), 0);
    // Outside a running game nothing happens.
    rig.room.playing = 0;
    EXPECT_EQ(field().OnLButtonUp(king.x, king.y + 30), 0);
    EXPECT_TRUE(rig.sender.hits.empty());
}

TEST_F(HanGame, HoverMarksOnlyPossibleSubjects)
{
    const CStone& soldier = field().hanStones[12];
    const CStone& chariot = field().hanStones[1];
    game().OnMouseMove(soldier.x, soldier.y);
    EXPECT_EQ(soldier.hover, 1);
    rig.NextPlayer("han", 10.0f, 0.0f);
    game().UseMyItem(kItemChange);
    game().OnMouseMove(chariot.x, chariot.y);
    EXPECT_EQ(chariot.itemHover, 0);
    EXPECT_EQ(chariot.hover, 0);
    game().OnMouseMove(soldier.x, soldier.y);
    EXPECT_EQ(soldier.itemHover, 1);
    EXPECT_EQ(soldier.hover, 0);
}

TEST_F(HanGame, ItemButtonClickArmsTheItem)
{
    rig.NextPlayer("han", 10.0f, 0.0f);
    CItemBtn& power = field().itemButtons[kItemPowerUp];
    ASSERT_EQ(power.enabled, 1);
    power.slide = power.ShownSlide();
    game().OnLButtonDown(20, 430);
    game().OnLButtonUp(20, 430);
    EXPECT_EQ(game().itemMode, 1);
    EXPECT_EQ(game().itemKind, kItemPowerUp);
    EXPECT_EQ(field().itemTitleTimer, 45);
    EXPECT_EQ(rig.sound.Count(kSoundItemArmed), 1);
    for (const CItemBtn& b : field().itemButtons)
        EXPECT_EQ(b.enabled, 0);
    ASSERT_EQ(rig.sender.useItems.size(), 1u);
    EXPECT_EQ(rig.sender.useItems[0].ItemKind, 0);
    // Without items in the channel a button cannot be clicked.
    rig.NextPlayer("han", 10.0f, 0.0f);
    rig.room.itemChannel = 0;
    CItemBtn& nuclear = field().itemButtons[kItemNuclear];
    nuclear.slide = nuclear.ShownSlide();
    game().OnLButtonDown(20, 160);
    game().OnLButtonUp(20, 160);
    EXPECT_EQ(game().itemMode, 0);
}

TEST_F(HanGame, ReleaseWithAnotherItemArmedDoesNothing)
{
    rig.NextPlayer("han", 10.0f, 0.0f);
    const CStone& king = field().hanStones[0];
    game().OnLButtonDown(king.x, king.y);
    ASSERT_EQ(field().aiming, 1);
    game().UseMyItem(kItemChange);
    game().OnLButtonUp(king.x, king.y + 50);
    EXPECT_EQ(field().aiming, 0);
    EXPECT_TRUE(rig.sender.hits.empty());
    EXPECT_EQ(game().itemMode, 1);
    EXPECT_EQ(king.moving, 0);
}

TEST_F(HanGame, ChangePicksTheLowestLostMajor)
{
    rig.NextPlayer("han", 10.0f, 0.0f);
    game().UseMyItem(kItemChange);
    const CStone& soldier = field().hanStones[12];
    // With every major on the board nothing happens and the item stays armed.
    rig.Click(soldier.x, soldier.y);
    EXPECT_TRUE(rig.sender.changes.empty());
    EXPECT_EQ(game().itemMode, 1);

    field().hanStones[7].alive = 0;
    field().hanStones[2].alive = 0;
    // A major cannot be given up.
    rig.Click(field().hanStones[1].x, field().hanStones[1].y);
    EXPECT_TRUE(rig.sender.changes.empty());

    const int x = soldier.x, y = soldier.y;
    rig.Click(x, y);
    ASSERT_EQ(rig.sender.changes.size(), 1u);
    EXPECT_EQ(rig.sender.changes[0].MinorIndex, 12);
    EXPECT_EQ(rig.sender.changes[0].MajorIndex, 2);
    EXPECT_EQ(field().hanStones[2].alive, 1);
    EXPECT_EQ(field().hanStones[2].x, x);
    EXPECT_EQ(field().hanStones[12].alive, 0);
    EXPECT_EQ(game().itemMode, 0);
    EXPECT_EQ(rig.players[0].gauge, 0.0f);
    EXPECT_EQ(game().myTurn, 1); // the player still flicks
    EXPECT_EQ(rig.sound.Count(kSoundChange), 1);
}

TEST_F(HanGame, TeleportChoosesASubjectThenAValidTarget)
{
    rig.NextPlayer("han", 10.0f, 0.0f);
    game().UseMyItem(kItemTeleport);
    CStone& soldier = field().hanStones[15]; // (101, 367)
    rig.Click(soldier.x, soldier.y);
    EXPECT_EQ(game().teleportChosen, 1);
    EXPECT_EQ(game().teleportIndex, 15);
    EXPECT_EQ(soldier.teleportMark, 1);

    rig.Click(soldier.x + 20, soldier.y); // over its own old place
    EXPECT_TRUE(rig.sender.teleports.empty());
    EXPECT_EQ(game().itemMode, 1);
    rig.Click(175, 299); // on a hinge
    EXPECT_TRUE(rig.sender.teleports.empty());

    rig.Click(150, 340);
    ASSERT_EQ(rig.sender.teleports.size(), 1u);
    EXPECT_EQ(rig.sender.teleports[0].StoneIndex, 15);
    EXPECT_EQ(rig.sender.teleports[0].TargetX, 150);
    EXPECT_EQ(rig.sender.teleports[0].TargetY, 340);
    EXPECT_EQ(soldier.x, 150);
    EXPECT_EQ(soldier.teleportMark, 0);
    EXPECT_EQ(game().itemMode, 0);
    EXPECT_EQ(game().myTurn, 1);
    EXPECT_EQ(field().effectKind, kEffectTeleport);
}

TEST_F(HanGame, NuclearEndsTheTurnAndRunsAShot)
{
    rig.NextPlayer("han", 10.0f, 0.0f);
    game().UseMyItem(kItemNuclear);
    rig.Click(field().hanStones[13].x, field().hanStones[13].y);
    ASSERT_EQ(rig.sender.nuclears.size(), 1u);
    EXPECT_EQ(rig.sender.nuclears[0].StoneIndex, 13);
    EXPECT_EQ(game().myTurn, 0);
    EXPECT_EQ(game().waitResult, 1);
    EXPECT_EQ(field().hanStones[13].alive, 0);
    EXPECT_EQ(rig.sound.Count(kSoundNuclear), 1);
    // The board shakes between offsets 0 and 2 while the blast plays.
    game().OnTimer();
    EXPECT_EQ(field().viewOffsetX, 0);
    game().OnTimer();
    EXPECT_EQ(field().viewOffsetX, 2);
    game().OnTimer();
    EXPECT_EQ(field().viewOffsetX, 0);
}

TEST_F(HanGame, RelayedMovesFromOurselvesOrStrangersAreIgnored)
{
    rig.NextPlayer("cho", 0.0f, 0.0f);
    for (const char* id : {"han", "mallory", ""}) {
        protocol::STONEHITINFO hit;
        SetId(hit, id);
        hit.StoneIndex = 0;
        hit.Angle = 270.0f;
        hit.Power = 30.0f;
        game().OnStoneHit(&hit);
        protocol::NUCLEARITEM nuke;
        SetId(nuke, id);
        nuke.StoneIndex = 0;
        game().OnNuclearItem(&nuke);
        protocol::STONECLICK click;
        SetId(click, id);
        click.StoneIndex = 0;
        game().OnStoneClick(&click);
    }
    EXPECT_EQ(field().IsStoneMoving(), 0);
    EXPECT_EQ(game().waitResult, 0);
    EXPECT_EQ(field().choStones[0].selected, 0);
    EXPECT_EQ(field().hanStones[0].alive, 1);

    protocol::STONEHITINFO outOfRange;
    SetId(outOfRange, "cho");
    outOfRange.StoneIndex = 16;
    outOfRange.Power = 10.0f;
    game().OnStoneHit(&outOfRange);
    EXPECT_EQ(game().waitResult, 0);
}

TEST_F(HanGame, OpponentsMovesAreShownAndReplayed)
{
    rig.NextPlayer("cho", 10.0f, 0.0f);
    protocol::STONECLICK click;
    SetId(click, "cho");
    click.StoneIndex = 4;
    game().OnStoneClick(&click);
    EXPECT_EQ(field().choStones[4].selected, 1);
    EXPECT_EQ(field().hanStones[4].selected, 0);

    protocol::USEITEM use;
    SetId(use, "cho");
    use.ItemKind = kItemTeleport;
    game().OnUseItem(&use);
    EXPECT_EQ(field().itemTitleKind, kItemTeleport);
    EXPECT_EQ(field().itemTitleTimer, 45);
    EXPECT_EQ(game().itemMode, 0);
    EXPECT_EQ(rig.sound.Count(kSoundItemArmed + 2), 1);

    protocol::STONEHITINFO hit;
    SetId(hit, "cho");
    hit.StoneIndex = 4;
    hit.Angle = 630.0f; // loses 360 once
    hit.Power = 20.0f;
    game().OnStoneHit(&hit);
    EXPECT_EQ(field().choStones[4].selected, 0);
    EXPECT_EQ(field().choStones[4].angle, 270.0f);
    EXPECT_EQ(field().choStones[4].speed, 20.0f);
    EXPECT_EQ(game().waitResult, 1);
}

TEST_F(HanGame, RelayedFlickOutOfRangeStillComesToRest)
{
    rig.NextPlayer("cho", 0.0f, 0.0f);
    struct Case {
        float angle, power, wantPower;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {{45.0f, -5.0f, 0.0f}, {nan, 1e30f, 40.0f}, {90.0f, nan, 0.0f}};
    for (const Case& c : cases) {
        field().InitStone();
        protocol::STONEHITINFO hit;
        SetId(hit, "cho");
        hit.StoneIndex = 11;
        hit.Angle = c.angle;
        hit.Power = c.power;
        game().OnStoneHit(&hit);
        EXPECT_EQ(field().choStones[11].power, c.wantPower);
        int ticks = 0;
        while (game().waitResult && ++ticks < 2000)
            game().OnTimer();
        EXPECT_EQ(game().waitResult, 0) << c.power;
    }
}

TEST_F(HanGame, RelayedTeleportFarOffTheBoardIsHarmless)
{
    rig.NextPlayer("cho", 0.0f, 0.0f);
    protocol::TELEPORTITEM teleport;
    SetId(teleport, "cho");
    teleport.StoneIndex = 2;
    teleport.TargetX = 2147483600;
    teleport.TargetY = -2147483600;
    game().OnTeleportItem(&teleport);
    protocol::STONEHITINFO hit;
    SetId(hit, "cho");
    hit.StoneIndex = 2;
    hit.Angle = 45.0f;
    hit.Power = 40.0f;
    game().OnStoneHit(&hit);
    int ticks = 0;
    while (game().waitResult && ++ticks < 1000)
        game().OnTimer();
    EXPECT_EQ(game().waitResult, 0);
    EXPECT_EQ(field().choStones[2].alive, 0);
    EXPECT_EQ(field().choStones[2].dropping, 1);
}

TEST_F(HanGame, GameOverShowsTheLocalResult)
{
    struct Case {
        const char* what;
        const char* firstId;
        int change;
        int kind;
        int winSounds, lossSounds;
    };
    const Case cases[] = {
        {"win", "han", 30, kResultWin, 1, 0},
        {"loss", "han", -20, kResultLoss, 0, 1},
        {"draw", "han", 0, kResultDraw, 0, 0},
        {"no local entry", "stranger", 30, kResultDraw, 0, 0},
    };
    for (const Case& c : cases) {
        GameRig g("han", "cho");
        g.StartAndOpen(g.StartInfo("han", "cho"));
        g.field.hanStones[5].alive = 0;
        protocol::GAMEOVERRESULT results[2];
        SetId(results[0], c.firstId);
        results[0].Pebble = 1234;
        results[0].Point = 500;
        results[0].WinNum = 7;
        results[0].LoseNum = 3;
        results[0].ChangePoint = c.change;
        SetId(results[1], "cho");
        results[1].Point = 99;
        g.game.OnGameOver(results);
        EXPECT_EQ(g.field.resultKind, c.kind) << c.what;
        EXPECT_EQ(g.sound.Count(kSoundWin), c.winSounds) << c.what;
        EXPECT_EQ(g.sound.Count(kSoundLoss), c.lossSounds) << c.what;
        EXPECT_EQ(g.field.phase, kPhaseResult);
        EXPECT_EQ(g.field.phaseCounter, 200);
        EXPECT_EQ(g.room.playing, 0);
        EXPECT_EQ(g.room.waitCleared, 1);
        EXPECT_EQ(g.room.resetTimerSet, 1);
        EXPECT_EQ(g.room.charViewRefreshes, 1);
        EXPECT_EQ(g.game.resultShowing, 1);
        EXPECT_EQ(g.players[1].user.Point, 99);
        EXPECT_EQ(g.players[1].inGame, 0);
        if (std::string(c.firstId) == "han") {
            EXPECT_EQ(g.players[0].user.Pebble, 1234);
            EXPECT_EQ(g.players[0].user.WinNum, 7);
            EXPECT_EQ(g.field.resultPoints, c.change);
        }
        EXPECT_EQ(g.field.hanStones[0].dropping, 1);
        EXPECT_EQ(g.field.hanStones[0].dropCounter, 40);
        EXPECT_EQ(g.field.hanStones[0].alive, 1);
        EXPECT_EQ(g.field.hanStones[5].dropping, 0);
        for (const CItemBtn& b : g.field.itemButtons)
            EXPECT_EQ(b.enabled, 0);
    }
}

TEST(GameExit, ExitReservationCarriesTheRoomAndTheUser)
{
    GameRig rig("han", "cho");
    rig.game.DoExitSubscript(1);
    ASSERT_EQ(rig.sender.exits.size(), 1u);
    EXPECT_EQ(rig.sender.exits[0][0], 77);
    EXPECT_EQ(rig.sender.exits[0][1], 501);
    EXPECT_EQ(rig.sender.exits[0][2], 1);
    EXPECT_EQ(rig.sender.exitIds[0], "han");
}

TEST(FieldCounters, PhasesAndBanner)
{
    CField field;
    field.itemTitleTimer = 2;
    for (int i = 0; i < 3; ++i)
        field.OnTimer();
    EXPECT_EQ(field.titleZoom, 150);
    EXPECT_EQ(field.itemTitleTimer, 0);
    field.phase = kPhaseOpening;
    for (int i = 0; i < 40; ++i)
        field.OnTimer();
    EXPECT_EQ(field.phaseCounter, 100);
    field.phase = kPhaseResult;
    field.phaseCounter = 12;
    field.OnTimer();
    EXPECT_EQ(field.phaseCounter, 7);
    field.OnTimer();
    field.OnTimer();
    EXPECT_EQ(field.phaseCounter, 0);
    field.viewOffsetY = -3;
    field.OnTimer();
    EXPECT_EQ(field.viewOffsetY, -1);
    field.OnTimer();
    EXPECT_EQ(field.viewOffsetY, 0);
}

TEST(GameGlobals, TheClientsOneGameIsWired)
{
    EXPECT_EQ(&Game.Field(), &Field);
    EXPECT_EQ(&Game.Player(0), &Play[0]);
    EXPECT_EQ(Field.hanStones[0].y, 457);
}

} // namespace
} // namespace tovrik::game
