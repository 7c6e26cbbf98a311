#include "BoardPlayer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <thread>

namespace tovrik::e2e {
namespace {

using namespace std::chrono_literals;

constexpr int kGameViewControlId = 12345;
// A pull of 90 pixels and more is a full-power flick.
constexpr double kFullPowerPull = 90.0;
constexpr double kFullPull = 95.0;
constexpr double kShortestPull = 20.0;
constexpr double kStoneRadius = 14.0;

std::optional<std::vector<StoneSpot>> ParseSpots(const std::string& text) {
  std::vector<StoneSpot> spots;
  if (text == "-") return spots;
  std::istringstream items(text);
  std::string item;
  while (std::getline(items, item, ';')) {
    StoneSpot spot;
    if (std::sscanf(item.c_str(), "%d:%d,%d", &spot.index, &spot.x, &spot.y) != 3) return std::nullopt;
    spots.push_back(spot);
  }
  return spots;
}

double Distance(double ax, double ay, double bx, double by) { return std::hypot(bx - ax, by - ay); }

// Whether the straight path from `from` to `to` passes clear of every stone
// but the two ends.
bool PathClear(const StoneSpot& from, const StoneSpot& to, const BoardSpots& spots) {
  const double dx = to.x - from.x, dy = to.y - from.y, length = std::hypot(dx, dy);
  if (length <= 0) return true;
  auto blocks = [&](const StoneSpot& s) {
    if ((s.x == from.x && s.y == from.y) || (s.x == to.x && s.y == to.y)) return false;
    const double along = ((s.x - from.x) * dx + (s.y - from.y) * dy) / length;
    if (along <= 0 || along >= length) return false;
    const double across = std::abs((s.x - from.x) * dy - (s.y - from.y) * dx) / length;
    return across < 2 * kStoneRadius;
  };
  return std::none_of(spots.own.begin(), spots.own.end(), blocks) &&
         std::none_of(spots.other.begin(), spots.other.end(), blocks);
}

bool Inside(const PageRect& area, double x, double y) {
  return x >= area.x + 1 && y >= area.y + 1 && x < area.x + area.width - 1 && y < area.y + area.height - 1;
}

}  // namespace

std::optional<BoardSpots> ParseStones(const Answer& answer) {
  if (!answer.contains("own") || !answer.contains("other")) return std::nullopt;
  auto own = ParseSpots(answer.at("own"));
  auto other = ParseSpots(answer.at("other"));
  if (!own || !other) return std::nullopt;
  return BoardSpots{std::move(*own), std::move(*other)};
}

std::optional<Drag> ChooseFlick(const BoardSpots& spots, const PageRect& area) {
  if (spots.own.empty() || spots.other.empty()) return std::nullopt;
  const auto king = std::find_if(spots.other.begin(), spots.other.end(), [](const StoneSpot& s) { return s.index == 0; });
  const StoneSpot& target = king != spots.other.end() ? *king : spots.other.front();
  struct Candidate {
    const StoneSpot* stone = nullptr;
    bool clear = false;
    bool fullPower = false;
    double distance = 0, ux = 0, uy = 0, pull = 0;
    // A clear path first, then a full pull, then the shorter way.
    bool BetterThan(const Candidate& o) const {
      if (clear != o.clear) return clear;
      if (fullPower != o.fullPower) return fullPower;
      return distance < o.distance;
    }
  };
  std::optional<Candidate> best;
  for (const StoneSpot& stone : spots.own) {
    Candidate c{&stone, PathClear(stone, target, spots), false, Distance(stone.x, stone.y, target.x, target.y)};
    // Pull away from the target: the stone flies the other way, at it.
    const double length = std::max(c.distance, 1.0);
    c.ux = (stone.x - target.x) / length;
    c.uy = (stone.y - target.y) / length;
    c.pull = kFullPull;
    while (c.pull > 0 && !Inside(area, stone.x + c.ux * c.pull, stone.y + c.uy * c.pull)) c.pull -= 1;
    c.fullPower = c.pull >= kFullPowerPull;
    if (c.pull >= kShortestPull && (!best || c.BetterThan(*best))) best = c;
  }
  if (!best) return std::nullopt;
  const StoneSpot& from = *best->stone;
  return Drag{from.x, from.y, static_cast<int>(std::lround(from.x + best->ux * best->pull)),
              static_cast<int>(std::lround(from.y + best->uy * best->pull))};
}

std::string BoardPlayer::Poll() {
  if (resultShown_) return {};
  std::string error;
  const auto game = client_.Ask("game", &error);
  if (!game) return error;
  if (game->at("showing") == "1") {
    resultShown_ = true;
    result_ = std::stoi(game->at("result"));
    return resultFrame_.empty() ? std::string() : client_.Do("save " + resultFrame_.string());
  }
  const bool myShot = game->at("phase") == "2" && game->at("myturn") == "1" && game->at("waiting") == "0" &&
                      game->at("aiming") == "0" && game->at("moving") == "0";
  return myShot ? Shoot() : std::string();
}

std::string BoardPlayer::Shoot() {
  std::string error;
  if (!view_) view_ = client_.Control(kGameViewControlId, &error);
  if (!view_) return error;
  const auto answer = client_.Ask("stones", &error);
  if (!answer) return error;
  const auto spots = ParseStones(*answer);
  if (!spots) return client_.Name() + ": cannot read the stones";
  const auto drag = ChooseFlick(*spots, *view_);
  if (!drag) return {};  // a side without stones: the result is on its way
  if (std::string failed = client_.Do("drag " + std::to_string(drag->fromX) + " " + std::to_string(drag->fromY) +
                                      " " + std::to_string(drag->toX) + " " + std::to_string(drag->toY));
      !failed.empty())
    return failed;
  // The flick ends the turn at once; a drag that missed the stone leaves it.
  if (client_.WaitForValue("game", "myturn", "0", 2s).empty()) {
    ++shots_;
    missedDrags_ = 0;
    return {};
  }
  if (++missedDrags_ < 3) return {};
  return client_.Name() + ": three drags in a row started no shot (the last from " + std::to_string(drag->fromX) +
         "," + std::to_string(drag->fromY) + " to " + std::to_string(drag->toX) + "," + std::to_string(drag->toY) + ")";
}

std::string PlayUntilResult(std::vector<BoardPlayer*> players, std::chrono::seconds limit,
                            const std::function<void(int shots)>& afterShot) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int shotsSeen = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    int shots = 0;
    bool allShown = true;
    for (BoardPlayer* player : players) {
      if (std::string failed = player->Poll(); !failed.empty()) return failed;
      shots += player->Shots();
      allShown &= player->ResultShown();
    }
    if (allShown) return {};
    if (shots != shotsSeen && afterShot) afterShot(shots);
    shotsSeen = shots;
    std::this_thread::sleep_for(100ms);
  }
  return "no result within " + std::to_string(limit.count()) + " s";
}

}  // namespace tovrik::e2e
