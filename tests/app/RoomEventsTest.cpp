// The controller's handling of room play against a scripted game server:
// entering and leaving rooms, the room's users and master, the other
// player's relayed messages handed to the game, the result and the item
// prompts.

#include "EventFixture.h"

#include "app/ChatText.h"
#include "game/Levels.h"

#include <gtest/gtest.h>

using namespace tovrik::app;
using namespace tovrik::app::test;
using namespace tovrik::protocol;
using tovrik::game::Field;
using tovrik::game::Game;
using tovrik::game::Play;

namespace {

constexpr int kRoomNo = 21;
constexpr ChatColour kArrival{30, 150, 30};

class RoomEvents : public ControllerEvents {
 protected:
  void TearDown() override {
    Play[1].Clear();
    Game.ResetGame();
    ControllerEvents::TearDown();
  }

  // An acceptance with `seat0` and `seat1` seated ("" for a free seat) and
  // `master` as the room's master.
  static ENTERROOMINFO Entry(std::string_view seat0, std::string_view seat1, std::string_view master) {
    ENTERROOMINFO info;
    info.GI.RI = Room(kRoomNo, master, master == "hong" ? "Gildong" : "Kim");
    info.GI.RI.UserCnt = 2;
    info.GI.RI.MaxUser = 5;  // the client keeps rooms of two
    const std::string_view ids[2] = {seat0, seat1};
    for (int seat = 0; seat < 2; ++seat) {
      if (ids[seat].empty()) continue;
      info.GI.UI[seat] = ids[seat] == "hong" ? User(42, "hong", "Gildong") : User(7, ids[seat], "Kim");
      info.Seat[seat].seated = 1;
      info.Seat[seat].inGame = std::int8_t(seat == 0 ? 1 : 0);
    }
    return info;
  }

  void Enter(const ENTERROOMINFO& info) {
    CSV_ACCEPT_ENTERROOM accept;
    ASSERT_TRUE(accept.Set(info));
    SendAndSync(accept);
  }

  // Seated with kim, the master, in seat 1.
  void EnterAsGuest() {
    Enter(Entry("hong", "kim", "kim"));
    ASSERT_EQ(g_Where, kWhereGameRoom);
    screens.calls.clear();
    screens.chat.clear();
    screens.hidden.clear();
    screens.effects.clear();
  }

  void Start() {
    STARTINFO start;
    SetRelayID(start.ID[0], "hong");
    SetRelayID(start.ID[1], "kim");
    start.Seat[0] = {1, 1, 1, 0};
    start.Seat[1] = {1, 1, 2, 0};
    CCL_STARTINFO info;
    ASSERT_TRUE(info.Set(start));
    SendAndSync(info);
  }

