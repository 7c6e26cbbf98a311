#pragma once
// The main window and controller. Every frame from the servers passes
// through OnPacketNotify; the handlers of the connection, login and channel
// messages drive g_Where from connecting to the lobby, and the window's
// services (views, configuration, timers, capture) serve the screens.

#include "app/ClientApp.h"
#include "app/ClientServices.h"
#include "app/Screens.h"
#include "app/SystemMenu.h"
#include "platform/Window.h"
#include "protocol/MessageCatalogue.h"
#include "sockets/SockCmnd.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tovrik::protocol {
class CMS_CHECKVERSION;
class CMS_REFUSE_DESTSERVERINFO;
class CMS_DESTSERVERINFO;
class CSV_CHECKVERSION;
class CSV_SERVERINFO;
class CSV_ACCEPT_LOGIN;
class CSV_REFUSE_LOGIN;
class CSV_ACCEPT_LOGOUT;
class CSV_DESTCHANNELINFO;
class CSV_ACCEPT_ENTERCHAN;
class CSV_RESULT_FINDID;
class CSV_ALLCHANINFO;
class CSV_DETAILUSERINFO;
class CSV_USERINFO;
class CSV_ALLUSERINFO;
class CSV_NEWUSER;
class CSV_OUTUSER;
class CSV_CHANGEUSER;
class CSV_ACCEPT_CHANGECHAR;
class CSV_REFUSE_CREATEROOM;
class CSV_ACCEPT_CREATEROOM;
class CSV_ALLROOMINFO;
class CSV_ROOMINFO;
class CSV_NEWROOM;
class CSV_OUTROOM;
class CSV_CHANGEROOM;
class CSV_USEROUTROOM;
class CSV_ACCEPT_OUTROOM;
class CSV_CHANGEROOMMASTER;
class CSV_ABNORMALOUTROOM;
class CSV_ACCEPT_ENTERROOM;
class CSV_REFUSE_ENTERROOM;
class CSV_USERENTERROOM;
class CSV_ASK_INVITE;
class CSV_REFUSE_INVITE;
class CSV_GAMEITEMLIST;
class CSV_BUYGAMEITEM;
class CSV_SERVERMSG;
class CSV_CHATDATA;
class CSV_WHISPERCHAT;
class CSV_GAMEOVERRESULT;
class CSV_EVENTNOTICE;
class CSV_AUGUSTEVENTMSG_CNT;
class CSV_AUGUSTEVENTMSG_POINTUP;
class CSV_EVENT_TIMERANGE_ALERT;
class CCL_EXITSUBSCRIPT;
class CCL_CHATDATA;
class CCL_READYTOSTART;
class CCL_STARTINFO;
class CCL_STONECLICK;
class CCL_USEITEM;
class CCL_CHANGEITEM;
class CCL_TELEPORTITEM;
class CCL_NUCLEARITEM;
class CCL_STONEHIT;
class CCL_NEXTPLAYER;
}  // namespace tovrik::protocol

namespace tovrik::app {

class CStatusView;
class CClientGame;

// The version both servers must announce, shown as 1.84.
inline constexpr int kClientVersion = tovrik::protocol::kProtocolVersion;

// Main-window timers.
inline constexpr std::uintptr_t kTimerPlayHour = 41325;
inline constexpr std::uintptr_t kTimerPlayFollowUp = 41326;
inline constexpr std::uintptr_t kTimerPlayRepeat = 41327;
inline constexpr std::uintptr_t kTimerBadUser = 2132;
// The closing progress box ends the program by itself after 15 s.
inline constexpr std::uintptr_t kTimerClosingBox = 41340;
// Looks at the exit request of SIGINT/SIGTERM.
inline constexpr std::uintptr_t kTimerSignalWatch = 41341;
// Bounds each wait for a server on the way to the lobby (and on a channel
// move): a server that accepts the connection and then says nothing ends
// the program as a failed connection does.
inline constexpr std::uintptr_t kTimerConnectWait = 41342;
inline constexpr std::uint32_t kConnectWaitMs = 30000;
inline constexpr std::uint32_t kClosingBoxMs = 15000;

class CClientDlg : public tovrik::platform::Window, public tovrik::sockets::ISocketClient, public IMessageBoxHost {
 public:
  // What start-up loads besides the connection. Tests that play the servers
  // leave out the portal modules, the artwork and the sound device.
  struct Options {
    bool portalModules = true;
    bool sprites = true;
    bool sound = true;
    // How long each step of the connection and login may wait for the
    // server's next message.
    std::uint32_t connectWaitMs = kConnectWaitMs;
    // Makes the screens (empty: the plain status view shows everything).
    ScreenSetFactory screenSet = {};
  };

