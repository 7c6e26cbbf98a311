#include "lobby/GameDlg.h"

#include "app/ClientApp.h"
#include "app/ClientDlg.h"
#include "app/ClientServices.h"
#include "app/ControllerState.h"
#include "base/CodePage.h"
#include "base/Log.h"
#include "game/GameGlobals.h"
#include "lobby/tables/GameDlgTable.h"
#include "platform/EventLoop.h"
#include "platform/MessageBox.h"
#include "platform/PathResolver.h"
#include "platform/Screen.h"
#include "platform/Text.h"
#include "protocol/LobbyMessages.h"
#include "protocol/RelayMessages.h"
#include "protocol/TextField.h"

#include <span>

namespace tovrik::lobby {

namespace ids = tables::gamedlg;
using namespace platform;
using game::Game;
using game::Play;

namespace {

constexpr std::string_view kAskReserve = "나가기 예약을 하시겠습니까?";
constexpr std::string_view kAskReserveCaption = "나가기 예약";
constexpr std::string_view kAskCancel = "나가기 예약을 취소 하시겠습니까?";
constexpr std::string_view kAskCancelCaption = "나가기 예약 취소";
constexpr std::string_view kReportNeedsConversation =
    "다른 분과의 대화 내용이 있어야 신고를 하실 수 있으며 신고 사유에 대하여 정확하게 기입하여 주시기 바랍니다";
// A report needs at least this much conversation.
constexpr std::size_t kReportMinLines = 4;
constexpr std::size_t kReportMinBytes = 10;

constexpr int kStartImages[4] = {139, 143, 147, 148};
constexpr int kReadyImages[4] = {263, 264, 265, 266};

constexpr RgbColor kChatBackground{82, 60, 36};
constexpr RgbColor kInputText{0, 0, 0};
constexpr RgbColor kInputBackground{210, 189, 166};
constexpr RgbColor kSuperRoomColour{255, 70, 70};
constexpr RgbColor kTitleColour{255, 255, 200};
constexpr RgbColor kTitleOutline{70, 70, 0};

std::string_view Text(std::span<const char> field) { return protocol::ReadText(field); }

void OutlinedText(const PaintContext& pc, const Font& font, int x, int y, std::string_view utf8) {
  const Point o = pc.Origin();
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (dx || dy) TextOut(pc.Target(), font, o.x + x + dx, o.y + y + dy, utf8, kTitleOutline, pc.Clip());
  TextOut(pc.Target(), font, o.x + x, o.y + y, utf8, kTitleColour, pc.Clip());
}

}  // namespace

// The room's advertising picture.
class CGameDlg::CBannerPicture final : public Window {
 public:
  ~CBannerPicture() override { Destroy(); }
  void Load(const std::filesystem::path& programDir) { picture_.LoadBitmapFile(".\\image\\banner2.bmp", programDir); }
  void OnPaint(PaintContext& pc) override {
    if (picture_.IsLoaded()) picture_.BitBlt(pc);
  }