  template <typename Record>
  static Record From(std::string_view id) {
    Record record;
    SetRelayID(record.ID, id);
    return record;
  }
};

// --- Entering -----------------------------------------------------------------------

// Who sits where in the acceptance decides between entering (with the
// server's seats mapped onto the local slots) and leaving at once.
TEST_F(RoomEvents, RoomEntryTable) {
  struct Case {
    const char* seat0;
    const char* seat1;
    const char* master;
    bool enters;
    int ownSeat;
    int seatZeroSlot;
    int opponentServerSeat;
  };
  const Case cases[] = {
      {"kim", "lee", "kim", false, 0, 0, 0},   // own id in no seat
      {"hong", "kim", "hong", false, 0, 0, 0}, // own user the master
      {"hong", "", "ghost", false, 0, 0, 0},   // no master seated
      {"hong", "kim", "kim", true, 0, 0, 1},   // own seat 0
      {"kim", "hong", "kim", true, 1, 1, 0},   // own seat 1
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.seat0) + "/" + c.seat1 + " master " + c.master);
    screens.calls.clear();
    screens.chat.clear();
    screens.hidden.clear();
    BeginRequest(Request::EnterRoom);
    Enter(Entry(c.seat0, c.seat1, c.master));
    EXPECT_FALSE(IsPending(Request::EnterRoom));
    if (!c.enters) {
      auto leave = Sent<CSV_ASK_OUTROOM>();
      ASSERT_TRUE(leave);
      EXPECT_EQ(leave->RoomNo->get(), kRoomNo) << "the leave names the accepted room";
      EXPECT_EQ(leave->UNum->get(), 42);
      EXPECT_EQ(leave->UserID->View(), "hong");
      EXPECT_EQ(g_Where, kWhereLobby);
      EXPECT_TRUE(screens.Called("lobby.cancel"));
      EXPECT_TRUE(screens.chat.empty());
      continue;
    }
    EXPECT_EQ(g_Where, kWhereGameRoom);
    EXPECT_EQ(g_RI.RoomNo.get(), kRoomNo);
    EXPECT_EQ(g_RI.MaxUser.get(), 2);
    EXPECT_EQ(Game.myServPNum, c.ownSeat);
    EXPECT_EQ(Game.seatZeroSlot, c.seatZeroSlot);
    EXPECT_EQ(Play[0].serverNum, c.ownSeat);
    EXPECT_EQ(Play[1].ID(), "kim");
    EXPECT_EQ(Play[1].serverNum, c.opponentServerSeat);
    EXPECT_EQ(Play[0].inGame, c.ownSeat == 0 ? 1 : 0) << "the seat's flags";
    EXPECT_EQ(Play[1].inGame, c.ownSeat == 0 ? 0 : 1);
    EXPECT_EQ(Play[0].seated, 1);
    EXPECT_TRUE(screens.Called("lobby.dismiss"));
    EXPECT_TRUE(screens.Called("room.chars hong kim"));
    EXPECT_EQ(dlg->Title(), "코르반타 토브릭 장기(Alpha-3) - [21번방] [레벨: " +
                                std::string(tovrik::game::GetLevelString(0)) + "] [방제목: Let us play] [공개]");
    ASSERT_EQ(screens.chat.size(), 1u);
    EXPECT_EQ(screens.chat[0].where, "room");
    EXPECT_EQ(screens.chat[0].text, "# <Gildong>님 입장 #\n");
    EXPECT_EQ(screens.chat[0].colour, kArrival);
    EXPECT_EQ(screens.hidden, std::vector<std::string>{Cp949("# <ID: hong(Gildong)>님 입장 #\n")});
    dlg->OnExitGame();
    EXPECT_EQ(g_Where, kWhereLobby);
  }
}

// An acceptance that arrives after the player has left the lobby (the
// waiting box was cancelled, the channel screen shows) is answered by
// leaving the accepted room.
TEST_F(RoomEvents, LateEntryAcceptanceIsAnsweredByLeaving) {
  g_Where = kWhereChannel;
  Enter(Entry("hong", "kim", "kim"));
  auto leave = Sent<CSV_ASK_OUTROOM>();
  ASSERT_TRUE(leave);
  EXPECT_EQ(leave->RoomNo->get(), kRoomNo);
  EXPECT_EQ(g_Where, kWhereChannel);
  EXPECT_TRUE(screens.chat.empty());
  EXPECT_EQ(g_RI.RoomNo.get(), 0);
}

