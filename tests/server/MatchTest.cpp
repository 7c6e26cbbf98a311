// The referee of one game, played through without sockets: turns after each
// kind of shot, the ends of a game, the deadlines, the item gauges, and what
// a result does to the players' records.
#include <gtest/gtest.h>

#include <vector>

#include "server/GameRules.h"
#include "server/Match.h"

namespace tovrik::server {
namespace {

using namespace std::chrono_literals;
using Kind = MatchStep::Kind;

constexpr int kHan = 0;  // seat 0 plays Han, seat 1 Cho
constexpr int kCho = 1;

class MatchTest : public ::testing::Test {
 protected:
  MatchTest() { rules_.gaugePerTurn = 1.0f; rules_.gaugePerKnock = 0.5f; }

  Match Started(bool items = true) {
    Match match(rules_, {kSideHan, kSideCho}, items, t0_);
    EXPECT_EQ(match.Report(kHan, {}, t0_).kind, Kind::None);
    const MatchStep first = match.Report(kCho, {}, t0_);
    EXPECT_EQ(first.kind, Kind::NextTurn);
    EXPECT_EQ(first.seat, kCho) << "Cho opens";
    return match;
  }
  // A flick by the player to move, then both stop reports.
  MatchStep Shot(Match& match, const std::vector<int>& hanFell, const std::vector<int>& choFell) {
    const int shooter = match.Turn();
    int stone = kStonesPerSide - 1;
    while (stone > 0 && !match.StoneAlive(shooter, stone)) --stone;
    EXPECT_EQ(match.Flick(shooter, stone, now_), MoveVerdict::Accepted);
    EXPECT_EQ(match.Report(kHan, hanFell, now_).kind, Kind::None);
    return match.Report(kCho, choFell, now_);
  }

