#pragma once
// The four-state bitmap push button of the lobby, the channel screen, the
// room and most dialogs. Its images come from one strip file (the states
// stacked top to bottom: normal, hover, pressed, disabled) or from up to
// four numbered bitmap resources. Hovering lights it, a press plays its
// click sound and shows it pressed, and a release over it posts WM_COMMAND
// (control id, code 0, the button's handle) to the parent; a release
// outside sends nothing. A button with a check box or radio style shows its
// check instead and toggles it on a click. It can flash between its normal
// image and a flash image on a timer.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "controls/Button.h"
#include "ui/MyBitmap.h"

namespace tovrik::ui {

class CMyButton : public controls::Button {
 public:
  static constexpr std::uintptr_t kFlashTimer = 13512;
  static constexpr int kMaxStates = 4;
  enum VisualState { kNormal = 1, kHover = 2, kPressed = 3 };

  struct StripEntry {
    int valid = 0;
    int sourceX = 0;
    int sourceY = 0;
    int width = 0;
    int height = 0;
  };

  CMyButton() = default;
  CMyButton(std::string caption, unsigned style) : Button(std::move(caption), style) {}
  ~CMyButton() override { Destroy(); }

  // Resource images (0: absent); the window takes the normal image's size.
  void Init(int normalId, int hoverId, int pressedId, int disabledId, std::string_view clickSound);
  // A strip of `states` images (at most 4) of height = image height / states;
  // the window takes one state's size.
  void Init(std::string_view stripPath, int states, std::string_view clickSound);
  // The same, then moved to (x, y) of the parent.
  void Init(int x, int y, std::string_view stripPath, int states, std::string_view clickSound);

  // Enables or disables; lets go of the mouse, back to normal. Enabling
  // shows the first image again after SetFixImage.
  void EnableWindow(int enable);
  // Disables the button and shows strip image `entry` while disabled.
  void SetFixImage(int entry);
  // Flashes between the normal image and the image of `path` (loaded when
  // given) every `intervalMs` while on.
  void SetFlash(int on, std::uint32_t intervalMs, std::string_view path);
  // Kept for the callers; drawing copies the images as they are.
  void SetTransColor(platform::RgbColor colour) {
    transColourSet_ = true;
    transColour_ = colour;
  }

  int VisualStateNow() const { return visualState_; }
  bool IsArmed() const { return armed_; }
  bool IsCheckStyle() const { return IsCheckBox() || IsRadio(); }
  const StripEntry& Entry(int i) const { return entries_[static_cast<std::size_t>(i)]; }
  int FlashPhase() const { return flashPhase_; }

  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 private:
  struct Image {
    const CMyBitmap* bitmap = nullptr;
    platform::Rect source;
  };

  void OnMouseMove(platform::Point p);
  void OnLButtonDown();
  void OnLButtonUp();
  void TakeCapture();
  void LetGoOfCapture();
  void SetVisualState(int state);
  void ResetInput();
  Image ChooseImage() const;
  Image ChooseEnabled() const;
  Image ChooseDisabled() const;
  Image StripImage(int entry) const;
  // The first valid entry among `entries` (-1 ends the list early).
  Image FirstValid(std::initializer_list<int> entries) const;
  Image Resource(const CMyBitmap& bitmap) const;

  int enabled_ = 1;
  bool captured_ = false;
  bool armed_ = false;
  int visualState_ = kNormal;
  int stripMode_ = 0;
  std::array<StripEntry, kMaxStates> entries_{};
  bool transColourSet_ = false;
  platform::RgbColor transColour_;
  CMyBitmap strip_;
  // Normal, hover/checked, pressed, disabled.
  std::array<CMyBitmap, 4> resources_;
  std::string clickSound_;
  int flashing_ = 0;
  int flashPhase_ = 0;
  CMyBitmap flash_;
  int fixImage_ = 0;
};

}  // namespace tovrik::ui
