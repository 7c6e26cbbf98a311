// The robot's game driver against a scripted room: two robots, one server
// played by the test that relays their moves and hands out turns, and the
// checks that both boards stay identical shot after shot.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "protocol/MessageCatalogue.h"
#include "protocol/RelayMessages.h"
#include "protocol/TextField.h"
#include "robot/RobotGame.h"
#include "robot/Strategy.h"

namespace tovrik::robot {
namespace {

namespace msgid = protocol::msgid;

using Frame = std::vector<char>;

template <typename Message, typename... Args>
Frame Build(Args&&... args)
{
    Message message;
    EXPECT_TRUE(message.Set(std::forward<Args>(args)...));
    return Frame(message.GetData(), message.GetData() + message.GetTotalSize());
}

int IdOf(const Frame& frame)
{
    std::int16_t id = 0;
    std::memcpy(&id, frame.data() + 2, 2);
    return id;
}

class ManualClock : public game::IGameClock {
public:
    unsigned TimeGetTime() override { return now; }
    unsigned now = 5000;
};

protocol::USERINFO User(const char* id)
{
    protocol::USERINFO user;
    protocol::CopyIfShorter(user.ID, id);
    protocol::CopyIfShorter(user.NickName, id);
    user.Pebble = 1000;
    return user;
}

// A room of two robots and the test as their server: "han" opened it and
// sits in seat 0, "cho" entered it into seat 1.
class ScriptedRoom : public ::testing::Test {
protected:
    void SetUp() override
    {
        han.SetSelf(User("han"));
        cho.SetSelf(User("cho"));
        protocol::ROOMINFO room;
        room.RoomNo = 7;
        protocol::CopyIfShorter(room.MasterID, "han");
        han.OnCreatedRoom(room);
        han.OnUserEnteredRoom(User("cho"));
        protocol::ENTERROOMINFO entry;
        entry.GI.RI = room;
        entry.GI.UI[0] = User("han");
        entry.GI.UI[1] = User("cho");
        entry.Seat[0].seated = 1;
        ASSERT_TRUE(cho.OnEnteredRoom(entry));
    }

    // As the server: to both members of the room.
    void ToBoth(const Frame& frame)
    {
        for (CRobotGame* robot : {&han, &cho}) {
            Frame copy = frame;
            ASSERT_TRUE(robot->OnRelayedFrame(IdOf(copy), copy.data(), static_cast<int>(copy.size())));
        }
    }

    void Start()
    {
        protocol::STARTINFO start;
        protocol::CopyIfShorter(start.ID[0], "han");
        protocol::CopyIfShorter(start.ID[1], "cho");
        for (int a = 0; a < 2; ++a) {
            start.Seat[a].seated = 1;
            start.Seat[a].inGame = 1;
            start.Pebble[a] = 1000;
        }
        start.Seat[0].side = game::kSideHan;
        start.Seat[1].side = game::kSideCho;
        ToBoth(Build<protocol::CCL_STARTINFO>(start));
    }

    // Runs both clocks until neither has a shot or an opening left.
    void RunShots()
    {
        for (int guard = 0; guard < 100000 && (han.NeedsFastTicks() || cho.NeedsFastTicks()); ++guard) {
            han.Tick();
            cho.Tick();
        }
        ASSERT_FALSE(han.NeedsFastTicks() || cho.NeedsFastTicks());
    }

    void NextPlayer(const char* id)
    {
        protocol::NEXTPLAYER next;
        protocol::SetRelayID(next.ID, id);
        ToBoth(Build<protocol::CCL_NEXTPLAYER>(next));
    }

    // The stop reports sent so far, as (sender, drop list).
    static std::vector<std::vector<int>> Reports(const std::vector<Frame>& sent)
    {
        std::vector<std::vector<int>> reports;
        for (Frame frame : sent) {
            if (IdOf(frame) != msgid::CCL_RESULTSTONEHIT)
                continue;
            protocol::CCL_RESULTSTONEHIT message;
            EXPECT_TRUE(message.Get(frame.data(), static_cast<int>(frame.size())));
            std::vector<int> drops;
            for (const auto& index : message.DropList())
                drops.push_back(index);
            reports.push_back(drops);
        }
        return reports;
    }