  CClientDlg();
  // `screens` replaces the plain status view for the calls it names.
  explicit CClientDlg(Options options, ClientScreens screens = {});
  ~CClientDlg() override;

  // Reads the launch parameters through the run-parameter module into the
  // g_ globals. 0 when every required one was read, the module's code when
  // it cannot load them, 2010 when a required one is missing. With no
  // source the module reads this process's command line; a source is a
  // command-line text of its own. Needs no window.
  static unsigned AnalyzeArgument(const char* source = nullptr);

  // Opens the display, creates the window and runs it until it closes.
  int DoModal();

  // Creates the window in the current event loop (when not yet created) and
  // starts the client; false when start-up closed it.
  bool OnInitDialog();
  // The exit path: window close, the exit button, a signal, a controller
  // decision.
  void OnCancel();
  // True once the window was closed (the program ends).
  bool IsClosed() const { return closed_; }

  // --- Socket layer -----------------------------------------------------------
  // Routes the frame through the table of handled messages; a message that
  // comes from the wrong connection or at the wrong time is dropped.
  void OnPacketNotify(const tovrik::sockets::FrameRecord& record) override;
  // The ids the table routes, and those the server may send that this
  // window leaves alone on purpose.
  static std::vector<std::int16_t> RoutedMessageIds();
  static std::span<const std::int16_t> IgnoredMessageIds();
  void OnSocketClose(int number) override;
  void OnSocketConnectFailure(int number) override;
  void ShowSocketError(const std::string& text) override;

  // --- Message boxes ------------------------------------------------------------
  void CloseProgressBoxes() override;
  int ShowMessageDialog(std::string_view text, std::string_view caption, unsigned type) override;

  // --- Views ----------------------------------------------------------------------
  // 0 channel screen, 1 none (connecting), 2 lobby, 3 game room.
  void ChangeView(int view);
  void MoveToLobby();
  const std::string& Title() const { return title_; }

  // --- Configuration --------------------------------------------------------------
  bool LoadConfig(std::string_view id) { return config_.Load(id); }
  bool SaveConfig(std::string_view id) { return config_.Save(id); }
  void SetupByConfig();
  ClientConfig& Config() { return config_; }

  // --- Timers -----------------------------------------------------------------------
  void GuardTimer(std::uintptr_t id);
  void ResetBadUserTimer();
  void KillBadUserTimer();
  // While it runs, the abuse report refuses.
  bool BadUserTimerRunning() const { return badUserTimer_ != 0; }
  int PlayHours() const { return playHours_; }

  // --- Other services -----------------------------------------------------------------
  void ShowItemState();
  bool DoScreenCapture();
  // Writes the window's picture as a JPEG into the documents folder.
  bool ScreenCapture(tovrik::platform::Window* window, std::string_view fileName);
  void ProccessCaptionBar(tovrik::platform::Point point);
  void ShowExplorer(int show);
  bool OpenCorvantaWebpage(std::string_view first, std::string_view second);
  bool OpenHompy(std::string_view first, std::string_view second);
  bool BrowserMove(std::string_view url);
  void ShowProfile(const tovrik::protocol::USERINFO& user, int flag);
  void ShowMyItemBag();

