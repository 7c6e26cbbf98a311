// The client's game wired to the rest of the client: its messages leave on
// the game server connection, its turns read the event loop's clock, and a
// game without those services fails loudly instead of losing moves.

#include "ControllerFixture.h"

#include "base/Log.h"
#include "game/Game.h"
#include "protocol/RelayMessages.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using namespace tovrik::app;
using namespace tovrik::app::test;
using namespace tovrik::protocol;

namespace {

TEST_F(Controller, TheClientsGameSendsOnTheGameConnectionAndReadsTheLoopsClock) {
  IntoLobby();
  tovrik::game::Game.DoExitSubscript(1);
  auto frame = game.Receive(loop);
  ASSERT_TRUE(frame);
  ASSERT_EQ(frame->id, msgid::CCL_EXITSUBSCRIPT);
  auto sent = Parse<CCL_EXITSUBSCRIPT>(*frame);
  ASSERT_TRUE(sent);
  EXPECT_EQ(sent->Info->UNum.get(), 42);
  EXPECT_EQ(std::string(ReadText(sent->Info->ID)), "hong");
  EXPECT_EQ(sent->Info->reserve.get(), 1);

  clock.Advance(1234);
  NEXTPLAYER next;
  SetRelayID(next.ID, "hong");
  tovrik::game::Game.OnNextPlayer(&next);
  EXPECT_EQ(tovrik::game::Game.turnStart, clock.NowMs()) << "the turn is timed with the loop's clock";
  EXPECT_EQ(screens.effects.back(), tovrik::game::kSoundMyTurn) << "and its effects reach the sound";
  tovrik::game::Game.ResetGame();
}

TEST(GameServices, AGameWithoutSenderOrClockFailsLoudly) {
  tovrik::game::CField field;
  std::array<tovrik::game::CPlayer, tovrik::game::kPlayerSlots> players;
  tovrik::game::CGame bare(field, players);
#ifdef NDEBUG
  std::vector<std::string> errors;
  tovrik::base::LogSink previous = tovrik::base::SetLogSink([&](const tovrik::base::LogRecord& record) {
    if (record.level == tovrik::base::LogLevel::Error) errors.emplace_back(record.text);
  });
  bare.DoExitSubscript(1);
  bare.OnTimer();
  tovrik::base::SetLogSink(previous);
  EXPECT_EQ(errors, (std::vector<std::string>{"the game has no sender: a message to the server is lost",
                                              "the game has no clock: the turn clock stands still"}));
#else
  EXPECT_DEATH(bare.DoExitSubscript(1), "CGame used without its services");
  EXPECT_DEATH(bare.OnTimer(), "CGame used without its services");
#endif
}

}  // namespace
