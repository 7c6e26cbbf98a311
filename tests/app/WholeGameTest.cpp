// Two clients against the project's own server, each in a process of its
// own with the real main window, socket layer and game: they log in, one
// opens a room and the other enters it, they ready and start, and their
// games play a whole game through the server's relay to its result. Both
// must have seen the same board after every shot; the result must be in
// the database; and both must be back in the lobby with lists that show
// them there and the room gone.

#include "FakeServers.h"
#include "../server/ServerHarness.h"

#include "app/ClientDlg.h"
#include "app/ControllerState.h"
#include "app/LaunchParams.h"
#include "app/StatusView.h"
#include "game/GameGlobals.h"
#include "game/Geometry.h"
#include "platform/EventLoop.h"
#include "protocol/LobbyMessages.h"
#include "protocol/RelayMessages.h"
#include "protocol/TextField.h"
#include "robot/RobotGame.h"
#include "robot/Strategy.h"
#include "sockets/SockMan.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

using namespace tovrik::app;
using namespace tovrik::protocol;
using tovrik::app::test::PumpClient;
using tovrik::app::test::PumpUntil;
using tovrik::game::Field;
using tovrik::game::Game;
using tovrik::game::Play;
using tovrik::server::testing::ServerUnderTest;
using Clock = std::chrono::steady_clock;

namespace {

constexpr char kConfig[] = R"(
[Server1]
LoginGroup = 1
[Group1]
Name = 자유
[Channel1-1]
Server = 1
)";

constexpr char kRoomTitle[] = "whole game";

struct Player {
  std::string id;
  std::string nickname;
  bool host = false;
  std::uint32_t seed = 0;
};

template <typename Message, typename... Args>
void SendToServer(Args&&... args) {
  Message message;
  if (message.Set(std::forward<Args>(args)...))
    tovrik::sockets::SockMan.SendData(g_MainSrvSID, message.GetData(), message.GetTotalSize());
}

// The page point whose board point is (bx, by), from the field's own
// mapping (an offset and, for Cho, a half turn), so that the clicks land
// wherever the view puts the board.
tovrik::game::BoardPoint PagePointOf(int bx, int by) {
  const tovrik::game::BoardPoint o = Field.ToBoardPoint(0, 0);
  const tovrik::game::BoardPoint ex = Field.ToBoardPoint(1, 0);
  const tovrik::game::BoardPoint ey = Field.ToBoardPoint(0, 1);
  const int a = ex.x - o.x, b = ey.x - o.x, c = ex.y - o.y, d = ey.y - o.y;
  const int det = a * d - b * c;
  const int rx = bx - o.x, ry = by - o.y;
  return {(d * rx - b * ry) / det, (a * ry - c * rx) / det};
}

// Presses on the own stone and releases on the far side of the chosen
// direction, as a player pulls the sling.
bool Flick(tovrik::robot::CStrategy& strategy) {
  const int side = Play[0].side;
  const std::optional<tovrik::robot::FlickChoice> choice = strategy.Choose(Field, side);
  if (!choice) return false;
  const tovrik::game::CStone& stone = Field.Stones(side)[std::size_t(choice->index)];
  const tovrik::game::BoardPoint press = PagePointOf(stone.x, stone.y);
  const tovrik::game::BoardPoint pull = tovrik::game::GetMovePoint(stone.x, stone.y, choice->angle + 180.0f, choice->drag);
  const tovrik::game::BoardPoint release = PagePointOf(pull.x, pull.y);
  Game.OnMouseMove(press.x, press.y);
  Game.OnLButtonDown(press.x, press.y);
  Game.OnMouseMove(release.x, release.y);
  Game.OnLButtonUp(release.x, release.y);
  return Game.waitResult != 0;
}

// The game view's clock, as fast as the processor allows while the board
// has work, else every 20 ms. Each stop report of a shot leaves a hash.
void Tick(Clock::time_point& last, std::vector<std::uint64_t>& hashes) {
  const bool busy = Field.phase == tovrik::game::kPhaseOpening ||
                    (g_RI.Playing && (Game.waitResult || Field.IsStoneMoving()));
  if (!busy && Clock::now() - last < std::chrono::milliseconds(20)) return;
  last = Clock::now();
  for (int tick = 0; tick < (busy ? 25 : 1); ++tick) {
    const bool waiting = Game.waitResult != 0;
    Game.OnTimer();
    if (waiting && !Game.waitResult) hashes.push_back(tovrik::robot::HashStones(Field));
  }
}

