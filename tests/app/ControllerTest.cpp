// The controller against scripted master and game servers on loopback: the
// real main window, socket layer and message classes, headless.

#include "ControllerFixture.h"

#include "app/ClientDlg.h"
#include "app/CommonSprites.h"
#include "gfx/PixelFormat.h"
#include "app/ControllerState.h"
#include "app/LaunchParams.h"
#include "game/GameGlobals.h"
#include "game/Levels.h"
#include "sockets/SockMan.h"
#include "platform/Clock.h"
#include "platform/Screen.h"
#include "platform/SdlSession.h"
#include "platform/MessageBox.h"
#include "portal/SystemServices.h"
#include "protocol/LoginMessages.h"
#include "protocol/TextField.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>

using namespace tovrik::app;
using namespace tovrik::portal;

using namespace tovrik::platform;
using namespace tovrik::protocol;
using namespace tovrik::app::test;
using tovrik::sockets::SockMan;

namespace {

TEST_F(Controller, MasterVersionAsksForAGameServerWithTheLoginGroup) {
  Start();
  EXPECT_EQ(g_Where, kWhereConnectMaster);
  EXPECT_TRUE(screens.Called("connect.open "));
  CMS_CHECKVERSION version;
  version.Set(184);
  master.Send(version);
  auto frame = master.Receive(loop);
  ASSERT_TRUE(frame);
  auto ask = Parse<CMS_ASK_DESTSERVERINFO>(*frame);
  ASSERT_TRUE(ask);
  EXPECT_EQ(ask->Value->get(), 7);
}

TEST_F(Controller, OtherMasterVersionEndsTheProgram) {
  Start();
  CMS_CHECKVERSION version;
  version.Set(183);
  master.Send(version);
  ASSERT_TRUE(PumpUntil(loop, [&] { return dlg->IsClosed(); }));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"마스터 서버와의 버전이 일치하지 않아 접속을 종료합니다."});
  EXPECT_TRUE(Quiet(master));
}

TEST_F(Controller, MasterRefusalShowsItsTextAndEnds) {
  Start();
  CMS_REFUSE_DESTSERVERINFO refuse;
  refuse.Set(3, "\xC1\xA1\xB0\xCB \xC1\xDF");  // "점검 중" in code page 949
  master.Send(refuse);
  ASSERT_TRUE(PumpUntil(loop, [&] { return dlg->IsClosed(); }));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"점검 중"});
}

TEST_F(Controller, LoginRecordCarriesAddressesPortCookiesTicketAndMachine) {
  auto frame = ThroughVersion();
  ASSERT_TRUE(frame);
  auto login = Parse<CSV_ASK_LOGIN>(*frame);
  ASSERT_TRUE(login);
  const ASK_LOGININFO& info = *login->LoginInfo;
  EXPECT_EQ(ReadText(info.LocalIP), "127.0.0.1");
  EXPECT_EQ(ReadText(info.HostIP), SockMan.GetServerIP());
  EXPECT_EQ(info.LocalPort.get(), game.PeerPort() + 20000);
  EXPECT_EQ(info.AuthCookieLen.get(), 11);
  EXPECT_EQ(info.DataCookieLen.get(), 4);
  EXPECT_EQ(info.CpCookieLen.get(), 0);
  EXPECT_EQ(login->AuthCookieView(), "auth-cookie");
  EXPECT_EQ(login->DataCookieView(), "data");
  EXPECT_EQ(info.Ticket1.get(), 0x11223344);
  EXPECT_EQ(info.Ticket2.get(), 0x1122);
  EXPECT_EQ(info.Ticket3.get(), -2);
  EXPECT_EQ(info.Ticket4.get(), 300);
  EXPECT_EQ(info.Ticket5.get(), 7);
  std::string machine = CQXSystemIDInfoModule::GetCSTR(2).substr(0, 32);
  EXPECT_EQ(std::string(ReadText(info.MachineID)), machine);
  EXPECT_TRUE(std::all_of(std::begin(info.reserved), std::end(info.reserved), [](auto b) { return b == 0; }));
}

TEST_F(Controller, AssignmentAfterTheGameConnectionIsIgnored) {
  ThroughMaster();
  const int gameSid = g_MainSrvSID;
  FakeServer other;
  CMS_DESTSERVERINFO dest;
  dest.Set(DestServer(other.port));
  master.Send(dest);
  EXPECT_FALSE(other.Accept(loop, 300));
  EXPECT_EQ(g_MainSrvSID, gameSid);
  EXPECT_EQ(g_Where, kWhereLogin);
}

TEST_F(Controller, ServerInfoStoresAddressesAndTheClockGap) {
  ThroughMaster();
  SERVERINFO info;
  info.GameCode = 31;
  CopyIfShorter(info.NoticeURL, "http://n");
  CopyIfShorter(info.BoardURL, "http://bd");
  // The server's clock runs one hour and a bit behind.
  const auto serverNow = tovrik::game::CurrentLocalTime() - std::chrono::seconds(3725);
  info.ServerTime = tovrik::game::ToSystemTime(serverNow);
  CSV_SERVERINFO msg;
  msg.Set(info);
  game.Send(msg);
  ASSERT_TRUE(PumpUntil(loop, [] { return g_GameCode == 31; }));
  EXPECT_EQ(g_NoticeURL, "http://n");
  EXPECT_EQ(g_BDURL, "http://bd");
  EXPECT_NEAR(double(g_CSTimeGap.count()), 3725.0, 2.0);
}

