// The driver's choice of flick: the stone it drags and where it pulls to.

#include <gtest/gtest.h>

#include <cmath>

#include "BoardPlayer.h"

namespace tovrik::e2e {
namespace {

constexpr PageRect kView{0, 0, 596, 600, true};

TEST(BoardPlayerTest, StonesAreReadFromTheAnswerOrRefused) {
  const auto spots = ParseStones({{"own", "0:100,200;5:110,210"}, {"other", "-"}});
  ASSERT_TRUE(spots);
  ASSERT_EQ(spots->own.size(), 2u);
  EXPECT_EQ(spots->own[1].index, 5);
  EXPECT_EQ(spots->own[1].y, 210);
  EXPECT_TRUE(spots->other.empty());
  EXPECT_FALSE(ParseStones({{"own", "0:100"}, {"other", "-"}}));
  EXPECT_FALSE(ParseStones({{"own", "-"}}));
}

// The stone whose path to the king is clear wins over a nearer blocked one,
// and the pull points straight away from the king.
TEST(BoardPlayerTest, FlickGoesAtTheKingAlongAClearPath) {
  BoardSpots spots;
  spots.own = {{1, 300, 400}, {2, 400, 300}};
  spots.other = {{0, 300, 200}, {3, 300, 300}};  // 3 blocks stone 1's path
  const auto drag = ChooseFlick(spots, kView);
  ASSERT_TRUE(drag);
  EXPECT_EQ(drag->fromX, 400);
  EXPECT_EQ(drag->fromY, 300);
  // Pulled away from (300,200): down and to the right, on the same line.
  EXPECT_GT(drag->toX, 400);
  EXPECT_GT(drag->toY, 300);
  EXPECT_NEAR(drag->toX - 400, drag->toY - 300, 1);
  EXPECT_NEAR(std::hypot(drag->toX - 400, drag->toY - 300), 95, 1);
}

TEST(BoardPlayerTest, PullStaysOnTheViewNearItsEdgeAndNothingIsChosenWithoutStones) {
  BoardSpots spots;
  spots.own = {{1, 300, 560}};
  spots.other = {{0, 300, 200}};
  const auto drag = ChooseFlick(spots, kView);
  ASSERT_TRUE(drag);
  EXPECT_EQ(drag->toX, 300);
  EXPECT_LT(drag->toY, 599);
  EXPECT_GE(drag->toY - 560, 30);
  spots.other.clear();
  EXPECT_FALSE(ChooseFlick(spots, kView));
}

}  // namespace
}  // namespace tovrik::e2e