TEST_F(RoomEvents, CreatedRoomThenAUserEntersAndLeaves) {
  BeginRequest(Request::CreateRoom);
  CSV_ACCEPT_CREATEROOM created;
  ASSERT_TRUE(created.Set(Room(30, "hong", "Gildong")));
  SendAndSync(created);
  EXPECT_FALSE(IsPending(Request::CreateRoom));
  ASSERT_EQ(g_Where, kWhereGameRoom);
  EXPECT_EQ(g_RI.RoomNo.get(), 30);
  EXPECT_TRUE(screens.Called("room.buttons"));
  EXPECT_TRUE(screens.Called("room.chars hong -"));
  EXPECT_EQ(screens.Chat("room"), std::vector<std::string>{"# <Gildong>님 입장 #\n"});

  screens.calls.clear();
  screens.chat.clear();
  screens.hidden.clear();
  CSV_USERENTERROOM arrival;
  ASSERT_TRUE(arrival.Set(1, User(7, "kim", "Kim")));
  SendAndSync(arrival);
  EXPECT_EQ(Play[1].ID(), "kim");
  EXPECT_EQ(Play[1].serverNum, 1);
  EXPECT_EQ(g_RI.UserCnt.get(), 2);
  EXPECT_EQ(screens.calls, (std::vector<std::string>{"room.chars hong kim", "room.buttons"}));
  ASSERT_EQ(screens.chat.size(), 1u);
  EXPECT_EQ(screens.chat[0].text, "# <Kim>님 입장 #\n");
  EXPECT_EQ(screens.chat[0].colour, kArrival);
  EXPECT_EQ(screens.hidden, std::vector<std::string>{Cp949("# <kim(Kim)>님 입장 #\n")});

  screens.calls.clear();
  screens.chat.clear();
  screens.hidden.clear();
  Play[1].ready = 1;
  CSV_USEROUTROOM left;
  ASSERT_TRUE(left.Set(30, 7, "kim"));
  SendAndSync(left);
  EXPECT_TRUE(Play[1].ID().empty());
  EXPECT_EQ(Play[1].ready, 0);
  EXPECT_EQ(g_RI.UserCnt.get(), 1);
  EXPECT_EQ(screens.calls, (std::vector<std::string>{"room.chars hong -", "room.buttons"}));
  EXPECT_EQ(screens.Chat("room"), std::vector<std::string>{"# <Kim>님 퇴장 #\n"});
  EXPECT_EQ(screens.hidden, std::vector<std::string>{Cp949("# <ID: kim(Kim)>님 퇴장 #\n")});
}

TEST_F(RoomEvents, AUserEnteringAFullRoomChangesNothing) {
  EnterAsGuest();
  const int users = g_RI.UserCnt.get();
  CSV_USERENTERROOM arrival;
  ASSERT_TRUE(arrival.Set(1, User(9, "lee", "Lee")));
  SendAndSync(arrival);
  EXPECT_EQ(Play[1].ID(), "kim");
  EXPECT_EQ(g_RI.UserCnt.get(), users);
  EXPECT_TRUE(screens.calls.empty());
  EXPECT_TRUE(screens.chat.empty());
}

// The master leaves: the server names the guest, who becomes master in the
// room record and can start.
TEST_F(RoomEvents, WhenTheMasterLeavesTheGuestBecomesMaster) {
  EnterAsGuest();
  CSV_USEROUTROOM left;
  ASSERT_TRUE(left.Set(kRoomNo, 7, "kim"));
  CSV_CHANGEROOMMASTER master;
  ASSERT_TRUE(master.Set(kRoomNo, 42, "hong"));
  Send(left);
  SendAndSync(master);
  EXPECT_EQ(std::string(ReadText(g_RI.MasterID)), "hong");
  EXPECT_EQ(std::string(ReadText(g_RI.MasterNick)), "Gildong");
  EXPECT_EQ(g_RI.MasterUNum.get(), 42);
  EXPECT_TRUE(screens.Called("room.buttons"));
  EXPECT_EQ(screens.Chat("room").back(), "# 당신은 방장입니다 #\n");
  EXPECT_EQ(screens.hidden.back(), Cp949("# 당신은 방장입니다 #\n"));
  EXPECT_EQ(dlg->Title(), "코르반타 토브릭 장기(Alpha-3) - [21번방] [배팅액: 100] [방제목: Let us play] [방장: Gildong] [공개]");

  // A master outside the room's slots, or none, is ignored.
  screens.chat.clear();
  CSV_CHANGEROOMMASTER stranger;
  ASSERT_TRUE(stranger.Set(kRoomNo, 9, "ghost"));
  CSV_CHANGEROOMMASTER nobody;
  ASSERT_TRUE(nobody.Set(kRoomNo, 9, ""));
  Send(stranger);
  SendAndSync(nobody);
  EXPECT_TRUE(screens.chat.empty());
  EXPECT_EQ(std::string(ReadText(g_RI.MasterID)), "hong");
}

