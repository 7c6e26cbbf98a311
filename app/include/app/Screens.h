#pragma once
// What the controller asks of the screens. The channel screen, the lobby,
// the game room and the progress boxes implement these; until they exist a
// plain status view stands in, and tests record the calls.
//
// Texts are UTF-8 unless a name says code page 949 (record texts are kept as
// received so that they reach the server unchanged).

#include "game/GameSound.h"
#include "protocol/Records.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tovrik::platform {
class Window;
}

namespace tovrik::app {

struct ChatColour {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const ChatColour&, const ChatColour&) = default;
};

class IChannelScreen {
 public:
  virtual ~IChannelScreen() = default;
  virtual void Show(bool show) = 0;
  virtual void EnableRefresh(bool enable) = 0;
  virtual void EnableEnter(bool enable) = 0;
  // The id field and the search button of the user search.
  virtual void EnableFindId(bool enable) = 0;
  virtual void Chan_DelAll() = 0;
  virtual void Chan_InsItem(std::string_view displayNameCp949, const tovrik::protocol::CHANNELINFO& channel) = 0;
  virtual void Chan_SelectLast() = 0;
  virtual void DismissProgress() = 0;
  virtual void NavigateWeb(std::string_view url) = 0;
  virtual void CreateBanner() = 0;
  virtual void RemoveBanner() = 0;
};

class ILobbyScreen {
 public:
  virtual ~ILobbyScreen() = default;
  virtual void Show(bool show) = 0;
  // Empties the first (0) or second (1) text input field.
  virtual void ClearInput(int field) = 0;
  virtual void FocusChat() = 0;
  virtual void AddChat(std::string_view text, ChatColour colour, bool bold = false) = 0;
  virtual void InitView() = 0;
  virtual void RefreshLists() = 0;
  virtual void OpenBanner(std::string_view url) = 0;
  virtual void RemoveBanner() = 0;
  // The display-mode command: switches to full screen; returns when done.
  virtual void SwitchToFullScreen() = 0;
  virtual void CheckNoInvite(bool checked) = 0;
  // Checks the whisper refusal box and tells the server.
  virtual void CheckNoWhisper(bool checked) = 0;
  // The "초대 메세지 거부" box.
  virtual bool NoInviteChecked() const = 0;

  // The lobby's waiting box: closed as answered, or as cancelled.
  virtual void DismissWaitBox() = 0;
  virtual void CancelWaitBox() = 0;

  // The user list; every change also reaches the invitation dialog's list.
  // An insertion of a user number already listed changes nothing.
  virtual void User_DelAll() = 0;
  virtual void User_InsItem(const tovrik::protocol::SMALLUSERINFO& user) = 0;
  virtual void User_DelItem(int unum, std::string_view idCp949) = 0;
  // Takes id, nickname, state, room number and sex of the entry with the
  // same user number.
  virtual void User_SetItem(const tovrik::protocol::SMALLUSERINFO& user) = 0;
  virtual std::optional<tovrik::protocol::SMALLUSERINFO> FindUser(std::string_view idCp949) const = 0;
  // Sorts the game room's invitation list when that view is open.
  virtual void SortInviteList() = 0;

  // The room list. A room number already listed is not inserted twice.
  virtual void Room_DelAll() = 0;
  virtual void Room_InsItem(const tovrik::protocol::ROOMINFO& room) = 0;
  virtual void Room_DelItem(int roomNo) = 0;
  // Takes master id and nickname, user count, maximum and the playing flag;
  // the room information shown in the user list view follows.
  virtual void Room_SetItem(const tovrik::protocol::SMALLROOMINFO& room) = 0;
  // The room information a list click asked for: its two seats.
  virtual void OnRoomUserInfo(const tovrik::protocol::GAMEINFO& game) = 0;

  // The lobby's character view.
  virtual void SetCharacter(const tovrik::protocol::USERINFO& user) = 0;
  // The hidden conversation log that abuse reports quote: code page 949,
  // one line per call (each ends with its own line break).
  virtual void AddHideChatText(std::string_view lineCp949) = 0;
};

class IGameRoomScreen {
 public:
  virtual ~IGameRoomScreen() = default;
  virtual void Show(bool show) = 0;
  virtual void ClearInput(int field) = 0;
  virtual void FocusChat() = 0;
  virtual void AddChat(std::string_view text, ChatColour colour, bool bold = false) = 0;
  virtual void OpenBanner(std::string_view url) = 0;
  virtual void RemoveBanner() = 0;
  virtual void ResetGameView() = 0;
  // The room's exit command (leaving the room, not the program).
  virtual void ExitRoom() = 0;

