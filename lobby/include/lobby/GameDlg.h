#pragma once
// The game room: the board (the game view) with the room's chat, the two
// players' cards, the START/READY button and the room's buttons. It is the
// controller's game room screen and the game view's host, and it owns the
// timer that clears the board 5 s after a result and the rules for leaving
// the room (at once between games, by reservation during one).

#include "app/Screens.h"
#include "controls/Button.h"
#include "controls/Dialog.h"
#include "gameview/GameSprites.h"
#include "gameview/GameView.h"
#include "gameview/GameViewHost.h"
#include "lobby/ChatPlace.h"
#include "lobby/ChatViewEdit.h"
#include "lobby/HideChatList.h"
#include "lobby/RoomPlayerCard.h"
#include "lobby/SendEdit.h"
#include "ui/MyBitmap.h"
#include "ui/MyButton.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovrik::lobby {

// What the player chose in the abuse report dialog (code page 949).
struct BadUserChoice {
  int checkValue = 0;
  std::string targetId;
  std::string targetNick;
  std::string reason;
};

// The windows other parts of the client open from the room's buttons.
class IRoomWindows {
 public:
  virtual ~IRoomWindows() = default;
  // The invitation window: whether it shows; showing empties its list,
  // hiding centres it over the room for the next time.
  virtual bool InvitationVisible() const = 0;
  virtual void ShowInvitation(bool show) = 0;
  // The report dialog filled with `targets`, modal: the choice, or none
  // when the player cancelled (or the dialog refused by itself).
  virtual std::optional<BadUserChoice> AskBadUser(const std::vector<ReportTarget>& targets) = 0;
  virtual void ShowOptions() = 0;
  // The chat-mute dialog; it sets the player slots' mute flags.
  virtual void ShowMouseShut() = 0;
};

struct GameDlgOptions {
  std::filesystem::path programDir = ".";
  // The game view's 20 ms clock; tests tick by hand.
  bool startGameClock = true;
  // Where the room's requests and chat go (null: the running client's).
  IChatPlace* place = nullptr;
  // The OK/Cancel questions of the exit reservation (null: the client's
  // message box); returns the button chosen.
  std::function<int(std::string_view text, std::string_view caption)> ask;
};

class CGameDlg final : public controls::Dialog, public app::IGameRoomScreen, public gameview::IGameViewHost {
 public:
  static constexpr std::uintptr_t kResetGameTimer = 323;
  static constexpr std::uint32_t kResetGameMs = 5000;
  static constexpr int kClickEffect = 17;
  static constexpr std::size_t kReportExcerptBytes = 4000;

  explicit CGameDlg(GameDlgOptions options = {});
  ~CGameDlg() override;

  // Creates the room (hidden) over the whole main window; the board's
  // view follows when the room first shows.
  bool Create(platform::Window& mainWindow);
  void SetRoomWindows(IRoomWindows* windows) { windows_ = windows; }

  // --- app::IGameRoomScreen ---------------------------------------------------------
  void Show(bool show) override;
  void ClearInput(int field) override;
  void FocusChat() override;
  void AddChat(std::string_view text, app::ChatColour colour, bool bold = false) override;
  void OpenBanner(std::string_view url) override;
  void RemoveBanner() override;
  void ResetGameView() override;
  void ExitRoom() override;
  void SetButtonState() override;
  void ShowCharacters(const protocol::USERINFO& own, const protocol::USERINFO* opponent) override;
  void OnLeftRoom() override;
  void StartPointUp() override;
  void SetResetGameTimer() override;
  void ClearResetGameTimer() override;

  // --- gameview::IGameViewHost ---------------------------------------------------------
  bool IsGameRoomShown() const override;
  gameview::RoomCaption Caption() const override;
  gameview::WaitingState Waiting() const override;
  int LocalPcRoom() const override;
  gameview::EventState Events() const override;
  void OnCaptionBarPress(int x, int y) override;
  void FocusChatInput() override { FocusChat(); }

  // --- The room's buttons ----------------------------------------------------------------
  void OnButtonStartgame();
  void OnButtonExitgame();
  void OnButtonInvite();
  void OnButtonBaduser();
  void OnButtonChangedisplay();
  // Leaves the room: at once after a forced removal, else one leave
  // request while none is pending.
  void ExitGame();
  // The report of `choice` with the room's conversation `log`: refused
  // with a message when the log is too short, else sent with its last
  // 4000 bytes. True when it was sent.
  bool SendBadUserReport(const BadUserChoice& choice, const CHideChatList& log = SharedHideChatList());
  void SetForcedExit(bool forced) { forcedExit_ = forced; }

  // --- What the tests look at -------------------------------------------------------------
  // The START/READY button shows START (the master's face) or READY.
  bool ShowsStartFace() const { return startFace_; }
  ui::CMyButton& StartButton() { return start_; }
  gameview::CGameView* GameView() const { return gameView_.get(); }
  CChatViewEdit& ChatView() { return chatView_; }
  CSendEdit& ChatInput() { return chatInput_; }
  const CRoomPlayerCard& OwnCard() const { return ownCard_; }
  const CRoomPlayerCard& OpponentCard() const { return opponentCard_; }
  bool ResetTimerRunning() const { return resetTimerRunning_; }
  const std::string& BannerUrl() const { return bannerUrl_; }

  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;
  bool PreTranslateMessage(platform::MsgId msg, platform::WParam w, platform::LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 protected:
  platform::Window* ProvideControl(const controls::ControlSpec& spec) override;
  bool OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  class CBannerPicture;

  void InitButtons();
  void EnsureGameView();
  void OnCommand(int id);
  void OnResetTimer();
  void PlayClick();
  int Ask(std::string_view text, std::string_view caption);
  bool IsMaster() const;
  // The local player sits in a game that runs.
  bool PlaysInRunningGame() const;
  void SetStartFace(bool start);
  // The lobby screen's dialog, a sibling under the main window.
  platform::Window* LobbyDialog() const;
  IChatPlace& Place() { return *place_; }

  GameDlgOptions options_;
  std::optional<CClientChatPlace> clientPlace_;
  IChatPlace* place_ = nullptr;
  IRoomWindows* windows_ = nullptr;
  gameview::CGameSpriteSets sprites_;
  gfx::xSprite charBack_;
  gfx::xSprite levelIcons_;
  // Holds the view's place until the view is made.
  platform::Window viewSlot_;
  std::unique_ptr<gameview::CGameView> gameView_;
  ui::CMyBitmap background_;
  std::unique_ptr<CBannerPicture> banner_;
  CChatViewEdit chatView_;
  CSendEdit chatInput_;
  CRoomPlayerCard ownCard_;
  CRoomPlayerCard opponentCard_;
  ui::CMyButton start_;
  ui::CMyButton exit_;
  ui::CMyButton invite_;
  ui::CMyButton badUser_;
  ui::CMyButton displayMode_;
  ui::CMyButton option_;
  ui::CMyButton minimize_;
  ui::CMyButton mouseShut_;
  ui::CMyButton gameItem_;
  bool startFace_ = true;
  bool resetTimerRunning_ = false;
  bool forcedExit_ = false;
  bool asking_ = false;
  std::string bannerUrl_;
};

}  // namespace tovrik::lobby
