// Two clients against the project's own server, each in a process of its
// own with the real main window and the game room dialog: one opens a room
// and the other enters it, the guest greets through the room's chat and
// presses READY, the owner's START lights up and is pressed, and both play
// the whole game with the mouse on the room's drawn board. After the result the board clears 5 s later,
// and both leave through the room's exit button to the lobby, which shows
// their score lines.

#include "../app/FakeServers.h"
#include "../server/ServerHarness.h"

#include "app/ClientDlg.h"
#include "app/ClientServices.h"
#include "app/ControllerState.h"
#include "app/LaunchParams.h"
#include "app/StatusView.h"
#include "base/CodePage.h"
#include "game/GameGlobals.h"
#include "game/Geometry.h"
#include "lobby/GameDlg.h"
#include "lobby/tables/GameDlgTable.h"
#include "platform/EventLoop.h"
#include "protocol/LobbyMessages.h"
#include "protocol/TextField.h"
#include "robot/Strategy.h"
#include "sockets/SockMan.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>

using namespace tovrik::app;
using namespace tovrik::protocol;
using tovrik::app::test::PumpClient;
using tovrik::app::test::PumpUntil;
using tovrik::game::Field;
using tovrik::game::Game;
using tovrik::game::Play;
using tovrik::lobby::CGameDlg;
using tovrik::platform::Point;
using tovrik::platform::Rect;
using tovrik::server::testing::ServerUnderTest;
using Clock = std::chrono::steady_clock;
namespace ids = tovrik::lobby::tables::gamedlg;

namespace {

constexpr char kConfig[] = R"(
[Server1]
LoginGroup = 1
[Group1]
Name = 자유
[Channel1-1]
Server = 1
)";

constexpr char kRoomTitle[] = "room dialog game";

struct Player {
  std::string id;
  std::string nickname;
  bool host = false;
  std::uint32_t seed = 0;
};

// Only the room is real; the status view stands in for the lobby, whose
// lists the test reads.
class RoomScreens final : public IScreenSet {
 public:
  RoomScreens() : room_(Options()) {}
  ClientScreens Screens() override {
    ClientScreens screens;
    screens.room = &room_;
    return screens;
  }
  bool Create(tovrik::platform::Window& mainWindow) override { return room_.Create(mainWindow); }
  CGameDlg& Room() { return room_; }

 private:
  static tovrik::lobby::GameDlgOptions Options() {
    tovrik::lobby::GameDlgOptions options;
    options.programDir = TOVRIK_RUNTIME_DIR;
    options.startGameClock = false;  // ticked below, faster while stones move
    return options;
  }
  CGameDlg room_;
};

template <typename Message, typename... Args>
void SendToServer(Args&&... args) {
  Message message;
  if (message.Set(std::forward<Args>(args)...))
    tovrik::sockets::SockMan.SendData(g_MainSrvSID, message.GetData(), message.GetTotalSize());
}

// The page point whose board point is (bx, by), from the field's own
// mapping, so that the mouse lands wherever the view puts the board.
Point PagePointOf(int bx, int by) {
  const tovrik::game::BoardPoint o = Field.ToBoardPoint(0, 0);
  const tovrik::game::BoardPoint ex = Field.ToBoardPoint(1, 0);
  const tovrik::game::BoardPoint ey = Field.ToBoardPoint(0, 1);
  const int a = ex.x - o.x, b = ey.x - o.x, c = ex.y - o.y, d = ey.y - o.y;
  const int det = a * d - b * c;
  const int rx = bx - o.x, ry = by - o.y;
  return {(d * rx - b * ry) / det, (a * ry - c * rx) / det};
}

