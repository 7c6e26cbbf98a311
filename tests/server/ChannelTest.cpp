#include "server/Channel.h"

#include <gtest/gtest.h>

namespace tovrik::server {
namespace {

UserRecord MakeUser(std::int64_t id, int points = 0, int money = 10000) {
  UserRecord user;
  user.id = id;
  user.loginId = "user" + std::to_string(id);
  user.nickname = "nick" + std::to_string(id);
  user.points = points;
  user.money = money;
  return user;
}

RoomSettings Settings(int bet = 100, int level = 0) {
  RoomSettings settings;
  settings.title = "room";
  settings.bet = bet;
  settings.level = level;
  return settings;
}

class ChannelTest : public ::testing::Test {
 protected:
  ChannelTest() : channel_(MakeConfig(), Rules()) {}

  static ServerRules Rules() {
    ServerRules rules;
    rules.maxRoomsPerChannel = 3;
    return rules;
  }

  static ChannelConfigEntry MakeConfig() {
    ChannelConfigEntry config;
    config.groupNo = 1;
    config.chanNo = 1;
    config.maxUser = 4;
    config.name = "free-1";
    return config;
  }

  Channel channel_;
};

TEST_F(ChannelTest, EntryRefusals) {
  ChannelConfigEntry closed = MakeConfig();
  closed.closed = true;
  EXPECT_EQ(Channel(closed, {}).CheckEntry(MakeUser(1)), kEntryClosed);

  ChannelConfigEntry beginners = MakeConfig();
  beginners.maxLevel = 0;
  EXPECT_EQ(Channel(beginners, {}).CheckEntry(MakeUser(1, 331)), kEntryLevel);
  EXPECT_EQ(Channel(beginners, {}).CheckEntry(MakeUser(1, 330)), kEntryOk);

  for (int id = 1; id <= 4; ++id) ASSERT_TRUE(channel_.Join(MakeUser(id)));
  EXPECT_EQ(channel_.CheckEntry(MakeUser(5)), kEntryFull);
  EXPECT_EQ(channel_.CheckEntry(MakeUser(4)), kEntryOk) << "a member is never refused its own channel";
  EXPECT_FALSE(channel_.Join(MakeUser(4)));
}

TEST_F(ChannelTest, CreateRoomRefusals) {
  struct Case {
    const char* what;
    UserRecord user;
    RoomSettings settings;
    int refusal;
  };
  RoomSettings badMaxUser = Settings();
  badMaxUser.maxUser = 3;
  RoomSettings secretWithoutPassword = Settings();
  secretWithoutPassword.secret = true;
  const Case cases[] = {
      {"bet above the level's maximum", MakeUser(1, 0), Settings(101), kCreateBetTooHigh},
      {"bet within a higher level's maximum", MakeUser(2, 331), Settings(200), -1},
      {"not enough money", MakeUser(3, 0, 50), Settings(100), kCreateNotEnoughMoney},
      {"room level above one's own", MakeUser(4, 0), Settings(100, 1), kCreateLevelTooHigh},
      {"malformed user limit", MakeUser(5), badMaxUser, kCreateRefused},
      {"secret room without password", MakeUser(6), secretWithoutPassword, kCreateRefused},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(channel_.Join(c.user));
    const RoomResult result = channel_.CreateRoom(c.user.id, c.settings, false);
    EXPECT_EQ(result.refusal, c.refusal) << c.what;
    channel_.Leave(c.user.id);
  }
}

TEST_F(ChannelTest, TooManyRoomsAndRoomNumbersReused) {
  for (int id = 1; id <= 4; ++id) ASSERT_TRUE(channel_.Join(MakeUser(id)));
  EXPECT_EQ(channel_.CreateRoom(1, Settings(), false).room->roomNo, 1);
  EXPECT_EQ(channel_.CreateRoom(2, Settings(), false).room->roomNo, 2);
  EXPECT_EQ(channel_.CreateRoom(3, Settings(), false).room->roomNo, 3);
  EXPECT_EQ(channel_.CreateRoom(4, Settings(), false).refusal, kCreateTooManyRooms);
  EXPECT_TRUE(channel_.LeaveRoom(2).roomClosed);
  EXPECT_EQ(channel_.CreateRoom(4, Settings(), false).room->roomNo, 2);
  EXPECT_EQ(channel_.CreateRoom(1, Settings(), false).refusal, kCreateRefused) << "already in a room";
}

TEST_F(ChannelTest, EnterRoomRefusals) {
  ASSERT_TRUE(channel_.Join(MakeUser(1, 400)));
  RoomSettings secret = Settings(150, 1);
  secret.secret = true;
  secret.password = "1234";
  const int roomNo = channel_.CreateRoom(1, secret, false).room->roomNo;

  ASSERT_TRUE(channel_.Join(MakeUser(2, 0)));
  ASSERT_TRUE(channel_.Join(MakeUser(3, 400, 100)));
  ASSERT_TRUE(channel_.Join(MakeUser(4, 400)));
  EXPECT_EQ(channel_.EnterRoom(4, 99, "1234").refusal, kEnterNoSuchRoom);
  EXPECT_EQ(channel_.EnterRoom(4, roomNo, "12").refusal, kEnterWrongPassword);
  EXPECT_EQ(channel_.EnterRoom(3, roomNo, "1234").refusal, kEnterNotEnoughMoney);
  EXPECT_EQ(channel_.EnterRoom(2, roomNo, "1234").refusal, kEnterLevelTooHigh);
  EXPECT_EQ(channel_.EnterRoom(1, roomNo, "1234").refusal, kEnterAlreadyIn);
  EXPECT_EQ(channel_.EnterRoom(77, roomNo, "1234").refusal, kEnterBadRequester);
  EXPECT_TRUE(channel_.EnterRoom(4, roomNo, "1234").Ok());
  ASSERT_TRUE(channel_.Join(MakeUser(5, 400)));
  EXPECT_EQ(channel_.EnterRoom(5, roomNo, "1234").refusal, kEnterFull);
}

TEST_F(ChannelTest, WrongPasswordsWaitLongerAndThenLockTheRoom) {
  ASSERT_TRUE(channel_.Join(MakeUser(1, 400)));
  ASSERT_TRUE(channel_.Join(MakeUser(2, 400)));
  ASSERT_TRUE(channel_.Join(MakeUser(3, 400)));
  RoomSettings secret = Settings(150, 1);
  secret.secret = true;
  secret.password = "1234";
  const int roomNo = channel_.CreateRoom(1, secret, false).room->roomNo;
  using std::chrono::seconds;
  auto t = PasswordGuard::Clock::now();
  for (int i = 0; i < PasswordGuard::kFreeTries; ++i) EXPECT_EQ(channel_.EnterRoom(2, roomNo, "0", t).refusal, 6);
  // From now on each try waits 1 s, 2 s, 4 s ... after the last wrong one.
  EXPECT_EQ(channel_.EnterRoom(2, roomNo, "1234", t + seconds(1) - std::chrono::milliseconds(1)).refusal, 6);
  t += seconds(1);
  EXPECT_EQ(channel_.EnterRoom(2, roomNo, "0", t).refusal, 6);
  EXPECT_EQ(channel_.EnterRoom(2, roomNo, "1234", t + seconds(1)).refusal, 6) << "the wait doubled";
  for (int failures = PasswordGuard::kFreeTries + 1; failures < PasswordGuard::kMaxFailures; ++failures) {
    t += PasswordGuard::WaitAfter(failures);
    EXPECT_EQ(channel_.EnterRoom(2, roomNo, "0", t).refusal, 6);
  }
  EXPECT_EQ(PasswordGuard::WaitAfter(PasswordGuard::kMaxFailures - 1), seconds(60));
  EXPECT_EQ(channel_.EnterRoom(2, roomNo, "1234", t + std::chrono::hours(1)).refusal, 6) << "locked for good";
  // Another user's tries are its own, and a right password clears them.
  EXPECT_EQ(channel_.EnterRoom(3, roomNo, "0", t).refusal, 6);
  EXPECT_TRUE(channel_.EnterRoom(3, roomNo, "1234", t).Ok());
}

TEST_F(ChannelTest, MasterLeavesAndTheOtherTakesOver) {
  ASSERT_TRUE(channel_.Join(MakeUser(1)));
  ASSERT_TRUE(channel_.Join(MakeUser(2)));
  const int roomNo = channel_.CreateRoom(1, Settings(), false).room->roomNo;
  ASSERT_TRUE(channel_.EnterRoom(2, roomNo, "").Ok());
  EXPECT_EQ(channel_.FindRoom(roomNo)->SeatOf(2), 1);

  const RoomExit exit = channel_.LeaveRoom(1);
  EXPECT_EQ(exit.roomNo, roomNo);
  EXPECT_FALSE(exit.roomClosed);
  EXPECT_EQ(exit.newMaster, 2);
  EXPECT_EQ(channel_.FindRoom(roomNo)->master, 2);
  EXPECT_EQ(channel_.FindMember(1)->roomNo, 0);

  const RoomExit last = channel_.Leave(2);
  EXPECT_TRUE(last.roomClosed);
  EXPECT_EQ(channel_.FindRoom(roomNo), nullptr);
  EXPECT_EQ(channel_.UserCount(), 1);
}

TEST_F(ChannelTest, BanishOnlyBySuperRoomMasterAndBanishedStayOut) {
  ASSERT_TRUE(channel_.Join(MakeUser(1)));
  ASSERT_TRUE(channel_.Join(MakeUser(2)));
  RoomSettings super = Settings();
  super.superRoom = true;
  const int plainNo = channel_.CreateRoom(1, super, false).room->roomNo;
  EXPECT_FALSE(channel_.FindRoom(plainNo)->settings.superRoom) << "super room needs the item";
  ASSERT_TRUE(channel_.EnterRoom(2, plainNo, "").Ok());
  std::int64_t target = 0;
  EXPECT_FALSE(channel_.Banish(1, "user2", target));
  channel_.LeaveRoom(2);
  channel_.LeaveRoom(1);

  const int superNo = channel_.CreateRoom(1, super, true).room->roomNo;
  ASSERT_TRUE(channel_.EnterRoom(2, superNo, "").Ok());
  EXPECT_FALSE(channel_.Banish(2, "user1", target)) << "only the master may banish";
  EXPECT_FALSE(channel_.Banish(1, "user1", target)) << "not oneself";
  const auto exit = channel_.Banish(1, "user2", target);
  ASSERT_TRUE(exit);
  EXPECT_EQ(target, 2);
  EXPECT_EQ(exit->roomNo, superNo);
  EXPECT_EQ(channel_.EnterRoom(2, superNo, "").refusal, kEnterBanished);
}

TEST_F(ChannelTest, LobbyAudienceHoldsLobbyUsersAndOpenLobbyViews) {
  ASSERT_TRUE(channel_.Join(MakeUser(1)));
  ASSERT_TRUE(channel_.Join(MakeUser(2)));
  ASSERT_TRUE(channel_.Join(MakeUser(3)));
  const int roomNo = channel_.CreateRoom(1, Settings(), false).room->roomNo;
  ASSERT_TRUE(channel_.EnterRoom(2, roomNo, "").Ok());
  EXPECT_EQ(channel_.LobbyAudience(), (std::vector<std::int64_t>{3}));
  channel_.SetLobbyView(2, true);
  channel_.SetLobbyView(3, true);  // ignored outside a room
  EXPECT_EQ(channel_.LobbyAudience(), (std::vector<std::int64_t>{2, 3}));
  EXPECT_EQ(channel_.RoomMembers(roomNo), (std::vector<std::int64_t>{1, 2}));
  channel_.LeaveRoom(2);
  EXPECT_FALSE(channel_.FindMember(2)->lobbyView);
}

}  // namespace
}  // namespace tovrik::server
