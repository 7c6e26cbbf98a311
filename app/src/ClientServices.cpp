#include "app/ClientServices.h"

#include "app/ConfigFile.h"
#include "app/LaunchParams.h"

#include <cctype>
#include <cstdlib>
#include <climits>
#include <cstdio>
#include <strings.h>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>

namespace tovrik::app {

namespace {

std::filesystem::path g_ProfileOverride;

bool KeptInUrl(unsigned char byte) {
  if (byte >= 'A' && byte <= 'Z') return true;
  if (byte >= 'a' && byte <= 'z') return true;
  if (byte >= '0' && byte <= ':') return true;  // digits and the colon
  if (byte >= 39 && byte <= 46) return true;     // ' ( ) * + , - .
  switch (byte) {
    case '!': case '"': case '$': case '%': case '<': case '>': case '_':
      return true;
    default:
      return false;
  }
}

std::unique_ptr<CConfigFile> g_ConfigFile;

}  // namespace

std::string URLEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 3);
  size_t at = 0;
  if (text.size() >= 8 && strncasecmp(text.data(), "http://", 7) == 0) {
    out.append(text.substr(0, 7));
    at = 7;
  }
  for (; at < text.size(); ++at) {
    unsigned char byte = static_cast<unsigned char>(text[at]);
    if (KeptInUrl(byte)) {
      out.push_back(static_cast<char>(byte));
    } else {
      out.push_back('%');
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 15]);
    }
  }
  return out;
}

std::string OneLineName(std::string_view name) {
  std::string line(name);
  for (char& c : line)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return line;
}

std::filesystem::path GetProfile_DefPath() {
  if (!g_ProfileOverride.empty()) return g_ProfileOverride;
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || !exe.has_parent_path()) return {};
  return exe.parent_path();
}

void SetProfile_DefPath(const std::filesystem::path& folder) {
  g_ProfileOverride = folder;
  g_ConfigFile.reset();
}

std::filesystem::path ConfigFilePath() {
  std::filesystem::path folder = GetProfile_DefPath();
  if (folder.empty()) return {};
  return folder / "config" / "config.ini";
}

std::vector<ScoreLine> ScoreLines(std::int32_t points, std::int32_t runBaseline, std::int32_t roomBaseline) {
  auto line = [](const char* gainFormat, const char* lossFormat, std::int64_t difference) {
    char text[160];
    std::snprintf(text, sizeof text, difference >= 0 ? gainFormat : lossFormat, static_cast<long long>(difference));
    return ScoreLine{text, difference >= 0};
  };
  const std::int64_t run = std::int64_t{points} - runBaseline;
  const std::int64_t room = std::int64_t{points} - roomBaseline;
  return {line("★접속후 총 +%lld점을 획득하셨습니다\n", "★접속후 총 %lld점을 잃으셨습니다\n", run),
          line("★방금 계셨던 방에서 +%lld점을 획득하셨습니다\n", "★방금 계셨던 방에서 %lld점을 잃으셨습니다\n", room)};
}

CConfigFile& TheConfigFile() {
  if (!g_ConfigFile) g_ConfigFile = std::make_unique<CConfigFile>(ConfigFilePath());
  return *g_ConfigFile;
}

int GetProfile_int(std::string_view section, std::string_view key, int def) {
  std::optional<std::string> value = TheConfigFile().Get(section, key);
  if (!value) return def;
  std::string_view text(*value);
  if (text.size() > kTokenValueMax) text = text.substr(0, kTokenValueMax);
  if (text.empty()) return def;
  long long number = PlainDecimal(text);
  return number < INT_MIN ? INT_MIN : number > INT_MAX ? INT_MAX : static_cast<int>(number);
}

bool WriteProfile_int(std::string_view section, std::string_view key, int value) {
  CConfigFile& file = TheConfigFile();
  return file.Set(section, key, std::to_string(value)) && file.Flush();
}

bool ClientConfig::Load(std::string_view id) {
  if (id.empty()) return false;
  *this = ClientConfig{0, 0, 0, 0, 0, 0};
  ScreenMode = GetProfile_int(id, "ScreenMode", 1);
  OffSndFX = GetProfile_int(id, "OffSndFX", 0);
  OffMusic = GetProfile_int(id, "OffMusic", 0);
  NoInvit = GetProfile_int(id, "NoInvit", 0);
  NoWhisper = GetProfile_int(id, "NoWhisper", 0);
  FailToFullScreen = GetProfile_int(id, "FailToFullScreen", 0);
  return true;
}

// All six keys in memory, then one write, and none when nothing changed.
bool ClientConfig::Save(std::string_view id) const {
  if (id.empty()) return false;
  CConfigFile& file = TheConfigFile();
  const std::pair<const char*, int> values[] = {{"ScreenMode", ScreenMode}, {"OffSndFX", OffSndFX},
                                                {"OffMusic", OffMusic},     {"NoInvit", NoInvit},
                                                {"NoWhisper", NoWhisper},   {"FailToFullScreen", FailToFullScreen}};
  bool ok = true;
  for (const auto& [key, value] : values) ok = file.Set(id, key, std::to_string(value)) && ok;
  return file.Flush() && ok;
}

namespace {

// One line of user-dirs.dirs: XDG_DOCUMENTS_DIR="$HOME/Dokumente".
std::filesystem::path DocumentsFromUserDirs(const std::filesystem::path& file, const std::string& home) {
  std::FILE* in = std::fopen(file.c_str(), "r");
  if (!in) return {};
  std::string value;
  char line[1024];
  while (std::fgets(line, sizeof line, in)) {
    std::string_view text(line);
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=";
    if (text.substr(0, kKey.size()) != kKey) continue;
    text.remove_prefix(kKey.size());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    value = text;
  }
  std::fclose(in);
  if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
  if (value.empty() || value.front() != '/') return {};
  return value;
}

}  // namespace

std::filesystem::path DocumentsFolder() {
  const char* home = std::getenv("HOME");
  if (!home || !*home) return {};
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  std::filesystem::path config =
      configHome && *configHome ? std::filesystem::path(configHome) : std::filesystem::path(home) / ".config";
  std::filesystem::path documents = DocumentsFromUserDirs(config / "user-dirs.dirs", home);
  return documents.empty() ? std::filesystem::path(home) / "Documents" : documents;
}

}  // namespace tovrik::app
