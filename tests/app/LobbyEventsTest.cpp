// The controller's handling of the lobby messages against a scripted game
// server: each message in each place gives exactly the screen calls, chat
// lines, colours and hidden-log bytes of the lobby.

#include "EventFixture.h"

#include "../portal/PortalSandbox.h"
#include "app/ChatText.h"
#include "portal/BadFilterLoader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>

using namespace tovrik::app;
using namespace tovrik::app::test;
using namespace tovrik::protocol;

namespace {

std::vector<std::string> Without(const std::vector<std::string>& calls, std::string_view prefix) {
  std::vector<std::string> kept;
  for (const std::string& call : calls)
    if (call.rfind(prefix, 0) != 0) kept.push_back(call);
  return kept;
}

using LobbyEvents = ControllerEvents;

// --- Users ------------------------------------------------------------------------

TEST_F(LobbyEvents, UserListMessagesReachTheLobbyList) {
  ListUsers({SmallUser(7, "kim", "Kim"), SmallUser(8, "lee", "Lee")});
  CSV_NEWUSER again;
  ASSERT_TRUE(again.Set(SmallUser(7, "kim", "Kim")));
  CSV_OUTUSER out;
  ASSERT_TRUE(out.Set(SmallUser(8, "lee", "")));
  CSV_CHANGEUSER change;
  ASSERT_TRUE(change.Set(SmallUser(7, "kim", "Kimmy")));
  Send(again);
  Send(out);
  SendAndSync(change);
  EXPECT_EQ(screens.calls, (std::vector<std::string>{"lobby.user.delall", "lobby.user.ins 7", "lobby.user.ins 8",
                                                     "lobby.sortinvite", "lobby.user.ins 7", "lobby.user.del 8 lee",
                                                     "lobby.user.set 7"}));
  ASSERT_EQ(screens.users.size(), 1u) << "a user number already listed is not listed twice";

  screens.calls.clear();
  ListUsers({});
  EXPECT_TRUE(screens.users.empty()) << "an empty list empties the lobby's";
}

// --- Profiles and pending requests ------------------------------------------------------

TEST_F(LobbyEvents, EachAnswerClearsOnlyItsOwnRequest) {
  BeginRequest(Request::EnterRoom);
  BeginRequest(Request::UserInfo);
  BeginRequest(Request::RoomInfo);
  CSV_USERINFO profile;
  ASSERT_TRUE(profile.Set(User(9, "park", "Park")));
  SendAndSync(profile);
  EXPECT_TRUE(screens.Called("popup.profile 9 1"));
  EXPECT_FALSE(IsPending(Request::UserInfo));

  GAMEINFO info;
  info.RI = Room(12, "park");
  CSV_ROOMINFO room;
  ASSERT_TRUE(room.Set(0, info));
  SendAndSync(room);
  EXPECT_TRUE(screens.Called("lobby.roomuserinfo 12"));
  EXPECT_FALSE(IsPending(Request::RoomInfo));

  EXPECT_TRUE(IsPending(Request::EnterRoom)) << "a list click's answer left the room entry pending";
  EXPECT_EQ(g_Wait, 1);
  CSV_REFUSE_ENTERROOM refused;
  ASSERT_TRUE(refused.Set(6));
  SendAndSync(refused);
  EXPECT_EQ(g_Wait, 0);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"[알림] 비밀번호가 틀렸습니다"});
  EXPECT_TRUE(screens.Called("lobby.cancel"));
}

TEST_F(LobbyEvents, ProfileOfNobodyAndAnotherUsersMoneyShowNothing) {
  BeginRequest(Request::UserInfo);
  CSV_USERINFO nobody;
  ASSERT_TRUE(nobody.Set(User(9, "", "")));
  CSV_DETAILUSERINFO detail;
  ASSERT_TRUE(detail.Set(User(9, "park", "Park")));
  CSV_ROOMINFO invalid;
  ASSERT_TRUE(invalid.Set(1, GAMEINFO{}));
  Send(nobody);
  Send(detail);
  SendAndSync(invalid);
  EXPECT_EQ(g_Wait, 0);
  EXPECT_TRUE(screens.calls.empty());
  EXPECT_TRUE(BoxTexts().empty()) << "hong is no operator account";
}

