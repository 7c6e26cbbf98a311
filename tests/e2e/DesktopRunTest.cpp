// The real programs on a real (virtual) X display: the local server, real
// clients and a practice opponent. The clients are driven from outside
// through their automation channels, as a person would use them: clicks on
// the screens' controls, typed chat, stones dragged on the drawn board. The
// run is photographed, its steps and measurements go to its log, and the
// results are checked in the server's database and in the clients' frames.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <thread>

#include "../server/ServerHarness.h"
#include "BoardPlayer.h"
#include "DesktopClient.h"
#include "DesktopSession.h"
#include "ProcessProbe.h"
#include "RunSteps.h"

namespace tovrik::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using server::testing::ServerUnderTest;

constexpr char kConfig[] = R"(
[Server1]
LoginGroup = 1
[Group1]
Name = 자유
[Channel1-1]
Server = 1
)";

// Controls the run clicks, by their ids on the screens.
constexpr int kChannelReturn = 1021;   // channel screen: back to the lobby
constexpr int kLobbyToChannels = 1032; // lobby: to the channel screen
constexpr int kLobbyCreateRoom = 1031;
constexpr int kLobbyRoomList = 2002;
constexpr int kCreateRoomTitle = 1032; // room creation dialog: the title edit
constexpr int kCreateRoomOk = 1;
constexpr int kRoomChatInput = 1005;
constexpr int kRoomStart = 1050;       // START for the master, READY for the guest
constexpr int kRoomExit = 1008;
// The first row of the room list, from the list's top left.
constexpr int kRoomRowX = 10 + 506 / 2;
constexpr int kRoomRowY = 36 + 27 / 2;

constexpr auto kPlayLimit = 150s;

// The share of one core a client idling in the lobby may take. The
// sanitizers make every repaint (a caret blinking, a figure's animation
// timer) several times dearer.
#if defined(__SANITIZE_ADDRESS__)
constexpr double kIdleBudget = 0.20;
#else
constexpr double kIdleBudget = 0.05;
#endif

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string WaitForText(const std::function<std::string()>& text, const std::string& wanted,
                        std::chrono::milliseconds limit, const std::string& where) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    if (text().find(wanted) != std::string::npos) return {};
    std::this_thread::sleep_for(50ms);
  }
  return "\"" + wanted + "\" never appeared in " + where;
}

// wins, losses and draws of a login in the server's database.
std::optional<std::array<int, 3>> DatabaseRecord(const fs::path& database, const std::string& login) {
  sqlite3* db = nullptr;
  std::optional<std::array<int, 3>> record;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt* query = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT wins, losses, draws FROM users WHERE login_id = ?", -1, &query, nullptr) ==
        SQLITE_OK) {
      sqlite3_bind_text(query, 1, login.c_str(), -1, SQLITE_TRANSIENT);
      if (sqlite3_step(query) == SQLITE_ROW)
        record = std::array<int, 3>{sqlite3_column_int(query, 0), sqlite3_column_int(query, 1),
                                    sqlite3_column_int(query, 2)};
    }
    sqlite3_finalize(query);
  }
  sqlite3_close(db);
  return record;
}

// The record a game result leaves for a player who had none.
std::array<int, 3> RecordOf(int resultKind) {
  switch (resultKind) {
    case 1: return {1, 0, 0};
    case 2: return {0, 1, 0};
    default: return {0, 0, 1};
  }
}

std::string Text(const std::array<int, 3>& record) {
  return std::to_string(record[0]) + " wins, " + std::to_string(record[1]) + " losses, " +
         std::to_string(record[2]) + " draws";
}

