#pragma once
// Helpers of the main window that need no window: URL encoding and the
// per-user configuration file.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tovrik::app {

// Percent-encodes `text` (code page 949 bytes) for a query string. A leading
// "http://" (any letter case, text of 8 or more bytes) is kept as is.
std::string URLEncode(std::string_view text);

// A name from the server (a nickname, a channel name) made fit for one line
// of text: control bytes, which could break it into forged lines of the chat
// or the log, become "?".
std::string OneLineName(std::string_view name);

// The folder of the program, where "config/config.ini" lives. Empty when it
// cannot be determined.
std::filesystem::path GetProfile_DefPath();
// Points the configuration at another folder (empty restores the program's).
void SetProfile_DefPath(const std::filesystem::path& folder);
std::filesystem::path ConfigFilePath();

// A decimal value of the configuration file, or `def` when the file, the
// section or the key is missing or the value is empty.
int GetProfile_int(std::string_view section, std::string_view key, int def);
// False when the folder is unknown or the file cannot be written.
bool WriteProfile_int(std::string_view section, std::string_view key, int value);

// The six settings kept per user.
struct ClientConfig {
  int ScreenMode = 1;  // 1 full screen, 0 window
  int OffSndFX = 0;
  int OffMusic = 0;
  int NoInvit = 0;
  int NoWhisper = 0;
  int FailToFullScreen = 0;  // a switch to full screen started and never finished

  // False for an empty id; else reads every key with its default.
  bool Load(std::string_view id);
  // False for an empty id or when the file cannot be written.
  bool Save(std::string_view id) const;
};

// One line of the lobby chat about points won or lost since a baseline.
struct ScoreLine {
  std::string text;
  bool gain = false;  // shown in the gain colour, else in the loss colour
};
// The lines shown on returning to the lobby: the change since the program
// started, then the change in the room just left. Points are the server's
// 32-bit figures; their differences are taken in 64 bits, so that any two of
// them give the true difference.
std::vector<ScoreLine> ScoreLines(std::int32_t points, std::int32_t runBaseline, std::int32_t roomBaseline);

// The user's documents folder: XDG_DOCUMENTS_DIR of the user-dirs file,
// else "Documents" in the home folder. Empty without a home folder.
std::filesystem::path DocumentsFolder();

}  // namespace tovrik::app