TEST_F(RoomEvents, TheOtherPlayerNamedMaster) {
  BeginRequest(Request::CreateRoom);
  CSV_ACCEPT_CREATEROOM created;
  ASSERT_TRUE(created.Set(Room(30, "hong", "Gildong")));
  CSV_USERENTERROOM arrival;
  ASSERT_TRUE(arrival.Set(1, User(7, "kim", "Kim")));
  CSV_CHANGEROOMMASTER master;
  ASSERT_TRUE(master.Set(30, 7, "kim"));
  Send(created);
  Send(arrival);
  SendAndSync(master);
  EXPECT_EQ(std::string(ReadText(g_RI.MasterID)), "kim");
  EXPECT_EQ(screens.Chat("room").back(), "# [Kim]님이 방장입니다 #\n");
  EXPECT_EQ(screens.hidden.back(), Cp949("# [ID: kim(Kim)]님이 방장입니다#\n"));
}

// --- Leaving -------------------------------------------------------------------------

TEST_F(RoomEvents, LeavingReturnsToTheLobbyAndAsksForTheLists) {
  for (bool forced : {false, true}) {
    EnterAsGuest();
    BeginRequest(Request::LeaveRoom);
    if (forced) {
      CSV_ABNORMALOUTROOM removed;
      ASSERT_TRUE(removed.Set());
      SendAndSync(removed);
    } else {
      CSV_ACCEPT_OUTROOM left;
      ASSERT_TRUE(left.Set());
      SendAndSync(left);
    }
    EXPECT_EQ(g_Where, kWhereLobby) << forced;
    EXPECT_EQ(g_Wait, 0) << forced;
    EXPECT_EQ(g_RI.RoomNo.get(), 0) << forced;
    EXPECT_TRUE(Play[1].ID().empty()) << forced;
    EXPECT_TRUE(screens.Called("room.left")) << forced;
    EXPECT_TRUE(screens.Called("lobby.refresh")) << forced;
    EXPECT_TRUE(Quiet(game)) << "a forced exit asks the server nothing";
  }
}

// --- Relayed messages -------------------------------------------------------------------

TEST_F(RoomEvents, RelayedMovesBeforeTheStartAreIgnoredAndAfterItReachTheGame) {
  EnterAsGuest();
  CCL_STONECLICK click;
  STONECLICK picked = From<STONECLICK>("kim");
  picked.StoneIndex = 3;
  ASSERT_TRUE(click.Set(picked));
  SendAndSync(click);
  EXPECT_EQ(Field.choStones[3].selected, 0) << "no game yet";
  EXPECT_TRUE(screens.effects.empty());

  Start();
  EXPECT_EQ(g_RI.Playing, 1);
  EXPECT_EQ(Field.phase, tovrik::game::kPhaseOpening);
  EXPECT_EQ(Play[0].side, 1);
  EXPECT_EQ(Play[1].side, 2);
  EXPECT_TRUE(screens.Called("room.buttons"));
  SendAndSync(click);
  EXPECT_EQ(Field.choStones[3].selected, 1);
  EXPECT_EQ(screens.effects.back(), tovrik::game::kSoundPick) << "the game's effects reach the sound";

  NEXTPLAYER turn = From<NEXTPLAYER>("hong");
  turn.Gauge = 3.0f;
  CCL_NEXTPLAYER next;
  ASSERT_TRUE(next.Set(turn));
  SendAndSync(next);
  EXPECT_EQ(Game.myTurn, 1);
  EXPECT_EQ(Play[0].gauge, 3.0f);

  STONEHITINFO shot = From<STONEHITINFO>("kim");
  shot.StoneIndex = 3;
  shot.Angle = 90.0f;
  shot.Power = 5.0f;
  CCL_STONEHIT hit;
  ASSERT_TRUE(hit.Set(shot));
  SendAndSync(hit);
  EXPECT_EQ(Game.waitResult, 1);
  EXPECT_TRUE(Field.choStones[3].moving);
}

