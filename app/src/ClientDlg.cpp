#include "app/ClientDlg.h"

#include "AutomationQuestions.h"

#include "app/ClientGame.h"
#include "app/CommonSprites.h"

#include "app/ControllerState.h"
#include "app/LaunchParams.h"
#include "app/StatusView.h"
#include "base/CodePage.h"
#include "base/Log.h"
#include "game/GameGlobals.h"
#include "game/Levels.h"
#include "sockets/SockMan.h"
#include "platform/AutomationChannel.h"
#include "platform/EventLoop.h"
#include "platform/MessageBox.h"
#include "platform/PathResolver.h"
#include "platform/Screen.h"
#include "platform/SdlSession.h"
#include "portal/AvatarDLL.h"
#include "portal/BadFilterLoader.h"
#include "portal/QXRunParam.h"
#include "portal/QXWebBanner.h"
#include "portal/SSOWebLib.h"
#include "portal/SystemServices.h"
#include "protocol/LoginMessages.h"
#include "protocol/Messages.h"
#include "protocol/ReasonTexts.h"
#include "protocol/TextField.h"
#include "sound/Sound.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstdlib>

using namespace tovrik::platform;
namespace base = tovrik::base;
using tovrik::base::Cp949ToUtf8;
using namespace tovrik::portal;
using namespace tovrik::protocol;
using tovrik::sockets::SockMan;
using tovrik::sound::Sound;
using tovrik::portal::CQXRunParam;
namespace runparam = tovrik::portal::runparam;

