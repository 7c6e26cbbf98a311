#include "lobby/GameDlg.h"

#include <gtest/gtest.h>

#include "GoldenFrame.h"
#include "LobbyRig.h"
#include "app/ClientGame.h"
#include "app/ControllerState.h"
#include "game/GameGlobals.h"
#include "lobby/tables/GameDlgTable.h"
#include "platform/Automation.h"
#include "platform/Clock.h"
#include "platform/EventLoop.h"
#include "platform/MessageBox.h"
#include "protocol/LobbyMessages.h"
#include "protocol/RelayMessages.h"
#include "protocol/TextField.h"
#include "ui/UiSound.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace tovrik::lobby {
namespace {

using namespace platform;
using game::Game;
using game::Play;
using testing::Cp;
using testing::RecordingPlace;
namespace ids = tables::gamedlg;

class RecordingGameSound final : public game::IGameSound {
 public:
  void PlayEffect(int effect) override { effects.push_back(effect); }
  void StopAllMusic() override {}
  std::vector<int> effects;
};

class RecordingUiSound final : public ui::IUiSound {
 public:
  RecordingUiSound() { ui::SetUiSound(this); }
  ~RecordingUiSound() override { ui::SetUiSound(nullptr); }
  void PlayEffect(int, int) override { ++played; }
  void PlayFile(std::string_view) override { ++played; }
  int played = 0;
};

// The message ids of the frames a place sent.
std::vector<int> SentIds(const RecordingPlace& place) {
  std::vector<int> ids;
  for (const auto& frame : place.sent) ids.push_back(std::int16_t(std::uint8_t(frame[2]) | std::uint8_t(frame[3]) << 8));
  return ids;
}

class GameDlgTest : public ::testing::Test {
 protected:
  GameDlgTest() : previousDir_(std::filesystem::current_path()) {
    // The buttons' bitmap resources are read from the program's folder.
    std::filesystem::current_path(TOVRIK_RUNTIME_DIR);
  }
  ~GameDlgTest() override { std::filesystem::current_path(previousDir_); }

  void SetUp() override {
    app::ResetControllerState();
    ResetMessageBoxAutomation();
    for (int slot = 0; slot < 2; ++slot) Play[slot].Clear();
    protocol::CopyIfShorter(Play[0].user.ID, "hong");
    protocol::CopyIfShorter(Play[0].user.NickName, Cp("길동"));
    Play[0].user.UNum = 42;
    protocol::CopyIfShorter(Play[1].user.ID, "kim");
    protocol::CopyIfShorter(Play[1].user.NickName, Cp("철수"));
    app::g_Where = app::kWhereGameRoom;
    app::g_RI.RoomNo = 7;
    app::g_RI.UserCnt = 2;
    protocol::CopyIfShorter(app::g_RI.MasterID, "hong");
    ASSERT_TRUE(main.Create(nullptr, Rect::FromSize(0, 0, 800, 600)));
    ASSERT_TRUE(dlg.Create(main));
    dlg.Show(true);
  }
  void TearDown() override {
    dlg.Destroy();
    app::ResetControllerState();
  }

