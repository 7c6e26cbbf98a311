// Whole games over real sockets against tovrik-server: the start, the
// opening, turns after each kind of shot, moves out of turn, time-outs and
// deadlines, items and their gauges, leaving, exit reservations, results in
// the database, and the item list with the administrative grant.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <vector>

#include "GameFixture.h"
#include "ServerHarness.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/TextField.h"
#include "server/Cp949.h"

namespace tovrik::server::testing {
namespace {

std::optional<protocol::SMALLROOMINFO> RoomChange(TestClient& observer, int roomNo, int playing) {
  for (;;) {
    const auto change = observer.WaitFor(msgid::CSV_CHANGEROOM);
    if (!change) return std::nullopt;
    const auto room = change->As<protocol::SMALLROOMINFO>();
    if (room.RoomNo == roomNo && room.Playing == playing) return room;
  }
}

TEST_F(GameTest, WholeGamesToTheirResultsWithSidesAlternatingAndMoneyChecked) {
  TestClient carol;
  ASSERT_TRUE(carol.Login(server_.Master(), "carol", 1));
  roomNo_ = OpenRoom();
  ASSERT_GT(roomNo_, 0);

  alice_.Send<protocol::CCL_ASK_STARTGAME>(roomNo_, 0, "alice");
  const auto notReady = alice_.WaitFor(msgid::CSV_SERVERMSG);
  ASSERT_TRUE(notReady) << "a start before the guest is ready is refused with a notice";
  EXPECT_EQ(notReady->I32(0), 0);
  EXPECT_TRUE(bob_.Quiet(msgid::CCL_STARTINFO));
  bob_.Send<protocol::CCL_READYTOSTART>("bob");
  bob_.Send<protocol::CCL_ASK_STARTGAME>(roomNo_, 1, "bob");
  EXPECT_TRUE(bob_.Quiet(msgid::CCL_STARTINFO)) << "only the master starts";
  alice_.DropQueued();

  // Game 1: the master plays Han.
  const auto start = Start(alice_, bob_);
  ASSERT_TRUE(start);
  EXPECT_EQ(protocol::ReadText(start->ID[0]), "alice");
  EXPECT_EQ(protocol::ReadText(start->ID[1]), "bob");
  for (int seat = 0; seat < 2; ++seat) {
    EXPECT_EQ(start->Seat[seat].seated, 1);
    EXPECT_EQ(start->Seat[seat].inGame, 1);
    EXPECT_EQ(start->Pebble[seat], 250);
  }
  EXPECT_EQ(start->Seat[0].side, kHanSide);
  EXPECT_EQ(start->Seat[1].side, kChoSide);
  EXPECT_TRUE(RoomChange(carol, roomNo_, 1)) << "the lobby sees the room playing";

  Report(alice_, {});
  EXPECT_TRUE(bob_.Quiet(msgid::CCL_NEXTPLAYER)) << "no turn before both openings are over";
  Report(bob_, {});
  const auto first = NextTurn();
  ASSERT_TRUE(first);
  EXPECT_EQ(protocol::ReadText(first->ID), "bob") << "Cho opens";
  EXPECT_FLOAT_EQ(first->Gauge, 2.5f);
  EXPECT_FLOAT_EQ(first->OtherGauge, 0.0f);

  Flick(bob_, 3);
  const auto relayed = alice_.WaitFor(msgid::CCL_STONEHIT);
  ASSERT_TRUE(relayed);
  EXPECT_EQ(relayed->As<protocol::STONEHITINFO>().StoneIndex, 3);
  Report(alice_, {0});
  Report(bob_, {});
  const auto result = GameOver();
  ASSERT_TRUE(result);
  const auto& aliceEntry = EntryOf(*result, "alice");
  const auto& bobEntry = EntryOf(*result, "bob");
  EXPECT_EQ(aliceEntry.Pebble, 150);
  EXPECT_EQ(aliceEntry.Point, 0);
  EXPECT_EQ(aliceEntry.WinNum, 0);
  EXPECT_EQ(aliceEntry.LoseNum, 1);
  EXPECT_EQ(aliceEntry.ChangePoint, -10) << "a loss reads as one even at 0 points";
  EXPECT_EQ(aliceEntry.ChangeValue, -kBet);
  EXPECT_EQ(bobEntry.Pebble, 350);
  EXPECT_EQ(bobEntry.Point, 20);
  EXPECT_EQ(bobEntry.WinNum, 1);
  EXPECT_EQ(bobEntry.LoseNum, 0);
  EXPECT_EQ(bobEntry.ChangePoint, 20);
  const Figures aliceStored = Stored("alice"), bobStored = Stored("bob");
  EXPECT_EQ(aliceStored.money, 150);
  EXPECT_EQ(aliceStored.points, 0);
  EXPECT_EQ(aliceStored.losses, 1);
  EXPECT_EQ(bobStored.money, 350);
  EXPECT_EQ(bobStored.points, 20);
  EXPECT_EQ(bobStored.wins, 1);
  EXPECT_TRUE(RoomChange(carol, roomNo_, 0)) << "the lobby sees the room waiting again";

  // Game 2: the sides change; alice loses again.
  const auto second = Start(alice_, bob_);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->Seat[0].side, kChoSide);
  EXPECT_EQ(second->Seat[1].side, kHanSide);
  EXPECT_EQ(second->Pebble[0], 150);
  EXPECT_EQ(second->Pebble[1], 350);
  Report(alice_, {});
  Report(bob_, {});
  const auto opening = NextTurn();
  ASSERT_TRUE(opening);
  EXPECT_EQ(protocol::ReadText(opening->ID), "alice");
  Shoot(alice_, 0);
  Report(alice_, {0});
  Report(bob_, {});
  ASSERT_TRUE(GameOver());
  EXPECT_EQ(Stored("alice").money, 50);
  EXPECT_EQ(Stored("bob").money, 450);
  EXPECT_EQ(Stored("bob").wins, 2);

