#include "controls/Menu.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "base/Log.h"
#include "platform/PathResolver.h"

namespace tovrik::controls {

namespace {

// Larger files are no menu: refused before they are read.
constexpr std::uintmax_t kMaxMenuFileBytes = 64 * 1024;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// The number after `prefix` in a name such as "popup3" or "item12".
std::optional<std::size_t> IndexAfter(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return std::nullopt;
  std::size_t index = 0;
  const char* first = name.data() + prefix.size();
  const char* last = name.data() + name.size();
  auto [end, ec] = std::from_chars(first, last, index);
  if (ec != std::errc() || end != last || index > 1000) return std::nullopt;
  return index;
}

std::optional<MenuItem> ParseItem(std::string_view value) {
  if (value == "separator") return MenuItem{0, {}, MF_SEPARATOR};
  const std::size_t comma = value.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const std::string_view number = Trim(value.substr(0, comma));
  int command = 0;
  auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), command);
  if (ec != std::errc() || end != number.data() + number.size() || command <= 0 || command > 0xFFFF)
    return std::nullopt;
  return MenuItem{command, std::string(Trim(value.substr(comma + 1))), 0};
}

}  // namespace

void Popup::Append(int command, std::string caption, unsigned flags) {
  items_.push_back({command, std::move(caption), flags & ~MF_SEPARATOR});
}

void Popup::AppendSeparator() { items_.push_back({0, {}, MF_SEPARATOR}); }

bool Popup::EnableMenuItem(int command, unsigned flags) {
  bool found = false;
  for (MenuItem& item : items_) {
    if (item.IsSeparator() || item.command != command) continue;
    item.flags = (item.flags & ~MF_GRAYED) | (flags & MF_GRAYED);
    found = true;
  }
  return found;
}

bool Popup::CheckMenuItem(int command, unsigned flags) {
  bool found = false;
  for (MenuItem& item : items_) {
    if (item.IsSeparator() || item.command != command) continue;
    item.flags = (item.flags & ~MF_CHECKED) | (flags & MF_CHECKED);
    found = true;
  }
  return found;
}

std::optional<MenuResource> ParseMenuResource(std::string_view text, std::string& error) {
  MenuResource menu;
  std::vector<std::vector<std::optional<MenuItem>>> slots;  // by popup, by item index
  std::optional<std::size_t> popup;
  int lineNumber = 0;
  auto fail = [&](std::string why) {
    error = "line " + std::to_string(lineNumber) + ": " + why;
    return std::nullopt;
  };
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    const std::string_view line = Trim(text.substr(at, end - at));
    at = end + 1;
    ++lineNumber;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      if (line.back() != ']') return fail("unclosed section name");
      popup = IndexAfter(line.substr(1, line.size() - 2), "popup");
      if (!popup) return fail("a section that is not [popupN]");
      if (slots.size() <= *popup) slots.resize(*popup + 1);
      continue;
    }
    if (!popup) return fail("an item before the first [popupN]");
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return fail("a line without '='");
    const auto index = IndexAfter(Trim(line.substr(0, equals)), "item");
    if (!index) return fail("a key that is not itemN");
    const auto item = ParseItem(Trim(line.substr(equals + 1)));
    if (!item) return fail("an item that is neither \"<command>,<caption>\" nor \"separator\"");
    auto& items = slots[*popup];
    if (items.size() <= *index) items.resize(*index + 1);
    if (items[*index]) return fail("item" + std::to_string(*index) + " given twice");
    items[*index] = *item;
  }
  for (std::size_t p = 0; p < slots.size(); ++p) {
    std::vector<MenuItem> items;
    for (std::size_t i = 0; i < slots[p].size(); ++i) {
      if (!slots[p][i]) {
        error = "popup" + std::to_string(p) + " has no item" + std::to_string(i);
        return std::nullopt;
      }
      items.push_back(*slots[p][i]);
    }
    if (items.empty()) {
      error = "popup" + std::to_string(p) + " is missing or empty";
      return std::nullopt;
    }
    menu.popups.emplace_back(std::move(items));
  }
  if (menu.popups.empty()) {
    error = "no [popupN] section";
    return std::nullopt;
  }
  return menu;
}

std::optional<MenuResource> LoadMenuResource(int id, const std::filesystem::path& programDir) {
  const std::filesystem::path path = platform::ResolvePath(".\\data\\menu" + std::to_string(id) + ".ini", programDir);
  auto refuse = [&](std::string_view why) {
    base::Log(base::LogLevel::Error, "controls", "menu ", id, " (", path.string(), "): ", why);
    return std::nullopt;
  };
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) return refuse("cannot be read: " + ec.message());
  if (size > kMaxMenuFileBytes) return refuse("too large for a menu");
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in.is_open()) return refuse("cannot be opened");
  std::string error;
  auto menu = ParseMenuResource(text.str(), error);
  if (!menu) return refuse("malformed, " + error);
  menu->id = id;
  return menu;
}

}  // namespace tovrik::controls