  // --- Rooms ------------------------------------------------------------------------
  // Back in the lobby after leaving a room (the server's answer, or a
  // forced removal): the room is forgotten and the lists asked for again.
  void OnExitGame();
  // Where chat lines go: the lobby's chat, the room's, and the hidden log
  // (code page 949) that abuse reports quote.
  void AddLobbyChat(std::string_view text, ChatColour colour);
  void AddRoomChat(std::string_view text, ChatColour colour);
  // The lobby's chat in the lobby, the room's in a room, none elsewhere.
  void AddChatHere(std::string_view text, ChatColour colour);
  void AddHiddenLine(std::string_view lineCp949);
  // One sound effect, at full volume.
  void PlayEffect(int effect);

  // --- System menu --------------------------------------------------------------------
  // Opens the system menu (WM_SYSCOMMAND SC_KEYMENU does the same).
  void OpenSystemMenu();
  const tovrik::app::CSystemMenu& SystemMenu() const { return systemMenu_; }
  // The About box of the system menu's command 16.
  void ShowAboutBox();

  // The status view standing in for the screens (null when all were given).
  CStatusView* StatusView() const { return statusView_.get(); }
  // The last chat lines handed to the lobby and room screens (UTF-8), for
  // drivers that check what a player was shown.
  const std::deque<std::string>& RecentChat() const { return recentChat_; }

  tovrik::platform::LResult WindowProc(tovrik::platform::MsgId msg, tovrik::platform::WParam w,
                                       tovrik::platform::LParam l) override;

 private:
  bool InitWindowAndScreens();
  void LoadSprites();
  bool InitPortalModules();
  void ShowStatus(std::string_view text);

  // Dismisses the connection progress box as cancelled: while it is open
  // (states 0 and 1) this runs the exit path.
  void EndProgram();
  // Starts a connection; -1 when it cannot even start (the caller reports).
  int Connect(const std::string& address, unsigned port);
  void ChannelMoveFailed();
  // (Re)starts the bound on the wait for the server's next message.
  void AwaitServer();
  void StopAwaitingServer();
  void OnServerSilent();
  void CloseWindow();
  void ExitOnSignal();
  void LogOutAndWait();
  void RunClosingBox();

  // --- Routing of server messages ----------------------------------------------
  // Who may send a routed message, beyond the connection the catalogue names.
  enum class RoutePhase {
    Any,
    // Before the login request was sent on the game connection.
    MasterPhase,
    // After the login request, until the acceptance is taken.
    LoggingIn,
    // Logged in: the channel screen, the lobby or a room.
    LoggedIn,
    // Logged in and in the lobby.
    InLobby,
    // Logged in and in a room.
    InRoom,
  };
  struct PacketRoute {
    std::int16_t id;
    RoutePhase phase;
    void (*dispatch)(CClientDlg& dlg, const tovrik::sockets::FrameRecord& record);
  };
  static std::span<const PacketRoute> Routes();
  // Parses the frame as the handler's message class and calls the handler.
  template <auto Handler>
  static void Dispatch(CClientDlg& dlg, const tovrik::sockets::FrameRecord& record);
  // Whether a frame of this route may be taken from this socket now.
  bool Admits(const PacketRoute& route, int sid) const;

  void OnMasterCheckVersion(int sid, tovrik::protocol::CMS_CHECKVERSION& msg);
  void OnMasterRefuse(int sid, tovrik::protocol::CMS_REFUSE_DESTSERVERINFO& msg);
  void OnMasterDestServer(int sid, tovrik::protocol::CMS_DESTSERVERINFO& msg);
  void OnCheckVersion(int sid, tovrik::protocol::CSV_CHECKVERSION& msg);
  void SendLogin();
  void OnServerInfo(int sid, tovrik::protocol::CSV_SERVERINFO& msg);
  void OnAcceptLogin(int sid, tovrik::protocol::CSV_ACCEPT_LOGIN& msg);
  void OnRefuseLogin(int sid, tovrik::protocol::CSV_REFUSE_LOGIN& msg);
  void OnAcceptLogout(int sid, tovrik::protocol::CSV_ACCEPT_LOGOUT& msg);
  void OnDestChannel(int sid, tovrik::protocol::CSV_DESTCHANNELINFO& msg);
  void OnAcceptEnterChannel(int sid, tovrik::protocol::CSV_ACCEPT_ENTERCHAN& msg);
  void OnResultFindId(int sid, tovrik::protocol::CSV_RESULT_FINDID& msg);
  void OnAllChannelInfo(int sid, tovrik::protocol::CSV_ALLCHANINFO& msg);
  void OpenLocationPage();