// The bytes of a BMP file's pixels inside the page rectangle (a bottom-up
// file of 16 bits and more, as the frame saver writes), for comparisons.
std::optional<std::string> BmpArea(const fs::path& file, int x, int y, int width, int height) {
  const std::string bytes = ReadFile(file);
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
  const auto le = [&](std::size_t at, int n) {
    std::uint32_t value = 0;
    for (int i = n - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + std::size_t(i)]);
    return value;
  };
  const std::uint32_t offset = le(10, 4), bmpWidth = le(18, 4), bits = le(28, 2);
  const auto bmpHeight = static_cast<std::int32_t>(le(22, 4));
  if (bits != 16 && bits != 24 && bits != 32) return std::nullopt;
  const std::size_t pixel = bits / 8, stride = (bmpWidth * pixel + 3) / 4 * 4;
  const int rows = bmpHeight < 0 ? -bmpHeight : bmpHeight;
  std::string area;
  for (int row = y; row < y + height && row < rows; ++row) {
    const std::size_t fileRow = bmpHeight < 0 ? std::size_t(row) : std::size_t(rows - 1 - row);
    const std::size_t at = offset + fileRow * stride + std::size_t(x) * pixel;
    if (at + std::size_t(width) * pixel > bytes.size()) return std::nullopt;
    area.append(bytes, at, std::size_t(width) * pixel);
  }
  return area;
}

std::string Percent(double share) {
  std::ostringstream text;
  text << std::fixed << std::setprecision(2) << share * 100 << " %";
  return text.str();
}

class DesktopRun : public ::testing::Test {
 protected:
  DesktopRun() : folder_(MakeFolder()), display_(folder_) {}
  ~DesktopRun() override {
    for (auto& client : clients_) client->Stop();
    robots_.Stop();
    if (HasFailure()) {
      for (auto& client : clients_) std::cerr << client->Name() << " log:\n" << client->Log() << "\n";
      std::cerr << "robot log:\n" << ReadFile(folder_ / "robots.log") << "\nserver log:\n" << server_.Log();
    }
    fs::remove_all(folder_);
  }