// The result ends the game; the stop report after it goes out through the
// socket layer, as every message of the game does.
TEST_F(RoomEvents, GameOverHandsBothResultsToTheGame) {
  EnterAsGuest();
  Start();
  BeginRequest(Request::StartGame);
  GAMEOVERRESULT results[2];
  CopyIfShorter(results[0].ID, "kim");
  results[0].ChangePoint = -10;
  CopyIfShorter(results[1].ID, "hong");
  results[1].ChangePoint = 10;
  results[1].Point = 1510;
  results[1].WinNum = 1;
  CSV_GAMEOVERRESULT over;
  ASSERT_TRUE(over.Set(results));
  SendAndSync(over);
  EXPECT_EQ(g_RI.Playing, 0);
  EXPECT_EQ(Game.resultShowing, 1);
  EXPECT_EQ(Field.resultKind, tovrik::game::kResultWin);
  EXPECT_EQ(Play[0].user.Point.get(), 1510);
  EXPECT_FALSE(IsPending(Request::StartGame));
  EXPECT_TRUE(screens.Called("room.resettimer"));

  // A READY while the result shows counts for the next game.
  CCL_READYTOSTART ready;
  ASSERT_TRUE(ready.Set("kim"));
  SendAndSync(ready);
  EXPECT_EQ(Play[1].ready, 0);
  EXPECT_EQ(Play[1].readyNext, 1);
}

TEST_F(RoomEvents, ReadyMarksTheNamedSlot) {
  EnterAsGuest();
  CCL_READYTOSTART ready;
  ASSERT_TRUE(ready.Set("kim"));
  CCL_READYTOSTART stranger;
  ASSERT_TRUE(stranger.Set("ghost"));
  Send(stranger);
  SendAndSync(ready);
  EXPECT_EQ(Play[1].ready, 1);
  EXPECT_EQ(screens.calls, std::vector<std::string>{"room.buttons"});
}

TEST_F(RoomEvents, ExitReservationIsAnnounced) {
  EnterAsGuest();
  CCL_EXITSUBSCRIPT reserve;
  ASSERT_TRUE(reserve.Set(kRoomNo, 7, "kim", 1));
  CCL_EXITSUBSCRIPT cancel;
  ASSERT_TRUE(cancel.Set(kRoomNo, 7, "kim", 0));
  Send(reserve);
  SendAndSync(cancel);
  ASSERT_EQ(screens.chat.size(), 1u);
  EXPECT_EQ(screens.chat[0].text, "[Kim]님 나가기 예약\n");
  EXPECT_EQ(screens.chat[0].colour, (ChatColour{150, 150, 0}));
}

