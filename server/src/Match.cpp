#include "server/Match.h"

#include <algorithm>

namespace tovrik::server {

const char* Describe(MoveVerdict verdict) {
  switch (verdict) {
    case MoveVerdict::Accepted: return "accepted";
    case MoveVerdict::NotYourTurn: return "not the sender's turn";
    case MoveVerdict::NoItems: return "no items in this channel";
    case MoveVerdict::GaugeTooLow: return "item gauge below the item's threshold";
    case MoveVerdict::NotArmed: return "that item is not armed";
    case MoveVerdict::BadStone: return "no such stone on the board";
  }
  return "?";
}

const char* Describe(GameEnd end) {
  switch (end) {
    case GameEnd::KingLost: return "king lost";
    case GameEnd::BothDown: return "both sides down in one shot";
    case GameEnd::Left: return "a player left";
    case GameEnd::MissingReport: return "a report did not arrive in time";
  }
  return "?";
}

Match::Match(const GameRules& rules, std::array<int, 2> sides, bool itemChannel, TimePoint now)
    : rules_(rules), itemChannel_(itemChannel), deadline_(now + rules.reportTime) {
  for (std::size_t seat = 0; seat < seats_.size(); ++seat) {
    seats_[seat].side = sides[seat];
    seats_[seat].alive.fill(true);
  }
}

int Match::StonesLeft(int seat) const {
  const auto& alive = seats_[Index(seat)].alive;
  return static_cast<int>(std::count(alive.begin(), alive.end(), true));
}

bool Match::StoneAlive(int seat, int stone) const {
  return ValidStone(stone) && seats_[Index(seat)].alive[static_cast<std::size_t>(stone)];
}

// ---- Reports and deadlines ------------------------------------------------

MatchStep Match::Report(int seat, std::span<const int> fallen, TimePoint now) {
  SeatState& self = seats_[Index(seat)];
  if ((phase_ != MatchPhase::Opening && phase_ != MatchPhase::Shot) || self.reported) return {};
  self.reported = true;
  if (phase_ == MatchPhase::Opening) {
    if (!seats_[0].reported || !seats_[1].reported) return {};
    // The first turn is Cho's, as in Janggi.
    return StartTurn(seats_[0].side == kSideCho ? 0 : 1, now);
  }
  // A stone counts once, and only while the server still has it on the board.
  for (int stone : fallen) {
    if (!StoneAlive(seat, stone)) continue;
    self.alive[static_cast<std::size_t>(stone)] = false;
    ++self.fallenThisShot;
  }
  if (!seats_[0].reported || !seats_[1].reported) return {};
  return Decide(now);
}

MatchStep Match::TimeOut(int seat, TimePoint now) {
  if (phase_ != MatchPhase::Turn || seat != turn_) return {};
  return StartTurn(1 - turn_, now);
}

MatchStep Match::Tick(TimePoint now) {
  if (phase_ == MatchPhase::Over || now < deadline_) return {};
  if (phase_ == MatchPhase::Turn) return StartTurn(1 - turn_, now);
  return MissedReports();
}

MatchStep Match::MissedReports() {
  const bool silent0 = !seats_[0].reported, silent1 = !seats_[1].reported;
  if (silent0 && silent1) return Finish(-1, GameEnd::MissingReport);
  return Finish(silent0 ? 1 : 0, GameEnd::MissingReport);
}

MatchStep Match::Forfeit(int seat) {
  if (phase_ == MatchPhase::Over) return {};
  return Finish(seat == 0 ? 1 : 0, GameEnd::Left);
}

bool Match::Lost(int seat) const {
  // The king is one of the side's stones: a side without stones has lost it.
  return !StoneAlive(seat, kKingStone);
}

MatchStep Match::Decide(TimePoint now) {
  const bool lost0 = Lost(0), lost1 = Lost(1);
  if (lost0 && lost1) return Finish(-1, GameEnd::BothDown);
  if (lost0 || lost1) {
    return Finish(lost0 ? 1 : 0, GameEnd::KingLost);
  }
  SeatState& shooter = seats_[Index(shooter_)];
  const int knocked = seats_[Index(1 - shooter_)].fallenThisShot;
  shooter.gauge = std::min(kMaxGauge, shooter.gauge + rules_.gaugePerKnock * static_cast<float>(knocked));
  // A clean knock-off earns another shot.
  const bool again = knocked >= 1 && shooter.fallenThisShot == 0;
  return StartTurn(again ? shooter_ : 1 - shooter_, now);
}

MatchStep Match::StartTurn(int seat, TimePoint now) {
  phase_ = MatchPhase::Turn;
  turn_ = seat;
  armedItem_ = -1;
  SeatState& player = seats_[Index(seat)];
  player.gauge = std::min(kMaxGauge, player.gauge + rules_.gaugePerTurn);
  deadline_ = now + rules_.turnTime + rules_.turnGrace;
  MatchStep step;
  step.kind = MatchStep::Kind::NextTurn;
  step.seat = seat;
  return step;
}

MatchStep Match::Finish(int winner, GameEnd end) {
  phase_ = MatchPhase::Over;
  turn_ = -1;
  MatchStep step;
  step.kind = MatchStep::Kind::GameOver;
  step.winner = winner;
  step.end = end;
  return step;
}

// ---- Moves -----------------------------------------------------------------

MoveVerdict Match::CheckMover(int seat) const {
  return phase_ == MatchPhase::Turn && seat == turn_ ? MoveVerdict::Accepted : MoveVerdict::NotYourTurn;
}

MoveVerdict Match::StoneClick(int seat, int stone) const {
  if (const MoveVerdict verdict = CheckMover(seat); verdict != MoveVerdict::Accepted) return verdict;
  return StoneAlive(seat, stone) ? MoveVerdict::Accepted : MoveVerdict::BadStone;
}

MoveVerdict Match::UseItem(int seat, int kind) {
  if (const MoveVerdict verdict = CheckMover(seat); verdict != MoveVerdict::Accepted) return verdict;
  if (!itemChannel_) return MoveVerdict::NoItems;
  const float threshold = ItemThreshold(kind);
  SeatState& player = seats_[Index(seat)];
  if (threshold < 0.0f || player.gauge < threshold) return MoveVerdict::GaugeTooLow;
  player.gauge = 0.0f;
  armedItem_ = kind;
  return MoveVerdict::Accepted;
}

MoveVerdict Match::UseArmed(int seat, int kind, bool validTarget) {
  if (const MoveVerdict verdict = CheckMover(seat); verdict != MoveVerdict::Accepted) return verdict;
  if (armedItem_ != kind) return MoveVerdict::NotArmed;
  if (!validTarget) return MoveVerdict::BadStone;
  armedItem_ = -1;
  return MoveVerdict::Accepted;
}

MoveVerdict Match::Change(int seat, int minor, int major) {
  // The given-up minor must be on the board and the major to bring back off it.
  const bool valid = minor >= kFirstMinorStone && minor <= kLastMinorStone && StoneAlive(seat, minor) &&
                     major >= kFirstMajorStone && major <= kLastMajorStone && !StoneAlive(seat, major);
  const MoveVerdict verdict = UseArmed(seat, kItemChange, valid);
  if (verdict != MoveVerdict::Accepted) return verdict;
  auto& alive = seats_[Index(seat)].alive;
  alive[static_cast<std::size_t>(minor)] = false;
  alive[static_cast<std::size_t>(major)] = true;
  return verdict;
}

MoveVerdict Match::Teleport(int seat, int stone) { return UseArmed(seat, kItemTeleport, StoneAlive(seat, stone)); }

MoveVerdict Match::Nuclear(int seat, int stone, TimePoint now) {
  const MoveVerdict verdict = UseArmed(seat, kItemNuclear, StoneAlive(seat, stone));
  if (verdict != MoveVerdict::Accepted) return verdict;
  // The exploding stone leaves the board; no client reports it as fallen.
  seats_[Index(seat)].alive[static_cast<std::size_t>(stone)] = false;
  StartShot(seat, now);
  return verdict;
}

MoveVerdict Match::Flick(int seat, int stone, TimePoint now) {
  if (const MoveVerdict verdict = CheckMover(seat); verdict != MoveVerdict::Accepted) return verdict;
  if (!StoneAlive(seat, stone)) return MoveVerdict::BadStone;
  StartShot(seat, now);
  return MoveVerdict::Accepted;
}

void Match::StartShot(int shooter, TimePoint now) {
  phase_ = MatchPhase::Shot;
  shooter_ = shooter;
  armedItem_ = -1;
  for (auto& seat : seats_) {
    seat.reported = false;
    seat.fallenThisShot = 0;
  }
  deadline_ = now + rules_.reportTime;
}

}  // namespace tovrik::server
