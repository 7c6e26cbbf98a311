#pragma once
// A room of two logged-in players, alice and bob, on a server with short
// rules, and the steps of a game as their clients send them: the start, the
// opening, flicks, stop reports, items, time-outs, and the figures the
// database holds afterwards.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <optional>
#include <string>
#include <vector>

#include "ServerHarness.h"
#include "TwoUsersFixture.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/TextField.h"

namespace tovrik::server::testing {

namespace msgid = protocol::msgid;
using std::chrono::milliseconds;

inline constexpr const char* kRules = R"(
[Rules]
StartMoney = 250
GaugePerTurn = 2.5
GaugePerKnock = 0.5
WinPoints = 20
LossPoints = 10
PlusPointBonus = 10
)";

inline constexpr const char* kChannels = R"(
[Server1]
LoginGroup = 1
[Group1]
Name = free
[Channel1-1]
Server = 1
[Channel1-2]
Server = 1
Item = 1
)";

inline constexpr int kBet = 100;
inline constexpr int kHanSide = 1;
inline constexpr int kChoSide = 2;

struct Figures {
  int money = -1, points = -1, wins = -1, losses = -1, draws = -1;
};

class GameFixture : public TwoUsersFixture {
 protected:
  explicit GameFixture(const std::string& extraRules)
      : TwoUsersFixture(kRules + extraRules + kChannels, {"--master-port", "0", "--game-port", "0"}) {}


  static void EnterItemChannel(TestClient& client) {
    client.Send<protocol::CSV_ASK_ENTERCHAN>(1, 2);
    const auto entered = client.WaitFor(msgid::CSV_ACCEPT_ENTERCHAN);
    ASSERT_TRUE(entered);
    ASSERT_EQ(entered->As<protocol::ENTERCHANINFO>().Result, 0);
  }

  // Alice creates a room and bob joins it; returns the room number.
  int OpenRoom(bool superRoom = false) {
    protocol::ROOMINFO request;
    protocol::CopyIfShorter(request.Title, "game");
    request.MaxUser = 2;
    request.BetPebble = kBet;
    request.SuperRoom = superRoom ? 1 : 0;
    alice_.Send<protocol::CSV_ASK_CREATEROOM>(request);
    const auto created = alice_.WaitFor(msgid::CSV_ACCEPT_CREATEROOM);
    if (!created) return 0;
    const int roomNo = created->As<protocol::ROOMINFO>().RoomNo;
    bob_.Send<protocol::CSV_ASK_ENTERROOM>(roomNo, bob_.UNum(), "bob", "");
    return bob_.WaitFor(msgid::CSV_ACCEPT_ENTERROOM) ? roomNo : 0;
  }

  // The guest readies, the master starts; both get the start record.
  std::optional<protocol::STARTINFO> Start(TestClient& master, TestClient& guest) {
    guest.Send<protocol::CCL_READYTOSTART>(guest.Id());
    if (!master.WaitFor(msgid::CCL_READYTOSTART)) return std::nullopt;
    master.Send<protocol::CCL_ASK_STARTGAME>(roomNo_, 0, master.Id());
    const auto start = master.WaitFor(msgid::CCL_STARTINFO);
    if (!start || !guest.WaitFor(msgid::CCL_STARTINFO)) return std::nullopt;
    const auto info = start->As<protocol::STARTINFO>();
    for (int seat = 0; seat < 2; ++seat) {
      TestClient& player = protocol::ReadText(info.ID[seat]) == alice_.Id() ? alice_ : bob_;
      (info.Seat[seat].side == kChoSide ? cho_ : han_) = &player;
    }
    return info;
  }

  // A room with a started game whose opening is over; Cho is to move.
  void StartAndOpen() {
    roomNo_ = OpenRoom();
    ASSERT_GT(roomNo_, 0);
    ASSERT_TRUE(Start(alice_, bob_));
    Report(alice_, {});
    Report(bob_, {});
    const auto first = NextTurn();
    ASSERT_TRUE(first);
    ASSERT_EQ(protocol::ReadText(first->ID), cho_->Id());
  }