TEST_F(LobbyEvents, CharacterChangeAcceptsOnlyKnownCharacters) {
  struct Case {
    int character;
    bool taken;
  };
  for (const Case& c : {Case{73, false}, Case{-1, false}, Case{0, true}, Case{72, true}}) {
    ResetMessageBoxAutomation();
    screens.calls.clear();
    tovrik::game::Play[0].user.CharNo = 5;
    BeginRequest(Request::ChangeChar);
    CSV_ACCEPT_CHANGECHAR accept;
    ASSERT_TRUE(accept.Set(c.character));
    SendAndSync(accept);
    EXPECT_EQ(tovrik::game::Play[0].user.CharNo.get(), c.taken ? c.character : 5) << c.character;
    EXPECT_EQ(screens.Called("lobby.character " + std::to_string(c.character)), c.taken) << c.character;
    EXPECT_EQ(BoxTexts(), c.taken ? std::vector<std::string>{"캐릭터가 변경되었습니다"} : std::vector<std::string>{})
        << c.character;
    EXPECT_EQ(IsPending(Request::ChangeChar), !c.taken) << c.character;
    EndRequest(Request::ChangeChar);
  }
}

// --- Rooms ---------------------------------------------------------------------------

TEST_F(LobbyEvents, RoomListMessagesReachTheLobbyList) {
  const ROOMINFO rooms[] = {Room(1, "kim"), Room(2, "lee")};
  CSV_ALLROOMINFO all;
  ASSERT_TRUE(all.Set(rooms));
  CSV_NEWROOM added;
  ASSERT_TRUE(added.Set(Room(3, "park")));
  SMALLROOMINFO gone;
  gone.RoomNo = 2;
  CSV_OUTROOM out;
  ASSERT_TRUE(out.Set(gone));
  SMALLROOMINFO changed;
  changed.RoomNo = 1;
  changed.UserCnt = 2;
  CSV_CHANGEROOM change;
  ASSERT_TRUE(change.Set(changed));
  Send(all);
  Send(added);
  Send(out);
  SendAndSync(change);
  EXPECT_EQ(screens.calls, (std::vector<std::string>{"lobby.dismiss", "lobby.room.delall", "lobby.room.ins 1",
                                                     "lobby.room.ins 2", "lobby.room.ins 3", "lobby.room.del 2",
                                                     "lobby.room.set 1"}));
}

TEST_F(LobbyEvents, RoomCreationRefusalsShowTheirTexts) {
  struct Case {
    int reason;
    const char* text;
  };
  const Case cases[] = {{0, "[서버 알림] 개설 가능한 수를 초과하였습니다"},
                        {3, "[서버 알림] 소유한 머니가 게임을 진행하기에 부족합니다"},
                        {999, nullptr},
                        {42, "[서버 알림] 방을 생성할 수 없습니다"}};
  for (const Case& c : cases) {
    ResetMessageBoxAutomation();
    BeginRequest(Request::CreateRoom);
    CSV_REFUSE_CREATEROOM refused;
    ASSERT_TRUE(refused.Set(c.reason));
    SendAndSync(refused);
    EXPECT_FALSE(IsPending(Request::CreateRoom)) << c.reason;
    EXPECT_EQ(BoxTexts(), c.text ? std::vector<std::string>{c.text} : std::vector<std::string>{}) << c.reason;
  }
}

// --- Chat ------------------------------------------------------------------------------

TEST(ChatText, EveryControlByteBecomesASpaceAndNothingElseChanges) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"hello", "hello"},
      {"a\nb\rc\td\be", "a b c d e"},
      {"\n[서버 알림] 점검", " [서버 알림] 점검"},  // a forged notice line stays on its own line
      {std::string("x\0y", 3), "x y"},
      {"\x1b[31mred\x7f", " [31mred "},
      {"end\n", "end "},  // the last position too
      {Cp949("한글 그대로"), Cp949("한글 그대로")},
      {"\x01\x1f\x20\x7e", "  \x20\x7e"},
  };
  for (const Case& c : cases) EXPECT_EQ(SanitizeChatText(c.in), c.out) << c.in;
}

