#pragma once
// A popup menu tracked on the page: it opens at a point (the pointer, for
// a context menu) above every other window, moved so that it stays on the
// page, and holds the mouse and the keyboard while open. Choosing an item
// that is not greyed closes the menu and posts WM_COMMAND with the item's
// command to the owner; a press outside the menu or Escape closes it
// without a command. Up, Down and Enter choose with the keyboard.
//
// Tracking does not block: the program goes on and the owner hears of the
// choice through its message queue, as after TrackPopupMenu.

#include "controls/Menu.h"
#include "platform/Window.h"

namespace tovrik::controls {

class PopupMenu : public platform::Window {
 public:
  static constexpr int kItemHeight = 20;
  static constexpr int kSeparatorHeight = 9;
  static constexpr int kMinWidth = 100;

  PopupMenu() = default;
  ~PopupMenu() override;

  // Opens `popup` (copied) with its top-left corner at `at` (main-window
  // pixels). An open menu closes first. False without a loop, a main window
  // or items.
  bool Track(const Popup& popup, platform::Point at, platform::Window& owner);
  // The same at the pointer.
  bool TrackAtCursor(const Popup& popup, platform::Window& owner);
  void Close();
  bool IsOpen() const { return IsCreated(); }
  // The highlighted item, -1 for none.
  int Highlighted() const { return highlighted_; }
  // Where item `index` lies, in main-window pixels (empty when closed).
  platform::Rect ItemScreenRect(std::size_t index) const;

  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;
  bool PreTranslateMessage(platform::MsgId msg, platform::WParam w, platform::LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 private:
  platform::Rect ItemRect(std::size_t index) const;  // client coordinates
  int ItemAt(platform::Point client) const;
  bool Choosable(int index) const;
  void Choose(int index);
  void MoveHighlight(int step);
  platform::Point Measure() const;

  Popup popup_;
  platform::WindowHandle owner_ = platform::WindowHandle::None;
  platform::WindowHandle previousFocus_ = platform::WindowHandle::None;
  int highlighted_ = -1;
  // A release chooses only after the pointer moved in the menu or a press
  // happened in it, so the release of the click that opened it does not.
  bool armed_ = false;
  platform::Point openedAt_;
  bool closing_ = false;
};

}  // namespace tovrik::controls
