// The main window's services: views and their titles, the lobby's welcome
// and score lines, the configuration applied after login, the play-time
// reminders, the abuse-report cool-down, screen capture and page openers.

#include "app/ClientDlg.h"
#include "app/ControllerState.h"
#include "base/CodePage.h"
#include "base/Log.h"
#include "game/GameGlobals.h"
#include "game/Levels.h"
#include "gfx/Page.h"
#include "gfx/ScreenCapture.h"
#include "platform/EventLoop.h"
#include "platform/Screen.h"
#include "portal/SystemServices.h"
#include "sound/Sound.h"

#include <cstdio>
#include <ctime>

using namespace tovrik::platform;
namespace base = tovrik::base;
using tovrik::base::Cp949FieldToUtf8;
using tovrik::base::Cp949ToUtf8;
using namespace tovrik::portal;
using tovrik::sound::Sound;

namespace tovrik::app {

namespace {

constexpr ChatColour kBlack{0, 0, 0};
constexpr ChatColour kGain{0, 180, 0};
constexpr ChatColour kLoss{180, 0, 0};
constexpr ChatColour kReportLine{0, 0, 200};
constexpr ChatColour kSoundLine{0, 200, 50};
constexpr ChatColour kItemLine{200, 0, 0};
constexpr ChatColour kReminder{255, 0, 0};

constexpr double kVersionShown = kClientVersion / 100.0;

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char text[512];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

template <std::size_t N>
std::string FieldUtf8(const char (&field)[N]) {
  return Cp949FieldToUtf8(std::span<const char>(field, N));
}

CShellMan& ShellMan() {
  static CShellMan shell;
  return shell;
}

}  // namespace

// --- Views -------------------------------------------------------------------------

void CClientDlg::ChangeView(int view) {
  screens_.channel->Show(view == 0);
  screens_.lobby->Show(view == 2);
  screens_.room->Show(view == 3);
  screens_.channel->RemoveBanner();
  const std::string plainTitle = Format("코르반타 토브릭 장기 Ver%2.2f", kVersionShown);
  switch (view) {
    case 0:
      title_ = plainTitle;
      firstLobbyEntry_ = true;
      screens_.channel->CreateBanner();
      if (!g_NoticeURL.empty()) screens_.channel->NavigateWeb(g_NoticeURL);
      break;
    case 1:
      title_ = plainTitle;
      break;
    case 2: {
      screens_.lobby->ClearInput(0);
      screens_.lobby->ClearInput(1);
      title_ = Format("코르반타 토브릭 장기 Ver%2.2f - [%s]", kVersionShown, OneLineName(Cp949ToUtf8(g_NowChanName)).c_str());
      const int points = tovrik::game::Play[0].user.Point.get();
      if (firstLobbyEntry_) {
        firstLobbyEntry_ = false;
        runBaseline_ = roomBaseline_ = points;
      } else {
        AddScoreLines();
      }
      ShowItemState();
      if (reminderPending_) {
        reminderPending_ = false;
        SetTimer(kTimerPlayRepeat, 1000);
      }
      screens_.lobby->InitView();
      screens_.popups->ShowGameGrade();
      Sound.AllMusicStop();
      ShowStatus("대기실: " + Cp949ToUtf8(g_NowChanName));
      break;
    }
    case 3: {
      const std::string channel = Cp949ToUtf8(g_NowChanName);
      const std::string level(tovrik::game::GetLevelString(g_RI.RoomLevel));
      const std::string roomTitle = FieldUtf8(g_RI.Title);
      const char* secrecy = g_RI.Secret ? "비공개" : "공개";
      title_ = g_RI.SuperRoom
                   ? Format("코르반타 토브릭 장기(%s) - [슈퍼방] [%d번방] [레벨: %s] [방제목: %s] [%s]",
                            channel.c_str(), int(g_RI.RoomNo.get()), level.c_str(), roomTitle.c_str(), secrecy)
                   : Format("코르반타 토브릭 장기(%s) - [%d번방] [레벨: %s] [방제목: %s] [%s]", channel.c_str(),
                            int(g_RI.RoomNo.get()), level.c_str(), roomTitle.c_str(), secrecy);
      roomBaseline_ = tovrik::game::Play[0].user.Point.get();
      screens_.room->ClearInput(0);
      screens_.room->ClearInput(1);
      screens_.room->FocusChat();
      screens_.room->ResetGameView();
      break;
    }
    default:
      break;
  }
  if (EventLoop* loop = EventLoop::Current())
    if (Screen* screen = loop->GetScreen()) screen->SetTitle(title_);
}

void CClientDlg::AddScoreLines() {
  for (const ScoreLine& line : ScoreLines(tovrik::game::Play[0].user.Point.get(), runBaseline_, roomBaseline_))
    screens_.lobby->AddChat(line.text, line.gain ? kGain : kLoss);
}

void CClientDlg::MoveToLobby() {
  g_Where = kWhereLobby;
  ChangeView(2);
  ILobbyScreen& lobby = *screens_.lobby;
  lobby.ClearInput(0);
  lobby.FocusChat();
  const std::string nick = OneLineName(FieldUtf8(tovrik::game::Play[0].user.NickName));
  lobby.AddChat(Format("# [%s]님의 접속을 환영합니다 #\n", nick.c_str()) + "♤ 귓말 사용법 : /w 닉네임 전할말\n" +
                    "♤ 혹은 접속자 리스트에서 마우스 오른쪽 클릭 -> 귓말하기 선택\n",
                kBlack);
  lobby.AddChat("♤ 불량 아이디 신고는 채팅창 우측의 112신고버튼을 클릭하세요.\n", kReportLine);
  lobby.AddChat("※ 장시간의 게임이용은 건강을 해칠 수 있습니다.\n", kBlack, true);
  if (!Sound.UsesMixer())
    lobby.AddChat(std::string("※ 다이렉트 사운드 초기화에 실패하여 다중 사운드 출력이 지원되지 않습니다.\n") +
                      "  다른 응용 프로그램에서 사운드 장치를 사용중인지 점검하시고 \n " +
                      "  시스템에 다이렉트X가 설치되어있지 않다면 최신 버전을 설치하시기 바랍니다.\n",
                  kSoundLine);
  ShowItemState();
  lobby.RefreshLists();
}

void CClientDlg::ShowItemState() {
  const tovrik::game::LocalTime now = ServerNow();
  const int count = std::clamp(int(g_MyGameItem.Count.get()), 0, tovrik::protocol::kMaxGameItems);
  for (int i = 0; i < count; ++i) {
    const tovrik::protocol::GAMEITEM& item = g_MyGameItem.Item[i];
    const tovrik::game::ItemState state = tovrik::game::GameItem_GetItemState(item, now);
    if (state.state != tovrik::game::kItemStateRunning) continue;
    const std::string name = OneLineName(tovrik::game::GameItem_GetItemName(item));
    const long total = long(state.timeLeft.count());
    const int days = int(total / (24 * 60)), hours = int(total / 60 % 24), minutes = int(total % 60);
    if (days == 0)
      screens_.lobby->AddChat(Format("◆ [%s] 사용중 (남은 시간 : %d시간 %d분)\n", name.c_str(), hours, minutes),
                              kItemLine);
    else
      screens_.lobby->AddChat(
          Format("◆ [%s] 사용중 (남은 시간 : %d일 %d시간 %d분)\n", name.c_str(), days, hours, minutes), kItemLine);
  }
}

// --- Configuration -------------------------------------------------------------------

void CClientDlg::SetupByConfig() {
  if ((config_.OffSndFX == 1) != Sound.EffectsOff()) Sound.SetSndFx(config_.OffSndFX == 1 ? 0 : 1);
  if ((config_.OffMusic == 1) != Sound.MusicOff()) Sound.SetMusic(config_.OffMusic == 1 ? 0 : 1);
  if (config_.FailToFullScreen == 1) {
    config_.ScreenMode = 0;
    config_.FailToFullScreen = 0;
    SaveConfig(g_LoginID);
    AfxMessageBox("지난번 실행시 풀스크린 모드로 화면 전환에 실패하였기때문에 창모드로 실행합니다.");
  } else if (config_.ScreenMode == 1) {
    config_.FailToFullScreen = 1;
    SaveConfig(g_LoginID);
    screens_.lobby->SwitchToFullScreen();
    config_.FailToFullScreen = 0;
    SaveConfig(g_LoginID);
  }
  if (config_.NoInvit == 1) screens_.lobby->CheckNoInvite(true);
  if (config_.NoWhisper == 1) screens_.lobby->CheckNoWhisper(true);
}

// --- Timers -----------------------------------------------------------------------------

void CClientDlg::GuardTimer(std::uintptr_t id) {
  std::string text;
  if (id == kTimerPlayHour || id == kTimerPlayRepeat) {
    if (id == kTimerPlayHour) ++playHours_;
    text = playHours_ < 3 ? Format("게임 접속 후 %d시간이 경과 하였습니다.\n", playHours_)
                          : Format("게임 접속 후 %d시간이 경과했습니다. 잠시 쉬었다 하시기 바랍니다.\n", playHours_);
    if (id == kTimerPlayRepeat) KillTimer(kTimerPlayRepeat);
    SetTimer(kTimerPlayFollowUp, 3000);
  } else if (id == kTimerPlayFollowUp) {
    KillTimer(kTimerPlayFollowUp);
    text = "과도한 게임이용은 정상적인 일상생활에 지장을 줄 수 있습니다.\n";
  } else {
    return;
  }
  ShowReminder(text);
}

void CClientDlg::ShowReminder(std::string_view text) {
  if (g_Where == kWhereChannel) reminderPending_ = true;
  else if (g_Where == kWhereLobby) screens_.lobby->AddChat(text, kReminder);
  else if (g_Where == kWhereGameRoom) screens_.room->AddChat(text, kReminder);
}

void CClientDlg::ResetBadUserTimer() {
  KillBadUserTimer();
  if (SetTimer(kTimerBadUser, 60000)) badUserTimer_ = kTimerBadUser;
}

void CClientDlg::KillBadUserTimer() {
  if (badUserTimer_ != 0 && IsCreated()) KillTimer(badUserTimer_);
  badUserTimer_ = 0;
}

// --- Capture --------------------------------------------------------------------------------

bool CClientDlg::DoScreenCapture() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const std::string name = Format("quillona_%d_%d_%d_%d_%d.jpg", local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                  local.tm_min, local.tm_sec);
  if (!ScreenCapture(this, name)) return false;
  AfxMessageBox("스크린 샷을 '내 문서'폴더에 저장하였습니다.");
  return true;
}