  // The START/READY button, from the room record and the two slots.
  virtual void SetButtonState() = 0;
  // The two character views, repainted; no opponent clears that view.
  virtual void ShowCharacters(const tovrik::protocol::USERINFO& own, const tovrik::protocol::USERINFO* opponent) = 0;
  // The room was left: the invitation dialog is hidden, the exit
  // reservation and the forced-exit mark are forgotten.
  virtual void OnLeftRoom() = 0;
  // The event's point-up display of the game view.
  virtual void StartPointUp() = 0;
  // The window timer that resets the board 5 s after a result.
  virtual void SetResetGameTimer() = 0;
  virtual void ClearResetGameTimer() = 0;
};

// The connection and closing progress boxes.
class IProgressBox {
 public:
  virtual ~IProgressBox() = default;
  virtual void Open(std::string_view text) = 0;
  virtual void Close() = 0;
};

// The windows the controller opens over the screens: the profile dialogs,
// the PC-room service window, the event notice, the game-rating mark and
// the item window.
class IPopupWindows {
 public:
  virtual ~IPopupWindows() = default;
  // The address the web profile dialog shows profiles from.
  virtual void SetProfileUrl(std::string_view url) = 0;
  // The PC-room greeting window (modeless) for the user's grade.
  virtual void OpenPcRoomService(int grade) = 0;
  // The event notice of this type, modal; returns its answer (IDCANCEL: the
  // player chose to leave).
  virtual int ShowEventNotice(int type) = 0;
  // The game-rating mark at (735, 33) of the lobby, unless it is there.
  virtual void ShowGameGrade() = 0;
  // The profile dialog for `user`, modal; `flag` 1 opens it read-only.
  virtual void ShowProfile(const tovrik::protocol::USERINFO& user, int flag) = 0;
  // The player's own items (modeless), unless that window is open.
  virtual void ShowMyItemBag() = 0;

  // The invitation received, modal; the dialog sends the answer. The
  // text is code page 949.
  virtual void ShowInvitation(const tovrik::protocol::USERINFO& inviter, int roomNo, std::string_view textCp949) = 0;

  // The item dialog: open, its own-items view refreshed, closed; shown
  // modally on a page (1 functional items, 2 my items) with a value and a
  // default item code, it returns 2 when closed without a purchase.
  virtual bool ItemDialogOpen() const = 0;
  virtual void RefreshMyItems() = 0;
  virtual void CloseItemDialog() = 0;
  virtual int ShowItemDialog(int page, int value, int itemCode) = 0;
};

// The skinned message dialog every message box of the program goes through
// once the main window exists.
class IMessageDialog {
 public:
  virtual ~IMessageDialog() = default;
  // Shows `text` with `caption` and the buttons of `type` (OK, OK/Cancel or
  // Yes/No) over `owner`, modal; returns the button chosen.
  virtual int Show(tovrik::platform::Window& owner, std::string_view text, std::string_view caption,
                   unsigned type) = 0;
};

// Where the main window shows what happens while no real screen exists.
struct ClientScreens {
  IChannelScreen* channel = nullptr;
  ILobbyScreen* lobby = nullptr;
  IGameRoomScreen* room = nullptr;
  IProgressBox* connectBox = nullptr;
  IProgressBox* closingBox = nullptr;
  IPopupWindows* popups = nullptr;
  // Where sound effects go (the game's and the controller's); null: the
  // sound manager.
  tovrik::game::IGameSound* sound = nullptr;
  // The skinned message dialog; null: the system box.
  IMessageDialog* messageDialog = nullptr;
};

// The screens of a running client, owned together. The main window makes
// one set when it is constructed and creates its windows once the main
// window exists; a screen the set does not provide (a null member of
// Screens()) is stood in for by the plain status view.
class IScreenSet {
 public:
  virtual ~IScreenSet() = default;
  virtual ClientScreens Screens() = 0;
  // Creates the screens' windows as children of the main window; false
  // ends start-up.
  virtual bool Create(tovrik::platform::Window& mainWindow) = 0;
};

using ScreenSetFactory = std::function<std::unique_ptr<IScreenSet>()>;

// The screens the program's main window uses when it is made without
// options (the executable installs the real ones; tests that construct the
// window with options of their own get only what they ask for).
void SetDefaultScreenSetFactory(ScreenSetFactory factory);
const ScreenSetFactory& DefaultScreenSetFactory();

}  // namespace tovrik::app