  // Game 3: alice cannot pay the bet any more.
  bob_.Send<protocol::CCL_READYTOSTART>("bob");
  ASSERT_TRUE(alice_.WaitFor(msgid::CCL_READYTOSTART));
  alice_.Send<protocol::CCL_ASK_STARTGAME>(roomNo_, 0, "alice");
  const auto noMoney = alice_.WaitFor(msgid::CSV_SERVERMSG);
  ASSERT_TRUE(noMoney);
  EXPECT_EQ(noMoney->I32(0), 0);
  EXPECT_TRUE(bob_.Quiet(msgid::CCL_STARTINFO));
}

TEST_F(GameTest, ShooterPlaysAgainOnlyAfterACleanKnockOff) {
  StartAndOpen();
  struct Case {
    const char* what;
    std::vector<int> shooterFell, otherFell;
    bool again;
  };
  const Case cases[] = {
      {"clean knock-off", {}, {5}, true},
      {"nothing fell", {}, {}, false},
      {"knocked one off but lost one", {9}, {6}, false},
      {"only lost one", {10}, {}, false},
  };
  for (const Case& c : cases) {
    TestClient& shooter = *cho_;
    TestClient& other = *han_;
    Shoot(shooter, 15);
    Report(shooter, c.shooterFell);
    Report(other, c.otherFell);
    const auto next = NextTurn();
    ASSERT_TRUE(next) << c.what;
    EXPECT_EQ(protocol::ReadText(next->ID), c.again ? shooter.Id() : other.Id()) << c.what;
    if (!c.again) {
      // Hand the turn back to Cho for the next case.
      TimeOut(other);
      ASSERT_TRUE(NextTurn()) << c.what;
    }
  }
}

TEST_F(GameTest, GaugeOfACleanKnockOff) {
  StartAndOpen();
  Shoot(*cho_, 15);
  Report(*cho_, {});
  Report(*han_, {4, 5});
  const auto next = NextTurn();
  ASSERT_TRUE(next);
  EXPECT_EQ(protocol::ReadText(next->ID), cho_->Id());
  EXPECT_FLOAT_EQ(next->Gauge, 2.5f + 2 * 0.5f + 2.5f) << "a turn, two stones, another turn";
  EXPECT_FLOAT_EQ(next->OtherGauge, 0.0f);
}

TEST_F(GameTest, MovesOfThePlayerNotToMoveAreDropped) {
  roomNo_ = OpenRoom();
  ASSERT_GT(roomNo_, 0);
  Flick(alice_, 3);
  EXPECT_TRUE(bob_.Quiet(msgid::CCL_STONEHIT)) << "no game: no moves";
  ASSERT_TRUE(Start(alice_, bob_));
  Report(alice_, {});
  Report(bob_, {});
  ASSERT_TRUE(NextTurn());

  protocol::STONECLICK click;
  protocol::SetRelayID(click.ID, han_->Id());
  click.StoneIndex = 4;
  han_->Send<protocol::CCL_STONECLICK>(click);
  Flick(*han_, 4);
  UseItem(*han_, 0);
  EXPECT_TRUE(cho_->Quiet(msgid::CCL_STONECLICK));
  EXPECT_TRUE(cho_->Quiet(msgid::CCL_STONEHIT));
  EXPECT_TRUE(cho_->Quiet(msgid::CCL_USEITEM));

  protocol::SetRelayID(click.ID, cho_->Id());
  cho_->Send<protocol::CCL_STONECLICK>(click);
  EXPECT_TRUE(han_->WaitFor(msgid::CCL_STONECLICK)) << "the player to move is relayed";
  Flick(*cho_, 4);
  EXPECT_TRUE(han_->WaitFor(msgid::CCL_STONEHIT));
  Flick(*cho_, 5);
  EXPECT_TRUE(han_->Quiet(msgid::CCL_STONEHIT)) << "one flick per turn";
}

TEST_F(GameTest, TimeOutPassesTheTurnOnlyForThePlayerToMove) {
  StartAndOpen();
  TimeOut(*han_);
  EXPECT_TRUE(alice_.Quiet(msgid::CCL_NEXTPLAYER));
  TimeOut(*cho_);
  const auto next = NextTurn();
  ASSERT_TRUE(next);
  EXPECT_EQ(protocol::ReadText(next->ID), han_->Id());
  EXPECT_FLOAT_EQ(next->Gauge, 2.5f);
  EXPECT_FLOAT_EQ(next->OtherGauge, 2.5f);
  TimeOut(*han_);
  const auto back = NextTurn();
  ASSERT_TRUE(back);
  EXPECT_EQ(protocol::ReadText(back->ID), cho_->Id());
  EXPECT_FLOAT_EQ(back->Gauge, 5.0f);
}

TEST_F(GameTest, BothKingsInOneShotIsADraw) {
  StartAndOpen();
  Shoot(*cho_, 15);
  Report(alice_, {0});
  Report(bob_, {0, 3});
  const auto result = GameOver();
  ASSERT_TRUE(result);
  for (const auto& entry : *result) {
    EXPECT_EQ(entry.ChangePoint, 0);
    EXPECT_EQ(entry.Pebble, 250);
    EXPECT_EQ(entry.WinNum, 0);
    EXPECT_EQ(entry.LoseNum, 0);
  }
  EXPECT_EQ(Stored("alice").draws, 1);
  EXPECT_EQ(Stored("bob").draws, 1);
  EXPECT_EQ(Stored("bob").money, 250);
}

TEST_F(GameTest, LeavingOrDisconnectingDuringAGameLosesIt) {
  StartAndOpen();
  alice_.Send<protocol::CSV_ASK_OUTROOM>(roomNo_, alice_.UNum(), "alice");
  auto result = GameOver();
  ASSERT_TRUE(result);
  EXPECT_GT(EntryOf(*result, "bob").ChangePoint, 0);
  EXPECT_LT(EntryOf(*result, "alice").ChangePoint, 0);
  EXPECT_TRUE(alice_.WaitFor(msgid::CSV_ACCEPT_OUTROOM));
  EXPECT_EQ(Stored("bob").wins, 1);
  EXPECT_EQ(Stored("alice").losses, 1);

  // Back in, now as the guest of bob's room; then bob drops his connection.
  alice_.Send<protocol::CSV_ASK_ENTERROOM>(roomNo_, alice_.UNum(), "alice", "");
  ASSERT_TRUE(alice_.WaitFor(msgid::CSV_ACCEPT_ENTERROOM));
  ASSERT_TRUE(Start(bob_, alice_));
  bob_.Close();
  const auto won = alice_.WaitFor(msgid::CSV_GAMEOVERRESULT);
  ASSERT_TRUE(won);
  EXPECT_GT(EntryOf({won->As<protocol::GAMEOVERRESULT>(4), won->As<protocol::GAMEOVERRESULT>(48)}, "alice")
                .ChangePoint,
            0);
  EXPECT_EQ(Stored("alice").wins, 1);
  EXPECT_EQ(Stored("bob").losses, 1);
  EXPECT_EQ(Stored("bob").money, 250);
}

TEST_F(GameTest, ExitReservationTakesThePlayerOutAfterTheGame) {
  StartAndOpen();
  alice_.Send<protocol::CCL_EXITSUBSCRIPT>(roomNo_, alice_.UNum(), "alice", 1);
  EXPECT_TRUE(bob_.WaitFor(msgid::CCL_EXITSUBSCRIPT)) << "the reservation is announced";
  bob_.Send<protocol::CCL_EXITSUBSCRIPT>(roomNo_, bob_.UNum(), "bob", 1);
  bob_.Send<protocol::CCL_EXITSUBSCRIPT>(roomNo_, bob_.UNum(), "bob", 0);
  ASSERT_TRUE(alice_.WaitFor(msgid::CCL_EXITSUBSCRIPT));
  ASSERT_TRUE(alice_.WaitFor(msgid::CCL_EXITSUBSCRIPT));
  Shoot(*cho_, 15);
  Report(alice_, {});
  Report(bob_, {0});
  ASSERT_TRUE(GameOver());
  EXPECT_TRUE(alice_.WaitFor(msgid::CSV_ACCEPT_OUTROOM)) << "reserved: out of the room";
  const auto left = bob_.WaitFor(msgid::CSV_USEROUTROOM);
  ASSERT_TRUE(left);
  EXPECT_EQ(left->Text(8, 16), "alice");
  EXPECT_TRUE(bob_.Quiet(msgid::CSV_ACCEPT_OUTROOM)) << "a cancelled reservation keeps the player in";
}

TEST_F(GameTest, ItemsNeedTheirGaugeAndOnlyTheBlastEndsTheTurn) {
  EnterItemChannel(alice_);
  EnterItemChannel(bob_);
  StartAndOpen();
  TestClient& cho = *cho_;
  TestClient& han = *han_;
  // Cho's turns come every other turn; its gauge grows by 2.5 each time.
  auto nextChoTurn = [&](float expectedGauge) {
    TimeOut(cho);
    ASSERT_TRUE(NextTurn());
    TimeOut(han);
    const auto next = NextTurn();
    ASSERT_TRUE(next);
    ASSERT_EQ(protocol::ReadText(next->ID), cho.Id());
    ASSERT_FLOAT_EQ(next->Gauge, expectedGauge);
  };
  auto refused = [&](int kind) {
    UseItem(cho, kind);
    return han.Quiet(msgid::CCL_USEITEM);
  };
  auto accepted = [&](int kind) {
    UseItem(cho, kind);
    const auto relayed = han.WaitFor(msgid::CCL_USEITEM);
    return relayed && relayed->As<protocol::USEITEM>().ItemKind == kind;
  };

  // Gauge 2.5: the power-up only. Then Cho loses its major stone 1.
  EXPECT_TRUE(refused(1));
  EXPECT_TRUE(accepted(0));
  Flick(cho, 15);
  ASSERT_TRUE(han.WaitFor(msgid::CCL_STONEHIT));
  Report(cho, {1});
  Report(han, {});
  ASSERT_TRUE(NextTurn());
  TimeOut(han);
  ASSERT_TRUE(NextTurn());
  nextChoTurn(5.0f);

  // Gauge 5: change brings major 1 back for minor 9; the turn goes on.
  EXPECT_TRUE(refused(2));
  EXPECT_TRUE(accepted(1));
  protocol::CHANGEITEM change;
  protocol::SetRelayID(change.ID, cho.Id());
  change.MinorIndex = 9;
  change.MajorIndex = 1;
  cho.Send<protocol::CCL_CHANGEITEM>(change);
  EXPECT_TRUE(han.WaitFor(msgid::CCL_CHANGEITEM));
  EXPECT_TRUE(han.Quiet(msgid::CCL_NEXTPLAYER)) << "change does not end the turn";
  nextChoTurn(2.5f);
  nextChoTurn(5.0f);
  nextChoTurn(7.5f);

  // Gauge 7.5: teleport; the turn goes on and Cho may still flick.
  EXPECT_TRUE(refused(3));
  EXPECT_TRUE(accepted(2));
  protocol::TELEPORTITEM teleport;
  protocol::SetRelayID(teleport.ID, cho.Id());
  teleport.StoneIndex = 3;
  teleport.TargetX = 300;
  teleport.TargetY = 200;
  cho.Send<protocol::CCL_TELEPORTITEM>(teleport);
  EXPECT_TRUE(han.WaitFor(msgid::CCL_TELEPORTITEM));
  EXPECT_TRUE(han.Quiet(msgid::CCL_NEXTPLAYER)) << "teleport does not end the turn";
  Flick(cho, 3);
  ASSERT_TRUE(han.WaitFor(msgid::CCL_STONEHIT));
  Report(cho, {});
  Report(han, {});
  ASSERT_TRUE(NextTurn());
  TimeOut(han);
  ASSERT_TRUE(NextTurn());
  nextChoTurn(5.0f);
  nextChoTurn(7.5f);
  nextChoTurn(10.0f);

  // Gauge 10: the blast ends the turn and is followed by stop reports.
  EXPECT_TRUE(accepted(3));
  protocol::NUCLEARITEM nuclear;
  protocol::SetRelayID(nuclear.ID, cho.Id());
  nuclear.StoneIndex = 5;
  cho.Send<protocol::CCL_NUCLEARITEM>(nuclear);
  EXPECT_TRUE(han.WaitFor(msgid::CCL_NUCLEARITEM));
  Flick(cho, 4);
  EXPECT_TRUE(han.Quiet(msgid::CCL_STONEHIT)) << "the blast was the turn's shot";
  Report(cho, {});
  Report(han, {6});
  const auto after = NextTurn();
  ASSERT_TRUE(after);
  EXPECT_EQ(protocol::ReadText(after->ID), cho.Id()) << "a blast that knocks one off cleanly plays again";
  EXPECT_FLOAT_EQ(after->Gauge, 0.5f + 2.5f);
}

TEST_F(GameTest, ItemsAreRefusedInAPlainChannel) {
  StartAndOpen();
  UseItem(*cho_, 0);
  EXPECT_TRUE(han_->Quiet(msgid::CCL_USEITEM));
}

TEST_F(GameTest, GrantedItemsAreListedAndThePlusPointRaisesAWin) {
  const std::string tool = std::string(TOVRIK_RUNTIME_DIR) + "/tovrik-server --db " + server_.Database().string();
  ASSERT_EQ(std::system((tool + " --grant-item alice:501:1 --grant-item alice:401 >/dev/null").c_str()), 0);
  EXPECT_NE(std::system((tool + " --grant-item nobody:501 2>/dev/null").c_str()), 0) << "unknown user";
  EXPECT_NE(std::system((tool + " --grant-item alice:777 2>/dev/null").c_str()), 0) << "unknown item";

  alice_.Send<protocol::CSV_ASK_GAMEITEMLIST>(0, 0);
  auto list = alice_.WaitFor(msgid::CSV_GAMEITEMLIST);
  ASSERT_TRUE(list);
  auto head = list->As<protocol::ITEMLISTHEAD>();
  EXPECT_EQ(head.Purpose, 0);
  EXPECT_EQ(head.KeepList, 0);
  ASSERT_EQ(head.ItemCnt, 2);
  auto plus = list->As<protocol::GAMEITEM>(36);
  EXPECT_EQ(plus.ItemCode, 501);
  EXPECT_EQ(plus.UseLimit, 1);
  EXPECT_EQ(plus.UsedCnt, 0);
  EXPECT_EQ(list->As<protocol::GAMEITEM>(36 + 52).ItemCode, 401);

  StartAndOpen();
  Shoot(*cho_, 15);
  Report(*cho_, {});
  Report(*han_, {});
  ASSERT_TRUE(NextTurn());
  Shoot(*han_, 15);  // alice plays Han and knocks off Cho's king
  Report(bob_, {0});
  Report(alice_, {});
  const auto result = GameOver();
  ASSERT_TRUE(result);
  EXPECT_EQ(EntryOf(*result, "alice").ChangePoint, 30);
  EXPECT_EQ(Stored("alice").points, 30);

  alice_.Send<protocol::CSV_ASK_GAMEITEMLIST>(0, 0);
  list = alice_.WaitFor(msgid::CSV_GAMEITEMLIST);
  ASSERT_TRUE(list);
  plus = list->As<protocol::GAMEITEM>(36);
  EXPECT_EQ(plus.UsedCnt, 1) << "one use of the item counted";
  EXPECT_NE(plus.StartTime.wYear, 0);
}

TEST_F(GameTest, ASuperRoomMasterCannotRemoveTheOpponentDuringAGame) {
  const std::string grant = std::string(TOVRIK_RUNTIME_DIR) + "/tovrik-server --db " + server_.Database().string() +
                            " --grant-item alice:401 >/dev/null";
  ASSERT_EQ(std::system(grant.c_str()), 0);
  roomNo_ = OpenRoom(true);
  ASSERT_GT(roomNo_, 0);
  ASSERT_TRUE(Start(alice_, bob_));
  alice_.Send<protocol::CSV_ASK_FORCEBANISH>("bob");
  EXPECT_TRUE(bob_.Quiet(msgid::CSV_ABNORMALOUTROOM));
  Report(alice_, {});
  Report(bob_, {});
  ASSERT_TRUE(NextTurn()) << "the game goes on";
  Shoot(*cho_, 15);
  Report(*han_, {0});
  Report(*cho_, {});
  ASSERT_TRUE(GameOver());
  alice_.Send<protocol::CSV_ASK_FORCEBANISH>("bob");
  EXPECT_TRUE(bob_.WaitFor(msgid::CSV_ABNORMALOUTROOM)) << "after the game the master may remove";
}

TEST_F(GameDeadlineTest, TheTurnClockPassesASilentTurn) {
  StartAndOpen();
  EXPECT_TRUE(bob_.Quiet(msgid::CCL_NEXTPLAYER, milliseconds(1000))) << "not before the turn and its grace are over";
  const auto next = NextTurn(milliseconds(5000));
  ASSERT_TRUE(next);
  EXPECT_EQ(protocol::ReadText(next->ID), han_->Id());
}

TEST_F(GameDeadlineTest, AMissingStopReportLosesTheGame) {
  StartAndOpen();
  Shoot(*cho_, 15);
  Report(*han_, {});
  const auto result = GameOver(milliseconds(5000));
  ASSERT_TRUE(result);
  EXPECT_LT(EntryOf(*result, cho_->Id()).ChangePoint, 0) << "Cho never reported";
  EXPECT_GT(EntryOf(*result, han_->Id()).ChangePoint, 0);
  EXPECT_EQ(Stored(han_->Id()).wins, 1);
}

TEST_F(GameDeadlineTest, AMissingOpeningReportLosesTheGame) {
  roomNo_ = OpenRoom();
  ASSERT_GT(roomNo_, 0);
  ASSERT_TRUE(Start(alice_, bob_));
  Report(alice_, {});
  const auto result = GameOver(milliseconds(5000));
  ASSERT_TRUE(result);
  EXPECT_GT(EntryOf(*result, "alice").ChangePoint, 0);
  EXPECT_LT(EntryOf(*result, "bob").ChangePoint, 0);
}

}  // namespace
}  // namespace tovrik::server::testing