TEST(ChatText, CutsNeverSplitATwoByteCharacter) {
  const std::string korean = Cp949("가나다");  // 6 bytes
  EXPECT_EQ(CutCp949(korean, 5), Cp949("가나"));
  EXPECT_EQ(CutCp949(korean, 6), korean);
  EXPECT_EQ(CutCp949("a" + korean, 2), "a");
  EXPECT_EQ(FilterChatText(std::string(600, 'x')).size(), kFilterBufferSize - 1);
  EXPECT_EQ(FilterChatText(std::string(600, '\xB0')).size(), 510u) << "511 bytes would split a character";
}

// The lobby chat of a listed user: its line, colour and hidden-log bytes; an
// unlisted sender and a line outside the lobby show nothing.
TEST_F(LobbyEvents, LobbyChatTable) {
  ListUsers({SmallUser(7, "kim", "김씨")});
  struct Case {
    int where;
    const char* sender;
    std::string text;
    const char* shown;  // null: nothing at all
    std::string hidden;
  };
  const Case cases[] = {
      {kWhereLobby, "kim", "hello", "김씨> hello\n", Cp949("ID : kim(김씨)> hello\n")},
      {kWhereLobby, "kim", "hi\n[서버 알림] fake", "김씨> hi [서버 알림] fake\n",
       Cp949("ID : kim(김씨)> hi [서버 알림] fake\n")},
      {kWhereLobby, "ghost", "boo", nullptr, ""},
      {kWhereGameRoom, "kim", "in a room", nullptr, ""},
      {kWhereChannel, "kim", "on the channel screen", nullptr, ""},
  };
  for (const Case& c : cases) {
    screens.chat.clear();
    screens.hidden.clear();
    g_Where = c.where;
    CSV_CHATDATA chat;
    ASSERT_TRUE(chat.Set(c.sender, Cp949(c.text)));
    SendAndSync(chat);
    if (!c.shown) {
      EXPECT_TRUE(screens.chat.empty()) << c.text;
      EXPECT_TRUE(screens.hidden.empty()) << c.text;
      continue;
    }
    ASSERT_EQ(screens.chat.size(), 1u) << c.text;
    EXPECT_EQ(screens.chat[0].where, "lobby");
    EXPECT_EQ(screens.chat[0].text, c.shown);
    EXPECT_EQ(screens.chat[0].colour, (ChatColour{0, 0, 0}));
    EXPECT_EQ(screens.hidden, std::vector<std::string>{c.hidden});
  }
}

// Whispers in each place: the line, its colour, effect 18 and the hidden
// log; a muted player of the room is not heard.
TEST_F(LobbyEvents, WhisperTable) {
  tovrik::game::Play[1].SetNewPlayer(nullptr);
  struct Case {
    int where;
    bool muted;
    const char* place;  // null: not shown
    ChatColour colour;
    bool heard;
  };
  const Case cases[] = {
      {kWhereLobby, false, "lobby", {100, 100, 100}, true},
      {kWhereGameRoom, false, "room", {180, 180, 180}, true},
      {kWhereGameRoom, true, nullptr, {}, false},
      {kWhereChannel, false, nullptr, {}, true},
  };
  for (const Case& c : cases) {
    screens.chat.clear();
    screens.hidden.clear();
    screens.effects.clear();
    USERINFO opponent = User(8, "lee", "이씨");
    tovrik::game::Play[1].SetNewPlayer(&opponent);
    tovrik::game::Play[1].muted = c.muted ? 1 : 0;
    g_Where = c.where;
    CSV_WHISPERCHAT whisper;
    ASSERT_TRUE(whisper.Set("lee", Cp949("이씨"), 42, "Gildong", "psst\r"));
    SendAndSync(whisper);
    EXPECT_EQ(screens.effects, c.heard ? std::vector<int>{18} : std::vector<int>{}) << c.where;
    if (c.place) {
      ASSERT_EQ(screens.chat.size(), 1u);
      EXPECT_EQ(screens.chat[0].where, c.place);
      EXPECT_EQ(screens.chat[0].text, "[귓말:이씨] psst \n");
      EXPECT_EQ(screens.chat[0].colour, c.colour);
    } else {
      EXPECT_TRUE(screens.chat.empty()) << c.where;
    }
    EXPECT_EQ(screens.hidden,
              c.heard ? std::vector<std::string>{Cp949("귓말: ID : lee(이씨)> psst \n")} : std::vector<std::string>{});
  }
  tovrik::game::Play[1].Clear();
}

