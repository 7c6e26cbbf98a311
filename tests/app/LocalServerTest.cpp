// The controller against the project's own server: tovrik-server runs as a
// child process with a master and two game servers; the main window runs
// in this process on the headless event loop with its plain status view.

#include "ClientProcess.h"
#include "FakeServers.h"
#include "../server/ServerHarness.h"

#include "app/ClientDlg.h"
#include "app/ControllerState.h"
#include "app/LaunchParams.h"
#include "app/StatusView.h"
#include "game/GameGlobals.h"
#include "sockets/SockMan.h"
#include "platform/MessageBox.h"
#include "protocol/LoginMessages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>

#include <signal.h>

using namespace tovrik::app;

using namespace tovrik::platform;
using namespace tovrik::protocol;
using tovrik::app::test::PumpFor;
using tovrik::app::test::PumpUntil;
using tovrik::sockets::SockMan;
using tovrik::server::testing::ServerUnderTest;

namespace {

// Login group 1 is served by game server 1; the second channel lives on
// game server 2, so entering it is a move between servers.
constexpr char kConfig[] = R"(
[Server1]
LoginGroup = 1
[Group1]
Name = 자유
[Channel1-1]
Server = 1
[Channel1-2]
Server = 2
)";

class LocalServer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.Running()) << server.Log();
    ASSERT_EQ(server.Games().size(), 2u);
    ResetControllerState();
    ResetMessageBoxAutomation();
    folder = std::filesystem::temp_directory_path() / ("tovrik-localserver-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    SetProfile_DefPath(folder);
    g_ServIP = server.Master().host;
    g_ServPort = unsigned(server.Master().port);
    g_AuthCookie = "id=hong&nick=홍길동";
    g_DataCookie = "data";
    g_CpCookie = "cp";
    g_LoginGroup = 1;
    tovrik::game::Play[0].Clear();
    dlg = std::make_unique<CClientDlg>(CClientDlg::Options{false, false, false});
  }
  void TearDown() override {
    if (HasFailure()) std::cerr << server.Log();
    dlg.reset();
    SetProfile_DefPath({});
    std::filesystem::remove_all(folder);
  }

  bool ServerLogHas(std::string_view text, int ms = 3000) {
    return PumpUntil(loop, [&] { return server.Log().find(text) != std::string::npos; }, ms);
  }
  bool ViewShows(std::string_view line) const {
    const auto& lines = dlg->StatusView()->Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  void IntoLobby() {
    ASSERT_TRUE(dlg->OnInitDialog());
    ASSERT_TRUE(PumpUntil(loop, [] { return g_Where == kWhereLobby; }, 5000));
  }

  ServerUnderTest server{kConfig};
  EventLoop loop;
  std::filesystem::path folder;
  std::unique_ptr<CClientDlg> dlg;
};

TEST_F(LocalServer, LogsInThroughTheMasterAndReachesTheLobby) {
  IntoLobby();
  EXPECT_EQ(dlg->StatusView()->Status(), "대기실: 자유-1");
  EXPECT_TRUE(ViewShows("# [홍길동]님의 접속을 환영합니다 #"));
  EXPECT_EQ(g_LoginID, "hong");
  EXPECT_EQ(g_NowGroupNo, 1);
  EXPECT_EQ(g_NowChanNo, 1);
  EXPECT_EQ(g_MasterSID, -1) << "the master connection ends with the login";
  EXPECT_TRUE(ServerLogHas("game1: hong logged in, channel 자유-1"));
  EXPECT_TRUE(ServerLogHas("closed: peer closed the connection")) << "the client left the master server";
  EXPECT_TRUE(LoggedMessageBoxes().empty());
}

TEST_F(LocalServer, ClosingInTheLobbyLogsOutAndEnds) {
  IntoLobby();
  dlg->OnCancel();
  ASSERT_TRUE(PumpUntil(loop, [&] { return dlg->IsClosed(); }));
  EXPECT_TRUE(ServerLogHas("game1: hong logged out"));
  EXPECT_TRUE(LoggedMessageBoxes().empty()) << "the server's own close after the logout is no loss";
}

