// Robots against the real tovrik-server on loopback: the way in, the room,
// and the relay between the two robots of a room.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <array>

#include <iostream>
#include <set>
#include <string>

#include "ServerHarness.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/RelayMessages.h"
#include "robot/RobotRunner.h"

namespace tovrik::robot {
namespace {

namespace msgid = protocol::msgid;
using namespace std::chrono_literals;

// Short deadlines, so that a silent robot loses within seconds.
constexpr const char* kConfig = R"(
[Rules]
StartMoney = 10000
TurnMs = 3000
TurnGraceMs = 500
ReportMs = 3000
WinPoints = 20
LossPoints = 10
[Group1]
Name = robots
[Channel1-1]
)";

class RobotLoopback : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server_.Running()) << server_.Log(); }
    void TearDown() override
    {
        if (HasFailure())
            std::cerr << server_.Log();
    }

    RobotOptions Options(const std::string& id, RobotRole role, int games)
    {
        RobotOptions options;
        options.id = id;
        options.masterHost = server_.Master().host;
        options.masterPort = server_.Master().port;
        options.role = role;
        options.roomTitle = "room-of-" + id.substr(0, id.size() - 1);
        options.games = games;
        options.idleTimeoutMs = 10000;
        return options;
    }

    // money, points, wins, losses, draws of a login id in the database.
    std::array<int, 5> Figures(const std::string& login)
    {
        std::array<int, 5> figures{-1, -1, -1, -1, -1};
        sqlite3* db = nullptr;
        sqlite3_open_v2(server_.Database().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* query = nullptr;
        sqlite3_prepare_v2(db, "SELECT money, points, wins, losses, draws FROM users WHERE login_id = ?", -1, &query,
                           nullptr);
        sqlite3_bind_text(query, 1, login.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(query) == SQLITE_ROW)
            for (int i = 0; i < 5; ++i)
                figures[static_cast<std::size_t>(i)] = sqlite3_column_int(query, i);
        sqlite3_finalize(query);
        sqlite3_close(db);
        return figures;
    }

    void ExpectNoErrors(const CRobot& robot)
    {
        for (const std::string& error : robot.Errors())
            ADD_FAILURE() << error;
    }

    server::testing::ServerUnderTest server_{kConfig};
    CRobotRunner runner_;
};

TEST_F(RobotLoopback, PairMeetsInARoomAndSeesEachOthersReady)
{
    CRobot& host = runner_.Add(Options("amyh", RobotRole::Host, 1));
    CRobot& guest = runner_.Add(Options("amyg", RobotRole::Guest, 1));
    std::set<std::string> readySeenBy;
    int guestReadyAtHost = 0;
    for (CRobot* robot : {&host, &guest}) {
        robot->onFrame = [robot, &readySeenBy, &guestReadyAtHost](int id, char* frame, int length) {
            if (id != msgid::CCL_READYTOSTART)
                return;
            protocol::CCL_READYTOSTART ready;
            if (ready.Get(frame, length) && ready.Info->View() == "amyg")
                readySeenBy.insert(robot->Options().id);
            // The start that may follow at once clears it again.
            if (robot->Options().id == "amyh")
                guestReadyAtHost = robot->Game().Player(1).ready;
        };
    }
    ASSERT_TRUE(runner_.RunUntil([&] { return readySeenBy.size() == 2 || host.HasFailed() || guest.HasFailed(); }, 10s))
        << PhaseName(host.Phase()) << " / " << PhaseName(guest.Phase());
    for (const CRobot* robot : {&host, &guest})
        for (const std::string& error : robot->Errors())
            ADD_FAILURE() << error;
    EXPECT_EQ(readySeenBy, (std::set<std::string>{"amyh", "amyg"}));
    EXPECT_GT(host.RoomNo(), 0);
    EXPECT_EQ(host.RoomNo(), guest.RoomNo());
    EXPECT_EQ(host.Game().Player(1).ID(), "amyg");
    EXPECT_EQ(guest.Game().Player(1).ID(), "amyh");
    EXPECT_EQ(guest.Game().Game().myServPNum, 1);
    EXPECT_EQ(guestReadyAtHost, 1) << "the host marked the guest ready";
}