// Presses on the own stone on the drawn board and releases on the far
// side of the chosen direction, moving the mouse between, as a player
// pulls the sling. The room's view sits at the main window's origin.
bool FlickWithTheMouse(tovrik::platform::EventLoop& loop, tovrik::robot::CStrategy& strategy) {
  const int side = Play[0].side;
  const std::optional<tovrik::robot::FlickChoice> choice = strategy.Choose(Field, side);
  if (!choice) return false;
  const tovrik::game::CStone& stone = Field.Stones(side)[std::size_t(choice->index)];
  const Point press = PagePointOf(stone.x, stone.y);
  const tovrik::game::BoardPoint pull = tovrik::game::GetMovePoint(stone.x, stone.y, choice->angle + 180.0f, choice->drag);
  const Point release = PagePointOf(pull.x, pull.y);
  loop.InjectMouseMove(press);
  loop.InjectMouseButton(press, tovrik::platform::MouseButton::Left, true);
  loop.InjectMouseMove({(press.x + release.x) / 2, (press.y + release.y) / 2});
  loop.InjectMouseMove(release);
  loop.InjectMouseButton(release, tovrik::platform::MouseButton::Left, false);
  for (int i = 0; i < 10; ++i) loop.PumpOnce();
  return Game.waitResult != 0;
}

void ClickControl(tovrik::platform::EventLoop& loop, CGameDlg& room, int id) {
  const Rect r = room.GetDlgItem(id)->GetScreenRect();
  const Point centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  loop.InjectMouseMove(centre);
  loop.InjectMouseButton(centre, tovrik::platform::MouseButton::Left, true);
  loop.InjectMouseButton(centre, tovrik::platform::MouseButton::Left, false);
  for (int i = 0; i < 5; ++i) loop.PumpOnce();
}

// The view's clock: as fast as the processor allows while the board has
// work, else every 20 ms.
void Tick(CGameDlg& room, Clock::time_point& last) {
  const bool busy = Field.phase == tovrik::game::kPhaseOpening ||
                    (g_RI.Playing && (Game.waitResult || Field.IsStoneMoving()));
  if (!busy && Clock::now() - last < std::chrono::milliseconds(20)) return;
  last = Clock::now();
  for (int tick = 0; tick < (busy ? 25 : 1); ++tick)
    room.GameView()->SendMessage(tovrik::platform::WM_TIMER, tovrik::gameview::CGameView::kTickTimerId);
}

bool ShowsLine(const CStatusView& view, std::string_view start) {
  return std::any_of(view.Lines().begin(), view.Lines().end(), [&](const std::string& l) { return l.starts_with(start); });
}

bool ShowsChat(CGameDlg& room, const std::string& utf8) {
  const std::string line = tovrik::base::Utf8ToCp949(utf8);
  for (std::size_t i = 0; i < room.ChatView().GetLineCount(); ++i)
    if (room.ChatView().GetLine(i) == line) return true;
  return false;
}

bool AwaitTheOther(tovrik::platform::EventLoop& loop, int toTest, int fromTest) {
  if (::write(toTest, "lobby\n", 6) != 6) return false;
  return PumpUntil(loop, [&] {
    pollfd probe{fromTest, POLLIN, 0};
    return ::poll(&probe, 1, 0) > 0;
  }, 20000);
}

