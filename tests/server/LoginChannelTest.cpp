// Login through the master server, channels and channel moves, over real
// sockets against a running tovrik-server.
#include <gtest/gtest.h>

#include "ServerHarness.h"
#include "SqlStatement.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/TextField.h"
#include "server/Cp949.h"

namespace tovrik::server::testing {
namespace {

namespace msgid = protocol::msgid;

constexpr const char* kConfig = R"(
[Rules]
StartMoney = 5000
[Server1]
LoginGroup = 1
[Server2]
LoginGroup = 2
[Group1]
Name = 자유
[Group2]
Name = 고수
[Channel1-1]
Server = 1
MaxUser = 10
[Channel1-2]
Server = 2
[Channel1-3]
Server = 1
Closed = 1
[Channel1-4]
Server = 1
MaxUser = 1
[Channel2-1]
Server = 1
MinLevel = 5
)";

// Connects `moved` to the game server a CSV_DESTCHANNELINFO names and hands
// its ticket over; returns the channel entry result (99 without an answer).
int FollowMoveTicket(const Frame& dest, TestClient& moved) {
  if (!moved.Connect(Endpoint{dest.Text(0, 20), dest.I32(20)}) || !moved.WaitFor(msgid::CSV_CHECKVERSION)) return 99;
  moved.Send<protocol::CSV_CONNECT_MOVECHAN>(dest.As<protocol::CONNECT_MOVECHANINFO>(24));
  const auto entered = moved.WaitFor(msgid::CSV_ACCEPT_ENTERCHAN);
  return entered ? entered->As<protocol::ENTERCHANINFO>().Result.get() : 99;
}

class LoginChannelTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.Running()) << server_.Log(); }
  void TearDown() override {
    if (HasFailure()) std::cerr << server_.Log();
  }

  ServerUnderTest server_{kConfig};
};

TEST_F(LoginChannelTest, LoginThroughMasterRegistersTheUserInItsFirstChannel) {
  TestClient alice;
  const auto accept = alice.Login(server_.Master(), "id=alice&nick=앨리스", 1);
  ASSERT_TRUE(accept);
  EXPECT_EQ(alice.Game().port, server_.Games()[0].port) << "login group 1 is served by game server 1";
  EXPECT_EQ(protocol::ReadText(accept->UI.ID), "alice");
  EXPECT_EQ(protocol::ReadText(accept->UI.NickName), Utf8ToCp949("앨리스"));
  EXPECT_EQ(accept->UI.Pebble, 5000);
  EXPECT_GT(accept->UI.UNum, 0);
  EXPECT_EQ(accept->GroupNo, 1);
  EXPECT_EQ(accept->ChanNo, 1);
  EXPECT_EQ(protocol::ReadText(accept->ChanName), Utf8ToCp949("자유-1"));
  EXPECT_EQ(protocol::ReadText(accept->UserCN), std::to_string(accept->UI.UNum));

  // The same id again, while alice is on: refused with a text.
  TestClient again;
  std::string refusal;
  EXPECT_FALSE(again.Login(server_.Master(), "alice", 1, &refusal));
  EXPECT_EQ(refusal, Utf8ToCp949("이미 접속중인 아이디입니다."));

  // After logout the id may come back, and is the same user.
  alice.Send<protocol::CSV_ASK_LOGOUT>(alice.UNum(), "alice");
  ASSERT_TRUE(alice.WaitFor(msgid::CSV_ACCEPT_LOGOUT));
  EXPECT_TRUE(alice.WaitClosed());
  TestClient back;
  const auto second = back.Login(server_.Master(), "alice", 1);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->UI.UNum, accept->UI.UNum);
}

TEST_F(LoginChannelTest, GameServerSendsServerInfoAndRefusesWrongTickets) {
  TestClient client(server_.Games()[0]);
  const auto version = client.WaitFor(msgid::CSV_CHECKVERSION);
  ASSERT_TRUE(version);
  EXPECT_EQ(version->I32(0), 184);
  protocol::Ms_DestServerInfo forged;
  forged.Ticket1 = 1234;
  const std::string cookie = "mallory";
  client.Send<protocol::CSV_ASK_LOGIN>(MakeLoginInfo(forged, cookie.size()), cookie, "", "");
  const auto refused = client.WaitFor(msgid::CSV_REFUSE_LOGIN);
  ASSERT_TRUE(refused);
  EXPECT_GT(refused->I32(4), 0);
  EXPECT_TRUE(client.WaitClosed());

  TestClient bad;
  std::string refusal;
  EXPECT_FALSE(bad.Login(server_.Master(), "id=not valid!", 1, &refusal));
  EXPECT_EQ(refusal, Utf8ToCp949("사용자 인증에 실패하였습니다."));
}