TEST_F(RobotLoopback, PairPlaysWholeGamesWithTheSameBoardsAndTheDatabaseKeepsTheResults)
{
    RobotOptions hostOptions = Options("bethh", RobotRole::Host, 2);
    RobotOptions guestOptions = Options("bethg", RobotRole::Guest, 2);
    guestOptions.strategy = StrategyKind::Random;
    CRobot& host = runner_.Add(hostOptions);
    CRobot& guest = runner_.Add(guestOptions);
    ASSERT_TRUE(runner_.RunAll(60s)) << PhaseName(host.Phase()) << " / " << PhaseName(guest.Phase());
    ExpectNoErrors(host);
    ExpectNoErrors(guest);
    EXPECT_EQ(host.Phase(), RobotPhase::Done) << "left the room and logged out";
    ASSERT_EQ(host.Games().size(), 2u);
    ASSERT_EQ(guest.Games().size(), 2u);
    int wins = 0, losses = 0, draws = 0;
    for (std::size_t g = 0; g < 2; ++g) {
        const GameRecord& h = host.Games()[g];
        const GameRecord& o = guest.Games()[g];
        EXPECT_FALSE(h.shotHashes.empty());
        EXPECT_EQ(h.shotHashes, o.shotHashes) << "game " << g + 1;
        // One result for both: a win against a loss, or a draw on both sides.
        EXPECT_EQ(h.changePoint > 0, o.changePoint < 0) << "game " << g + 1;
        EXPECT_EQ(h.changePoint == 0, o.changePoint == 0) << "game " << g + 1;
        wins += h.changePoint > 0;
        losses += h.changePoint < 0;
        draws += h.changePoint == 0;
    }
    // The database holds what the last result told each robot.
    for (const CRobot* robot : {&host, &guest}) {
        const protocol::GAMEOVERRESULT& last = robot->Games().back().own;
        const auto figures = Figures(robot->Options().id);
        EXPECT_EQ(figures[0], last.Pebble.get()) << robot->Options().id;
        EXPECT_EQ(figures[1], last.Point.get()) << robot->Options().id;
        EXPECT_EQ(figures[2], last.WinNum.get()) << robot->Options().id;
        EXPECT_EQ(figures[3], last.LoseNum.get()) << robot->Options().id;
    }
    const auto figures = Figures("bethh");
    EXPECT_EQ(figures[2], wins);
    EXPECT_EQ(figures[3], losses);
    EXPECT_EQ(figures[4], draws);
    EXPECT_EQ(figures[0], 10000 + 100 * (wins - losses)) << "the bet moved with each result";
}

TEST_F(RobotLoopback, RobotThatStopsReportingLosesByTheDeadline)
{
    RobotOptions hostOptions = Options("mutih", RobotRole::Host, 1);
    hostOptions.muteAfterShots = 1;
    CRobot& host = runner_.Add(hostOptions);
    CRobot& guest = runner_.Add(Options("mutig", RobotRole::Guest, 1));
    ASSERT_TRUE(runner_.RunAll(30s)) << PhaseName(host.Phase()) << " / " << PhaseName(guest.Phase());
    ExpectNoErrors(host);
    ExpectNoErrors(guest);
    ASSERT_EQ(guest.Games().size(), 1u);
    EXPECT_GT(guest.Games()[0].changePoint, 0) << "the robot that kept reporting wins";
    EXPECT_TRUE(host.Game().IsMute());
    EXPECT_EQ(host.Game().ShotsReported(), 2) << "one shot reported, the next one not";
    EXPECT_EQ(Figures("mutih")[3], 1);
    EXPECT_EQ(Figures("mutig")[2], 1);
}

