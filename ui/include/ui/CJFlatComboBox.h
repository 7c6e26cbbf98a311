#pragma once
// The flat combo box of the room creation dialog: a white frame that is
// drawn flat, raised while the pointer is over it or it has the focus, and
// sunken while its button is held; an editable one completes the typed
// text with the first item that starts with it and selects the completed
// part. Backspace and Delete erase without the text being completed again.

#include "controls/ComboBox.h"

namespace tovrik::ui {

class CCJFlatComboBox : public controls::ComboBox {
 public:
  enum DrawState { kFlat = 1, kRaised = 2, kSunken = 3 };

  explicit CCJFlatComboBox(controls::ComboStyle style = controls::ComboStyle::DropDown) : ComboBox(style) {}
  ~CCJFlatComboBox() override { Destroy(); }

  void SetAutoComplete(bool on) { autoComplete_ = on; }
  bool AutoComplete() const { return autoComplete_; }
  // The look the face has now.
  DrawState CurrentDrawState() const;

  bool PreTranslateMessage(platform::MsgId msg, platform::WParam w, platform::LParam l) override;

 protected:
  void DrawFace(platform::PaintContext& pc, const FaceState& state) override;
  void OnEditUpdate() override;

 private:
  static DrawState StateOf(const FaceState& state);
  void DrawCombo(platform::PaintContext& pc, const FaceState& state, DrawState look) const;

  bool autoComplete_ = true;
  // Set by Backspace and Delete: the edit they cause is left as it is.
  bool eraseKey_ = false;
  platform::RgbColor highlight_{255, 255, 255};
  platform::RgbColor shadow_{255, 255, 255};
  platform::RgbColor normal_{255, 255, 255};
};

}  // namespace tovrik::ui