TEST_F(LobbyEvents, ServerNoticesGoToTheChatOrABox) {
  struct Case {
    int where;
    int kind;
    const char* place;
    bool box;
  };
  const Case cases[] = {{kWhereLobby, 0, "lobby", false},
                        {kWhereGameRoom, 0, "room", false},
                        {kWhereLobby, 1, nullptr, true},
                        {kWhereChannel, 0, nullptr, false}};
  for (const Case& c : cases) {
    screens.chat.clear();
    screens.hidden.clear();
    ResetMessageBoxAutomation();
    g_Where = c.where;
    CSV_SERVERMSG notice;
    ASSERT_TRUE(notice.Set(c.kind, Cp949("점검\n합니다")));
    SendAndSync(notice);
    if (c.place) {
      ASSERT_EQ(screens.chat.size(), 1u);
      EXPECT_EQ(screens.chat[0].where, c.place);
      EXPECT_EQ(screens.chat[0].text, "[서버 알림] 점검 합니다\n");
      EXPECT_EQ(screens.chat[0].colour, (ChatColour{255, 0, 0}));
    } else {
      EXPECT_TRUE(screens.chat.empty());
    }
    EXPECT_EQ(BoxTexts(), c.box ? std::vector<std::string>{"[서버 알림] 점검 합니다"} : std::vector<std::string>{});
    EXPECT_EQ(screens.hidden, std::vector<std::string>{Cp949("[서버 알림] 점검 합니다\n")});
  }
}

// The word filter of the portal masks what users say before it is shown;
// the hidden log keeps what was said.
TEST_F(LobbyEvents, OffensiveWordsAreMaskedInTheChatOnly) {
  PortalSandbox portal;
  portal.InstallBuilt("BadFilterDLL.so");
  portal.WriteFile("filter.bcd", "TOVRIK-BADFILTER 1\nshit\n");
  ASSERT_EQ(tovrik::portal::g_BadFilter.InitFilter(portal.common()), tovrik::portal::BADFILTER_OK);
  ListUsers({SmallUser(7, "kim", "Kim")});
  CSV_CHATDATA chat;
  ASSERT_TRUE(chat.Set("kim", "oh shit"));
  SendAndSync(chat);
  ASSERT_EQ(screens.Chat("lobby"), std::vector<std::string>{"Kim> oh ****\n"});
  EXPECT_EQ(screens.hidden, std::vector<std::string>{"ID : kim(Kim)> oh shit\n"});
}

// --- Invitations --------------------------------------------------------------------------

TEST_F(LobbyEvents, InvitationWhileRefusingSendsOneRefusalAndShowsNothing) {
  screens.noInvite = true;
  CSV_ASK_INVITE invite;
  ASSERT_TRUE(invite.Set(42, "hong", 5, "", User(7, "kim", "Kim"), "come"));
  Send(invite);
  auto refusal = Sent<CSV_REFUSE_INVITE>();
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->InviterUNum->get(), 7);
  EXPECT_EQ(refusal->InviterID->View(), "kim");
  EXPECT_EQ(refusal->UserID->View(), "hong");
  EXPECT_EQ(refusal->TextView(), Cp949("[Gildong]님은 <초대 거부>중입니다."));
  // The exact frame: 4 + 16 + 16 + 4 + text bytes.
  EXPECT_EQ(refusal->GetTotalSize(), 16 + 40 + int(refusal->TextView().size()));
  Sync();
  EXPECT_TRUE(Quiet(game));
  EXPECT_TRUE(screens.calls.empty());
  EXPECT_TRUE(screens.effects.empty());
}

TEST_F(LobbyEvents, SecondInvitationWhileTheDialogIsOpenIsDropped) {
  CSV_ASK_INVITE first;
  ASSERT_TRUE(first.Set(42, "hong", 5, "", User(7, "kim", "Kim"), "come\nhere"));
  CSV_ASK_INVITE second;
  ASSERT_TRUE(second.Set(42, "hong", 6, "", User(8, "lee", "Lee"), "no, here"));
  // The second arrives while the first's dialog runs its own loop.
  screens.whileModal = [&] {
    game.Send(second);
    PumpFor(loop, 200);
  };
  SendAndSync(first);
  EXPECT_EQ(Without(screens.calls, "lobby."), std::vector<std::string>{"popup.invite kim 5 come\nhere"});
  EXPECT_EQ(screens.effects, std::vector<int>{16});
  // Outside the lobby nothing is shown either.
  g_Where = kWhereGameRoom;
  SendAndSync(second);
  EXPECT_EQ(Without(screens.calls, "lobby.").size(), 1u);
}

