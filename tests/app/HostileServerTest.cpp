// The controller against servers that send what they should not: messages
// from the wrong connection or at the wrong time, and the route table that
// decides which messages the main window takes at all.

#include "ControllerFixture.h"

#include "app/ConfigFile.h"
#include "protocol/Messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <set>

using namespace tovrik::app;
using namespace tovrik::app::test;
using namespace tovrik::platform;
using namespace tovrik::protocol;

namespace {

// Every message the servers can send reaches a handler of the table or is
// listed as left alone on purpose; nothing vanishes unnoticed.
TEST(RouteTable, EveryMessageAServerSendsIsRoutedOrDeliberatelyIgnored) {
  const std::vector<std::int16_t> routed = CClientDlg::RoutedMessageIds();
  const std::span<const std::int16_t> ignored = CClientDlg::IgnoredMessageIds();
  auto count = [](auto ids, std::int16_t id) { return std::count(ids.begin(), ids.end(), id); };
  for (const MessageInfo& message : AllMessages()) {
    const auto inTable = count(routed, message.id), inIgnored = count(ignored, message.id);
    if (message.direction == Direction::ClientToServer) {
      EXPECT_EQ(inTable + inIgnored, 0) << message.name << " is never sent by a server";
      continue;
    }
    EXPECT_EQ(inTable + inIgnored, 1) << message.name << (inTable + inIgnored ? " is listed twice" : " is neither routed nor ignored");
  }
  for (std::int16_t id : routed) EXPECT_TRUE(FindMessage(id)) << id << " is not in the catalogue";
  for (std::int16_t id : ignored) EXPECT_TRUE(FindMessage(id)) << id << " is not in the catalogue";
}

class HostileServer : public Controller {
 protected:
  void SendAccept(FakeServer& from) {
    CSV_ACCEPT_LOGIN accept;
    ASSERT_TRUE(accept.Set(Accept("Alpha-3")));
    from.Send(accept);
  }
  void SendEnter(FakeServer& from) {
    ENTERCHANINFO entered;
    entered.Result = 0;
    entered.GroupNo = 1;
    entered.ChanNo = 9;
    CopyIfShorter(entered.ChanName, "Forged");
    CSV_ACCEPT_ENTERCHAN enter;
    ASSERT_TRUE(enter.Set(entered));
    from.Send(enter);
  }
};

TEST_F(HostileServer, LoginAcceptanceFromTheMasterConnectionIsDropped) {
  ThroughMaster();
  SendAccept(master);
  PumpFor(loop, 300);
  EXPECT_EQ(g_Where, kWhereLogin);
  EXPECT_TRUE(g_LoginID.empty());
}

TEST_F(HostileServer, LoginAcceptanceBeforeTheLoginRequestIsDropped) {
  ThroughMaster();
  SendAccept(game);
  PumpFor(loop, 300);
  EXPECT_EQ(g_Where, kWhereLogin) << "no login was asked for yet";
  auto login = SendVersion();  // the real login still works afterwards
  ASSERT_TRUE(login);
  SendAccept(game);
  EXPECT_TRUE(PumpUntil(loop, [] { return g_Where == kWhereLobby; }));
}

TEST_F(HostileServer, ChannelEntryBeforeTheLoginIsDropped) {
  ASSERT_TRUE(ThroughVersion());
  SendEnter(game);
  PumpFor(loop, 300);
  EXPECT_EQ(g_Where, kWhereLogin);
  EXPECT_NE(g_NowChanNo, 9);
}

TEST_F(HostileServer, MasterMessagesAfterTheHandOverAreDropped) {
  ThroughMaster();
  CMS_CHECKVERSION version;
  ASSERT_TRUE(version.Set(183));
  master.Send(version);
  CMS_DESTSERVERINFO again;
  ASSERT_TRUE(again.Set(DestServer(game.port)));
  master.Send(again);
  PumpFor(loop, 300);
  EXPECT_TRUE(BoxTexts().empty()) << "a stale master cannot end the login";
  EXPECT_FALSE(dlg->IsClosed());
  FinishLogin("Alpha-3");
}

// A server that accepts the connection and then says nothing: after the
// wait's bound the program ends with the connection failure message.
TEST_F(HostileServer, AMasterThatNeverGreetsEndsAfterTheBound) {
  Start();
  clock.Advance(kConnectWaitMs - 1);
  PumpFor(loop, 50);
  EXPECT_FALSE(dlg->IsClosed());
  clock.Advance(1);
  ASSERT_TRUE(PumpUntil(loop, [&] { return dlg->IsClosed(); }));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"메인 서버와 접속이 실패하였습니다"});
  EXPECT_TRUE(master.SawClose(loop));
}

