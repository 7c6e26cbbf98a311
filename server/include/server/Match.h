#pragma once
// One game between the two seats of a room, as the server referees it: the
// opening, whose turn it is, the item gauges, the stones each side has left
// (from the clients' stop reports) and the end of the game. Time is passed
// in by the caller, so the whole game can be played through without sockets
// or waiting; the game server calls Tick regularly for the deadlines.

#include <array>
#include <chrono>
#include <span>

#include "server/GameRules.h"

namespace tovrik::server {

enum class MatchPhase {
  Opening,  // waiting for both clients to finish their opening
  Turn,     // a player is to move
  Shot,     // a flick or a blast runs; waiting for both stop reports
  Over,
};

enum class GameEnd {
  KingLost,       // a side's king left the board (a side with no stones has lost its king too)
  BothDown,       // both sides lost in the same shot: a draw
  Left,           // a player left the room or disconnected
  MissingReport,  // a client missed the deadline for its report
};

// What the room must be told after an event.
struct MatchStep {
  enum class Kind { None, NextTurn, GameOver };
  Kind kind = Kind::None;
  int seat = -1;    // NextTurn: whose turn begins
  int winner = -1;  // GameOver: the winning seat, -1 for a draw
  GameEnd end = GameEnd::KingLost;
};

// Why a move was refused (Accepted: relay it).
enum class MoveVerdict { Accepted, NotYourTurn, NoItems, GaugeTooLow, NotArmed, BadStone };
const char* Describe(MoveVerdict verdict);
const char* Describe(GameEnd end);

class Match {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;

  // `sides[seat]` is kSideHan or kSideCho, one of each.
  Match(const GameRules& rules, std::array<int, 2> sides, bool itemChannel, TimePoint now);

  MatchPhase Phase() const { return phase_; }
  int Turn() const { return phase_ == MatchPhase::Turn ? turn_ : -1; }
  int Side(int seat) const { return seats_[Index(seat)].side; }
  float Gauge(int seat) const { return seats_[Index(seat)].gauge; }
  int StonesLeft(int seat) const;
  bool StoneAlive(int seat, int stone) const;
  TimePoint Deadline() const { return deadline_; }

  // A client's report: at the end of the opening (no stones), or after a
  // shot with its own stones that fell. Late and repeated reports are ignored.
  MatchStep Report(int seat, std::span<const int> fallen, TimePoint now);
  // The player to move ran out of time.
  MatchStep TimeOut(int seat, TimePoint now);
  // Deadlines: the turn clock passes the turn, a missing report loses.
  MatchStep Tick(TimePoint now);
  // The seat left the room or lost its connection.
  MatchStep Forfeit(int seat);

  // Moves of the player to move. Only a flick and a blast end the turn.
  MoveVerdict StoneClick(int seat, int stone) const;
  MoveVerdict UseItem(int seat, int kind);
  MoveVerdict Change(int seat, int minor, int major);
  MoveVerdict Teleport(int seat, int stone);
  MoveVerdict Nuclear(int seat, int stone, TimePoint now);
  MoveVerdict Flick(int seat, int stone, TimePoint now);

 private:
  struct SeatState {
    int side = 0;
    float gauge = 0.0f;
    std::array<bool, kStonesPerSide> alive{};
    bool reported = false;
    int fallenThisShot = 0;
  };

  static std::size_t Index(int seat) { return seat == 1 ? 1 : 0; }
  static bool ValidStone(int stone) { return stone >= 0 && stone < kStonesPerSide; }
  MoveVerdict CheckMover(int seat) const;
  MoveVerdict UseArmed(int seat, int kind, bool validTarget);
  void StartShot(int shooter, TimePoint now);
  MatchStep StartTurn(int seat, TimePoint now);
  MatchStep Decide(TimePoint now);
  MatchStep MissedReports();
  MatchStep Finish(int winner, GameEnd end);
  bool Lost(int seat) const;

  GameRules rules_;
  bool itemChannel_;
  MatchPhase phase_ = MatchPhase::Opening;
  std::array<SeatState, 2> seats_;
  int turn_ = -1;
  int shooter_ = -1;
  int armedItem_ = -1;
  TimePoint deadline_;
};

}  // namespace tovrik::server