  static void Report(TestClient& client, const std::vector<int>& fallen) {
    protocol::RESULTSTONEHITINFO head;
    protocol::SetRelayID(head.ID, client.Id());
    head.DropCount = static_cast<std::int32_t>(fallen.size());
    protocol::DROPSTONEINFO list;
    for (std::size_t i = 0; i < fallen.size(); ++i) list.StoneIndex[i] = fallen[i];
    client.Send<protocol::CCL_RESULTSTONEHIT>(head, list);
  }
  static void Flick(TestClient& client, int stone) {
    protocol::STONEHITINFO hit;
    protocol::SetRelayID(hit.ID, client.Id());
    hit.StoneIndex = stone;
    hit.Angle = 90.0f;
    hit.Power = 12.0f;
    client.Send<protocol::CCL_STONEHIT>(hit);
  }
  // A flick that the other player has seen, as a client's stop report
  // always follows the flick it reports on.
  void Shoot(TestClient& shooter, int stone) {
    Flick(shooter, stone);
    TestClient& other = &shooter == &alice_ ? bob_ : alice_;
    ASSERT_TRUE(other.WaitFor(msgid::CCL_STONEHIT)) << shooter.Id() << "'s flick was not relayed";
    ASSERT_TRUE(shooter.WaitFor(msgid::CCL_STONEHIT)) << "the shooter gets its own flick back";
  }
  static void UseItem(TestClient& client, int kind) {
    protocol::USEITEM use;
    protocol::SetRelayID(use.ID, client.Id());
    use.ItemKind = kind;
    client.Send<protocol::CCL_USEITEM>(use);
  }
  static void TimeOut(TestClient& client) { client.Send<protocol::CCL_TIMEOUTMYTURN>(client.Id()); }

  // The next turn as both players see it.
  std::optional<protocol::NEXTPLAYER> NextTurn(milliseconds wait = TestClient::kWait) {
    const auto forAlice = alice_.WaitFor(msgid::CCL_NEXTPLAYER, wait);
    const auto forBob = bob_.WaitFor(msgid::CCL_NEXTPLAYER, wait);
    if (!forAlice || !forBob || forAlice->payload != forBob->payload) return std::nullopt;
    return forAlice->As<protocol::NEXTPLAYER>();
  }
  // Both players' result entries, in seat order, as both players see them.
  std::optional<std::vector<protocol::GAMEOVERRESULT>> GameOver(milliseconds wait = TestClient::kWait) {
    const auto forAlice = alice_.WaitFor(msgid::CSV_GAMEOVERRESULT, wait);
    const auto forBob = bob_.WaitFor(msgid::CSV_GAMEOVERRESULT, wait);
    if (!forAlice || !forBob || forAlice->payload != forBob->payload || forAlice->I32(0) != 2) return std::nullopt;
    return std::vector<protocol::GAMEOVERRESULT>{forAlice->As<protocol::GAMEOVERRESULT>(4),
                                                 forAlice->As<protocol::GAMEOVERRESULT>(4 + 44)};
  }
  static const protocol::GAMEOVERRESULT& EntryOf(const std::vector<protocol::GAMEOVERRESULT>& result,
                                                 const std::string& id) {
    return protocol::ReadText(result[0].ID) == id ? result[0] : result[1];
  }

  Figures Stored(const std::string& login) const {
    Figures figures;
    sqlite3* db = nullptr;
    sqlite3_open_v2(server_.Database().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db, "SELECT money, points, wins, losses, draws FROM users WHERE login_id = ?", -1, &query,
                       nullptr);
    sqlite3_bind_text(query, 1, login.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(query) == SQLITE_ROW) {
      figures = {sqlite3_column_int(query, 0), sqlite3_column_int(query, 1), sqlite3_column_int(query, 2),
                 sqlite3_column_int(query, 3), sqlite3_column_int(query, 4)};
    }
    sqlite3_finalize(query);
    sqlite3_close(db);
    return figures;
  }

  int roomNo_ = 0;
  TestClient* han_ = nullptr;
  TestClient* cho_ = nullptr;
};

class GameTest : public GameFixture {
 protected:
  GameTest() : GameFixture("") {}
};

// Short deadlines, so that the server's own clocks run out within the test.
class GameDeadlineTest : public GameFixture {
 protected:
  GameDeadlineTest() : GameFixture("TurnMs = 1500\nTurnGraceMs = 500\nReportMs = 1000\n") {}
};

}  // namespace tovrik::server::testing
