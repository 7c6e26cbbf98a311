// Games against players that lie or servers that are stopped or starved:
// flicks of not-a-number, an operator's shutdown during a game, and a
// database that another process keeps locked as a game ends.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <thread>

#include "GameFixture.h"
#include "ServerHarness.h"
#include "SqlStatement.h"
#include "protocol/MessageCatalogue.h"
#include "server/Cp949.h"

namespace tovrik::server::testing {
namespace {

class HostileGameTest : public GameFixture {
 protected:
  explicit HostileGameTest(const std::string& extraRules = "") : GameFixture(extraRules) {}

  // Cho flicks, and Cho's own king falls: Han wins.
  void ChoLosesItsKing() {
    Shoot(*cho_, 1);
    Report(*han_, {});
    Report(*cho_, {0});
  }
  // How long a room chat line takes to come back to its sender.
  std::chrono::steady_clock::duration RoomChatEcho(TestClient& player) {
    const auto said = std::chrono::steady_clock::now();
    player.Send<protocol::CCL_CHATDATA>(roomNo_, player.Id(), "anyone?");
    if (!player.WaitFor(msgid::CCL_CHATDATA, milliseconds(10000))) return std::chrono::hours(1);
    return std::chrono::steady_clock::now() - said;
  }
};

// The server gives up on a result after one second.
class ImpatientResultTest : public HostileGameTest {
 protected:
  ImpatientResultTest() : HostileGameTest("ResultStoreMs = 1000\n") {}
};

TEST_F(HostileGameTest, NonFiniteFlicksReachNoClient) {
  StartAndOpen();
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  struct Case {
    float angle, power;
    float relayedAngle, relayedPower;  // as a receiving client would apply them
  };
  const Case cases[] = {
      {kNaN, 12.0f, 0.0f, 12.0f},
      {90.0f, kInfinity, 90.0f, 0.0f},
      {-kInfinity, -kNaN, 0.0f, 0.0f},
      {400.0f, 1e30f, 40.0f, 40.0f},
  };
  TestClient* mover = cho_;
  for (const Case& c : cases) {
    TestClient& shooter = *mover;
    TestClient& other = &shooter == &alice_ ? bob_ : alice_;
    protocol::STONEHITINFO hit;
    protocol::SetRelayID(hit.ID, shooter.Id());
    hit.StoneIndex = 1;
    hit.Angle = c.angle;
    hit.Power = c.power;
    shooter.Send<protocol::CCL_STONEHIT>(hit);
    for (TestClient* client : {&other, &shooter}) {
      const auto relayed = client->WaitFor(msgid::CCL_STONEHIT);
      ASSERT_TRUE(relayed) << c.angle << " " << c.power;
      const auto info = relayed->As<protocol::STONEHITINFO>();
      EXPECT_EQ(static_cast<float>(info.Angle), c.relayedAngle) << c.angle << " " << c.power;
      EXPECT_EQ(static_cast<float>(info.Power), c.relayedPower) << c.angle << " " << c.power;
    }
    // Nothing fell: the turn passes to the other side, whose next flick follows.
    Report(alice_, {});
    Report(bob_, {});
    const auto next = NextTurn();
    ASSERT_TRUE(next);
    mover = &shooter == &alice_ ? &bob_ : &alice_;
    ASSERT_EQ(protocol::ReadText(next->ID), mover->Id());
  }
}

TEST_F(HostileGameTest, AnOperatorsStopEndsRunningGamesWithoutAResult) {
  StartAndOpen();
  Shoot(*cho_, 1);
  ASSERT_EQ(server_.Stop(), 0);
  const std::string notice = Utf8ToCp949("서버가 종료되어 게임이 결과 없이 끝났습니다. 배팅한 머니는 그대로입니다.");
  for (TestClient* player : {&alice_, &bob_}) {
    const auto told = player->WaitFor(msgid::CSV_SERVERMSG);
    ASSERT_TRUE(told) << player->Id();
    EXPECT_EQ(told->Bytes(6, static_cast<std::size_t>(told->I16(4))), notice);
    EXPECT_TRUE(player->Quiet(msgid::CSV_GAMEOVERRESULT)) << player->Id();
    const Figures stored = Stored(player->Id());
    EXPECT_EQ(stored.money, 250) << player->Id();
    EXPECT_EQ(stored.wins + stored.losses + stored.draws, 0) << player->Id();
    EXPECT_EQ(stored.points, 0) << player->Id();
  }
}

TEST_F(HostileGameTest, AResultWaitsForABusyDatabaseWhileTheServerGoesOn) {
  StartAndOpen();
  TestClient& winner = *han_;
  TestClient& loser = *cho_;
  DatabaseWriteLock lock(server_.Database());
  ASSERT_TRUE(lock.Held());
  ChoLosesItsKing();
  EXPECT_TRUE(alice_.Quiet(msgid::CSV_GAMEOVERRESULT, milliseconds(700))) << "announced before it was stored";
  // Standing still for the lock takes seconds; a loaded machine's slowness less.
  EXPECT_LT(RoomChatEcho(alice_), milliseconds(2000)) << "the server stood still";
  lock.Release();

  const auto result = GameOver();
  ASSERT_TRUE(result);
  EXPECT_GT(EntryOf(*result, winner.Id()).ChangePoint, 0);
  EXPECT_EQ(EntryOf(*result, winner.Id()).Pebble, 250 + kBet);
  EXPECT_EQ(Stored(winner.Id()).wins, 1);
  EXPECT_EQ(Stored(winner.Id()).money, 250 + kBet);
  EXPECT_EQ(Stored(loser.Id()).losses, 1);
  EXPECT_EQ(Stored(loser.Id()).money, 250 - kBet);
}

TEST_F(ImpatientResultTest, AResultTheDatabaseNeverTakesIsReportedAsNotCounted) {
  StartAndOpen();
  {
    DatabaseWriteLock lock(server_.Database());
    ASSERT_TRUE(lock.Held());
    ChoLosesItsKing();
    const std::string notice =
        Utf8ToCp949("게임 결과를 저장하지 못해 이번 게임은 기록되지 않았습니다. 머니와 전적은 그대로입니다.");
    for (TestClient* player : {&alice_, &bob_}) {
      const auto told = player->WaitFor(msgid::CSV_SERVERMSG, milliseconds(3000));
      ASSERT_TRUE(told) << player->Id();
      EXPECT_EQ(told->Bytes(6, static_cast<std::size_t>(told->I16(4))), notice);
    }
    const auto result = GameOver(milliseconds(1000));
    ASSERT_TRUE(result);
    for (const auto& entry : *result) {
      EXPECT_EQ(entry.ChangePoint, 0) << "shown as not counted";
      EXPECT_EQ(entry.ChangeValue, 0);
      EXPECT_EQ(entry.Pebble, 250);
      EXPECT_EQ(entry.WinNum + entry.LoseNum, 0);
    }
  }
  std::this_thread::sleep_for(milliseconds(600));  // nothing is stored later either
  for (TestClient* player : {&alice_, &bob_}) {
    const Figures stored = Stored(player->Id());
    EXPECT_EQ(stored.money, 250);
    EXPECT_EQ(stored.wins + stored.losses + stored.draws, 0);
  }
  // The room plays again.
  ASSERT_TRUE(Start(alice_, bob_));
}

}  // namespace
}  // namespace tovrik::server::testing
