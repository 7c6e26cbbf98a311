#pragma once
// The figures of a game that are the server's own choice (turn clock, item
// gauges, points) and what a finished game does to the two players' records.
// Pure functions of their arguments: no sockets, no clock, no database.

#include <array>
#include <chrono>
#include <cstdint>

#include "server/Database.h"

namespace tovrik::server {

// Stone indices of one side: the king, then the majors, then the minors.
inline constexpr int kStonesPerSide = 16;
inline constexpr int kKingStone = 0;
inline constexpr int kFirstMajorStone = 1;
inline constexpr int kLastMajorStone = 8;
inline constexpr int kFirstMinorStone = 9;
inline constexpr int kLastMinorStone = 15;

inline constexpr int kSideHan = 1;
inline constexpr int kSideCho = 2;

// Item kinds as the clients number them, and the gauge each one needs.
enum ItemKind : int { kItemPowerUp = 0, kItemChange = 1, kItemTeleport = 2, kItemNuclear = 3 };
inline constexpr float kMaxGauge = 10.0f;
// -1 for a kind that does not exist.
float ItemThreshold(int kind);

// Shop item codes the server acts on.
inline constexpr int kJumpTicketItem = 201;
inline constexpr int kSuperRoomItem = 401;
inline constexpr int kPlusPointItem = 501;

struct GameRules {
  // A turn lasts as long as the client's clock (15 s); the server waits a
  // little longer before it passes the turn itself, so that a client's own
  // time-out always arrives first.
  std::chrono::milliseconds turnTime{15000};
  std::chrono::milliseconds turnGrace{5000};
  // How long after a flick (or the start) the server waits for the stop
  // reports (or the opening reports) of both clients.
  std::chrono::milliseconds reportTime{20000};
  // How long the server keeps trying to store a game's result while the
  // database is busy before it tells the players the game was not counted.
  std::chrono::milliseconds resultStoreTime{10000};
  float gaugePerTurn = 1.0f;   // at the start of each of the player's turns
  float gaugePerKnock = 0.5f;  // per opposing stone the player's shot knocks off
  int winPoints = 20;
  int lossPoints = 10;
  int plusPointBonus = 10;  // added to a win's points by the plus-point item
};

// What a finished game did to one player.
struct PlayerSettlement {
  UserRecord after;
  int pointChange = 0;  // as the result screen shows it: > 0 won, < 0 lost, 0 draw
  int moneyChange = 0;
};

// `winnerSeat` is 0 or 1, or -1 for a draw. The bet moves from the loser to
// the winner (never more than the loser holds); points rise by the win
// figure (plus the bonus for a holder of the plus-point item) and fall by
// the loss figure, never below 0. A loss always reports a negative change,
// even when the points were already 0, because the client tells a loss from
// a draw by that sign alone.
std::array<PlayerSettlement, 2> SettleGame(const GameRules& rules, int winnerSeat,
                                           const std::array<UserRecord, 2>& before, int bet,
                                           const std::array<bool, 2>& plusPoint);

// Whether an owned item may be used now (`now` in unix seconds): not invalid,
// not used up, and its period (if any, counted from its first use) not over.
bool ItemUsable(const ItemRecord& item, std::int64_t now);

}  // namespace tovrik::server