  // --- Lobby events ------------------------------------------------------------
  void OnAllUserInfo(int sid, tovrik::protocol::CSV_ALLUSERINFO& msg);
  void OnNewUser(int sid, tovrik::protocol::CSV_NEWUSER& msg);
  void OnOutUser(int sid, tovrik::protocol::CSV_OUTUSER& msg);
  void OnChangeUser(int sid, tovrik::protocol::CSV_CHANGEUSER& msg);
  void OnUserInfo(int sid, tovrik::protocol::CSV_USERINFO& msg);
  void OnDetailUserInfo(int sid, tovrik::protocol::CSV_DETAILUSERINFO& msg);
  void OnAcceptChangeChar(int sid, tovrik::protocol::CSV_ACCEPT_CHANGECHAR& msg);
  void OnAllRoomInfo(int sid, tovrik::protocol::CSV_ALLROOMINFO& msg);
  void OnNewRoom(int sid, tovrik::protocol::CSV_NEWROOM& msg);
  void OnOutRoom(int sid, tovrik::protocol::CSV_OUTROOM& msg);
  void OnChangeRoom(int sid, tovrik::protocol::CSV_CHANGEROOM& msg);
  void OnRoomInfo(int sid, tovrik::protocol::CSV_ROOMINFO& msg);
  void OnRefuseCreateRoom(int sid, tovrik::protocol::CSV_REFUSE_CREATEROOM& msg);
  void OnLobbyChat(int sid, tovrik::protocol::CSV_CHATDATA& msg);
  void OnWhisper(int sid, tovrik::protocol::CSV_WHISPERCHAT& msg);
  void OnServerMessage(int sid, tovrik::protocol::CSV_SERVERMSG& msg);
  void OnInvitation(int sid, tovrik::protocol::CSV_ASK_INVITE& msg);
  void OnInvitationRefused(int sid, tovrik::protocol::CSV_REFUSE_INVITE& msg);
  void OnEventNotice(int sid, tovrik::protocol::CSV_EVENTNOTICE& msg);
  void OnEventCount(int sid, tovrik::protocol::CSV_AUGUSTEVENTMSG_CNT& msg);
  void OnEventPointUp(int sid, tovrik::protocol::CSV_AUGUSTEVENTMSG_POINTUP& msg);
  void OnEventTimeRange(int sid, tovrik::protocol::CSV_EVENT_TIMERANGE_ALERT& msg);

