// Two clients of one game through a loopback relay, the robots' way: the
// test plays the server, relays every move to both and hands out the turns.
// One client is drawn by the game view on every tick. Both must agree on the
// board after every shot, and the drawn game must run exactly as the same
// game played without drawing: painting changes nothing in the simulation.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ViewRig.h"
#include "gameview/GameView.h"
#include "platform/EventLoop.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/RelayMessages.h"
#include "protocol/TextField.h"
#include "robot/RobotGame.h"
#include "robot/Strategy.h"

namespace tovrik::gameview {
namespace {

namespace msgid = protocol::msgid;
using Frame = std::vector<char>;

template <typename Message, typename... Args>
Frame Build(Args&&... args) {
  Message message;
  EXPECT_TRUE(message.Set(std::forward<Args>(args)...));
  return Frame(message.GetData(), message.GetData() + message.GetTotalSize());
}

int IdOf(const Frame& frame) {
  std::int16_t id = 0;
  std::memcpy(&id, frame.data() + 2, 2);
  return id;
}

class ManualClock : public game::IGameClock {
 public:
  unsigned TimeGetTime() override { return now; }
  unsigned now = 5000;
};

protocol::USERINFO User(const char* id) {
  protocol::USERINFO user;
  protocol::CopyIfShorter(user.ID, id);
  protocol::CopyIfShorter(user.NickName, id);
  user.Pebble = 1000;
  return user;
}

struct GameRecord {
  std::vector<std::uint64_t> hanHashes;
  std::vector<std::uint64_t> choHashes;
  int shots = 0;
  bool kingLost = false;
  int frames = 0;
};

// One whole game between "han" (seat 0, opened the room) and "cho"; with
// `drawn`, han's game runs in a game view that paints every tick.
class LoopbackGame {
 public:
  explicit LoopbackGame(bool drawn) {
    han.SetSelf(User("han"));
    cho.SetSelf(User("cho"));
    protocol::ROOMINFO room;
    room.RoomNo = 7;
    protocol::CopyIfShorter(room.MasterID, "han");
    han.OnCreatedRoom(room);
    han.OnUserEnteredRoom(User("cho"));
    protocol::ENTERROOMINFO entry;
    entry.GI.RI = room;
    entry.GI.UI[0] = User("han");
    entry.GI.UI[1] = User("cho");
    entry.Seat[0].seated = 1;
    EXPECT_TRUE(cho.OnEnteredRoom(entry));
    if (drawn) {
      view_ = std::make_unique<CGameView>(han.Game(), testing::GeneratedSprites(), host_,
                                          GameViewOptions{testing::kRuntime, false, 3}, viewClock_);
      view_->Create(nullptr, platform::Rect::FromSize(0, 0, kGamePageWidth, kGamePageHeight));
    }
  }

  GameRecord Play() {
    GameRecord record;
    Start();
    RunShots(record);
    robot::CStrategy strategies[2] = {robot::CStrategy(robot::StrategyKind::Aimed, 21),
                                      robot::CStrategy(robot::StrategyKind::Aimed, 22)};
    for (int shot = 0; shot < 400 && !KingLost(); ++shot) {
      robot::CRobotGame& shooter = shot % 2 == 0 ? cho : han;
      NextPlayer(shot % 2 == 0 ? "cho" : "han");
      // The shooter takes a moment to aim; both clients tick meanwhile.
      for (int i = 0; i < 10; ++i) Tick(record);
      const auto choice = strategies[shot % 2].Choose(shooter.Field(), shooter.Player(0).side);
      if (!choice) break;
      std::vector<Frame>& sent = &shooter == &han ? hanSent : choSent;
      const std::size_t before = sent.size();
      EXPECT_TRUE(shooter.Flick(choice->index, choice->angle, choice->drag)) << "shot " << shot;
      const std::vector<Frame> moves(sent.begin() + static_cast<long>(before), sent.end());
      for (const Frame& move : moves) ToBoth(move);
      RunShots(record);
      ++record.shots;
    }
    record.kingLost = KingLost();
    GameOver();
    // The result fades in on the drawn side.
    for (int i = 0; i < 50; ++i) Tick(record);
    record.hanHashes = han.ShotHashes();
    record.choHashes = cho.ShotHashes();
    return record;
  }

