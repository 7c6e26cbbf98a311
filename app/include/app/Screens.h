#pragma once
// What the controller asks of the screens. The channel screen, the lobby,
// the game room and the progress boxes implement these; until they exist a
// plain status view stands in, and tests record the calls.
//
// Texts are UTF-8 unless a name says code page 949 (record texts are kept as
// received so that they reach the server unchanged).

#include "protocol/Records.h"

#include <cstdint>
#include <string>
#include <string_view>

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
};

// Where the main window shows what happens while no real screen exists.
struct ClientScreens {
  IChannelScreen* channel = nullptr;
  ILobbyScreen* lobby = nullptr;
  IGameRoomScreen* room = nullptr;
  IProgressBox* connectBox = nullptr;
  IProgressBox* closingBox = nullptr;
  IPopupWindows* popups = nullptr;
};

}  // namespace tovrik::app
