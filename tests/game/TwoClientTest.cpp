// Two clients of one game, each with its own field, fed the same moves from
// their two points of view through a relay, must agree on every stone after
// every tick, and each must report exactly its own fallen stones.

#include "GameRig.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <set>

namespace tovrik::game {
namespace {

using testing::GameRig;

// Hands what one client sent since the last call to the other client.
class Relay {
public:
    Relay(GameRig& from, GameRig& to) : from_(from), to_(to) {}

    void Pump()
    {
        auto& s = from_.sender;
        for (; clicks_ < s.clicks.size(); ++clicks_)
            to_.game.OnStoneClick(&s.clicks[clicks_]);
        for (; useItems_ < s.useItems.size(); ++useItems_)
            to_.game.OnUseItem(&s.useItems[useItems_]);
        for (; changes_ < s.changes.size(); ++changes_)
            to_.game.OnChangeItem(&s.changes[changes_]);
        for (; teleports_ < s.teleports.size(); ++teleports_)
            to_.game.OnTeleportItem(&s.teleports[teleports_]);
        for (; nuclears_ < s.nuclears.size(); ++nuclears_)
            to_.game.OnNuclearItem(&s.nuclears[nuclears_]);
        for (; hits_ < s.hits.size(); ++hits_)
            to_.game.OnStoneHit(&s.hits[hits_]);
    }

private:
    GameRig& from_;
    GameRig& to_;
    std::size_t clicks_ = 0, useItems_ = 0, changes_ = 0, teleports_ = 0, nuclears_ = 0, hits_ = 0;
};

std::uint32_t Bits(float v) { return std::bit_cast<std::uint32_t>(v); }

// With `fallenToo` false, stones off the board only have to agree that they
// fell: where a fallen stone slid to is a picture, not game state.
void ExpectSameStones(const CField& a, const CField& b, int shot, int tick, bool fallenToo = true)
{
    for (int side : {kSideHan, kSideCho}) {
        for (int i = 0; i < kStonesPerSide; ++i) {
            const CStone& s = a.Stones(side)[i];
            const CStone& t = b.Stones(side)[i];
            if (!fallenToo && !s.alive && !t.alive) {
                ASSERT_EQ(s.dropping, t.dropping) << "shot " << shot << " tick " << tick << " side " << side
                                                  << " stone " << i;
                continue;
            }
            const bool same = s.x == t.x && s.y == t.y && s.alive == t.alive && s.moving == t.moving &&
                              s.dropping == t.dropping && Bits(s.angle) == Bits(t.angle) &&
                              Bits(s.speed) == Bits(t.speed);
            ASSERT_TRUE(same) << "shot " << shot << " tick " << tick << " side " << side << " stone " << i;
        }
    }
}

std::set<int> OnBoard(const CField& field, int side)
{
    std::set<int> alive;
    for (int i = 0; i < kStonesPerSide; ++i)
        if (field.Stones(side)[i].alive)
            alive.insert(i);
    return alive;
}

std::set<int> FellSince(const CField& field, int side, const std::set<int>& before)
{
    std::set<int> fell;
    for (int i : before) {
        const CStone& s = field.Stones(side)[i];
        if (!s.alive && s.dropping)
            fell.insert(i);
    }
    return fell;
}

class TwoClients : public ::testing::Test {
protected:
    void SetUp() override
    {
        cho.game.myServPNum = 1;
        const auto info = han.StartInfo("han", "cho");
        han.StartAndOpen(info);
        cho.StartAndOpen(info);
    }

    GameRig& Shooter(int shot) { return shot % 2 == 0 ? han : cho; }
    GameRig& Watcher(int shot) { return shot % 2 == 0 ? cho : han; }

    // A small deterministic generator, so that a failure can be replayed.
    unsigned Next()
    {
        seed_ = seed_ * 1103515245u + 12345u;
        return (seed_ >> 8) & 0xFFFF;
    }

    // Both clients tick until both sent their stop report.
    void RunShot(int shot, bool fallenToo = true)
    {
        const std::size_t hanReports = han.sender.results.size();
        const std::size_t choReports = cho.sender.results.size();
        const auto hanBefore = OnBoard(han.field, kSideHan);
        const auto choBefore = OnBoard(cho.field, kSideCho);
        int tick = 0;
        while ((han.game.waitResult || cho.game.waitResult) && tick < 3000) {
            han.game.OnTimer();
            cho.game.OnTimer();
            ++tick;
            ExpectSameStones(han.field, cho.field, shot, tick, fallenToo);
            if (::testing::Test::HasFatalFailure())
                return;
        }
        ASSERT_EQ(han.sender.results.size(), hanReports + 1) << "shot " << shot;
        ASSERT_EQ(cho.sender.results.size(), choReports + 1) << "shot " << shot;
        const auto& hanDrops = han.sender.results.back().drops;
        const auto& choDrops = cho.sender.results.back().drops;
        EXPECT_EQ(std::set<int>(hanDrops.begin(), hanDrops.end()), FellSince(han.field, kSideHan, hanBefore))
            << "shot " << shot;
        EXPECT_EQ(std::set<int>(choDrops.begin(), choDrops.end()), FellSince(cho.field, kSideCho, choBefore))
            << "shot " << shot;
        EXPECT_EQ(std::set<int>(hanDrops.begin(), hanDrops.end()).size(), hanDrops.size());
        dropsSeen_ += hanDrops.size() + choDrops.size();
    }