// The channel screen asks for the list and then for a channel on the other
// game server; the controller carries the move ticket there.
TEST_F(LocalServer, ChannelOnTheOtherGameServerIsReachedByAMove) {
  IntoLobby();
  const int firstGame = g_MainSrvSID;
  g_Where = kWhereChannel;
  CSV_ASK_ALLCHANINFO list;
  ASSERT_TRUE(list.Set());
  SockMan.SendData(g_MainSrvSID, list.GetData(), list.GetTotalSize());
  ASSERT_TRUE(PumpUntil(loop, [&] { return ViewShows("  자유-2 (0/200)"); })) << "the channel list arrived";

  CSV_ASK_ENTERCHAN enter;
  ASSERT_TRUE(enter.Set(1, 2));
  g_Wait = 1;
  SockMan.SendData(g_MainSrvSID, enter.GetData(), enter.GetTotalSize());
  ASSERT_TRUE(PumpUntil(loop, [] { return g_Where == kWhereLobby; }, 5000));
  EXPECT_EQ(dlg->StatusView()->Status(), "대기실: 자유-2");
  EXPECT_EQ(g_NowChanNo, 2);
  EXPECT_EQ(g_Wait, 0);
  EXPECT_EQ(g_bMovingChan, 0);
  EXPECT_NE(g_MainSrvSID, firstGame);
  EXPECT_EQ(g_ServPort, unsigned(server.Games()[1].port));
  EXPECT_TRUE(ServerLogHas("game1: hong moves to game server 2"));
  EXPECT_TRUE(ServerLogHas("game2: hong moved in from another game server"));
  PumpFor(loop, 200);
  EXPECT_TRUE(LoggedMessageBoxes().empty()) << "closing the old connection is part of the move";
}

// The client program as the run script starts it: every launch parameter,
// the portal modules, the artwork that is installed. A termination signal
// ends it the way closing the window does, with a logout.
TEST(LocalServerProgram, ReachesTheLobbyAndLogsOutOnTermination) {
  ServerUnderTest server{kConfig};
  ASSERT_TRUE(server.Running()) << server.Log();
  ClientSandbox sandbox;
  sandbox.env["SDL_AUDIODRIVER"] = "dummy";
  // Its settings go beside the program: a copy of it keeps them out of the build.
  sandbox.program = sandbox.dir() / "tovrik";
  std::filesystem::copy_file(TOVRIK_RUNTIME_DIR "/tovrik", sandbox.program);
  const pid_t client = sandbox.Start({"ServIP=" + server.Master().host,
                                      "ServPort=" + std::to_string(server.Master().port),
                                      "AuthCookie=id=kim&nick=김철수", "DataCookie=data", "CpCookie=cp",
                                      "SpareParam=group=1"});
  ASSERT_NE(client, 0) << sandbox.LogSoFar();
  const bool inLobby = sandbox.WaitForLog("status: 대기실: 자유-1", 20000);
  ::kill(client, SIGTERM);
  const ClientRun run = sandbox.Finish(client);
  ASSERT_TRUE(inLobby) << run.log << server.Log();
  EXPECT_NE(run.log.find("# [김철수]님의 접속을 환영합니다 #"), std::string::npos) << run.log;
  EXPECT_NE(run.log.find("status: 프로그램을 종료하는 중입니다."), std::string::npos) << run.log;
  EXPECT_EQ(run.exitCode, 0) << run.log;
  const std::string log = server.Log();
  EXPECT_NE(log.find("game1: kim logged in, channel 자유-1"), std::string::npos) << log;
  EXPECT_NE(log.find("game1: kim logged out"), std::string::npos) << log;
  for (const std::string& box : run.messageBoxes)
    EXPECT_EQ(box.find("접속이 끊어졌습니다"), std::string::npos) << box;
  std::ifstream settings(sandbox.dir() / "config" / "config.ini");
  const std::string ini((std::istreambuf_iterator<char>(settings)), std::istreambuf_iterator<char>());
  EXPECT_NE(ini.find("[kim]"), std::string::npos) << "the user's settings were written after login";
}

}  // namespace
