// Lobby lists with their updates, and rooms: creation, entry, leaving, the
// master change and removal, over real sockets against tovrik-server.
#include <gtest/gtest.h>

#include "ServerHarness.h"
#include "TwoUsersFixture.h"
#include "SqlStatement.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/TextField.h"

namespace tovrik::server::testing {
namespace {

namespace msgid = protocol::msgid;

constexpr const char* kConfig = R"(
[Rules]
StartMoney = 1000
MaxRoomsPerChannel = 2
[Server1]
LoginGroup = 1
[Group1]
Name = free
[Channel1-1]
Server = 1
)";

protocol::ROOMINFO RoomRequest(const std::string& title, int bet, int level = 0, const std::string& password = "") {
  protocol::ROOMINFO room;
  protocol::CopyIfShorter(room.Title, title);
  room.UserCnt = 1;
  room.MaxUser = 2;
  room.BetPebble = bet;
  room.RoomLevel = static_cast<std::int8_t>(level);
  room.Secret = password.empty() ? 0 : 1;
  protocol::CopyAtMost(room.Password, password, 4);
  return room;
}

class LobbyRoomTest : public TwoUsersFixture {
 protected:
  LobbyRoomTest() : TwoUsersFixture(kConfig) {}


  // Creates a room as `client` and returns its number (0 on refusal).
  int CreateRoom(TestClient& client, const protocol::ROOMINFO& request) {
    client.Send<protocol::CSV_ASK_CREATEROOM>(request);
    const auto accepted = client.WaitFor(msgid::CSV_ACCEPT_CREATEROOM, std::chrono::milliseconds(1000));
    return accepted ? accepted->As<protocol::ROOMINFO>().RoomNo.get() : 0;
  }
  std::optional<Frame> EnterRoom(TestClient& client, int roomNo, const std::string& password = "") {
    client.Send<protocol::CSV_ASK_ENTERROOM>(roomNo, client.UNum(), client.Id(), password);
    return client.WaitFor(msgid::CSV_ACCEPT_ENTERROOM, std::chrono::milliseconds(1000));
  }
  int RefusalOfEntry(TestClient& client) {
    const auto refused = client.WaitFor(msgid::CSV_REFUSE_ENTERROOM);
    return refused ? refused->I32(0) : -1;
  }

};

TEST_F(LobbyRoomTest, ListsAndTheirUpdatesReachTheOtherUser) {
  bob_.Send<protocol::CSV_ASK_ALLUSERINFO>();
  const auto users = bob_.WaitFor(msgid::CSV_ALLUSERINFO);
  ASSERT_TRUE(users);
  ASSERT_EQ(users->I32(0), 2);
  ASSERT_EQ(users->payload.size(), 4u + 2 * 64);
  EXPECT_EQ(protocol::ReadText(users->As<protocol::SMALLUSERINFO>(4).ID), "alice");
  EXPECT_EQ(protocol::ReadText(users->As<protocol::SMALLUSERINFO>(68).ID), "bob");

  ASSERT_TRUE(alice_.WaitFor(msgid::CSV_NEWUSER)) << "bob's arrival";
  const int roomNo = CreateRoom(alice_, RoomRequest("hello", 100));
  ASSERT_GT(roomNo, 0);
  const auto newRoom = bob_.WaitFor(msgid::CSV_NEWROOM);
  ASSERT_TRUE(newRoom);
  const auto room = newRoom->As<protocol::ROOMINFO>();
  EXPECT_EQ(room.RoomNo, roomNo);
  EXPECT_EQ(protocol::ReadText(room.Title), "hello");
  EXPECT_EQ(protocol::ReadText(room.MasterID), "alice");
  EXPECT_EQ(room.UserCnt, 1);
  const auto changed = bob_.WaitFor(msgid::CSV_CHANGEUSER);
  ASSERT_TRUE(changed);
  EXPECT_EQ(changed->As<protocol::SMALLUSERINFO>().State, 3);
  EXPECT_EQ(changed->As<protocol::SMALLUSERINFO>().RoomNo, roomNo);

  bob_.Send<protocol::CSV_ASK_ALLROOMINFO>();
  const auto rooms = bob_.WaitFor(msgid::CSV_ALLROOMINFO);
  ASSERT_TRUE(rooms);
  EXPECT_EQ(rooms->I32(0), 1);
  bob_.Send<protocol::CSV_ASK_ROOMINFO>(roomNo);
  const auto info = bob_.WaitFor(msgid::CSV_ROOMINFO);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->I32(0), 0);
  const auto game = info->As<protocol::GAMEINFO>(4);
  EXPECT_EQ(protocol::ReadText(game.UI[0].ID), "alice");
  EXPECT_EQ(protocol::ReadText(game.UI[1].ID), "");