TEST_F(RobotLoopback, ReservedExitTakesTheRobotOutAfterItsLastGame)
{
    CRobot& host = runner_.Add(Options("exith", RobotRole::Host, 2));
    RobotOptions guestOptions = Options("exitg", RobotRole::Guest, 2);
    guestOptions.reserveExit = true;
    CRobot& guest = runner_.Add(guestOptions);
    ASSERT_TRUE(runner_.RunAll(30s)) << PhaseName(host.Phase()) << " / " << PhaseName(guest.Phase());
    ExpectNoErrors(host);
    ExpectNoErrors(guest);
    EXPECT_EQ(guest.Games().size(), 2u) << "the reservation is for after the last game only";
    EXPECT_TRUE(guest.LeftByReservation());
    EXPECT_FALSE(host.LeftByReservation());
}

TEST_F(RobotLoopback, ShortSoakHasNoDesyncsAndNoErrors)
{
    SoakOptions options;
    options.masterHost = server_.Master().host;
    options.masterPort = server_.Master().port;
    options.pairs = 2;
    options.games = 2;
    options.idPrefix = "soak";
    options.idleTimeoutMs = 10000;
    options.timeLimit = 60s;
    const SoakResult result = RunSoak(options);
    for (const std::string& error : result.errorTexts)
        ADD_FAILURE() << error;
    EXPECT_EQ(FormatSoakLine(result).substr(0, 32), "games: 4, desyncs: 0, errors: 0,");
}

// Every turn fills the gauge, so that every item is within reach.
constexpr const char* kItemConfig = R"(
[Rules]
StartMoney = 10000
GaugePerTurn = 10
[Group1]
Name = items
[Channel1-1]
Item = 1
)";

TEST(RobotItems, ItemsOfBothPlayersKeepTheBoardsEqual)
{
    server::testing::ServerUnderTest server(kItemConfig);
    ASSERT_TRUE(server.Running()) << server.Log();
    CRobotRunner runner;
    std::vector<CRobot*> robots;
    for (const char* id : {"itemh", "itemg"}) {
        RobotOptions options;
        options.id = id;
        options.masterHost = server.Master().host;
        options.masterPort = server.Master().port;
        options.role = id[4] == 'h' ? RobotRole::Host : RobotRole::Guest;
        options.roomTitle = "items";
        options.games = 3;
        options.useItems = true;
        options.seed = 5;
        options.idleTimeoutMs = 10000;
        robots.push_back(&runner.Add(options));
    }
    ASSERT_TRUE(runner.RunAll(60s)) << server.Log();
    std::array<int, game::kItemKindCount> armed{};
    for (const CRobot* robot : robots) {
        for (const std::string& error : robot->Errors())
            ADD_FAILURE() << error;
        ASSERT_EQ(robot->Games().size(), 3u);
        for (int k = 0; k < game::kItemKindCount; ++k)
            armed[static_cast<std::size_t>(k)] += robot->Game().ItemsArmed()[static_cast<std::size_t>(k)];
    }
    for (std::size_t g = 0; g < 3; ++g)
        EXPECT_EQ(robots[0]->Games()[g].shotHashes, robots[1]->Games()[g].shotHashes) << "game " << g + 1;
    for (int k = 0; k < game::kItemKindCount; ++k)
        EXPECT_GT(armed[static_cast<std::size_t>(k)], 0) << "item " << k;
}

// Login group 1 lands on game server 1; the item channel is on server 2.
constexpr const char* kTwoServerConfig = R"(
[Rules]
StartMoney = 10000
[Server1]
LoginGroup = 1
[Group1]
Name = two
[Channel1-1]
Server = 1
[Channel1-2]
Server = 2
Item = 1
)";