  static fs::path MakeFolder() {
    const fs::path folder = fs::temp_directory_path() / ("tovrik-e2e-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
  }

  DesktopClient& AddClient(const std::string& name) {
    clients_.push_back(std::make_unique<DesktopClient>(name, folder_ / name, display_.Name()));
    return *clients_.back();
  }

  std::string StartClient(DesktopClient& client, const std::string& cookie) {
    return client.Start(server_.Master().host, server_.Master().port, cookie);
  }

  std::string StartRobots(int count) {
    if (!robots_.Start({TOVRIK_RUNTIME_DIR "/tovrik-robot", "--master",
                        server_.Master().host + ":" + std::to_string(server_.Master().port), "--practice",
                        std::to_string(count)},
                       folder_ / "robots.log"))
      return "the practice robots did not start";
    return WaitForText([&] { return ReadFile(folder_ / "robots.log"); }, "practice robots: " + std::to_string(count),
                       5s, "the robots' log");
  }

  // The display as a person sees it, kept where TOVRIK_E2E_SCREENSHOTS says.
  std::string Screenshot(const std::string& name) {
    const fs::path picture = folder_ / (name + ".png");
    if (!display_.Screenshot(picture)) return display_.Error();
    if (const char* keep = std::getenv("TOVRIK_E2E_SCREENSHOTS")) {
      fs::create_directories(keep);
      fs::copy_file(picture, fs::path(keep) / (name + ".png"), fs::copy_options::overwrite_existing);
    }
    return {};
  }

  // Which of the client's screens are its own; the rest the status view
  // stands in for, and the steps that need them cannot run yet.
  std::string MissingScreens(DesktopClient& client, std::initializer_list<const char*> screens) {
    std::string error;
    const auto answer = client.Ask("screens", &error);
    if (!answer) return error;
    std::string missing;
    for (const char* screen : screens)
      if (!answer->contains(screen) || answer->at(screen) != "1") missing += std::string(missing.empty() ? "" : ", ") + screen;
    return missing;
  }

  std::string Measure(DesktopClient& client, const std::string& where, std::chrono::milliseconds window,
                      double* share) {
    const auto cpu = CpuShareOver(client.Pid(), window);
    const auto peak = PeakResidentKb(client.Pid());
    if (!cpu || !peak) return client.Name() + ": /proc gave no figures";
    steps_.Note(client.Name() + " " + where + ": processor " + Percent(*cpu) + " of one core over " +
                std::to_string(window.count()) + " ms, peak resident " + std::to_string(*peak / 1024) + " MB");
    if (share) *share = *cpu;
    return {};
  }

  // Logs in and waits for the lobby.
  std::string LogIn(DesktopClient& client, const std::string& cookie) {
    if (std::string failed = StartClient(client, cookie); !failed.empty()) return failed;
    if (std::string failed = client.Do("ping"); !failed.empty()) return failed;
    return client.WaitForValue("where", "where", "3", 20s);
  }

  // Through the lobby's channel button to the channel screen, its picture,
  // and back to the lobby.
  std::string VisitChannelScreen(DesktopClient& client) {
    if (std::string failed = client.ClickControl(kLobbyToChannels); !failed.empty()) return failed;
    if (std::string failed = client.WaitForValue("where", "where", "2", 5s); !failed.empty()) return failed;
    if (std::string failed = client.WaitForValue("where", "wait", "0", 10s); !failed.empty()) return failed;
    if (std::string failed = Screenshot("channels"); !failed.empty()) return failed;
    if (std::string failed = client.ClickControl(kChannelReturn); !failed.empty()) return failed;
    return client.WaitForValue("where", "where", "3", 5s);
  }

  // The lobby's create button, the dialog's picture, a title, its create button.
  // `photograph`: the client's window is the one on top of the display.
  std::string CreateRoom(DesktopClient& client, const std::string& title, bool photograph) {
    std::string error;
    const auto before = client.Ask("modal", &error);
    if (!before) return error;
    const int depth = std::stoi(before->at("depth"));
    if (std::string failed = client.ClickControl(kLobbyCreateRoom); !failed.empty()) return failed;
    if (std::string failed = client.WaitFor(
            "modal", [&](const Answer& a) { return std::stoi(a.at("depth")) > depth; }, 5s, "room creation dialog");
        !failed.empty())
      return failed;
    const auto titleEdit = client.Control(kCreateRoomTitle, &error);
    if (!titleEdit) return "the room creation dialog did not open: " + error;
    if (std::string failed = photograph ? Screenshot("create-room") : std::string(); !failed.empty()) return failed;
    // The dialog selects its proposed title: typing replaces it.
    const std::string commands[] = {
        "click " + std::to_string(titleEdit->CentreX()) + " " + std::to_string(titleEdit->CentreY()), "key END"};
    for (const std::string& command : commands)
      if (std::string failed = client.Do(command); !failed.empty()) return failed;
    for (int i = 0; i < 40; ++i)
      if (std::string failed = client.Do("key BACK"); !failed.empty()) return failed;
    if (std::string failed = client.Do("type " + title); !failed.empty()) return failed;
    if (std::string failed = client.ClickControl(kCreateRoomOk); !failed.empty()) return failed;
    return client.WaitForValue("where", "where", "4", 10s);
  }

  std::string EnterFirstListedRoom(DesktopClient& client) {
    std::string error;
    const auto list = client.Control(kLobbyRoomList, &error);
    if (!list) return error;
    // The list follows the server's news of the new room: a double click
    // before it arrived finds an empty row, and the next one tries again.
    std::string failed;
    for (int attempt = 0; attempt < 5; ++attempt) {
      if (failed = client.Do("dblclick " + std::to_string(list->x + kRoomRowX) + " " +
                             std::to_string(list->y + kRoomRowY));
          !failed.empty())
        return failed;
      if (failed = client.WaitForValue("where", "where", "4", 2s); failed.empty()) return {};
    }
    return failed;
  }

  std::string Chat(DesktopClient& from, DesktopClient& to, const std::string& line) {
    if (std::string failed = from.ClickControl(kRoomChatInput); !failed.empty()) return failed;
    if (std::string failed = from.Do("type " + line); !failed.empty()) return failed;
    if (std::string failed = from.Do("key RETURN"); !failed.empty()) return failed;
    return to.WaitForValue("chat " + line, "seen", "1", 5s);
  }

  std::string Leave(DesktopClient& client) {
    if (std::string failed = client.ClickControl(kRoomExit, 15s); !failed.empty()) return failed;
    return client.WaitForValue("where", "where", "3", 10s);
  }

  // Once the clients and robots are told to end, nothing of theirs is left
  // (the server and the display end with the fixture).
  std::string NothingLeftRunning() {
    for (auto& client : clients_) client->Stop();
    robots_.Stop();
    for (const std::string& command : ChildCommands(::getpid()))
      if (command.rfind("tovrik", 0) == 0 && command != "tovrik-server") return "\"" + command + "\" is still running";
    return {};
  }

  std::string CheckRecord(const std::string& login, int resultKind) {
    const std::array<int, 3> wanted = RecordOf(resultKind);
    std::optional<std::array<int, 3>> record;
    for (int attempt = 0; attempt < 50; ++attempt) {
      record = DatabaseRecord(server_.Database(), login);
      if (record == wanted) return {};
      std::this_thread::sleep_for(100ms);
    }
    return login + " shows result " + std::to_string(resultKind) + ", the database holds " +
           (record ? Text(*record) : std::string("no record")) + " instead of " + Text(wanted);
  }

  fs::path ResultFrame(const DesktopClient& client) const { return folder_ / (client.Name() + "-result.bmp"); }

  // The frames the clients composed as their results showed, compared where
  // the board shows its title: players with different results see
  // different pictures there, and every frame shows the page at full size.
  std::string CheckResultFrames(const std::vector<std::pair<DesktopClient*, int>>& results) {
    std::vector<std::pair<std::string, int>> areas;
    for (const auto& [client, result] : results) {
      const fs::path frame = ResultFrame(*client);
      if (BmpSize(frame) != std::make_pair(800, 600)) return client->Name() + ": no 800 x 600 frame of the result";
      const auto area = BmpArea(frame, 197, 250, 200, 100);
      if (!area) return client->Name() + ": the result frame cannot be read";
      areas.emplace_back(*area, result);
    }
    for (std::size_t i = 1; i < areas.size(); ++i)
      if (areas[i].second != areas[0].second && areas[i].first == areas[0].first)
        return "different results show the same picture";
    return {};
  }

  fs::path folder_;
  VirtualDisplay display_;
  ServerUnderTest server_{kConfig, {"--master-port", "0", "--game-port", "0"}};
  ChildProcess robots_;
  std::vector<std::unique_ptr<DesktopClient>> clients_;
  RunSteps steps_;
};

// Steps through a screen the status view still stands in for cannot run:
// the rest of the run is skipped, saying which screen it waits for.
#define TOVRIK_NEEDS_SCREENS(client, ...)                                                              \
if (const std::string missing = MissingScreens(client, {__VA_ARGS__}); !missing.empty())            \
GTEST_SKIP() << "the client has no screen of its own yet for: " << missing                          \
             << " (the status view stands in); the steps that follow need it"

TEST_F(DesktopRun, OneClientPlaysAPracticeRobotThroughTheScreens) {
  ASSERT_TRUE(display_.Running()) << display_.Error();
  ASSERT_TRUE(server_.Running()) << server_.Log();
  DesktopClient& player = AddClient("player");
  ASSERT_TRUE(steps_.Run("the practice robot logs in", [&] { return StartRobots(1); }));
  ASSERT_TRUE(steps_.Run("the client logs in and shows the lobby", [&] { return LogIn(player, "id=e2eone&nick=일번"); }));
  ASSERT_TRUE(steps_.Run("the server has both in one lobby", [&] {
    const std::string log = server_.Log();
    for (const char* wanted : {"e2eone logged in, channel 자유-1", "practice1 logged in, channel 자유-1"})
      if (log.find(wanted) == std::string::npos) return "the server's log lacks \"" + std::string(wanted) + "\"";
    return std::string();
  }));
  double idle = 1;
  ASSERT_TRUE(steps_.Run("the lobby idles", [&] {
    std::this_thread::sleep_for(1s);  // start-up work settles
    return Measure(player, "idle in the lobby", 3s, &idle);
  }));
  EXPECT_LT(idle, kIdleBudget) << "a client idling in the lobby should not keep the processor busy";
  ASSERT_TRUE(steps_.Run("the lobby is photographed and its frame saved", [&] {
    const fs::path frame = folder_ / "lobby.bmp";
    if (std::string failed = player.Do("save " + frame.string()); !failed.empty()) return failed;
    if (BmpSize(frame) != std::make_pair(800, 600)) return std::string("the saved frame is not 800 x 600");
    return Screenshot("lobby");
  }));
  EXPECT_EQ(player.Do("launch rockets"), "player: \"launch rockets\" was answered \"error unknown command: launch\"");

  TOVRIK_NEEDS_SCREENS(player, "lobby", "channel");
  ASSERT_TRUE(steps_.Run("the client visits the channel screen and returns", [&] { return VisitChannelScreen(player); }));
  ASSERT_TRUE(steps_.Run("the client creates a room through the room creation dialog",
                         [&] { return CreateRoom(player, "연습 한판", true); }));
  ASSERT_TRUE(steps_.Run("the practice robot enters the room within 10 s", [&] {
    return player.WaitFor("room", [](const Answer& a) { return a.at("opponent") == "practice1"; }, 10s,
                          "opponent practice1");
  }));
  TOVRIK_NEEDS_SCREENS(player, "room");
  ASSERT_TRUE(steps_.Run("the robot readies and the client starts the game", [&] {
    if (std::string failed = player.WaitFor(
            "room", [](const Answer& a) { return a.at("ready").ends_with(",1"); }, 15s, "the robot's ready");
        !failed.empty())
      return failed;
    if (std::string failed = player.ClickControl(kRoomStart, 5s); !failed.empty()) return failed;
    return player.WaitForValue("room", "playing", "1", 10s);
  }));
  BoardPlayer board(player, ResultFrame(player));
  const auto cpuBefore = CpuSeconds(player.Pid());
  const auto playStart = std::chrono::steady_clock::now();
  bool photographed = false;
  ASSERT_TRUE(steps_.Run("the game is played by dragging stones until the result", [&] {
    if (std::string failed = PlayUntilResult({&board}, kPlayLimit, [&](int shots) {
          if (shots >= 2 && !photographed) photographed = Screenshot("game").empty();
        });
        !failed.empty())
      return failed;
    return Screenshot("result");
  }));
  if (const auto cpuAfter = CpuSeconds(player.Pid()); cpuBefore && cpuAfter) {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - playStart).count();
    steps_.Note("player during the game: processor " + Percent((*cpuAfter - *cpuBefore) / seconds) +
                " of one core over " + std::to_string(int(seconds)) + " s, " + std::to_string(board.Shots()) +
                " shots of its own");
  }
  ASSERT_TRUE(steps_.Run("the database holds the result", [&] { return CheckRecord("e2eone", board.Result()); }));
  ASSERT_TRUE(steps_.Run("the result frame was saved", [&] { return CheckResultFrames({{&player, board.Result()}}); }));
  ASSERT_TRUE(steps_.Run("the client leaves the room", [&] { return Leave(player); }));
  ASSERT_TRUE(steps_.Run("the client ends and logs out", [&] {
    if (const int status = player.Stop(10s); status != 0) return "the client ended with status " + std::to_string(status);
    return WaitForText([&] { return server_.Log(); }, "e2eone logged out", 5s, "the server's log");
  }));
  ASSERT_TRUE(steps_.Run("no client or robot is left running", [&] { return NothingLeftRunning(); }));
  steps_.Note("the whole run took " + std::to_string(int(steps_.Seconds())) + " s");
}