    // Random flicks (and now and then an item) by both sides in turn. Before
    // each flick the watcher runs up to `maxIdleTicks` ticks more than the
    // shooter, as a client does while the relayed flick is on its way.
    void PlayShots(int shots, int maxIdleTicks = 0)
    {
        for (int shot = 0; shot < shots; ++shot) {
            GameRig& shooter = Shooter(shot);
            const char* id = shot % 2 == 0 ? "han" : "cho";
            const float gauge = shot % 6 == 4 ? 10.0f : 0.0f;
            han.NextPlayer(id, gauge, 0.0f);
            cho.NextPlayer(id, gauge, 0.0f);

            const int side = shooter.players[0].side;
            const auto alive = OnBoard(shooter.field, side);
            if (alive.empty())
                break;
            auto it = alive.begin();
            std::advance(it, Next() % alive.size());
            const CStone& stone = shooter.field.Stones(side)[*it];

            if (gauge == 10.0f && shot % 12 == 4) {
                // Now and then a nuclear blast instead of a flick.
                shooter.game.UseMyItem(kItemNuclear);
                shooter.Click(stone.x, stone.y);
            } else {
                if (gauge == 10.0f)
                    shooter.game.UseMyItem(kItemPowerUp);
                const double angle = (Next() % 3600) / 10.0 * 3.14159265358979 / 180.0;
                const int length = static_cast<int>(Next() % 120);
                const int toX = stone.x + static_cast<int>(std::lround(std::cos(angle) * length));
                const int toY = stone.y - static_cast<int>(std::lround(std::sin(angle) * length));
                shooter.Drag(stone.x, stone.y, toX, toY);
            }
            if (maxIdleTicks > 0) {
                for (unsigned idle = Next() % (maxIdleTicks + 1); idle > 0; --idle)
                    Watcher(shot).game.OnTimer();
            }
            toCho.Pump();
            toHan.Pump();
            ASSERT_TRUE(shooter.game.waitResult) << "shot " << shot << " was not taken";
            ASSERT_TRUE(Watcher(shot).game.waitResult) << "shot " << shot << " did not arrive";
            RunShot(shot, maxIdleTicks == 0);
            if (HasFatalFailure())
                return;
        }
    }

    GameRig han{"han", "cho"};
    GameRig cho{"cho", "han"};
    Relay toCho{han, cho};
    Relay toHan{cho, han};
    std::size_t dropsSeen_ = 0;

private:
    unsigned seed_ = 20240611u;
};

TEST_F(TwoClients, SameFlicksGiveTheSameBoardOnBothSides)
{
    PlayShots(24);
    if (HasFatalFailure())
        return;
    // The scenario must actually knock stones off, or it proves little.
    EXPECT_GT(dropsSeen_, 4u);
}

// A stone that fell keeps sliding after the shot, and a client that ticked
// longer before the next flick has slid it further. Many short games, since
// only a few shots start while a fallen stone still slides.
TEST_F(TwoClients, TicksBeforeAFlickArrivesDoNotChangeTheShot)
{
    for (int game = 0; game < 60; ++game) {
        if (game > 0) {
            const auto info = han.StartInfo("han", "cho");
            han.StartAndOpen(info);
            cho.StartAndOpen(info);
        }
        PlayShots(12, 4);
        if (HasFatalFailure())
            return;
    }
}

TEST_F(TwoClients, ItemsAppliedLocallyAndRemotelyAgree)
{
    han.NextPlayer("han", 10.0f, 10.0f);
    cho.NextPlayer("han", 10.0f, 10.0f);
    han.field.hanStones[3].alive = 0;
    cho.field.hanStones[3].alive = 0;
    han.game.UseMyItem(kItemChange);
    han.Click(han.field.hanStones[14].x, han.field.hanStones[14].y);
    han.game.UseMyItem(kItemTeleport);
    han.Click(han.field.hanStones[0].x, han.field.hanStones[0].y);
    han.Click(297, 320);
    toCho.Pump();
    ASSERT_EQ(han.sender.changes.size(), 1u);
    ASSERT_EQ(han.sender.teleports.size(), 1u);
    ExpectSameStones(han.field, cho.field, 0, 0);
    EXPECT_EQ(cho.field.hanStones[0].y, 320);
    EXPECT_EQ(cho.field.hanStones[3].alive, 1);

    // The teleported king flicked straight up into the Cho formation.
    han.Drag(297, 320, 297, 410);
    toCho.Pump();
    RunShot(0);
}

} // namespace
} // namespace tovrik::game
