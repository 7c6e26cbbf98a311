#include "controls/Control.h"

namespace tovrik::controls {

void Control::ApplySpec(const ControlSpec& spec) {
  caption_ = std::string(spec.caption);
  style_ = spec.style;
}

void Control::SetWindowText(std::string_view utf8) {
  if (caption_ == utf8) return;
  caption_ = std::string(utf8);
  Invalidate();
}

}  // namespace tovrik::controls