TEST_F(Controller, AcceptedLoginEntersTheLobby) {
  // Settings stored earlier for this user: invitations refused.
  std::filesystem::create_directories(folder / "config");
  std::ofstream(folder / "config" / "config.ini") << "[hong]\nNoInvit=1\n";
  SERVERINFO info;
  CopyIfShorter(info.LocationURL, "http://loc/where.asp");
  CopyIfShorter(info.BannerURL1, "http://banner1");
  CopyIfShorter(info.ProfileURL, "http://profile");
  info.GameCode = 5;
  ThroughMaster();
  CSV_SERVERINFO serverInfo;
  serverInfo.Set(info);
  game.Send(serverInfo);
  FinishLogin("Alpha-3");

  EXPECT_TRUE(master.SawClose(loop));
  EXPECT_EQ(g_MasterSID, -1);
  EXPECT_EQ(g_LoginID, "hong");
  EXPECT_EQ(g_MyUniqNo, "U123");
  EXPECT_EQ(g_NowChanName, "Alpha-3");
  EXPECT_EQ(g_bIsItemChannel, 1);
  EXPECT_TRUE(screens.Called("connect.close"));
  EXPECT_EQ(tovrik::game::Play[0].user.UNum.get(), 42);
  EXPECT_EQ(dlg->Title(), "코르반타 토브릭 장기 Ver1.84 - [Alpha-3]");

  const std::vector<std::string> chat = screens.Chat("lobby");
  ASSERT_GE(chat.size(), 3u);
  EXPECT_EQ(chat[0],
            "# [Gildong]님의 접속을 환영합니다 #\n♤ 귓말 사용법 : /w 닉네임 전할말\n"
            "♤ 혹은 접속자 리스트에서 마우스 오른쪽 클릭 -> 귓말하기 선택\n");
  EXPECT_EQ(chat[1], "♤ 불량 아이디 신고는 채팅창 우측의 112신고버튼을 클릭하세요.\n");
  EXPECT_EQ(screens.chat[1].colour, (ChatColour{0, 0, 200}));
  EXPECT_EQ(chat[2], "※ 장시간의 게임이용은 건강을 해칠 수 있습니다.\n");
  EXPECT_TRUE(screens.chat[2].bold);

  // Configuration: read under the user's id, full screen by default.
  EXPECT_TRUE(screens.Called("lobby.noinvite"));
  EXPECT_FALSE(screens.Called("lobby.nowhisper"));
  EXPECT_TRUE(screens.Called("lobby.fullscreen"));
  EXPECT_EQ(dlg->Config().FailToFullScreen, 0);
  EXPECT_EQ(GetProfile_int("hong", "FailToFullScreen", 9), 0);
  EXPECT_TRUE(screens.Called("lobby.banner http://banner1"));
  EXPECT_TRUE(screens.Called("popup.profileurl http://profile"));
  EXPECT_TRUE(screens.Called("popup.gamegrade"));
  EXPECT_FALSE(screens.Called("popup.pcroom 0")) << "no PC-room greeting outside a PC room";

  ASSERT_EQ(screens.pages.size(), 1u);
  EXPECT_EQ(screens.pages[0],
            "http://loc/where.asp?user_id=hong&server=Alpha&code=5&groupcode=2&SiteCode=0&user_cn=U123");
}

TEST_F(Controller, ShortChannelNameIsSentWhole) {
  SERVERINFO info;
  CopyIfShorter(info.LocationURL, "http://loc");
  ThroughMaster();
  CSV_SERVERINFO serverInfo;
  serverInfo.Set(info);
  game.Send(serverInfo);
  FinishLogin("A-");
  ASSERT_EQ(screens.pages.size(), 1u);
  EXPECT_NE(screens.pages[0].find("&server=A-&"), std::string::npos) << screens.pages[0];
}

TEST_F(Controller, VersionInTheLobbySendsNothing) {
  IntoLobby();
  CSV_CHECKVERSION version;
  version.Set(184);
  game.Send(version);
  EXPECT_TRUE(Quiet(game));
  EXPECT_EQ(g_Where, kWhereLobby);
}

TEST_F(Controller, OtherGameVersionEndsTheProgram) {
  ThroughMaster();
  CSV_CHECKVERSION version;
  version.Set(185);
  game.Send(version);
  ASSERT_TRUE(PumpUntil(loop, [&] { return dlg->IsClosed(); }));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"프로그램의 버전이 일치하지 않습니다. 최신 버전을 다운받으세요"});
}

TEST_F(Controller, RefusedLoginShowsItsTextAndEnds) {
  ThroughVersion();
  CSV_REFUSE_LOGIN refuse;
  refuse.Set(1, "bad cookie");
  game.Send(refuse);
  ASSERT_TRUE(PumpUntil(loop, [&] { return dlg->IsClosed(); }));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"bad cookie"});
}