// Room chat: a line of the current room from a player of it; another
// room's line, an unknown sender and a muted player are not shown; a long
// line is cut to 255 bytes on a character boundary before anything else.
TEST_F(RoomEvents, RoomChatTable) {
  EnterAsGuest();
  struct Case {
    int roomNo;
    const char* sender;
    bool muted;
    std::string text;
    const char* shown;
    std::string hidden;
  };
  const std::string longText(300, '\xB0');  // 150 two-byte characters
  const Case cases[] = {
      {kRoomNo, "kim", false, "hi\tthere", "Kim> hi there\n", "# ID: kim(Kim)> hi there\n"},
      {kRoomNo + 1, "kim", false, "other room", nullptr, ""},
      {kRoomNo, "ghost", false, "who", nullptr, ""},
      {kRoomNo, "kim", true, "muted", nullptr, ""},
      {kRoomNo, "kim", false, longText, "", "# ID: kim(Kim)> " + longText.substr(0, 254) + "\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 20));
    screens.chat.clear();
    screens.hidden.clear();
    Play[1].muted = c.muted ? 1 : 0;
    CCL_CHATDATA chat;
    ASSERT_TRUE(chat.Set(c.roomNo, c.sender, c.text));
    SendAndSync(chat);
    if (!c.shown) {
      EXPECT_TRUE(screens.chat.empty());
      EXPECT_TRUE(screens.hidden.empty());
      continue;
    }
    ASSERT_EQ(screens.chat.size(), 1u);
    if (*c.shown) {
      EXPECT_EQ(screens.chat[0].text, c.shown);
    }
    EXPECT_EQ(screens.chat[0].colour, (ChatColour{200, 180, 180}));
    EXPECT_EQ(screens.hidden, std::vector<std::string>{c.hidden});
  }
}

// --- Items -----------------------------------------------------------------------------------

TEST_F(RoomEvents, ItemListKeepsThirtyEntries) {
  std::vector<GAMEITEM> items(31);
  for (int i = 0; i < 31; ++i) items[size_t(i)].ItemCode = 100 + i;
  ITEMLISTHEAD head;
  head.ServerTime = tovrik::game::ToSystemTime(std::chrono::local_days{std::chrono::year{2024} / 3 / 1});
  CSV_GAMEITEMLIST list;
  ASSERT_TRUE(list.Set(head, items, "", ""));
  SendAndSync(list);
  EXPECT_EQ(g_MyGameItem.Count.get(), 30);
  EXPECT_EQ(g_MyGameItem.Item[29].ItemCode.get(), 129);
  EXPECT_TRUE(screens.calls.empty()) << "no purchase was asked for";

  // A list to keep changes nothing of the own list.
  head.KeepList = 1;
  CSV_GAMEITEMLIST kept;
  ASSERT_TRUE(kept.Set(head, std::span<const GAMEITEM>(items.data(), 2), "", ""));
  SendAndSync(kept);
  EXPECT_EQ(g_MyGameItem.Count.get(), 30);
}

// The item line of the lobby names a running item once, readable: names
// are already the interface's text.
TEST_F(RoomEvents, RunningItemsAreNamedReadablyInTheLobby) {
  const tovrik::game::LocalTime now = tovrik::game::CurrentLocalTime();
  GAMEITEM item;
  item.ItemCode = 201;
  item.UseDays = 1;
  item.UsedCnt = 1;
  item.StartTime = tovrik::game::ToSystemTime(now - std::chrono::hours{1});
  ITEMLISTHEAD head;
  head.ServerTime = tovrik::game::ToSystemTime(now);
  CSV_GAMEITEMLIST list;
  ASSERT_TRUE(list.Set(head, std::span<const GAMEITEM>(&item, 1), "", ""));
  SendAndSync(list);
  screens.chat.clear();
  dlg->ShowItemState();
  ASSERT_EQ(screens.chat.size(), 1u);
  const std::string expected = "◆ [" + tovrik::game::GameItem_GetItemName(item) + "] 사용중 (남은 시간 : ";
  EXPECT_EQ(screens.chat[0].text.substr(0, expected.size()), expected);
  EXPECT_EQ(screens.chat[0].colour, (ChatColour{200, 0, 0}));
}

// A purchase the server asks for after a channel entry: the item dialog on
// its own-items page; closed without buying, the channel screen is usable
// again.
TEST_F(RoomEvents, PurchaseClosedWithoutBuyingReleasesTheChannelEntry) {
  screens.itemDialogOpen = true;
  BeginRequest(Request::EnterChannel);
  ITEMLISTHEAD head;
  head.Purpose = 2;
  head.KeepList = 1;
  head.ServerTime = tovrik::game::ToSystemTime(std::chrono::local_days{std::chrono::year{2024} / 3 / 1});
  CSV_GAMEITEMLIST list;
  ASSERT_TRUE(list.Set(head, {}, "", ""));
  SendAndSync(list);
  EXPECT_EQ(screens.calls, (std::vector<std::string>{"popup.item.refresh", "popup.item.close", "popup.item.show 2 1 201",
                                                     "channel.enter on", "channel.dismiss"}));
  EXPECT_EQ(g_bJumpItemBuying, 0);
  EXPECT_FALSE(IsPending(Request::EnterChannel));

  screens.calls.clear();
  BUYITEMHEAD buy;
  buy.Purpose = 2;
  buy.ItemCode = 305;
  CSV_BUYGAMEITEM ask;
  ASSERT_TRUE(ask.Set(buy, "jump"));
  CSV_BUYGAMEITEM empty;
  ASSERT_TRUE(empty.Set(buy, ""));
  Send(empty);
  SendAndSync(ask);
  EXPECT_EQ(screens.calls.front(), "popup.item.show 1 1 305") << "an empty request opens nothing";
}

}  // namespace
