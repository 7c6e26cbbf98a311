#pragma once
// One game room of a channel: two seats, a master, the users it has banished,
// and the game being played in it.

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "server/Match.h"
#include "server/PasswordGuard.h"

namespace tovrik::server {

struct RoomSettings {
  std::string title;     // code page 949, at most 31 bytes
  int maxUser = 2;       // as asked: 2, 4 or 6 (a room seats two players)
  int bet = 0;
  int level = 0;         // 0-14
  bool secret = false;
  int option = 0;
  std::string password;  // at most 4 bytes
  bool superRoom = false;
};

struct Room {
  static constexpr int kSeats = 2;

  int roomNo = 0;
  RoomSettings settings;
  std::array<std::int64_t, kSeats> seats{};  // user ids, 0 = free seat
  std::int64_t master = 0;
  bool playing = false;
  bool settling = false;  // the last game's result waits for the database (still "playing")
  std::set<std::string> banished;  // login ids
  PasswordGuard passwordGuard;      // wrong passwords of a secret room
  // Per seat: READY pressed for the coming game; leaving reserved for the
  // end of the running game.
  std::array<bool, kSeats> ready{};
  std::array<bool, kSeats> exitReserved{};
  int gamesPlayed = 0;  // sides alternate from one game to the next
  std::optional<Match> match;

  int UserCount() const;
  int SeatOf(std::int64_t userId) const;  // -1 when not seated
  int FreeSeat() const;                   // -1 when full
  bool Has(std::int64_t userId) const { return SeatOf(userId) >= 0; }
};

}  // namespace tovrik::server