TEST_F(Controller, ChannelListNamesEachChannelByItsGroup) {
  IntoLobby();
  g_Where = kWhereChannel;
  g_Wait = 1;
  CHANNELGROUPINFO group;
  group.GroupNo = 1;
  CopyIfShorter(group.Name, "Alpha");
  CHANNELINFO first, second;
  first.GroupNo = 1;
  first.ChanNo = 1;
  second.GroupNo = 9;
  second.ChanNo = 2;
  const CHANNELGROUPINFO groups[] = {group};
  const CHANNELINFO channels[] = {first, second};
  CSV_ALLCHANINFO list;
  ASSERT_TRUE(list.Set(groups, channels));
  game.Send(list);
  ASSERT_TRUE(PumpUntil(loop, [] { return g_Wait == 0; }));
  EXPECT_EQ(screens.channels, (std::vector<std::string>{"Alpha-1", ""}));
  EXPECT_TRUE(screens.Called("channel.refresh on"));
  EXPECT_TRUE(screens.Called("channel.selectlast"));
  EXPECT_TRUE(screens.Called("channel.dismiss"));
}

TEST_F(Controller, ChannelEntryRefusalsShowTheirTexts) {
  IntoLobby();
  struct Case {
    int result;
    const char* text;  // null: the message is ignored
  };
  const Case cases[] = {
      {-1, "요청한 채널은 최대 수용인원을 초과하였습니다."},
      {-2, "잘못된 사용자 정보로 인하여 채널에 입장할 수 없습니다."},
      {-3, "요청한 채널 번호가 올바르지 않습니다."},
      {-4, "입장 가능한 등급이 아닙니다"},
      {-5, "점검중인 채널이므로 입장할 수 없습니다."},
      {-6, "채널에 입장할 수 없습니다."},
      {-99, "채널에 입장할 수 없습니다."},
      {-100, nullptr},
  };
  for (const Case& c : cases) {
    ResetMessageBoxAutomation();
    g_Where = kWhereChannel;
    g_Wait = 1;
    ENTERCHANINFO info;
    info.Result = c.result;
    CSV_ACCEPT_ENTERCHAN msg;
    msg.Set(info);
    game.Send(msg);
    if (c.text) {
      ASSERT_TRUE(PumpUntil(loop, [] { return !LoggedMessageBoxes().empty(); })) << c.result;
      EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.text});
      EXPECT_EQ(g_Wait, 0);
    } else {
      PumpFor(loop, 200);
      EXPECT_TRUE(LoggedMessageBoxes().empty());
      EXPECT_EQ(g_Wait, 1);
    }
    EXPECT_EQ(g_Where, kWhereChannel);
  }
  // Entered: the lobby of the new channel.
  ENTERCHANINFO info;
  info.Result = 0;
  info.GroupNo = 4;
  info.ChanNo = 6;
  CopyIfShorter(info.ChanName, "Beta-6");
  CSV_ACCEPT_ENTERCHAN msg;
  msg.Set(info);
  game.Send(msg);
  ASSERT_TRUE(PumpUntil(loop, [] { return g_Where == kWhereLobby; }));
  EXPECT_EQ(g_NowChanName, "Beta-6");
  EXPECT_EQ(g_NowChanNo, 6);
  EXPECT_EQ(dlg->Title(), "코르반타 토브릭 장기 Ver1.84 - [Beta-6]");
}

TEST_F(Controller, ChannelMoveHandsTheTicketToTheNewServer) {
  IntoLobby();
  g_Where = kWhereChannel;
  FakeServer second;
  CONNECT_MOVECHANINFO ticket;
  for (int i = 0; i < 20; ++i) ticket.reserved1[i] = std::uint8_t(i * 7 + 1);
  ticket.UNum = 0x0A0B;
  for (int i = 0; i < 6; ++i) ticket.reserved2[i] = std::uint8_t(0xF0 + i);
  CSV_DESTCHANNELINFO dest;
  ASSERT_TRUE(dest.Set("127.0.0.1", second.port, ticket));
  game.Send(dest);
  ASSERT_TRUE(second.Accept(loop));
  EXPECT_TRUE(game.SawClose(loop));
  EXPECT_EQ(g_bMovingChan, 1);
  EXPECT_EQ(g_Wait, 1);
  EXPECT_EQ(tovrik::game::Play[0].user.UNum.get(), 0x0A0B);

  CSV_CHECKVERSION version;
  version.Set(184);
  second.Send(version);
  auto frame = second.Receive(loop);
  ASSERT_TRUE(frame);
  auto move = Parse<CSV_CONNECT_MOVECHAN>(*frame);
  ASSERT_TRUE(move);
  EXPECT_EQ(std::memcmp(move->Info, &ticket, sizeof ticket), 0);
  EXPECT_EQ(g_bMovingChan, 0);
  EXPECT_EQ(g_Wait, 0);

  ENTERCHANINFO info;
  info.Result = 1;
  CopyIfShorter(info.ChanName, "Gamma-1");
  CSV_ACCEPT_ENTERCHAN enter;
  enter.Set(info);
  second.Send(enter);
  ASSERT_TRUE(PumpUntil(loop, [] { return g_Where == kWhereLobby; }));
  EXPECT_EQ(g_NowChanName, "Gamma-1");
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(Controller, ChannelMoveThatCannotConnectEnds) {
  IntoLobby();
  g_Where = kWhereChannel;
  int deadPort;
  {
    FakeServer gone;
    deadPort = gone.port;
  }
  CSV_DESTCHANNELINFO dest;
  dest.Set("127.0.0.1", deadPort, CONNECT_MOVECHANINFO{});
  game.Send(dest);
  ASSERT_TRUE(PumpUntil(loop, [&] { return dlg->IsClosed(); }));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"채널 이동에 실패하였습니다"});
}

