// The robot's route tables against the message catalogue: a message the
// servers can send that the robot neither handles nor ignores on purpose
// would otherwise vanish without a trace.

#include <gtest/gtest.h>

#include <set>

#include "protocol/MessageCatalogue.h"
#include "robot/Robot.h"

namespace tovrik::robot {
namespace {

using protocol::Direction;
using protocol::ServerKind;

std::set<int> RoutedIds(std::span<const CRobot::FrameRoute> routes, ServerKind server)
{
    std::set<int> ids;
    for (const CRobot::FrameRoute& route : routes) {
        const protocol::MessageInfo* info = protocol::FindMessage(route.id);
        EXPECT_NE(info, nullptr) << route.id << " is no message";
        EXPECT_NE(route.handler, nullptr) << route.id;
        if (info) {  // braces: EXPECT_EQ is an if/else of its own
            EXPECT_EQ(info->server, server) << info->name << " is routed from the other server";
        }
        EXPECT_TRUE(ids.insert(route.id).second) << route.id << " is routed twice";
    }
    return ids;
}

TEST(RobotRoutes, EveryMessageAServerSendsIsRoutedOrIgnoredOnPurpose)
{
    const std::set<int> master = RoutedIds(CRobot::MasterRoutes(), ServerKind::Master);
    const std::set<int> game = RoutedIds(CRobot::GameRoutes(), ServerKind::Game);
    std::set<int> ignored;
    for (const CRobot::IgnoredFrame& entry : CRobot::IgnoredFrames()) {
        EXPECT_NE(protocol::FindMessage(entry.id), nullptr) << entry.id << " is no message";
        EXPECT_FALSE(entry.reason.empty()) << protocol::MessageName(entry.id) << " is ignored without a reason";
        EXPECT_TRUE(ignored.insert(entry.id).second) << protocol::MessageName(entry.id) << " is listed twice";
        EXPECT_FALSE(master.contains(entry.id) || game.contains(entry.id))
            << protocol::MessageName(entry.id) << " is both routed and ignored";
    }

    for (const protocol::MessageInfo& info : protocol::AllMessages()) {
        if (info.direction == Direction::ClientToServer)
            continue;
        const std::set<int>& routed = info.server == ServerKind::Master ? master : game;
        EXPECT_TRUE(routed.contains(info.id) || ignored.contains(info.id))
            << info.name << " can come from the server but is neither routed nor listed as ignored";
    }
}

}  // namespace
}  // namespace tovrik::robot
