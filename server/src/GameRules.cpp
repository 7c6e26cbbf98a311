#include "server/GameRules.h"

#include <algorithm>

namespace tovrik::server {

float ItemThreshold(int kind) {
  switch (kind) {
    case kItemPowerUp: return 2.5f;
    case kItemChange: return 5.0f;
    case kItemTeleport: return 7.5f;
    case kItemNuclear: return 10.0f;
    default: return -1.0f;
  }
}

std::array<PlayerSettlement, 2> SettleGame(const GameRules& rules, int winnerSeat,
                                           const std::array<UserRecord, 2>& before, int bet,
                                           const std::array<bool, 2>& plusPoint) {
  std::array<PlayerSettlement, 2> result{PlayerSettlement{before[0]}, PlayerSettlement{before[1]}};
  if (winnerSeat != 0 && winnerSeat != 1) {
    for (auto& player : result) ++player.after.draws;
    return result;
  }
  const int loserSeat = 1 - winnerSeat;
  PlayerSettlement& winner = result[static_cast<std::size_t>(winnerSeat)];
  PlayerSettlement& loser = result[static_cast<std::size_t>(loserSeat)];

  const int stake = std::clamp(bet, 0, std::max(0, loser.after.money));
  loser.after.money -= stake;
  loser.moneyChange = -stake;
  winner.after.money += stake;
  winner.moneyChange = stake;

  const int winPoints = rules.winPoints + (plusPoint[static_cast<std::size_t>(winnerSeat)] ? rules.plusPointBonus : 0);
  winner.after.points += winPoints;
  winner.pointChange = std::max(1, winPoints);
  loser.after.points = std::max(0, loser.after.points - rules.lossPoints);
  loser.pointChange = -std::max(1, rules.lossPoints);

  ++winner.after.wins;
  ++loser.after.losses;
  return result;
}

bool ItemUsable(const ItemRecord& item, std::int64_t now) {
  if (item.useDays < 0 || item.useLimit < 0) return false;
  if (item.useLimit > 0 && item.usedCount >= item.useLimit) return false;
  if (item.useDays > 0 && item.startTime > 0 && now >= item.startTime + std::int64_t{item.useDays} * 86400) {
    return false;
  }
  return true;
}

}  // namespace tovrik::server