TEST_F(Controller, FindIdTellsWhereTheUserIs) {
  IntoLobby();
  struct Case {
    const char* id;
    int chanNo, place, roomNo;
    const char* text;
  };
  const Case cases[] = {
      {"", 1, 1, 0, "현재 서버에 접속하지 않았거나 존재하지 않는 사용자입니다."},
      {"kim", 1, 0, 0, "[Kim]님은 서버에 접속하였으며 채널 선택중입니다."},
      {"kim", -1, 1, 0, "[Kim]님은 서버에 접속하였으며 채널 선택중입니다."},
      {"kim", 2, 1, 0, "[Kim]님은 [Alpha-2]의 대기실에 있습니다."},
      {"kim", 2, 2, 0, "[Kim]님은 [Alpha-2]의 상점에 있습니다."},
      {"kim", 2, 3, 17, "[Kim]님은 [Alpha-2]의 [17번방]에 있습니다."},
      {"kim", 2, 9, 0, "[Kim]님은 [Alpha-2]에 있습니다."},
  };
  for (const Case& c : cases) {
    ResetMessageBoxAutomation();
    FINDIDRESULT result;
    CopyIfShorter(result.ID, c.id);
    CopyIfShorter(result.NickName, "Kim");
    CopyIfShorter(result.ChanName, "Alpha-2");
    result.ChanNo = std::int16_t(c.chanNo);
    result.Place = std::int16_t(c.place);
    result.RoomNo = std::int16_t(c.roomNo);
    CSV_RESULT_FINDID msg;
    msg.Set(result);
    game.Send(msg);
    ASSERT_TRUE(PumpUntil(loop, [] { return !LoggedMessageBoxes().empty(); }));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.text});
  }
  EXPECT_TRUE(screens.Called("channel.findid on"));
}

TEST_F(Controller, LosingTheMasterWhileConnectingEnds) {
  Start();
  master.Disconnect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return dlg->IsClosed(); }));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"메인 서버와의 접속이 끊어졌습니다"});
  EXPECT_EQ(g_MasterSID, -1);
}

TEST_F(Controller, LosingTheMasterDuringLoginIsQuiet) {
  ThroughMaster();
  master.Disconnect();
  PumpFor(loop, 300);
  EXPECT_EQ(g_MasterSID, -1);
  EXPECT_FALSE(dlg->IsClosed());
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(Controller, LosingTheGameServerDuringLoginChangesNothingMore) {
  ThroughMaster();
  game.Disconnect();
  ASSERT_TRUE(PumpUntil(loop, [] { return g_MainSrvSID == -1; }));
  EXPECT_EQ(g_MasterSID, -1);  // every connection is closed
  EXPECT_TRUE(master.SawClose(loop));
  EXPECT_TRUE(BoxTexts().empty());
  EXPECT_EQ(g_Where, kWhereLogin);
}

TEST_F(Controller, LosingTheGameServerInTheLobbyEnds) {
  IntoLobby();
  game.Disconnect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return dlg->IsClosed(); }));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"게임 서버와의 접속이 끊어졌습니다"});
  EXPECT_EQ(g_Where, kWhereConnectMaster);
}

TEST_F(Controller, MasterThatCannotBeReachedEnds) {
  {
    FakeServer gone;
    g_ServPort = unsigned(gone.port);
  }
  ASSERT_NO_FATAL_FAILURE((void)dlg->OnInitDialog());
  ASSERT_TRUE(PumpUntil(loop, [&] { return dlg->IsClosed(); }));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"메인 서버와 접속이 실패하였습니다"});
}

TEST_F(Controller, GameServerThatCannotBeReachedEnds) {
  Start();
  CMS_CHECKVERSION version;
  version.Set(184);
  master.Send(version);
  ASSERT_TRUE(master.Receive(loop));
  int deadPort;
  {
    FakeServer gone;
    deadPort = gone.port;
  }
  CMS_DESTSERVERINFO dest;
  dest.Set(DestServer(deadPort));
  master.Send(dest);
  ASSERT_TRUE(PumpUntil(loop, [&] { return dlg->IsClosed(); }));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"게임 서버와 접속이 실패하였습니다"});
}