  GameRules rules_;
  Match::TimePoint t0_{};
  Match::TimePoint now_ = t0_ + 1s;
};

TEST_F(MatchTest, NextTurnAfterEachKindOfShot) {
  struct Case {
    const char* what;
    std::vector<int> hanFell, choFell;  // Cho shoots
    int next;
  };
  const Case cases[] = {
      {"clean knock-off plays again", {5}, {}, kCho},
      {"two knocked off, none lost", {7, 12}, {}, kCho},
      {"nothing fell: turn passes", {}, {}, kHan},
      {"own stone lost as well: turn passes", {6}, {9}, kHan},
      {"only own stone lost: turn passes", {}, {11}, kHan},
      {"a stone already off the board does not count", {5}, {}, kHan},
      {"an index outside the side does not count", {16, -1}, {}, kHan},
  };
  Match match = Started();
  for (const Case& c : cases) {
    // Give Cho the turn for every case.
    if (match.Turn() != kCho) {
      ASSERT_EQ(match.TimeOut(kHan, now_).seat, kCho);
    }
    const MatchStep step = Shot(match, c.hanFell, c.choFell);
    EXPECT_EQ(step.kind, Kind::NextTurn) << c.what;
    EXPECT_EQ(step.seat, c.next) << c.what;
  }
  EXPECT_EQ(match.StonesLeft(kHan), 16 - 4);
  EXPECT_EQ(match.StonesLeft(kCho), 16 - 2);
}

TEST_F(MatchTest, GameEnds) {
  struct Case {
    const char* what;
    std::vector<int> hanFell, choFell;
    int winner;
    GameEnd end;
  };
  const Case cases[] = {
      {"Han's king fell", {0}, {}, kCho, GameEnd::KingLost},
      {"the shooter's own king fell", {3}, {0, 4}, kHan, GameEnd::KingLost},
      {"both kings fell: draw", {0}, {0}, -1, GameEnd::BothDown},
  };
  for (const Case& c : cases) {
    Match match = Started();
    const MatchStep step = Shot(match, c.hanFell, c.choFell);
    EXPECT_EQ(step.kind, Kind::GameOver) << c.what;
    EXPECT_EQ(step.winner, c.winner) << c.what;
    EXPECT_EQ(step.end, c.end) << c.what;
    EXPECT_EQ(match.Phase(), MatchPhase::Over);
    EXPECT_EQ(match.Forfeit(kHan).kind, Kind::None) << "a finished game stays finished";
  }
}

TEST_F(MatchTest, ASideDownToItsKingPlaysOnUntilTheKingFalls) {
  Match match = Started();
  std::vector<int> hanMinors;
  for (int stone = 1; stone < kStonesPerSide; ++stone) hanMinors.push_back(stone);
  ASSERT_EQ(Shot(match, hanMinors, {}).seat, kCho);
  EXPECT_EQ(match.StonesLeft(kHan), 1);
  // Only the king is left; a shot of Han's that loses it ends the game.
  ASSERT_EQ(match.TimeOut(kCho, now_).seat, kHan);
  ASSERT_EQ(Shot(match, {}, {3}).seat, kHan) << "the king alone knocks off a stone";
  const MatchStep step = Shot(match, {0}, {});
  EXPECT_EQ(step.kind, Kind::GameOver);
  EXPECT_EQ(step.winner, kCho);
}

TEST_F(MatchTest, OnlyThePlayerToMoveMoves) {
  Match match = Started();
  EXPECT_EQ(match.StoneClick(kHan, 3), MoveVerdict::NotYourTurn);
  EXPECT_EQ(match.Flick(kHan, 3, now_), MoveVerdict::NotYourTurn);
  EXPECT_EQ(match.TimeOut(kHan, now_).kind, Kind::None);
  EXPECT_EQ(match.StoneClick(kCho, 3), MoveVerdict::Accepted);
  EXPECT_EQ(match.Flick(kCho, 16, now_), MoveVerdict::BadStone);
  ASSERT_EQ(match.Flick(kCho, 3, now_), MoveVerdict::Accepted);
  EXPECT_EQ(match.Flick(kCho, 3, now_), MoveVerdict::NotYourTurn) << "one flick per turn";
  EXPECT_EQ(match.TimeOut(kCho, now_).kind, Kind::None) << "a running shot is not timed out";
  EXPECT_EQ(match.Report(kCho, {}, now_).kind, Kind::None);
  EXPECT_EQ(match.Report(kCho, {}, now_).kind, Kind::None) << "a second report changes nothing";
  EXPECT_EQ(match.Report(kHan, {}, now_).seat, kHan);
}

TEST_F(MatchTest, Deadlines) {
  rules_.turnTime = 1000ms;
  rules_.turnGrace = 500ms;
  rules_.reportTime = 2000ms;
  {
    Match match(rules_, {kSideHan, kSideCho}, false, t0_);
    match.Report(kHan, {}, t0_);
    EXPECT_EQ(match.Tick(t0_ + 1999ms).kind, Kind::None);
    const MatchStep step = match.Tick(t0_ + 2000ms);
    EXPECT_EQ(step.kind, Kind::GameOver);
    EXPECT_EQ(step.winner, kHan) << "Cho never finished its opening";
    EXPECT_EQ(step.end, GameEnd::MissingReport);
  }
  Match match = Started(false);
  EXPECT_EQ(match.Tick(t0_ + 1499ms).kind, Kind::None);
  const MatchStep passed = match.Tick(t0_ + 1500ms);
  EXPECT_EQ(passed.kind, Kind::NextTurn) << "turn time plus grace";
  EXPECT_EQ(passed.seat, kHan);
  ASSERT_EQ(match.Flick(kHan, 1, t0_ + 1600ms), MoveVerdict::Accepted);
  match.Report(kHan, {}, t0_ + 1700ms);
  EXPECT_EQ(match.Tick(t0_ + 3599ms).kind, Kind::None);
  const MatchStep missed = match.Tick(t0_ + 3600ms);
  EXPECT_EQ(missed.kind, Kind::GameOver);
  EXPECT_EQ(missed.winner, kHan) << "Cho's stop report never came";

  Match silent = Started(false);
  silent.Flick(kCho, 1, t0_);
  EXPECT_EQ(silent.Tick(t0_ + 2000ms).winner, -1) << "neither reported: nobody wins";
}

TEST_F(MatchTest, GaugesGrowPerTurnAndKnockOffAndCapAtTen) {
  Match match = Started();
  EXPECT_FLOAT_EQ(match.Gauge(kCho), 1.0f);
  EXPECT_FLOAT_EQ(match.Gauge(kHan), 0.0f);
  Shot(match, {4, 5, 6}, {});  // Cho plays again: 1 + 3 * 0.5 + 1
  EXPECT_FLOAT_EQ(match.Gauge(kCho), 3.5f);
  for (int i = 0; i < 20; ++i) match.TimeOut(match.Turn(), now_);
  EXPECT_FLOAT_EQ(match.Gauge(kCho), 10.0f);
  EXPECT_FLOAT_EQ(match.Gauge(kHan), 10.0f);
}

TEST_F(MatchTest, ItemsNeedTheirThresholdAndResetTheGauge) {
  rules_.gaugePerTurn = 2.5f;
  struct Case {
    int kind;
    int turns;  // of Cho's, so its gauge is 2.5 per turn
  };
  for (const Case c : {Case{kItemPowerUp, 1}, Case{kItemChange, 2}, Case{kItemTeleport, 3}, Case{kItemNuclear, 4}}) {
    Match match = Started();
    for (int turn = 1; turn < c.turns; ++turn) {
      EXPECT_EQ(match.UseItem(kCho, c.kind), MoveVerdict::GaugeTooLow) << c.kind << " at turn " << turn;
      match.TimeOut(kCho, now_);
      match.TimeOut(kHan, now_);
    }
    EXPECT_EQ(match.UseItem(kCho, c.kind), MoveVerdict::Accepted) << c.kind;
    EXPECT_FLOAT_EQ(match.Gauge(kCho), 0.0f);
    EXPECT_EQ(match.Turn(), kCho) << "arming an item does not end the turn";
  }
  Match plain = Started(false);
  EXPECT_EQ(plain.UseItem(kCho, kItemPowerUp), MoveVerdict::NoItems);
  EXPECT_EQ(Started().UseItem(kCho, 4), MoveVerdict::GaugeTooLow) << "no such item";
}

TEST_F(MatchTest, ChangeTeleportAndNuclear) {
  rules_.gaugePerTurn = 10.0f;
  Match match = Started();
  EXPECT_EQ(match.Change(kCho, 9, 1), MoveVerdict::NotArmed);
  ASSERT_EQ(match.UseItem(kCho, kItemChange), MoveVerdict::Accepted);
  EXPECT_EQ(match.Change(kCho, 9, 1), MoveVerdict::BadStone) << "major 1 is still on the board";
  match.TimeOut(kCho, now_);
  match.TimeOut(kHan, now_);
  ASSERT_EQ(Shot(match, {}, {2}).seat, kHan);  // Cho lost major 2
  match.TimeOut(kHan, now_);
  ASSERT_EQ(match.UseItem(kCho, kItemChange), MoveVerdict::Accepted);
  EXPECT_EQ(match.Change(kCho, 9, 2), MoveVerdict::Accepted);
  EXPECT_TRUE(match.StoneAlive(kCho, 2));
  EXPECT_FALSE(match.StoneAlive(kCho, 9));
  EXPECT_EQ(match.Turn(), kCho) << "change does not end the turn";
  EXPECT_EQ(match.Teleport(kCho, 3), MoveVerdict::NotArmed) << "one item per arming";

  match.TimeOut(kCho, now_);
  match.TimeOut(kHan, now_);
  ASSERT_EQ(match.UseItem(kCho, kItemTeleport), MoveVerdict::Accepted);
  EXPECT_EQ(match.Teleport(kCho, 3), MoveVerdict::Accepted);
  EXPECT_EQ(match.Turn(), kCho) << "teleport does not end the turn";

  match.TimeOut(kCho, now_);
  match.TimeOut(kHan, now_);
  ASSERT_EQ(match.UseItem(kCho, kItemNuclear), MoveVerdict::Accepted);
  ASSERT_EQ(match.Nuclear(kCho, 4, now_), MoveVerdict::Accepted);
  EXPECT_EQ(match.Phase(), MatchPhase::Shot) << "a blast ends the turn like a flick";
  EXPECT_FALSE(match.StoneAlive(kCho, 4)) << "the exploding stone is off the board";
  match.Report(kCho, {}, now_);
  const std::vector<int> fallen{7};
  const MatchStep step = match.Report(kHan, fallen, now_);
  EXPECT_EQ(step.seat, kCho) << "the exploded stone is the blast's price, not a loss";
}

TEST_F(MatchTest, BlowingUpTheOwnKingLoses) {
  rules_.gaugePerTurn = 10.0f;
  Match match = Started();
  ASSERT_EQ(match.UseItem(kCho, kItemNuclear), MoveVerdict::Accepted);
  ASSERT_EQ(match.Nuclear(kCho, kKingStone, now_), MoveVerdict::Accepted);
  match.Report(kCho, {}, now_);
  const MatchStep step = match.Report(kHan, {}, now_);
  EXPECT_EQ(step.kind, Kind::GameOver);
  EXPECT_EQ(step.winner, kHan);
}

TEST_F(MatchTest, ForfeitHandsTheGameToTheOther) {
  Match match = Started();
  const MatchStep step = match.Forfeit(kCho);
  EXPECT_EQ(step.winner, kHan);
  EXPECT_EQ(step.end, GameEnd::Left);
}

UserRecord User(int money, int points, int wins = 0, int losses = 0, int draws = 0) {
  UserRecord user;
  user.money = money;
  user.points = points;
  user.wins = wins;
  user.losses = losses;
  user.draws = draws;
  return user;
}

TEST(SettleGameTest, MoneyPointsAndCounts) {
  GameRules rules;  // win 20, loss 10, bonus 10
  struct Case {
    const char* what;
    int winner;
    UserRecord a, b;
    int bet;
    bool plusA;
    int moneyA, moneyB, pointsA, pointsB, changeA, changeB;
  };
  const Case cases[] = {
      {"plain win", 0, User(500, 100), User(300, 50), 100, false, 600, 200, 120, 40, 20, -10},
      {"plus point raises a win", 0, User(500, 100), User(300, 50), 100, true, 600, 200, 130, 40, 30, -10},
      {"points never below 0, a loss still reads as one", 0, User(500, 0), User(300, 4), 100, false, 600, 200, 20,
       0, 20, -10},
      {"the loser pays at most what it has", 1, User(40, 0), User(300, 0), 100, false, 0, 340, 0, 20, -10, 20},
      {"draw moves nothing", -1, User(500, 100), User(300, 50), 100, true, 500, 300, 100, 50, 0, 0},
  };
  for (const Case& c : cases) {
    const auto result = SettleGame(rules, c.winner, {c.a, c.b}, c.bet, {c.plusA, false});
    EXPECT_EQ(result[0].after.money, c.moneyA) << c.what;
    EXPECT_EQ(result[1].after.money, c.moneyB) << c.what;
    EXPECT_EQ(result[0].after.points, c.pointsA) << c.what;
    EXPECT_EQ(result[1].after.points, c.pointsB) << c.what;
    EXPECT_EQ(result[0].pointChange, c.changeA) << c.what;
    EXPECT_EQ(result[1].pointChange, c.changeB) << c.what;
    const int winsA = c.winner == 0 ? 1 : 0, winsB = c.winner == 1 ? 1 : 0, draws = c.winner < 0 ? 1 : 0;
    EXPECT_EQ(result[0].after.wins, winsA) << c.what;
    EXPECT_EQ(result[1].after.losses, winsA) << c.what;
    EXPECT_EQ(result[1].after.wins, winsB) << c.what;
    EXPECT_EQ(result[0].after.draws, draws) << c.what;
    EXPECT_EQ(result[1].after.draws, draws) << c.what;
  }
}

TEST(ItemUsableTest, LimitsAndPeriods) {
  const std::int64_t day = 86400, now = 100 * day;
  ItemRecord item;
  item.itemCode = kPlusPointItem;
  EXPECT_TRUE(ItemUsable(item, now)) << "unlimited";
  item.useLimit = 2;
  item.usedCount = 2;
  EXPECT_FALSE(ItemUsable(item, now)) << "used up";
  item = ItemRecord{};
  item.useDays = 7;
  EXPECT_TRUE(ItemUsable(item, now)) << "period not started";
  item.startTime = now - 7 * day;
  EXPECT_FALSE(ItemUsable(item, now)) << "period over";
  item.startTime = now - 6 * day;
  EXPECT_TRUE(ItemUsable(item, now));
  item.useDays = -1;
  EXPECT_FALSE(ItemUsable(item, now)) << "invalid";
}

}  // namespace
}  // namespace tovrik::server
