// Robots against the real tovrik-server on loopback: the way in, the room,
// and the relay between the two robots of a room.
#include <gtest/gtest.h>

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

constexpr const char* kConfig = R"(
[Rules]
StartMoney = 10000
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

    server::testing::ServerUnderTest server_{kConfig};
    CRobotRunner runner_;
};

TEST_F(RobotLoopback, PairMeetsInARoomAndSeesEachOthersReady)
{
    CRobot& host = runner_.Add(Options("amyh", RobotRole::Host, 1));
    CRobot& guest = runner_.Add(Options("amyg", RobotRole::Guest, 1));
    std::set<std::string> readySeenBy;
    for (CRobot* robot : {&host, &guest}) {
        robot->onFrame = [robot, &readySeenBy](int id, char* frame, int length) {
            if (id != msgid::CCL_READYTOSTART)
                return;
            protocol::CCL_READYTOSTART ready;
            if (ready.Get(frame, length) && ready.Info->View() == "amyg")
                readySeenBy.insert(robot->Options().id);
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
    EXPECT_EQ(host.Game().Player(1).ready, 1) << "the host saw the guest ready";
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