TEST_F(Controller, ClosingInTheLobbyLogsOutOnceAndEndsAfterFifteenSeconds) {
  IntoLobby();
  dlg->SendMessage(WM_CLOSE);
  auto frame = game.Receive(loop);
  ASSERT_TRUE(frame);
  auto logout = Parse<CSV_ASK_LOGOUT>(*frame);
  ASSERT_TRUE(logout);
  EXPECT_EQ(logout->UNum->get(), 42);
  EXPECT_EQ(logout->UserID->View(), "hong");
  EXPECT_EQ(g_Wait, 1);
  EXPECT_TRUE(screens.Called("closing.open 프로그램을 종료하는 중입니다."));

  dlg->OnCancel();
  EXPECT_TRUE(Quiet(game));
  EXPECT_FALSE(dlg->IsClosed());

  clock.Advance(14999);
  PumpFor(loop, 50);
  EXPECT_FALSE(dlg->IsClosed());
  clock.Advance(1);
  ASSERT_TRUE(PumpUntil(loop, [&] { return dlg->IsClosed(); }));
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(Controller, LogoutAnswerEndsAtOnce) {
  IntoLobby();
  dlg->OnCancel();
  ASSERT_TRUE(game.Receive(loop));
  CSV_ACCEPT_LOGOUT answer;
  answer.Set();
  game.Send(answer);
  ASSERT_TRUE(PumpUntil(loop, [&] { return dlg->IsClosed(); }));
  EXPECT_EQ(g_Wait, 0);
  // The server closing after its answer is no news to the user.
  game.Disconnect();
  PumpFor(loop, 100);
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(Controller, ClosingInARoomOnlyLeavesTheRoom) {
  IntoLobby();
  g_Where = kWhereGameRoom;
  dlg->OnCancel();
  EXPECT_TRUE(screens.Called("room.exit"));
  EXPECT_TRUE(Quiet(game));
  EXPECT_FALSE(dlg->IsClosed());
}

TEST_F(Controller, UndecodableAndUnknownFramesAreDropped) {
  IntoLobby();
  // A refusal whose text length runs past the frame.
  CSV_REFUSE_LOGIN refuse;
  refuse.Set(1, "abc");
  Bytes frame(refuse.GetData(), refuse.GetData() + refuse.GetTotalSize());
  frame[16 + 4] = 100;
  tovrik::net::CCommMsg::EncodeAll(frame.data(), int(frame.size()));
  ::send(game.peer, frame.data(), frame.size(), MSG_NOSIGNAL);
  PumpFor(loop, 200);
  EXPECT_FALSE(dlg->IsClosed());
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(Controller, PlayTimeRemindersInTheLobby) {
  IntoLobby();
  screens.chat.clear();
  for (int hour = 1; hour <= 3; ++hour) {
    clock.Advance(3600000);
    PumpFor(loop, 20);
  }
  std::vector<std::string> chat = screens.Chat("lobby");
  ASSERT_FALSE(chat.empty());
  EXPECT_EQ(chat.back(), "게임 접속 후 3시간이 경과했습니다. 잠시 쉬었다 하시기 바랍니다.\n");
  EXPECT_EQ(screens.chat.back().colour, (ChatColour{255, 0, 0}));
  clock.Advance(2999);
  PumpFor(loop, 20);
  EXPECT_EQ(screens.Chat("lobby").size(), chat.size());
  clock.Advance(1);
  PumpFor(loop, 20);
  chat = screens.Chat("lobby");
  EXPECT_EQ(chat.back(), "과도한 게임이용은 정상적인 일상생활에 지장을 줄 수 있습니다.\n");
  EXPECT_EQ(dlg->PlayHours(), 3);
}

TEST_F(Controller, ReminderOnTheChannelScreenWaitsForTheLobby) {
  IntoLobby();
  g_Where = kWhereChannel;
  screens.chat.clear();
  dlg->GuardTimer(kTimerPlayHour);
  EXPECT_TRUE(screens.chat.empty());
  dlg->MoveToLobby();
  screens.chat.clear();
  clock.Advance(1000);
  PumpFor(loop, 20);
  ASSERT_EQ(screens.Chat("lobby").size(), 1u);
  EXPECT_EQ(screens.Chat("lobby")[0], "게임 접속 후 1시간이 경과 하였습니다.\n");
}

TEST_F(Controller, ScoreLinesOnReturningToTheLobby) {
  IntoLobby();
  g_Where = kWhereGameRoom;
  dlg->ChangeView(3);
  tovrik::game::Play[0].user.Point = 1450;
  screens.chat.clear();
  dlg->MoveToLobby();
  std::vector<std::string> chat = screens.Chat("lobby");
  ASSERT_GE(chat.size(), 2u);
  EXPECT_EQ(chat[0], "★접속후 총 -50점을 잃으셨습니다\n");
  EXPECT_EQ(chat[1], "★방금 계셨던 방에서 -50점을 잃으셨습니다\n");
  EXPECT_EQ(screens.chat[0].colour, (ChatColour{180, 0, 0}));
}

TEST_F(Controller, BadUserCoolDownRunsOneMinute) {
  IntoLobby();
  dlg->ResetBadUserTimer();
  EXPECT_TRUE(dlg->BadUserTimerRunning());
  clock.Advance(59999);
  PumpFor(loop, 20);
  EXPECT_TRUE(dlg->BadUserTimerRunning());
  clock.Advance(1);
  PumpFor(loop, 20);
  EXPECT_FALSE(dlg->BadUserTimerRunning());
}

TEST_F(Controller, TwoCapturesWithinFiftyMilliseconds) {
  const char* oldHome = std::getenv("HOME");
  std::string saved = oldHome ? oldHome : "";
  ::setenv("HOME", folder.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (folder / "cfg").c_str(), 1);
  Start();
  loop.PaintNow();
  EXPECT_TRUE(dlg->ScreenCapture(dlg.get(), "one.jpg"));
  clock.Advance(49);
  EXPECT_FALSE(dlg->ScreenCapture(dlg.get(), "two.jpg"));
  clock.Advance(1);
  EXPECT_TRUE(dlg->ScreenCapture(dlg.get(), "three.jpg"));
  EXPECT_FALSE(dlg->ScreenCapture(nullptr, "four.jpg"));
  EXPECT_TRUE(std::filesystem::exists(folder / "Documents" / "one.jpg"));
  EXPECT_FALSE(std::filesystem::exists(folder / "Documents" / "two.jpg"));
  ::setenv("HOME", saved.c_str(), 1);
  ::unsetenv("XDG_CONFIG_HOME");
}

// Start-up names every sprite file it cannot read, in the order it loads
// them, and goes on; the event prize picture is loaded without a word.
TEST_F(Controller, StartUpNamesUnreadableSpritesAndLoadsThePrizeQuietly) {
  const std::filesystem::path home = std::filesystem::current_path();
  std::filesystem::create_directories(folder / "image");
  // A 1 x 1 bitmap of 24 bits: one blue pixel and its row padding.
  const unsigned char bmp[58] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1,
                                 0,   0,   0,  1, 0, 24, 0, 0, 0, 0, 0, 4, 0,  0, 0, 0,  0, 0, 0, 0, 0, 0, 0,
                                 0,   0,   0,  0, 0, 0,  0, 0, 255, 0, 0, 0};
  std::ofstream(folder / "image" / "EventPrize.BMP", std::ios::binary).write(reinterpret_cast<const char*>(bmp), 58);
  std::filesystem::current_path(folder);
  dlg.reset();
  dlg = std::make_unique<CClientDlg>(CClientDlg::Options{false, true, false}, screens.Screens());
  const bool started = dlg->OnInitDialog();
  std::filesystem::current_path(home);
  ASSERT_TRUE(started);

  std::vector<std::string> expected;
  for (const char* name :
       {"GameBack8",      "Title8",         "TGage8",         "PGage8",          "PowerBtn8",      "ChangeBtn8",
        "TeleportBtn8",   "NuclearBtn8",    "Dot8",           "Star8",           "Turn8",          "PowerUpTitle8",
        "ChangeTitle8",   "TeleportTitle8", "NuclearTitle8",  "ChangeCur8",      "TeleportCur8",   "NuclearCur8",
        "ChangeAni8",     "TeleportAni8",   "NuclearAni8",    "TeleportTarget8", "StoneFocus8",    "HanStone8",
        "ChoStone8",      "CharBack",       "Level",          "PcRoom",          "NickNameRollOver", "PeakTime",
        "Event_coin",     "Event_Result"})
    expected.push_back(std::string(name) + ".spr 파일을 읽을 수 없습니다");
  EXPECT_EQ(BoxTexts(), expected);
  const tovrik::gfx::xBitmap& prize = GetCommonSprites().eventPrize;
  ASSERT_TRUE(prize.IsLoaded()) << prize.LastError();
  EXPECT_EQ(prize.At(0, 0), tovrik::gfx::RGB555(0, 0, 255));
  EXPECT_EQ(GetCommonSprites().sprites8.size(), 28u);
  EXPECT_EQ(GetCommonSprites().sprites16.size(), 4u);
  EXPECT_TRUE(master.Accept(loop)) << "start-up went on to the master server";
}

TEST_F(Controller, LosingTheGameServerEndsEvenAnOpenDialog) {
  IntoLobby();
  // A dialog of a screen is open (a modal run) when the server goes away.
  Window dialog;
  ASSERT_TRUE(dialog.Create(dlg.get(), Rect::FromSize(100, 100, 200, 100)));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  loop.SetModalHook([&](Window& modal) {
    if (std::chrono::steady_clock::now() > deadline) loop.EndModal(modal, 99);
  });
  game.Disconnect();
  EXPECT_EQ(loop.RunModal(dialog), -1) << "the dialog ended with the program, not by itself";
  EXPECT_TRUE(loop.QuitRequested());
  EXPECT_TRUE(dlg->IsClosed());
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"게임 서버와의 접속이 끊어졌습니다"});
}

