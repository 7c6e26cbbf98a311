#pragma once
// The controller's fixture: the real main window, socket layer and message
// classes against scripted master and game servers on loopback, headless,
// with the recording screens in place of the real ones.

#include "FakeServers.h"
#include "RecordingScreens.h"

#include "app/ClientDlg.h"
#include "app/ControllerState.h"
#include "app/LaunchParams.h"
#include "game/GameGlobals.h"
#include "sockets/SockMan.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "protocol/LoginMessages.h"
#include "protocol/TextField.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tovrik::app::test {

using namespace tovrik::platform;
using namespace tovrik::protocol;

template <typename Message>
inline std::unique_ptr<Message> Parse(ReceivedFrame& frame) {
  auto msg = std::make_unique<Message>();
  if (!msg->Get(frame.bytes.data(), int(frame.bytes.size()))) return nullptr;
  return msg;
}

inline std::vector<std::string> BoxTexts() {
  std::vector<std::string> texts;
  for (const LoggedMessageBox& box : LoggedMessageBoxes()) texts.push_back(box.text);
  return texts;
}

inline Ms_DestServerInfo DestServer(int port) {
  Ms_DestServerInfo info;
  CopyIfShorter(info.IP, "127.0.0.1");
  info.Port = port;
  info.Ticket1 = 0x11223344;
  info.Ticket2 = 0x1122;
  info.Ticket3 = -2;
  info.Ticket4 = 300;
  info.Ticket5 = 7;
  return info;
}

inline LOGINACCEPTINFO Accept(std::string_view chanName, int pcRoomGrade = 0) {
  LOGINACCEPTINFO info;
  info.UI.PcRoomGrade = std::int8_t(pcRoomGrade);
  info.UI.UNum = 42;
  CopyIfShorter(info.UI.ID, "hong");
  CopyIfShorter(info.UI.NickName, "Gildong");
  info.UI.Point = 1500;
  CopyIfShorter(info.UserCN, "U123");
  info.GroupNo = 2;
  info.ChanNo = 3;
  CopyIfShorter(info.ChanName, chanName);
  info.ItemChannel = 1;
  return info;
}

class Controller : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetControllerState();
    ResetMessageBoxAutomation();
    folder = std::filesystem::temp_directory_path() /
             ("tovrik-controller-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    SetProfile_DefPath(folder);
    g_ServIP = "127.0.0.1";
    g_ServPort = unsigned(master.port);
    g_AuthCookie = "auth-cookie";
    g_DataCookie = "data";
    g_CpCookie = "";
    g_LoginGroup = 7;
    tovrik::game::Play[0].Clear();
    dlg = std::make_unique<CClientDlg>(CClientDlg::Options{false, false, false}, screens.Screens());
  }
  void TearDown() override {
    dlg.reset();
    SetProfile_DefPath({});
    std::filesystem::remove_all(folder);
  }

  void Start() {
    ASSERT_TRUE(dlg->OnInitDialog());
    ASSERT_TRUE(master.Accept(loop));
  }

  // The master server's part: version, then the assignment of `game`.
  void ThroughMaster() {
    Start();
    CMS_CHECKVERSION version;
    ASSERT_TRUE(version.Set(184));
    master.Send(version);
    auto ask = master.Receive(loop);
    ASSERT_TRUE(ask);
    ASSERT_EQ(ask->id, msgid::CMS_ASK_DESTSERVERINFO);
    CMS_DESTSERVERINFO dest;
    ASSERT_TRUE(dest.Set(DestServer(game.port)));
    master.Send(dest);
    ASSERT_TRUE(game.Accept(loop));
    EXPECT_EQ(g_Where, kWhereLogin);
  }

  // Up to the login request, which is handed back.
  std::optional<ReceivedFrame> ThroughVersion() {
    ThroughMaster();
    return SendVersion();
  }
  std::optional<ReceivedFrame> SendVersion() {
    CSV_CHECKVERSION version;
    version.Set(184);
    game.Send(version);
    return game.Receive(loop);
  }

  void IntoLobby(std::string_view chanName = "Alpha-3") {
    ThroughMaster();
    FinishLogin(chanName);
  }
  void FinishLogin(std::string_view chanName, int pcRoomGrade = 0) {
    auto login = SendVersion();
    ASSERT_TRUE(login);
    ASSERT_EQ(login->id, msgid::CSV_ASK_LOGIN);
    CSV_ACCEPT_LOGIN accept;
    ASSERT_TRUE(accept.Set(Accept(chanName, pcRoomGrade)));
    game.Send(accept);
    ASSERT_TRUE(PumpUntil(loop, [] { return g_Where == kWhereLobby; }));
  }

  // Nothing more from the client for a moment.
  bool Quiet(FakeServer& server) { return !server.Receive(loop, 300).has_value(); }

  FakeClock clock{5000000};
  EventLoop loop{clock};
  FakeServer master;
  FakeServer game;
  RecordingScreens screens;
  std::unique_ptr<CClientDlg> dlg;
  std::filesystem::path folder;
};

}  // namespace tovrik::app::test
