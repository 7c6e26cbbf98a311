#pragma once
// The two-image radio button of the skinned dialogs. Buttons are linked
// into a group; a press inside checks this one, unchecks the rest of the
// group and sends WM_COMMAND with the control id to the target window. A
// button leaves its group when it is destroyed.

#include <array>
#include <string_view>

#include "controls/Button.h"
#include "ui/MyBitmap.h"

namespace tovrik::ui {

class CBmpRadioBtn : public controls::Button {
 public:
  // How far the group is walked in each direction.
  static constexpr int kMaxLinks = 1000;

  CBmpRadioBtn() = default;
  ~CBmpRadioBtn() override;

  void Init(int x, int y, std::string_view checkedPath, std::string_view uncheckedPath, platform::Window* target);
  // Links `button` into the group right after this one.
  void AddToGroup(CBmpRadioBtn& button);
  void SetCheck(int check);
  // Checks or unchecks every button of the group.
  void GroupCheck(int check);

  CBmpRadioBtn* Next() const { return next_; }
  CBmpRadioBtn* Previous() const { return previous_; }

  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 private:
  void Unlink();
  void SelectInGroup();
  template <typename Visit>
  void ForEachOther(Visit visit);

  // 0 unchecked, 1 checked.
  std::array<CMyBitmap, 2> images_;
  platform::WindowHandle target_ = platform::WindowHandle::None;
  CBmpRadioBtn* previous_ = nullptr;
  CBmpRadioBtn* next_ = nullptr;
};

}  // namespace tovrik::ui