TEST_F(Controller, CancelCommandRunsTheExitPathAndOkDoesNothing) {
  IntoLobby();
  dlg->SendMessage(WM_COMMAND, IDOK);
  EXPECT_TRUE(Quiet(game));
  dlg->PostMessage(WM_COMMAND, IDCANCEL);
  auto frame = game.Receive(loop);
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->id, msgid::CSV_ASK_LOGOUT);
}

TEST_F(Controller, LoginBringsTheWindowBackCentredAndActive) {
  std::unique_ptr<SdlSession> sdl = SdlSession::Start();
  ASSERT_TRUE(sdl);
  std::unique_ptr<Screen> screen = Screen::Open("test", 800, 600);
  ASSERT_TRUE(screen);
  loop.AttachScreen(screen.get());
  screen->SetWindowPosition({0, 0});
  IntoLobby();
  SDL_Rect desktop{};
  SDL_GetDisplayBounds(0, &desktop);
  int width = 0, height = 0;
  SDL_GetWindowSize(screen->NativeWindow(), &width, &height);
  EXPECT_EQ(screen->WindowPosition(), (Point{desktop.x + (desktop.w - width) / 2, desktop.y + (desktop.h - height) / 2}));
  EXPECT_TRUE(dlg->IsVisibleFlag());
  EXPECT_EQ(dlg->GetWindowRect(), Rect::FromSize(0, 0, 800, 600));
  EXPECT_EQ(loop.GetFocus(), dlg.get());
  loop.AttachScreen(nullptr);
}

