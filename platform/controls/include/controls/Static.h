#pragma once
// A text label: its caption laid out with word breaks in the label's
// rectangle (SS_LEFT, SS_CENTER, SS_RIGHT) on the dialog face.

#include "controls/Control.h"

namespace tovrik::controls {

class Static : public Control {
 public:
  using Control::Control;
  ~Static() override { Destroy(); }
  void OnPaint(platform::PaintContext& pc) override;
};

}  // namespace tovrik::controls
