#pragma once
// Menus as data: the popups of a menu resource, read from the generated
// ".\data\menuNNN.ini" files, with the greyed and checked state the program
// sets before tracking one.
//
// File format (UTF-8): one section per popup in menu order ("[popup0]",
// "[popup1]", ...), each with the keys "item0", "item1", ... in order,
// valued "<command id>,<caption>" or "separator"; lines starting with ';'
// are comments.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovrik::controls {

// Item flags (the MF_* values of the Windows API).
inline constexpr unsigned MF_ENABLED = 0x0000;
inline constexpr unsigned MF_GRAYED = 0x0001;
inline constexpr unsigned MF_CHECKED = 0x0008;
inline constexpr unsigned MF_SEPARATOR = 0x0800;

struct MenuItem {
  int command = 0;      // 0 for a separator
  std::string caption;  // UTF-8
  unsigned flags = 0;
  bool IsSeparator() const { return (flags & MF_SEPARATOR) != 0; }
  bool IsGreyed() const { return (flags & MF_GRAYED) != 0; }
  bool IsChecked() const { return (flags & MF_CHECKED) != 0; }
};

class Popup {
 public:
  Popup() = default;
  explicit Popup(std::vector<MenuItem> items) : items_(std::move(items)) {}

  const std::vector<MenuItem>& Items() const { return items_; }
  void Append(int command, std::string caption, unsigned flags = 0);
  void AppendSeparator();
  // Greys (MF_GRAYED) or enables (MF_ENABLED) every item with the command;
  // false when there is none.
  bool EnableMenuItem(int command, unsigned flags);
  // Checks (MF_CHECKED) or unchecks every item with the command.
  bool CheckMenuItem(int command, unsigned flags);

 private:
  std::vector<MenuItem> items_;
};

struct MenuResource {
  int id = 0;
  std::vector<Popup> popups;
  // The popup at `index` (GetSubMenu), or null.
  Popup* GetSubMenu(std::size_t index) { return index < popups.size() ? &popups[index] : nullptr; }
};

// Parses the text of a menu file; on a malformed file returns nothing and
// says where in `error`.
std::optional<MenuResource> ParseMenuResource(std::string_view text, std::string& error);

// Reads ".\data\menu<id>.ini" below `programDir` (letter case ignored).
// A missing or malformed file is logged with its path and the reason, and
// gives nothing.
std::optional<MenuResource> LoadMenuResource(int id, const std::filesystem::path& programDir = ".");

}  // namespace tovrik::controls
