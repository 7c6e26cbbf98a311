#pragma once
// A text label: its caption laid out with word breaks in the label's
// rectangle (SS_LEFT, SS_CENTER, SS_RIGHT) on the dialog face. Unless it
// has SS_NOTIFY it is part of its dialog's surface for the mouse: presses
// on it reach the dialog, and a dialog dragged by its surface is dragged
// from its labels too.

#include "controls/Control.h"

namespace tovrik::controls {

class Static : public Control {
 public:
  using Control::Control;
  ~Static() override { Destroy(); }
  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;
};

}  // namespace tovrik::controls
