#pragma once
// The program's five mouse cursors (resources 133 to 137: 133 the arrow of
// the screens, 134 the hand over clickable lists, then move, wait and
// cross). Each is read from ".\image\cursorNNN.bmp" when that file exists
// (magenta is transparent, the hot spot is the top-left pixel), else the
// system cursor of the same kind is used. Without a display every call quietly does nothing.

#include <array>
#include <filesystem>

struct SDL_Cursor;

namespace tovrik::platform {

class CursorSet {
 public:
  static constexpr int kFirstId = 133;
  static constexpr int kCount = 5;

  // Loads the cursors; image files are looked for under `base`.
  explicit CursorSet(const std::filesystem::path& base);
  ~CursorSet();
  CursorSet(const CursorSet&) = delete;
  CursorSet& operator=(const CursorSet&) = delete;

  // Shows cursor `id` (133..137); false for another id or when it could not
  // be made.
  bool Set(int id);
  bool Has(int id) const;
  int Current() const { return current_; }

 private:
  std::array<SDL_Cursor*, kCount> cursors_{};
  int current_ = 0;
};

}  // namespace tovrik::platform