  // --- Room play ----------------------------------------------------------------
  void OnAcceptCreateRoom(int sid, tovrik::protocol::CSV_ACCEPT_CREATEROOM& msg);
  void OnAcceptEnterRoom(int sid, tovrik::protocol::CSV_ACCEPT_ENTERROOM& msg);
  void OnRefuseEnterRoom(int sid, tovrik::protocol::CSV_REFUSE_ENTERROOM& msg);
  void OnUserEnterRoom(int sid, tovrik::protocol::CSV_USERENTERROOM& msg);
  void OnUserOutRoom(int sid, tovrik::protocol::CSV_USEROUTROOM& msg);
  void OnChangeRoomMaster(int sid, tovrik::protocol::CSV_CHANGEROOMMASTER& msg);
  void OnAcceptOutRoom(int sid, tovrik::protocol::CSV_ACCEPT_OUTROOM& msg);
  void OnAbnormalOutRoom(int sid, tovrik::protocol::CSV_ABNORMALOUTROOM& msg);
  void OnRoomChat(int sid, tovrik::protocol::CCL_CHATDATA& msg);
  void OnReadyToStart(int sid, tovrik::protocol::CCL_READYTOSTART& msg);
  void OnStartInfo(int sid, tovrik::protocol::CCL_STARTINFO& msg);
  void OnRelayedStoneClick(int sid, tovrik::protocol::CCL_STONECLICK& msg);
  void OnRelayedUseItem(int sid, tovrik::protocol::CCL_USEITEM& msg);
  void OnRelayedChangeItem(int sid, tovrik::protocol::CCL_CHANGEITEM& msg);
  void OnRelayedTeleportItem(int sid, tovrik::protocol::CCL_TELEPORTITEM& msg);
  void OnRelayedNuclearItem(int sid, tovrik::protocol::CCL_NUCLEARITEM& msg);
  void OnRelayedStoneHit(int sid, tovrik::protocol::CCL_STONEHIT& msg);
  void OnRelayedNextPlayer(int sid, tovrik::protocol::CCL_NEXTPLAYER& msg);
  void OnExitSubscript(int sid, tovrik::protocol::CCL_EXITSUBSCRIPT& msg);
  void OnGameOverResult(int sid, tovrik::protocol::CSV_GAMEOVERRESULT& msg);
  void OnGameItemList(int sid, tovrik::protocol::CSV_GAMEITEMLIST& msg);
  void OnBuyGameItem(int sid, tovrik::protocol::CSV_BUYGAMEITEM& msg);
  // Enters the room of `room` with the seats prepared by the caller.
  void EnterRoomView(const tovrik::protocol::ROOMINFO& room);
  void AnnounceOwnEntry();
  void ShowRoomCharacters();
  // The purchase the server asked for was closed without buying.
  void PurchaseAbandoned(int purpose);
  // Brings the main window back after login: its own rectangle, centred on
  // the desktop, on top of the other windows and active.
  void RestoreMainWindow();
  void OnSysCommand(tovrik::platform::WParam command);
  void MinimizeMainWindow();

  // A reminder line goes to the lobby or room chat, or waits for the lobby.
  void ShowReminder(std::string_view text);
  void AddScoreLines();

  Options options_;
  std::unique_ptr<IScreenSet> screenSet_;
  bool screenSetCreated_ = false;
  ClientScreens screens_;
  std::unique_ptr<CStatusView> statusView_;
  std::deque<std::string> recentChat_;
  tovrik::sockets::CSockCmnd sockCmnd_;

  std::string title_;
  ClientConfig config_;
  bool closing_ = false;     // end without asking the server
  bool logoutSent_ = false;
  bool loginSent_ = false;
  bool connecting_ = false;
  bool moveAwaited_ = false;  // a channel move waits for its entry
  bool closed_ = false;
  bool connectBoxOpen_ = false;
  bool closingBoxOpen_ = false;
  bool modalRunning_ = false;
  bool explorerHidden_ = false;
  tovrik::platform::Rect savedRect_;
  tovrik::app::CSystemMenu systemMenu_;

  // One guard per handler that may open a modal box.
  bool inMasterCheckVersion_ = false;
  bool inMasterRefuse_ = false;
  bool inCheckVersion_ = false;
  bool inAcceptLogin_ = false;
  bool inRefuseLogin_ = false;
  bool inEnterChannel_ = false;
  bool inFindId_ = false;
  bool inAboutBox_ = false;
  bool inUserInfo_ = false;
  bool inDetailUserInfo_ = false;
  bool inChangeChar_ = false;
  bool inRefuseCreateRoom_ = false;
  bool inServerMessage_ = false;
  bool inInvitation_ = false;
  bool inEventNotice_ = false;
  bool inRefuseEnterRoom_ = false;
  bool inStartInfo_ = false;
  bool inItemList_ = false;
  bool inBuyItem_ = false;

  // The client's game, wired to the socket layer, the clock, the sound and
  // this window's room.
  std::unique_ptr<CClientGame> clientGame_;

  bool firstLobbyEntry_ = true;
  std::int32_t runBaseline_ = 0;
  std::int32_t roomBaseline_ = 0;
  int playHours_ = 0;
  bool reminderPending_ = false;
  std::uintptr_t badUserTimer_ = 0;
};

// The main window while it exists (the screens reach the controller here).
CClientDlg* GetClientDlg();

}  // namespace tovrik::app