TEST_F(LobbyEvents, InvitationTextIsCutTo512BytesOnACharacterBoundary) {
  const std::string text = "a" + std::string(600, '\xB0');
  CSV_ASK_INVITE invite;
  ASSERT_TRUE(invite.Set(42, "hong", 5, "", User(7, "kim", "Kim"), text));
  SendAndSync(invite);
  ASSERT_EQ(screens.calls.size(), 1u);
  const std::string shown = screens.calls[0].substr(std::string("popup.invite kim 5 ").size());
  EXPECT_EQ(shown.size(), 511u) << "512 would split a character";
}

TEST_F(LobbyEvents, InvitationRefusalsInTheRoom) {
  ListUsers({SmallUser(7, "kim", "Kim")});
  g_Where = kWhereGameRoom;
  CSV_REFUSE_INVITE known;
  ASSERT_TRUE(known.Set(42, "hong", "kim", "no"));
  CSV_REFUSE_INVITE unknown;
  ASSERT_TRUE(unknown.Set(42, "hong", "ghost", "no"));
  Send(known);
  SendAndSync(unknown);
  EXPECT_EQ(screens.Chat("room"), (std::vector<std::string>{"[Kim]님이 초대를 거절하셨습니다.\n",
                                                            "초청한 유저가 해당채널에 존재하지않습니다.\n"}));
  EXPECT_EQ(screens.chat[0].colour, (ChatColour{255, 0, 0}));
  EXPECT_EQ(screens.hidden, (std::vector<std::string>{Cp949("# [ID: kim(Kim)]님이 초대를 거절하셨습니다#\n"),
                                                      Cp949("# 초청한 유저가 해당채널에 존재하지않습니다.#\n")}));
  g_Where = kWhereLobby;
  screens.chat.clear();
  SendAndSync(known);
  EXPECT_TRUE(screens.chat.empty()) << "a refusal outside a room is ignored";
}

// --- Events ---------------------------------------------------------------------------------

TEST_F(LobbyEvents, EventNoticesAndPeakTime) {
  CSV_EVENTNOTICE line;
  ASSERT_TRUE(line.Set(1, "Happy hour", 0x00332211, 0));
  SendAndSync(line);
  ASSERT_EQ(screens.chat.size(), 1u);
  EXPECT_EQ(screens.chat[0].text, "Happy hour\n");
  EXPECT_EQ(screens.chat[0].colour, (ChatColour{0x11, 0x22, 0x33}));

  CSV_EVENTNOTICE start;
  ASSERT_TRUE(start.Set(2, "", 0, 7));
  SendAndSync(start);
  EXPECT_TRUE(screens.Called("popup.event 0"));
  EXPECT_EQ(g_bPeakTime_Event_Date, 1);
  EXPECT_EQ(g_iEventPopupType, 2);
  EXPECT_EQ(g_iPeakTime_Event_State, 7);

  screens.calls.clear();
  CSV_EVENTNOTICE quiet;
  ASSERT_TRUE(quiet.Set(3, "", 0, 9));
  SendAndSync(quiet);
  EXPECT_TRUE(screens.calls.empty()) << "type 3 opens no notice";
  EXPECT_EQ(g_iPeakTime_Event_State, 9);

  CSV_EVENTNOTICE unknown;
  ASSERT_TRUE(unknown.Set(7, "x", 0, 1));
  SendAndSync(unknown);
  EXPECT_EQ(g_iEventPopupType, 3) << "kind 7 changes nothing";
  EXPECT_EQ(g_iPeakTime_Event_State, 9);
  EXPECT_EQ(screens.chat.size(), 1u);

  CSV_EVENT_TIMERANGE_ALERT alert;
  ASSERT_TRUE(alert.Set(4));
  SendAndSync(alert);
  EXPECT_EQ(g_iPeakTime_Event_State, 4);

  CSV_EVENTNOTICE end;
  ASSERT_TRUE(end.Set(6, "", 0, 5));
  SendAndSync(end);
  EXPECT_EQ(g_bPeakTime_Event_Date, 0);
  EXPECT_EQ(g_iPeakTime_Event_State, 0);

  CSV_AUGUSTEVENTMSG_POINTUP pointUp;
  ASSERT_TRUE(pointUp.Set(3, 11, 12));
  SendAndSync(pointUp);
  EXPECT_EQ(tovrik::game::Play[0].user.EventValue1.get(), 11);
  EXPECT_EQ(tovrik::game::Play[0].user.EventValue2.get(), 12);
  EXPECT_EQ(screens.Chat("room"), std::vector<std::string>{"1포인트를 획득 하셨습니다.\n"});
  EXPECT_TRUE(screens.Called("room.pointup"));
}