bool CClientDlg::ScreenCapture(Window* window, std::string_view fileName) {
  EventLoop* loop = EventLoop::Current();
  if (!window || !window->IsCreated() || !loop) return false;
  const Rect area = window->GetScreenRect();
  PixelView view = loop->Frame().Part(area.left, area.top, area.Width(), area.Height());
  // An empty window still counts against the 50 ms rule like any other.
  static std::uint8_t noPixel[2] = {};
  if (!view.IsValid()) view = {noPixel, 0, 0, 0, PixelFormat::Rgb555, nullptr};
  std::filesystem::path documents = DocumentsFolder();
  if (documents.empty()) return false;
  std::error_code ec;
  std::filesystem::create_directories(documents, ec);
  return tovrik::gfx::ScreenCapture(&view, documents, fileName, loop->Clock().NowMs()) == 1;
}

// --- Window and pages -----------------------------------------------------------------------

void CClientDlg::ProccessCaptionBar(Point point) {
  EventLoop* loop = EventLoop::Current();
  Screen* screen = loop ? loop->GetScreen() : nullptr;
  if (point.y < 28 && !(screen && screen->IsFullscreen())) PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void CClientDlg::ShowExplorer(int show) { ShellMan().ShowExplorer(show, "corvanta", 0); }

// The portal's companion program, when it runs, opens operator pages for
// the client. This platform has no such program, so both openers report
// that nothing was opened.
bool CClientDlg::OpenCorvantaWebpage(std::string_view first, std::string_view second) {
  if (first.empty() || second.empty() || !IsCreated()) return false;
  base::Log(base::LogLevel::Info, "app", "no companion program to open the page ", second);
  return false;
}

bool CClientDlg::OpenHompy(std::string_view first, std::string_view second) {
  if (first.empty() || second.empty() || !IsCreated()) return false;
  base::Log(base::LogLevel::Info, "app", "no companion program to open the home page of ", second);
  return false;
}

void CClientDlg::ShowProfile(const tovrik::protocol::USERINFO& user, int flag) { screens_.popups->ShowProfile(user, flag); }

void CClientDlg::ShowMyItemBag() { screens_.popups->ShowMyItemBag(); }

bool CClientDlg::BrowserMove(std::string_view url) {
  if (url.empty()) return false;
  return OpenCorvantaWebpage(g_MyUniqNo, url);
}

}  // namespace tovrik::app