 private:
  bool KingLost() const {
    return !han.Field().hanStones[0].alive || !han.Field().choStones[0].alive;
  }

  void ToBoth(const Frame& frame) {
    for (robot::CRobotGame* robot : {&han, &cho}) {
      Frame copy = frame;
      ASSERT_TRUE(robot->OnRelayedFrame(IdOf(copy), copy.data(), static_cast<int>(copy.size())));
    }
  }

  void Start() {
    protocol::STARTINFO start;
    protocol::CopyIfShorter(start.ID[0], "han");
    protocol::CopyIfShorter(start.ID[1], "cho");
    for (int a = 0; a < 2; ++a) {
      start.Seat[a].seated = 1;
      start.Seat[a].inGame = 1;
      start.Pebble[a] = 1000;
    }
    start.Seat[0].side = game::kSideHan;
    start.Seat[1].side = game::kSideCho;
    ToBoth(Build<protocol::CCL_STARTINFO>(start));
  }

  // One tick of each client; the drawn one takes its tick from the view's
  // clock and is painted.
  void Tick(GameRecord& record) {
    if (view_) {
      viewClock_.Advance(20);
      view_->SendMessage(platform::WM_TIMER, CGameView::kTickTimerId);
      view_->Painter().Paint(view_->Page());
      ++record.frames;
    } else {
      han.Tick();
    }
    cho.Tick();
  }

  void RunShots(GameRecord& record) {
    for (int guard = 0; guard < 100000 && (han.NeedsFastTicks() || cho.NeedsFastTicks()); ++guard) Tick(record);
    ASSERT_FALSE(han.NeedsFastTicks() || cho.NeedsFastTicks());
  }

  void NextPlayer(const char* id) {
    protocol::NEXTPLAYER next;
    protocol::SetRelayID(next.ID, id);
    ToBoth(Build<protocol::CCL_NEXTPLAYER>(next));
  }

  void GameOver() {
    std::array<protocol::GAMEOVERRESULT, 2> results{};
    const bool hanWon = han.Field().hanStones[0].alive;
    protocol::CopyIfShorter(results[0].ID, "han");
    results[0].ChangePoint = hanWon ? 10 : -10;
    protocol::CopyIfShorter(results[1].ID, "cho");
    results[1].ChangePoint = hanWon ? -10 : 10;
    han.OnGameOver(results);
    cho.OnGameOver(results);
  }

  ManualClock clock_;
  platform::FakeClock viewClock_{9000};
  platform::EventLoop loop_{viewClock_};
  testing::FixedHost host_;
  std::unique_ptr<CGameView> view_;

 public:
  std::vector<Frame> hanSent;
  std::vector<Frame> choSent;
  robot::CRobotGame han{[this](const char* f, int n) { hanSent.emplace_back(f, f + n); }, clock_};
  robot::CRobotGame cho{[this](const char* f, int n) { choSent.emplace_back(f, f + n); }, clock_};
};

TEST(DrawnGame, WholeGameThroughTheRelayIsTheSameDrawnOrNot) {
  LoopbackGame plain(false);
  const GameRecord undrawn = plain.Play();
  LoopbackGame shown(true);
  const GameRecord drawn = shown.Play();

  EXPECT_TRUE(drawn.kingLost) << "the game ended without a fallen king after " << drawn.shots << " shots";
  EXPECT_GT(drawn.frames, 10 * drawn.shots);
  ASSERT_EQ(drawn.hanHashes.size(), static_cast<std::size_t>(drawn.shots));
  EXPECT_EQ(drawn.hanHashes, drawn.choHashes);
  EXPECT_EQ(drawn.hanHashes, undrawn.hanHashes);
  EXPECT_EQ(undrawn.hanHashes, undrawn.choHashes);
  EXPECT_EQ(shown.han.Field().phase, game::kPhaseResult);
}

}  // namespace
}  // namespace tovrik::gameview
