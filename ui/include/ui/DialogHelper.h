#pragma once
// Turns a dialog into a sprite-painted window: the background is frame 0 of
// a sprite set, the window takes its size and the shape of its opaque
// pixels, sprite buttons are drawn over it, and a press on the background
// drags the dialog inside its parent. Each skin repaints on a 100 ms timer
// of its own; timer ids are handed out from 12345 up, one per Init.
//
// The dialog forwards its messages to MessageProc and paints through Draw.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "gfx/Page.h"
#include "gfx/Sprite.h"
#include "platform/Window.h"
#include "ui/BitmapRegion.h"
#include "ui/GraphButtonList.h"

namespace tovrik::ui {

class CDialogHelper {
 public:
  static constexpr std::uintptr_t kFirstTimerId = 12345;
  static constexpr std::uint32_t kRedrawMs = 100;

  CDialogHelper() = default;
  CDialogHelper(const CDialogHelper&) = delete;
  CDialogHelper& operator=(const CDialogHelper&) = delete;
  virtual ~CDialogHelper();

  // Skins `dialog` with the background of `backgroundPath` (none: the one
  // an earlier Init loaded). Every button and cached set goes first. An
  // unreadable background is reported and leaves the dialog as it was.
  void Init(platform::Window* dialog, std::string_view backgroundPath);
  // The set of `path`, loaded once; an unreadable file is reported once
  // and gives an empty set (its buttons draw nothing).
  const gfx::xSprite* LoadSprite(std::string_view path);
  // A button of four frames, without hover sound, from the set of `path`.
  CGraphButton* AddButton(std::string_view path, int x, int y, int buttonIndex, int commandId);
  // Destroys every button and every cached set (the background stays).
  void RemoveAllButton();
  // Draws background and buttons on the page and paints the page.
  void Draw(platform::PaintContext& pc);
  // 1 when the message was consumed. A click may run a handler that
  // destroys this helper: nothing of it is touched afterwards.
  int MessageProc(platform::MsgId msg, platform::WParam w, platform::LParam l);
  CGraphButton* GetDlgItem(int commandId) const { return buttons_.GetButton(commandId); }

  void SetRedrawButtonsOnly(int on) { redrawButtonsOnly_ = on; }
  void SetUseRegion(int on) { useRegion_ = on; }
  void SetDraggable(int on) { draggable_ = on; }
  std::uintptr_t TimerId() const { return timerId_; }
  gfx::CPage& Page() { return page_; }
  CGraphButtonList& Buttons() { return buttons_; }
  const CBmpRegion& WindowRegion() const { return region_; }

  // Tests start the id sequence again.
  static void ResetTimerIdsForTests();

 private:
  platform::Window* Dialog() const;
  void StopTimer();
  void DrawBackground();

  std::uintptr_t timerId_ = 0;
  gfx::CPage page_;
  CBmpRegion region_;
  std::unique_ptr<gfx::xSprite> background_;
  CGraphButtonList buttons_;
  int redrawButtonsOnly_ = 0;
  platform::WindowHandle dialog_ = platform::WindowHandle::None;
  int draggable_ = 0;
  int useRegion_ = 1;
  std::map<std::string, std::unique_ptr<gfx::xSprite>, std::less<>> sprites_;
};

}  // namespace tovrik::ui