namespace tovrik::app {

namespace {

constexpr char kMasterVersionMismatch[] = "마스터 서버와의 버전이 일치하지 않아 접속을 종료합니다.";
constexpr char kGameVersionMismatch[] = "프로그램의 버전이 일치하지 않습니다. 최신 버전을 다운받으세요";
constexpr char kSsoFailed[] = "SSO WebBrowser 모듈을 초기화할 수 없습니다.";
constexpr char kSocketInitFailed[] = "소켓 초기화에 실패하였습니다";
constexpr char kFilesMissing[] =
    "프로그램 실행에 필요한 파일을 읽을 수 없습니다.\n프로그램을 재설치하시기 바랍니다.";
constexpr char kMasterLost[] = "메인 서버와의 접속이 끊어졌습니다";
constexpr char kGameLost[] = "게임 서버와의 접속이 끊어졌습니다";
constexpr char kMasterConnectFailed[] = "메인 서버와 접속이 실패하였습니다";
constexpr char kGameConnectFailed[] = "게임 서버와 접속이 실패하였습니다";
constexpr char kMoveFailed[] = "채널 이동에 실패하였습니다";
constexpr char kClosing[] = "프로그램을 종료하는 중입니다.";
constexpr char kCannotRead[] = " 파일을 읽을 수 없습니다";

CClientDlg* g_ClientDlg = nullptr;

// Set by SIGINT and SIGTERM; the main window looks at it on a timer, since
// nothing else may be done inside a signal handler.
std::atomic<bool> g_ExitRequested{false};

// A box on the screen blocks this thread until it is answered; it is ended
// so that the exit can go on.
void RequestExit(int) {
  g_ExitRequested = true;
  InterruptMessageBoxes();
}

// The top 28 pixels serve as the caption bar (dragging, the system menu).
constexpr int kCaptionHeight = 28;

void InstallExitSignals() {
  struct sigaction action {};
  action.sa_handler = RequestExit;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

// Sets a guard flag for the life of a handler that may open a modal box.
class HandlerGuard {
 public:
  explicit HandlerGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~HandlerGuard() { flag_ = false; }
  HandlerGuard(const HandlerGuard&) = delete;
  HandlerGuard& operator=(const HandlerGuard&) = delete;

 private:
  bool& flag_;
};

template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
  return std::string(ReadText(std::span<const char>(field, N)));
}

std::string ShowText(std::string_view cp949) { return Cp949ToUtf8(cp949); }

void Send(int sid, const auto& msg) {
  if (sid < 0 || !msg.GetData()) return;
  SockMan.SendData(sid, msg.GetData(), msg.GetTotalSize());
}

CommonSprites g_CommonSprites;

// The window works just as well with the system's default icon, so a
// missing or unreadable picture is only logged.
void SetProgramIcon() {
  EventLoop* loop = EventLoop::Current();
  Screen* screen = loop ? loop->GetScreen() : nullptr;
  if (!screen) return;
  std::string error;
  if (!screen->SetIcon(ResolvePath(".\\image\\icon128.bmp"), &error))
    base::Log(base::LogLevel::Warn, "app", "no program icon: ", error);
}

}  // namespace

CClientDlg* GetClientDlg() { return g_ClientDlg; }

const CommonSprites& GetCommonSprites() { return g_CommonSprites; }

namespace {

ScreenSetFactory& DefaultFactorySlot() {
  static ScreenSetFactory factory;
  return factory;
}

// A screen given by the caller wins over the set's.
// Which screens are the client's own and which the status view stands in for.
OwnScreens OwnScreensOf(const ClientScreens& screens, CStatusView* standIn) {
  return {screens.channel != static_cast<IChannelScreen*>(standIn), screens.lobby != static_cast<ILobbyScreen*>(standIn),
          screens.room != static_cast<IGameRoomScreen*>(standIn)};
}

void FillMissing(ClientScreens& screens, const ClientScreens& from) {
  if (!screens.channel) screens.channel = from.channel;
  if (!screens.lobby) screens.lobby = from.lobby;
  if (!screens.room) screens.room = from.room;
  if (!screens.connectBox) screens.connectBox = from.connectBox;
  if (!screens.closingBox) screens.closingBox = from.closingBox;
  if (!screens.popups) screens.popups = from.popups;
  if (!screens.messageDialog) screens.messageDialog = from.messageDialog;
  if (!screens.sound) screens.sound = from.sound;
}

CClientDlg::Options DefaultOptions() {
  CClientDlg::Options options;
  options.screenSet = DefaultScreenSetFactory();
  return options;
}

}  // namespace

void SetDefaultScreenSetFactory(ScreenSetFactory factory) { DefaultFactorySlot() = std::move(factory); }

const ScreenSetFactory& DefaultScreenSetFactory() { return DefaultFactorySlot(); }

CClientDlg::CClientDlg() : CClientDlg(DefaultOptions()) {}

CClientDlg::CClientDlg(Options options, ClientScreens screens) : options_(std::move(options)), screens_(screens) {
  if (options_.screenSet) screenSet_ = options_.screenSet();
  if (screenSet_) FillMissing(screens_, screenSet_->Screens());
  if (!screens_.channel || !screens_.lobby || !screens_.room || !screens_.connectBox || !screens_.closingBox ||
      !screens_.popups) {
    statusView_ = std::make_unique<CStatusView>();
    ClientScreens plain = statusView_->Screens();
    plain.sound = nullptr;
    FillMissing(screens_, plain);
  }
  clientGame_ = std::make_unique<CClientGame>(tovrik::game::Game, *screens_.room, screens_.sound);
  g_ClientDlg = this;
}

CClientDlg::~CClientDlg() {
  clientGame_.reset();
  systemMenu_.Close();
  KillBadUserTimer();
  SockMan.Destroy();
  if (options_.sound) Sound.Destroy();
  screens_.channel->RemoveBanner();
  screens_.lobby->RemoveBanner();
  screens_.room->RemoveBanner();
  if (options_.portalModules) {
    g_SSOWebLibMan.UnInitSSOWebBrowser();
    g_QXWebBanner.UnInitQXWebBannerDLL();
  }
  screenSet_.reset();
  statusView_.reset();
  Destroy();
  if (g_ClientDlg == this) g_ClientDlg = nullptr;
}

unsigned CClientDlg::AnalyzeArgument(const char* source) {
  CQXRunParam params;
  if (unsigned code = params.Load(source, runparam::LOAD_FROM_CMDARG)) return code;
  for (const char* name : {"ServIP", "ServPort", "AuthCookie", "DataCookie", "CpCookie"})
    if (!params.ExistsParam(name)) return runparam::LIB_MISSING_PARAM;
  g_ServIP = params.GetParam("ServIP").value_or("");
  g_ServPort = unsigned(int(std::clamp<long long>(PlainDecimal(params.GetParam("ServPort").value_or("")), INT_MIN, INT_MAX)));
  g_AuthCookie = params.GetParam("AuthCookie").value_or("");
  g_DataCookie = params.GetParam("DataCookie").value_or("");
  g_CpCookie = params.GetParam("CpCookie").value_or("");
  g_SpareParam = params.GetParam("SpareParam").value_or("");
  g_LoginGroup = GetGroupNo_BySpareParam(g_SpareParam);
  return 0;
}

int CClientDlg::DoModal() {
  std::string error;
  auto sdl = SdlSession::Start(&error);
  if (!sdl) {
    base::Log(base::LogLevel::Error, "app", "SDL could not start: ", error);
    return IDCANCEL;
  }
  EventLoop loop;
  std::unique_ptr<Screen> screen = Screen::Open(std::string(kAppTitle), 800, 600, &error);
  if (screen) loop.AttachScreen(screen.get());
  else base::Log(base::LogLevel::Warn, "app", "no display (", error, "): running without a window");

  if (CClientApp* app = AfxGetClientApp()) app->SetMessageBoxHost(this);
  int result = IDCANCEL;
  if (OnInitDialog()) {
    // End-to-end runs drive the client from outside; off unless asked for.
    const auto automation = platform::AutomationChannel::FromEnvironment(loop, *this);
    if (automation) AddClientQuestions(*automation, *this, OwnScreensOf(screens_, statusView_.get()));
    modalRunning_ = true;
    result = loop.RunModal(*this);
    modalRunning_ = false;
  }
  if (CClientApp* app = AfxGetClientApp()) app->SetMessageBoxHost(nullptr);
  SockMan.Destroy();
  Destroy();
  loop.AttachScreen(nullptr);
  return result;
}

void CClientDlg::ShowStatus(std::string_view text) {
  if (statusView_) statusView_->SetStatus(text);
  else base::Log(base::LogLevel::Info, "app", "status: ", text);
}

bool CClientDlg::InitWindowAndScreens() {
  if (!IsCreated() && !Create(nullptr, Rect::FromSize(0, 0, 800, 600))) return false;
  if (statusView_ && !statusView_->IsCreated()) statusView_->Create(this, GetClientRect(), 105);
  if (screenSet_ && !screenSetCreated_) {
    if (!screenSet_->Create(*this)) return false;
    screenSetCreated_ = true;
  }
  return true;
}

void CClientDlg::LoadSprites() {
  static constexpr const char* k8Bit[] = {
      ".\\data\\GameBack8.spr",      ".\\data\\Title8.spr",          ".\\data\\TGage8.spr",
      ".\\data\\PGage8.spr",         ".\\data\\PowerBtn8.spr",       ".\\data\\ChangeBtn8.spr",
      ".\\data\\TeleportBtn8.spr",   ".\\data\\NuclearBtn8.spr",     ".\\data\\Dot8.spr",
      ".\\data\\Star8.spr",          ".\\data\\Turn8.spr",           ".\\data\\PowerUpTitle8.spr",
      ".\\data\\ChangeTitle8.spr",   ".\\data\\TeleportTitle8.spr",  ".\\data\\NuclearTitle8.spr",
      ".\\data\\ChangeCur8.spr",     ".\\data\\TeleportCur8.spr",    ".\\data\\NuclearCur8.spr",
      ".\\data\\ChangeAni8.spr",     ".\\data\\TeleportAni8.spr",    ".\\data\\NuclearAni8.spr",
      ".\\data\\TeleportTarget8.spr", ".\\data\\StoneFocus8.spr",    ".\\data\\HanStone8.spr",
      ".\\data\\ChoStone8.spr"};
  struct Later {
    const char* path;
    bool eightBit;
  };
  static constexpr Later kBeforePrize[] = {{".\\data\\CharBack.spr", false},
                                          {".\\data\\Level.spr", false},
                                          {".\\data\\PcRoom.spr", true},
                                          {".\\data\\NickNameRollOver.spr", false}};
  static constexpr Later kAfterPrize[] = {{".\\data\\PeakTime.spr", true},
                                         {".\\data\\Event_coin.spr", true},
                                         {".\\data\\Event_Result.spr", false}};
  auto report = [](const char* path) {
    std::string_view name(path);
    name = name.substr(name.rfind('\\') + 1);
    AfxMessageBox(std::string(name) + kCannotRead);
  };
  auto load8 = [&](const char* path) {
    auto sprite = std::make_unique<tovrik::gfx::CSprite8>();
    if (!sprite->Load(ResolvePath(path))) report(path);
    g_CommonSprites.sprites8.push_back(std::move(sprite));
  };
  auto load16 = [&](const char* path) {
    auto sprite = std::make_unique<tovrik::gfx::xSprite>();
    if (!sprite->Load(ResolvePath(path))) report(path);
    g_CommonSprites.sprites16.push_back(std::move(sprite));
  };
  g_CommonSprites = {};
  for (const char* path : k8Bit) load8(path);
  for (const Later& later : kBeforePrize) later.eightBit ? load8(later.path) : load16(later.path);
  // The prize picture belongs to an event; without it the client runs as
  // before, so its absence is only logged.
  if (!g_CommonSprites.eventPrize.Load(ResolvePath(".\\image\\EventPrize.BMP")))
    base::Log(base::LogLevel::Warn, "app", "no event prize picture: ", g_CommonSprites.eventPrize.LastError());
  for (const Later& later : kAfterPrize) later.eightBit ? load8(later.path) : load16(later.path);
}

bool CClientDlg::InitPortalModules() {
  if (!g_SSOWebLibMan.InitSSOWebBrowser(this, g_AuthCookie, g_DataCookie, g_CpCookie, 1)) {
    AfxMessageBox(kSsoFailed, MB_OK | MB_ICONSTOP);
    return false;
  }
  return true;
}

bool CClientDlg::OnInitDialog() {
  g_ClientDlg = this;
  if (!InitWindowAndScreens()) return false;
  SetProgramIcon();
  ShowExplorer(0);
  ChangeView(1);
  if (options_.portalModules) g_AvatarDLL.InitAvatarModule();

  connectBoxOpen_ = true;
  screens_.connectBox->Open("");
  ShowStatus("서버에 접속하는 중입니다");
  if (options_.sprites) LoadSprites();

  if (options_.portalModules && !InitPortalModules()) {
    closing_ = true;
    CloseWindow();
    return false;
  }
  screens_.channel->Show(true);
  // The main window stays out of sight until login succeeds. Here the
  // connection progress lives inside the main window, so the window keeps
  // its size and shows nothing but that progress (view 1) meanwhile; the
  // rectangle is remembered for the return after login all the same.
  savedRect_ = GetWindowRect();

  if (!sockCmnd_.Init(this, this)) {
    AfxMessageBox(kSocketInitFailed);
    closing_ = true;
    CloseWindow();
    return false;
  }
  if (options_.sound) Sound.Init(this);
  std::srand(EventLoop::Current()->Clock().NowMs());

  if (options_.portalModules) {
    char base[1024] = {};
    if (!GetBaseAvatarDir(std::span<char>(base, sizeof base)) ||
        g_BadFilter.InitFilter(base) != BADFILTER_OK) {
      AfxMessageBox(kFilesMissing);
      closing_ = true;
      CloseWindow();
      return false;
    }
    CMsgServiceControl messenger;
    messenger.InitService("Messenger");
  }

  g_MainSrvSID = -1;
  g_Where = kWhereConnectMaster;
  base::Log(base::LogLevel::Info, "app", "main window: master server ", g_ServIP, ":", g_ServPort, ", login group ", g_LoginGroup);
  g_MasterSID = Connect(g_ServIP, g_ServPort);
  if (options_.portalModules) g_QXWebBanner.InitQXWebBanner(this, "tovrik", 0);
  InstallExitSignals();
  SetTimer(kTimerSignalWatch, 200);
  AwaitServer();
  EventLoop::Current()->SetCaptionBarHeight(kCaptionHeight);
  // A connection that cannot even be started never reports back: treat it
  // as the failed connection it is instead of waiting forever.
  if (g_MasterSID < 0) {
    AfxMessageBox(kMasterConnectFailed);
    EndProgram();
  }
  return !closed_;
}

// --- Ending ---------------------------------------------------------------------

void CClientDlg::EndProgram() {
  if (!connectBoxOpen_) return;
  connectBoxOpen_ = false;
  screens_.connectBox->Close();
  OnCancel();
}

void CClientDlg::CloseWindow() {
  if (closed_) return;
  closed_ = true;
  KillTimer(kTimerPlayHour);
  KillTimer(kTimerClosingBox);
  KillTimer(kTimerSignalWatch);
  KillTimer(kTimerConnectWait);
  systemMenu_.Close();
  ShowExplorer(1);
  EventLoop* loop = EventLoop::Current();
  if (!loop) return;
  if (modalRunning_) loop->EndModal(*this, IDCANCEL);
  // A dialog or box still open over the main window would hold the end back
  // until someone closes it: end every loop.
  if (Window* top = loop->TopModal(); top && top != this) PostMessage(WM_QUIT, 0, 0);
}

void CClientDlg::RunClosingBox() {
  closingBoxOpen_ = true;
  screens_.closingBox->Open(kClosing);
  ShowStatus(kClosing);
  SetTimer(kTimerClosingBox, kClosingBoxMs);
}

void CClientDlg::OnCancel() {
  if (closed_) return;
  if (g_Where == kWhereGameRoom) {
    screens_.room->ExitRoom();
    return;
  }
  if (g_Where == kWhereConnectMaster || g_Where == kWhereLogin) closing_ = true;
  if (!closing_) {
    using namespace std::chrono;
    const ControllerTime now = ServerNow();
    const ControllerTime eventStart = local_days{year{2007} / 10 / 23};
    const ControllerTime eventEnd = local_days{year{2007} / 11 / 27} + hours{23};
    if (now >= eventStart && now <= eventEnd) {
      if (screens_.popups->ShowEventNotice(3) != IDCANCEL) return;
    } else if (options_.portalModules && g_QXWebBanner.OpenQXWebBanner(0) == WEBBANNER_STAY) {
      return;
    }
  }
  if (!logoutSent_ && !closing_) LogOutAndWait();
  if (closing_) CloseWindow();
}

// Ends on the server's answer, or after the closing box's 15 s.
void CClientDlg::LogOutAndWait() {
  logoutSent_ = true;
  RunClosingBox();
  BeginRequest(Request::Logout);
  CSV_ASK_LOGOUT logout;
  if (logout.Set(tovrik::game::Play[0].user.UNum.get(), g_LoginID)) Send(g_MainSrvSID, logout);
}

// A signal asks the program to end, not the player: no room is merely left
// and no notice or banner may keep it open. The logout is still sent and
// waited for (at most the closing box's 15 s); a second signal ends at once.
void CClientDlg::ExitOnSignal() {
  if (closed_) return;
  if (g_Where == kWhereConnectMaster || g_Where == kWhereLogin || logoutSent_ || g_MainSrvSID < 0) {
    closing_ = true;
    CloseWindow();
    return;
  }
  LogOutAndWait();
}

// --- Socket layer ------------------------------------------------------------------

namespace {
template <typename>
struct HandlerMessage;
template <typename Message>
struct HandlerMessage<void (CClientDlg::*)(int, Message&)> {
  using type = Message;
};
}  // namespace

template <auto Handler>
void CClientDlg::Dispatch(CClientDlg& dlg, const tovrik::sockets::FrameRecord& record) {
  using Message = typename HandlerMessage<decltype(Handler)>::type;
  auto message = std::make_unique<Message>();
  if (!message->Get(record.pData, record.nLen)) {
    base::Log(base::LogLevel::Warn, "app", "dropped a frame of ", MessageName(record.nMsgID), " that does not decode");
    return;
  }
  (dlg.*Handler)(record.nSockID, *message);
}

std::span<const CClientDlg::PacketRoute> CClientDlg::Routes() {
  using P = RoutePhase;
  static const PacketRoute kRoutes[] = {
      {msgid::CMS_CHECKVERSION, P::MasterPhase, &Dispatch<&CClientDlg::OnMasterCheckVersion>},
      {msgid::CMS_REFUSE_DESTSERVERINFO, P::MasterPhase, &Dispatch<&CClientDlg::OnMasterRefuse>},
      {msgid::CMS_DESTSERVERINFO, P::MasterPhase, &Dispatch<&CClientDlg::OnMasterDestServer>},
      {msgid::CSV_CHECKVERSION, P::Any, &Dispatch<&CClientDlg::OnCheckVersion>},
      {msgid::CSV_SERVERINFO, P::Any, &Dispatch<&CClientDlg::OnServerInfo>},
      {msgid::CSV_ACCEPT_LOGIN, P::LoggingIn, &Dispatch<&CClientDlg::OnAcceptLogin>},
      {msgid::CSV_REFUSE_LOGIN, P::LoggingIn, &Dispatch<&CClientDlg::OnRefuseLogin>},
      {msgid::CSV_ACCEPT_LOGOUT, P::Any, &Dispatch<&CClientDlg::OnAcceptLogout>},
      {msgid::CSV_DESTCHANNELINFO, P::LoggedIn, &Dispatch<&CClientDlg::OnDestChannel>},
      {msgid::CSV_ACCEPT_ENTERCHAN, P::LoggedIn, &Dispatch<&CClientDlg::OnAcceptEnterChannel>},
      {msgid::CSV_RESULT_FINDID, P::LoggedIn, &Dispatch<&CClientDlg::OnResultFindId>},
      {msgid::CSV_ALLCHANINFO, P::LoggedIn, &Dispatch<&CClientDlg::OnAllChannelInfo>},
      // Lobby events.
      {msgid::CSV_ALLUSERINFO, P::LoggedIn, &Dispatch<&CClientDlg::OnAllUserInfo>},
      {msgid::CSV_NEWUSER, P::LoggedIn, &Dispatch<&CClientDlg::OnNewUser>},
      {msgid::CSV_OUTUSER, P::LoggedIn, &Dispatch<&CClientDlg::OnOutUser>},
      {msgid::CSV_CHANGEUSER, P::LoggedIn, &Dispatch<&CClientDlg::OnChangeUser>},
      {msgid::CSV_USERINFO, P::LoggedIn, &Dispatch<&CClientDlg::OnUserInfo>},
      {msgid::CSV_DETAILUSERINFO, P::LoggedIn, &Dispatch<&CClientDlg::OnDetailUserInfo>},
      {msgid::CSV_ACCEPT_CHANGECHAR, P::LoggedIn, &Dispatch<&CClientDlg::OnAcceptChangeChar>},
      {msgid::CSV_ALLROOMINFO, P::LoggedIn, &Dispatch<&CClientDlg::OnAllRoomInfo>},
      {msgid::CSV_NEWROOM, P::LoggedIn, &Dispatch<&CClientDlg::OnNewRoom>},
      {msgid::CSV_OUTROOM, P::LoggedIn, &Dispatch<&CClientDlg::OnOutRoom>},
      {msgid::CSV_CHANGEROOM, P::LoggedIn, &Dispatch<&CClientDlg::OnChangeRoom>},
      {msgid::CSV_ROOMINFO, P::LoggedIn, &Dispatch<&CClientDlg::OnRoomInfo>},
      {msgid::CSV_REFUSE_CREATEROOM, P::LoggedIn, &Dispatch<&CClientDlg::OnRefuseCreateRoom>},
      {msgid::CSV_CHATDATA, P::InLobby, &Dispatch<&CClientDlg::OnLobbyChat>},
      {msgid::CSV_WHISPERCHAT, P::LoggedIn, &Dispatch<&CClientDlg::OnWhisper>},
      {msgid::CSV_SERVERMSG, P::LoggedIn, &Dispatch<&CClientDlg::OnServerMessage>},
      {msgid::CSV_ASK_INVITE, P::InLobby, &Dispatch<&CClientDlg::OnInvitation>},
      {msgid::CSV_REFUSE_INVITE, P::InRoom, &Dispatch<&CClientDlg::OnInvitationRefused>},
      {msgid::CSV_EVENTNOTICE, P::LoggedIn, &Dispatch<&CClientDlg::OnEventNotice>},
      {msgid::CSV_AUGUSTEVENTMSG_CNT, P::LoggedIn, &Dispatch<&CClientDlg::OnEventCount>},
      {msgid::CSV_AUGUSTEVENTMSG_POINTUP, P::LoggedIn, &Dispatch<&CClientDlg::OnEventPointUp>},
      {msgid::CSV_EVENT_TIMERANGE_ALERT, P::LoggedIn, &Dispatch<&CClientDlg::OnEventTimeRange>},
      // Rooms. A late entry acceptance is answered outside the lobby too.
      {msgid::CSV_ACCEPT_CREATEROOM, P::InLobby, &Dispatch<&CClientDlg::OnAcceptCreateRoom>},
      {msgid::CSV_ACCEPT_ENTERROOM, P::LoggedIn, &Dispatch<&CClientDlg::OnAcceptEnterRoom>},
      {msgid::CSV_REFUSE_ENTERROOM, P::LoggedIn, &Dispatch<&CClientDlg::OnRefuseEnterRoom>},
      {msgid::CSV_USERENTERROOM, P::InRoom, &Dispatch<&CClientDlg::OnUserEnterRoom>},
      {msgid::CSV_USEROUTROOM, P::InRoom, &Dispatch<&CClientDlg::OnUserOutRoom>},
      {msgid::CSV_CHANGEROOMMASTER, P::InRoom, &Dispatch<&CClientDlg::OnChangeRoomMaster>},
      {msgid::CSV_ACCEPT_OUTROOM, P::InRoom, &Dispatch<&CClientDlg::OnAcceptOutRoom>},
      {msgid::CSV_ABNORMALOUTROOM, P::InRoom, &Dispatch<&CClientDlg::OnAbnormalOutRoom>},
      {msgid::CSV_GAMEOVERRESULT, P::InRoom, &Dispatch<&CClientDlg::OnGameOverResult>},
      {msgid::CSV_GAMEITEMLIST, P::Any, &Dispatch<&CClientDlg::OnGameItemList>},
      {msgid::CSV_BUYGAMEITEM, P::Any, &Dispatch<&CClientDlg::OnBuyGameItem>},
      // The other player's messages, relayed by the server.
      {msgid::CCL_EXITSUBSCRIPT, P::InRoom, &Dispatch<&CClientDlg::OnExitSubscript>},
      {msgid::CCL_CHATDATA, P::InRoom, &Dispatch<&CClientDlg::OnRoomChat>},
      {msgid::CCL_READYTOSTART, P::InRoom, &Dispatch<&CClientDlg::OnReadyToStart>},
      {msgid::CCL_STARTINFO, P::InRoom, &Dispatch<&CClientDlg::OnStartInfo>},
      {msgid::CCL_STONECLICK, P::InRoom, &Dispatch<&CClientDlg::OnRelayedStoneClick>},
      {msgid::CCL_USEITEM, P::InRoom, &Dispatch<&CClientDlg::OnRelayedUseItem>},
      {msgid::CCL_CHANGEITEM, P::InRoom, &Dispatch<&CClientDlg::OnRelayedChangeItem>},
      {msgid::CCL_TELEPORTITEM, P::InRoom, &Dispatch<&CClientDlg::OnRelayedTeleportItem>},
      {msgid::CCL_NUCLEARITEM, P::InRoom, &Dispatch<&CClientDlg::OnRelayedNuclearItem>},
      {msgid::CCL_STONEHIT, P::InRoom, &Dispatch<&CClientDlg::OnRelayedStoneHit>},
      {msgid::CCL_NEXTPLAYER, P::InRoom, &Dispatch<&CClientDlg::OnRelayedNextPlayer>},
  };
  return kRoutes;
}

std::vector<std::int16_t> CClientDlg::RoutedMessageIds() {
  std::vector<std::int16_t> ids;
  for (const PacketRoute& route : Routes()) ids.push_back(route.id);
  return ids;
}

// Every message a server sends is routed now; a message added to the
// catalogue later must be routed or listed here with the reason.
std::span<const std::int16_t> CClientDlg::IgnoredMessageIds() { return {}; }

bool CClientDlg::Admits(const PacketRoute& route, int sid) const {
  const MessageInfo* info = FindMessage(route.id);
  if (!info) return false;
  // Each server speaks only on its own connection; the master is done once
  // it has handed the client over to a game server.
  if (info->server == ServerKind::Master) return sid == g_MasterSID && g_Where == kWhereConnectMaster;
  if (sid < 0 || sid != g_MainSrvSID) return false;
  switch (route.phase) {
    case RoutePhase::Any:
      return true;
    case RoutePhase::MasterPhase:
      return g_Where == kWhereConnectMaster;
    case RoutePhase::LoggingIn:
      // A second acceptance while the first one's box is open still brings
      // the window back (and stops there).
      return (g_Where == kWhereLogin && loginSent_) || inAcceptLogin_;
    case RoutePhase::LoggedIn:
      return g_Where >= kWhereChannel;
    case RoutePhase::InLobby:
      return g_Where == kWhereLobby;
    case RoutePhase::InRoom:
      return g_Where == kWhereGameRoom;
  }
  return false;
}

void CClientDlg::OnPacketNotify(const tovrik::sockets::FrameRecord& record) {
  for (const PacketRoute& route : Routes()) {
    if (route.id != record.nMsgID) continue;
    if (!Admits(route, record.nSockID)) {
      base::Log(base::LogLevel::Warn, "app", "dropped ", MessageName(record.nMsgID), " from socket ", record.nSockID,
                " in state ", g_Where);
      return;
    }
    route.dispatch(*this, record);
    return;
  }
}

void CClientDlg::OnSocketClose(int number) {
  auto closeOthers = [number] {
    for (int slot = 0; slot < tovrik::sockets::CSockMan::kMaxSockets; ++slot)
      if (slot != number) SockMan.CloseDataSocket(slot);
  };
  if (number == g_MasterSID) {
    g_MasterSID = -1;
    if (g_Where == kWhereConnectMaster) {
      closeOthers();
      g_MainSrvSID = -1;
      if (!closing_) AfxMessageBox(kMasterLost);
      g_Where = kWhereConnectMaster;
      ChangeView(0);
      OnCancel();
    }
  } else if (number == g_MainSrvSID) {
    closeOthers();
    g_MainSrvSID = -1;
    g_MasterSID = -1;
    if (g_Where >= kWhereChannel) {
      // Without a connection there is no room to leave: the exit path below
      // must end the program also when the logout was sent from a room.
      g_Where = kWhereConnectMaster;
      if (!logoutSent_) {
        AfxMessageBox(kGameLost);
        ChangeView(0);
      }
      closing_ = true;
      OnCancel();
      // Ends every loop, also one of a dialog that is open at this moment.
      PostMessage(WM_QUIT, 0, 0);
    }
  }
}

void CClientDlg::OnSocketConnectFailure(int number) {
  if (g_Where == kWhereConnectMaster && number == g_MasterSID) {
    g_MasterSID = -1;
    g_Wait = 0;
    AfxMessageBox(kMasterConnectFailed);
    EndProgram();
  } else if (g_Where == kWhereLogin && number == g_MainSrvSID) {
    g_MainSrvSID = -1;
    g_Where = kWhereConnectMaster;
    g_Wait = 0;
    AfxMessageBox(kGameConnectFailed);
    EndProgram();
  } else if (g_Where == kWhereChannel && g_bMovingChan && number == g_MainSrvSID) {
    ChannelMoveFailed();
  }
}

void CClientDlg::AwaitServer() { SetTimer(kTimerConnectWait, options_.connectWaitMs); }

void CClientDlg::StopAwaitingServer() {
  KillTimer(kTimerConnectWait);
  moveAwaited_ = false;
}

// The server accepted the connection and then fell silent: the same end as
// a connection that could not be made.
void CClientDlg::OnServerSilent() {
  KillTimer(kTimerConnectWait);
  base::Log(base::LogLevel::Warn, "app", "no answer from the server for ", options_.connectWaitMs, " ms in state ", g_Where);
  if (g_Where == kWhereConnectMaster && g_MasterSID >= 0) {
    SockMan.CloseDataSocket(g_MasterSID);
    OnSocketConnectFailure(g_MasterSID);
  } else if (g_Where == kWhereLogin && g_MainSrvSID >= 0) {
    if (g_MasterSID >= 0) SockMan.CloseDataSocket(g_MasterSID);
    g_MasterSID = -1;
    SockMan.CloseDataSocket(g_MainSrvSID);
    OnSocketConnectFailure(g_MainSrvSID);
  } else if (g_Where == kWhereChannel && moveAwaited_) {
    if (g_MainSrvSID >= 0) SockMan.CloseDataSocket(g_MainSrvSID);
    ChannelMoveFailed();
  }
}

void CClientDlg::ChannelMoveFailed() {
  moveAwaited_ = false;
  g_MainSrvSID = -1;
  g_Where = kWhereConnectMaster;
  g_bMovingChan = 0;
  g_Wait = 0;
  AfxMessageBox(kMoveFailed);
  closing_ = true;
  OnCancel();
}

int CClientDlg::Connect(const std::string& address, unsigned port) {
  connecting_ = true;
  const int sid = SockMan.ConnectSocket(address, int(port));
  connecting_ = false;
  return sid;
}

void CClientDlg::ShowSocketError(const std::string& text) {
  // A connection that fails as it starts is reported by the controller with
  // its own message; the socket layer's reason goes to the log only.
  if (connecting_) {
    base::Log(base::LogLevel::Warn, "app", "connection not started: ", text);
    return;
  }
  AfxMessageBox(text);
}

// --- Master server ---------------------------------------------------------------

void CClientDlg::OnMasterCheckVersion(int sid, CMS_CHECKVERSION& msg) {
  if (sid != g_MasterSID || inMasterCheckVersion_) return;
  if (msg.Value->get() == kClientVersion) {
    if (g_Where != kWhereConnectMaster) return;
    CMS_ASK_DESTSERVERINFO ask;
    if (ask.Set(g_LoginGroup)) Send(g_MasterSID, ask);
    AwaitServer();
    return;
  }
  HandlerGuard guard(inMasterCheckVersion_);
  AfxMessageBox(kMasterVersionMismatch);
  EndProgram();
}

void CClientDlg::OnMasterRefuse(int sid, CMS_REFUSE_DESTSERVERINFO& msg) {
  if (sid != g_MasterSID || g_Where != kWhereConnectMaster || inMasterRefuse_) return;
  HandlerGuard guard(inMasterRefuse_);
  closing_ = true;
  if (msg.TextLen->get() > 0) AfxMessageBox(ShowText(msg.TextView()));
  EndProgram();
}

void CClientDlg::OnMasterDestServer(int sid, CMS_DESTSERVERINFO& msg) {
  if (sid != g_MasterSID || g_Where != kWhereConnectMaster) return;
  g_DestSvInfo = *msg.Info;
  g_ServIP = FieldText(g_DestSvInfo.IP);
  g_ServPort = unsigned(g_DestSvInfo.Port.get());
  g_MainSrvSID = Connect(g_ServIP, g_ServPort);
  g_Where = kWhereLogin;
  AwaitServer();
  ShowStatus("게임 서버에 접속하는 중입니다");
  if (g_MainSrvSID < 0) {
    // Refused before it started (a bad address): no failure notice follows.
    g_Where = kWhereConnectMaster;
    AfxMessageBox(kGameConnectFailed);
    EndProgram();
  }
}

// --- Game server login ---------------------------------------------------------------

void CClientDlg::OnCheckVersion(int sid, CSV_CHECKVERSION& msg) {
  if (sid != g_MainSrvSID || inCheckVersion_) return;
  const int version = msg.Value->get();
  if (version < 0) return;
  if (version == kClientVersion) {
    if (g_Where == kWhereLogin) {
      SendLogin();
    } else if (g_Where == kWhereChannel && g_bMovingChan) {
      CSV_CONNECT_MOVECHAN move;
      if (move.Set(g_MoveChanInfo)) Send(g_MainSrvSID, move);
      g_bMovingChan = 0;
      EndRequest(Request::ChannelMove);
    }
    return;
  }
  HandlerGuard guard(inCheckVersion_);
  AfxMessageBox(kGameVersionMismatch);
  EndProgram();
}

void CClientDlg::SendLogin() {
  ASK_LOGININFO info{};
  if (tovrik::sockets::CDataSock* sock = SockMan.GetDataSocketPtr(g_MainSrvSID)) {
    CopyIfShorter(info.LocalIP, sock->GetLocalAddress());
    info.LocalPort = sock->GetLocalPort() + 20000;
  }
  CopyIfShorter(info.HostIP, SockMan.GetServerIP());
  info.AuthCookieLen = std::int32_t(g_AuthCookie.size());
  info.DataCookieLen = std::int32_t(g_DataCookie.size());
  info.CpCookieLen = std::int32_t(g_CpCookie.size());
  info.Ticket1 = g_DestSvInfo.Ticket1;
  info.Ticket2 = g_DestSvInfo.Ticket2;
  info.Ticket3 = g_DestSvInfo.Ticket3;
  info.Ticket4 = g_DestSvInfo.Ticket4;
  info.Ticket5 = g_DestSvInfo.Ticket5;
  std::string machine = CQXSystemIDInfoModule::GetCSTR(CQXSystemIDInfoModule::kHardwareAddress);
  std::copy_n(machine.begin(), std::min(machine.size(), sizeof info.MachineID), info.MachineID);
  CSV_ASK_LOGIN login;
  if (login.Set(info, g_AuthCookie, g_DataCookie, g_CpCookie)) Send(g_MainSrvSID, login);
  loginSent_ = true;
  AwaitServer();
  ShowStatus("로그인하는 중입니다");
}

void CClientDlg::OnServerInfo(int, CSV_SERVERINFO& msg) {
  const SERVERINFO& info = *msg.Info;
  g_GameCode = info.GameCode.get();
  g_NoticeURL = FieldText(info.NoticeURL);
  g_BannerURL1 = FieldText(info.BannerURL1);
  g_BannerURL2 = FieldText(info.BannerURL2);
  g_ProfileURL = FieldText(info.ProfileURL);
  g_LocationURL = FieldText(info.LocationURL);
  g_AvatarItemURL = FieldText(info.AvatarShopURL);
  g_FuncItemURL = FieldText(info.ItemShopURL);
  g_MyItemURL = FieldText(info.MyItemURL);
  g_CashURL = FieldText(info.ChargeURL);
  g_BDURL = FieldText(info.BoardURL);
  g_ClientTime = tovrik::game::CurrentLocalTime();
  if (std::optional<tovrik::game::LocalTime> server = tovrik::game::ToLocalTime(info.ServerTime)) {
    g_ServerTime = *server;
    g_CSTimeGap = g_ClientTime - g_ServerTime;
  } else {
    // An impossible date would move every item period by years.
    base::Log(base::LogLevel::Warn, "app", "the server's time is not a date; keeping the local clock");
    g_ServerTime = g_ClientTime;
    g_CSTimeGap = std::chrono::seconds{0};
  }
}

void CClientDlg::OnAcceptLogin(int, CSV_ACCEPT_LOGIN& msg) {
  const LOGINACCEPTINFO& info = *msg.Info;
  StopAwaitingServer();
  if (connectBoxOpen_) {
    connectBoxOpen_ = false;
    screens_.connectBox->Close();
  }
  tovrik::game::Play[0].SetNewPlayer(&info.UI);
  RestoreMainWindow();

  if (inAcceptLogin_) return;
  HandlerGuard guard(inAcceptLogin_);
  g_LoginID = FieldText(info.UI.ID);
  g_MyUniqNo = FieldText(info.UserCN);
  g_bIsItemChannel = info.ItemChannel.get();
  g_NowGroupNo = info.GroupNo.get();
  g_NowChanNo = info.ChanNo.get();
  g_NowChanName = FieldText(info.ChanName);
  MoveToLobby();

  if (g_MasterSID >= 0) {
    SockMan.CloseDataSocket(g_MasterSID);
    g_MasterSID = -1;
  }
  LoadConfig(g_LoginID);
  SetupByConfig();
  if (!g_BannerURL1.empty()) screens_.lobby->OpenBanner(g_BannerURL1);
  if (!g_BannerURL2.empty()) screens_.room->OpenBanner(g_BannerURL2);
  if (!g_ProfileURL.empty()) screens_.popups->SetProfileUrl(g_ProfileURL);
  OpenLocationPage();
  if (const int grade = tovrik::game::Play[0].user.PcRoomGrade; grade != 0) screens_.popups->OpenPcRoomService(grade);
  SetTimer(kTimerPlayHour, 3600000);
}

void CClientDlg::OpenLocationPage() {
  if (g_LocationURL.empty()) return;
  std::string server = g_NowChanName;
  if (server.size() > 2) {
    size_t dash = server.find('-', 1);
    if (dash != std::string::npos) server = server.substr(0, dash);
  }
  char query[1024];
  std::snprintf(query, sizeof query, "?user_id=%s&server=%s&code=%d&groupcode=%d&SiteCode=%d&user_cn=%s",
                URLEncode(g_LoginID).c_str(), URLEncode(server).c_str(), g_GameCode, g_NowGroupNo, 0,
                URLEncode(g_MyUniqNo).c_str());
  screens_.channel->NavigateWeb(g_LocationURL + query);
}

void CClientDlg::OnRefuseLogin(int, CSV_REFUSE_LOGIN& msg) {
  if (inRefuseLogin_) return;
  HandlerGuard guard(inRefuseLogin_);
  StopAwaitingServer();
  if (msg.TextLen->get() > 0) AfxMessageBox(ShowText(msg.TextView()));
  EndProgram();
}

void CClientDlg::OnAcceptLogout(int, CSV_ACCEPT_LOGOUT&) {
  EndRequest(Request::Logout);
  closing_ = true;
  OnCancel();
}

// --- Channels ------------------------------------------------------------------------

void CClientDlg::OnAllChannelInfo(int, CSV_ALLCHANINFO& msg) {
  EndRequest(Request::ChannelList);
  screens_.channel->EnableRefresh(true);
  screens_.channel->Chan_DelAll();
  const std::span<const CHANNELGROUPINFO> groups = msg.GroupList();
  for (const CHANNELINFO& channel : msg.ChannelList())
    screens_.channel->Chan_InsItem(ChannelDisplayName(groups, channel), channel);
  screens_.channel->Chan_SelectLast();
  screens_.channel->DismissProgress();
}

void CClientDlg::OnAcceptEnterChannel(int, CSV_ACCEPT_ENTERCHAN& msg) {
  const ENTERCHANINFO& info = *msg.Info;
  const int result = info.Result.get();
  if (result < -99) return;
  StopAwaitingServer();
  EndRequest(Request::EnterChannel);
  screens_.channel->EnableEnter(true);
  screens_.channel->DismissProgress();
  if (result < 0) {
    if (inEnterChannel_) return;
    HandlerGuard guard(inEnterChannel_);
    if (std::optional<std::string_view> text = EnterChanResultText(result)) AfxMessageBox(*text);
    return;
  }
  g_bIsItemChannel = info.ItemChannel.get();
  g_NowGroupNo = info.GroupNo.get();
  g_NowChanNo = info.ChanNo.get();
  g_NowChanName = FieldText(info.ChanName);
  MoveToLobby();
}

void CClientDlg::OnDestChannel(int sid, CSV_DESTCHANNELINFO& msg) {
  if (sid != g_MainSrvSID || g_Where != kWhereChannel) return;
  g_bMovingChan = 1;
  moveAwaited_ = true;
  AwaitServer();
  BeginRequest(Request::ChannelMove);
  g_ServIP = std::string(msg.IP->View());
  g_ServPort = unsigned(msg.Port->get());
  g_MoveChanInfo = *msg.Ticket;
  tovrik::game::Play[0].user.UNum = g_MoveChanInfo.UNum.get();
  const int old = g_MainSrvSID;
  g_MainSrvSID = Connect(g_ServIP, g_ServPort);
  SockMan.CloseDataSocket(old);
  // A move that cannot even start never reports back: fail it now.
  if (g_MainSrvSID < 0) ChannelMoveFailed();
}

void CClientDlg::OnResultFindId(int, CSV_RESULT_FINDID& msg) {
  const FINDIDRESULT& info = *msg.Info;
  screens_.channel->EnableFindId(true);
  if (inFindId_) return;
  HandlerGuard guard(inFindId_);
  const std::string nick = OneLineName(ShowText(FieldText(info.NickName)));
  const std::string channel = OneLineName(ShowText(FieldText(info.ChanName)));
  char text[512];
  if (FieldText(info.ID).empty())
    std::snprintf(text, sizeof text, "현재 서버에 접속하지 않았거나 존재하지 않는 사용자입니다.");
  else if (info.Place.get() == 0 || info.ChanNo.get() < 0)
    std::snprintf(text, sizeof text, "[%s]님은 서버에 접속하였으며 채널 선택중입니다.", nick.c_str());
  else if (info.Place.get() == 1)
    std::snprintf(text, sizeof text, "[%s]님은 [%s]의 대기실에 있습니다.", nick.c_str(), channel.c_str());
  else if (info.Place.get() == 2)
    std::snprintf(text, sizeof text, "[%s]님은 [%s]의 상점에 있습니다.", nick.c_str(), channel.c_str());
  else if (info.Place.get() == 3)
    std::snprintf(text, sizeof text, "[%s]님은 [%s]의 [%d번방]에 있습니다.", nick.c_str(), channel.c_str(),
                  int(info.RoomNo.get()));
  else
    std::snprintf(text, sizeof text, "[%s]님은 [%s]에 있습니다.", nick.c_str(), channel.c_str());
  AfxMessageBox(text);
}

// --- Main window ----------------------------------------------------------------------

void CClientDlg::RestoreMainWindow() {
  ShowWindow(false);
  MoveWindow(savedRect_);
  ShowWindow(true);
  EventLoop* loop = EventLoop::Current();
  if (Screen* screen = loop ? loop->GetScreen() : nullptr) {
    screen->CentreOnDisplay();
    screen->ShowAndRaise();
  }
  SetFocus();
}

void CClientDlg::OnSysCommand(WParam command) {
  using namespace tovrik::app;
  if (closed_) return;
  switch (command) {
    case SC_KEYMENU:
      OpenSystemMenu();
      break;
    case IDM_ABOUTBOX:
      ShowAboutBox();
      break;
    case SC_CLOSE:
      OnCancel();
      break;
    case SC_MINIMIZE:
      MinimizeMainWindow();
      break;
    default:
      break;
  }
}

void CClientDlg::OpenSystemMenu() {
  EventLoop* loop = EventLoop::Current();
  if (closed_ || !IsCreated() || !loop) return;
  // Full screen has no caption and no system menu; neither does a window
  // behind an open message box or dialog.
  if (Screen* screen = loop->GetScreen(); screen && screen->IsFullscreen()) return;
  if (Window* modal = loop->TopModal(); modal && modal != this) return;
  systemMenu_.Open(*this);
}

void CClientDlg::ShowAboutBox() {
  if (inAboutBox_) return;
  HandlerGuard guard(inAboutBox_);
  char text[256];
  std::snprintf(text, sizeof text, "%s Ver%2.2f\n\n한과 초, 장기판 위의 알까기\nCopyright (C) 코르반타",
                std::string(kAppTitle).c_str(), kClientVersion / 100.0);
  AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
}

void CClientDlg::MinimizeMainWindow() {
  EventLoop* loop = EventLoop::Current();
  if (Screen* screen = loop ? loop->GetScreen() : nullptr) screen->Minimise();
}

// --- Message boxes --------------------------------------------------------------------

void CClientDlg::CloseProgressBoxes() { screens_.channel->DismissProgress(); }

int CClientDlg::ShowMessageDialog(std::string_view text, std::string_view caption, unsigned type) {
  // Until the window exists (a failure early in start-up) the system box
  // asks the same question.
  if (screens_.messageDialog && IsCreated()) return screens_.messageDialog->Show(*this, text, caption, type);
  return ShowMessageBox(caption, text, type);
}

// --- Window messages ----------------------------------------------------------------

LResult CClientDlg::WindowProc(MsgId msg, WParam w, LParam l) {
  switch (msg) {
    case WM_TIMER:
      switch (w) {
        case kTimerPlayHour:
        case kTimerPlayFollowUp:
        case kTimerPlayRepeat:
          GuardTimer(w);
          return 0;
        case kTimerBadUser:
          KillBadUserTimer();
          return 0;
        case kTimerClosingBox:
          KillTimer(kTimerClosingBox);
          closingBoxOpen_ = false;
          screens_.closingBox->Close();
          closing_ = true;
          CloseWindow();
          return 0;
        case kTimerConnectWait:
          OnServerSilent();
          return 0;
        case kTimerSignalWatch:
          if (g_ExitRequested.exchange(false)) ExitOnSignal();
          return 0;
        default:
          break;
      }
      break;
    case WM_CLOSE:
      OnCancel();
      return 0;
    case WM_SYSCOMMAND:
      OnSysCommand(w & 0xFFF0);
      return 0;
    case WM_COMMAND:
      // Enter's OK does nothing: only the exit path closes the main window,
      // which the screens' exit buttons reach with cancel.
      if (LowWord(w) == IDCANCEL) OnCancel();
      if (LowWord(w) == IDOK || LowWord(w) == IDCANCEL) return 0;
      break;
    case WM_DESTROY:
      KillBadUserTimer();
      break;
    default:
      break;
  }
  return Window::WindowProc(msg, w, l);
}

}  // namespace tovrik::app