std::string PlayClient(const tovrik::server::testing::Endpoint& master, const Player& self, const Player& other,
                       const std::filesystem::path& folder, int toTest, int fromTest) {
  ResetControllerState();
  std::filesystem::create_directories(folder);
  SetProfile_DefPath(folder);
  g_ServIP = master.host;
  g_ServPort = unsigned(master.port);
  g_AuthCookie = "id=" + self.id + "&nick=" + self.nickname;
  g_DataCookie = "data";
  g_CpCookie = "cp";
  g_LoginGroup = 1;
  Play[0].Clear();
  std::filesystem::current_path(TOVRIK_RUNTIME_DIR);  // the buttons' bitmap resources
  tovrik::platform::EventLoop loop;
  RoomScreens* screens = nullptr;
  CClientDlg::Options options;
  options.portalModules = false;
  options.sprites = false;
  options.sound = false;
  options.screenSet = [&screens] {
    auto set = std::make_unique<RoomScreens>();
    screens = set.get();
    return set;
  };
  CClientDlg dlg(options);
  if (!dlg.OnInitDialog() || !screens) return "fail start";
  CGameDlg& room = screens->Room();
  if (!PumpUntil(loop, [] { return g_Where == kWhereLobby; }, 10000)) return "fail login";
  const CStatusView& view = *dlg.StatusView();

  if (self.host) {
    ROOMINFO info;
    CopyIfShorter(info.Title, kRoomTitle);
    info.UserCnt = 1;
    info.MaxUser = 2;
    info.BetPebble = 100;
    BeginRequest(Request::CreateRoom);
    SendToServer<CSV_ASK_CREATEROOM>(info);
  } else {
    int roomNo = 0;
    const bool listed = PumpUntil(loop, [&] {
      for (const ROOMINFO& r : view.Rooms())
        if (ReadText(r.Title) == kRoomTitle) roomNo = r.RoomNo.get();
      return roomNo != 0;
    }, 20000);
    if (!listed) return "fail no room listed";
    BeginRequest(Request::EnterRoom);
    SendToServer<CSV_ASK_ENTERROOM>(roomNo, Play[0].user.UNum.get(), g_LoginID, "");
  }
  if (!PumpUntil(loop, [&] { return g_Where == kWhereGameRoom && room.IsWindowVisible(); }, 10000)) return "fail room";
  if (!PumpUntil(loop, [&] { return Play[1].ID() == other.id; }, 20000)) return "fail opponent";

  // The guest greets through the room's chat input; the owner's room chat
  // view shows the line.
  if (!self.host) {
    room.FocusChat();
    loop.InjectTextInput("잘 부탁드립니다");
    loop.InjectKey(tovrik::platform::VK_RETURN, true);
    loop.InjectKey(tovrik::platform::VK_RETURN, false);
  } else if (!PumpUntil(loop, [&] { return ShowsChat(room, other.nickname + "> 잘 부탁드립니다"); }, 10000)) {
    return "fail the guest's greeting never showed";
  }

  // The guest's READY is on from the start; the owner's START lights up
  // only when the guest's READY has come.
  if (self.host && room.StartButton().IsWindowEnabled() != (Play[1].ready != 0)) return "fail START without READY";
  if (!PumpUntil(loop, [&] { return room.StartButton().IsWindowEnabled(); }, 15000)) return "fail button never enabled";
  if (self.host != room.ShowsStartFace()) return "fail wrong face on the button";
  ClickControl(loop, room, ids::kStart);

  tovrik::robot::CStrategy strategy(tovrik::robot::StrategyKind::Aimed, self.seed);
  Clock::time_point lastTick = Clock::now();
  const Clock::time_point end = Clock::now() + std::chrono::seconds(150);
  bool flickedThisTurn = false;
  int flicks = 0;
  while (!Game.resultShowing) {
    if (Clock::now() > end) return "fail the game did not end";
    if (dlg.IsClosed()) return "fail the client ended";
    PumpClient(loop);
    Tick(room, lastTick);
    if (!Game.myTurn) flickedThisTurn = false;
    if (g_RI.Playing && Game.myTurn && !Game.waitResult && !Field.aiming && !flickedThisTurn) {
      flickedThisTurn = true;
      if (!FlickWithTheMouse(loop, strategy)) return "fail the drawn board took no flick";
      ++flicks;
    }
  }
  const int kind = Field.resultKind;
  const Clock::time_point result = Clock::now();
  if (!room.ResetTimerRunning()) return "fail no reset timer after the result";
  if (!PumpUntil(loop, [] { return Game.resultShowing == 0; }, 8000)) return "fail the board was not reset";
  const auto resetAfter = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - result).count();
  if (resetAfter < 4900) return "fail the board reset after " + std::to_string(resetAfter) + " ms";

  ClickControl(loop, room, ids::kExit);
  if (!PumpUntil(loop, [] { return g_Where == kWhereLobby; }, 10000)) return "fail leaving";
  if (room.IsWindowVisible()) return "fail the room still shows";
  if (!PumpUntil(loop, [&] { return ShowsLine(view, "★방금 계셨던 방에서"); }, 5000)) return "fail no score lines";
  if (!AwaitTheOther(loop, toTest, fromTest)) return "fail the other client never came back";
  dlg.OnCancel();
  if (!PumpUntil(loop, [&] { return dlg.IsClosed(); }, 10000)) return "fail logout";
  return "ok " + std::to_string(kind) + " " + std::to_string(flicks);
}