// A notice of kind 2 opens its dialog; a second one during it is handled
// but opens none, and the later state is the one that stays.
TEST_F(LobbyEvents, PeakTimeNoticeWhileItsDialogIsOpenOpensNoSecond) {
  CSV_EVENTNOTICE first;
  ASSERT_TRUE(first.Set(2, "", 0, 1));
  CSV_EVENTNOTICE second;
  ASSERT_TRUE(second.Set(4, "", 0, 2));
  screens.whileModal = [&] {
    game.Send(second);
    PumpFor(loop, 200);
  };
  SendAndSync(first);
  EXPECT_EQ(std::count(screens.calls.begin(), screens.calls.end(), "popup.event 0"), 1);
  EXPECT_EQ(g_iEventPopupType, 4);
  EXPECT_EQ(g_iPeakTime_Event_State, 2) << "the later notice's state stays";
}

// --- Guarded boxes ----------------------------------------------------------------------

// A message box runs its own loop, so frames keep arriving while it is
// open; a second message of the kind whose box is showing is dropped.
class BoxThatStaysOpen final : public IMessageBoxHost {
 public:
  explicit BoxThatStaysOpen(tovrik::platform::EventLoop& loop) : loop_(loop) {}
  void CloseProgressBoxes() override {}
  int ShowMessageDialog(std::string_view text, std::string_view, unsigned) override {
    texts.emplace_back(text);
    if (auto once = std::exchange(whileOpen, nullptr)) once();
    PumpFor(loop_, 150);
    return tovrik::platform::IDOK;
  }
  std::vector<std::string> texts;
  std::function<void()> whileOpen;

 private:
  tovrik::platform::EventLoop& loop_;
};

TEST_F(LobbyEvents, SecondMessageOfAKindWhileItsBoxIsOpenIsDropped) {
  CClientApp app({"tovrik"});
  BoxThatStaysOpen box(loop);
  app.SetMessageBoxHost(&box);
  CSV_SERVERMSG notice;
  ASSERT_TRUE(notice.Set(1, "once"));
  CSV_REFUSE_CREATEROOM created;
  ASSERT_TRUE(created.Set(0));
  CSV_ACCEPT_CHANGECHAR changed;
  ASSERT_TRUE(changed.Set(5));
  CSV_REFUSE_ENTERROOM entered;
  ASSERT_TRUE(entered.Set(2));
  const auto twice = [&](const auto& message) {
    box.whileOpen = [&] { game.Send(message); };
    SendAndSync(message);
  };
  twice(notice);
  twice(created);
  twice(changed);
  twice(entered);
  app.SetMessageBoxHost(nullptr);
  EXPECT_EQ(box.texts, (std::vector<std::string>{"[서버 알림] once", "[서버 알림] 개설 가능한 수를 초과하였습니다",
                                                 "캐릭터가 변경되었습니다", "[알림] 요청하신 방은 존재하지 않습니다"}));
  EXPECT_EQ(std::count(screens.hidden.begin(), screens.hidden.end(), Cp949("[서버 알림] once\n")), 2)
      << "the dropped notice is still logged";
}

TEST_F(LobbyEvents, SecondProfileWhileTheFirstIsOpenIsDropped) {
  CSV_USERINFO first;
  ASSERT_TRUE(first.Set(User(9, "park", "Park")));
  CSV_USERINFO second;
  ASSERT_TRUE(second.Set(User(10, "choi", "Choi")));
  screens.whileModal = [&] {
    game.Send(second);
    PumpFor(loop, 150);
  };
  SendAndSync(first);
  EXPECT_EQ(screens.calls, std::vector<std::string>{"popup.profile 9 1"});
}

}  // namespace