bool LobbyShowsBoth(const CStatusView& view, const Player& self, const Player& other) {
  const auto& users = view.Users();
  auto inLobby = [&](const std::string& id) {
    return std::any_of(users.begin(), users.end(), [&](const SMALLUSERINFO& u) {
      return ReadText(u.ID) == id && u.RoomNo.get() == 0;
    });
  };
  const auto& rooms = view.Rooms();
  const bool roomGone = std::none_of(rooms.begin(), rooms.end(), [](const ROOMINFO& r) { return ReadText(r.Title) == kRoomTitle; });
  return inLobby(self.id) && inLobby(other.id) && roomGone;
}

// One client's whole part; its report is one line: "ok <result kind>
// <wins> <losses> <hash>..." or "fail <what>".
// Both clients must see each other back in the lobby before either logs
// out: a client tells the test on `toTest` and waits for its word on
// `fromTest`.
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
  tovrik::platform::EventLoop loop;
  CClientDlg dlg(CClientDlg::Options{false, false, false});
  if (!dlg.OnInitDialog()) return "fail start";
  if (!PumpUntil(loop, [] { return g_Where == kWhereLobby; }, 10000)) return "fail login";
  const CStatusView& view = *dlg.StatusView();

  if (self.host) {
    ROOMINFO room;
    CopyIfShorter(room.Title, kRoomTitle);
    room.UserCnt = 1;
    room.MaxUser = 2;
    room.BetPebble = 100;
    BeginRequest(Request::CreateRoom);
    SendToServer<CSV_ASK_CREATEROOM>(room);
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
  if (!PumpUntil(loop, [] { return g_Where == kWhereGameRoom; }, 10000)) return "fail room";
  if (!PumpUntil(loop, [&] { return Play[1].ID() == other.id; }, 20000)) return "fail opponent";

  if (self.host) {
    if (!PumpUntil(loop, [] { return Play[1].ready == 1; }, 10000)) return "fail ready";
    BeginRequest(Request::StartGame);
    SendToServer<CCL_ASK_STARTGAME>(g_RI.RoomNo.get(), Play[0].serverNum, g_LoginID);
  } else {
    SendToServer<CCL_READYTOSTART>(g_LoginID);
  }

  tovrik::robot::CStrategy strategy(tovrik::robot::StrategyKind::Aimed, self.seed);
  std::vector<std::uint64_t> hashes;
  Clock::time_point lastTick = Clock::now();
  const Clock::time_point end = Clock::now() + std::chrono::seconds(150);
  bool flickedThisTurn = false;
  while (!Game.resultShowing) {
    if (Clock::now() > end) return "fail the game did not end";
    if (dlg.IsClosed()) return "fail the client ended";
    PumpClient(loop);
    Tick(lastTick, hashes);
    if (!Game.myTurn) flickedThisTurn = false;
    if (g_RI.Playing && Game.myTurn && !Game.waitResult && !Field.aiming && !flickedThisTurn) {
      flickedThisTurn = true;
      Flick(strategy);
    }
  }
  const int kind = Field.resultKind;
  const int wins = Play[0].user.WinNum.get(), losses = Play[0].user.LoseNum.get();

  // The exit path in a room leaves the room, not the program.
  dlg.OnCancel();
  if (!PumpUntil(loop, [] { return g_Where == kWhereLobby; }, 10000)) return "fail leaving";
  if (dlg.IsClosed()) return "fail closed in the room";
  if (!PumpUntil(loop, [&] { return LobbyShowsBoth(view, self, other); }, 10000)) {
    std::string lists = "fail lobby lists: users";
    for (const SMALLUSERINFO& u : view.Users())
      lists += " " + std::string(ReadText(u.ID)) + "@" + std::to_string(u.RoomNo.get());
    lists += ", rooms";
    for (const ROOMINFO& r : view.Rooms()) lists += " " + std::to_string(r.RoomNo.get());
    return lists;
  }
  if (!AwaitTheOther(loop, toTest, fromTest)) return "fail the other client never came back";
  dlg.OnCancel();
  if (!PumpUntil(loop, [&] { return dlg.IsClosed(); }, 10000)) return "fail logout";

  std::ostringstream report;
  report << "ok " << kind << " " << wins << " " << losses;
  for (std::uint64_t hash : hashes) report << " " << hash;
  return report.str();
}

