#pragma once
// The two-image check box of the skinned dialogs: a press inside toggles it
// and sends WM_COMMAND with the control id to the window it reports to.

#include <array>
#include <string_view>

#include "controls/Button.h"
#include "ui/MyBitmap.h"

namespace tovrik::ui {

class CCheckButton : public controls::Button {
 public:
  CCheckButton() = default;
  ~CCheckButton() override { Destroy(); }

  // Loads both images, clears the check, moves the window to (x, y) of its
  // parent with the checked image's size; `target` hears the toggles.
  void Init(int x, int y, std::string_view checkedPath, std::string_view uncheckedPath, platform::Window* target,
            int value);
  void SetCheck(int check);
  void SetSizeToBmp();
  int GetValue() const { return value_; }
  platform::Point Position() const { return {x_, y_}; }

  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 private:
  // 0 unchecked, 1 checked.
  std::array<CMyBitmap, 2> images_;
  platform::WindowHandle target_ = platform::WindowHandle::None;
  int x_ = 0;
  int y_ = 0;
  int value_ = 0;
};

}  // namespace tovrik::ui
