#pragma once
// Where a chat input's lines go and what it looks up: the view of its
// place (the lobby or the game room), the hidden log, the lobby's user list
// and the game server connection. The running client's place goes through
// the controller; tests give one of their own.

#include "app/Screens.h"

#include <functional>
#include <string_view>

namespace tovrik::lobby {

enum ChatPlaceKind : int { kChatInLobby = 0, kChatInRoom = 1 };

class IChatPlace {
 public:
  virtual ~IChatPlace() = default;
  virtual ChatPlaceKind Place() const = 0;
  // Adds a line of the input's own (notices, whisper echoes) to the place's
  // view, scrolled to the bottom.
  virtual void ShowLine(std::string_view utf8, app::ChatColour colour) = 0;
  virtual void AddHiddenLine(std::string_view lineCp949) = 0;
  // The user number of the lobby user with this nickname, -1 when absent.
  virtual int FindUserNumber(std::string_view nickCp949) const = 0;
  // One frame to the game server.
  virtual void Send(const char* data, int size) = 0;
  // True while a whisper to this nickname must be refused: a game runs in
  // the player's room and the nickname is one of its two players.
  virtual bool RefusesWhisperTo(std::string_view nickCp949) const = 0;
};

// The running client's place: the controller's chat lines and hidden log,
// the lobby's user list (see SetLobbyUserLookup), the game connection and
// the controller's room.
class CClientChatPlace final : public IChatPlace {
 public:
  explicit CClientChatPlace(ChatPlaceKind place) : place_(place) {}
  ChatPlaceKind Place() const override { return place_; }
  void ShowLine(std::string_view utf8, app::ChatColour colour) override;
  void AddHiddenLine(std::string_view lineCp949) override;
  int FindUserNumber(std::string_view nickCp949) const override;
  void Send(const char* data, int size) override;
  bool RefusesWhisperTo(std::string_view nickCp949) const override;

 private:
  ChatPlaceKind place_;
};

// The lobby screen tells the chat how to find a user number by nickname
// in its user list; without it every lookup gives -1 (the server then
// finds the user by the nickname alone).
using LobbyUserLookup = std::function<int(std::string_view nickCp949)>;
void SetLobbyUserLookup(LobbyUserLookup lookup);
int FindLobbyUserNumber(std::string_view nickCp949);

// The local player's ID and nickname (code page 949), as requests carry them.
std::string_view LocalPlayerId();
std::string_view LocalPlayerNick();

// Whether the controller's room runs a game in which `nickCp949` plays.
bool IsInGameWhisperRefused(std::string_view nickCp949);

// The room's refusal of such a whisper, and its colour.
inline constexpr std::string_view kInGameWhisperRefusal = "[알림] 게임중에는 같은방 플레이어에게 귓말을 보낼 수 없습니다.\n";
inline constexpr app::ChatColour kInGameWhisperRefusalColour{255, 180, 180};

// Builds `Message` from `args` and sends it through `place`; false (and a
// log line) when it cannot be built.
template <typename Message, typename... Args>
bool SendChatMessage(IChatPlace& place, Args&&... args) {
  Message message;
  if (!message.Set(std::forward<Args>(args)...)) return false;
  place.Send(message.GetData(), message.GetTotalSize());
  return true;
}

}  // namespace tovrik::lobby