struct ClientProcess {
  pid_t pid = -1;
  int fd = -1;    // the client's report
  int goFd = -1;  // the test's word that both are back in the lobby
  std::string report;
};

ClientProcess StartClient(const ServerUnderTest& server, const Player& self, const Player& other,
                          const std::filesystem::path& folder) {
  int reports[2], words[2];
  if (::pipe(reports) != 0) return {};
  if (::pipe(words) != 0) return {};
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

// Reads both reports until each client closes its end or the time is up;
// once both are back in the lobby, both are told so.
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
                                      [](const ClientProcess* c) { return c->report.rfind("lobby\n", 0) == 0; });
    if (bothBack && !told) {
      told = true;
      for (ClientProcess* c : clients)
        if (::write(c->goFd, "go\n", 3) != 3) return;
    }
  }
}

struct Report {
  bool ok = false;
  int kind = 0, wins = 0, losses = 0;
  std::vector<std::uint64_t> hashes;
};

// The final line of a client's report (after its "lobby" line).
Report ParseReport(std::string text) {
  if (text.rfind("lobby\n", 0) == 0) text.erase(0, 6);
  std::istringstream in(text);
  std::string status;
  Report report;
  in >> status;
  if (status != "ok") return report;
  report.ok = true;
  in >> report.kind >> report.wins >> report.losses;
  std::uint64_t hash = 0;
  while (in >> hash) report.hashes.push_back(hash);
  return report;
}

// wins, losses and draws of a user in the server's database.
std::vector<int> DatabaseResults(const std::filesystem::path& database, const std::string& id) {
  sqlite3* db = nullptr;
  std::vector<int> row;
  if (sqlite3_open(database.c_str(), &db) != SQLITE_OK) {
    sqlite3_close(db);
    return row;
  }
  sqlite3_busy_timeout(db, 5000);
  sqlite3_stmt* query = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT wins, losses, draws FROM users WHERE login_id = ?", -1, &query, nullptr) == SQLITE_OK) {
    sqlite3_bind_text(query, 1, id.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(query) == SQLITE_ROW)
      for (int column = 0; column < 3; ++column) row.push_back(sqlite3_column_int(query, column));
  }
  sqlite3_finalize(query);
  sqlite3_close(db);
  return row;
}

TEST(LocalServerGame, TwoClientsPlayAWholeGameThroughTheRelayAndReturnToTheLobby) {
  ServerUnderTest server{kConfig};
  ASSERT_TRUE(server.Running()) << server.Log();
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("tovrik-wholegame-" + std::to_string(::getpid()));
  std::filesystem::remove_all(folder);
  const Player alice{"alice", "앨리스", true, 7};
  const Player bob{"bob", "밥", false, 8};
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

  const Report a = ParseReport(host.report), b = ParseReport(guest.report);
  ASSERT_TRUE(a.ok) << "host: " << host.report << server.Log();
  ASSERT_TRUE(b.ok) << "guest: " << guest.report << server.Log();
  ASSERT_FALSE(a.hashes.empty());
  EXPECT_EQ(a.hashes, b.hashes) << "both boards after every shot";

  using tovrik::game::kResultDraw;
  using tovrik::game::kResultLoss;
  using tovrik::game::kResultWin;
  if (a.kind == kResultDraw) {
    EXPECT_EQ(b.kind, kResultDraw);
  } else {
    EXPECT_TRUE((a.kind == kResultWin && b.kind == kResultLoss) || (a.kind == kResultLoss && b.kind == kResultWin))
        << a.kind << " " << b.kind;
  }
  EXPECT_EQ(a.wins + a.losses + b.wins + b.losses, a.kind == kResultDraw ? 0 : 2);
  EXPECT_EQ(DatabaseResults(server.Database(), "alice"),
            (std::vector<int>{a.wins, a.losses, a.kind == kResultDraw ? 1 : 0}));
  EXPECT_EQ(DatabaseResults(server.Database(), "bob"),
            (std::vector<int>{b.wins, b.losses, b.kind == kResultDraw ? 1 : 0}));
}

}  // namespace