    static std::vector<int> Alive(const CRobotGame& robot, int side)
    {
        std::vector<int> alive;
        const auto stones = robot.Field().Stones(side);
        for (int i = 0; i < game::kStonesPerSide; ++i)
            alive.push_back(stones[static_cast<std::size_t>(i)].alive);
        return alive;
    }

    ManualClock clock;
    std::vector<Frame> hanSent;
    std::vector<Frame> choSent;
    CRobotGame han{[this](const char* f, int n) { hanSent.emplace_back(f, f + n); }, clock};
    CRobotGame cho{[this](const char* f, int n) { choSent.emplace_back(f, f + n); }, clock};
};

TEST_F(ScriptedRoom, SeatsFollowTheRoomRecords)
{
    EXPECT_EQ(han.Game().myServPNum, 0);
    EXPECT_EQ(cho.Game().myServPNum, 1);
    EXPECT_EQ(han.Player(1).ID(), "cho");
    EXPECT_EQ(cho.Player(1).ID(), "han");
    EXPECT_EQ(cho.RoomNo(), 7);

    CRobotGame stranger{[](const char*, int) {}, clock};
    stranger.SetSelf(User("eve"));
    protocol::ENTERROOMINFO entry;
    protocol::CopyIfShorter(entry.GI.RI.MasterID, "han");
    entry.GI.UI[0] = User("han");
    entry.GI.UI[1] = User("cho");
    EXPECT_FALSE(stranger.OnEnteredRoom(entry)) << "an acceptance that does not seat us";
    EXPECT_FALSE(stranger.InRoom());
}

TEST_F(ScriptedRoom, OpeningEndsWithAnEmptyStopReportFromEach)
{
    Start();
    EXPECT_EQ(han.Player(0).side, game::kSideHan);
    EXPECT_EQ(cho.Player(0).side, game::kSideCho);
    RunShots();
    ASSERT_EQ(Reports(hanSent), std::vector<std::vector<int>>{{}});
    ASSERT_EQ(Reports(choSent), std::vector<std::vector<int>>{{}});
    EXPECT_EQ(han.OpeningReports(), 1);
    EXPECT_TRUE(han.ShotHashes().empty()) << "the opening is no shot";
    EXPECT_EQ(HashStones(han.Field()), HashStones(cho.Field()));
}

TEST_F(ScriptedRoom, BothBoardsAgreeShotAfterShotAndEachReportsItsOwnFalls)
{
    Start();
    RunShots();
    CStrategy strategies[2] = {CStrategy(StrategyKind::Aimed, 11), CStrategy(StrategyKind::Random, 12)};
    int fallen = 0;
    for (int shot = 0; shot < 12; ++shot) {
        CRobotGame& shooter = shot % 2 == 0 ? cho : han;
        NextPlayer(shot % 2 == 0 ? "cho" : "han");
        ASSERT_TRUE(shooter.CanFlick());
        const auto choice = strategies[shot % 2].Choose(shooter.Field(), shooter.Player(0).side);
        ASSERT_TRUE(choice);
        const std::size_t before = (&shooter == &han ? hanSent : choSent).size();
        const auto hanAlive = Alive(han, game::kSideHan);
        const auto choAlive = Alive(cho, game::kSideCho);
        ASSERT_TRUE(shooter.Flick(choice->index, choice->angle, choice->drag));
        // The server relays the moves to both, the shooter's echo included.
        const std::vector<Frame> moves((&shooter == &han ? hanSent : choSent).begin() + static_cast<long>(before),
                                       (&shooter == &han ? hanSent : choSent).end());
        ASSERT_EQ(moves.size(), 2u);
        EXPECT_EQ(IdOf(moves[0]), msgid::CCL_STONECLICK);
        EXPECT_EQ(IdOf(moves[1]), msgid::CCL_STONEHIT);
        for (const Frame& move : moves)
            ToBoth(move);
        RunShots();

        ASSERT_EQ(han.ShotHashes(), cho.ShotHashes()) << "after shot " << shot + 1;
        ASSERT_EQ(han.ShotHashes().size(), static_cast<std::size_t>(shot + 1));
        // Each reports exactly its own stones that fell in this shot.
        for (auto [robot, sent, aliveBefore] : {std::tuple{&han, &hanSent, hanAlive}, std::tuple{&cho, &choSent, choAlive}}) {
            const auto reports = Reports(*sent);
            ASSERT_EQ(reports.size(), static_cast<std::size_t>(shot + 2));
            std::vector<int> expected;
            const auto aliveAfter = Alive(*robot, robot->Player(0).side);
            for (int i = 0; i < game::kStonesPerSide; ++i)
                if (aliveBefore[static_cast<std::size_t>(i)] && !aliveAfter[static_cast<std::size_t>(i)])
                    expected.push_back(i);
            std::vector<int> reported = reports.back();
            std::sort(reported.begin(), reported.end());
            EXPECT_EQ(reported, expected) << "shot " << shot + 1;
            fallen += static_cast<int>(expected.size());
        }
    }
    EXPECT_GT(fallen, 0) << "twelve shots that never knock a stone off test little";
}

TEST_F(ScriptedRoom, FlickLeavesInTheChosenDirectionForEitherSide)
{
    Start();
    RunShots();
    struct Case {
        const char* shooter;
        float angle;
        float drag;
    };
    const Case cases[] = {{"han", 0.0f, 90.0f}, {"han", 45.0f, 60.0f}, {"han", 200.0f, 90.0f},
                          {"cho", 90.0f, 90.0f}, {"cho", 315.0f, 30.0f}, {"cho", 359.0f, 90.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.shooter) + " " + std::to_string(c.angle));
        CRobotGame& shooter = std::string(c.shooter) == "han" ? han : cho;
        std::vector<Frame>& sent = &shooter == &han ? hanSent : choSent;
        NextPlayer(c.shooter);
        int index = game::kStonesPerSide - 1;
        while (index > 0 && !shooter.Field().Stones(shooter.Player(0).side)[static_cast<std::size_t>(index)].alive)
            --index;
        ASSERT_TRUE(shooter.Flick(index, c.angle, c.drag));
        Frame hit = sent.back();
        protocol::CCL_STONEHIT message;
        ASSERT_TRUE(message.Get(hit.data(), static_cast<int>(hit.size())));
        EXPECT_EQ(message.Info->StoneIndex, index);
        const float off = std::fabs(std::remainder(message.Info->Angle - c.angle, 360.0f));
        EXPECT_LT(off, 1.5f);
        const float power = 5.0f + 25.0f / 90.0f * std::min(c.drag, 90.0f);
        EXPECT_NEAR(message.Info->Power, power, 0.5f);
        ToBoth(hit);
        RunShots();
        ASSERT_EQ(han.ShotHashes(), cho.ShotHashes());
    }
}

TEST_F(ScriptedRoom, MuteRobotStopsReportingButKeepsSimulating)
{
    han.SetMuteAfterShots(1);
    Start();
    RunShots();
    for (int shot = 0; shot < 2; ++shot) {
        NextPlayer("cho");
        ASSERT_TRUE(cho.Flick(3 + shot, 90.0f, 90.0f));
        ToBoth(choSent.back());
        RunShots();
    }
    EXPECT_EQ(Reports(hanSent).size(), 2u) << "the opening and the first shot";
    EXPECT_EQ(Reports(choSent).size(), 3u);
    EXPECT_TRUE(han.IsMute());
    EXPECT_EQ(han.ShotHashes(), cho.ShotHashes());
}

TEST_F(ScriptedRoom, ReadyDuringTheResultCountsForTheNextGame)
{
    Start();
    RunShots();
    protocol::GAMEOVERRESULT results[2];
    protocol::CopyIfShorter(results[0].ID, "han");
    results[0].ChangePoint = 10;
    protocol::CopyIfShorter(results[1].ID, "cho");
    results[1].ChangePoint = -10;
    han.OnGameOver(results);
    EXPECT_FALSE(han.IsPlaying());
    EXPECT_EQ(han.Game().Field().resultKind, game::kResultWin);
    ASSERT_TRUE(han.ResetPending());

    Frame ready = Build<protocol::CCL_READYTOSTART>("cho");
    ASSERT_TRUE(han.OnRelayedFrame(msgid::CCL_READYTOSTART, ready.data(), static_cast<int>(ready.size())));
    EXPECT_EQ(han.Player(1).ready, 0);
    EXPECT_EQ(han.Player(1).readyNext, 1);
    han.ResetAfterResult();
    EXPECT_EQ(han.Player(1).ready, 1);
    EXPECT_FALSE(han.ResetPending());
}

TEST_F(ScriptedRoom, ItemsNeedAnItemChannelAndAnEnabledButtonAndKeepBoardsEqual)
{
    Start();
    RunShots();
    protocol::NEXTPLAYER next;
    protocol::SetRelayID(next.ID, "cho");
    next.Gauge = 10.0f;
    ToBoth(Build<protocol::CCL_NEXTPLAYER>(next));
    EXPECT_FALSE(cho.ArmItem(game::kItemTeleport)) << "not an item channel";
    cho.SetItemChannel(1);
    han.SetItemChannel(1);
    NextPlayer("cho");
    EXPECT_FALSE(cho.ArmItem(game::kItemTeleport)) << "no gauge, no button";
    ToBoth(Build<protocol::CCL_NEXTPLAYER>(next));
    ASSERT_TRUE(cho.ArmItem(game::kItemTeleport));
    const game::CStone& subject = cho.Field().Stones(game::kSideCho)[5];
    const int toX = subject.x + 40;
    const int toY = subject.y + 60;
    ASSERT_TRUE(cho.Field().CheckTeleport(subject.x, subject.y, subject.radius, toX, toY, subject.teleportRange));
    cho.ClickBoard(subject.x, subject.y);
    cho.ClickBoard(toX, toY);
    ASSERT_EQ(IdOf(choSent.back()), msgid::CCL_TELEPORTITEM);
    EXPECT_EQ(subject.x, toX);
    EXPECT_TRUE(cho.CanFlick()) << "a teleport does not end the turn";
    for (const Frame& frame : {choSent[choSent.size() - 2], choSent.back()})
        ToBoth(frame);
    EXPECT_EQ(HashStones(han.Field()), HashStones(cho.Field()));
    EXPECT_EQ(cho.ItemsArmed()[game::kItemTeleport], 1);
}

TEST(Strategy, SameSeedSameChoices)
{
    game::CField field;
    field.InitStone();
    for (const StrategyKind kind : {StrategyKind::Random, StrategyKind::Aimed}) {
        CStrategy a(kind, 99);
        CStrategy b(kind, 99);
        for (int i = 0; i < 20; ++i) {
            const auto x = a.Choose(field, game::kSideHan);
            const auto y = b.Choose(field, game::kSideHan);
            ASSERT_TRUE(x && y);
            EXPECT_EQ(x->index, y->index);
            EXPECT_EQ(x->angle, y->angle);
            EXPECT_EQ(x->drag, y->drag);
        }
    }
    game::CField empty;
    empty.ForEachStone([](game::CStone& s) { s.alive = 0; });
    CStrategy none(StrategyKind::Aimed, 1);
    EXPECT_FALSE(none.Choose(empty, game::kSideHan)) << "no stones, no flick";
}

} // namespace
} // namespace tovrik::robot
