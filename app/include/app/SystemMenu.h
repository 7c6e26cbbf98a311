#pragma once
// The main window's system menu. The window manager's own menu cannot carry
// the client's items, so the main window opens this one itself (Alt+Space,
// or a right click on the top 28 pixels that serve as its caption bar): a
// small list in the window's top-left corner. A picked item reaches the main
// window as WM_SYSCOMMAND with the item's command.

#include "platform/Window.h"

#include <string>
#include <vector>

namespace tovrik::app {

using tovrik::platform::SC_CLOSE;
using tovrik::platform::SC_KEYMENU;
using tovrik::platform::SC_MINIMIZE;
using tovrik::platform::WM_SYSCOMMAND;
// The client's own item: the About box.
inline constexpr tovrik::platform::WParam IDM_ABOUTBOX = 16;

class CSystemMenu final : public tovrik::platform::Window {
 public:
  struct Item {
    std::string text;                  // empty: a separator
    tovrik::platform::WParam command;  // sent with WM_SYSCOMMAND
    char accelerator;                  // the underlined letter, upper case
  };
  static constexpr int kItemHeight = 20;
  static constexpr int kSeparatorHeight = 8;
  static constexpr int kWidth = 180;

  // The items of the main window's menu, in order.
  static const std::vector<Item>& MainWindowItems();

  ~CSystemMenu() override;

  // Opens the menu on `owner` (the main window) with the first item
  // highlighted; picking an item or leaving the menu closes it.
  bool Open(tovrik::platform::Window& owner);
  void Close();
  bool IsOpen() const { return IsCreated(); }
  // The highlighted item (-1 when none).
  int Highlighted() const { return highlighted_; }
  // The item's rectangle in the menu's client coordinates.
  tovrik::platform::Rect ItemRect(int index) const;

  tovrik::platform::LResult WindowProc(tovrik::platform::MsgId msg, tovrik::platform::WParam w,
                                       tovrik::platform::LParam l) override;
  void OnPaint(tovrik::platform::PaintContext& pc) override;

 private:
  int ItemAt(tovrik::platform::Point p) const;
  void Move(int step);
  void Pick(int index);

  tovrik::platform::Window* owner_ = nullptr;
  int highlighted_ = -1;
};

}  // namespace tovrik::app
