#pragma once
// Plays a game the way a person does: when it is the client's turn, it looks
// where the board shows the stones, picks one of its own and pulls it back
// away from the opposing king (or the nearest opposing stone), and drags it
// on the page through the automation channel.

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "DesktopClient.h"

namespace tovrik::e2e {

struct StoneSpot {
  int index = 0;
  int x = 0, y = 0;
};

struct BoardSpots {
  std::vector<StoneSpot> own, other;
};

// The stones of an answer to "stones"; nullopt when the answer is malformed.
std::optional<BoardSpots> ParseStones(const Answer& answer);

struct Drag {
  int fromX = 0, fromY = 0, toX = 0, toY = 0;
};

// The flick at the opposing king (else at the first opposing stone), with
// the own stone nearest to it whose path is clear of other stones and that
// has room for a full pull inside `area` (the game view), the pull never
// leaving it. nullopt when either side has no stone left.
std::optional<Drag> ChooseFlick(const BoardSpots& spots, const PageRect& area);

// Takes one client's turns until its game shows the result.
class BoardPlayer {
 public:
  // `resultFrame`: where the frame is saved once the result shows (the
  // board is cleared a few seconds later); empty keeps none.
  explicit BoardPlayer(DesktopClient& client, std::filesystem::path resultFrame = {})
      : client_(client), resultFrame_(std::move(resultFrame)) {}

  // One look at the client: shoots when it is its turn. Empty, or what
  // went wrong (three drags in a row that did not start a shot).
  std::string Poll();
  bool ResultShown() const { return resultShown_; }
  int Result() const { return result_; }
  int Shots() const { return shots_; }

 private:
  std::string Shoot();

  DesktopClient& client_;
  std::filesystem::path resultFrame_;
  std::optional<PageRect> view_;
  bool resultShown_ = false;
  int result_ = 0;
  int shots_ = 0;
  int missedDrags_ = 0;
};

// Plays until every client shows its result; what went wrong, or empty.
std::string PlayUntilResult(std::vector<BoardPlayer*> players, std::chrono::seconds limit,
                            const std::function<void(int shots)>& afterShot = {});

}  // namespace tovrik::e2e
