#pragma once
// The sprite buttons of one window, keyed and ordered by command id: mouse
// input is offered to them in ascending command id, and they are drawn in
// that order. The list owns its buttons. Optionally it switches the mouse
// cursor while a button is pressed (one setting for the whole process).

#include <map>
#include <memory>

#include "ui/GraphButton.h"

namespace tovrik::ui {

class CGraphButtonList {
 public:
  CGraphButtonList() = default;
  CGraphButtonList(const CGraphButtonList&) = delete;
  CGraphButtonList& operator=(const CGraphButtonList&) = delete;

  // Removes every button.
  void Init();
  // Takes the button; one already registered under its command id is
  // destroyed and replaced. A missing button is reported in a message box.
  CGraphButton* Add(std::unique_ptr<CGraphButton> button);
  // Initialises the button first (see CGraphButton::Init).
  CGraphButton* Add(std::unique_ptr<CGraphButton> button, platform::Window* parent, gfx::CPage* page, int x, int y,
                    const gfx::xSprite* set, int buttonIndex, int commandId, int framesPerButton, int hoverSound);
  // Turns cursor switching on: `pressedCursor` (an id of platform::CursorSet)
  // while a button is pressed, `normalCursor` otherwise.
  static void SetButtonCursor(int normalCursor, int pressedCursor);
  static void ClearButtonCursor();

  // 1 when a button took it; the dispatch ends at the first one. A
  // release that clicks a button may run a handler that clears this list
  // or destroys its owner: nothing of the list is touched afterwards.
  int OnLButtonDown(int x, int y);
  int OnLButtonUp(int x, int y);
  // Offered to every button.
  void OnMouseMove(int x, int y);
  // Asks the parents to repaint the buttons.
  void Invalidate();
  // Every button, then every tooltip (level 20, white on black).
  void Draw();

  // Address a button by command id; nothing happens for an unknown id.
  void ShowWindow(int commandId, int show);
  void Enable(int commandId, int enable);
  CGraphButton* GetButton(int commandId) const;

  bool Empty() const { return buttons_.empty(); }
  std::size_t Size() const { return buttons_.size(); }

 private:
  static void SetCursor(bool pressed);

  std::map<int, std::unique_ptr<CGraphButton>> buttons_;
};

}  // namespace tovrik::ui
