#pragma once
// A button drawn with sprite frames on a drawing page instead of being a
// window: the list windows and the sprite-skinned dialogs hit-test it
// themselves and hand it the mouse. Button b of a sprite set has the frames
// b x framesPerButton + 0 normal, + 1 hover, + 2 pressed and, with four or
// more frames, + 3 disabled (with three, disabled shows the pressed frame).
// A click sends WM_COMMAND with the command id to the parent window.

#include <memory>
#include <string>
#include <string_view>

#include "gfx/Page.h"
#include "gfx/Sprite.h"
#include "platform/Geometry.h"
#include "platform/Text.h"
#include "platform/Window.h"

namespace tovrik::ui {

class CGraphButton {
 public:
  // The hover effect played when none was named by SetMouseOverSound.
  static constexpr int kDefaultHoverSound = 2;
  static constexpr int kDefaultHoverVolume = 100;

  CGraphButton() = default;
  CGraphButton(const CGraphButton&) = delete;
  CGraphButton& operator=(const CGraphButton&) = delete;
  virtual ~CGraphButton() = default;

  // Visible and enabled, not pressed; the size is that of the button's
  // first frame. `parent` hears the command; `page` and `set` are not owned
  // and must outlive the button (or be replaced before they go).
  void Init(platform::Window* parent, gfx::CPage* page, int x, int y, const gfx::xSprite* set, int buttonIndex,
            int commandId, int framesPerButton, int hoverSound);
  // Called at the end of Init, for buttons that prepare more.
  virtual void InitBtn() {}

  // 1 when the event was on the button (and, for a release, clicked it).
  virtual int OnMouseMove(int x, int y);
  virtual int OnLButtonDown(int x, int y);
  // Sends the command when the press and the release were both on the
  // button. The parent's handler may destroy this button: nothing of it is
  // touched after the command went out.
  virtual int OnLButtonUp(int x, int y);
  virtual void Draw(int flags, int level);
  // -1 hidden, 2 pressed, 1 hover, 0 normal.
  virtual int GetButtonState() const;
  // 0 normal, 1 hover, 2 pressed.
  virtual void SetButtonState(int state);

  void SetSprite(const gfx::xSprite* set, int buttonIndex);
  // Moves the button; with a set, the size becomes that of its frame 0.
  void SetButtonPos(int x, int y, const gfx::xSprite* set);
  // Disabling also lets go of a press and of the hover.
  void Enable(int enable);
  // Shows or hides, and enables or disables with it.
  void Show(int show);
  void SetMouseOverSound(int effectId, int volume);
  platform::Point GetButtonPoint() const { return {x_, y_}; }
  // The tooltip is on only when both a text (code page 949) and a font are given.
  void SetToolTip(std::string_view cp949Text, std::shared_ptr<platform::Font> font);
  void ShowToolTip(int show) { tooltipOn_ = show ? 1 : 0; }
  // Draws the tooltip near the pointer on the page while the button is
  // hovered and not pressed: a translucent box in `background` at `level`,
  // the text in `textColour`. When the box would leave the page at the
  // bottom it goes above the pointer, or above the button with `above`.
  void DrawToolTip(int level, platform::RgbColor background, platform::RgbColor textColour, int above);
  // Where the tooltip box would be drawn with the pointer at `cursor`
  // (parent client coordinates); empty when there is no tooltip to draw.
  platform::Rect ToolTipRect(platform::Point cursor, int above) const;

  // A point on the button: both edges count, x <= px <= x + width.
  bool Contains(int px, int py) const;
  // The sprite frame drawn in the current state.
  int CurrentFrame() const;

  int IsVisible() const { return visible_; }
  int IsEnabled() const { return enabled_; }
  int IsPressed() const { return pressed_; }
  int IsHover() const { return hover_; }
  int CommandId() const { return commandId_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  platform::Window* Parent() const;
  gfx::CPage* Page() const { return page_; }

 private:
  void TakeSizeFrom(const gfx::xSprite* set, int frame);
  // The pointer in the parent's client coordinates, as the tooltip follows it.
  platform::Point CursorInParent() const;

  platform::WindowHandle parent_ = platform::WindowHandle::None;
  gfx::CPage* page_ = nullptr;
  const gfx::xSprite* sprite_ = nullptr;
  int visible_ = 0;
  int enabled_ = 1;
  int buttonIndex_ = 0;
  int x_ = 0;
  int y_ = 0;
  int width_ = 0;
  int height_ = 0;
  int pressed_ = 0;
  int hover_ = 0;
  int commandId_ = 0;
  int hoverSoundOn_ = 0;
  bool hoverSoundPlayed_ = false;
  int hoverVolume_ = kDefaultHoverVolume;
  int hoverSoundId_ = kDefaultHoverSound;
  int tooltipOn_ = 0;
  std::string tooltipText_;
  std::shared_ptr<platform::Font> tooltipFont_;
  int framesPerButton_ = 4;
  platform::Point lastMove_;
};

}  // namespace tovrik::ui
