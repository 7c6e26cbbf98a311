// Games against players that lie or servers that are stopped or starved:
// flicks of not-a-number, an operator's shutdown during a game, and a
// database that another process keeps locked as a game ends.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "GameFixture.h"
#include "ServerHarness.h"
#include "protocol/MessageCatalogue.h"
#include "server/Cp949.h"

namespace tovrik::server::testing {
namespace {

class HostileGameTest : public GameFixture {
 protected:
  HostileGameTest() : GameFixture("") {}
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

}  // namespace
}  // namespace tovrik::server::testing