  GameDlgOptions Options() {
    GameDlgOptions options;
    options.programDir = TOVRIK_RUNTIME_DIR;
    options.startGameClock = false;
    options.place = &place;
    options.ask = [this](std::string_view text, std::string_view) {
      questions.emplace_back(text);
      if (duringQuestion) duringQuestion();
      return answer;
    };
    return options;
  }
  void Pump(int iterations = 3) {
    for (int i = 0; i < iterations; ++i) loop.PumpOnce();
  }
  void ClickControl(int id) {
    const Rect r = dlg.GetDlgItem(id)->GetScreenRect();
    automation.Click({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    Pump();
  }
  void RunFor(std::uint32_t ms) {
    clock.Advance(ms);
    Pump(1);
  }

  std::filesystem::path previousDir_;
  FakeClock clock{1000};
  EventLoop loop{clock};
  Automation automation{loop};
  Window main;
  RecordingPlace place{kChatInRoom};
  RecordingGameSound sound;
  RecordingUiSound uiSound;
  int answer = IDOK;
  std::function<void()> duringQuestion;
  std::vector<std::string> questions;
  CGameDlg dlg{Options()};
  app::CClientGame clientGame{Game, dlg, &sound};
};

TEST_F(GameDlgTest, StartAndReadyFollowTheRoomAndSendTheirRequests) {
  struct Case {
    const char* name;
    bool master;
    int users;
    bool otherReady;
    bool selfReady;
    bool playing;
    bool startFace;
    bool enabled;
    std::vector<int> sent;  // after one click
  };
  const int kReady = protocol::msgid::CCL_READYTOSTART, kAsk = protocol::msgid::CCL_ASK_STARTGAME;
  const Case cases[] = {
      {"master alone", true, 1, false, false, false, true, false, {}},
      {"master, guest not ready", true, 2, false, false, false, true, false, {}},
      {"master, guest ready", true, 2, true, false, false, true, true, {kAsk}},
      {"master, guest ready, playing", true, 2, true, false, true, true, false, {}},
      {"guest alone", false, 1, false, false, false, false, false, {}},
      {"guest with master", false, 2, false, false, false, false, true, {kReady}},
      {"guest already ready", false, 2, false, true, false, false, false, {}},
      {"guest while playing", false, 2, false, false, true, false, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    app::ResetControllerState();
    app::g_Where = app::kWhereGameRoom;
    app::g_RI.RoomNo = 7;
    app::g_RI.UserCnt = c.users;
    app::g_RI.Playing = c.playing;
    protocol::CopyIfShorter(app::g_RI.MasterID, c.master ? "hong" : "kim");
    Play[0].ready = c.selfReady;
    Play[1].ready = c.otherReady;
    place.sent.clear();
    sound.effects.clear();
    dlg.SetButtonState();
    EXPECT_EQ(dlg.ShowsStartFace(), c.startFace);
    EXPECT_EQ(dlg.StartButton().IsWindowEnabled(), c.enabled);
    ClickControl(ids::kStart);
    EXPECT_EQ(SentIds(place), c.sent);
    EXPECT_EQ(sound.effects, c.enabled ? std::vector<int>{CGameDlg::kClickEffect} : std::vector<int>{});
  }
  EXPECT_EQ(uiSound.played, 0) << "the buttons play no sound file of their own";
}

TEST_F(GameDlgTest, StartFramesCarryTheRoomSeatAndIdAndASecondClickSendsNothing) {
  Play[1].ready = 1;
  Play[0].serverNum = 1;
  dlg.SetButtonState();
  ClickControl(ids::kStart);
  ClickControl(ids::kStart);
  ASSERT_EQ(place.sent.size(), 1u);
  auto ask = place.Sent<protocol::CCL_ASK_STARTGAME>(0);
  ASSERT_TRUE(ask);
  EXPECT_EQ(ask->Info->RoomNo.get(), 7);
  EXPECT_EQ(ask->Info->ServerNum.get(), 1);
  EXPECT_EQ(protocol::ReadText(ask->Info->ID), "hong");
  EXPECT_FALSE(dlg.StartButton().IsWindowEnabled()) << "disabled until the start or a refusal";
  app::EndRequest(app::Request::StartGame);
  dlg.SetButtonState();
  EXPECT_TRUE(dlg.StartButton().IsWindowEnabled());

  protocol::CopyIfShorter(app::g_RI.MasterID, "kim");
  place.sent.clear();
  dlg.SetButtonState();
  ClickControl(ids::kStart);
  auto ready = place.Sent<protocol::CCL_READYTOSTART>(0);
  ASSERT_TRUE(ready);
  EXPECT_EQ(ready->Info->View(), "hong");
}

TEST_F(GameDlgTest, ExitLeavesBetweenGamesAndReservesDuringOne) {
  const int kOut = protocol::msgid::CSV_ASK_OUTROOM, kReserve = protocol::msgid::CCL_EXITSUBSCRIPT;
  struct Case {
    const char* name;
    bool playing;
    bool takesPart;
    bool reservedBefore;
    int answer;
    bool gameEndsDuringQuestion;
    std::vector<int> sent;
    int reserveFlag;  // of the CCL_EXITSUBSCRIPT sent, -1 none
    bool reservedAfter;
    std::size_t questions;
  };
  const Case cases[] = {
      {"between games: leave at once", false, false, false, IDOK, false, {kOut}, -1, false, 0},
      {"watching a game: leave at once", true, false, false, IDOK, false, {kOut}, -1, false, 0},
      {"playing: reserve", true, true, false, IDOK, false, {kReserve}, 1, true, 1},
      {"playing: reservation declined", true, true, false, IDCANCEL, false, {}, -1, false, 1},
      {"playing, reserved: cancel the reservation", true, true, true, IDOK, false, {kReserve}, 0, false, 1},
      {"playing, reserved: keep it", true, true, true, IDCANCEL, false, {}, -1, true, 1},
      {"the game ends while asked to reserve: leave", true, true, false, IDOK, true, {kOut}, -1, false, 1},
      {"the game ends while asked to cancel: nothing to cancel", true, true, true, IDOK, true, {}, -1, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    app::ResetControllerState();
    app::g_Where = app::kWhereGameRoom;
    app::g_RI.RoomNo = 7;
    app::g_RI.UserCnt = 2;
    app::g_RI.Playing = c.playing;
    Play[0].seated = c.takesPart;
    Play[0].inGame = c.takesPart;
    dlg.GameView()->exitReserved = c.reservedBefore;
    answer = c.answer;
    duringQuestion = c.gameEndsDuringQuestion ? [] { app::g_RI.Playing = 0; } : std::function<void()>();
    place.sent.clear();
    questions.clear();
    ClickControl(ids::kExit);
    EXPECT_EQ(SentIds(place), c.sent);
    EXPECT_EQ(questions.size(), c.questions);
    EXPECT_EQ(dlg.GameView()->exitReserved != 0, c.reservedAfter);
    if (c.reserveFlag >= 0) {
      auto reserve = place.Sent<protocol::CCL_EXITSUBSCRIPT>(0);
      ASSERT_TRUE(reserve);
      EXPECT_EQ(reserve->Info->reserve.get(), c.reserveFlag);
      EXPECT_EQ(reserve->Info->RoomNo.get(), 7);
    }
  }
}

TEST_F(GameDlgTest, PressingExitTwiceWhileTheLeaveIsPendingSendsOneRequest) {
  ClickControl(ids::kExit);
  ClickControl(ids::kExit);
  ASSERT_EQ(place.sent.size(), 1u);
  auto out = place.Sent<protocol::CSV_ASK_OUTROOM>(0);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->RoomNo->get(), 7);
  EXPECT_EQ(out->UNum->get(), 42);
  EXPECT_EQ(out->UserID->View(), "hong");
}

TEST_F(GameDlgTest, BoardResetsFiveSecondsAfterAResultUnlessAGameRuns) {
  for (bool gameRuns : {false, true}) {
    SCOPED_TRACE(gameRuns ? "a new game runs" : "idle");
    Game.resultShowing = 1;
    dlg.SetResetGameTimer();
    RunFor(4999);
    EXPECT_EQ(Game.resultShowing, 1);
    EXPECT_TRUE(dlg.ResetTimerRunning());
    app::g_RI.Playing = gameRuns;
    RunFor(1);
    EXPECT_EQ(Game.resultShowing, gameRuns ? 1 : 0);
    EXPECT_FALSE(dlg.ResetTimerRunning());
    RunFor(5000);
    EXPECT_EQ(Game.resultShowing, gameRuns ? 1 : 0) << "the timer runs once";
  }
  Game.resultShowing = 1;
  app::g_RI.Playing = 0;
  dlg.SetResetGameTimer();
  RunFor(3000);
  dlg.SetResetGameTimer();
  RunFor(3000);
  EXPECT_EQ(Game.resultShowing, 1) << "setting it again starts the 5 s over";
  RunFor(2000);
  EXPECT_EQ(Game.resultShowing, 0);
}

TEST_F(GameDlgTest, EnterAndEscapeDoNotCloseTheRoom) {
  dlg.FocusChat();
  automation.PressKey(VK_ESCAPE);
  automation.PressKey(VK_RETURN);
  Pump();
  EXPECT_TRUE(dlg.IsCreated());
  EXPECT_TRUE(dlg.IsWindowVisible());
  EXPECT_TRUE(place.sent.empty()) << "an empty chat line sends nothing";
  dlg.GetDlgItem(ids::kCapture)->SetFocus();
  automation.PressKey(VK_ESCAPE);
  automation.PressKey(VK_RETURN);
  Pump();
  EXPECT_TRUE(dlg.IsWindowVisible());
  automation.TypeText("hi");
  dlg.FocusChat();
  automation.TypeText("gg");
  automation.PressKey(VK_RETURN);
  auto chat = place.Sent<protocol::CCL_CHATDATA>(0);
  ASSERT_TRUE(chat);
  EXPECT_EQ(chat->TextView(), "gg");
}

TEST_F(GameDlgTest, AbuseReportNeedsAConversationAndSendsItsLast4000Bytes) {
  const BadUserChoice choice{1, "kim", Cp("철수"), Cp("욕설")};
  CHideChatList shortLog;
  for (const char* line : {"ID : kim(철수)> 바보\n", "ID : kim(철수)> 멍청이\n", "ID : hong(길동)> 왜 그래요\n"})
    shortLog.AddData(Cp(line));
  EXPECT_FALSE(dlg.SendBadUserReport(choice, shortLog));
  ASSERT_EQ(LoggedMessageBoxes().size(), 1u);
  EXPECT_TRUE(LoggedMessageBoxes()[0].text.starts_with("다른 분과의 대화 내용이 있어야"));
  EXPECT_TRUE(place.sent.empty());

  // 90 lines of 57 bytes: a single byte first, so that the cut at 4000
  // from the end falls on the second byte of a syllable.
  CHideChatList log;
  for (int i = 0; i < 90; ++i) log.AddData(Cp("ID : kim(철수)> x가나다라마바사아자차카타파하가나다라마\n"));
  const std::string all = log.GetData();
  ASSERT_GT(all.size(), 5000u);
  ASSERT_TRUE(dlg.SendBadUserReport(choice, log));
  auto report = place.Sent<protocol::CSV_ASK_BADUSER>(0);
  ASSERT_TRUE(report);
  const std::string_view excerpt = report->ExcerptView();
  EXPECT_EQ(excerpt.size(), 3999u) << "4000 bytes would start inside a syllable";
  EXPECT_TRUE(all.ends_with(excerpt));
  EXPECT_EQ(report->RoomNo->get(), 7);
  EXPECT_EQ(report->UNum->get(), 42);
  EXPECT_EQ(report->UserID->View(), "hong");
  EXPECT_EQ(report->BadUserID->View(), "kim");
  EXPECT_EQ(report->BadUserNick->View(), Cp("철수"));
  EXPECT_EQ(report->Reason->View(), Cp("욕설"));
  EXPECT_EQ(report->FreeTextView(), Cp("철수(kim)"));
  EXPECT_EQ(report->CheckValue->get(), 1);
}

TEST_F(GameDlgTest, CardsShowTheSeatsAndLeavingForgetsTheRoom) {
  dlg.ShowCharacters(Play[0].user, &Play[1].user);
  ASSERT_TRUE(dlg.OpponentCard().User());
  EXPECT_EQ(protocol::ReadText(dlg.OpponentCard().User()->ID), "kim");
  dlg.GameView()->exitReserved = 1;
  dlg.SetResetGameTimer();
  dlg.OnLeftRoom();
  EXPECT_FALSE(dlg.OpponentCard().User());
  EXPECT_EQ(dlg.GameView()->exitReserved, 0);
  EXPECT_FALSE(dlg.ResetTimerRunning());
}

// A lobby that writes down the commands it gets.
class FakeLobby final : public controls::Dialog {
 public:
  static constexpr controls::DialogTemplate kTemplate{"lobby", 800, 600, {}};
  FakeLobby() : controls::Dialog(kTemplate) {}
  ~FakeLobby() override { Destroy(); }
  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    if (msg == WM_COMMAND) commands.push_back(static_cast<int>(LowWord(w)));
    return controls::Dialog::WindowProc(msg, w, l);
  }
  std::vector<int> commands;
};

TEST_F(GameDlgTest, DisplayModeIsTheLobbysSwitch) {
  FakeLobby lobby;
  ASSERT_TRUE(lobby.CreateModeless(&main, Point{0, 0}));
  lobby.ShowWindow(false);
  dlg.Show(true);
  ClickControl(ids::kDisplayMode);
  EXPECT_EQ(lobby.commands, std::vector<int>{ids::kDisplayMode});
  EXPECT_TRUE(sound.effects.empty()) << "the lobby's switch plays the click";
}

// The running client's room ticks its game on the view's own 20 ms clock
// while the room shows, and not while it is hidden.
TEST(GameDlgClock, TheShownRoomRunsTheClientsGameOnItsOwnClock) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(TOVRIK_RUNTIME_DIR);
  app::ResetControllerState();
  app::g_Where = app::kWhereGameRoom;
  {
    EventLoop loop;
    Window main;
    ASSERT_TRUE(main.Create(nullptr, Rect::FromSize(0, 0, 800, 600)));
    RecordingPlace place{kChatInRoom};
    GameDlgOptions options;
    options.place = &place;
    CGameDlg dlg(options);
    app::CClientGame clientGame(Game, dlg);
    ASSERT_TRUE(dlg.Create(main));
    const auto pumpFor = [&](int ms) {
      const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
      while (std::chrono::steady_clock::now() < end)
        if (!loop.PumpOnce()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    const int hiddenStart = Game.tickCount;
    pumpFor(200);
    EXPECT_EQ(Game.tickCount, hiddenStart) << "no ticks while the room is hidden";
    dlg.Show(true);
    pumpFor(100);  // the first ticks catch up on the time the room was hidden
    const int shownStart = Game.tickCount;
    pumpFor(400);
    EXPECT_GE(Game.tickCount - shownStart, 10) << "about 20 ticks in 400 ms, not " << Game.tickCount - shownStart;
    EXPECT_LE(Game.tickCount - shownStart, 30) << Game.tickCount - shownStart;
    dlg.Destroy();
  }
  app::ResetControllerState();
  std::filesystem::current_path(previous);
}

// --- Golden frames ------------------------------------------------------------------

class GameDlgGoldenTest : public GameDlgTest {
 protected:
  void SetUp() override {
    GameDlgTest::SetUp();
    Game.ResetGame();
    Game.myServPNum = 0;
    Game.seatZeroSlot = 0;
    for (int slot = 0; slot < 2; ++slot) Play[slot].serverNum = Game.GetServPNum_ByPN(slot);
    protocol::CopyIfShorter(app::g_RI.Title, Cp("한 판 두실 분"));
    Play[0].user.Point = 1500;
    Play[0].user.WinNum = 12;
    Play[0].user.LoseNum = 9;
    Play[1].user.Point = 800;
    Play[1].user.WinNum = 3;
    Play[1].user.LoseNum = 5;
    Play[1].ready = 1;
    dlg.ShowCharacters(Play[0].user, &Play[1].user);
    dlg.AddChat("# <길동>님 입장 #\n", {30, 150, 30});
    dlg.AddChat("# <철수>님 입장 #\n", {30, 150, 30});
    dlg.AddChat("철수> 잘 부탁드립니다\n", {200, 180, 180});
    dlg.SetButtonState();
    dlg.FocusChat();
  }
  void TearDown() override {
    Game.ResetGame();
    GameDlgTest::TearDown();
  }
  void Tick(int ticks) {
    for (int i = 0; i < ticks; ++i) {
      clock.Advance(20);
      dlg.GameView()->SendMessage(WM_TIMER, gameview::CGameView::kTickTimerId);
    }
  }
  void ExpectFrame(const std::string& name) {
    if (loop.NeedsPaint()) loop.PaintNow();
    controls::testing::ExpectMatchesGolden(loop.Frame(), Rect::FromSize(0, 0, 800, 600), name,
                                           controls::testing::GoldenDir("lobby"));
  }
  void Start() {
    protocol::STARTINFO start;
    protocol::SetRelayID(start.ID[0], "hong");
    protocol::SetRelayID(start.ID[1], "kim");
    for (int a = 0; a < 2; ++a) {
      start.Seat[a].seated = 1;
      start.Seat[a].inGame = 1;
      start.Pebble[a] = 1000;
    }
    start.Seat[0].side = game::kSideHan;
    start.Seat[1].side = game::kSideCho;
    app::g_RI.Playing = 1;
    Game.DoPrepareGame(&start);
    dlg.SetButtonState();
    Tick(40);
    protocol::NEXTPLAYER next;
    protocol::SetRelayID(next.ID, "hong");
    next.Gauge = 30;
    Game.OnNextPlayer(&next);
    Tick(10);
  }
};

TEST_F(GameDlgGoldenTest, IdleRoomWithTheGuestReady) {
  Tick(5);
  ExpectFrame("room_idle");
}

TEST_F(GameDlgGoldenTest, MidGame) {
  Start();
  ExpectFrame("room_midgame");
}

TEST_F(GameDlgGoldenTest, Result) {
  Start();
  std::array<protocol::GAMEOVERRESULT, 2> results{};
  protocol::CopyIfShorter(results[0].ID, "hong");
  results[0].ChangePoint = 10;
  results[0].Point = 1510;
  results[0].WinNum = 13;
  results[0].LoseNum = 9;
  protocol::CopyIfShorter(results[1].ID, "kim");
  results[1].ChangePoint = -10;
  results[1].Point = 790;
  results[1].WinNum = 3;
  results[1].LoseNum = 6;
  Game.OnGameOver(results);
  Tick(60);
  EXPECT_TRUE(dlg.ResetTimerRunning());
  ExpectFrame("room_result");
}

}  // namespace
}  // namespace tovrik::lobby