TEST_F(LoginChannelTest, ChannelListNamesGroupsAndCountsUsers) {
  TestClient alice;
  ASSERT_TRUE(alice.Login(server_.Master(), "alice", 1));
  TestClient bob;
  ASSERT_TRUE(bob.Login(server_.Master(), "bob", 2));  // game server 2, channel 1-2
  alice.Send<protocol::CSV_ASK_ALLCHANINFO>();
  const auto list = alice.WaitFor(msgid::CSV_ALLCHANINFO);
  ASSERT_TRUE(list);
  const int groups = list->I32(0), channels = list->I32(4);
  ASSERT_EQ(groups, 2);
  ASSERT_EQ(channels, 5);
  ASSERT_EQ(list->payload.size(), 8u + 28u * 2 + 12u * 5);
  const auto group = list->As<protocol::CHANNELGROUPINFO>(8 + 28);
  EXPECT_EQ(group.GroupNo, 2);
  EXPECT_EQ(protocol::ReadText(group.Name), Utf8ToCp949("고수"));
  std::map<int, protocol::CHANNELINFO> byNumber;
  for (int i = 0; i < channels; ++i) {
    const auto channel = list->As<protocol::CHANNELINFO>(8 + 28 * 2 + 12 * i);
    byNumber[channel.GroupNo * 100 + channel.ChanNo] = channel;
  }
  EXPECT_EQ(byNumber[101].UserCnt, 1);
  EXPECT_EQ(byNumber[101].MaxUser, 10);
  EXPECT_EQ(byNumber[102].UserCnt, 1) << "users of the other game server count too";
  EXPECT_EQ(byNumber[103].Closed, 1);
}

TEST_F(LoginChannelTest, ChannelEntryResults) {
  TestClient alice, bob;
  ASSERT_TRUE(alice.Login(server_.Master(), "alice", 1));
  ASSERT_TRUE(bob.Login(server_.Master(), "bob", 1));
  auto enter = [](TestClient& client, int group, int chan) {
    client.Send<protocol::CSV_ASK_ENTERCHAN>(group, chan);
    const auto answer = client.WaitFor(msgid::CSV_ACCEPT_ENTERCHAN);
    return answer ? answer->As<protocol::ENTERCHANINFO>() : protocol::ENTERCHANINFO{};
  };
  EXPECT_EQ(enter(alice, 1, 4).Result, 0);
  EXPECT_EQ(enter(bob, 1, 4).Result, -1) << "full";
  EXPECT_EQ(enter(bob, 1, 3).Result, -5) << "closed";
  EXPECT_EQ(enter(bob, 9, 9).Result, -3) << "no such channel";
  EXPECT_EQ(enter(bob, 2, 1).Result, -4) << "level too low";
  const auto entered = enter(alice, 1, 1);
  EXPECT_EQ(entered.Result, 0);
  EXPECT_EQ(entered.ChanNo, 1);
  EXPECT_EQ(protocol::ReadText(entered.ChanName), Utf8ToCp949("자유-1"));
  EXPECT_EQ(enter(bob, 1, 4).Result, 0) << "alice made room";
}

TEST_F(LoginChannelTest, MoveToAChannelOnTheOtherGameServer) {
  TestClient alice, carol;
  ASSERT_TRUE(alice.Login(server_.Master(), "alice", 1));
  ASSERT_TRUE(carol.Login(server_.Master(), "carol", 2));
  carol.Send<protocol::CSV_ASK_ALLUSERINFO>();
  ASSERT_TRUE(carol.WaitFor(msgid::CSV_ALLUSERINFO));

  alice.Send<protocol::CSV_ASK_ENTERCHAN>(1, 2);
  const auto dest = alice.WaitFor(msgid::CSV_DESTCHANNELINFO);
  ASSERT_TRUE(dest);
  const Endpoint target{dest->Text(0, 20), dest->I32(20)};
  EXPECT_EQ(target.port, server_.Games()[1].port);
  const auto ticket = dest->As<protocol::CONNECT_MOVECHANINFO>(24);
  EXPECT_EQ(ticket.UNum, alice.UNum());

  TestClient moved(target);
  ASSERT_TRUE(moved.WaitFor(msgid::CSV_CHECKVERSION));
  moved.Send<protocol::CSV_CONNECT_MOVECHAN>(ticket);
  const auto entered = moved.WaitFor(msgid::CSV_ACCEPT_ENTERCHAN);
  ASSERT_TRUE(entered);
  const auto info = entered->As<protocol::ENTERCHANINFO>();
  EXPECT_EQ(info.Result, 0);
  EXPECT_EQ(info.ChanNo, 2);
  EXPECT_EQ(protocol::ReadText(info.ChanName), Utf8ToCp949("자유-2"));
  alice.Close();

  const auto arrival = carol.WaitFor(msgid::CSV_NEWUSER);
  ASSERT_TRUE(arrival);
  EXPECT_EQ(protocol::ReadText(arrival->As<protocol::SMALLUSERINFO>().ID), "alice");

  // The ticket was used once.
  TestClient replay(target);
  ASSERT_TRUE(replay.WaitFor(msgid::CSV_CHECKVERSION));
  replay.Send<protocol::CSV_CONNECT_MOVECHAN>(ticket);
  EXPECT_TRUE(replay.WaitFor(msgid::CSV_REFUSE_LOGIN));

  // Find the moved user from the first server.
  TestClient dave;
  ASSERT_TRUE(dave.Login(server_.Master(), "dave", 1));
  dave.Send<protocol::CSV_ASK_FINDID>("alice");
  const auto found = dave.WaitFor(msgid::CSV_RESULT_FINDID);
  ASSERT_TRUE(found);
  const auto where = found->As<protocol::FINDIDRESULT>();
  EXPECT_EQ(protocol::ReadText(where.ID), "alice");
  EXPECT_EQ(where.Place, 1);
  EXPECT_EQ(where.ChanNo, 2);
  EXPECT_EQ(protocol::ReadText(where.ChanName), Utf8ToCp949("자유-2"));

  dave.Send<protocol::CSV_ASK_FINDID>("nobody");
  const auto missing = dave.WaitFor(msgid::CSV_RESULT_FINDID);
  ASSERT_TRUE(missing);
  EXPECT_EQ(protocol::ReadText(missing->As<protocol::FINDIDRESULT>().ID), "");
}