  TestClient carol;
  ASSERT_TRUE(carol.Login(server_.Master(), "carol", 1));
  const auto arrival = bob_.WaitFor(msgid::CSV_NEWUSER);
  ASSERT_TRUE(arrival);
  EXPECT_EQ(protocol::ReadText(arrival->As<protocol::SMALLUSERINFO>().ID), "carol");
  EXPECT_TRUE(alice_.Quiet(msgid::CSV_NEWUSER)) << "a user in a room with its lobby view closed sees no lobby updates";
  carol.Close();
  const auto departure = bob_.WaitFor(msgid::CSV_OUTUSER);
  ASSERT_TRUE(departure);
  EXPECT_EQ(protocol::ReadText(departure->As<protocol::SMALLUSERINFO>().ID), "carol");

  // Profiles.
  bob_.Send<protocol::CSV_ASK_USERINFO>(alice_.UNum(), "alice");
  const auto profile = bob_.WaitFor(msgid::CSV_USERINFO);
  ASSERT_TRUE(profile);
  EXPECT_EQ(protocol::ReadText(profile->As<protocol::USERINFO>().ID), "alice");
  bob_.Send<protocol::CSV_ASK_USERINFO>(-1, "ghost");
  const auto none = bob_.WaitFor(msgid::CSV_USERINFO);
  ASSERT_TRUE(none);
  EXPECT_EQ(protocol::ReadText(none->As<protocol::USERINFO>().ID), "");
  bob_.Send<protocol::CSV_ASK_DETAILUSERINFO>(alice_.UNum(), "alice");
  const auto detail = bob_.WaitFor(msgid::CSV_DETAILUSERINFO);
  ASSERT_TRUE(detail);
  EXPECT_EQ(protocol::ReadText(detail->As<protocol::USERINFO>().ID), "") << "money only for operators";

  // Character change.
  bob_.Send<protocol::CSV_ASK_CHANGECHAR>(bob_.UNum(), "bob", 7);
  const auto character = bob_.WaitFor(msgid::CSV_ACCEPT_CHANGECHAR);
  ASSERT_TRUE(character);
  EXPECT_EQ(character->I32(0), 7);
  bob_.Send<protocol::CSV_ASK_CHANGECHAR>(bob_.UNum(), "bob", 73);
  EXPECT_TRUE(bob_.Quiet(msgid::CSV_ACCEPT_CHANGECHAR));
}

TEST_F(LobbyRoomTest, CreationRefusals) {
  auto refusal = [&](const protocol::ROOMINFO& request) {
    EXPECT_EQ(CreateRoom(alice_, request), 0);
    const auto refused = alice_.WaitFor(msgid::CSV_REFUSE_CREATEROOM);
    return refused ? refused->I32(0) : -1;
  };
  EXPECT_EQ(refusal(RoomRequest("big", 101)), 2) << "bet above the level's maximum";
  EXPECT_EQ(refusal(RoomRequest("high", 100, 1)), 11) << "room level above one's own";
  protocol::ROOMINFO odd = RoomRequest("odd", 100);
  odd.MaxUser = 5;
  EXPECT_EQ(refusal(odd), 1);

  // Too many rooms: two rooms are the limit here.
  TestClient carol;
  ASSERT_TRUE(carol.Login(server_.Master(), "carol", 1));
  ASSERT_GT(CreateRoom(alice_, RoomRequest("one", 100)), 0);
  ASSERT_GT(CreateRoom(bob_, RoomRequest("two", 100)), 0);
  EXPECT_EQ(CreateRoom(carol, RoomRequest("three", 100)), 0);
  const auto refused = carol.WaitFor(msgid::CSV_REFUSE_CREATEROOM);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->I32(0), 0);
}

TEST_F(LobbyRoomTest, NotEnoughMoneyToCreateOrEnter) {
  // Dan's money is spent: he may neither open nor join a room with a bet.
  ASSERT_TRUE(ExecSql(server_.Database(), "INSERT INTO users (login_id, nickname, money) VALUES ('dan', 'dan', 50)"));
  TestClient poor;
  ASSERT_TRUE(poor.Login(server_.Master(), "dan", 1));
  EXPECT_EQ(CreateRoom(poor, RoomRequest("cheap", 100)), 0);
  const auto refused = poor.WaitFor(msgid::CSV_REFUSE_CREATEROOM);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->I32(0), 3);

  const int roomNo = CreateRoom(alice_, RoomRequest("bet", 100));
  ASSERT_GT(roomNo, 0);
  EXPECT_FALSE(EnterRoom(poor, roomNo));
  EXPECT_EQ(RefusalOfEntry(poor), 9);
}

