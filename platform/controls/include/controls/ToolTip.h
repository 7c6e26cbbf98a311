#pragma once
// A tooltip: a small box of text shown near the pointer once it has rested
// on a tool for the initial delay, kept on the page, and hidden when the
// pointer leaves the tool, on any press or wheel turn (until the pointer
// leaves and comes back) and after the pop-up time. A tool is a window (its
// whole area, its children included) or a rectangle of a window. The
// tooltip watches the pointer through the loop's mouse listeners, so tools
// need no help from the windows they cover.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/EventLoop.h"
#include "platform/Window.h"

namespace tovrik::controls {

class ToolTip : public platform::Window {
 public:
  static constexpr std::uint32_t kInitialDelayMs = 500;
  static constexpr std::uint32_t kAutoPopMs = 5000;
  // Below the pointer by about the height of the arrow cursor.
  static constexpr int kBelowPointer = 20;

  ToolTip() = default;
  ~ToolTip() override;

  // A tool covering `tool` and its children (TTF_IDISHWND). Text UTF-8.
  bool AddTool(platform::Window& tool, std::string text);
  // A tool covering `rect` of `owner` (client coordinates), named `id`.
  bool AddTool(platform::Window& owner, int id, platform::Rect rect, std::string text);
  void DelTool(platform::Window& tool);
  void DelTool(platform::Window& owner, int id);
  void UpdateTipText(platform::Window& tool, std::string text);

  bool IsShown() const { return IsCreated() && IsVisibleFlag(); }
  const std::string& ShownText() const { return shownText_; }

  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 private:
  static constexpr std::uintptr_t kShowTimer = 1;
  static constexpr std::uintptr_t kPopTimer = 2;
  struct Tool {
    platform::WindowHandle window;
    int id = -1;  // -1: the whole window
    platform::Rect rect;
    std::string text;
  };

  bool EnsureWindow();
  void OnMouse(platform::MsgId msg, platform::Point p);
  int ToolAt(platform::Point p) const;
  void Show();
  void Hide();

  std::vector<Tool> tools_;
  platform::EventLoop* loop_ = nullptr;
  int listener_ = 0;
  int hovered_ = -1;          // index in tools_
  bool suppressed_ = false;   // a press hid the tip: not again until the pointer leaves
  platform::Point pointer_;
  std::string shownText_;
};

}  // namespace tovrik::controls