TEST_F(LoginChannelTest, UserNumbersBeyondSixteenBitsMoveBetweenServers) {
  ASSERT_TRUE(ExecSql(server_.Database(),
                      "INSERT INTO users (id, login_id, nickname) VALUES (70000, 'filler', 'filler')"));

  TestClient erin;
  ASSERT_TRUE(erin.Login(server_.Master(), "erin", 1));
  EXPECT_EQ(erin.UNum(), 70001);
  erin.Send<protocol::CSV_ASK_ENTERCHAN>(1, 2);
  const auto dest = erin.WaitFor(msgid::CSV_DESTCHANNELINFO);
  ASSERT_TRUE(dest);
  TestClient moved;
  EXPECT_EQ(FollowMoveTicket(*dest, moved), 0);
}

TEST(JumpTicketTest, EachUseLetsAUserOneLevelTooLowIntoAChannel) {
  ServerUnderTest server{R"(
[Server1]
LoginGroup = 1
[Server2]
LoginGroup = 2
[Group1]
Name = 자유
[Channel1-1]
Server = 1
[Channel1-2]
Server = 1
MinLevel = 1
[Channel1-3]
Server = 2
MinLevel = 1
[Channel1-4]
Server = 1
MinLevel = 2
)"};
  ASSERT_TRUE(server.Running()) << server.Log();
  auto grantJumpTicket = [&] {
    return ExecSql(server.Database(),
                   "INSERT INTO items (user_id, item_code, use_limit) SELECT id, 201, 1 FROM users WHERE login_id = 'alice'");
  };
  auto enter = [](TestClient& client, int chan) {
    client.Send<protocol::CSV_ASK_ENTERCHAN>(1, chan);
    const auto answer = client.WaitFor(msgid::CSV_ACCEPT_ENTERCHAN);
    return answer ? answer->As<protocol::ENTERCHANINFO>().Result.get() : 99;
  };

  TestClient alice;
  ASSERT_TRUE(alice.Login(server.Master(), "alice", 1));
  EXPECT_EQ(enter(alice, 2), -4) << "level 0 is one grade too low";
  ASSERT_TRUE(grantJumpTicket());
  EXPECT_EQ(enter(alice, 4), -4) << "two grades are too many, and cost no use";
  EXPECT_EQ(enter(alice, 2), 0);
  EXPECT_EQ(enter(alice, 1), 0);
  EXPECT_EQ(enter(alice, 2), -4) << "the one use is spent";

  // Into a channel on the other game server: the use is counted where the
  // user arrives.
  ASSERT_TRUE(grantJumpTicket());
  alice.Send<protocol::CSV_ASK_ENTERCHAN>(1, 3);
  const auto dest = alice.WaitFor(msgid::CSV_DESTCHANNELINFO);
  ASSERT_TRUE(dest);
  TestClient moved;
  EXPECT_EQ(FollowMoveTicket(*dest, moved), 0);
}

TEST(ServerProcessesTest, MasterAndGameServersInSeparateProcessesShareTheDatabase) {
  ServerUnderTest master{kConfig, {"--master-port", "0", "--no-game"}};
  ASSERT_TRUE(master.Running()) << master.Log();
  TestClient early;
  std::string refusal;
  EXPECT_FALSE(early.Login(master.Master(), "alice", 1, &refusal));
  EXPECT_EQ(refusal, Utf8ToCp949("접속 가능한 게임 서버가 없습니다. 잠시 후 다시 접속해 주십시오."));

  ServerUnderTest games{kConfig, {"--no-master", "--game-port", "0", "--game-port", "0"}, master.Database()};
  ASSERT_TRUE(games.Running()) << games.Log();
  TestClient alice;
  ASSERT_TRUE(alice.Login(master.Master(), "alice", 2)) << games.Log();
  EXPECT_EQ(alice.Game().port, games.Games()[1].port);

  EXPECT_EQ(games.Stop(), 0) << "clean shutdown on SIGTERM";
  TestClient late;
  EXPECT_FALSE(late.Login(master.Master(), "bob", 1)) << "stopped servers leave the list at once";
  EXPECT_EQ(master.Stop(), 0);
}

}  // namespace
}  // namespace tovrik::server::testing