// The system menu opens with Alt+Space or a right click on the caption bar
// and holds the About item besides the usual commands.
class SystemMenuTest : public Controller {
 protected:
  // Through the backend's translation: the Alt state travels with the key.
  void AltSpace() {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = SDLK_SPACE;
    event.key.keysym.mod = KMOD_LALT;
    loop.HandleSdlEvent(event);
  }
  void RightRelease(int x, int y) { loop.InjectMouseButton({x, y}, MouseButton::Right, false); }
  bool MenuOpens() {
    return PumpUntil(loop, [&] { return dlg->SystemMenu().IsOpen(); }, 1000);
  }
  static std::string AboutText() {
    return "코르반타 토브릭 장기 Ver1.84\n\n한과 초, 장기판 위의 알까기\nCopyright (C) 코르반타";
  }
};

TEST_F(SystemMenuTest, AltSpaceThenTheAcceleratorShowsTheAboutBox) {
  IntoLobby();
  AltSpace();
  ASSERT_TRUE(MenuOpens());
  EXPECT_EQ(dlg->SystemMenu().Highlighted(), 0);
  loop.InjectKey('A', true);
  ASSERT_TRUE(PumpUntil(loop, [] { return !LoggedMessageBoxes().empty(); }));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{AboutText()});
  EXPECT_FALSE(dlg->SystemMenu().IsOpen());
  EXPECT_FALSE(dlg->IsClosed());
}

TEST_F(SystemMenuTest, OnlySpaceWithAltHeldOpensIt) {
  IntoLobby();
  loop.InjectKey(VK_SPACE, true);
  loop.InjectKey(VK_SPACE, false);
  PumpFor(loop, 50);
  EXPECT_FALSE(dlg->SystemMenu().IsOpen());
  loop.InjectKey(VK_MENU, true);
  loop.InjectKey(VK_SPACE, true);
  EXPECT_TRUE(MenuOpens());
}

TEST_F(SystemMenuTest, CloseItemRunsTheExitPath) {
  IntoLobby();
  AltSpace();
  ASSERT_TRUE(MenuOpens());
  loop.InjectKey(VK_DOWN, true);
  loop.InjectKey(VK_RETURN, true);
  auto frame = game.Receive(loop);
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->id, msgid::CSV_ASK_LOGOUT);
}

TEST_F(SystemMenuTest, RightClickOnTheCaptionBarOpensItAndAClickPicks) {
  IntoLobby();
  RightRelease(300, 40);
  PumpFor(loop, 50);
  EXPECT_FALSE(dlg->SystemMenu().IsOpen()) << "below the caption bar";
  RightRelease(300, 10);
  ASSERT_TRUE(MenuOpens());
  const Rect about = dlg->SystemMenu().ItemRect(3);
  const Point at{about.left + 5, about.top + 5};
  loop.InjectMouseMove(at);
  loop.InjectMouseButton(at, MouseButton::Left, true);
  loop.InjectMouseButton(at, MouseButton::Left, false);
  ASSERT_TRUE(PumpUntil(loop, [] { return !LoggedMessageBoxes().empty(); }));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{AboutText()});
}

TEST_F(SystemMenuTest, EscapeOrAClickElsewhereLeavesIt) {
  IntoLobby();
  AltSpace();
  ASSERT_TRUE(MenuOpens());
  loop.InjectKey(VK_ESCAPE, true);
  EXPECT_FALSE(dlg->SystemMenu().IsOpen());
  AltSpace();
  ASSERT_TRUE(MenuOpens());
  loop.InjectMouseButton({500, 400}, MouseButton::Left, true);
  loop.InjectMouseButton({500, 400}, MouseButton::Left, false);
  PumpFor(loop, 50);
  EXPECT_FALSE(dlg->SystemMenu().IsOpen());
  EXPECT_TRUE(BoxTexts().empty());
  EXPECT_TRUE(Quiet(game));
}

// The game server lost on the channel screen or in a room ends the program
// as in the lobby; a room is not merely left.
class GameServerLost : public Controller, public ::testing::WithParamInterface<int> {};

TEST_P(GameServerLost, InEveryLaterStateEndsWithTheMessage) {
  IntoLobby();
  g_Where = GetParam();
  game.Disconnect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return dlg->IsClosed(); }));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"게임 서버와의 접속이 끊어졌습니다"});
  EXPECT_EQ(g_Where, kWhereConnectMaster);
  EXPECT_EQ(g_MainSrvSID, -1);
  EXPECT_FALSE(screens.Called("room.exit"));
}

INSTANTIATE_TEST_SUITE_P(States, GameServerLost, ::testing::Values(int(kWhereChannel), int(kWhereGameRoom)));