TEST(RobotChannels, PairMovesToAChannelOnAnotherGameServerAndPlaysThere)
{
    server::testing::ServerUnderTest server(kTwoServerConfig);
    ASSERT_TRUE(server.Running()) << server.Log();
    SoakOptions options;
    options.masterHost = server.Master().host;
    options.masterPort = server.Master().port;
    options.channelGroup = 1;
    options.channelNo = 2;
    options.idPrefix = "move";
    options.idleTimeoutMs = 10000;
    CRobotRunner runner;
    CRobot& host = runner.Add(PairHostOptions(options, 1));
    CRobot& guest = runner.Add(PairGuestOptions(options, 1));
    std::vector<int> seen;
    host.onFrame = [&seen](int id, char*, int) {
        if (id == msgid::CSV_DESTCHANNELINFO || id == msgid::CSV_ACCEPT_ENTERCHAN)
            seen.push_back(id);
    };
    ASSERT_TRUE(runner.RunAll(30s)) << server.Log();
    for (const CRobot* robot : {&host, &guest})
        for (const std::string& error : robot->Errors())
            ADD_FAILURE() << error;
    EXPECT_EQ(seen, (std::vector<int>{msgid::CSV_DESTCHANNELINFO, msgid::CSV_ACCEPT_ENTERCHAN}));
    EXPECT_EQ(host.Game().IsItemChannel(), 1) << "the robots play in the item channel";
    ASSERT_EQ(host.Games().size(), 1u);
    ASSERT_EQ(guest.Games().size(), 1u);
    EXPECT_EQ(host.Games()[0].shotHashes, guest.Games()[0].shotHashes);
}

// Turns the server passes by itself after 300 ms.
constexpr const char* kShortTurnConfig = R"(
[Rules]
StartMoney = 10000
TurnMs = 200
TurnGraceMs = 100
[Group1]
Name = quick
[Channel1-1]
)";

TEST(RobotTurns, TurnsThatRunOutPassAndTheGameGoesOn)
{
    server::testing::ServerUnderTest server(kShortTurnConfig);
    ASSERT_TRUE(server.Running()) << server.Log();
    SoakOptions options;
    options.masterHost = server.Master().host;
    options.masterPort = server.Master().port;
    options.idPrefix = "slow";
    options.idleTimeoutMs = 10000;
    CRobotRunner runner;
    RobotOptions hostOptions = PairHostOptions(options, 1);
    hostOptions.thinkMs = 600000;  // never flicks in time
    CRobot& host = runner.Add(hostOptions);
    CRobot& guest = runner.Add(PairGuestOptions(options, 1));
    int hostTurns = 0;
    host.onFrame = [&](int id, char*, int) {
        if (id == msgid::CCL_NEXTPLAYER && host.Game().Game().myTurn)
            ++hostTurns;
    };
    ASSERT_TRUE(runner.RunAll(30s)) << server.Log();
    for (const CRobot* robot : {&host, &guest})
        for (const std::string& error : robot->Errors())
            ADD_FAILURE() << error;
    ASSERT_EQ(guest.Games().size(), 1u);
    EXPECT_GT(hostTurns, 0);
    EXPECT_EQ(host.Games()[0].shotHashes, guest.Games()[0].shotHashes);
    EXPECT_GT(guest.Games()[0].changePoint, 0) << "only the guest ever flicked";
}

TEST_F(RobotLoopback, LobbyRobotsHearEachOthersChat)
{
    CRobot& a = runner_.Add(Options("chata", RobotRole::Lobby, 0));
    CRobot& b = runner_.Add(Options("chatb", RobotRole::Lobby, 0));
    int heard = 0;
    b.onFrame = [&](int id, char*, int) { heard += id == msgid::CSV_CHATDATA; };
    ASSERT_TRUE(runner_.RunUntil([&] { return a.Phase() == RobotPhase::Lobby && b.Phase() == RobotPhase::Lobby; }, 10s));
    ASSERT_TRUE(a.SendLobbyChat("hello"));
    EXPECT_TRUE(runner_.RunUntil([&] { return heard == 1; }, 5s));
}

