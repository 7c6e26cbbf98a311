#pragma once
// The one-line chat input of the lobby and the room. Enter sends what was
// typed: plain chat to the place's listeners, "/w nickname message" as a
// whisper, and the operators' user query. Up and Down walk the last nine
// lines sent. Every line passes the shared flood limiter first.

#include "controls/Edit.h"
#include "lobby/ChatPlace.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tovrik::lobby {

// What a typed line asks for.
struct ChatCommand {
  enum class Kind { Chat, Whisper, DetailUserInfo };
  Kind kind = Kind::Chat;
  std::string nickName;  // whisper target or queried user (code page 949)
  std::string message;   // the whisper's text
};
// Reads a line (code page 949): "/w " in any letter case or "/ㅈ " starts a
// whisper, "/#GetDetailUserInfo " (exact case) the user query; anything
// else is chat ("/wnick" without the space too).
ChatCommand ParseChatCommand(std::string_view lineCp949);

// What Enter makes of the edit's text before anything else: the first 127
// bytes, cut on a character boundary; a final 0x01 goes, and backspace,
// tab, line feed and carriage return become spaces. Empty (or the single
// byte 0xFF): nothing to send.
std::string CleanTypedLine(std::string_view textCp949);

class CSendEdit : public controls::Edit {
 public:
  // Lines longer than this never reach the server whole, so the input
  // takes no more.
  static constexpr std::size_t kMaxLineBytes = 127;
  static constexpr std::size_t kHistorySize = 10;
  static constexpr std::size_t kMaxNickBytes = 19;

  // The place is the running client's unless one is given.
  explicit CSendEdit(ChatPlaceKind place);
  explicit CSendEdit(IChatPlace& place);
  ~CSendEdit() override { Destroy(); }

  ChatPlaceKind Place() const { return place_->Place(); }

  // Sends the typed line (what Enter does).
  void SendTypedLine();
  // The "/w" command of a line already cleaned.
  void WhisperChat(std::string_view lineCp949);

  // History: 0 is the line being typed, 1-9 the lines sent, newest first.
  std::size_t HistoryPos() const { return historyPos_; }
  const std::string& HistoryEntry(std::size_t index) const { return history_.at(index); }

  // Text and background colours of the input (none: the system's).
  void SetTextColor(platform::RgbColor colour);
  void SetBkColor(platform::RgbColor colour);

  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;
  bool PreTranslateMessage(platform::MsgId msg, platform::WParam w, platform::LParam l) override;

 private:
  void Remember(const std::string& line);
  void ShowHistory(std::size_t pos);
  void SendDetailUserInfo(const ChatCommand& command);
  void SendChat(std::string_view lineCp949);

  std::optional<CClientChatPlace> ownPlace_;
  IChatPlace* place_ = nullptr;
  std::array<std::string, kHistorySize> history_{};
  std::size_t historyPos_ = 0;
  std::optional<platform::RgbColor> textColour_;
  std::optional<platform::RgbColor> backColour_;
};

// The notice shown instead of sending while the player is muted.
inline constexpr std::string_view kFloodMuteNotice = "[알림] 대화 도배로 인하여 2분간 채팅이 금지된 상태입니다.\n";
inline constexpr app::ChatColour kFloodMuteColour{200, 0, 0};

}  // namespace tovrik::lobby