TEST_F(HostileServer, AGameServerThatNeverChecksTheVersionEndsAfterTheBound) {
  ThroughMaster();
  clock.Advance(kConnectWaitMs);
  ASSERT_TRUE(PumpUntil(loop, [&] { return dlg->IsClosed(); }));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"게임 서버와 접속이 실패하였습니다"});
  EXPECT_EQ(g_MainSrvSID, -1);
  EXPECT_EQ(g_MasterSID, -1);
}

TEST_F(HostileServer, AGameServerThatNeverAnswersTheLoginEndsAfterTheBound) {
  ASSERT_TRUE(ThroughVersion());
  clock.Advance(kConnectWaitMs - 1);
  PumpFor(loop, 50);
  EXPECT_FALSE(dlg->IsClosed()) << "the bound restarts with each step";
  clock.Advance(1);
  ASSERT_TRUE(PumpUntil(loop, [&] { return dlg->IsClosed(); }));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"게임 서버와 접속이 실패하였습니다"});
}

TEST_F(HostileServer, TheBoundEndsWithTheLogin) {
  IntoLobby();
  clock.Advance(kConnectWaitMs * 2);
  PumpFor(loop, 100);
  EXPECT_FALSE(dlg->IsClosed());
  EXPECT_TRUE(BoxTexts().empty());
}

// A connection refused before it starts (here: port 0) is reported once,
// by the controller, not once more by the socket layer.
TEST_F(HostileServer, AMasterConnectionThatCannotStartShowsOneMessage) {
  g_ServPort = 0;
  (void)dlg->OnInitDialog();
  PumpFor(loop, 200);
  EXPECT_TRUE(dlg->IsClosed());
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"메인 서버와 접속이 실패하였습니다"});
}

TEST_F(HostileServer, AGameServerThatCannotBeConnectedShowsOneMessage) {
  Start();
  CMS_CHECKVERSION version;
  ASSERT_TRUE(version.Set(184));
  master.Send(version);
  ASSERT_TRUE(master.Receive(loop));
  CMS_DESTSERVERINFO dest;
  ASSERT_TRUE(dest.Set(DestServer(0)));
  master.Send(dest);
  ASSERT_TRUE(PumpUntil(loop, [&] { return dlg->IsClosed(); }));
  PumpFor(loop, 200);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"게임 서버와 접속이 실패하였습니다"});
}

// The login id names the user's section of the settings file; an id that
// closes its section and opens another must not reach other users' settings.
class SettingsFromTheServer : public HostileServer {
 protected:
  std::filesystem::path File() const { return folder / "config" / "config.ini"; }
  void WriteFile(const std::string& text) {
    std::filesystem::create_directories(File().parent_path());
    std::ofstream(File()) << text;
  }
  std::string ReadFile() const {
    std::ifstream in(File());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  void LoginAs(std::string_view id, std::string_view nickName = "Gildong") {
    ASSERT_TRUE(ThroughVersion());
    LOGINACCEPTINFO info = Accept("Alpha-3");
    std::fill(std::begin(info.UI.ID), std::end(info.UI.ID), '\0');
    CopyIfShorter(info.UI.ID, id);
    std::fill(std::begin(info.UI.NickName), std::end(info.UI.NickName), '\0');
    CopyIfShorter(info.UI.NickName, nickName);
    CSV_ACCEPT_LOGIN accept;
    ASSERT_TRUE(accept.Set(info));
    game.Send(accept);
    ASSERT_TRUE(PumpUntil(loop, [] { return g_Where == kWhereLobby; }));
  }
};

TEST_F(SettingsFromTheServer, AnIdCannotForgeASectionOrAKey) {
  WriteFile("[victim]\nScreenMode=0\n");
  const std::string hostile = "z]\n[victim]\nA=1";
  LoginAs(hostile);
  ASSERT_EQ(g_LoginID, hostile);
  EXPECT_EQ(dlg->Config().ScreenMode, 1) << "the victim's settings were not read for the hostile id";
  const std::string text = ReadFile();
  EXPECT_EQ(std::count(text.begin(), text.end(), '['), 2) << text;
  EXPECT_EQ(text.find("A=1"), std::string::npos) << text;
  EXPECT_NE(text.find("[z%5D%0A%5Bvictim%5D%0AA%3D1]"), std::string::npos) << text;
  EXPECT_EQ(GetProfile_int("victim", "ScreenMode", 1), 0);
  EXPECT_EQ(GetProfile_int("victim", "A", 7), 7);
}

TEST_F(SettingsFromTheServer, ALoginReadsTheFileOnceAndWritesOnlyWhatChanged) {
  WriteFile("[hong]\nScreenMode=0\nNoInvit=1\n");
  LoginAs("hong");
  EXPECT_EQ(TheConfigFile().Reads(), 1);
  EXPECT_EQ(TheConfigFile().Writes(), 0) << "window mode, nothing to change";
  EXPECT_TRUE(screens.Called("lobby.noinvite"));
}

TEST_F(SettingsFromTheServer, TheFileKeepsABoundedNumberOfUsers) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "[user" + std::to_string(i) + "]\nNoWhisper=1\n";
  WriteFile(text);
  LoginAs("hong");
  const std::string written = ReadFile();
  EXPECT_EQ(std::size_t(std::count(written.begin(), written.end(), '[')), CConfigFile::kMaxSections);
  EXPECT_NE(written.find("[hong]"), std::string::npos);
  EXPECT_NE(written.find("[user39]"), std::string::npos) << "the latest users stay";
  EXPECT_EQ(written.find("[user0]"), std::string::npos) << "the oldest go";
}