 private:
  ui::CMyBitmap picture_;
};

CGameDlg::CGameDlg(GameDlgOptions options)
    : controls::Dialog(tables::kGameDlgTemplate),
      options_(std::move(options)),
      clientPlace_(options_.place ? std::nullopt : std::optional<CClientChatPlace>(kChatInRoom)),
      place_(options_.place ? options_.place : &*clientPlace_),
      banner_(std::make_unique<CBannerPicture>()),
      chatInput_(*place_) {}

CGameDlg::~CGameDlg() {
  if (gameView_) gameView_->Destroy();
  Destroy();
}

bool CGameDlg::Create(Window& mainWindow) {
  if (IsCreated()) return true;
  sprites_.Load(options_.programDir);
  for (auto [set, path] : {std::pair{&charBack_, ".\\data\\CharBack.spr"}, std::pair{&levelIcons_, ".\\data\\Level.spr"}})
    if (!set->Load(ResolvePath(path, options_.programDir))) base::Log(base::LogLevel::Warn, "lobby", "no ", path);
  ownCard_.SetArt({&charBack_, &levelIcons_});
  opponentCard_.SetArt({&charBack_, &levelIcons_});
  if (!CreateModeless(&mainWindow, Point{0, 0})) return false;
  ShowWindow(false);
  return true;
}

Window* CGameDlg::ProvideControl(const controls::ControlSpec& spec) {
  switch (spec.id) {
    // The board's view is made when the room first shows (EnsureGameView):
    // its page, palette and blend table and its clock thread cost nothing
    // to a client that never enters a room.
    case ids::kGameView: return &viewSlot_;
    case ids::kChatView: return &chatView_;
    case ids::kChatInput: return &chatInput_;
    case ids::kBanner: return banner_.get();
    case ids::kOwnCharacter: return &ownCard_;
    case ids::kOpponentCharacter: return &opponentCard_;
    case ids::kStart: return &start_;
    case ids::kExit: return &exit_;
    case ids::kInvite: return &invite_;
    case ids::kBadUser: return &badUser_;
    case ids::kDisplayMode: return &displayMode_;
    case ids::kOption: return &option_;
    case ids::kMinimize: return &minimize_;
    case ids::kMouseShut: return &mouseShut_;
    case ids::kGameItem: return &gameItem_;
    default: return nullptr;
  }
}

bool CGameDlg::OnInitDialog() {
  if (!background_.LoadBitmapFile(".\\image\\GameDlg.bmp", options_.programDir))
    base::Log(base::LogLevel::Warn, "lobby", "no game room background");
  banner_->Load(options_.programDir);
  chatView_.SetBackground(kChatBackground);
  chatInput_.SetTextColor(kInputText);
  chatInput_.SetBkColor(kInputBackground);
  InitButtons();
  SetButtonState();
  return false;
}

void CGameDlg::InitButtons() {
  // The handlers play the click effect themselves: no sound file of the
  // buttons' own on top of it.
  const auto resource = [](ui::CMyButton& button, std::initializer_list<int> images) {
    const int* id = images.begin();
    button.Init(id[0], id[1], id[2], images.size() > 3 ? id[3] : 0, "");
  };
  resource(badUser_, {255, 256, 257});
  resource(displayMode_, {214, 215, 216});
  resource(invite_, {223, 224, 225});
  resource(exit_, {220, 221, 222});
  resource(option_, {245, 246, 247});
  resource(mouseShut_, {260, 261, 262});
  resource(minimize_, {236, 243, 244});
  gameItem_.Init(ResolvePath(".\\image\\gbtn_gameitem.bmp", options_.programDir).string(), 4, "");
  startFace_ = false;  // SetStartFace loads the images on the first call
  SetStartFace(true);
}

void CGameDlg::SetStartFace(bool start) {
  if (start == startFace_) return;
  startFace_ = start;
  const int* images = start ? kStartImages : kReadyImages;
  start_.Init(images[0], images[1], images[2], images[3], "");
}

// --- Screen ------------------------------------------------------------------------------

void CGameDlg::EnsureGameView() {
  if (gameView_ || !IsCreated()) return;
  const Rect slot = viewSlot_.GetWindowRect();
  viewSlot_.Destroy();
  EventLoop* loop = EventLoop::Current();
  gameview::GameViewOptions viewOptions{options_.programDir, options_.startGameClock, 1};
  gameView_ = std::make_unique<gameview::CGameView>(Game, sprites_.Sprites(), *this, viewOptions,
                                                    loop ? loop->Clock() : SystemClock::Instance());
  if (!gameView_->Create(this, slot, ids::kGameView)) base::Log(base::LogLevel::Error, "lobby", "no game view");
}

void CGameDlg::Show(bool show) {
  if (show) EnsureGameView();
  ShowWindow(show);
  if (show) {
    BringWindowToTop();
    FocusChat();
  }
}

void CGameDlg::ClearInput(int) { chatInput_.SetText(""); }

void CGameDlg::FocusChat() {
  if (chatInput_.IsCreated() && IsWindowVisible()) chatInput_.SetFocus();
}

void CGameDlg::AddChat(std::string_view text, app::ChatColour colour, bool bold) { chatView_.AddText(text, colour, true, bold); }

// The portal's web banner is not part of the room: the room keeps its
// picture and remembers where the portal's banner would point.
void CGameDlg::OpenBanner(std::string_view url) { bannerUrl_ = std::string(url); }
void CGameDlg::RemoveBanner() { bannerUrl_.clear(); }

void CGameDlg::ResetGameView() {
  if (gameView_) gameView_->Reset();
}

void CGameDlg::ExitRoom() { OnButtonExitgame(); }

bool CGameDlg::IsMaster() const {
  const std::string_view own = Play[0].ID();
  return !own.empty() && own == Text(app::g_RI.MasterID);
}

bool CGameDlg::PlaysInRunningGame() const { return app::g_RI.Playing && Play[0].seated == 1 && Play[0].inGame == 1; }

void CGameDlg::SetButtonState() {
  const bool twoPlayers = app::g_RI.UserCnt.get() >= 2;
  const bool idle = !app::g_RI.Playing;
  if (IsMaster()) {
    SetStartFace(true);
    start_.EnableWindow(twoPlayers && idle && Play[1].ready && !app::IsPending(app::Request::StartGame));
  } else {
    SetStartFace(false);
    start_.EnableWindow(twoPlayers && idle && !Play[0].ready);
  }
}

void CGameDlg::ShowCharacters(const protocol::USERINFO& own, const protocol::USERINFO* opponent) {
  ownCard_.SetUser(&own);
  opponentCard_.SetUser(opponent);
}

void CGameDlg::OnLeftRoom() {
  if (windows_ && windows_->InvitationVisible()) windows_->ShowInvitation(false);
  if (gameView_) gameView_->exitReserved = 0;
  forcedExit_ = false;
  ClearResetGameTimer();
  opponentCard_.SetUser(nullptr);
}

void CGameDlg::StartPointUp() {
  if (!gameView_) return;
  EventLoop* loop = EventLoop::Current();
  gameView_->StartPointUp(loop ? loop->Clock().NowMs() : SystemClock::Instance().NowMs());
}

void CGameDlg::SetResetGameTimer() {
  KillTimer(kResetGameTimer);
  resetTimerRunning_ = SetTimer(kResetGameTimer, kResetGameMs);
}

void CGameDlg::ClearResetGameTimer() {
  KillTimer(kResetGameTimer);
  resetTimerRunning_ = false;
}

void CGameDlg::OnResetTimer() {
  ClearResetGameTimer();
  if (app::g_RI.Playing) return;
  Game.ResetGame();
  SetButtonState();
}

// --- Game view host ------------------------------------------------------------------------

bool CGameDlg::IsGameRoomShown() const { return app::g_Where == app::kWhereGameRoom && IsWindowVisible(); }

gameview::RoomCaption CGameDlg::Caption() const {
  return {app::g_RI.RoomNo.get(), app::OneLineName(base::Cp949FieldToUtf8(std::span<const char>(app::g_RI.Title))),
          app::g_RI.SuperRoom != 0};
}

gameview::WaitingState CGameDlg::Waiting() const {
  return {IsMaster(), app::g_RI.UserCnt.get(), Play[1].ready != 0, Play[0].ready != 0};
}

int CGameDlg::LocalPcRoom() const { return Play[0].user.PcRoomGrade; }

gameview::EventState CGameDlg::Events() const {
  const protocol::USERINFO& own = Play[0].user;
  return {app::g_bPeakTime_Event_Date != 0, app::g_iPeakTime_Event_State != 0, own.EventCount.get(),
          own.EventValue1.get(), own.EventValue2.get()};
}

void CGameDlg::OnCaptionBarPress(int x, int y) {
  if (app::CClientDlg* dlg = app::GetClientDlg()) dlg->ProccessCaptionBar({x, y});
}

// --- Buttons -----------------------------------------------------------------------------------

void CGameDlg::PlayClick() { Game.PlaySound(kClickEffect); }

int CGameDlg::Ask(std::string_view text, std::string_view caption) {
  if (options_.ask) return options_.ask(text, caption);
  if (app::CClientDlg* dlg = app::GetClientDlg()) return dlg->ShowMessageDialog(text, caption, MB_OKCANCEL);
  return ShowMessageBox(caption, text, MB_OKCANCEL);
}

void CGameDlg::OnButtonStartgame() {
  if (app::g_RI.Playing || app::g_RI.UserCnt.get() < 2) return;
  PlayClick();
  const int roomNo = app::g_RI.RoomNo.get();
  if (!IsMaster()) {
    if (!Play[0].ready) SendChatMessage<protocol::CCL_READYTOSTART>(Place(), Play[0].ID());
  } else if (Play[1].ready && !app::IsPending(app::Request::StartGame)) {
    // One request until the start or a refusal answers it.
    if (SendChatMessage<protocol::CCL_ASK_STARTGAME>(Place(), roomNo, Play[0].serverNum, Play[0].ID()))
      app::BeginRequest(app::Request::StartGame);
  }
  SetButtonState();
  FocusChat();
}

void CGameDlg::OnButtonExitgame() {
  PlayClick();
  if (asking_) return;
  if (!PlaysInRunningGame() || !gameView_) {
    ExitGame();
    return;
  }
  gameview::CGameView& view = *gameView_;
  const bool reserved = view.exitReserved != 0;
  asking_ = true;
  const int answer = reserved ? Ask(kAskCancel, kAskCancelCaption) : Ask(kAskReserve, kAskReserveCaption);
  asking_ = false;
  if (answer != IDOK) return;
  // The game may have ended while the question was open: then the answer
  // to "reserve" is to leave now, and a reservation to cancel is moot.
  const bool stillPlaying = PlaysInRunningGame();
  const int roomNo = app::g_RI.RoomNo.get();
  if (!reserved) {
    if (!stillPlaying) {
      ExitGame();
      return;
    }
    view.exitReserved = 1;
    SendChatMessage<protocol::CCL_EXITSUBSCRIPT>(Place(), roomNo, Play[0].user.UNum.get(), Play[0].ID(), 1);
  } else {
    view.exitReserved = 0;
    if (stillPlaying)
      SendChatMessage<protocol::CCL_EXITSUBSCRIPT>(Place(), roomNo, Play[0].user.UNum.get(), Play[0].ID(), 0);
  }
}

void CGameDlg::ExitGame() {
  if (forcedExit_) {
    if (app::CClientDlg* dlg = app::GetClientDlg()) dlg->OnExitGame();
    return;
  }
  if (app::IsPending(app::Request::LeaveRoom)) return;
  if (SendChatMessage<protocol::CSV_ASK_OUTROOM>(Place(), app::g_RI.RoomNo.get(), Play[0].user.UNum.get(),
                                                 Play[0].ID()))
    app::BeginRequest(app::Request::LeaveRoom);
}

void CGameDlg::OnButtonInvite() {
  PlayClick();
  if (!windows_) {
    base::Log(base::LogLevel::Warn, "lobby", "the invitation window is not available");
  } else if (windows_->InvitationVisible()) {
    windows_->ShowInvitation(false);
  } else {
    windows_->ShowInvitation(true);
    SendChatMessage<protocol::CSV_LOBYOPEN>(Place(), 1);
  }
  FocusChat();
}

void CGameDlg::OnButtonBaduser() {
  PlayClick();
  if (!windows_) {
    base::Log(base::LogLevel::Warn, "lobby", "the report dialog is not available");
    return;
  }
  const CHideChatList& log = SharedHideChatList();
  if (const std::optional<BadUserChoice> choice = windows_->AskBadUser(log.ReportTargets())) SendBadUserReport(*choice, log);
}

bool CGameDlg::SendBadUserReport(const BadUserChoice& choice, const CHideChatList& log) {
  const std::string conversation = log.GetData();
  if (log.GetSize() < kReportMinLines || conversation.size() < kReportMinBytes) {
    app::AfxMessageBox(kReportNeedsConversation);
    return false;
  }
  const std::string_view excerpt = protocol::Cp949Tail(conversation, kReportExcerptBytes);
  std::string opponent;
  if (const std::string_view id = Play[1].ID(); !id.empty())
    opponent = std::string(Text(Play[1].user.NickName)) + "(" + std::string(id) + ")";
  const bool sent = SendChatMessage<protocol::CSV_ASK_BADUSER>(
      Place(), choice.checkValue, app::g_RI.RoomNo.get(), Play[0].user.UNum.get(), Play[0].ID(), choice.targetId,
      choice.targetNick, choice.reason, opponent, excerpt);
  if (sent)
    if (app::CClientDlg* dlg = app::GetClientDlg()) dlg->ResetBadUserTimer();
  return sent;
}

// The lobby owns the display switch (it keeps the mode and its button's
// picture); the room hands it the command. Without a lobby screen the room
// switches the screen itself.
void CGameDlg::OnButtonChangedisplay() {
  if (Window* lobby = LobbyDialog()) {
    lobby->SendMessage(WM_COMMAND, MakeWParam(ids::kDisplayMode, 0), 0);  // it plays the click
    FocusChat();
    return;
  }
  PlayClick();
  EventLoop* loop = EventLoop::Current();
  Screen* screen = loop ? loop->GetScreen() : nullptr;
  if (!screen) return;
  if (screen->IsFullscreen()) screen->LeaveFullscreen();
  else if (!screen->EnterFullscreen(ids::kWidth, ids::kHeight)) base::Log(base::LogLevel::Warn, "lobby", "full screen refused");
  FocusChat();
}

Window* CGameDlg::LobbyDialog() const {
  if (!Parent()) return nullptr;
  for (Window* sibling : Parent()->Children())
    if (auto* dialog = dynamic_cast<controls::Dialog*>(sibling); dialog && dialog != this && dialog->Template().name == "lobby")
      return dialog;
  return nullptr;
}

void CGameDlg::OnCommand(int id) {
  app::CClientDlg* dlg = app::GetClientDlg();
  switch (id) {
    case ids::kStart: OnButtonStartgame(); break;
    case ids::kExit: OnButtonExitgame(); break;
    case ids::kInvite: OnButtonInvite(); break;
    case ids::kBadUser: OnButtonBaduser(); break;
    case ids::kDisplayMode: OnButtonChangedisplay(); break;
    case ids::kOption:
      PlayClick();
      if (windows_) windows_->ShowOptions();
      break;
    case ids::kMouseShut:
      PlayClick();
      if (windows_) windows_->ShowMouseShut();
      break;
    case ids::kMinimize:
      PlayClick();
      if (dlg) dlg->PostMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
      break;
    case ids::kGameItem:
      if (dlg) dlg->ShowMyItemBag();
      break;
    case ids::kCapture:
      if (dlg) dlg->DoScreenCapture();
      break;
    default: return;
  }
  if (id != ids::kBadUser && id != ids::kOption && id != ids::kMouseShut) FocusChat();
}

// --- Messages -----------------------------------------------------------------------------------

LResult CGameDlg::WindowProc(MsgId msg, WParam w, LParam l) {
  switch (msg) {
    case WM_COMMAND:
      // Clicks only: the chat view and the input notify with codes.
      if (HighWord(w) == 0 && LowWord(w) != IDOK && LowWord(w) != IDCANCEL) {
        OnCommand(static_cast<int>(LowWord(w)));
        return 0;
      }
      break;
    case WM_TIMER:
      if (w == kResetGameTimer) {
        OnResetTimer();
        return 0;
      }
      break;
    case WM_LBUTTONDOWN:
      OnCaptionBarPress(GetXLParam(l), GetYLParam(l));
      FocusChat();
      return 0;
    default: break;
  }
  return controls::Dialog::WindowProc(msg, w, l);
}

bool CGameDlg::PreTranslateMessage(MsgId msg, WParam w, LParam l) {
  // Keys belong to the chat input; anything else pressed in the room is
  // swallowed (the board takes no keys).
  EventLoop* loop = EventLoop::Current();
  if (msg == WM_KEYDOWN && loop && loop->GetFocus() != &chatInput_) return true;
  return controls::Dialog::PreTranslateMessage(msg, w, l);
}

void CGameDlg::OnPaint(PaintContext& pc) {
  if (background_.IsLoaded()) background_.BitBlt(pc);
  else pc.Fill(GetClientRect(), {82, 60, 36});
  const std::shared_ptr<Font> font = Font::Default();
  if (!font || app::g_Where != app::kWhereGameRoom) return;
  if (app::g_RI.SuperRoom)
    TextOut(pc.Target(), *font, pc.Origin().x + 228, pc.Origin().y + 25 - 12, "[슈퍼방]", kSuperRoomColour, pc.Clip());
  const gameview::RoomCaption caption = Caption();
  OutlinedText(pc, *font, 280, 25 - 12, "[" + std::to_string(caption.roomNo) + "번방] : " + caption.title);
}

}  // namespace tovrik::lobby
