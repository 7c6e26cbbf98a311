#pragma once
// The whisper window: a small modeless window over the screens in which the
// player writes to one user by nickname. It stays open after sending, for
// the next line; Escape or the close button destroys it.

#include "controls/Dialog.h"
#include "controls/Edit.h"
#include "lobby/ChatPlace.h"
#include "ui/BitmapRegion.h"
#include "ui/MyBitmap.h"
#include "ui/MyButton.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tovrik::lobby {

class CWhisperDlg {
 public:
  static constexpr std::size_t kMaxNickBytes = 19;
  static constexpr std::size_t kMaxMessageBytes = 256;

  CWhisperDlg();
  ~CWhisperDlg();
  CWhisperDlg(const CWhisperDlg&) = delete;
  CWhisperDlg& operator=(const CWhisperDlg&) = delete;

  // Opens the window over `parent` (the main window when null), centred,
  // for `nickCp949` (may be empty); an open one is closed first. Lines go
  // to `place`, or to the running client's lobby or room, wherever the
  // player is when sending.
  bool Create(std::string_view nickCp949, platform::Window* parent = nullptr, IChatPlace* place = nullptr,
              std::filesystem::path programDir = ".");
  void Close();
  bool Exists() const;

  // What the send button and Enter do.
  void Send();

  // The last target the window was opened for (code page 949).
  const std::string& LastNick() const { return lastNick_; }
  controls::Edit* NickEdit() const;
  controls::Edit* MessageEdit() const;
  platform::Window* Window() const;

 private:
  class Dialog;
  IChatPlace& PlaceNow();

  std::unique_ptr<Dialog> dialog_;
  IChatPlace* place_ = nullptr;
  std::optional<CClientChatPlace> clientPlace_;
  std::string lastNick_;
};

// The client's one whisper window.
extern CWhisperDlg g_WhisperDlg;

inline constexpr std::string_view kWhisperNoNick = "귓말을 보낼 닉네임을 입력하세요.";
inline constexpr std::string_view kWhisperMuted = "대화 도배로 인하여 채팅 금지중입니다.";

}  // namespace tovrik::lobby