// Ids and names reach a query string and text lines: they cannot add query
// parameters or forge lines.
TEST_F(SettingsFromTheServer, AnIdOrANameCannotAddParametersOrLines) {
  ThroughMaster();
  SERVERINFO info;
  CopyIfShorter(info.LocationURL, "http://loc/where.asp");
  CSV_SERVERINFO serverInfo;
  ASSERT_TRUE(serverInfo.Set(info));
  game.Send(serverInfo);
  ASSERT_TRUE(PumpUntil(loop, [] { return !g_LocationURL.empty(); }));
  ASSERT_TRUE(SendVersion());
  LOGINACCEPTINFO accept = Accept("Alpha-3");
  std::fill(std::begin(accept.UI.ID), std::end(accept.UI.ID), '\0');
  CopyIfShorter(accept.UI.ID, "a&admin=1");
  std::fill(std::begin(accept.UI.NickName), std::end(accept.UI.NickName), '\0');
  CopyIfShorter(accept.UI.NickName, "x\n# [admin]");
  CSV_ACCEPT_LOGIN login;
  ASSERT_TRUE(login.Set(accept));
  game.Send(login);
  ASSERT_TRUE(PumpUntil(loop, [] { return g_Where == kWhereLobby; }));
  ASSERT_EQ(screens.pages.size(), 1u);
  EXPECT_NE(screens.pages[0].find("?user_id=a%26admin%3D1&server="), std::string::npos) << screens.pages[0];
  ASSERT_FALSE(screens.chat.empty());
  EXPECT_EQ(screens.chat[0].text.substr(0, screens.chat[0].text.find('\n')), "# [x?# [admin]]님의 접속을 환영합니다 #");
}

}  // namespace

namespace {

// Nothing holds an exit back: a signal ends the program from a room too, a
// connection lost meanwhile ends it without a box, and the closing box's
// 15 s end also a dialog that is open.
class ExitTest : public Controller {
 protected:
  void Signal() {
    std::raise(SIGTERM);
    clock.Advance(200);  // the signal watch looks five times a second
    PumpFor(loop, 50);
  }
};

TEST_F(ExitTest, ASignalInARoomLogsOutAndALostConnectionThenEndsWithoutABox) {
  IntoLobby();
  g_Where = kWhereGameRoom;
  Signal();
  auto frame = game.Receive(loop);
  ASSERT_TRUE(frame) << "a signal is not a click on the room's exit";
  EXPECT_EQ(frame->id, msgid::CSV_ASK_LOGOUT);
  EXPECT_FALSE(screens.Called("room.exit"));
  game.Disconnect();
  ASSERT_TRUE(PumpUntil(loop, [&] { return dlg->IsClosed(); }));
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(ExitTest, ASecondSignalDuringTheLogoutWaitEndsAtOnce) {
  IntoLobby();
  Signal();
  ASSERT_TRUE(game.Receive(loop));
  EXPECT_FALSE(dlg->IsClosed());
  Signal();
  EXPECT_TRUE(dlg->IsClosed());
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(ExitTest, TheFifteenSecondEndAlsoEndsAnOpenDialog) {
  IntoLobby();
  dlg->OnCancel();
  ASSERT_TRUE(game.Receive(loop));
  Window dialog;
  ASSERT_TRUE(dialog.Create(dlg.get(), Rect::FromSize(100, 100, 200, 100)));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  bool advanced = false;
  loop.SetModalHook([&](Window& modal) {
    if (!advanced) clock.Advance(kClosingBoxMs), advanced = true;
    if (std::chrono::steady_clock::now() > deadline) loop.EndModal(modal, 99);
  });
  EXPECT_EQ(loop.RunModal(dialog), -1) << "the dialog ended with the program, not by itself";
  EXPECT_TRUE(dlg->IsClosed());
}

}  // namespace