// A message box runs its own loop, so frames keep arriving while it is
// open; a second message of the kind whose box is showing is ignored.
class BoxThatStaysOpen final : public IMessageBoxHost {
 public:
  explicit BoxThatStaysOpen(EventLoop& loop) : loop_(loop) {}
  void CloseProgressBoxes() override {}
  int ShowMessageDialog(std::string_view text, std::string_view, unsigned) override {
    texts.emplace_back(text);
    if (auto once = std::exchange(whileOpen, nullptr)) once();
    PumpFor(loop_, 300);
    return IDOK;
  }
  std::vector<std::string> texts;
  // Runs once, while the next box is open.
  std::function<void()> whileOpen;

 private:
  EventLoop& loop_;
};

TEST_F(Controller, SecondMessageWhileItsBoxIsOpenIsIgnored) {
  CClientApp app({"tovrik"});
  BoxThatStaysOpen box(loop);
  app.SetMessageBoxHost(&box);
  IntoLobby();

  FINDIDRESULT found;
  CopyIfShorter(found.ID, "kim");
  CopyIfShorter(found.NickName, "Kim");
  CopyIfShorter(found.ChanName, "Beta");
  found.Place = 1;
  found.ChanNo = 1;
  CSV_RESULT_FINDID findId;
  ASSERT_TRUE(findId.Set(found));
  ENTERCHANINFO refused;
  refused.Result = -1;
  CSV_ACCEPT_ENTERCHAN enter;
  ASSERT_TRUE(enter.Set(refused));

  // Each answer comes again while its box is open.
  box.whileOpen = [&] { game.Send(findId); };
  game.Send(findId);
  ASSERT_TRUE(PumpUntil(loop, [&] { return box.texts.size() == 1; }));
  box.whileOpen = [&] { game.Send(enter); };
  game.Send(enter);
  PumpFor(loop, 800);
  app.SetMessageBoxHost(nullptr);

  EXPECT_EQ(box.texts, (std::vector<std::string>{"[Kim]님은 [Beta]의 대기실에 있습니다.",
                                                 "요청한 채널은 최대 수용인원을 초과하였습니다."}));
  EXPECT_EQ(std::count(screens.calls.begin(), screens.calls.end(), "channel.findid on"), 2)
      << "the ignored answer still enables the search again";
}

TEST_F(Controller, LoginFromAPcRoomOpensItsGreeting) {
  ThroughMaster();
  FinishLogin("Alpha-3", 19);
  EXPECT_TRUE(screens.Called("popup.pcroom 19"));
}

// During the game-pack event the exit asks through the event notice first;
// only its cancel lets the program end.
TEST_F(Controller, ClosingDuringTheEventAsksTheNoticeFirst) {
  ThroughMaster();
  SERVERINFO info;
  info.ServerTime = tovrik::game::ToSystemTime(
      std::chrono::local_days{std::chrono::year{2007} / 11 / 27} + std::chrono::hours{22} + std::chrono::minutes{59});
  CSV_SERVERINFO serverInfo;
  ASSERT_TRUE(serverInfo.Set(info));
  game.Send(serverInfo);
  FinishLogin("Alpha-3");

  screens.eventNoticeAnswer = 1114;  // play more
  dlg->OnCancel();
  EXPECT_TRUE(screens.Called("popup.event 3"));
  EXPECT_TRUE(Quiet(game));
  EXPECT_FALSE(screens.Called("closing.open 프로그램을 종료하는 중입니다."));

  screens.eventNoticeAnswer = IDCANCEL;
  dlg->OnCancel();
  auto frame = game.Receive(loop);
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->id, msgid::CSV_ASK_LOGOUT);
}

}  // namespace

namespace {

// A screen set that gives only the lobby; the status view serves the rest.
class LobbyOnlySet final : public IScreenSet {
 public:
  LobbyOnlySet(RecordingScreens& lobby, std::vector<std::string>& events) : lobby_(lobby), events_(events) {}
  ~LobbyOnlySet() override { events_.push_back("destroyed"); }
  ClientScreens Screens() override {
    ClientScreens screens;
    screens.lobby = &lobby_;
    return screens;
  }
  bool Create(tovrik::platform::Window& mainWindow) override {
    events_.push_back(mainWindow.IsCreated() ? "created in window" : "created without window");
    return true;
  }

 private:
  RecordingScreens& lobby_;
  std::vector<std::string>& events_;
};

}  // namespace

TEST_F(Controller, ScreenSetIsCreatedInTheMainWindowAndServesItsScreens) {
  std::vector<std::string> events;
  RecordingScreens lobby;
  CClientDlg::Options options{false, false, false};
  options.screenSet = [&] { return std::make_unique<LobbyOnlySet>(lobby, events); };
  dlg = std::make_unique<CClientDlg>(std::move(options));
  ASSERT_NE(dlg->StatusView(), nullptr);  // the other screens
  ThroughMaster();
  EXPECT_EQ(events, (std::vector<std::string>{"created in window"}));
  FinishLogin("Alpha-3");
  EXPECT_NE(std::find(lobby.calls.begin(), lobby.calls.end(), "lobby.refresh"), lobby.calls.end());
  dlg.reset();
  EXPECT_EQ(events.back(), "destroyed");
}