// A practice opponent as a person meets it: the person opens a room, the
// robot walks in, greets, readies for every game the person starts, and goes
// back to the lobby once the person has left.
TEST_F(RobotLoopback, PracticeRobotJoinsAWaitingPlayerAndReturnsToTheLobbyAfterThePlayerLeft)
{
    CRobot& person = runner_.Add(Options("pennyh", RobotRole::Host, 2));
    RobotOptions practiceOptions = Options("practa1", RobotRole::Practice, 0);
    practiceOptions.idleTimeoutMs = 0;
    CRobot& practice = runner_.Add(practiceOptions);
    int greetings = 0;
    person.onFrame = [&](int id, char*, int) { greetings += id == msgid::CCL_CHATDATA; };
    ASSERT_TRUE(runner_.RunUntil([&] { return person.Finished() || practice.HasFailed(); }, 60s))
        << PhaseName(person.Phase()) << " / " << PhaseName(practice.Phase());
    ExpectNoErrors(person);
    ExpectNoErrors(practice);
    ASSERT_EQ(person.Games().size(), 2u);
    ASSERT_EQ(practice.Games().size(), 2u) << "it stayed for another game";
    for (std::size_t g = 0; g < 2; ++g)
        EXPECT_EQ(person.Games()[g].shotHashes, practice.Games()[g].shotHashes) << "game " << g + 1;
    EXPECT_EQ(greetings, 1) << "one greeting in the room";
    EXPECT_TRUE(runner_.RunUntil([&] { return practice.Phase() == RobotPhase::Lobby && !practice.Game().InRoom(); }, 5s))
        << PhaseName(practice.Phase());
    EXPECT_FALSE(practice.HasFailed());
}

// Secret rooms are left alone unless the robot is invited; then it comes in
// with the password the invitation carries.
TEST_F(RobotLoopback, PracticeRobotKeepsOutOfSecretRoomsUntilInvited)
{
    RobotOptions personOptions = Options("quinnh", RobotRole::Host, 1);
    personOptions.roomPassword = "4321";
    CRobot& person = runner_.Add(personOptions);
    RobotOptions practiceOptions = Options("practb1", RobotRole::Practice, 0);
    practiceOptions.idleTimeoutMs = 0;
    CRobot& practice = runner_.Add(practiceOptions);
    ASSERT_TRUE(runner_.RunUntil([&] { return person.Phase() == RobotPhase::InRoom && practice.Phase() == RobotPhase::Lobby; }, 10s));
    // Long enough for two looks at the room list.
    runner_.RunUntil([] { return false; }, 4500ms);
    ASSERT_EQ(practice.Phase(), RobotPhase::Lobby) << "it stayed out of the secret room";
    ASSERT_TRUE(person.Invite(practice.UNum(), practice.Id(), "play?"));
    ASSERT_TRUE(runner_.RunUntil([&] { return person.Finished() || practice.HasFailed(); }, 60s))
        << PhaseName(person.Phase()) << " / " << PhaseName(practice.Phase());
    ExpectNoErrors(person);
    ExpectNoErrors(practice);
    ASSERT_EQ(practice.Games().size(), 1u);
    EXPECT_EQ(person.Games()[0].shotHashes, practice.Games()[0].shotHashes);
}

TEST_F(RobotLoopback, UnreachableMasterIsAnError)
{
    RobotOptions options = Options("lostx", RobotRole::Host, 1);
    options.masterPort = 1;
    CRobot& robot = runner_.Add(options);
    ASSERT_TRUE(runner_.RunAll(5s));
    EXPECT_TRUE(robot.HasFailed());
    ASSERT_FALSE(robot.Errors().empty());
    EXPECT_NE(robot.Errors()[0].find("master"), std::string::npos) << robot.Errors()[0];
}

} // namespace
} // namespace tovrik::robot