TEST_F(DesktopRun, TwoClientsPlayAWholeGameThroughTheScreens) {
  ASSERT_TRUE(display_.Running()) << display_.Error();
  ASSERT_TRUE(server_.Running()) << server_.Log();
  DesktopClient& host = AddClient("host");
  DesktopClient& guest = AddClient("guest");
  ASSERT_TRUE(steps_.Run("the host logs in and shows the lobby", [&] { return LogIn(host, "id=e2ehost&nick=방장"); }));
  ASSERT_TRUE(steps_.Run("the guest logs in and shows the lobby", [&] { return LogIn(guest, "id=e2eguest&nick=손님"); }));
  ASSERT_TRUE(steps_.Run("both clients are measured in the lobby", [&] {
    std::this_thread::sleep_for(1s);
    for (DesktopClient* client : {&host, &guest})
      if (std::string failed = Measure(*client, "idle in the lobby", 3s, nullptr); !failed.empty()) return failed;
    return std::string();
  }));

  TOVRIK_NEEDS_SCREENS(host, "lobby");
  ASSERT_TRUE(steps_.Run("the host creates a room through the room creation dialog",
                         [&] { return CreateRoom(host, "한판 승부", false); }));
  ASSERT_TRUE(steps_.Run("the guest enters it through the room list", [&] { return EnterFirstListedRoom(guest); }));
  ASSERT_TRUE(steps_.Run("both see each other in the room", [&] {
    if (std::string failed = host.WaitForValue("room", "opponent", "e2eguest", 10s); !failed.empty()) return failed;
    return guest.WaitForValue("room", "opponent", "e2ehost", 10s);
  }));
  TOVRIK_NEEDS_SCREENS(host, "room");
  ASSERT_TRUE(steps_.Run("they chat", [&] {
    if (std::string failed = Chat(guest, host, "안녕하세요"); !failed.empty()) return failed;
    return Chat(host, guest, "반갑습니다");
  }));
  ASSERT_TRUE(steps_.Run("the guest readies and the host starts", [&] {
    if (std::string failed = guest.ClickControl(kRoomStart); !failed.empty()) return failed;
    if (std::string failed = host.WaitFor(
            "room", [](const Answer& a) { return a.at("ready").ends_with(",1"); }, 10s, "the guest's ready");
        !failed.empty())
      return failed;
    if (std::string failed = host.ClickControl(kRoomStart); !failed.empty()) return failed;
    if (std::string failed = host.WaitForValue("room", "playing", "1", 10s); !failed.empty()) return failed;
    return guest.WaitForValue("room", "playing", "1", 10s);
  }));
  BoardPlayer hostBoard(host, ResultFrame(host)), guestBoard(guest, ResultFrame(guest));
  const auto cpuBefore = CpuSeconds(host.Pid());
  const auto playStart = std::chrono::steady_clock::now();
  ASSERT_TRUE(steps_.Run("the whole game is played by dragging stones until the result",
                         [&] { return PlayUntilResult({&hostBoard, &guestBoard}, kPlayLimit); }));
  if (const auto cpuAfter = CpuSeconds(host.Pid()); cpuBefore && cpuAfter) {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - playStart).count();
    steps_.Note("host during the game: processor " + Percent((*cpuAfter - *cpuBefore) / seconds) + " of one core over " +
                std::to_string(int(seconds)) + " s, " + std::to_string(hostBoard.Shots() + guestBoard.Shots()) +
                " shots");
  }
  ASSERT_TRUE(steps_.Run("both show one result and the database holds it", [&] {
    const int h = hostBoard.Result(), g = guestBoard.Result();
    if (!((h == 1 && g == 2) || (h == 2 && g == 1) || (h == 3 && g == 3)))
      return "the host shows result " + std::to_string(h) + ", the guest " + std::to_string(g);
    if (std::string failed = CheckRecord("e2ehost", h); !failed.empty()) return failed;
    return CheckRecord("e2eguest", g);
  }));
  ASSERT_TRUE(steps_.Run("both frames of the result were saved and show it",
                         [&] { return CheckResultFrames({{&host, hostBoard.Result()}, {&guest, guestBoard.Result()}}); }));
  ASSERT_TRUE(steps_.Run("both peak resident sizes are measured", [&] {
    for (DesktopClient* client : {&host, &guest}) {
      const auto peak = PeakResidentKb(client->Pid());
      if (!peak) return client->Name() + ": no peak resident size";
      steps_.Note(client->Name() + " peak resident after the game: " + std::to_string(*peak / 1024) + " MB");
    }
    return std::string();
  }));
  ASSERT_TRUE(steps_.Run("both leave the room", [&] {
    if (std::string failed = Leave(host); !failed.empty()) return failed;
    return Leave(guest);
  }));
  ASSERT_TRUE(steps_.Run("both end and log out", [&] {
    for (auto [client, login] : {std::pair{&host, "e2ehost"}, std::pair{&guest, "e2eguest"}}) {
      if (const int status = client->Stop(10s); status != 0)
        return client->Name() + " ended with status " + std::to_string(status);
      if (std::string failed = WaitForText([&] { return server_.Log(); }, std::string(login) + " logged out", 5s,
                                           "the server's log");
          !failed.empty())
        return failed;
    }
    return std::string();
  }));
  ASSERT_TRUE(steps_.Run("no client is left running", [&] { return NothingLeftRunning(); }));
  steps_.Note("the whole run took " + std::to_string(int(steps_.Seconds())) + " s");
}

}  // namespace
}  // namespace tovrik::e2e