TEST_F(LobbyRoomTest, EntryWithWrongAndRightPasswordThenLeavingHandsOverTheRoom) {
  const int roomNo = CreateRoom(alice_, RoomRequest("secret", 100, 0, "1234"));
  ASSERT_GT(roomNo, 0);
  EXPECT_FALSE(EnterRoom(bob_, roomNo, "9999"));
  EXPECT_EQ(RefusalOfEntry(bob_), 6);
  EXPECT_FALSE(EnterRoom(bob_, roomNo + 50, "1234"));
  EXPECT_EQ(RefusalOfEntry(bob_), 2);

  const auto entered = EnterRoom(bob_, roomNo, "1234");
  ASSERT_TRUE(entered);
  const auto info = entered->As<protocol::ENTERROOMINFO>();
  EXPECT_EQ(info.GI.RI.RoomNo, roomNo);
  EXPECT_EQ(protocol::ReadText(info.GI.RI.MasterID), "alice");
  EXPECT_EQ(protocol::ReadText(info.GI.UI[0].ID), "alice");
  EXPECT_EQ(protocol::ReadText(info.GI.UI[1].ID), "bob");
  EXPECT_EQ(info.Seat[0].seated, 1);
  EXPECT_EQ(info.Seat[1].seated, 1);
  EXPECT_EQ(info.Seat[1].inGame, 0);
  const auto arrival = alice_.WaitFor(msgid::CSV_USERENTERROOM);
  ASSERT_TRUE(arrival);
  EXPECT_EQ(protocol::ReadText(arrival->As<protocol::USERINFO>(4).ID), "bob");

  // A third user: the room is full.
  TestClient carol;
  ASSERT_TRUE(carol.Login(server_.Master(), "carol", 1));
  EXPECT_FALSE(EnterRoom(carol, roomNo, "1234"));
  EXPECT_EQ(RefusalOfEntry(carol), 4);

  // The master leaves: 129 to her, the others learn who left and who leads.
  alice_.Send<protocol::CSV_ASK_OUTROOM>(roomNo, alice_.UNum(), "alice");
  EXPECT_TRUE(alice_.WaitFor(msgid::CSV_ACCEPT_OUTROOM));
  const auto left = bob_.WaitFor(msgid::CSV_USEROUTROOM);
  ASSERT_TRUE(left);
  EXPECT_EQ(left->Text(8, 16), "alice");
  const auto master = bob_.WaitFor(msgid::CSV_CHANGEROOMMASTER);
  ASSERT_TRUE(master);
  EXPECT_EQ(master->I32(4), bob_.UNum());
  EXPECT_EQ(master->Text(8, 16), "bob");
  const auto roomChange = carol.WaitFor(msgid::CSV_CHANGEROOM);
  ASSERT_TRUE(roomChange);
  EXPECT_EQ(roomChange->As<protocol::SMALLROOMINFO>().UserCnt, 1);
  EXPECT_EQ(protocol::ReadText(roomChange->As<protocol::SMALLROOMINFO>().MasterID), "bob");

  // The last one out closes the room for the lobby.
  bob_.Send<protocol::CSV_ASK_OUTROOM>(0, bob_.UNum(), "bob");
  EXPECT_TRUE(bob_.WaitFor(msgid::CSV_ACCEPT_OUTROOM));
  const auto gone = carol.WaitFor(msgid::CSV_OUTROOM);
  ASSERT_TRUE(gone);
  EXPECT_EQ(gone->As<protocol::SMALLROOMINFO>().RoomNo, roomNo);
}

TEST_F(LobbyRoomTest, EntryRefusedToOneAlreadyInARoomOrInAnotherUsersName) {
  const int first = CreateRoom(alice_, RoomRequest("first", 100));
  const int second = CreateRoom(bob_, RoomRequest("second", 100));
  ASSERT_GT(first, 0);
  ASSERT_GT(second, 0);
  EXPECT_FALSE(EnterRoom(bob_, first));
  EXPECT_EQ(RefusalOfEntry(bob_), 5);

  TestClient carol;
  ASSERT_TRUE(carol.Login(server_.Master(), "carol", 1));
  carol.Send<protocol::CSV_ASK_ENTERROOM>(first, bob_.UNum(), bob_.Id(), "");
  EXPECT_EQ(RefusalOfEntry(carol), 7);
  EXPECT_TRUE(EnterRoom(carol, first)) << "her own request is accepted";
}

TEST_F(LobbyRoomTest, OnlyTheSuperRoomMasterRemovesAndTheRemovedStayOut) {
  ASSERT_TRUE(ExecSql(server_.Database(),
                      "INSERT INTO items (user_id, item_code) SELECT id, 401 FROM users WHERE login_id = 'alice'"));

  protocol::ROOMINFO request = RoomRequest("super", 100);
  request.SuperRoom = 1;
  const int roomNo = CreateRoom(alice_, request);
  ASSERT_GT(roomNo, 0);
  ASSERT_TRUE(EnterRoom(bob_, roomNo));
  bob_.Send<protocol::CSV_ASK_FORCEBANISH>("alice");
  EXPECT_TRUE(alice_.Quiet(msgid::CSV_ABNORMALOUTROOM)) << "a guest may not remove the master";

  alice_.Send<protocol::CSV_ASK_FORCEBANISH>("bob");
  EXPECT_TRUE(bob_.WaitFor(msgid::CSV_ABNORMALOUTROOM));
  const auto left = alice_.WaitFor(msgid::CSV_USEROUTROOM);
  ASSERT_TRUE(left);
  EXPECT_EQ(left->Text(8, 16), "bob");
  EXPECT_FALSE(EnterRoom(bob_, roomNo));
  EXPECT_EQ(RefusalOfEntry(bob_), 20);
}

}  // namespace
}  // namespace tovrik::server::testing