struct ClientProcess {
  pid_t pid = -1;
  int fd = -1;
  int goFd = -1;
  std::string report;
};

ClientProcess StartClient(const ServerUnderTest& server, const Player& self, const Player& other,
                          const std::filesystem::path& folder) {
  int reports[2], words[2];
  if (::pipe(reports) != 0 || ::pipe(words) != 0) return {};
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(reports[0]);
    ::close(words[1]);
    const std::string report = PlayClient(server.Master(), self, other, folder, reports[1], words[0]) + "\n";
    const ssize_t written = ::write(reports[1], report.data(), report.size());
    ::_exit(written == ssize_t(report.size()) ? 0 : 1);
  }
  ::close(reports[1]);
  ::close(words[0]);
  return {pid, reports[0], words[1], {}};
}

void CollectReports(std::vector<ClientProcess*> clients, std::chrono::seconds limit) {
  const Clock::time_point end = Clock::now() + limit;
  bool told = false;
  while (Clock::now() < end) {
    std::vector<pollfd> open;
    for (ClientProcess* c : clients)
      if (c->fd >= 0) open.push_back({c->fd, POLLIN, 0});
    if (open.empty()) return;
    ::poll(open.data(), open.size(), 200);
    for (ClientProcess* c : clients) {
      if (c->fd < 0) continue;
      pollfd probe{c->fd, POLLIN, 0};
      if (::poll(&probe, 1, 0) <= 0) continue;
      char buffer[4096];
      const ssize_t got = ::read(c->fd, buffer, sizeof buffer);
      if (got > 0) {
        c->report.append(buffer, std::size_t(got));
      } else {
        ::close(c->fd);
        c->fd = -1;
      }
    }
    const bool bothBack = std::all_of(clients.begin(), clients.end(),
                                      [](const ClientProcess* c) { return c->report.starts_with("lobby\n"); });
    if (bothBack && !told) {
      told = true;
      for (ClientProcess* c : clients)
        if (::write(c->goFd, "go\n", 3) != 3) return;
    }
  }
}

TEST(RoomDialogGame, TwoClientsPlayAWholeGameWithTheMouseAndLeaveThroughTheRoom) {
  ServerUnderTest server{kConfig};
  ASSERT_TRUE(server.Running()) << server.Log();
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("tovrik-roomgame-" + std::to_string(::getpid()));
  std::filesystem::remove_all(folder);
  const Player alice{"alice", "앨리스", true, 11};
  const Player bob{"bob", "밥", false, 12};
  ClientProcess host = StartClient(server, alice, bob, folder / "alice");
  ClientProcess guest = StartClient(server, bob, alice, folder / "bob");
  ASSERT_GT(host.pid, 0);
  ASSERT_GT(guest.pid, 0);
  CollectReports({&host, &guest}, std::chrono::seconds(200));
  for (ClientProcess* c : {&host, &guest}) {
    if (c->fd >= 0) {
      ::kill(c->pid, SIGKILL);
      ::close(c->fd);
    }
    ::close(c->goFd);
    int status = 0;
    ::waitpid(c->pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c->report;
  }
  std::filesystem::remove_all(folder);
  const auto kindOf = [](std::string report) {
    if (report.starts_with("lobby\n")) report.erase(0, 6);
    return report.starts_with("ok ") ? std::stoi(report.substr(3)) : -1;
  };
  const int a = kindOf(host.report), b = kindOf(guest.report);
  ASSERT_GE(a, 0) << "host: " << host.report << server.Log();
  ASSERT_GE(b, 0) << "guest: " << guest.report << server.Log();
  using tovrik::game::kResultDraw;
  using tovrik::game::kResultLoss;
  using tovrik::game::kResultWin;
  EXPECT_TRUE((a == kResultDraw && b == kResultDraw) || (a == kResultWin && b == kResultLoss) ||
              (a == kResultLoss && b == kResultWin))
      << a << " " << b;
}

}  // namespace
